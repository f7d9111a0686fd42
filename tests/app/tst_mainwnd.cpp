#include "vbEndpoints.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbIniParser.h"
#include "vbLogin.h"
#include "vbMainWnd.h"
#include "vbMessageBox.h"
#include "vbNewAlbums.h"
#include "vbPlayer.h"
#include "vbPushButton.h"
#include "vbSession.h"
#include "vbStatusBar.h"
#include "vbTestPhotos.h"
#include "vbTestService.h"
#include "vbToolPanel.h"
#include "vbUploadQueue.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// The main window's own rules: window size handling, the close buttons, view
// modes, the photo limits of "Select Files", paste and the count texts.
class tst_MainWnd : public QObject
{
    Q_OBJECT

private:
    // Answers the next modal dialog with Escape and remembers its text.
    void answerNextBox()
    {
        m_boxText.clear();
        ++m_generation;
        const int generation = m_generation;
        QTimer::singleShot(0, this, [this, generation] { pollBox(generation, 100); });
    }
    // Runs fill on the modal dialog of type T once it is up.
    template <typename T> void whenModal(const std::function<void(T*)>& fill, int triesLeft = 100)
    {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget()))
            fill(dialog);
        else if (triesLeft > 0)
            QTimer::singleShot(20, this, [this, fill, triesLeft] { whenModal<T>(fill, triesLeft - 1); });
    }
    static void type(QWidget* dialog, const char* edit, const QString& text)
    {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QLatin1String(edit)), text);
    }

    // Points the program folder at service; with autoLogin the demo account is stored for the automatic
    // sign-in.
    void useService(const vbTestService& service, bool autoLogin)
    {
        QFile::remove(QStringLiteral("system.ini"));
        QVERIFY(service.writeSystemIni(m_program.path()));
        vbEndpoints::reloadCurrent();
        vbIniParser ini(QStringLiteral("system.ini"));
        ini.setString(QStringLiteral("user.info"), QStringLiteral("username"),
                      QLatin1String(velbrook::kDemoEmail));
        ini.setString(QStringLiteral("user.info"), QStringLiteral("password"),
                      QLatin1String(velbrook::kDemoPassword));
        ini.setBool(QStringLiteral("user.info"), QStringLiteral("autologin"), autoLogin);
    }

    // A new window in the same program folder, as after a restart of the program.
    void restart()
    {
        cleanup();
        init();
    }

    // Clicks the action of the menu that the Login button offers a signed-in user.
    void chooseAccountAction(int index)
    {
        QMenu* menu = m_window->accountMenu();
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(index)).center());
    }

    void pollBox(int generation, int triesLeft)
    {
        if (generation != m_generation)
            return;
        QWidget* modal = QApplication::activeModalWidget();
        // A dialog shown before exec() (the maximised player) is not listed as modal.
        const QWidgetList tops = QApplication::topLevelWidgets();
        for (int i = 0; !modal && i < tops.size(); ++i) {
            if (tops.at(i)->isVisible() && qobject_cast<QDialog*>(tops.at(i)))
                modal = tops.at(i);
        }
        if (auto* box = qobject_cast<vbMessageBox*>(modal)) {
            m_boxText = box->label->text();
            QTest::keyClick(box, Qt::Key_Escape);
            return;
        }
        if (modal) {
            m_boxText = modal->metaObject()->className();
            QTest::keyClick(modal, Qt::Key_Escape);
            return;
        }
        if (triesLeft > 0)
            QTimer::singleShot(20, this,
                               [this, generation, triesLeft] { pollBox(generation, triesLeft - 1); });
    }

    QList<QFileInfo> makePhotos(int count)
    {
        QList<QFileInfo> files;
        for (int i = 0; i < count; ++i) {
            const QString path = m_photos.filePath(QStringLiteral("p%1.jpg").arg(i));
            if (!QFile::exists(path) && !vbTestPhotos::writeJpeg(path, QSize(40, 30), 80, i))
                qFatal("cannot write a test photo");
            files.append(QFileInfo(path));
        }
        return files;
    }

    QTemporaryDir m_program;
    QTemporaryDir m_photos;
    QString m_boxText;
    int m_generation = 0;
    std::unique_ptr<vbMainWnd> m_window;

