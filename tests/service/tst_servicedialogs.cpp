// The sign-in and album dialogs driven with mouse and keys against the stand-in service;
// outcomes are checked in the service's own state, not only in what the dialog believes.
#include "vbIniParser.h"
#include "vbLogin.h"
#include "vbModalAnswer.h"
#include "vbNewAlbums.h"
#include "vbPushButton.h"
#include "vbRequests.h"
#include "vbTestService.h"
#include "vbTestUi.h"

#include <QtTest>
#include <QtWidgets>

using vbTestUi::formChild;
using vbTestUi::typeText;

class tst_ServiceDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_startDir = QDir::currentPath();
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
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
    // A refusal or a fault keeps the dialog open with the settings untouched (how each fault is judged
    // is the sign-in's business; the dialog tells what it was told); Login again then gets in.
    void refusalKeepsDialogOpen_data()
    {
        QTest::addColumn<QJsonObject>("serviceFault");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("outcome"); // -1: refused, no message box
        QTest::newRow("wrong password") << QJsonObject() << "wrong" << -1;
        QTest::newRow("sign-in: stall") << vbTestService::fault("signin", "stall") << velbrook::kDemoPassword
                                        << int(vbServiceCall::Unreachable);
        QTest::newRow("albums: truncated") << vbTestService::fault("albumlist", "truncated")
                                           << velbrook::kDemoPassword << int(vbServiceCall::Unreadable);
    }
    void refusalKeepsDialogOpen()
    {
        QFETCH(QJsonObject, serviceFault);
        QFETCH(QString, password);
        QFETCH(int, outcome);
        QVERIFY(serviceFault.isEmpty() || m_service->injectFault(serviceFault));
        const QByteArray before = settingsBytes();
        vbLogin dialog(m_service->endpoints(), nullptr, 1500);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        vbModalAnswer tips(vbModalAnswer::press("btnOK"));
        signIn(dialog, QLatin1String(velbrook::kDemoEmail), password);
        auto* status = formChild<QLabel>(&dialog, "lbl_status");
        QCOMPARE(status->text(), QStringLiteral("login..."));
        const auto failure = vbServiceCall::Outcome(outcome);
        if (outcome >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(tips.texts(), QStringList{vbServiceCall::failureText(failure)}, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(status->text(),
                                  outcome < 0
                                      ? QStringLiteral("Login failed.Please check your E-mail and password!")
                                      : vbServiceCall::failureStatus(failure),
                                  10000);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(settingsBytes(), before);

        QVERIFY(m_service->clearFaults());
        formChild<QLineEdit>(&dialog, "edit_password")->clear();
        typeText(formChild<QLineEdit>(&dialog, "edit_password"), QLatin1String(velbrook::kDemoPassword));
        QTest::keyClick(formChild<QLineEdit>(&dialog, "edit_password"), Qt::Key_Return);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.albums().size(), 3);
    }
    void successClosesWithAlbums()
    {
        for (const bool autoLogin : {true, false}) {
            // A sign-in without "autoLogin" switches the automatic sign-in off and drops the stored password.
            QVERIFY(m_service->writeSystemIni(m_programDir->path()));
            QVERIFY(vbIniParser("system.ini").setString("user.info", "password", "old"));

            vbLogin dialog(m_service->endpoints());
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
            QCOMPARE(dialog.albums().at(2).photoCount, velbrook::kArchivePhotoCount);

            const vbIniParser ini("system.ini");
            QCOMPARE(ini.getString("user.info", "password", "none"),
                     autoLogin ? velbrook::kDemoPassword : "none");
            QCOMPARE(ini.getBool("user.info", "autologin", !autoLogin), autoLogin);
            // The service section the client was pointed with is still there.
            QCOMPARE(ini.getString("service", "httpport"), QString::number(m_service->httpPort()));
        }
    }
    void cancelAndCloseReject()
    {
        // A sign-in still under way must not sign anyone in after the dialog is gone.
        QVERIFY(m_service->injectFault(vbTestService::fault("signin", "stall")));
        vbLogin dialog(m_service->endpoints());
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

    // An album not created keeps the dialog open; OK again, with the service well, creates it.
    void answers_data()
    {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<int>("failure"); // -1: refused, no message box
        const auto value = [](const char* v) {
            return vbTestService::fault("newalbum", "value", {{QStringLiteral("value"), QLatin1String(v)}});
        };
        QTest::newRow("0 refused") << value("0") << -1;
        QTest::newRow("negative id") << value("-57") << int(vbServiceCall::Unreadable);
        QTest::newRow("stall") << vbTestService::fault("newalbum", "stall")
                               << int(vbServiceCall::Unreachable);
    }
    void answers()
    {
        QFETCH(QJsonObject, answer);
        QFETCH(int, failure);
        QVERIFY(m_service->injectFault(answer));
        vbNewAlbums dialog(base(), velbrook::kDemoUserId, nullptr, 1500);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        vbModalAnswer tips(vbModalAnswer::press("btnOK"));
        // Characters with a meaning in a query reach the service intact.
        const QString name = QStringLiteral("Tom & Jerry #1 = 100% +fun 家");
        const QString description = QStringLiteral("a&b=c#d+e%f");
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), name);
        typeText(formChild<QLineEdit>(&dialog, "edit_desc"), description);
        clickOk(dialog);

        const auto outcome = vbServiceCall::Outcome(failure);
        if (failure >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(tips.texts(), QStringList{vbServiceCall::failureText(outcome)}, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(formChild<QLabel>(&dialog, "lblStatus")->text(),
                                  failure < 0 ? QStringLiteral("Create Albums failed!")
                                              : vbServiceCall::failureStatus(outcome),
                                  10000);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(dialog.newAlbumId(), 0);

        QVERIFY(m_service->clearFaults());
        clickOk(dialog);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.name(), name);
        const QJsonObject created = stored(dialog.newAlbumId());
        QCOMPARE(created.value(QStringLiteral("name")).toString(), name);
        QCOMPARE(created.value(QStringLiteral("description")).toString(), description);
        QCOMPARE(created.value(QStringLiteral("user_id")).toInt(), velbrook::kDemoUserId);
        QCOMPARE(created.value(QStringLiteral("date")).toString(),
                 QDate::currentDate().toString(Qt::ISODate));
    }
    void onlyLatestAnswerCounts()
    {
        // The first request stalls; OK pressed again sends the corrected name and
        // its answer alone decides, the first request being given up.
        QVERIFY(m_service->injectFault(
            vbTestService::fault("newalbum", "stall", {{QStringLiteral("count"), 1}})));
        vbNewAlbums dialog(base(), velbrook::kDemoUserId);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), QStringLiteral("First"));
        clickOk(dialog);
        QTRY_COMPARE(m_service->requests(QStringLiteral("newalbum")).size(), 1);
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), QStringLiteral("Again"));
        clickOk(dialog);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(dialog.name(), QStringLiteral("FirstAgain"));
        QStringList names; // the given-up request created nothing
        for (const auto& a : m_service->state().value(QStringLiteral("albums")).toArray())
            names.append(a.toObject().value(QStringLiteral("name")).toString());
        QCOMPARE(names.count(QStringLiteral("FirstAgain")), 1);
        QVERIFY(!names.contains(QStringLiteral("First")));
    }

private:
    static void signIn(vbLogin& dialog, const QString& name, const QString& password)
    {
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), name);
        typeText(formChild<QLineEdit>(&dialog, "edit_password"), password);
        QTest::mouseClick(formChild<vbPushButton>(&dialog, "btnLogin"), Qt::LeftButton);
    }
    QByteArray settingsBytes() const
    {
        QFile f(m_programDir->filePath(QStringLiteral("system.ini")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString base() const
    {
        return vbRequests::baseAddress(m_service->endpoints(), QStringLiteral("Http"), m_service->dianxin());
    }
    static void clickOk(vbNewAlbums& dialog) { vbTestUi::click(formChild<vbPushButton>(&dialog, "btnOK")); }

    // The album the service keeps under that id.
    QJsonObject stored(int id) const
    {
        for (const auto& a : m_service->state().value(QStringLiteral("albums")).toArray())
            if (a.toObject().value(QStringLiteral("id")).toInt() == id)
                return a.toObject();
        return {};
    }

    std::unique_ptr<vbTestService> m_service;
    std::unique_ptr<QTemporaryDir> m_programDir;
    QString m_startDir;
};

QTEST_MAIN(tst_ServiceDialogs)
#include "tst_servicedialogs.moc"
