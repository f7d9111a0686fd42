#pragma once

#include "vbEndpoints.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <optional>

class QApplication;
class QTranslator;

// The updater program: asks the service for the latest version, offers the
// download when it is newer than the stored one, records it, then starts the
// main program from the current folder and waits for it. Everything is
// relative to the current folder (the program folder).
class vbUpdaterApp
{
    Q_DECLARE_TR_FUNCTIONS(vbUpdaterApp)
public:
    vbUpdaterApp();

    // Palette and the updater's translation, in the language both programs choose alike.
    static void setupApplication(QApplication& app, QTranslator* translator);

    // Reads the service's endpoints from the settings file, then runs the
    // check, the question, the download and the main program; always 0.
    int run();

    // The steps of run(), for tests.
    // The latest version the service announces, as it wrote it; nothing when
    // it cannot be asked or gives no version.
    std::optional<QString> queryLatestVersion();
    // Asks; on OK downloads, and stores latest when the user declined or
    // every file was swapped in (a failed download is offered again).
    void offerUpdate(const QString& latest);
    // Starts the main program and waits for it; false when it could not run.
    bool startMainProgram();

    // The request sent to hostWithPort, byte for byte.
    static QByteArray versionRequest(const QString& hostWithPort);
    // "pixelvane", or "pixelvane.exe" on Windows.
    static QString mainProgramName();
    // How long the version answer is waited for.
    static int receiveTimeoutMs() { return 5000; }

    static QString settingsPath() { return QStringLiteral("system.ini"); }

private:
    // Where the version is asked and the update fetched.
    vbEndpoints m_endpoints;
};
