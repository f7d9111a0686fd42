#include "vbTestService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTcpSocket>

#ifndef PV_SOURCE_DIR_FALLBACK
#define PV_SOURCE_DIR_FALLBACK ""
#endif

namespace {
constexpr int kStartTimeoutMs = 10000;
constexpr int kRequestTimeoutMs = 10000;

// Folder of the project's sources (PV_SOURCE_DIR, else the path known at build time).
QString sourceDir()
{
    const QString fromEnv = qEnvironmentVariable("PV_SOURCE_DIR");
    return fromEnv.isEmpty() ? QStringLiteral(PV_SOURCE_DIR_FALLBACK) : fromEnv;
}
} // namespace

vbTestService::vbTestService(const QString& seedFile)
{
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    QStringList args{sourceDir() + QStringLiteral("/devservice/velbrookd.py"), QStringLiteral("--state"),
                     stateDir()};
    if (!seedFile.isEmpty())
        args << QStringLiteral("--seed") << seedFile;

    m_process = std::make_unique<QProcess>();
    m_process->setStandardErrorFile(m_dir.filePath(QStringLiteral("service.log")));
    m_process->start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process->waitForStarted(kStartTimeoutMs)) {
        m_error = QStringLiteral("python3 did not start: ") + m_process->errorString();
        return;
    }

    // The service prints one JSON line once every listener is up.
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!m_process->canReadLine() && !deadline.hasExpired() && m_process->state() == QProcess::Running)
        m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    if (!m_process->canReadLine()) {
        QFile log(m_dir.filePath(QStringLiteral("service.log")));
        log.open(QIODevice::ReadOnly);
        m_error =
            QStringLiteral("no ready line from the service: ") + QString::fromUtf8(log.readAll().right(2000));
        return;
    }
    const QJsonObject ready = QJsonDocument::fromJson(m_process->readLine()).object();
    m_httpPort = ready.value(QLatin1String("http_port")).toInt();
    m_ftpPort = ready.value(QLatin1String("ftp_port")).toInt();
    m_web = ready.value(QLatin1String("web")).toString();
    m_wangtong = ready.value(QLatin1String("wangtong")).toString();
    m_dianxin = ready.value(QLatin1String("dianxin")).toString();
    if (m_httpPort <= 0 || m_ftpPort <= 0 || m_web.isEmpty())
        m_error = QStringLiteral("malformed ready line");
}

vbTestService::~vbTestService()
{
    if (!m_process || m_process->state() == QProcess::NotRunning)
        return;
    m_process->terminate();
    if (!m_process->waitForFinished(5000)) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool vbTestService::isRunning() const
{
    return m_error.isEmpty() && m_process && m_process->state() == QProcess::Running;
}

QString vbTestService::stateDir() const
{
    return m_dir.filePath(QStringLiteral("state"));
}

QByteArray vbTestService::request(const QByteArray& method, const QString& path, const QByteArray& body,
                                  int* status)
{
    *status = 0;
    if (!isRunning())
        return {};
    // A plain socket keeps this usable from tests with or without a running event loop.
    QTcpSocket socket;
    socket.connectToHost(m_web, quint16(m_httpPort));
    if (!socket.waitForConnected(kRequestTimeoutMs))
        return {};
    const QByteArray head = method + ' ' + path.toUtf8() + " HTTP/1.1\r\nHost: " + m_web.toUtf8() + ':' +
                            QByteArray::number(m_httpPort) +
                            "\r\nContent-Type: application/json\r\nConnection: close\r\nContent-Length: " +
                            QByteArray::number(body.size()) + "\r\n\r\n";
    socket.write(head + body);
    const QDeadlineTimer deadline(kRequestTimeoutMs);
    QByteArray answer;
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))) &&
            socket.state() != QAbstractSocket::ConnectedState)
            break;
        answer += socket.readAll();
    }
    answer += socket.readAll();
    const int headEnd = answer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return {};
    const QList<QByteArray> statusLine = answer.left(answer.indexOf("\r\n")).split(' ');
    if (statusLine.size() >= 2)
        *status = statusLine.at(1).toInt();
    return answer.mid(headEnd + 4);
}

bool vbTestService::control(const QString& name, const QJsonObject& body)
{
    int status = 0;
    const QByteArray answer = request("POST", QStringLiteral("/__control/") + name,
                                      QJsonDocument(body).toJson(QJsonDocument::Compact), &status);
    return status == 200 && QJsonDocument::fromJson(answer).object().value(QLatin1String("ok")).toBool();
}

bool vbTestService::injectFault(const QJsonObject& fault)
{
    return control(QStringLiteral("fault"), fault);
}

bool vbTestService::clearFaults(bool alsoRequests)
{
    QJsonObject body;
    if (alsoRequests)
        body.insert(QLatin1String("requests"), true);
    return control(QStringLiteral("clear"), body);
}

QJsonObject vbTestService::state()
{
    int status = 0;
    const QByteArray answer = request("GET", QStringLiteral("/__control/state"), QByteArray(), &status);
    return status == 200 ? QJsonDocument::fromJson(answer).object() : QJsonObject();
}

bool vbTestService::writeSystemIni(const QString& programDir) const
{
    const QString text = QStringLiteral("[service]\r\nweb=%1\r\nwangtong=%2\r\ndianxin=%3\r\nupdateftp=%1\r\n"
                                        "httpport=%4\r\nftpport=%5\r\n")
                             .arg(m_web, m_wangtong, m_dianxin)
                             .arg(m_httpPort)
                             .arg(m_ftpPort);
    QSaveFile file(QDir(programDir).filePath(QStringLiteral("system.ini")));
    if (m_httpPort <= 0 || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toLocal8Bit());
    return file.commit();
}

QJsonObject vbTestService::fault(const QString& endpoint, const QString& kind, const QJsonObject& extra)
{
    QJsonObject f = extra;
    f.insert(QStringLiteral("endpoint"), endpoint);
    f.insert(QStringLiteral("kind"), kind);
    return f;
}

QList<QJsonObject> vbTestService::requests(const QString& endpoint)
{
    QList<QJsonObject> found;
    const QJsonArray all = state().value(QStringLiteral("requests")).toArray();
    for (const QJsonValue& r : all) {
        if (r.toObject().value(QStringLiteral("endpoint")).toString() == endpoint)
            found.append(r.toObject());
    }
    return found;
}

vbEndpoints vbTestService::endpoints() const
{
    vbEndpoints e;
    e.setWeb(m_web);
    e.setWangtong(m_wangtong);
    e.setDianxin(m_dianxin);
    e.setUpdateFtp(m_web);
    e.setHttpPort(m_httpPort);
    e.setFtpPort(m_ftpPort);
    return e;
}
