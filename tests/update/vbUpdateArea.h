#pragma once

#include "vbTestService.h"

#include <QByteArray>
#include <QMap>
#include <QStringList>

// Fills a folder ("program" or "element") of the stand-in service's update
// area with exactly the given files.
bool setUpdateFiles(vbTestService& service, const QString& folder, const QMap<QString, QByteArray>& files);

// The update account's FTP commands the service received, as "RETR a.bin";
// a client that hung up on a stalled download shows as "HANGUP RETR".
QStringList updateFtpCommands(vbTestService& service);

// A fault for the download of one file: "refuse" or "stall" after `bytes`.
QJsonObject retrFault(const QString& file, const char* kind, int bytes = 0);

// A loopback port nobody listens on.
quint16 closedPort();

// Bytes that differ from file to file and from position to position.
QByteArray patternBytes(int size, int seed);
