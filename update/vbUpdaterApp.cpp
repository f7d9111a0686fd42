#include "vbUpdaterApp.h"

#include "vbIniParser.h"
#include "vbLanguage.h"
#include "vbMessageBox.h"
#include "vbSocketAborter.h"
#include "vbUpdate.h"
#include "vbVersionAnswer.h"

#include <Poco/Exception.h>
#include <Poco/Net/StreamSocket.h>

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPalette>
#include <QProcess>

namespace {

const QString versionSection = QStringLiteral("version");
const QString versionKey = QStringLiteral("ver");

} // namespace

vbUpdaterApp::vbUpdaterApp() = default;

void vbUpdaterApp::setupApplication(QApplication& app, QTranslator* translator)
{
    Q_UNUSED(app)
    QApplication::setPalette(QPalette(QColor(200, 221, 239, 255)));
    vbLanguage::install(translator, QStringLiteral("quillmere"), settingsPath());
}

int vbUpdaterApp::run()
{
    m_endpoints = vbEndpoints::load(settingsPath());
    // A stored value that is no version (written by an older updater) counts
    // as the default, so it cannot suppress every later offer.
    const float stored =
        vbVersionAnswer::number(vbIniParser(settingsPath()).getString(versionSection, versionKey).trimmed())
            .value_or(1.0f);
    const std::optional<QString> latest = queryLatestVersion();
    if (latest && *vbVersionAnswer::number(*latest) > stored)
        offerUpdate(*latest);
    startMainProgram();
    return 0;
}

std::optional<QString> vbUpdaterApp::queryLatestVersion()
{
    try {
        // Connecting, sending and the one read each have the receive deadline.
        Poco::Net::StreamSocket socket;
        if (!connectAbortable(socket, m_endpoints.web(), m_endpoints.httpPort(), receiveTimeoutMs(), nullptr))
            return std::nullopt;

        const QByteArray request = versionRequest(m_endpoints.hostWithPort(m_endpoints.web()));
        int sent = -1;
        try {
            sent = socket.sendBytes(request.constData(), int(request.size()));
        } catch (const Poco::Exception& e) {
            // The answer may still come; a broken connection shows in the read.
            qDebug() << "updater: sending the version query:" << QString::fromStdString(e.displayText());
            sent = 0;
        }
        if (sent < 0)
            return std::nullopt;

        QByteArray buffer(8194, '\0');
        const int received = socket.receiveBytes(buffer.data(), int(buffer.size()));
        socket.close();
        if (received <= 0)
            return std::nullopt;
        buffer.truncate(received);
        const qsizetype zero = buffer.indexOf('\0');
        if (zero >= 0)
            buffer.truncate(zero);
        qDebug().noquote() << QString::fromLocal8Bit(buffer);
        return vbVersionAnswer::parse(buffer);
    } catch (const Poco::Exception& e) {
        qDebug() << "updater: version query failed:" << QString::fromStdString(e.displayText());
    } catch (const std::exception& e) {
        qDebug() << "updater: version query failed:" << e.what();
    }
    return std::nullopt;
}

void vbUpdaterApp::offerUpdate(const QString& latest)
{
    vbMessageBox question(24, tr("Tips"), tr("Detected latest version.Do you want update now?"));
    if (question.exec() == 1) {
        vbUpdate update(QStringLiteral("program"), QString(), m_endpoints, nullptr);
        update.exec();
        // An update that did not arrive is offered again at the next start.
        if (!update.completed())
            return;
    }
    // Declined or done: the same version is not offered again.
    vbIniParser(settingsPath()).setString(versionSection, versionKey, latest);
}

bool vbUpdaterApp::startMainProgram()
{
    // An absolute path: a bare name would be looked up on the PATH.
    const QString program = QDir::current().absoluteFilePath(mainProgramName());
    return QProcess::execute(program, QStringList()) >= 0;
}

QByteArray vbUpdaterApp::versionRequest(const QString& hostWithPort)
{
    return QByteArrayLiteral("GET /client2/getlatestversion_1.jsp HTTP/1.1\r\n") +
           "Host:" + hostWithPort.toLocal8Bit() + "\r\n" + "\r\n";
}

QString vbUpdaterApp::mainProgramName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("pixelvane.exe");
#else
    return QStringLiteral("pixelvane");
#endif
}
