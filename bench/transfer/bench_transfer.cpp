// Throughput of the two upload workers against the stand-in service, next to
// curl sending the same bytes (HTTP POST) and the same files (FTP STOR) on
// loopback. Prints one line per run and the ratios; not part of the tests.
//
//   bench_transfer [megabytes=20] [rounds=5]
#include "vbEndpoints.h"
#include "vbFtpSession.h"
#include "vbFtpUpload.h"
#include "vbHttpUpload.h"
#include "vbTestService.h"
#include "vbUploadProtocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {
const QString kUser = QLatin1String(velbrook::kDemoEmail);
const QString kPassword = QLatin1String(velbrook::kDemoPassword);
const QString kAlbum = QString::number(velbrook::kFamilyAlbumId);

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

bool writeFile(const QString& path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (char& c : block)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    for (qint64 left = size; left > 0; left -= block.size())
        file.write(block.constData(), std::min<qint64>(left, block.size()));
    return true;
}

QByteArray get(const QUrl& url)
{
    QNetworkAccessManager manager;
    QNetworkReply* reply = manager.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    reply->deleteLater();
    return body;
}

// Seconds from start to the worker's result; negative when it failed.
double runWorker(vbBaseUpload& worker, const vbUploadFiles& files, qint64* progressSignals)
{
    QEventLoop loop;
    bool ok = false;
    qint64 signalsSeen = 0;
    // Progress is taken on this thread as the photo node would take it.
    auto progress = QObject::connect(&worker, &vbBaseUpload::sig_dataTransfer, &loop,
                                     [&](qint64, qint64) { ++signalsSeen; });
    auto done = QObject::connect(&worker, &vbBaseUpload::sig_done, &loop, [&](bool result) {
        ok = result;
        loop.quit();
    });
    QElapsedTimer clock;
    clock.start();
    if (!worker.startUpload(files, QStringLiteral("9999")))
        return -1;
    loop.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    QObject::disconnect(progress);
    QObject::disconnect(done);
    *progressSignals = signalsSeen;
    return ok ? seconds : -1;
}

