#include "vbElementArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

// mkelements <outdir>: writes <outdir>/<type>/<name>.png for every picture.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: mkelements <outdir>\n";
        return 2;
    }
    const QDir out(args.at(1));
    int written = 0;
    const QList<vbElementArt::Picture> pictures = vbElementArt::allPictures();
    for (const vbElementArt::Picture& picture : pictures) {
        if (!out.mkpath(picture.type)) {
            err << "cannot create " << out.filePath(picture.type) << "\n";
            return 1;
        }
        const QString path = out.filePath(picture.type + QLatin1Char('/') + picture.name + ".png");
        if (!picture.image.save(path, "PNG")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
        ++written;
    }
    QTextStream(stdout) << written << " element pictures in " << out.absolutePath() << "\n";
    return 0;
}
