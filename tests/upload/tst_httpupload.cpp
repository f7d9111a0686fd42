// The HTTP worker against a local listener: the exact bytes it sends, how it
// judges the answer, and how it ends on broken, stalled or stopped connections.
#include "vbEndpoints.h"
#include "vbHttpUpload.h"
#include "vbUploadErrorLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {
const QString kKey64 = QStringLiteral("0123456789abcdef").repeated(4);
const QString kSession38 = QStringLiteral("ABCDEF0123456789ABCDEF0123456789.vbrk1");
const QByteArray kAck = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n</\\/>1</\\/>";

// The request as the service expects it, put together here from its pieces.
QByteArray expectedRequest(const QString& host, int port, const QString& user, const QString& key,
                           const QString& album, const QString& fileName, const QByteArray& data)
{
    const QByteArray b = "-----------------------------7d328f2bb02bc";
    const QByteArray session = key.right(38).toUtf8();
    const QByteArray partA =
        b + "\r\nContent-Disposition: form-data; name=\"jsessionid\"\r\n\r\n" + session + "\r\n" + b +
        "\r\nContent-Disposition: form-data; name=\"key\"\r\n\r\n" + key.left(64).toUtf8() + "\r\n" + b +
        "\r\nContent-Disposition: form-data; name=\"userId\"\r\n\r\n" + user.toUtf8() + "\r\n" + b +
        "\r\nContent-Disposition: form-data; name=\"albumId\"\r\n\r\n" + album.toUtf8() + "\r\n";
    const QByteArray partB = b + "\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"" +
                             fileName.toUtf8() + "\"\r\nContent-Type: image/pjpeg\r\n\r\n";
    const QByteArray partC = b + "\r\nContent-Disposition: form-data; name=submitBtn\r\n\r\nsubmit\r\n";
    const QByteArray partD = b + "--\r\n\r\n";
    const qint64 length = partA.size() + partB.size() + partC.size() + partD.size() + data.size() + 2;
    const QByteArray header =
        "POST /vbrkClient/uploadPhoto HTTP/1.1\r\n"
        "Accept: */*\r\n"
        "Referer: /clientUpload1.jsp\r\n"
        "Accept-Language: zh-cn\r\n"
        "Content-Type: multipart/form-data; boundary=---------------------------7d328f2bb02bc\r\n"
        "Accept-Encoding: gzip, deflate\r\n"
        "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; Maxthon)\r\n"
        "Host: " +
        host.toUtf8() + ":" + QByteArray::number(port) +
        "\r\n"
        "Connection: Keep-Alive\r\n"
        "Cache-Control: no-cache\r\n"
        "Content-Length: " +
        QByteArray::number(length) + "\r\nCookie: VBRK_REMEMBER_ME_COOKIE=; JSESSIONID=" + session +
        "\r\n\r\n";
    return header + partA + partB + data + "\r\n" + partC + partD;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    return bytes;
}

// One connection at a time: reads the request (header + Content-Length) and
// then answers, closes, or stays silent.
class FakeUploadServer : public QObject
{
    Q_OBJECT
public:
    enum Mode
    {
        Answer,        // the answer bytes, then close
        CloseAfterAll, // close without a word once everything arrived
        CloseEarly,    // close after dropAfter bytes
        Stall,         // read everything, never answer
        Pieces         // the answer's pieces, gapMs apart; then close, or filler for ever
    };

    explicit FakeUploadServer(Mode mode, const QByteArray& answer = kAck) : m_mode(mode), m_answer(answer)
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &FakeUploadServer::accept);
    }
    int port() const { return m_server.serverPort(); }
    QByteArray received() const { return m_received; }
    bool complete() const { return m_complete; }
    int dropAfter = 10000;
    QByteArrayList pieces;
    int gapMs = 0;
    bool endless = false;
    int connections = 0;

signals:
    void requestComplete();