private slots:
    void init()
    {
        QDir::setCurrent(m_program.path());
        m_window = std::make_unique<vbMainWnd>();
        setMainWnd(m_window.get());
        m_window->setGeometry(100, 100, 800, 550);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        ++m_generation;
        setMainWnd(nullptr);
        m_window.reset();
        // Each case starts afresh, not with the photos of the one before.
        QFile::remove(vbUploadQueue::recoveryPath());
    }
    void cleanupTestCase()
    {
        QFile::remove(m_program.filePath(QStringLiteral("system.ini")));
        vbEndpoints::setCurrent(vbEndpoints());
    }

    void formAndFlags()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("vbMainWnd"));
        QVERIFY(m_window->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(m_window->windowTitle(), QStringLiteral("velbrook"));
        // Album widgets stay hidden until a sign-in.
        QVERIFY(!m_window->toolPanel()->comboBox->isVisible());
        QVERIFY(!m_window->toolPanel()->lblCreate->isVisible());
        QVERIFY(!m_window->statusBar()->lblDeleteAll->isVisible());
        QCOMPARE(m_window->trayIcon()->contextMenu()->actions().size(), 5);
        QCOMPARE(getMainWnd(), m_window.get());
    }

    void maximiseHideRestore()
    {
        const QRect before = m_window->geometry();
        QTest::mouseClick(m_window->toolPanel()->btnNormal, Qt::LeftButton);
        QVERIFY(m_window->isMaximisedByHand());
        QCOMPARE(m_window->geometry().size(), QGuiApplication::primaryScreen()->availableGeometry().size());
        QCOMPARE(m_window->geometry().topLeft(), QPoint(0, 0));

        // Hide to the tray (or minimise where there is none), then the tray's Restore.
        QTest::mouseClick(m_window->statusBar()->btnClose, Qt::LeftButton);
        QVERIFY(!m_window->isVisible() || m_window->isMinimized());
        QVERIFY(!m_window->isMaximisedByHand());
        m_window->trayIcon()->contextMenu()->actions().at(2)->trigger(); // Restore
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_window->geometry(), before);
    }

    void normalGeometryCapturedOnce()
    {
        const QRect first = m_window->geometry();
        m_window->trayIcon()->contextMenu()->actions().at(1)->trigger(); // Maximize
        QVERIFY(m_window->isMaximisedByHand());
        m_window->trayIcon()->contextMenu()->actions().at(2)->trigger(); // Restore
        QCOMPARE(m_window->geometry(), first);
        m_window->move(first.topLeft() + QPoint(37, 21));
        m_window->trayIcon()->contextMenu()->actions().at(1)->trigger();
        m_window->trayIcon()->contextMenu()->actions().at(2)->trigger();
        QCOMPARE(m_window->geometry(), first);
        QCOMPARE(m_window->normalGeometryKept(), first);
    }

    // Both close buttons, Alt+F4 and the task bar's Close go to the tray, or
    // minimise the window where there is no tray, keeping its geometry.
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
        QCOMPARE(m_window->normalGeometryKept(), before);
        // The program goes on: the window is still there and can come back.
        m_window->trayIcon()->contextMenu()->actions().at(2)->trigger();
        QVERIFY(m_window->isVisible() && !m_window->isMinimized());
        QCOMPARE(m_window->geometry(), before);
    }

    void viewModes()
    {
        vbFileList* list = m_window->fileList();
        list->addFiles(makePhotos(2), false);
        vbToolPanel* panel = m_window->toolPanel();
        panel->actionList()->trigger();
        QCOMPARE(list->viewMode(), 1);
        QVERIFY(panel->actionList()->isChecked());
        QVERIFY(!panel->actionSmallIcon()->isChecked());
        QVERIFY(!panel->actionBigIcon()->isChecked());
        // Choosing it again changes nothing, the tick included.
        panel->actionList()->trigger();
        QCOMPARE(list->viewMode(), 1);
        QVERIFY(panel->actionList()->isChecked());
        panel->actionBigIcon()->trigger();
        QCOMPARE(list->viewMode(), 3);
        QVERIFY(panel->actionBigIcon()->isChecked());
        QVERIFY(!panel->actionList()->isChecked());
        QCOMPARE(list->item(0)->sizeHint(), vbFileList::itemSize(3));
        panel->actionSmallIcon()->trigger();
        QCOMPARE(list->viewMode(), 2);
        QVERIFY(panel->actionSmallIcon()->isChecked());
    }

    void playModeWithEmptyListDoesNothing()
    {
        answerNextBox();
        // A player would run modally inside trigger() and be answered there.
        m_window->toolPanel()->actionPlay()->trigger();
        QCOMPARE(m_boxText, QString());
    }

    void playModeOpensPlayer()
    {
        m_window->fileList()->addFiles(makePhotos(3), false);
        answerNextBox();
        m_window->toolPanel()->actionPlay()->trigger();
        QCOMPARE(m_boxText, QStringLiteral("vbPlayer"));
    }

    void countTexts()
    {
        vbFileList* list = m_window->fileList();
        list->addFiles(makePhotos(4), false);
        QCOMPARE(m_window->toolPanel()->lblSelectCount->text(), QStringLiteral("You select 4Photos"));
        QVERIFY(m_window->statusBar()->lblDeleteAll->isVisible());
        // "Remove All" asks first; Escape keeps the photos.
        answerNextBox();
        QTest::mouseClick(m_window->statusBar()->lblDeleteAll, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("Do you want clear all photo?"));
        QCOMPARE(list->count(), 4);
        list->clearAll();
        QCOMPARE(m_window->toolPanel()->lblSelectCount->text(), QStringLiteral("You have no select photo!"));
        QVERIFY(!m_window->statusBar()->lblDeleteAll->isVisible());
    }

    void selectFilesLimits()
    {
        vbFileList* list = m_window->fileList();
        // With no album chosen and photos in the list there is no room.
        list->addFiles(makePhotos(1), false);
        answerNextBox();
        QTest::mouseClick(m_window->toolPanel()->btnSelectFile, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("Because one album just 500 photo,please remove some photo"));

        // An album with room: the file selection dialog opens.
        vbSession* session = m_window->session();
        session->setAlbums({AlbumRecord{QStringLiteral("Family"), 12, 35}});
        answerNextBox();
        QTest::mouseClick(m_window->toolPanel()->btnSelectFile, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("vbSelectFiles"));

        // 498 photos in the album and 3 in the list: refused.
        session->setAlbums({AlbumRecord{QStringLiteral("Archive"), 14, 498}});
        list->addFiles(makePhotos(3), false);
        answerNextBox();
        QTest::mouseClick(m_window->toolPanel()->btnSelectFile, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("Because one album just 500 photo,please remove some photo"));
    }

    void threeHundredPhotosRefused()
    {
        m_window->session()->setAlbums({AlbumRecord{QStringLiteral("Trip"), 13, 0}});
        m_window->fileList()->addFiles(makePhotos(300), false);
        QCOMPARE(m_window->fileList()->count(), 300);
        answerNextBox();
        QTest::mouseClick(m_window->toolPanel()->btnSelectFile, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("You can not select more then 300 photos!"));
    }

    void pasteKey()
    {
        const QList<QFileInfo> photos = makePhotos(2);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(photos.at(0).absoluteFilePath()),
                       QUrl::fromLocalFile(photos.at(1).absoluteFilePath())});
        QGuiApplication::clipboard()->setMimeData(mime);
        QTest::keySequence(m_window.get(), QKeySequence::Paste);
        QCOMPARE(m_window->fileList()->count(), 2);
        // Other keys do nothing.
        QTest::keyClick(m_window.get(), Qt::Key_A);
        QCOMPARE(m_window->fileList()->count(), 2);
    }

    void createAlbumNeedsSignIn()
    {
        answerNextBox();
        m_window->toolPanel()->lblCreate->show();
        QTest::mouseClick(m_window->toolPanel()->lblCreate, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("Please login!"));
    }

    // A created album is appended to the album box and becomes current; the
    // name reaches the service as typed.
    void createAlbum()
    {
        vbTestService service;
        QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
        QVERIFY(service.writeSystemIni(m_program.path()));
        vbEndpoints::reloadCurrent();
        vbSession* session = m_window->session();
        session->signIn(1001, QStringLiteral("demo@velbrook.test"), QStringLiteral("demo"),
                        service.wangtong(), QStringLiteral("http"));
        session->setAlbums({AlbumRecord{QStringLiteral("Family"), 12, 35},
                            AlbumRecord{QStringLiteral("Trip"), 13, 0},
                            AlbumRecord{QStringLiteral("Archive"), 14, 498}});
        QComboBox* box = m_window->toolPanel()->comboBox;
        box->addItems({QStringLiteral("Family"), QStringLiteral("Trip"), QStringLiteral("Archive")});

        whenModal<vbNewAlbums>([](vbNewAlbums* dialog) {
            type(dialog, "edit_name", QStringLiteral("Beach & Sun"));
            QTest::mouseClick(dialog->findChild<vbPushButton*>(QStringLiteral("btnOK")), Qt::LeftButton);
        });
        m_window->toolPanel()->lblCreate->show();
        QTest::mouseClick(m_window->toolPanel()->lblCreate, Qt::LeftButton);

        QCOMPARE(box->count(), 4);
        QCOMPARE(box->currentIndex(), 3);
        QCOMPARE(box->currentText(), QStringLiteral("Beach & Sun"));
        QCOMPARE(session->currentAlbum(), 3);
        QCOMPARE(session->currentAlbumName(), QStringLiteral("Beach & Sun"));
        bool found = false;
        const QJsonArray albums = service.state().value(QStringLiteral("albums")).toArray();
        for (const QJsonValue& album : albums) {
            if (album.toObject().value(QStringLiteral("name")).toString() == QStringLiteral("Beach & Sun")) {
                found = true;
                QCOMPARE(QString::number(album.toObject().value(QStringLiteral("id")).toInt()),
                         session->currentAlbumIdText());
            }
        }
        QVERIFY(found);
        vbEndpoints::setCurrent(vbEndpoints());
    }

    void editIgnoredWhileUploading()
    {
        vbFileList* list = m_window->fileList();
        list->addFiles(makePhotos(1), false);
        auto* node = static_cast<vbFileNode*>(list->item(0));
        m_window->session()->setUploading(true);
        emit list->sig_editNode(node, true);
        QCOMPARE(list->count(), 1);
        m_window->session()->setUploading(false);
        emit list->sig_editNode(node, true);
        QCOMPARE(list->count(), 0);
    }

    // The Login button of a signed-in user offers another account or signing
    // out; signing out clears the session and the album box and switches the
    // automatic sign-in off for the next start.
    void signOut()
    {
        vbTestService service;
        QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
        useService(service, true);
        restart();
        QComboBox* box = m_window->toolPanel()->comboBox;
        vbSession* session = m_window->session();
        QTRY_COMPARE_WITH_TIMEOUT(box->count(), 3, 10000);
        QVERIFY(session->isLoggedIn());

        answerNextBox();
        chooseAccountAction(1); // Sign in as someone else
        QCOMPARE(m_boxText, QStringLiteral("vbLogin"));
        QVERIFY(session->isLoggedIn());

        chooseAccountAction(0); // Sign out
        QVERIFY(!session->isLoggedIn());
        QVERIFY(session->userName().isEmpty() && session->password().isEmpty());
        QCOMPARE(session->currentAlbumIdText(), QStringLiteral("/"));
        QCOMPARE(box->count(), 0);
        QVERIFY(!box->isVisible() && !m_window->toolPanel()->lblCreate->isVisible());
        QVERIFY(m_window->toolPanel()->lblLoginInfo->text().isEmpty());
        const vbIniParser ini(QStringLiteral("system.ini"));
        QVERIFY(!ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), true));
        QVERIFY(ini.getString(QStringLiteral("user.info"), QStringLiteral("password")).isEmpty());

        // The next start signs nobody in, and Login goes straight to the dialog.
        restart();
        QVERIFY(m_window->statusText().isEmpty());
        QVERIFY(m_window->session()->userName().isEmpty());
        answerNextBox();
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QCOMPARE(m_boxText, QStringLiteral("vbLogin"));
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
        vbTestService service;
        QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
        useService(service, true);
        vbIniParser(QStringLiteral("system.ini")).setInt(QStringLiteral("recent.album"), key, albumId);
        restart();
        QComboBox* box = m_window->toolPanel()->comboBox;
        QTRY_COMPARE_WITH_TIMEOUT(box->count(), 3, 10000);
        QCOMPARE(box->currentText(), selected);
        QCOMPARE(m_window->session()->currentAlbumName(), selected);

        // A new choice is what the next start comes back to; the other account keeps its own.
        box->setCurrentIndex(1);
        restart();
        box = m_window->toolPanel()->comboBox;
        QTRY_COMPARE_WITH_TIMEOUT(box->count(), 3, 10000);
        QCOMPARE(box->currentText(), QStringLiteral("Trip"));
        QCOMPARE(m_window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
        if (key == QLatin1String("user1002"))
            QCOMPARE(vbIniParser(QStringLiteral("system.ini")).getString(QStringLiteral("recent.album"), key),
                     QString::number(albumId));
    }

    // The sign-in dialog brings the remembered album back too.
    void albumRememberedAfterDialogSignIn()
    {
        vbTestService service;
        QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
        useService(service, false);
        vbIniParser(QStringLiteral("system.ini"))
            .setInt(QStringLiteral("recent.album"), QStringLiteral("user1001"), velbrook::kTripAlbumId);
        restart();
        whenModal<vbLogin>([](vbLogin* dialog) {
            type(dialog, "edit_name", QLatin1String(velbrook::kDemoEmail));
            type(dialog, "edit_password", QLatin1String(velbrook::kDemoPassword));
            QTest::mouseClick(dialog->findChild<vbPushButton*>(QStringLiteral("btnLogin")), Qt::LeftButton);
        });
        QTest::mouseClick(m_window->toolPanel()->btnLogin, Qt::LeftButton);
        QVERIFY(m_window->session()->isLoggedIn());
        QCOMPARE(m_window->toolPanel()->comboBox->currentText(), QStringLiteral("Trip"));
        QCOMPARE(m_window->session()->currentAlbumIdText(), QString::number(velbrook::kTripAlbumId));
    }
};

QTEST_MAIN(tst_MainWnd)
#include "tst_mainwnd.moc"
