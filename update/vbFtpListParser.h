#pragma once

#include "vbFtpEntry.h"

#include <QByteArray>
#include <QDate>

// Reads the lines of an FTP LIST answer. Two families are understood:
//   Unix "ls -l":  -rw-r--r--   1 owner group   1000 Jan  5 12:34 name
//                  drwxr-xr-x   2 owner group   4096 Mar 15  2009 name
//   DOS / IIS:     01-05-09  12:34PM       <DIR>          name
//                  01-05-2009  13:34            1000 name
// A line that fits neither ("total 12", banners, a bad month or date, a name
// with a slash) is rejected rather than guessed at.
namespace vbFtpListParser {

// today decides the year of Unix lines that give a time instead of a year:
// such a date lies within the twelve months that end tomorrow, as ls prints
// it (a line naming a day outside them is rejected).
bool parseLine(const QByteArray& line, const QDate& today, vbFtpEntry* entry);

bool parseUnixLine(const QByteArray& line, const QDate& today, vbFtpEntry* entry);
bool parseDosLine(const QByteArray& line, vbFtpEntry* entry);

} // namespace vbFtpListParser
