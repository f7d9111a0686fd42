#include "vbProbe.h"

#include "vbEndpoints.h"
#include "vbReply.h"
#include "vbRequests.h"
#include "vbSession.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

vbProbe::vbProbe(QObject* parent) : QObject(parent) {}

vbProbe::~vbProbe()
{
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
    }
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
    return !m_reply.isNull();
}

void vbProbe::start()
{
    if (m_reply)
        return;
    const QUrl url = vbRequests::signInUrl(QStringLiteral("http"), vbEndpoints::current().dianxin(),
                                           probeUserName(), probePassword());
    m_reply = manager()->get(QNetworkRequest(url));
    connect(m_reply, &QNetworkReply::finished, this, &vbProbe::slot_replyRegister);
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
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    m_reply = nullptr;
    reply->deleteLater();

    const std::optional<int> value = vbReply::value32(vbReply::decodeBody(reply->readAll()));
    m_uploadAllowed = !value || *value > 0;
    if (m_session)
        m_session->setUploadAllowed(m_uploadAllowed);
    emit sig_probeFinished(m_uploadAllowed);
}
