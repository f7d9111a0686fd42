#include "vbServiceCall.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>

vbServiceCall::vbServiceCall(QNetworkAccessManager* manager, const QUrl& url, int deadlineMs, QObject* parent)
    : QObject(parent), m_reply(manager->get(QNetworkRequest(url)))
{
    connect(m_reply, &QNetworkReply::finished, this, &vbServiceCall::slot_replyFinished);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &vbServiceCall::slot_deadline);
    m_deadline.start(deadlineMs);
}

vbServiceCall::~vbServiceCall()
{
    abort();
}

void vbServiceCall::abort()
{
    m_deadline.stop();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

vbServiceCall::Outcome vbServiceCall::judge(QNetworkReply::NetworkError error, int httpStatus, bool timedOut,
                                            qint64 declaredLength, qint64 bodyLength)
{
    // Once a status line arrived the service did answer, however badly.
    const Outcome failed = httpStatus > 0 ? Unreadable : Unreachable;
    if (timedOut || error != QNetworkReply::NoError)
        return failed;
    if (httpStatus < 200 || httpStatus > 299)
        return failed;
    if (declaredLength >= 0 && declaredLength != bodyLength)
        return Unreadable;
    return Answered;
}

QString vbServiceCall::failureText(Outcome outcome)
{
    if (outcome == Unreachable)
        return tr("The velbrook service cannot be reached. Please check your network connection and try "
                  "again.");
    return tr("The answer of the velbrook service could not be read. Please try again later.");
}

QString vbServiceCall::failureStatus(Outcome outcome)
{
    if (outcome == Unreachable)
        return tr("Service unreachable");
    return tr("Service answer unreadable");
}

void vbServiceCall::slot_deadline()
{
    if (!m_reply)
        return;
    // Aborting finishes the reply at once; it then counts as timed out.
    m_timedOut = true;
    m_reply->abort();
}

void vbServiceCall::slot_replyFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply || m_finished)
        return;
    m_reply = nullptr;
    m_deadline.stop();
    reply->deleteLater();

    const QByteArray body = reply->readAll();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // A compressed body is longer once unpacked than its Content-Length says.
    qint64 declared = -1;
    if (!reply->hasRawHeader("Content-Encoding")) {
        bool ok = false;
        declared = reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
        if (!ok)
            declared = -1;
    }
    m_outcome = judge(reply->error(), status, m_timedOut, declared, body.size());
    if (m_outcome == Answered)
        m_body = body;
    m_finished = true;
    emit sig_finished(this);
}
