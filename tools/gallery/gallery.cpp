// Writes a picture of every window and dialog of both programs into a folder, in one language, so a
// person can look at all of them at once:  gallery OUTDIR en|zh  (scripts/gallery.sh runs both).
// It needs a display (xvfb-run) and the compiled translations in the build folder's tr/.
#include "KitButtonFlags.h"
#include "vbAddElement.h"
#include "vbAddText.h"
#include "vbCanvasScene.h"
#include "vbCavas.h"
#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbFullScreen.h"
#include "vbLogin.h"
#include "vbLogs.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbNewAlbums.h"
#include "vbPhotoInfo.h"
#include "vbPlayer.h"
#include "vbPushButton.h"
#include "vbRazorDialog.h"
#include "vbSamplePicture.h"
#include "vbSelectFiles.h"
#include "vbSession.h"
#include "vbShowImage.h"
#include "vbToolPanel.h"
#include "vbUpdate.h"
#include "vbUploadAgainBox.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QPixmapCache>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <cstdio>

namespace {

class Gallery
{
public:
    Gallery(const QString& outDir, const QString& language) : m_outDir(outDir), m_language(language) {}

    bool ok() const { return m_failures == 0; }

    void shoot(QWidget* widget, const QString& name)
    {
        if (!widget->isVisible())
            widget->show();
        if (!QTest::qWaitForWindowExposed(widget))
            std::fprintf(stderr, "%s: not exposed\n", qPrintable(name));
        QTest::qWait(50); // let queued repaints and layouts settle
        const QString file = QStringLiteral("%1/%2_%3.png").arg(m_outDir, name, m_language);
        if (!widget->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++m_failures;
            return;
        }
        std::printf("%s\n", qPrintable(file));
    }

private:
    QString m_outDir;
    QString m_language;
    int m_failures = 0;
};

QList<QFileInfo> makePhotos(const QDir& dir)
{
    QList<QFileInfo> photos;
    for (int i = 0; i < 8; ++i) {
        const QString path = dir.filePath(QStringLiteral("IMG_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')));
        const QSize size = i % 3 ? QSize(1600, 1200) : QSize(1200, 1600);
        if (vbSamplePicture::writePhoto(path, size, i, 85))
            photos.append(QFileInfo(path));
    }
    return photos;
}

void viewers(Gallery& gallery, const QList<vbFileNode*>& nodes)
{
    {
        vbPlayer player(nodes);
        player.resize(1024, 700);
        // The first picture comes with the first tick: take it now rather than in three seconds.
        player.timer()->stop();
        player.slot_timeOut();
        player.show();
        QTest::qWait(500);
        gallery.shoot(&player, QStringLiteral("slideshow"));
    }
    {
        vbFullScreen view;
        view.setImagePath(nodes.constFirst()->absoluteFilePath());
        gallery.shoot(&view, QStringLiteral("fullscreen"));
    }
    {
        vbPhotoInfo info;
        info.setNode(nodes.constFirst());
        gallery.shoot(&info, QStringLiteral("photo_info"));
    }
    {
        vbShowImage preview;
        preview.showFor(nodes.at(1), QRect(100, 100, 130, 150));
        gallery.shoot(&preview, QStringLiteral("preview"));
    }
}

void editor(Gallery& gallery, vbFileNode* node)
{
    vbCavas editor(node);
    editor.resize(1124, 700);
    editor.show();
    if (!QTest::qWaitFor([&] { return editor.scene()->hasPhoto(); }, 10000))
        std::fprintf(stderr, "the editor did not get its picture\n");
    gallery.shoot(&editor, QStringLiteral("editor"));

    vbRazorDialog razor(1600, 1200, &editor);
    gallery.shoot(&razor, QStringLiteral("editor_crop_sizes"));
    razor.hide();

    vbAddText text(&editor);
    gallery.shoot(&text, QStringLiteral("editor_text"));
    text.hide();

    // A server that takes the connection and never greets keeps a download going.
    QTcpServer silent;
    vbEndpoints endpoints;
    endpoints.setUpdateFtp(QStringLiteral("127.0.0.1"));
    if (silent.listen(QHostAddress::LocalHost))
        endpoints.setFtpPort(silent.serverPort());
    vbAddElement elements(endpoints, &editor);
    gallery.shoot(&elements, QStringLiteral("editor_elements"));
    if (silent.isListening()) {
        QTest::mouseClick(elements.btnUpdate, Qt::LeftButton);
        gallery.shoot(&elements, QStringLiteral("editor_elements_download"));
    }
    elements.hide();
}

// Tiles in every upload state, in the three view modes; the list is left as it was.
void uploadStates(Gallery& gallery, vbMainWnd& window)
{
    const QList<vbFileNode*> nodes = window.fileList()->nodes();
    const vbUploadState states[] = {vbUploadState::Waiting,      vbUploadState::RequestingKey,
                                    vbUploadState::Transferring, vbUploadState::Committing,
                                    vbUploadState::Uploaded,     vbUploadState::Failed};
    for (int i = 0; i < nodes.size() && i < 6; ++i) {
        nodes.at(i)->setFailureReason(QStringLiteral("Sending the photo failed: timeout"));
        nodes.at(i)->setInUploadRun(true);
        nodes.at(i)->setUploadState(states[i]);
        nodes.at(i)->tile()->setProgress(42, 100);
    }
    gallery.shoot(&window, QStringLiteral("mainwnd_states_small_icons"));
    window.toolPanel()->actionBigIcon()->trigger();
    gallery.shoot(&window, QStringLiteral("mainwnd_states_big_icons"));
    window.toolPanel()->actionList()->trigger();
    gallery.shoot(&window, QStringLiteral("mainwnd_states_list"));
    window.toolPanel()->actionSmallIcon()->trigger();
    for (int i = 0; i < nodes.size() && i < 6; ++i) {
        nodes.at(i)->setInUploadRun(false);
        nodes.at(i)->setUploadState(vbUploadState::Waiting);
        nodes.at(i)->setFailureReason(QString());
    }
}

void mainWindowAndDialogs(Gallery& gallery, const QList<QFileInfo>& photos)
{
    vbMainWnd window;
    gallery.shoot(&window, QStringLiteral("mainwnd_empty"));

    window.session()->signIn(1001, QStringLiteral("demo@velbrook.test"), QStringLiteral("demo"),
                             QStringLiteral("127.0.0.2"), QStringLiteral("http"));
    window.toolPanel()->lblLoginInfo->setText(QCoreApplication::translate("vbMainWnd", "Welcome") +
                                              QStringLiteral("demo@velbrook.test"));
    window.toolPanel()->label->show();
    window.toolPanel()->comboBox->show();
    window.toolPanel()->lblCreate->show();
    window.toolPanel()->comboBox->addItems({QStringLiteral("Family"), QStringLiteral("Trip")});
    window.fileList()->addFiles(photos, false);
    const QList<vbFileNode*> nodes = window.fileList()->nodes();
    if (nodes.isEmpty() || !QTest::qWaitFor([&] { return !nodes.constLast()->thumbnail().isNull(); }, 20000))
        std::fprintf(stderr, "thumbnails did not arrive\n");
    gallery.shoot(&window, QStringLiteral("mainwnd_small_icons"));
    window.toolPanel()->actionBigIcon()->trigger();
    gallery.shoot(&window, QStringLiteral("mainwnd_big_icons"));
    window.toolPanel()->actionList()->trigger();
    gallery.shoot(&window, QStringLiteral("mainwnd_list"));
    window.toolPanel()->actionSmallIcon()->trigger();
    uploadStates(gallery, window);

    vbMessageBox box(OkButton | CancelButton, QCoreApplication::translate("vbMainWnd", "Tips"),
                     QCoreApplication::translate("vbMainWnd", "Do you want clear all photo?"), &window);
    gallery.shoot(&box, QStringLiteral("messagebox"));
    box.hide();

    vbLogin login(window.session()->endpoints(), &window);
    gallery.shoot(&login, QStringLiteral("login"));
    login.hide();

    vbNewAlbums albums(QStringLiteral("http://127.0.0.1:9/client2/"), 1001, &window);
    gallery.shoot(&albums, QStringLiteral("newalbum"));
    albums.hide();

    vbSelectFiles select(&window, window.fileList());
    gallery.shoot(&select, QStringLiteral("selectfiles"));
    select.hide();

    vbUploadAgainBox again(nodes.constFirst()->thumbnail(), nodes.constFirst()->absoluteFilePath(), &window);
    gallery.shoot(&again, QStringLiteral("upload_again"));
    again.hide();
    vbUploadComplete complete(window.session()->endpoints().webPage(QString()), &window);
    complete.setUploaded(8);
    gallery.shoot(&complete, QStringLiteral("upload_complete"));
    complete.hide();
    vbUploadFailed failed(&window);
    failed.setCounts(5, 3);
    UploadLogRecords failures;
    for (int i = 0; i < nodes.size() && i < 3; ++i)
        failures.append({false, QString(), nodes.at(i)->absoluteFilePath(), QString(), QString(),
                         QStringLiteral("Sending the photo failed: timeout")});
    failed.setFailures(failures);
    gallery.shoot(&failed, QStringLiteral("upload_failed"));
    failed.hide();

    vbLogs logs(&window);
    UploadLogRecords records;
    for (int i = 0; i < nodes.size(); ++i)
        records.append({i % 3 != 1, QStringLiteral("demo@velbrook.test"), nodes.at(i)->absoluteFilePath(),
                        QStringLiteral("Family"), QStringLiteral("2026.12.07 10:%1:00").arg(10 + i),
                        i % 3 == 1 ? QStringLiteral("transfer failed: connection reset") : QString()});
    // The first failed photo went through on a later try.
    if (nodes.size() > 1)
        records.append({true, QStringLiteral("demo@velbrook.test"), nodes.at(1)->absoluteFilePath(),
                        QStringLiteral("Family"), QStringLiteral("2026.12.07 11:02:00"), QString()});
    logs.setRecords(records);
    gallery.shoot(&logs, QStringLiteral("upload_log"));
    logs.hide();

    viewers(gallery, nodes);
    editor(gallery, nodes.constFirst());
}

void updater(Gallery& gallery)
{
    vbMessageBox question(
        OkButton | CancelButton, QCoreApplication::translate("vbUpdaterApp", "Tips"),
        QCoreApplication::translate("vbUpdaterApp", "Detected latest version.Do you want update now?"));
    gallery.shoot(&question, QStringLiteral("updater_question"));
    question.hide();
    // Nothing listens on the discard port: the dialog shows how a failed download reads.
    vbEndpoints nowhere;
    nowhere.setFtpPort(9);
    vbUpdate update(QStringLiteral("program"), QDir::tempPath(), nowhere, nullptr);
    gallery.shoot(&update, QStringLiteral("updater_download"));
}

bool useLanguage(QTranslator& main, QTranslator& updater, const QString& trDir, const QString& language)
{
    const bool mainLoaded = main.load(QStringLiteral("%1/pixvane_%2.qm").arg(trDir, language));
    const bool updaterLoaded = updater.load(QStringLiteral("%1/quillmere_%2.qm").arg(trDir, language));
    if (!mainLoaded || !updaterLoaded)
        return false;
    QCoreApplication::installTranslator(&main);
    // As the programs do: the language's locale picks the bitmaps captioned in it.
    QLocale::setDefault(language == QLatin1String("zh") ? QLocale(QLocale::Chinese, QLocale::China)
                                                        : QLocale(QLocale::English, QLocale::UnitedStates));
    QPixmapCache::clear();
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: gallery OUTDIR en|zh\n");
        return 2;
    }
    const QString outDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString language = QString::fromLatin1(argv[2]);
    const QString trDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../../tr");
    QDir().mkpath(outDir);

    QTranslator mainTranslation;
    QTranslator updaterTranslation;
    if (!useLanguage(mainTranslation, updaterTranslation, trDir, language)) {
        std::fprintf(stderr, "no %s translation in %s\n", qPrintable(language), qPrintable(trDir));
        return 1;
    }

    // A program folder of its own, with the service where nothing answers.
    QTemporaryDir program;
    QDir::setCurrent(program.path());
    QFile ini(QStringLiteral("system.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[service]\r\nhttpport=9\r\nftpport=9\r\n");
    ini.close();
    // The starter element pictures of the build, for the element dialog.
    const QDir elements(QCoreApplication::applicationDirPath() + QStringLiteral("/../../Elements"));
    for (const QString& type : elements.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QDir().mkpath(QStringLiteral("Elements/") + type);
        for (const QString& picture : QDir(elements.filePath(type)).entryList(QDir::Files))
            QFile::copy(elements.filePath(type + QLatin1Char('/') + picture),
                        QStringLiteral("Elements/%1/%2").arg(type, picture));
    }
    QDir().mkpath(QStringLiteral("photos"));
    const QList<QFileInfo> photos = makePhotos(QDir(QStringLiteral("photos")));

    Gallery gallery(outDir, language);
    mainWindowAndDialogs(gallery, photos);
    QCoreApplication::removeTranslator(&mainTranslation);
    QCoreApplication::installTranslator(&updaterTranslation);
    updater(gallery);
    return gallery.ok() ? 0 : 1;
}
