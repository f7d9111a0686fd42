#pragma once

#include "vbModalAnswer.h"
#include "vbTestService.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <functional>
#include <memory>

class QAction;
class vbMainWnd;

// The answers an upload asks for, in the order its dialogs open.
class vbModalScript : public vbModalAnswer
{
public:
    void expectMessage(bool ok) { expect(QStringLiteral("vbMessageBox"), press(ok ? "btnOK" : "btnCancel")); }
    void expectComplete() { expect(QStringLiteral("vbUploadComplete")); }
    void expectFailed() { expect(QStringLiteral("vbUploadFailed"), press("btnNo")); }
    void expectFailed(std::function<void()> beforeYes); // answers Yes (upload again)
};

// A program folder with the stand-in service and the demo account signed in automatically.
class vbE2eProgram
{
public:
    ~vbE2eProgram();
    bool setUp(); // false (with error()) when anything failed
    // No faults, no logged requests, and no upload log, pending or recovery list (nor folders of those
    // names).
    bool reset();
    QString error() const { return m_error; }
    vbTestService& service() { return *m_service; }

    // A new album of the demo account holding count photos, with its FTP folder; its id, or 0.
    int createAlbum(const QString& name, int count);
    bool inject(const QString& endpoint, const QString& kind, int count = -1, QJsonObject extra = {})
    {
        if (count > 0)
            extra.insert(QStringLiteral("count"), count);
        return m_service->injectFault(vbTestService::fault(endpoint, kind, extra));
    }

    // A shown window, signed in with album selected when given; null on failure.
    std::unique_ptr<vbMainWnd> openWindow(const QString& album);
    // Adds the photos and waits for their thumbnails.
    static bool addPhotos(vbMainWnd* window, const QStringList& paths);
    // A JPEG in the photos folder; bytes > 0 pads it to that size.
    QString makePhoto(const QString& baseName, const QSize& size, qint64 bytes = 0, int seed = 0);

    static void clickUpload(vbMainWnd* window);
    // Clicks Upload and returns {succeeded, failed} of the run once it ends (empty when it does not).
    static QVariantList upload(vbMainWnd* window, int timeoutMs = 150000);
    static QAction* quitAction(vbMainWnd* window);

    // Parts of the service's state view.
    QJsonArray photosOfAlbum(int albumId) { return ofAlbum("photos", albumId); }
    QJsonArray commitsOfAlbum(int albumId) { return ofAlbum("commits", albumId); }
    // SHA-256 of the album's full-size photos (FTP adds smaller ones named "<id>_n").
    QSet<QByteArray> storedHashes(int albumId);
    int requestCount(const char* endpoint, bool faultedOnly = false);
    int ftpCommandCount(const QString& cmd);

private:
    QJsonArray stateList(const char* name) { return m_service->state().value(QLatin1String(name)).toArray(); }
    QJsonArray ofAlbum(const char* list, int albumId);
    QTemporaryDir m_dir;
    QString m_previousCurrent;
    std::unique_ptr<vbTestService> m_service;
    QString m_error;
};
