// Thumbnail and preparation benchmark (run by hand, not a test).
//
//   bench_thumbnails [count] [work folder]
//
// 1. Makes count twelve-megapixel JPEGs with EXIF, then times per photo, one
//    thread: our thumbnail path (scaled decode + EXIF), libjpeg-turbo decoding
//    at 1/8 scale in-process, `djpeg -scale 1/8`, and a full decode followed by
//    scaling. Prints the ratios.
// 2. Drops 300 such photos on a shown photo list: the time until every tile has
//    its thumbnail against the bound 300 x one thumbnail / cores, the longest
//    gap between 5 ms timer ticks on the GUI thread, and the resident memory.
// 3. Preparation for an FTP upload (q80 full-size copy, 500 and 122 copies):
//    one worker per photo against libjpeg-turbo doing the same work in-process
//    (decode once, encode q80 three times, the same scaling), then 30 photos on
//    the whole pool.
// PV_BENCH_DROP_ONLY / PV_BENCH_PREP_ONLY run part 2 / part 3 alone.
#include "_loadThread.h"
#include "_saveImageThread.h"
#include "vbExifReader.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFitSize.h"
#include "vbImageLoader.h"
#include "vbSamplePicture.h"
#include "vbSession.h"
#ifdef PV_BENCH_LIBJPEG
#include "vbTurboReference.h"
#endif

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <ctime>
#include <memory>
#include <utility>

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

double cpuMs();

// Per photo: wall time, and CPU time of the process, which the other programs
// of a shared machine do not inflate. The best of the rounds for each.
struct Cost
{
    double wall = 1e18;
    double cpu = 1e18;
    void keepBest(const Cost& other)
    {
        wall = std::min(wall, other.wall);
        cpu = std::min(cpu, other.cpu);
    }
};

template <typename F> Cost millisPerPhoto(const QStringList& files, int rounds, F work)
{
    Cost best;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        const double cpu = cpuMs();
        timer.start();
        for (const QString& f : files)
            work(f);
        best.keepBest({timer.nsecsElapsed() / 1e6 / files.size(), (cpuMs() - cpu) / files.size()});
    }
    return best;
}

QTextStream& operator<<(QTextStream& stream, const Cost& cost)
{
    return stream << cost.wall << " ms/photo (CPU " << cost.cpu << " ms)";
}

QString load()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
}

// CPU time of the whole process: how many cores it kept busy, whatever else the machine runs.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void ourThumbnail(const QString& f)
{
    QSize size;
    const QImage image = vbImageLoader::load(f, QSize(244, 244), &size);
    const vbExifValues exif = readExifValues(f);
    if (image.isNull() || !exif.make)
        qFatal("thumbnail failed");
}

// One thumbnail per photo on one thread: ours against the decoders alone.
Cost singleThumbnail(const QStringList& files)
{
    const QString djpeg = QStandardPaths::findExecutable(QStringLiteral("djpeg"));
    Cost ours, turbo, external;
    // Interleaved rounds: the machine is shared.
    for (int round = 0; round < 3; ++round) {
        ours.keepBest(millisPerPhoto(files, 1, ourThumbnail));
#ifdef PV_BENCH_LIBJPEG
        turbo.keepBest(millisPerPhoto(files, 1, [](const QString& f) {
            if (vbTurboReference::decode(readAll(f), 8).isNull())
                qFatal("libjpeg decode failed");
        }));
#endif
        if (!djpeg.isEmpty()) {
            external.keepBest(millisPerPhoto(files, 1, [&](const QString& f) {
                QProcess p;
                p.setStandardOutputFile(QProcess::nullDevice());
                p.start(djpeg, {QStringLiteral("-scale"), QStringLiteral("1/8"), f});
                p.waitForFinished(-1);
            }));
        }
    }
    const Cost full = millisPerPhoto(files, 1, [](const QString& f) {
        const QImage image = vbImageLoader::load(f, QSize());
        if (image.scaled(244, 244, Qt::KeepAspectRatio, Qt::SmoothTransformation).isNull())
            qFatal("full decode failed");
    });
    out << "one thumbnail (load " << load() << ")" << Qt::endl;
    out << "  our thumbnail path     " << ours << ", scaled decode + six EXIF values" << Qt::endl;
    if (turbo.wall < 1e18)
        out << "  libjpeg-turbo 1/8      " << turbo << " in-process; ours / it = " << ours.wall / turbo.wall
            << " wall, " << ours.cpu / turbo.cpu << " CPU (target 1.2)" << Qt::endl;
    if (external.wall < 1e18)
        out << "  djpeg -scale 1/8       " << external.wall
            << " ms/photo; ours / djpeg = " << ours.wall / external.wall << Qt::endl;
    else
        out << "  djpeg not found (install libjpeg-turbo-progs)" << Qt::endl;
    out << "  full decode + scale    " << full << "; full / ours = " << full.wall / ours.wall << Qt::endl;
    return ours;
}

