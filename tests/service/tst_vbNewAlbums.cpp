#include "vbModalAnswer.h"
#include "vbNewAlbums.h"
#include "vbPushButton.h"
#include "vbRequests.h"
#include "vbTestService.h"
#include "vbTestUi.h"

#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

using vbTestUi::formChild;
using vbTestUi::typeText;

// Album creation driven with mouse and keys; outcomes are checked in the
// service's own state, not only in what the dialog believes.
class tst_vbNewAlbums : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_service = std::make_unique<vbTestService>();
        QVERIFY2(m_service->isRunning(), qPrintable(m_service->errorString()));
        vbEndpoints::setCurrent(m_service->endpoints());
    }
    void init() { QVERIFY(m_service->clearFaults(true)); }
    void answers_data()
    {
        QTest::addColumn<QJsonObject>("answer");
        QTest::addColumn<int>("albumId"); // 0: the dialog stays open
        QTest::addColumn<int>("failure"); // -1: no message box
        QTest::addColumn<QString>("status");

        const auto value = [](const char* v) {
            return vbTestService::fault("newalbum", "value", {{QStringLiteral("value"), QLatin1String(v)}});
        };
        const int unreadable = vbServiceCall::Unreadable;
        const int unreachable = vbServiceCall::Unreachable;
        QTest::newRow("service creates it") << QJsonObject() << velbrook::kFirstNewAlbumId << -1 << "";
        QTest::newRow("0 refused") << value("0") << 0 << -1 << "Create Albums failed!";
        QTest::newRow("negative id") << value("-57") << 0 << unreadable << "";
        QTest::newRow("stall") << vbTestService::fault("newalbum", "stall") << 0 << unreachable << "";
    }
    void answers()
    {
        QFETCH(QJsonObject, answer);
        QFETCH(int, albumId);
        QFETCH(int, failure);
        QFETCH(QString, status);

        if (!answer.isEmpty())
            QVERIFY(m_service->injectFault(answer));
        vbNewAlbums dialog(base(), velbrook::kDemoUserId, nullptr, 1500);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        vbModalAnswer tips(vbModalAnswer::press("btnOK"));
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), QStringLiteral("Holiday"));
        clickOk(dialog);

        if (albumId != 0) {
            QVERIFY(finished.wait(10000));
            QCOMPARE(dialog.result(), 1);
            QCOMPARE(dialog.newAlbumId(), albumId);
            QCOMPARE(dialog.name(), QStringLiteral("Holiday"));
            QVERIFY(tips.texts().isEmpty());
            QCOMPARE(m_service->requests(QStringLiteral("newalbum")).first().value(QStringLiteral("address")),
                     m_service->dianxin());
            return;
        }
        auto* lblStatus = formChild<QLabel>(&dialog, "lblStatus");
        if (failure >= 0) {
            const auto outcome = vbServiceCall::Outcome(failure);
            QTRY_COMPARE_WITH_TIMEOUT(tips.texts(), QStringList{vbServiceCall::failureText(outcome)}, 10000);
            status = vbServiceCall::failureStatus(outcome);
        }
        QTRY_COMPARE_WITH_TIMEOUT(lblStatus->text(), status, 10000);
        QVERIFY(dialog.isVisible());
        QCOMPARE(finished.size(), 0);
        QCOMPARE(dialog.newAlbumId(), 0);

        // OK again, with the service well, creates the album.
        QVERIFY(m_service->clearFaults());
        clickOk(dialog);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), 1);
        QCOMPARE(stored(dialog.newAlbumId()).value(QStringLiteral("name")).toString(),
                 QStringLiteral("Holiday"));
    }
    void queryCharactersReachServiceIntact()
    {
        const QString name = QStringLiteral("Tom & Jerry #1 = 100% +fun 家");
        const QString description = QStringLiteral("a&b=c#d+e%f");
        vbNewAlbums dialog(base(), velbrook::kDemoUserId);
        dialog.show();
        QSignalSpy finished(&dialog, &QDialog::finished);
        typeText(formChild<QLineEdit>(&dialog, "edit_name"), name);
        typeText(formChild<QLineEdit>(&dialog, "edit_desc"), description);
        clickOk(dialog);
        QVERIFY(finished.wait(10000));
        QCOMPARE(dialog.result(), 1);

        const QJsonObject created = stored(dialog.newAlbumId());
        QCOMPARE(created.value(QStringLiteral("name")).toString(), name);
        QCOMPARE(created.value(QStringLiteral("description")).toString(), description);
        QCOMPARE(created.value(QStringLiteral("user_id")).toInt(), velbrook::kDemoUserId);
        QCOMPARE(created.value(QStringLiteral("date")).toString(),
                 QDate::currentDate().toString(Qt::ISODate));
        const QJsonObject params = m_service->requests(QStringLiteral("newalbum"))
                                       .first()
                                       .value(QStringLiteral("params"))
                                       .toObject();
        QCOMPARE(params.value(QStringLiteral("print")).toString(), QStringLiteral("0"));
        QCOMPARE(params.keys().size(), 5);
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
        QVERIFY(formChild<QLabel>(&dialog, "lblStatus")->text().isEmpty());
        QStringList names;
        for (const auto& a : m_service->state().value(QStringLiteral("albums")).toArray())
            names.append(a.toObject().value(QStringLiteral("name")).toString());
        QCOMPARE(names.count(QStringLiteral("FirstAgain")), 1);
        QVERIFY(!names.contains(QStringLiteral("First")));
    }

private:
    QString base() const { return vbRequests::baseAddress(QStringLiteral("Http"), m_service->dianxin()); }
    static void clickOk(vbNewAlbums& dialog)
    {
        QTest::mouseClick(formChild<vbPushButton>(&dialog, "btnOK"), Qt::LeftButton);
    }

    // The album the service keeps under that id.
    QJsonObject stored(int id) const
    {
        for (const auto& a : m_service->state().value(QStringLiteral("albums")).toArray()) {
            if (a.toObject().value(QStringLiteral("id")).toInt() == id)
                return a.toObject();
        }
        return {};
    }

    std::unique_ptr<vbTestService> m_service;
};

QTEST_MAIN(tst_vbNewAlbums)
#include "tst_vbNewAlbums.moc"
