// The HTTP worker against a local listener: the bytes it sends and how it ends.
#include "vbHttpUpload.h"
#include "vbTestPhotos.h"
#include "vbUploadErrorLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString kKey =
    QStringLiteral("0123456789abcdef").repeated(4) + QStringLiteral("ABCDEF0123456789ABCDEF0123456789.vbrk1");
const vbNetDeadlines kDeadlines{20000, 5000};
const QByteArray kAck = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n</\\/>1</\\/>";

// The request as the service expects it, put together here from its pieces.
QByteArray expectedRequest(int port, const QString& key, const QString& fileName, const QByteArray& data)
{
    const QByteArray b = "-----------------------------7d328f2bb02bc";
    const QByteArray session = key.right(38).toUtf8();
    auto field = [&](const char* name, const QByteArray& value) -> QByteArray {
        return b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    };
    const QByteArray before = field("jsessionid", session) + field("key", key.left(64).toUtf8()) +
                              field("userId", "1001") + field("albumId", "12") + b +
                              "\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"" +
                              fileName.toUtf8() + "\"\r\nContent-Type: image/pjpeg\r\n\r\n";
    const QByteArray after = "\r\n" + b +
                             "\r\nContent-Disposition: form-data; name=submitBtn\r\n\r\nsubmit\r\n" + b +
                             "--\r\n\r\n";
    const QByteArray header =
        "POST /vbrkClient/uploadPhoto HTTP/1.1\r\nAccept: */*\r\nReferer: /clientUpload1.jsp\r\n"
        "Accept-Language: zh-cn\r\n"
        "Content-Type: multipart/form-data; boundary=---------------------------7d328f2bb02bc\r\n"
        "Accept-Encoding: gzip, deflate\r\n"
        "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Maxthon)\r\n"
        "Host: 127.0.0.1:" +
        QByteArray::number(port) +
        "\r\nConnection: Keep-Alive\r\nCache-Control: no-cache\r\nContent-Length: " +
        QByteArray::number(before.size() + data.size() + after.size()) +
        "\r\nCookie: VBRK_REMEMBER_ME_COOKIE=; JSESSIONID=" + session + "\r\n\r\n";
    return header + before + data + after;
}

// Reads the request of the expected size, then answers in pieces, closes, or stays silent.
class FakeUploadServer : public QObject
{
    Q_OBJECT
public:
    enum Mode
    {
        Answer,     // the pieces, 50 ms apart; then close, or filler for ever
        CloseEarly, // close after 10000 bytes
        Stall       // read everything, never answer
    };

    FakeUploadServer(Mode mode, const QByteArrayList& answer, bool endless)
        : pieces(answer), m_mode(mode), m_endless(endless)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            ++connections;
            connect(m_socket, &QTcpSocket::readyRead, this, &FakeUploadServer::read);
        });
    }
    int port() const { return m_server.serverPort(); }
    QByteArray received;
    QByteArrayList pieces;
    qsizetype requestSize = 0; // a request is complete at this size
    int connections = 0;

signals:
    void requestComplete();

private:
    void read()
    {
        received += m_socket->readAll();
        if (m_mode == CloseEarly && received.size() >= 10000)
            return m_socket->abort();
        if (received.size() < requestSize || m_complete)
            return;
        m_complete = true;
        emit requestComplete();
        if (m_mode == Answer)
            sendPiece(0);
    }
    void sendPiece(int i)
    {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return; // the client gave up
        if (i >= pieces.size() && !m_endless)
            return m_socket->disconnectFromHost();
        m_socket->write(i < pieces.size() ? pieces.at(i) : QByteArray("x"));
        m_socket->flush();
        QTimer::singleShot(50, this, [this, i] { sendPiece(i + 1); });
    }

    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
    Mode m_mode;
    bool m_endless;
    bool m_complete = false;
};
} // namespace

class tst_httpupload : public QObject
{
    Q_OBJECT

private slots:
    // The error log lands in the current folder.
    void initTestCase() { QVERIFY(QDir::setCurrent(m_dir.path())); }

    void init() { QFile::remove(vbUploadErrorLog::path()); }

    void upload_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("multipartName"); // relative to the folder
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArrayList>("pieces"); // the answer, 50 ms apart
        QTest::addColumn<bool>("endless");          // filler after the pieces until the client closes
        QTest::addColumn<bool>("ok");
        QTest::addColumn<bool>("logged"); // an entry in the error log