// Prepares nodes of files for an FTP upload on saver; ms per photo of the whole batch.
Cost prepareAll(const QStringList& files, int workers)
{
    _saveImageThread saver(nullptr, workers);
    std::vector<std::unique_ptr<vbFileNode>> nodes;
    QList<vbFileNode*> list;
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const QString& f : files) {
        nodes.push_back(std::make_unique<vbFileNode>());
        nodes.back()->setFileInfo(QFileInfo(f));
        list << nodes.back().get();
        spies.push_back(std::make_unique<QSignalSpy>(list.last(), &vbFileNode::sig_preUploadComplete));
    }
    QElapsedTimer timer;
    const double cpu = cpuMs();
    timer.start();
    saver.setNodes(list, true);
    for (const auto& spy : spies) {
        if (spy->isEmpty() && !spy->wait(60000))
            qFatal("preparation did not end");
    }
    const Cost cost{timer.nsecsElapsed() / 1e6 / files.size(), (cpuMs() - cpu) / files.size()};
    for (const auto& node : nodes) {
        if (!node->mediumFile().exists() || !node->smallFile().exists() ||
            node->absoluteFilePath() == node->sourcePath())
            qFatal("preparation wrote nothing");
    }
    return cost;
}

// libjpeg-turbo doing the same work in-process: decode once, q80 full size,
// 500 and 122 copies scaled as ours are, each written to a file.
void turboPrepare(const QString& f, const QString& folder)
{
#ifdef PV_BENCH_LIBJPEG
    // Decoded into the memory of the last photo, as our workers do.
    thread_local QImage last;
    const QImage full = vbTurboReference::decode(readAll(f), 1, std::exchange(last, QImage()));
    const QString base = folder + QLatin1Char('/') + QFileInfo(f).baseName();
    const QImage medium =
        full.scaled(fitSize(full.size(), QSize(500, 500)), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage small = medium.scaled(fitSize(fitSize(full.size(), QSize(244, 244)), QSize(122, 122)),
                                       Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!writeAll(base + QStringLiteral(".jpg"), vbTurboReference::encode(full, 80)) ||
        !writeAll(base + QStringLiteral("_1.jpg"), vbTurboReference::encode(medium, 80)) ||
        !writeAll(base + QStringLiteral("_2.jpg"), vbTurboReference::encode(small, 80)))
        qFatal("libjpeg preparation failed");
    last = full;
#else
    Q_UNUSED(f)
    Q_UNUSED(folder)
#endif
}

void preparation(const QStringList& files, const QString& folder)
{
    const QString refFolder = folder + QStringLiteral("/reference");
    QDir().mkpath(refFolder);
    Cost ours, turbo;
    for (int round = 0; round < 3; ++round) {
        ours.keepBest(prepareAll(files, 1));
#ifdef PV_BENCH_LIBJPEG
        turbo.keepBest(millisPerPhoto(files, 1, [&](const QString& f) { turboPrepare(f, refFolder); }));
#endif
    }
    out << "preparation for FTP (load " << load() << ")" << Qt::endl;
    out << "  ours, one worker       " << ours << ", q80 copy with metadata, 500 and 122 copies" << Qt::endl;
    if (turbo.wall < 1e18)
        out << "  libjpeg-turbo          " << turbo << " in-process; ours / it = " << ours.wall / turbo.wall
            << " wall, " << ours.cpu / turbo.cpu << " CPU (target 1.15)" << Qt::endl;
    QStringList thirty;
    for (int i = 0; i < 30; ++i)
        thirty << files.at(i % files.size());
    const Cost pooled = prepareAll(thirty, 0);
    out << "  30 photos, " << QThread::idealThreadCount() << " workers   " << pooled.wall * 30 << " ms, "
        << pooled.cpu / pooled.wall << " cores busy (load " << load() << ")" << Qt::endl;
#ifdef PV_BENCH_LIBJPEG
    // The yardstick on as many threads: what this machine lets parallel work reach.
    const int threads = QThread::idealThreadCount();
    QElapsedTimer timer;
    const double cpu = cpuMs();
    timer.start();
    std::vector<std::unique_ptr<QThread>> running;
    for (int t = 0; t < threads; ++t) {
        const QString own = refFolder + QStringLiteral("/%1").arg(t);
        QDir().mkpath(own);
        running.emplace_back(QThread::create([&thirty, own, t, threads] {
            for (int i = t; i < thirty.size(); i += threads)
                turboPrepare(thirty.at(i), own);
        }));
        running.back()->start();
    }
    for (const auto& thread : running)
        thread->wait();
    const double wall = timer.nsecsElapsed() / 1e6;
    out << "  libjpeg-turbo, " << threads << " threads " << wall << " ms, " << (cpuMs() - cpu) / wall
        << " cores busy (load " << load() << ")" << Qt::endl;
#endif
}

// Drops 300 photos on a shown list; false when not every thumbnail came.
bool drop(QApplication& app, const QStringList& files, const QString& folder, const Cost& oneThumbnail)
{
    // The 300-photo drop.
    const int dropCount = vbUploadList::kMaxPhotos;
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
    double cpuStart = 0;
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
        cpuStart = cpuMs();
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

    const int cores = QThread::idealThreadCount();
    const double bound = dropCount * oneThumbnail.wall / cores;
    const qint64 took = total.elapsed();
    const double cpuUsed = cpuMs() - cpuStart;
    out << dropCount << "-photo drop (load " << load() << ", " << list.loadThread()->workerCount()
        << " workers): " << (done ? "every tile has its thumbnail" : "NOT all thumbnails loaded") << " after "
        << took << " ms" << Qt::endl;
    out << "  bound " << dropCount << " x " << oneThumbnail.wall << " ms / " << cores << " cores = " << bound
        << " ms; drop / bound = " << took / bound << " (target 1.2)" << Qt::endl;
    out << "  CPU used " << cpuUsed << " ms = " << cpuUsed / took << " cores busy; against " << dropCount
        << " x one thumbnail's CPU: " << cpuUsed / (dropCount * oneThumbnail.cpu) << Qt::endl;
    out << "longest GUI-thread gap " << longestGap << " ms (timer interval 5 ms)" << Qt::endl;
    out << "resident memory        " << residentKb("VmRSS:") / 1024 << " MB now, " << rssBefore / 1024
        << " MB before the drop, peak " << residentKb("VmHWM:") / 1024 << " MB" << Qt::endl;
    return done;
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

    out << Qt::fixed;
    out.setRealNumberPrecision(2);
    const bool dropOnly = qEnvironmentVariableIsSet("PV_BENCH_DROP_ONLY");
    const bool prepOnly = qEnvironmentVariableIsSet("PV_BENCH_PREP_ONLY");
    // The drop's bound needs one thumbnail's time in any case.
    const Cost one = prepOnly   ? Cost()
                     : dropOnly ? millisPerPhoto(files, 3, ourThumbnail)
                                : singleThumbnail(files);
    if (!prepOnly && !drop(app, files, folder, one))
        return 1;
    if (!dropOnly)
        preparation(files, folder);
    return 0;
}
