#include "vbHttpUpload.h"

#include "vbUploadErrorLog.h"
#include "vbUploadProtocol.h"

#include <Poco/Exception.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/StreamSocket.h>

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString kBoundaryLine = QStringLiteral("-----------------------------7d328f2bb02bc");
const QString kCrLf = QStringLiteral("\r\n");

// The listed socket leaves the stop registry when the run ends, before it is closed.
struct Unlist
{
    vbSocketAborter& aborter;
    Poco::Net::StreamSocket& socket;
    ~Unlist() { aborter.remove(socket); }
};
} // namespace

vbHttpUpload::vbHttpUpload(const QString& host, int port, const QString& user, const QString& key,
                           const QString& albumId, const vbNetDeadlines& deadlines)
    : vbBaseUpload(host, port, user, key, albumId, deadlines), m_jsessionid(key.right(38)),
      m_key(key.left(64))
{}

vbHttpUpload::~vbHttpUpload()
{
    endThread();
}

bool vbHttpUpload::filesPresent(const vbUploadFiles& files) const
{
    return QFileInfo(files.photoFile).isFile();
}

QByteArray vbHttpUpload::buildRequest(const QByteArray& fileData) const
{
    const QString disposition = QStringLiteral("Content-Disposition: form-data; name=");
    const QString fields = kBoundaryLine + kCrLf + disposition + QStringLiteral("\"jsessionid\"\r\n\r\n") +
                           m_jsessionid + kCrLf + kBoundaryLine + kCrLf + disposition +
                           QStringLiteral("\"key\"") + kCrLf + kCrLf + m_key + kCrLf + kBoundaryLine + kCrLf +
                           disposition + QStringLiteral("\"userId\"") + kCrLf + kCrLf + m_user + kCrLf +
                           kBoundaryLine + kCrLf + disposition + QStringLiteral("\"albumId\"") + kCrLf +
                           kCrLf + m_folder + kCrLf;
    const QString fileHead = kBoundaryLine + kCrLf + disposition + QStringLiteral("\"file1\"; filename=\"") +
                             m_files.photoBase + QStringLiteral("\"") + kCrLf +
                             QStringLiteral("Content-Type: image/pjpeg") + kCrLf + kCrLf;
    const QString submit = kBoundaryLine + kCrLf + disposition + QStringLiteral("submitBtn") + kCrLf + kCrLf +
                           QStringLiteral("submit") + kCrLf;
    const QString closing = kBoundaryLine + QStringLiteral("--") + kCrLf + kCrLf;

    // Text goes as UTF-8 so a photo path outside Latin-1 keeps its name; the
    // length counts bytes, which for ASCII is the character count.
    const QByteArray partA = fields.toUtf8();
    const QByteArray partB = fileHead.toUtf8();
    const QByteArray partC = submit.toUtf8();
    const QByteArray partD = closing.toUtf8();
    const qint64 contentLength =
        partA.size() + partB.size() + partC.size() + partD.size() + fileData.size() + kCrLf.size();

    const QString header =
        QStringLiteral(
            "POST /vbrkClient/uploadPhoto HTTP/1.1\r\n"
            "Accept: */*\r\n"
            "Referer: /clientUpload1.jsp\r\n"
            "Accept-Language: zh-cn\r\n"
            "Content-Type: multipart/form-data; boundary=---------------------------7d328f2bb02bc\r\n"
            "Accept-Encoding: gzip, deflate\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Maxthon)\r\n") +
        QStringLiteral("Host: ") + m_host + QLatin1Char(':') + QString::number(m_port) + kCrLf +
        QStringLiteral("Connection: Keep-Alive\r\n"
                       "Cache-Control: no-cache\r\n") +
        QStringLiteral("Content-Length: ") + QString::number(contentLength) + kCrLf +
        QStringLiteral("Cookie: VBRK_REMEMBER_ME_COOKIE=; JSESSIONID=") + m_jsessionid + kCrLf + kCrLf;

    QByteArray request;
    request.reserve(header.size() + contentLength);
    request += header.toUtf8();
    request += partA;
    request += partB;
    request += fileData;
    request += "\r\n";
    request += partC;
    request += partD;
    return request;
}