private:
    void accept()
    {
        m_socket = m_server.nextPendingConnection();
        ++connections;
        connect(m_socket, &QTcpSocket::readyRead, this, &FakeUploadServer::read);
    }
    void read()
    {
        m_received += m_socket->readAll();
        if (m_mode == CloseEarly && m_received.size() >= dropAfter) {
            m_socket->abort();
            return;
        }
        const qsizetype end = m_received.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Content-Length: (\\d+)\r\n"))
                                              .match(QString::fromLatin1(m_received.left(end + 2)));
        if (!m.hasMatch() || m_received.size() < end + 4 + m.captured(1).toLongLong() || m_complete)
            return;
        m_complete = true;
        emit requestComplete();
        if (m_mode == Answer) {
            m_socket->write(m_answer);
            m_socket->flush();
            m_socket->disconnectFromHost();
        } else if (m_mode == CloseAfterAll) {
            m_socket->disconnectFromHost();
        } else if (m_mode == Pieces) {
            sendPiece(0);
        }
    }
    void sendPiece(int i)
    {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return; // the client gave up
        if (i < pieces.size() || endless) {
            m_socket->write(i < pieces.size() ? pieces.at(i) : QByteArray("x"));
            m_socket->flush();
            QTimer::singleShot(gapMs, this, [this, i] { sendPiece(i + 1); });
        } else {
            m_socket->disconnectFromHost();
        }
    }

    QTcpServer m_server;
    QTcpSocket* m_socket = nullptr;
    Mode m_mode;
    QByteArray m_answer;
    QByteArray m_received;
    bool m_complete = false;
};
} // namespace

class tst_httpupload : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requestBytes_data();
    void requestBytes();
    void answerDecides_data();
    void answerDecides();
    void answerInPieces_data();
    void answerInPieces();
    void brokenConnectionsFailWithoutLogEntry_data();
    void brokenConnectionsFailWithoutLogEntry();
    void stopWhileBlockedReturnsPromptly();
    void missingFileDoesNotStart();
    void workerRunsAgainAfterAFailure();

private:
    QString writeFile(const QString& name, const QByteArray& bytes);
    QByteArray errorLog() const;

    QTemporaryDir m_dir;
    QString m_previousCurrent;
};

void tst_httpupload::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path())); // error.txt lands here
}

void tst_httpupload::init()
{
    QFile::remove(vbUploadErrorLog::path());
    vbBaseUpload::setSocketTimeoutMs(60000);
}

void tst_httpupload::cleanup()
{
    vbBaseUpload::setSocketTimeoutMs(60000);
}

