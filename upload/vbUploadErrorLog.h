#pragma once

#include <QByteArray>
#include <QString>

// "error.txt" in the current folder: what an upload answered instead of the
// acknowledgement, or which exception ended it. Safe to call from any thread.
namespace vbUploadErrorLog {

QString path();
// Appends one entry: the BEGIN line, the time, the message, the END line, the time.
void append(const QByteArray& message);
void append(const QString& message);

} // namespace vbUploadErrorLog
