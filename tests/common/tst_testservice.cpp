#include "vbTestService.h"

#include <QFile>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

class tst_testservice : public QObject
{
    Q_OBJECT

private slots:
    void faultsReachTheClientPathAndClear();
    void systemIniKeepsOtherSections_data();
    void systemIniKeepsOtherSections();
    void destructorStopsTheService();

private:
    QByteArray signIn(vbTestService& service, const QString& host);
};

QByteArray tst_testservice::signIn(vbTestService& service, const QString& host)
{
    QNetworkAccessManager manager;
    const QUrl url(QStringLiteral("http://%1:%2/client2/signin.jsp?username=%3&password=%4")
                       .arg(host)
                       .arg(service.httpPort())
                       .arg(QLatin1String(velbrook::kDemoEmail), QLatin1String(velbrook::kDemoPassword)));
    std::unique_ptr<QNetworkReply> reply(manager.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!finished.wait(10000))
        return {};
    return reply->readAll();
}

void tst_testservice::faultsReachTheClientPathAndClear()
{
    vbTestService service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    QVERIFY(service.injectFault({{"endpoint", "signin"}, {"mirror", "wangtong"}, {"kind", "refuse"}}));
    QVERIFY(!service.injectFault({{"endpoint", "nowhere"}}));
    QCOMPARE(service.state().value("faults").toArray().size(), 1);

    QCOMPARE(signIn(service, service.wangtong()), QByteArray("</\\/>0</\\/>"));
    QCOMPARE(signIn(service, service.dianxin()), QByteArray("</\\/>1001</\\/>"));

    QVERIFY(service.clearFaults(true));
    QVERIFY(service.state().value("faults").toArray().isEmpty());
    QVERIFY(service.state().value("requests").toArray().isEmpty());
    QCOMPARE(signIn(service, service.wangtong()), QByteArray("</\\/>1001</\\/>"));
    const QJsonArray requests = service.state().value("requests").toArray();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests.at(0).toObject().value("mirror").toString(), "wangtong");
}

void tst_testservice::systemIniKeepsOtherSections_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("keptPart");

    QTest::newRow("no file") << QByteArray() << QByteArray();
    QTest::newRow("old service section in the middle")
        << QByteArray(
               "[user.info]\r\nusername=a@b\r\n[Service]\r\nweb=10.0.0.1\r\nhttpport=80\r\n[version]\r\n"
               "ver=1.0\r\n")
        << QByteArray("[user.info]\r\nusername=a@b\r\n[version]\r\nver=1.0\r\n");
}

void tst_testservice::systemIniKeepsOtherSections()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, keptPart);
    vbTestService service;
    QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("system.ini")));
    if (!before.isEmpty()) {
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(before);
        ini.close();
    }
    QVERIFY(service.writeSystemIni(dir.path()));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray written = ini.readAll();
    const QByteArray section = "[service]\r\nweb=127.0.0.1\r\nwangtong=127.0.0.2\r\ndianxin=127.0.0.3\r\n"
                               "updateftp=127.0.0.1\r\nhttpport=" +
                               QByteArray::number(service.httpPort()) +
                               "\r\nftpport=" + QByteArray::number(service.ftpPort()) + "\r\n";
    QCOMPARE(written, keptPart + section);
}

void tst_testservice::destructorStopsTheService()
{
    int port = 0;
    {
        vbTestService service;
        QVERIFY2(service.isRunning(), qPrintable(service.errorString()));
        port = service.httpPort();
    }
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
    QVERIFY(!socket.waitForConnected(2000));
}

QTEST_GUILESS_MAIN(tst_testservice)
#include "tst_testservice.moc"
