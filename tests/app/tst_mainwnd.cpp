// The main window: closing only hides it, the look while uploading, signing out, the remembered album;
// the language the programs choose and the sentences built from translated pieces.
#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbMainWnd.h"
#include "vbModalAnswer.h"
#include "vbSelectFiles.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbTestService.h"
#include "vbTitleBar.h"
#include "vbToolPanel.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"
#include "vbUploadQueue.h"

#include <QtTest>
#include <QtWidgets>

class tst_MainWnd : public QObject
{
    Q_OBJECT

private:
    static QString builtQm(const QString& language)
    {
        return qEnvironmentVariable("PV_BUILD_DIR") + QStringLiteral("/tr/pixvane_%1.qm").arg(language);
    }
    // Points the program folder at service and stores the demo account, then restarts the window.
    void startWithAccount(int recentAlbumId = 0, const QString& recentKey = QString())
    {
        QFile::remove(QStringLiteral("system.ini"));
        QVERIFY(m_service.writeSystemIni(m_program.path()));
        vbIniParser ini("system.ini");
        ini.setString("user.info", "username", velbrook::kDemoEmail);
        ini.setString("user.info", "password", velbrook::kDemoPassword);
        ini.setBool("user.info", "autologin", true);
        if (recentAlbumId)
            ini.setInt("recent.album", recentKey, recentAlbumId);
        restart();
    }
    // A new window in the same program folder, as after a restart; waits for its albums.
    void restart(int albums = 3)
    {
        cleanup();
        init();
        if (albums)
            QTRY_COMPARE_WITH_TIMEOUT(m_window->toolPanel()->comboBox->count(), albums, 10000);
    }
    void chooseAccountAction(int index)
    {
        QMenu* menu = m_window->accountMenu();
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(index)).center());
    }

    QTemporaryDir m_program;
    vbTestService m_service;
    std::unique_ptr<vbMainWnd> m_window;

