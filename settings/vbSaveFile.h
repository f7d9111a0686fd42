#pragma once

#include <QByteArray>
#include <QString>

namespace vbSaveFile {

// Replaces path with bytes atomically: the old file stays as it was unless
// every byte was written. False, with *error saying why, otherwise.
bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace vbSaveFile
