// Thumbnail benchmark (run by hand, not a test).
//
//   bench_thumbnails [count] [work folder]
//
// 1. Makes count twelve-megapixel JPEGs with EXIF, then times per photo:
//    our thumbnail path (scaled decode + EXIF), `djpeg -scale 1/8`, and a full
//    decode followed by scaling. Prints the ratios.
// 2. Drops 300 such photos on a shown photo list and measures the longest gap
//    between 5 ms timer ticks on the GUI thread until every tile has its
//    thumbnail, and the resident memory.
#include "vbExifReader.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbImageLoader.h"
#include "vbSamplePicture.h"
#include "vbSession.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace {

QTextStream out(stdout);

qint64 residentKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

template <typename F> double millisPerPhoto(const QStringList& files, int rounds, F work)
{
    double best = 1e18;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        for (const QString& f : files)
            work(f);
        best = std::min(best, timer.nsecsElapsed() / 1e6 / files.size());
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int count = args.size() > 1 ? std::max(1, args.at(1).toInt()) : 12;
    QTemporaryDir temp;
    const QString folder = args.size() > 2 ? args.at(2) : temp.path();
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
    vbSession session{vbEndpoints()};

    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path = folder + QStringLiteral("/big_%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path) && !vbSamplePicture::writePhoto(path, QSize(4000, 3000), i + 1, 92)) {
            out << "cannot write " << path << Qt::endl;
            return 1;
        }
        files << path;
    }
    out << count << " photos of 4000 x 3000, " << QFileInfo(files.first()).size() / 1024
        << " KiB each (first)" << Qt::endl;

    const bool dropOnly = qEnvironmentVariableIsSet("PV_BENCH_DROP_ONLY");
    const double ours = dropOnly ? 1 : millisPerPhoto(files, 3, [](const QString& f) {
        QSize size;
        const QImage image = vbImageLoader::load(f, QSize(244, 244), &size);
        const vbExifValues exif = readExifValues(f);
        if (image.isNull() || !exif.make)
            qFatal("thumbnail failed");
    });

    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    double reference = -1;
    if (!djpeg.isEmpty() && !dropOnly) {
        reference = millisPerPhoto(files, 3, [&](const QString& f) {
            QProcess p;
            p.setStandardOutputFile(QProcess::nullDevice());
            p.start(djpeg, {QStringLiteral("-scale"), QStringLiteral("1/8"), f});
            p.waitForFinished(-1);
        });
    }

    const double full = dropOnly ? 0 : millisPerPhoto(files, 1, [](const QString& f) {
        const QImage image = vbImageLoader::load(f, QSize());
        const QImage small = image.scaled(244, 244, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (small.isNull())
            qFatal("full decode failed");
    });

    out << Qt::fixed;
    out.setRealNumberPrecision(2);
    if (!dropOnly) {
        out << "our thumbnail path     " << ours << " ms/photo" << Qt::endl;
        if (reference > 0)
            out << "djpeg -scale 1/8       " << reference << " ms/photo  (ours / djpeg = " << ours / reference
                << ")" << Qt::endl;
        else
            out << "djpeg not found (install libjpeg-turbo-progs)" << Qt::endl;
        out << "full decode + scale    " << full << " ms/photo  (full / ours = " << full / ours << ")"
            << Qt::endl;
    }

    // The 300-photo drop.
    const int dropCount = vbFileList::kMaxPhotos;
    const QString dropFolder = folder + QStringLiteral("/drop");
    QDir().mkpath(dropFolder);
    QList<QUrl> urls;
    for (int i = 0; i < dropCount; ++i) {
        const QString link = dropFolder + QStringLiteral("/p%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(link) && !QFile::link(files.at(i % files.size()), link))
            QFile::copy(files.at(i % files.size()), link);
        urls << QUrl::fromLocalFile(link);
    }

    vbFileList list(nullptr, true);
    list.resize(1000, 700);
    list.show();
    QCoreApplication::processEvents();
    const qint64 rssBefore = residentKb("VmRSS:");

    qint64 longestGap = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, sinceTick.elapsed());
        sinceTick.restart();
    });

    // The same ticks with nothing to do: what the machine itself adds.
    {
        sinceTick.start();
        ticker.start();
        QTimer::singleShot(3000, &app, &QCoreApplication::quit);
        app.exec();
        ticker.stop();
        out << "idle GUI-thread gap    " << longestGap << " ms over 3 s (noise of this machine)" << Qt::endl;
        longestGap = 0;
    }

    QElapsedTimer total;
    bool done = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QList<vbFileNode*> nodes = list.nodes();
        if (nodes.size() == dropCount &&
            std::all_of(nodes.begin(), nodes.end(), [](vbFileNode* n) { return !n->thumbnail().isNull(); })) {
            done = true;
            app.quit();
        }
    });

    QTimer::singleShot(0, [&] {
        sinceTick.start();
        ticker.start();
        poll.start();
        total.start();
        QMimeData mime;
        mime.setUrls(urls);
        // A drop follows a drag-enter, as with a real drag.
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &enter);
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &drop);
        out << "dropped: " << list.count() << " rows after " << total.elapsed() << " ms" << Qt::endl;
    });
    QTimer::singleShot(180000, &app, &QCoreApplication::quit);
    app.exec();

    out << dropCount
        << "-photo drop: " << (done ? "every tile has its thumbnail" : "NOT all thumbnails loaded")
        << " after " << total.elapsed() << " ms" << Qt::endl;
    out << "longest GUI-thread gap " << longestGap << " ms (timer interval 5 ms)" << Qt::endl;
    out << "resident memory        " << residentKb("VmRSS:") / 1024 << " MB now, " << rssBefore / 1024
        << " MB before the drop, peak " << residentKb("VmHWM:") / 1024 << " MB" << Qt::endl;
    return done ? 0 : 1;
}
