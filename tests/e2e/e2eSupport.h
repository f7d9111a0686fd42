#pragma once

#include "vbTestService.h"
#include "vbUploadAgainBox.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QWidget;
class vbFileNode;
class vbMainWnd;

// Answers the modal dialogs of a run in the order they open. Each expected
// dialog names its class and what to do with it; a dialog that was not
// expected is written down and closed so the test never hangs on it.
class vbModalScript : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWidget*)>;

    vbModalScript();

    void expect(const QString& className, Handler handler);
    int pending() const { return int(m_queue.size()); }
    // "class: text" of every dialog seen, and of those that were not expected.
    QStringList seen() const { return m_seen; }
    QStringList unexpected() const { return m_unexpected; }
    void clearSeen() { m_seen.clear(); }

    // Ready-made answers.
    static Handler messageOk();
    static Handler messageCancel();
    static Handler again(vbUploadAgainBox::Result answer);
    static Handler failedReUpload(std::function<void()> before = {});
    static Handler failedCancel();
    static Handler completeOk();

    // Shortcuts of expect() with the class that goes with each answer.
    void expectMessage(bool ok)
    {
        expect(QStringLiteral("vbMessageBox"), ok ? messageOk() : messageCancel());
    }
    void expectAgain(vbUploadAgainBox::Result answer)
    {
        expect(QStringLiteral("vbUploadAgainBox"), again(answer));
    }
    void expectComplete() { expect(QStringLiteral("vbUploadComplete"), completeOk()); }
    void expectFailed() { expect(QStringLiteral("vbUploadFailed"), failedCancel()); }

    static QString describe(QWidget* dialog);

private:
    void poll();

    QTimer m_timer;
    QPointer<QWidget> m_current;
    QList<QPair<QString, Handler>> m_queue;
    QStringList m_seen;
    QStringList m_unexpected;
};

// A program folder with the stand-in service behind it: system.ini holds the
// service's addresses and the demo account with automatic sign-in.
class vbE2eProgram
{
public:
    vbE2eProgram();
    ~vbE2eProgram();

    // Folders, settings, service; false (with error()) when anything failed.
    bool setUp();
    QString error() const { return m_error; }
    vbTestService& service() { return *m_service; }
    QString dir() const { return m_dir.path(); }
    QString photoPath(const QString& fileName) const;

    // A new album of the demo account holding count photos; its id, or 0.
    int createAlbum(const QString& name, int count, bool withFtpFolder);
    void setAutoLogin(bool on);

    // A shown main window of this folder; signed in and with album selected
    // when given. Null (and error()) on failure. The tick is set short.
    std::unique_ptr<vbMainWnd> openWindow(const QString& album, int tickMs = 50);
    // Waits until each photo has its thumbnail (EXIF values come with it).
    static bool waitForThumbnails(vbMainWnd* window, int timeoutMs = 30000);

    // A JPEG with EXIF in the photos folder; bytes > 0 pads it to that exact size.
    QString makePhoto(const QString& baseName, const QSize& size, qint64 bytes = 0, int seed = 0);

    // Clicks the status bar's Upload button.
    static void clickUpload(vbMainWnd* window);
    // Saves a picture of widget as screenshots/e2e-<name>.png in the build
    // folder, for people to look at; false when it could not be written.
    static bool saveShot(QWidget* widget, const QString& name);
    // The tray menu's Quit.
    static QAction* quitAction(vbMainWnd* window);

    // Parts of the service's state view.
    QJsonArray stateList(const char* name);
    QJsonArray photosOfAlbum(int albumId);
    QJsonArray commitsOfAlbum(int albumId);
    int requestCount(const char* endpoint);
    int ftpCommandCount(const QString& cmd);
    int albumCount(int albumId);

    static QByteArray sha256Of(const QString& path);
    static QJsonObject fault(const QString& endpoint, const QString& kind, int count = -1);

private:
    QTemporaryDir m_dir;
    QString m_previousCurrent;
    std::unique_ptr<vbTestService> m_service;
    QString m_error;
};
