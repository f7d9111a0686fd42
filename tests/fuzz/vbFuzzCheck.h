#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// A broken contract ends the run like a crash, so libFuzzer keeps the input.
#define PV_FUZZ_CHECK(cond)                                                                                  \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "contract broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);                \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

inline QByteArray fuzzBytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A folder for the files a target writes, in memory where the system has such
// a place: writing settings and logs to disk would slow the run a hundredfold.
inline QString fuzzScratchFile(const QString& name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/pvfuzz-XXXXXX")
                                 : QDir::tempPath() + "/pvfuzz-XXXXXX");
    return dir.filePath(name);
}

// A scratch file holding content.
inline QString fuzzScratchFile(const QString& name, const QByteArray& content)
{
    const QString path = fuzzScratchFile(name);
    QFile f(path);
    PV_FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size());
    return path;
}