void vbHttpUpload::run()
{
    m_totalBytes = 0;
    m_sentBytes = 0;

    QFile file(m_files.photoFile);
    const QByteArray fileData = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (!file.isOpen() || fileData.size() != file.size()) {
        setLastError(tr("Cannot read the photo file %1").arg(m_files.photoFile));
        emit sig_done(false);
        return;
    }
    file.close();

    Poco::Net::StreamSocket socket;
    Unlist unlist{aborter(), socket};
    if (!connectSocket(socket, m_host, m_port)) {
        if (stopRequested())
            return;
        setLastError(tr("Cannot connect to %1:%2").arg(m_host).arg(m_port));
        emit sig_done(false);
        return;
    }

    const QByteArray request = buildRequest(fileData);
    const qint64 total = request.size();
    m_totalBytes = total;
    qint64 sent = 0;
    try {
        while (sent < total) {
            if (stopRequested())
                return;
            const int n = socket.sendBytes(request.constData() + sent,
                                           static_cast<int>(std::min<qint64>(kChunkSize, total - sent)));
            if (n <= 0)
                break;
            sent += n;
            m_sentBytes = sent;
            emit sig_dataTransfer(std::min(sent, total), total);
        }
    } catch (...) {
        // A failed send ends the transfer; the count below tells.
    }
    if (stopRequested())
        return;
    if (sent < total) {
        setLastError(tr("The connection broke after %1 of %2 bytes").arg(sent).arg(total));
        emit sig_done(false);
        return;
    }

    // The answer is read until it is complete or the deadline passes: the
    // network may deliver it in any number of pieces.
    using vbUploadProtocol::AnswerState;
    QByteArray answer;
    AnswerState state = AnswerState::Incomplete;
    try {
        QElapsedTimer clock;
        clock.start();
        char buffer[kChunkSize];
        while (state == AnswerState::Incomplete) {
            const qint64 left = m_deadlines.stepMs - clock.elapsed();
            if (left <= 0)
                throw Poco::TimeoutException();
            socket.setReceiveTimeout(vbTimespan(int(left)));
            const int n = socket.receiveBytes(
                buffer, std::min<int>(kChunkSize, vbUploadProtocol::kMaxAnswerBytes - int(answer.size())));
            if (stopRequested())
                return;
            if (n > 0)
                answer.append(buffer, n);
            state = vbUploadProtocol::judgeUploadAnswer(answer, n <= 0);
        }
        qDebug().noquote() << "upload answer:" << vbUploadProtocol::replyText(answer);
        if (state == AnswerState::Refused && answer.isEmpty()) {
            setLastError(tr("The service closed the connection without an answer"));
        } else if (state == AnswerState::Refused) {
            const QByteArray text =
                answer.left(answer.indexOf('\0') < 0 ? answer.size() : answer.indexOf('\0'));
            vbUploadErrorLog::append(text);
            setLastError(tr("The service refused the photo: %1")
                             .arg(vbUploadProtocol::replyText(text).simplified().left(200)));
        }
    } catch (const Poco::TimeoutException&) {
        if (stopRequested())
            return;
        qDebug() << "upload answer: TimeoutException";
        vbUploadErrorLog::append(QByteArray("TimeoutException"));
        setLastError(tr("The service did not answer in time"));
    } catch (const Poco::Net::NetException&) {
        if (stopRequested())
            return;
        qDebug() << "upload answer: NetException";
        vbUploadErrorLog::append(QByteArray("NetException"));
        setLastError(tr("The connection failed while waiting for the answer"));
    } catch (...) {
        if (stopRequested())
            return;
        qDebug() << "upload answer: Other Exception";
        vbUploadErrorLog::append(QByteArray("Other Exception"));
        setLastError(tr("Unexpected error while waiting for the answer"));
    }
    const bool ok = state == AnswerState::Acknowledged;
    emit sig_done(ok);
}