private slots:
    void initTestCase() { QVERIFY2(m_service.isRunning(), qPrintable(m_service.errorString())); }
    void init()
    {
        QDir::setCurrent(m_program.path());
        m_window = std::make_unique<vbMainWnd>();
        m_window->setGeometry(100, 100, 800, 550);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        QFile::remove(vbUploadQueue::recoveryPath());
        QLocale::setDefault(QLocale::c());
    }

    // Both close buttons and the window system's close go to the tray (or
    // minimise where there is none), keeping the geometry; the program goes on.
    void closingOnlyHides()
    {
        // The tool panel's Close, the status bar's Close, the window system's close.
        for (int way = 0; way < 3; ++way) {
            const QRect before = m_window->geometry();
            if (way == 2)
                QVERIFY(!m_window->close());
            else
                QTest::mouseClick(way == 0 ? m_window->toolPanel()->btnClose
                                           : m_window->statusBar()->btnClose,
                                  Qt::LeftButton);
            if (QSystemTrayIcon::isSystemTrayAvailable())
                QVERIFY2(!m_window->isVisible(), qPrintable(QString::number(way)));
            else
                QVERIFY2(m_window->isVisible() && m_window->isMinimized(), qPrintable(QString::number(way)));
            m_window->trayIcon()->contextMenu()->actions().at(2)->trigger(); // Restore
            QVERIFY(m_window->isVisible() && !m_window->isMinimized());
            QCOMPARE(m_window->geometry(), before);
        }
    }

    // The window follows the session's upload flag: Upload turns into Cancel,
    // the choices that would change the run are locked, the status line says so.
    void uploadingLook()
    {
        for (const bool uploading : {true, false}) {
            m_window->session()->setUploading(uploading);
            QCOMPARE(m_window->toolPanel()->btnSelectFile->isEnabled(), !uploading);
            QCOMPARE(m_window->toolPanel()->comboBox->isEnabled(), !uploading);
            QCOMPARE(m_window->statusBar()->lblDeleteAll->isEnabled(), !uploading);
            QCOMPARE(m_window->statusText(),
                     uploading ? QStringLiteral("Uploading...") : QStringLiteral("StandBy"));
        }
    }

    // "Sign in as someone else" keeps the session until the dialog succeeds;
    // signing out clears it and switches the automatic sign-in off.
    void signOut()
    {
        startWithAccount();
        vbSession* session = m_window->session();
        QVERIFY(session->isLoggedIn());
        vbModalAnswer login;
        login.expect(QStringLiteral("vbLogin"), vbModalAnswer::reject);
        chooseAccountAction(1);
        QCOMPARE(login.pending(), 0);
        QVERIFY(session->isLoggedIn());

        chooseAccountAction(0);
        QVERIFY(!session->isLoggedIn());
        QVERIFY(session->userName().isEmpty() && session->password().isEmpty());
        QCOMPARE(m_window->toolPanel()->comboBox->count(), 0);
        const vbIniParser ini("system.ini");
        QVERIFY(!ini.getBool("user.info", "autologin", true));
        QVERIFY(ini.getString("user.info", "password").isEmpty());

        restart(0);
        login.expect(QStringLiteral("vbLogin"), vbModalAnswer::reject);
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QCOMPARE(login.pending(), 0);
        QVERIFY(login.unexpected().isEmpty());
    }

    // The album box starts on the album the account chose last time, while it exists.
    void albumRemembered()
    {
        // The account's key, the album id stored under it, the album then selected.
        const std::tuple<QString, int, QString> cases[] = {
            {"user1001", velbrook::kArchiveAlbumId, "Archive"},
            {"user1001", 99, "Family"}, // gone from the service
            {"user1002", velbrook::kArchiveAlbumId, "Family"}};
        for (const auto& [key, albumId, selected] : cases) {
            startWithAccount(albumId, key);
            QCOMPARE(m_window->toolPanel()->comboBox->currentText(), selected);

            // A new choice is what the next start comes back to; the other account keeps its own.
            m_window->toolPanel()->comboBox->setCurrentIndex(1);
            restart();
            QCOMPARE(m_window->toolPanel()->comboBox->currentText(), QStringLiteral("Trip"));
            QCOMPARE(m_window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
            if (key == QLatin1String("user1002"))
                QCOMPARE(vbIniParser("system.ini").getString("recent.album", key), QString::number(albumId));
        }
    }

    void choose()
    {
        // System locale, [ui] language setting, expected language.
        const char* cases[][3] = {{"zh_TW", "", "zh"},     {"zh-Hant-TW", "", "zh"}, {"de_DE", "", "en"},
                                  {"C", "", "en"},         {"de_DE", "zh", "zh"},    {"zh_CN", "en", "en"},
                                  {"fr_FR", " ZH ", "zh"}, {"zh_CN", "fr", "zh"},    {"en_US", "zhx", "en"}};
        for (const auto& c : cases)
            QVERIFY2(vbLanguage::choose(QLatin1String(c[0]), QLatin1String(c[1])) == QLatin1String(c[2]),
                     qPrintable(QStringLiteral("%1 / '%2'").arg(c[0], c[1])));
    }

    // The program folder decides: its [ui] setting, and whether it holds that translation.
    void install()
    {
        for (const bool present : {true, false}) {
            QTemporaryDir folder;
            QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("tr")));
            if (present)
                QVERIFY(QFile::copy(builtQm("zh"), folder.filePath("tr/pixvane_zh.qm")));
            QVERIFY(vbIniParser(folder.filePath("system.ini")).setString("ui", "language", "zh"));
            QVERIFY(QDir::setCurrent(folder.path()));
            QTranslator translator;
            QCOMPARE(vbLanguage::install(&translator, QStringLiteral("pixvane"), "system.ini"),
                     present ? "zh" : "en");
            QCOMPARE(QCoreApplication::translate("vbMainWnd", "Quit"), present ? "退出" : "Quit");
            // The locale picks the captioned bitmaps, so it must match the language.
            QCOMPARE(QLocale().language(), present ? QLocale::Chinese : QLocale::English);
        }
        QDir::setCurrent(m_program.path());
    }

    void compose()
    {
        const QStringList ab{"a", "b"};
        QCOMPARE(vbLanguage::compose("%1 7%2", ab), QStringLiteral("a 7b"));
        QCOMPARE(vbLanguage::compose("only %2", ab), QStringLiteral("only b"));
        QCOMPARE(vbLanguage::compose("%1%2", {"x%2", "y"}), QStringLiteral("x%2y")); // pieces are not re-read
        QCOMPARE(vbLanguage::compose("%1 %3 100%", {"a"}), QStringLiteral("a %3 100%"));
    }

    // Chinese reads as the pieces always joined, English is worded with its plurals, and without a
    // translation the source pieces join as before. Plural counts show in the gallery; singulars do not.
    void sentences()
    {
        const auto lead = [] { return QCoreApplication::translate("vbUploadQueue", "Uploading...Success"); };
        QCOMPARE(vbUploadQueue::albumRoomQuestion(5),
                 "You can upload5 photos.Do you want upload front photo?");
        QTranslator zh, en;
        QVERIFY(zh.load(builtQm("zh")) && en.load(builtQm("en")));
        QCoreApplication::installTranslator(&zh);
        QCOMPARE(vbUploadQueue::progressText(lead(), 3, 1), "正在上传...已成功 3 张照片，等待 1 张照片。");
        QCOMPARE(vbUploadQueue::albumFullText(), "您还可以上传 500 张照片。");
        QCoreApplication::removeTranslator(&zh);
        QCoreApplication::installTranslator(&en);
        QCOMPARE(vbMainWnd::photoCountText(1), "You have selected 1 photo");
        QCOMPARE(vbUploadQueue::progressText(lead(), 1, 2), "Uploading... 1 photo uploaded, 2 left.");
        QCOMPARE(vbUploadQueue::albumRoomQuestion(1),
                 "The album has room for only 1 more photo. Do you want to upload the first one?");
        QCOMPARE(vbUploadFailed::countsText(1, 6), "1 photo uploaded, 6 failed.");
        QCOMPARE(vbSelectFiles::selectInfoText(1), "1 photo selected");
        // The result boxes choose title and sentence by the counts, one photo worded apart.
        const std::pair<QPoint, QStringList> results[] = {
            {{0, 6}, {"Upload Failed", "None of the 6 photos could be uploaded."}},
            {{0, 1}, {"Upload Failed", "The photo could not be uploaded."}},
            {{1, 0}, {"Upload Complete", "The photo was uploaded."}}};
        for (const auto& [counts, shown] : results) {
            vbUploadFailed failed;
            vbUploadComplete complete(QStringLiteral("http://127.0.0.1"));
            failed.setCounts(counts.x(), counts.y());
            complete.setUploaded(counts.x());
            const QStringList got = counts.y()
                                        ? QStringList{failed.widget->title(), failed.label->text()}
                                        : QStringList{complete.widget->title(), complete.label->text()};
            QCOMPARE(got, shown);
        }
        QCoreApplication::removeTranslator(&en);
    }
};

QTEST_MAIN(tst_MainWnd)
#include "tst_mainwnd.moc"