        const auto row = [](const char* tag, const QString& fileName, const QString& multipartName,
                            const QString& key, int size, const QByteArrayList& pieces, bool ok, bool logged,
                            bool endless = false, FakeUploadServer::Mode mode = FakeUploadServer::Answer) {
            QTest::newRow(tag) << fileName << multipartName << key << size << int(mode) << pieces << endless
                               << ok << logged;
        };
        row("dotted name, upper-case suffix, several chunks", "pics/trip.2008.JPG", "pics/trip", kKey, 100000,
            {kAck}, true, false);
        row("short key, non-Latin-1 folder kept as UTF-8", QString::fromUtf8("照片/d.jpg"),
            QString::fromUtf8("照片/d"), "short-key", 0, {kAck}, true, false);
        row("refused", "x.jpg", "x", kKey, 3000, {"HTTP/1.1 400 Bad Request\r\n\r\nerror: refused"}, false,
            true);
        row("never ends", "x.jpg", "x", kKey, 3000, {"HTTP/1.1 200 OK\r\n\r\n"}, false, true, true);
        row("closed after the request, no answer", "x.jpg", "x", kKey, 5000, {}, false, false);
        // Larger than any socket buffer, so the drop shows while sending.
        row("dropped in the middle of the request", "x.jpg", "x", kKey, 24000000, {}, false, false, false,
            FakeUploadServer::CloseEarly);
        row("stopped while waiting for the answer", "w.jpg", "w", kKey, 3000, {}, false, false, false,
            FakeUploadServer::Stall);
    }

    void upload()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, multipartName);
        QFETCH(QString, key);
        QFETCH(int, size);
        QFETCH(int, mode);
        QFETCH(QByteArrayList, pieces);
        QFETCH(bool, endless);
        QFETCH(bool, ok);
        QFETCH(bool, logged);

        // A pattern that does not repeat with the chunk size, then what looks like the end of the part.
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = char(i % 251);
        data += "\r\n-----------------------------7d328f2bb02bc\r\n";
        const QString path = m_dir.filePath(fileName);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()) && vbTestPhotos::writeFile(path, data));
        FakeUploadServer server(static_cast<FakeUploadServer::Mode>(mode), pieces, endless);
        const QByteArray expected = expectedRequest(
            server.port(), key, QFileInfo(m_dir.filePath(multipartName)).absoluteFilePath(), data);
        server.requestSize = expected.size();
        // Only the endless answer is meant to meet the deadline.
        const vbNetDeadlines deadlines{endless ? 1000 : kDeadlines.stepMs, kDeadlines.quitMs};
        vbHttpUpload worker(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("1001"), key,
                            QStringLiteral("12"), deadlines);
        QSignalSpy progress(&worker, &vbBaseUpload::sig_dataTransfer);
        QSignalSpy done(&worker, &vbBaseUpload::sig_done);
        QSignalSpy complete(&server, &FakeUploadServer::requestComplete);
        QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QStringLiteral("0")));
        if (mode == FakeUploadServer::Stall) {
            // Stopped while it waits for an answer that never comes: at once, and a stopped run reports
            // nothing.
            QTRY_VERIFY_WITH_TIMEOUT(!complete.isEmpty(), 10000);
            QElapsedTimer clock;
            clock.start();
            worker.stopUpload();
            QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
            QVERIFY(worker.isFinished());
            QCoreApplication::processEvents();
            QCOMPARE(done.size(), 0);
            QVERIFY(vbTestPhotos::readFile(vbUploadErrorLog::path()).isEmpty());
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
        QCOMPARE(done.first().first().toBool(), ok);
        QTRY_VERIFY(worker.isFinished());
        QCOMPARE(done.size(), 1);
        QCOMPARE(server.connections, 1);
        QCOMPARE(worker.lastError().isEmpty(), ok);

        if (mode == FakeUploadServer::Answer)
            QCOMPARE(server.received, expected);
        if (ok) {
            // Progress after every piece of at most kChunkSize bytes, ending at the whole request.
            qint64 previous = 0;
            for (const QList<QVariant>& p : progress) {
                QCOMPARE(p.at(1).toLongLong(), qint64(expected.size()));
                QVERIFY(p.at(0).toLongLong() > previous &&
                        p.at(0).toLongLong() - previous <= vbHttpUpload::kChunkSize);
                previous = p.at(0).toLongLong();
            }
            QCOMPARE(previous, qint64(expected.size()));
        }

        const QByteArray log = vbTestPhotos::readFile(vbUploadErrorLog::path());
        QVERIFY2(log.isEmpty() != logged, log.constData());
        if (endless)
            QVERIFY(log.contains("TimeoutException"));
        if (!logged || endless)
            return;
        // One entry: BEGIN line, time, the answer as received, END line, the same time.
        const QRegularExpression entry(
            QStringLiteral(
                "^\r\n \\*{11} BEGIN \\*{9}(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d)(.*)\r\n \\*{11} END   "
                "\\*{9}(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d)$"),
            QRegularExpression::DotMatchesEverythingOption);
        const QRegularExpressionMatch m = entry.match(QString::fromLatin1(log));
        QVERIFY2(m.hasMatch(), log.constData());
        QCOMPARE(m.captured(2).toLatin1(), pieces.join());
        QCOMPARE(m.captured(1), m.captured(3));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(tst_httpupload)
#include "tst_httpupload.moc"
