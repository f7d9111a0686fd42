// mkbitmaps: draws every compiled-in bitmap of both programs and the resource
// collection file that lists them. Output is the same on every run, so the
// build only redoes the resource when this tool changes.
//
//   mkbitmaps <output folder>   writes <output>/Resources/*.png, the Chinese
//                               captioned ones to <output>/Resources/zh/*.png,
//                               <output>/bitmaps.qrc, and the application icon
//                               for desktops under <output>/icons/hicolor
//
// The Chinese bitmaps are listed under lang="zh" with the English names, so
// ":/Resources/ok.png" gives the Chinese button once the program has made
// Chinese its default locale, and every other bitmap falls back to English.

#include "vbArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <tuple>
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

enum class Language
{
    English,
    Chinese
};

// Every bitmap that carries words, in the given language.
std::vector<Bitmap> captioned(Language language)
{
    const bool zh = language == Language::Chinese;
    const auto say = [zh](const char* english, const char16_t* chinese) {
        return zh ? QString::fromUtf16(chinese) : QString::fromLatin1(english);
    };
    std::vector<Bitmap> out;

    const QSize panel(32, 17);
    for (const auto& [name, en, cn] : {std::tuple{"login", "Login", u"登录"},
                                       {"register", "Register", u"注册"},
                                       {"task", "Task", u"任务"},
                                       {"help", "Help", u"帮助"}}) {
        const QString text = say(en, cn);
        pair(out, QLatin1String(name), [=](bool h) { return art::panelButton(panel, text, h, false); });
    }
    const QString viewMode = say("View mode", u"查看方式");
    pair(out, QStringLiteral("viewMode"),
         [=](bool h) { return art::panelButton(QSize(69, 17), viewMode, h, true); });

    const QSize box(85, 25);
    const QSize bar(84, 25); // the status bar's pair
    for (const auto& [name, size, en, cn, tone] :
         {std::tuple{"ok", box, "OK", u"确定", Tone::Primary},
          {"cancel", box, "Cancel", u"取消", Tone::Plain},
          {"yes", box, "Yes", u"是", Tone::Primary},
          {"no", box, "No", u"否", Tone::Plain},
          {"allYes", box, "Yes to all", u"全部是", Tone::Primary},
          {"allNo", box, "No to all", u"全部否", Tone::Plain},
          {"reUpload", box, "Re-upload", u"重新上传", Tone::Primary},
          {"autoLoad", box, "Next time", u"下次上传", Tone::Primary},
          {"noLoad", box, "No thanks", u"不用了", Tone::Plain},
          {"addPhoto", box, "Select Files", u"选择照片", Tone::Primary},
          {"import", box, "Import", u"导入", Tone::Plain},
          {"download", box, "Update", u"更新", Tone::Plain},
          {"addTextDate", box, "Add text", u"添加文字", Tone::Plain},
          {"addElement", box, "Add element", u"添加元素", Tone::Plain},
          {"removeTextDate", box, "Delete", u"删除", Tone::Plain},
          {"undo", box, "Undo", u"撤销", Tone::Plain},
          {"redo", box, "Redo", u"重做", Tone::Plain},
          {"upload", bar, "Upload", u"上传", Tone::Primary},
          {"cancelUpload", bar, "Stop", u"停止", Tone::Plain},
          {"close", bar, "Close", u"关闭", Tone::Plain}})
        caption(out, QLatin1String(name), size, say(en, cn), tone);
    const QString select = say("Select Files", u"选择照片");
    pair(out, QStringLiteral("addPhotoBig"),
         [=](bool h) { return art::bigAddButton(QSize(173, 58), select, h); });

    const QString loading = say("Loading picture...", u"正在加载图片…");
    out.push_back(
        {QStringLiteral("loading.png"), [=] { return art::loadingPicture(QSize(180, 120), loading); }});
    const QString title = say("Drop photos here", u"把照片拖到这里");
    const QString hint = say("or use \"Select Files\"", u"或点击“选择照片”");
    out.push_back({QStringLiteral("noSelectImage.PNG"),
                   [=] { return art::dropPhotosPicture(QSize(260, 180), title, hint); }});
    return out;
}

// The English set: the captioned bitmaps and every glyph and picture.
std::vector<Bitmap> catalogue()
{
    std::vector<Bitmap> out = captioned(Language::English);
    const QSize window(25, 20);
    pair(out, QStringLiteral("min"),
         [=](bool h) { return art::windowButton(window, Glyph::Minimise, h, false); });
    pair(out, QStringLiteral("max"),
         [=](bool h) { return art::windowButton(window, Glyph::Maximise, h, false); });
    pair(out, QStringLiteral("normal"),
         [=](bool h) { return art::windowButton(window, Glyph::Restore, h, false); });
    pair(out, QStringLiteral("closeWnd"),
         [=](bool h) { return art::windowButton(window, Glyph::Close, h, true); });

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
    return out;
}

bool writeQrc(const QString& path, const std::vector<Bitmap>& english, const std::vector<Bitmap>& chinese)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const Bitmap& bitmap : english)
        stream << "    <file>Resources/" << bitmap.name << "</file>\n";
    stream << "</qresource>\n<qresource prefix=\"/Resources\" lang=\"zh\">\n";
    for (const Bitmap& bitmap : chinese)
        stream << "    <file alias=\"" << bitmap.name << "\">Resources/zh/" << bitmap.name << "</file>\n";
    stream << "</qresource>\n</RCC>\n";
    stream.flush();
    return file.commit();
}

bool writeAll(const QDir& folder, const std::vector<Bitmap>& bitmaps)
{
    for (const Bitmap& bitmap : bitmaps) {
        const QString path = folder.filePath(bitmap.name);
        QSaveFile file(path);
        QImageWriter writer(&file, "png");
        if (!file.open(QIODevice::WriteOnly) || !writer.write(bitmap.draw()) || !file.commit()) {
            std::fprintf(stderr, "mkbitmaps: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

// The desktop's icon theme wants the emblem at its usual sizes.
bool writeDesktopIcons(const QDir& out)
{
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("icons/hicolor/%1x%1/apps").arg(side);
        if (!out.mkpath(folder))
            return false;
        QSaveFile file(out.filePath(folder + QStringLiteral("/pixelvane.png")));
        QImageWriter writer(&file, "png");
        if (!file.open(QIODevice::WriteOnly) || !writer.write(art::emblem(side)) || !file.commit())
            return false;
    }
    return true;
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
    if (!out.mkpath(QStringLiteral("Resources/zh"))) {
        std::fprintf(stderr, "mkbitmaps: cannot create %s\n",
                     qPrintable(out.filePath(QStringLiteral("Resources/zh"))));
        return 1;
    }
    if (!art::hanFontInstalled())
        std::fprintf(stderr, "mkbitmaps: warning: WenQuanYi Micro Hei is not installed; "
                             "the Chinese captions use a fallback font\n");
    const std::vector<Bitmap> english = catalogue();
    const std::vector<Bitmap> chinese = captioned(Language::Chinese);
    if (!writeAll(QDir(out.filePath(QStringLiteral("Resources"))), english) ||
        !writeAll(QDir(out.filePath(QStringLiteral("Resources/zh"))), chinese))
        return 1;
    if (!writeDesktopIcons(out)) {
        std::fprintf(stderr, "mkbitmaps: cannot write the desktop icons\n");
        return 1;
    }
    if (!writeQrc(out.filePath(QStringLiteral("bitmaps.qrc")), english, chinese)) {
        std::fprintf(stderr, "mkbitmaps: cannot write the resource list\n");
        return 1;
    }
    return 0;
}
