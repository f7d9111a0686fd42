// The main window: closing only hides it, the look while uploading, signing out, the remembered album.
#include "vbIniParser.h"
#include "vbMainWnd.h"
#include "vbModalAnswer.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbTestService.h"
#include "vbToolPanel.h"
#include "vbUploadQueue.h"

#include <QtTest>
#include <QtWidgets>

class tst_MainWnd : public QObject
{
    Q_OBJECT

private:
    // Points the program folder at service and stores the demo account, then restarts the window.
    void startWithAccount(int recentAlbumId = 0, const QString& recentKey = QString())
    {
        QFile::remove(QStringLiteral("system.ini"));
        QVERIFY(m_service.writeSystemIni(m_program.path()));
        vbIniParser ini(QStringLiteral("system.ini"));
        ini.setString(QStringLiteral("user.info"), QStringLiteral("username"),
                      QLatin1String(velbrook::kDemoEmail));
        ini.setString(QStringLiteral("user.info"), QStringLiteral("password"),
                      QLatin1String(velbrook::kDemoPassword));
        ini.setBool(QStringLiteral("user.info"), QStringLiteral("autologin"), true);
        if (recentAlbumId)
            ini.setInt(QStringLiteral("recent.album"), recentKey, recentAlbumId);
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
    }

    // Both close buttons and the window system's close go to the tray (or
    // minimise where there is none), keeping the geometry; the program goes on.
    void closingOnlyHides_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("tool panel Close") << 0;
        QTest::newRow("status bar Close") << 1;
        QTest::newRow("window system close") << 2;
    }
    void closingOnlyHides()
    {
        QFETCH(int, way);
        const QRect before = m_window->geometry();
        if (way == 2)
            QVERIFY(!m_window->close());
        else
            QTest::mouseClick(way == 0 ? m_window->toolPanel()->btnClose : m_window->statusBar()->btnClose,
                              Qt::LeftButton);
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QVERIFY(!m_window->isVisible());
        else
            QVERIFY(m_window->isVisible() && m_window->isMinimized());
        m_window->trayIcon()->contextMenu()->actions().at(2)->trigger(); // Restore
        QVERIFY(m_window->isVisible() && !m_window->isMinimized());
        QCOMPARE(m_window->geometry(), before);
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
        const vbIniParser ini(QStringLiteral("system.ini"));
        QVERIFY(!ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), true));
        QVERIFY(ini.getString(QStringLiteral("user.info"), QStringLiteral("password")).isEmpty());

        restart(0);
        login.expect(QStringLiteral("vbLogin"), vbModalAnswer::reject);
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QCOMPARE(login.pending(), 0);
        QVERIFY(login.unexpected().isEmpty());
    }

    // The album box starts on the album the account chose last time, while it exists.
    void albumRemembered_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("albumId");
        QTest::addColumn<QString>("selected");
        QTest::newRow("chosen last time") << "user1001" << velbrook::kArchiveAlbumId << "Archive";
        QTest::newRow("gone from the service") << "user1001" << 99 << "Family";
        QTest::newRow("another account's choice") << "user1002" << velbrook::kArchiveAlbumId << "Family";
    }
    void albumRemembered()
    {
        QFETCH(QString, key);
        QFETCH(int, albumId);
        QFETCH(QString, selected);
        startWithAccount(albumId, key);
        QCOMPARE(m_window->toolPanel()->comboBox->currentText(), selected);

        // A new choice is what the next start comes back to; the other account keeps its own.
        m_window->toolPanel()->comboBox->setCurrentIndex(1);
        restart();
        QCOMPARE(m_window->toolPanel()->comboBox->currentText(), QStringLiteral("Trip"));
        QCOMPARE(m_window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
        if (key == QLatin1String("user1002"))
            QCOMPARE(vbIniParser(QStringLiteral("system.ini")).getString(QStringLiteral("recent.album"), key),
                     QString::number(albumId));
    }
};

QTEST_MAIN(tst_MainWnd)
#include "tst_mainwnd.moc"
