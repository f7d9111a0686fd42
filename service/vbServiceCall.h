#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;

// One GET to the service with a deadline of its own. It ends exactly once:
// with the whole body of a complete 2xx answer, or with the reason there is
// none. A reply that broke off, carried an error status or ran past the
// deadline is never handed on as an answer. Deleting the call drops it
// silently.
class vbServiceCall : public QObject
{
    Q_OBJECT
public:
    enum Outcome
    {
        Answered,
        Unreachable, // no answer at all: refused, reset, closed or silent until the deadline
        Unreadable   // an answer came but is no usable answer (error status, cut short, endless)
    };
    Q_ENUM(Outcome)

    // What the sign-in and album requests wait at most.
    static constexpr int kDefaultDeadlineMs = 20000;

    // Sends the request at once.
    vbServiceCall(QNetworkAccessManager* manager, const QUrl& url, int deadlineMs, QObject* parent = nullptr);
    ~vbServiceCall() override;

    // Gives the request up without a signal.
    void abort();

    bool isFinished() const { return m_finished; }
    Outcome outcome() const { return m_outcome; }
    // The body of an answered call; empty otherwise.
    QByteArray body() const { return m_body; }

    // The rule: how a finished reply counts. httpStatus is 0 when no status
    // line arrived; declaredLength is -1 without a usable Content-Length.
    static Outcome judge(QNetworkReply::NetworkError error, int httpStatus, bool timedOut,
                         qint64 declaredLength, qint64 bodyLength);

    // The message box text and the short status text for a failed outcome.
    static QString failureText(Outcome outcome);
    static QString failureStatus(Outcome outcome);

signals:
    void sig_finished(vbServiceCall* call);

private slots:
    void slot_replyFinished();
    void slot_deadline();

private:
    QPointer<QNetworkReply> m_reply;
    QTimer m_deadline;
    bool m_timedOut = false;
    bool m_finished = false;
    Outcome m_outcome = Unreachable;
    QByteArray m_body;
};
