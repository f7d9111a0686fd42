#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QString>

// One line of a directory listing, as far as the listing tells it.
struct vbFtpEntry
{
    enum Kind
    {
        File,
        Dir,
        SymLink,
        Other // devices, sockets, pipes
    };

    QByteArray rawName;       // the name exactly as the server sent it
    QString name;             // rawName decoded with the local 8-bit code page
    QByteArray symLinkTarget; // for SymLink, when the listing names it
    Kind kind = Other;
    qint64 size = 0;
    QDateTime lastModified; // local time as listed; minutes are the finest unit
    QString owner;          // empty for DOS listings
    QString group;
    QString permissions; // the ten-character mode text of Unix listings

    bool isFile() const { return kind == File; }
    bool isDir() const { return kind == Dir; }
    bool isSymLink() const { return kind == SymLink; }
};

Q_DECLARE_METATYPE(vbFtpEntry)
