#pragma once

#include "vbTestService.h"

#include <QByteArray>
#include <QMap>
#include <QString>

// Fills a folder ("program" or "element") of the stand-in service's update
// area with exactly the given files.
bool setUpdateFiles(vbTestService& service, const QString& folder, const QMap<QString, QByteArray>& files);

// Bytes that differ from file to file and from position to position.
QByteArray patternBytes(int size, int seed);