QString tst_httpupload::writeFile(const QString& name, const QByteArray& bytes)
{
    QDir(m_dir.path()).mkpath(QFileInfo(m_dir.filePath(name)).path());
    QFile file(m_dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

QByteArray tst_httpupload::errorLog() const
{
    QFile file(vbUploadErrorLog::path());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void tst_httpupload::requestBytes_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("multipartName"); // relative to the folder; empty: not given
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("size");

    const QString key = kKey64 + kSession38;
    QTest::newRow("small photo") << "pics/a.jpg"
                                 << "pics/a" << key << 2000;
    QTest::newRow("upper-case suffix") << "pics/a.JPG"
                                       << "pics/a" << key << 500;
    QTest::newRow("jpeg suffix") << "pics/b.jpeg"
                                 << "pics/b" << key << 500;
    QTest::newRow("dotted name") << "pics/trip.2008.jpg"
                                 << "pics/trip" << key << 500;
    QTest::newRow("several chunks") << "pics/big.jpg"
                                    << "pics/big" << key << 100000;
    QTest::newRow("empty file") << "pics/empty.jpg"
                                << "pics/empty" << key << 0;
    QTest::newRow("key shorter than a session id") << "pics/c.jpg"
                                                   << "pics/c" << QStringLiteral("short-key") << 300;
    QTest::newRow("non-Latin-1 folder kept as UTF-8")
        << QString::fromUtf8("照片/d.jpg") << QString::fromUtf8("照片/d") << key << 300;
}

void tst_httpupload::requestBytes()
{
    QFETCH(QString, fileName);
    QFETCH(QString, multipartName);
    QFETCH(QString, key);
    QFETCH(int, size);

    const QByteArray data = randomBytes(size) + "\r\n-----------------------------7d328f2bb02bc\r\n";
    const QString path = writeFile(fileName, data);
    QVERIFY(!path.isEmpty());

    FakeUploadServer server(FakeUploadServer::Answer);
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), key, QStringLiteral("12"));
    worker.setPort(server.port());
    QSignalSpy progress(&worker, &vbBaseUpload::sig_dataTransfer);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QStringLiteral("0")));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.first().first().toBool(), true);

    const QString base = QFileInfo(m_dir.filePath(multipartName)).absoluteFilePath();
    const QByteArray expected =
        expectedRequest(QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("1001"), key,
                        QStringLiteral("12"), base, data);
    QCOMPARE(server.received().size(), expected.size());
    QCOMPARE(server.received(), expected);

    // Progress after every piece of at most 8194 bytes, ending at the whole request.
    QVERIFY(!progress.isEmpty());
    qint64 previous = 0;
    for (const QList<QVariant>& p : progress) {
        const qint64 doneBytes = p.at(0).toLongLong();
        QCOMPARE(p.at(1).toLongLong(), qint64(expected.size()));
        QVERIFY(doneBytes > previous);
        QVERIFY(doneBytes - previous <= vbHttpUpload::kChunkSize);
        previous = doneBytes;
    }
    QCOMPARE(previous, qint64(expected.size()));
    QVERIFY(errorLog().isEmpty());
}

void tst_httpupload::answerDecides_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("ok");

    QTest::newRow("acknowledged") << kAck << true;
    QTest::newRow("refused") << QByteArray("HTTP/1.1 400 Bad Request\r\n\r\nerror: refused") << false;
}

void tst_httpupload::answerDecides()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, ok);
    const QString path = writeFile(QStringLiteral("x.jpg"), randomBytes(3000));
    FakeUploadServer server(FakeUploadServer::Answer, answer);
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    worker.setPort(server.port());
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.first().first().toBool(), ok);

    const QByteArray log = errorLog();
    if (ok) {
        QVERIFY(log.isEmpty());
        QVERIFY(worker.lastError().isEmpty());
        return;
    }
    // One entry: BEGIN line, time, the answer as received, END line, the same time.
    const QRegularExpression entry(
        QStringLiteral(
            "^\r\n \\*{11} BEGIN \\*{9}(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d)(.*)\r\n \\*{11} END   "
            "\\*{9}(\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = entry.match(QString::fromLatin1(log));
    QVERIFY2(m.hasMatch(), log.constData());
    QCOMPARE(m.captured(2).toLatin1(), answer);
    QCOMPARE(m.captured(1), m.captured(3));
    QVERIFY(!worker.lastError().isEmpty());
}

void tst_httpupload::answerInPieces_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("endless"); // filler after the pieces until the client closes
    QTest::addColumn<bool>("ok");

    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Length: 11\r\n\r\n";
    QByteArrayList drip;
    for (const char c : kAck)
        drip << QByteArray(1, c);
    QTest::newRow("headers, body 300 ms later")
        << QByteArrayList{head, "</\\/>1</\\/>"} << 300 << false << true;
    QTest::newRow("a byte at a time") << drip << 5 << false << true;
    QTest::newRow("chunked") << QByteArrayList{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                                               "3\r\n</\\\r\n", "8\r\n/>1</\\/>\r\n0\r\n\r\n"}
                             << 100 << false << true;
    QTest::newRow("half a body, then closed") << QByteArrayList{head, "</\\/>"} << 100 << false << false;
    QTest::newRow("never ends") << QByteArrayList{"HTTP/1.1 200 OK\r\n\r\n"} << 50 << true << false;
}

