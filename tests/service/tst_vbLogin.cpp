#include "vbIniParser.h"
#include "vbLogin.h"
#include "vbModalAnswer.h"
#include "vbPushButton.h"
#include "vbTestService.h"
#include "vbTestUi.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using vbTestUi::formChild;
using vbTestUi::typeText;

// The sign-in dialog driven with mouse and keys against the stand-in service.
class tst_vbLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_startDir = QDir::currentPath();
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
        vbEndpoints::setCurrent(m_service->endpoints());
    }
    void init()
    {
        QVERIFY(m_service->clearFaults(true));
        m_programDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_service->writeSystemIni(m_programDir->path()));
        QVERIFY(QDir::setCurrent(m_programDir->path()));
    }
    void cleanup()
    {
        QDir::setCurrent(m_startDir);
        m_programDir.reset();
    }
    void refusedAccountKeepsDialogOpen()
    {
        const QByteArray before = settingsBytes();
        vbLogin dialog;
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        signIn(dialog, QLatin1String(velbrook::kDemoEmail), QStringLiteral("wrong"));
        QCOMPARE(formChild<QLabel>(&dialog, "lbl_status")->text(), QStringLiteral("login..."));

        QTRY_COMPARE_WITH_TIMEOUT(formChild<QLabel>(&dialog, "lbl_status")->text(),
                                  QStringLiteral("Login failed.Please check your E-mail and password!"),
                                  10000);
        QTRY_COMPARE(m_service->requests(QStringLiteral("signin")).size(), 2);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(settingsBytes(), before);

        // The dialog stays usable: the right password now gets in.
        formChild<QLineEdit>(&dialog, "edit_password")->clear();
        typeText(formChild<QLineEdit>(&dialog, "edit_password"), QLatin1String(velbrook::kDemoPassword));
        QTest::keyClick(formChild<QLineEdit>(&dialog, "edit_password"), Qt::Key_Return);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    void successClosesWithAlbums_data()
    {
        QTest::addColumn<bool>("autoLogin");
        QTest::newRow("autoLogin ticked") << true;
        QTest::newRow("autoLogin unticked") << false;
    }
    void successClosesWithAlbums()
    {
        QFETCH(bool, autoLogin);

        // A sign-in without "autoLogin" switches the automatic sign-in off and drops the stored password.
        QVERIFY(
            vbIniParser(QStringLiteral("system.ini"))
                .setString(QStringLiteral("user.info"), QStringLiteral("password"), QStringLiteral("old")));

        vbLogin dialog;
        dialog.show();
        auto* box = formChild<QCheckBox>(&dialog, "cbx_autoLogin");
        if (!autoLogin)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QCOMPARE(dialog.autoLogin(), autoLogin);

        QSignalSpy finished(&dialog, &QDialog::finished);
        signIn(dialog, QLatin1String(velbrook::kDemoEmail), QLatin1String(velbrook::kDemoPassword));
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        QCOMPARE(dialog.userId(), velbrook::kDemoUserId);
        QCOMPARE(dialog.albums().size(), 3);
        QCOMPARE(dialog.albums().at(2).photoCount, velbrook::kArchivePhotoCount);

        const vbIniParser ini(QStringLiteral("system.ini"));
        if (autoLogin) {
            QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("username")),
                     QLatin1String(velbrook::kDemoEmail));
            QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("password")),
                     QLatin1String(velbrook::kDemoPassword));
            QVERIFY(ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), false));
            // The service section the client was pointed with is still there.
            QCOMPARE(ini.getString(QStringLiteral("service"), QStringLiteral("httpport")),
                     QString::number(m_service->httpPort()));
        } else {
            QCOMPARE(ini.getString(QStringLiteral("user.info"), QStringLiteral("password"),
                                   QStringLiteral("none")),
                     QStringLiteral("none"));
            QVERIFY(!ini.getBool(QStringLiteral("user.info"), QStringLiteral("autologin"), true));
        }
    }
    void serviceFaults_data()
    {
        QTest::addColumn<QJsonObject>("serviceFault");
        QTest::addColumn<int>("outcome");

        const int unreachable = vbServiceCall::Unreachable;
        const int unreadable = vbServiceCall::Unreadable;
        // How each fault is judged is up to the sign-in; the dialog tells what it was told.
        QTest::newRow("sign-in: stall") << vbTestService::fault("signin", "stall") << unreachable;
        QTest::newRow("albums: truncated") << vbTestService::fault("albumlist", "truncated") << unreadable;
    }
    void serviceFaults()
    {
        QFETCH(QJsonObject, serviceFault);
        QFETCH(int, outcome);

        QVERIFY(m_service->injectFault(serviceFault));
        vbLogin dialog(nullptr, 1500);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        vbModalAnswer tips(vbModalAnswer::press("btnOK"));
        signIn(dialog, QLatin1String(velbrook::kDemoEmail), QLatin1String(velbrook::kDemoPassword));

        const auto failure = vbServiceCall::Outcome(outcome);
        QTRY_COMPARE_WITH_TIMEOUT(tips.texts(), QStringList{vbServiceCall::failureText(failure)}, 10000);
        QCOMPARE(formChild<QLabel>(&dialog, "lbl_status")->text(), vbServiceCall::failureStatus(failure));
        QCOMPARE(finished.size(), 0);
        QVERIFY(settingsBytes().indexOf("username") < 0);

        // Once the service answers again, pressing Login again gets in.
        QVERIFY(m_service->clearFaults());
        QTest::mouseClick(formChild<vbPushButton>(&dialog, "btnLogin"), Qt::LeftButton);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.albums().size(), 3);
        QCOMPARE(tips.texts().size(), 1);
    }
    void cancelAndCloseReject()
    {
        // A sign-in still under way must not sign anyone in after the dialog is gone.
        QVERIFY(m_service->injectFault(vbTestService::fault("signin", "stall")));
        vbLogin dialog;
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        signIn(dialog, QLatin1String(velbrook::kDemoEmail), QLatin1String(velbrook::kDemoPassword));
        QCOMPARE(formChild<QLabel>(&dialog, "lbl_status")->text(), QStringLiteral("login..."));

        QTest::mouseClick(formChild<vbPushButton>(&dialog, "btnClose"), Qt::LeftButton);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(formChild<QLabel>(&dialog, "lbl_status")->text().isEmpty());
        QCOMPARE(dialog.userId(), 0);
        QVERIFY(settingsBytes().indexOf("username") < 0);
    }

private:
    static void signIn(vbLogin& dialog, const QString& name, const QString& password);
    QByteArray settingsBytes() const;

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_programDir;
    QString m_startDir;
};

void tst_vbLogin::signIn(vbLogin& dialog, const QString& name, const QString& password)
{
    typeText(formChild<QLineEdit>(&dialog, "edit_name"), name);
    typeText(formChild<QLineEdit>(&dialog, "edit_password"), password);
    QTest::mouseClick(formChild<vbPushButton>(&dialog, "btnLogin"), Qt::LeftButton);
}

QByteArray tst_vbLogin::settingsBytes() const
{
    QFile f(m_programDir->filePath(QStringLiteral("system.ini")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QTEST_MAIN(tst_vbLogin)
#include "tst_vbLogin.moc"
