#pragma once

#include <QString>
#include <QVersionNumber>

// The per-user copy of an installed program folder. An installed folder (under
// /opt) is not writable for its users, but both programs keep their settings,
// data, prepared photos and downloaded updates beside themselves; so each user
// runs a copy in their own data folder. The copy is made at the first start and
// refreshed when the installed release is newer than the one it was made from;
// a refresh keeps what belongs to the user: the settings, the upload log and
// pending list, the prepared photos, the error log and the element pictures.
class vbProgramFolder
{
public:
    // What a refresh does with one file of the installed folder, given by its
    // path relative to that folder.
    enum Action
    {
        Replace,    // program files: the installed one wins
        AddMissing, // the user's own once there (settings, element pictures)
        Skip        // never taken from the installation (the user's data)
    };
    static Action actionFor(const QString& relativePath);

    enum Outcome
    {
        Made,      // there was no copy: made now
        Refreshed, // the installed release was newer: copied over
        Current,   // nothing to do
        Failed     // see the error text; the copy is refreshed again next time
    };
    // Makes or refreshes the copy at user from installed.
    static Outcome prepare(const QString& installed, const QString& user, QString* error);

    // The release a program folder was made from ("program.version"), null when unknown.
    static QVersionNumber release(const QString& folder);
    static QString releaseFileName() { return QStringLiteral("program.version"); }
    // The user's copy: "pixelvane" in the user's data folder.
    static QString userFolder();
};
