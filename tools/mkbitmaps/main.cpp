// mkbitmaps: draws every compiled-in bitmap of both programs and the resource
// collection file that lists them. Output is the same on every run, so the
// build only redoes the resource when this tool changes.
//
//   mkbitmaps <output folder>   writes <output>/Resources/*.png and <output>/bitmaps.qrc

#include "vbArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <vector>

namespace {

struct Bitmap
{
    QString name;
    std::function<QImage()> draw;
};

using art::Tone;

// Adds name.png and name_hover.png drawn by one function.
void pair(std::vector<Bitmap>& out, const QString& name, const std::function<QImage(bool)>& draw)
{
    out.push_back({name + QStringLiteral(".png"), [draw] { return draw(false); }});
    out.push_back({name + QStringLiteral("_hover.png"), [draw] { return draw(true); }});
}

void caption(std::vector<Bitmap>& out, const QString& name, QSize size, const QString& text, Tone tone)
{
    pair(out, name, [=](bool hover) { return art::captionButton(size, text, tone, hover); });
}

std::vector<Bitmap> catalogue()
{
    std::vector<Bitmap> out;
    const QSize window(25, 20);
    pair(out, QStringLiteral("min"),
         [=](bool h) { return art::windowButton(window, Glyph::Minimise, h, false); });
    pair(out, QStringLiteral("max"),
         [=](bool h) { return art::windowButton(window, Glyph::Maximise, h, false); });
    pair(out, QStringLiteral("normal"),
         [=](bool h) { return art::windowButton(window, Glyph::Restore, h, false); });
    pair(out, QStringLiteral("closeWnd"),
         [=](bool h) { return art::windowButton(window, Glyph::Close, h, true); });

    const QSize panel(32, 17);
    for (const auto& [name, text] :
         {std::pair{"login", "Login"}, {"register", "Register"}, {"task", "Task"}, {"help", "Help"}})
        pair(out, QLatin1String(name),
             [=](bool h) { return art::panelButton(panel, QLatin1String(text), h, false); });
    pair(out, QStringLiteral("viewMode"),
         [](bool h) { return art::panelButton(QSize(69, 17), QStringLiteral("View mode"), h, true); });

    const QSize box(85, 25);
    const QSize bar(84, 25); // the status bar's pair
    caption(out, QStringLiteral("ok"), box, QStringLiteral("OK"), Tone::Primary);
    caption(out, QStringLiteral("cancel"), box, QStringLiteral("Cancel"), Tone::Plain);
    caption(out, QStringLiteral("yes"), box, QStringLiteral("Yes"), Tone::Primary);
    caption(out, QStringLiteral("no"), box, QStringLiteral("No"), Tone::Plain);
    caption(out, QStringLiteral("allYes"), box, QStringLiteral("Yes all"), Tone::Primary);
    caption(out, QStringLiteral("allNo"), box, QStringLiteral("No all"), Tone::Plain);
    caption(out, QStringLiteral("reUpload"), box, QStringLiteral("Re-upload"), Tone::Primary);
    caption(out, QStringLiteral("autoLoad"), box, QStringLiteral("Next time"), Tone::Primary);
    caption(out, QStringLiteral("noLoad"), box, QStringLiteral("No thanks"), Tone::Plain);
    caption(out, QStringLiteral("addPhoto"), box, QStringLiteral("Select Files"), Tone::Primary);
    caption(out, QStringLiteral("import"), box, QStringLiteral("Import"), Tone::Plain);
    caption(out, QStringLiteral("download"), box, QStringLiteral("Update"), Tone::Plain);
    caption(out, QStringLiteral("addTextDate"), box, QStringLiteral("Add text"), Tone::Plain);
    caption(out, QStringLiteral("addElement"), box, QStringLiteral("Add element"), Tone::Plain);
    caption(out, QStringLiteral("removeTextDate"), box, QStringLiteral("Delete"), Tone::Plain);
    caption(out, QStringLiteral("upload"), bar, QStringLiteral("Upload"), Tone::Primary);
    caption(out, QStringLiteral("cancelUpload"), bar, QStringLiteral("Stop"), Tone::Plain);
    caption(out, QStringLiteral("close"), bar, QStringLiteral("Close"), Tone::Plain);
    pair(out, QStringLiteral("addPhotoBig"),
         [](bool h) { return art::bigAddButton(QSize(173, 58), QStringLiteral("Select Files"), h); });

    const QSize round(64, 64);
    for (const auto& [name, glyph] : {std::pair{"scaleBig", Glyph::ZoomIn},
                                      {"scaleSmall", Glyph::ZoomOut},
                                      {"rotateLeft", Glyph::RotateLeft},
                                      {"rotateRight", Glyph::RotateRight},
                                      {"razor", Glyph::Crop},
                                      {"pre", Glyph::Previous},
                                      {"play", Glyph::Play},
                                      {"pause", Glyph::Pause},
                                      {"next", Glyph::Next},
                                      {"exit", Glyph::Exit}}) {
        const Glyph g = glyph;
        pair(out, QLatin1String(name), [=](bool h) { return art::roundButton(round, g, h); });
    }

    const QSize tile(25, 25);
    out.push_back({QStringLiteral("remove.png"), [=] { return art::tileButton(tile, Glyph::Remove, true); }});
    out.push_back({QStringLiteral("edit.png"), [=] { return art::tileButton(tile, Glyph::Edit, false); }});
    out.push_back({QStringLiteral("info.png"), [=] { return art::tileButton(tile, Glyph::Info, false); }});
    out.push_back(
        {QStringLiteral("fullscreen.png"), [=] { return art::tileButton(tile, Glyph::FullScreen, false); }});

    out.push_back({QStringLiteral("checked.png"),
                   [] { return art::mark(QSize(20, 20), Glyph::Check, QColor(52, 160, 84)); }});
    out.push_back({QStringLiteral("uploadfailed.png"),
                   [] { return art::mark(QSize(20, 20), Glyph::Failed, QColor(214, 72, 62)); }});

    out.push_back({QStringLiteral("logo.png"), [] { return art::logo(QSize(200, 45)); }});
    out.push_back({QStringLiteral("smallLogo.png"), [] { return art::emblem(32); }});
    out.push_back({QStringLiteral("appIcon.png"), [] { return art::emblem(128); }});
    out.push_back({QStringLiteral("loading.png"), [] { return art::loadingPicture(QSize(180, 120)); }});
    out.push_back(
        {QStringLiteral("noSelectImage.PNG"), [] { return art::dropPhotosPicture(QSize(260, 180)); }});
    return out;
}

bool writeQrc(const QString& path, const std::vector<Bitmap>& bitmaps)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const Bitmap& bitmap : bitmaps)
        stream << "    <file>Resources/" << bitmap.name << "</file>\n";
    stream << "</qresource>\n</RCC>\n";
    stream.flush();
    return file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: mkbitmaps <output folder>\n");
        return 2;
    }
    const QDir out(args.at(1));
    if (!out.mkpath(QStringLiteral("Resources"))) {
        std::fprintf(stderr, "mkbitmaps: cannot create %s\n",
                     qPrintable(out.filePath(QStringLiteral("Resources"))));
        return 1;
    }
    const std::vector<Bitmap> bitmaps = catalogue();
    for (const Bitmap& bitmap : bitmaps) {
        const QString path = out.filePath(QStringLiteral("Resources/") + bitmap.name);
        QSaveFile file(path);
        QImageWriter writer(&file, "png");
        if (!file.open(QIODevice::WriteOnly) || !writer.write(bitmap.draw()) || !file.commit()) {
            std::fprintf(stderr, "mkbitmaps: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    if (!writeQrc(out.filePath(QStringLiteral("bitmaps.qrc")), bitmaps)) {
        std::fprintf(stderr, "mkbitmaps: cannot write the resource list\n");
        return 1;
    }
    return 0;
}