void tst_httpupload::answerInPieces()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(int, gapMs);
    QFETCH(bool, endless);
    QFETCH(bool, ok);
    // Only the answer that never ends is meant to meet the deadline.
    vbBaseUpload::setSocketTimeoutMs(endless ? 1000 : 20000);
    const QString path = writeFile(QStringLiteral("pieces.jpg"), randomBytes(3000));
    FakeUploadServer server(FakeUploadServer::Pieces);
    server.pieces = pieces;
    server.gapMs = gapMs;
    server.endless = endless;
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    worker.setPort(server.port());
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.first().first().toBool(), ok);
    QTRY_VERIFY(worker.isFinished());
    QCOMPARE(done.size(), 1);
    QCOMPARE(server.connections, 1);
    QCOMPARE(errorLog().isEmpty(), ok);
    if (endless)
        QVERIFY(errorLog().contains("TimeoutException"));
}

void tst_httpupload::brokenConnectionsFailWithoutLogEntry_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("size");
    QTest::newRow("closed after the request, no answer") << int(FakeUploadServer::CloseAfterAll) << 5000;
    // Larger than any socket buffer, so the drop shows while sending.
    QTest::newRow("dropped in the middle of the request") << int(FakeUploadServer::CloseEarly) << 24000000;
}

void tst_httpupload::brokenConnectionsFailWithoutLogEntry()
{
    QFETCH(int, mode);
    QFETCH(int, size);
    const QString path = writeFile(QStringLiteral("y.jpg"), QByteArray(size, 'y'));
    FakeUploadServer server(static_cast<FakeUploadServer::Mode>(mode));
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    worker.setPort(server.port());
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.first().first().toBool(), false);
    QCOMPARE(done.size(), 1);
    QVERIFY2(errorLog().isEmpty(), errorLog().constData());
    QVERIFY(!worker.lastError().isEmpty());
}

void tst_httpupload::stopWhileBlockedReturnsPromptly()
{
    const QString path = writeFile(QStringLiteral("w.jpg"), randomBytes(3000));
    FakeUploadServer server(FakeUploadServer::Stall);
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    worker.setPort(server.port());
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QSignalSpy complete(&server, &FakeUploadServer::requestComplete);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QVERIFY(complete.wait(10000)); // the worker now waits for an answer that never comes
    QElapsedTimer clock;
    clock.start();
    worker.stopUpload();
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(worker.isFinished());
    QCoreApplication::processEvents();
    QCOMPARE(done.size(), 0); // a stopped run reports nothing
    QVERIFY(errorLog().isEmpty());
}

void tst_httpupload::missingFileDoesNotStart()
{
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    QVERIFY(!worker.startUpload(vbUploadFiles{m_dir.filePath(QStringLiteral("nothing.jpg")), {}, {}, {}},
                                QString()));
    QVERIFY(!worker.isRunning());
}

void tst_httpupload::workerRunsAgainAfterAFailure()
{
    const QString path = writeFile(QStringLiteral("again.jpg"), randomBytes(1000));
    // Nothing listens on the first port: the connection is refused.
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const int deadPort = closed.serverPort();
    closed.close();

    vbHttpUpload worker(QStringLiteral("127.0.0.1"), QStringLiteral("1001"), kKey64 + kSession38,
                        QStringLiteral("12"));
    worker.setPort(deadPort);
    QSignalSpy done(&worker, &vbBaseUpload::sig_done);
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.takeFirst().first().toBool(), false);

    FakeUploadServer server(FakeUploadServer::Answer);
    worker.setPort(server.port());
    QVERIFY(worker.startUpload(vbUploadFiles{path, {}, {}, {}}, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 10000);
    QCOMPARE(done.takeFirst().first().toBool(), true);
    QVERIFY(worker.lastError().isEmpty());
}

QTEST_GUILESS_MAIN(tst_httpupload)
#include "tst_httpupload.moc"
