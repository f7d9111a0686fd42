#include "vbProbe.h"

#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbSession.h"

#include <QNetworkAccessManager>

vbProbe::vbProbe(const vbEndpoints& endpoints, QObject* parent) : QObject(parent), m_endpoints(endpoints) {}

vbProbe::~vbProbe()
{
    delete m_call;
}

QString vbProbe::probeUserName()
{
    return QStringLiteral("probe@velbrook.test");
}

QString vbProbe::probePassword()
{
    return QStringLiteral("probe-2009");
}

void vbProbe::setSession(vbSession* session)
{
    m_session = session;
}

bool vbProbe::isRunning() const
{
    return !m_call.isNull();
}

void vbProbe::start()
{
    if (m_call)
        return;
    const QUrl url = vbRequests::signInUrl(m_endpoints, QStringLiteral("http"), m_endpoints.dianxin(),
                                           probeUserName(), probePassword());
    m_call = new vbServiceCall(manager(), url, m_deadlineMs, this);
    connect(m_call, &vbServiceCall::sig_finished, this, &vbProbe::slot_replyRegister);
}

QNetworkAccessManager* vbProbe::manager()
{
    if (m_session)
        return m_session->network();
    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    return m_manager;
}

void vbProbe::slot_replyRegister()
{
    vbServiceCall* call = m_call;
    if (!call)
        return;
    m_call = nullptr;
    call->deleteLater();

    // Only a complete answer can forbid uploading.
    std::optional<int> value;
    if (call->outcome() == vbServiceCall::Answered)
        value = vbReply::value32(vbReply::decodeBody(call->body()));
    m_uploadAllowed = !value || *value > 0;
    if (m_session)
        m_session->setUploadAllowed(m_uploadAllowed);
    emit sig_probeFinished(m_uploadAllowed);
}
