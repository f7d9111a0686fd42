#pragma once

#include "vbEndpoints.h"
#include "vbServiceCall.h"

#include <QObject>
#include <QPointer>

class QNetworkAccessManager;
class vbSession;

// The start-up probe: signs in to the dianxin mirror with the account built
// into the program. The service refusing it (a value of 0 or below) means this
// client may not upload; no answer at all (also none within the deadline)
// leaves uploading allowed.
class vbProbe : public QObject
{
    Q_OBJECT
public:
    explicit vbProbe(const vbEndpoints& endpoints, QObject* parent = nullptr);
    ~vbProbe() override;

    // The account the probe signs in with.
    static QString probeUserName();
    static QString probePassword();

    // Uploads are allowed until an answer says otherwise; the result goes into
    // session (when given) and sig_probeFinished. Requests go through the
    // session's network access manager when there is a session.
    void setSession(vbSession* session);
    // How long the probe may wait; call before start().
    void setDeadlineMs(int ms) { m_deadlineMs = ms; }
    void start();
    bool isRunning() const;
    bool uploadAllowed() const { return m_uploadAllowed; }

signals:
    void sig_probeFinished(bool uploadAllowed);

private slots:
    void slot_replyRegister();

private:
    QNetworkAccessManager* manager();

    QNetworkAccessManager* m_manager = nullptr;
    vbEndpoints m_endpoints;
    QPointer<vbSession> m_session;
    QPointer<vbServiceCall> m_call;
    int m_deadlineMs = vbServiceCall::kDefaultDeadlineMs;
    bool m_uploadAllowed = true;
};
