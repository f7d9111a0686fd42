// mksamples <folder>: writes a dozen sample photos with EXIF data into folder,
// so a newcomer has photos to pick at once.
#include "vbSamplePicture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        err << "usage: mksamples <folder>\n";
        return 2;
    }
    const QString folder = args.at(1);
    if (!QDir().mkpath(folder)) {
        err << "mksamples: cannot create " << folder << '\n';
        return 1;
    }

    // Landscape and portrait, small to twelve megapixels; the large ones are
    // above 1 MiB so uploads re-compress them.
    const QList<QSize> sizes = {QSize(4000, 3000), QSize(3000, 4000), QSize(3000, 2000), QSize(2000, 3000),
                                QSize(2592, 1944), QSize(1944, 2592), QSize(1600, 1200), QSize(1200, 1600),
                                QSize(1024, 768),  QSize(768, 1024),  QSize(800, 600),   QSize(640, 480)};
    int failures = 0;
    for (int i = 0; i < sizes.size(); ++i) {
        const QString path = folder + QStringLiteral("/IMG_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0'));
        if (QFileInfo::exists(path))
            continue;
        if (!vbSamplePicture::writePhoto(path, sizes.at(i), i + 1, 92)) {
            err << "mksamples: cannot write " << path << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