// Seconds of one curl run; negative when it failed.
double runCurl(const QStringList& arguments)
{
    QProcess curl;
    QElapsedTimer clock;
    clock.start();
    curl.start(QStringLiteral("curl"), arguments);
    if (!curl.waitForFinished(120000) || curl.exitCode() != 0) {
        say(QStringLiteral("curl failed: ") + QString::fromLocal8Bit(curl.readAllStandardError()));
        return -1;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const QByteArray out = curl.readAllStandardOutput();
    if (!out.isEmpty() && !out.contains("</\\/>1</\\/>")) {
        say(QStringLiteral("curl answer: ") + QString::fromLatin1(out.left(200)));
        return -1;
    }
    return seconds;
}

// What the HTTP worker sends, caught by a local listener: header and body apart.
bool captureRequest(const QString& key, const QString& photo, QByteArray* header, QByteArray* body)
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return false;
    QByteArray received;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        QTcpSocket* socket = server.nextPendingConnection();
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [&, socket] {
            received += socket->readAll();
            const qsizetype end = received.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const qsizetype at = received.indexOf("Content-Length: ");
            const qint64 length = received.mid(at + 16, received.indexOf('\r', at) - at - 16).toLongLong();
            if (received.size() >= end + 4 + length) {
                socket->write("</\\/>1</\\/>");
                socket->disconnectFromHost();
            }
        });
    });
    vbHttpUpload worker(QStringLiteral("127.0.0.1"), server.serverPort(),
                        QString::number(velbrook::kDemoUserId), key, kAlbum);
    qint64 unused = 0;
    if (runWorker(worker, vbUploadFiles{photo, {}, {}, {}}, &unused) < 0)
        return false;
    const qsizetype end = received.indexOf("\r\n\r\n");
    *header = received.left(end);
    *body = received.mid(end + 4);
    return true;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qint64 megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 20;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 5;
    const qint64 size = megabytes * 1024 * 1024;

    vbTestService service;
    if (!service.isRunning()) {
        say(QStringLiteral("stand-in service did not start: ") + service.errorString());
        return 1;
    }
    vbEndpoints endpoints;
    endpoints.setHttpPort(service.httpPort());
    endpoints.setFtpPort(service.ftpPort());
    const QString host = service.wangtong();

    QTemporaryDir dir;
    const QString photo = dir.filePath(QStringLiteral("photo.jpg"));
    const QString medium = dir.filePath(QStringLiteral("photo_1.jpg"));
    const QString small = dir.filePath(QStringLiteral("photo_2.jpg"));
    if (!writeFile(photo, size) || !writeFile(medium, 60 * 1024) || !writeFile(small, 8 * 1024)) {
        say(QStringLiteral("cannot write the test files"));
        return 1;
    }

    // HTTP: one key for every run (a key stays valid for its user).
    const auto key =
        vbUploadProtocol::uploadKeyFromReply(get(vbUploadProtocol::uploadKeyUrl(endpoints, host)));
    if (!key) {
        say(QStringLiteral("no upload key"));
        return 1;
    }
    QByteArray header, body;
    if (!captureRequest(key->head + key->tail, photo, &header, &body)) {
        say(QStringLiteral("cannot capture the request"));
        return 1;
    }
    const QString bodyFile = dir.filePath(QStringLiteral("body.bin"));
    {
        QFile file(bodyFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
            return 1;
    }
    const QString uploadUrl =
        QStringLiteral("http://%1:%2/vbrkClient/uploadPhoto").arg(host).arg(service.httpPort());
    const QStringList curlPost{QStringLiteral("-sS"),
                               QStringLiteral("--http1.1"),
                               QStringLiteral("-X"),
                               QStringLiteral("POST"),
                               QStringLiteral("-H"),
                               QStringLiteral("Expect:"),
                               QStringLiteral("-H"),
                               QStringLiteral("Content-Type: multipart/form-data; "
                                              "boundary=---------------------------7d328f2bb02bc"),
                               QStringLiteral("-H"),
                               QStringLiteral("Cookie: VBRK_REMEMBER_ME_COOKIE=; JSESSIONID=") + key->tail,
                               QStringLiteral("--data-binary"),
                               QLatin1Char('@') + bodyFile,
                               uploadUrl};

    // FTP: the same three files, in the same order, in one curl session.
    const QString ftpUrl = QStringLiteral("ftp://%1:%2/%3/").arg(host).arg(service.ftpPort()).arg(kAlbum);
    createFtpFolder(host, service.ftpPort(), kUser, kPassword, kAlbum);
    const QStringList curlStor{QStringLiteral("-sS"),
                               QStringLiteral("--user"),
                               kUser + QLatin1Char(':') + kPassword,
                               QStringLiteral("-T"),
                               QStringLiteral("{%1,%2,%3}").arg(small, medium, photo),
                               ftpUrl};

    QList<double> http, httpCurl, ftp, ftpCurl;
    qint64 httpSignals = 0, ftpSignals = 0;
    for (int round = 1; round <= rounds; ++round) {
        vbHttpUpload httpWorker(host, service.httpPort(), QString::number(velbrook::kDemoUserId),
                                key->head + key->tail, kAlbum);
        const double h = runWorker(httpWorker, vbUploadFiles{photo, {}, {}, {}}, &httpSignals);
        const double hc = runCurl(curlPost);
        vbFtpUpload ftpWorker(host, service.ftpPort(), kUser, kPassword, kAlbum);
        const double f = runWorker(ftpWorker, vbUploadFiles{photo, medium, small, {}}, &ftpSignals);
        const double fc = runCurl(curlStor);
        say(QStringLiteral("round %1: vbHttpUpload %2 s, curl POST %3 s, vbFtpUpload %4 s, curl STOR %5 s")
                .arg(round)
                .arg(h, 0, 'f', 3)
                .arg(hc, 0, 'f', 3)
                .arg(f, 0, 'f', 3)
                .arg(fc, 0, 'f', 3));
        if (h < 0 || hc < 0 || f < 0 || fc < 0)
            return 1;
        http << h;
        httpCurl << hc;
        ftp << f;
        ftpCurl << fc;
    }
    const double mb = double(size) / (1024 * 1024);
    auto best = [](const QList<double>& v) { return *std::min_element(v.begin(), v.end()); };
    // Best of the rounds (the fairest figure when a run is disturbed) and the median.
    const double httpRatio = best(httpCurl) / best(http);
    const double ftpRatio = best(ftpCurl) / best(ftp);
    say(QStringLiteral(
            "HTTP: vbHttpUpload %1 MB/s, curl %2 MB/s, ratio %3 best, %4 median (%5 progress signals)")
            .arg(mb / best(http), 0, 'f', 1)
            .arg(mb / best(httpCurl), 0, 'f', 1)
            .arg(httpRatio, 0, 'f', 2)
            .arg(median(httpCurl) / median(http), 0, 'f', 2)
            .arg(httpSignals));
    say(QStringLiteral(
            "FTP:  vbFtpUpload %1 MB/s, curl %2 MB/s, ratio %3 best, %4 median (%5 progress signals)")
            .arg(mb / best(ftp), 0, 'f', 1)
            .arg(mb / best(ftpCurl), 0, 'f', 1)
            .arg(ftpRatio, 0, 'f', 2)
            .arg(median(ftpCurl) / median(ftp), 0, 'f', 2)
            .arg(ftpSignals));
    say(QStringLiteral("target: best ratio >= 0.80 -> HTTP %1, FTP %2")
            .arg(httpRatio >= 0.8 ? QStringLiteral("met") : QStringLiteral("NOT met"),
                 ftpRatio >= 0.8 ? QStringLiteral("met") : QStringLiteral("NOT met")));
    return 0;
}
