// The upload log viewer and the list of failed photos, driven by mouse and keys.
#include "vbLogs.h"
#include "vbModalAnswer.h"
#include "vbPushButton.h"
#include "vbUploadFailed.h"

#include <QtTest>
#include <QtWidgets>

namespace {
UploadLogRecord record(bool ok, const QString& path, const QString& date, const QString& reason = QString())
{
    return UploadLogRecord{ok,    QStringLiteral("demo@velbrook.test"), path, QStringLiteral("Family"), date,
                           reason};
}

// Oldest first, as the log keeps them; "/p/a.jpg" fails, is re-uploaded, then fails again.
const UploadLogRecords kLog{
    record(false, "/p/a.jpg", "2026.12.01 10:00:00", "timeout"),
    record(true, "/p/b.jpg", "2026.12.01 10:00:05"), record(true, "/p/a.jpg", "2026.12.02 09:30:00"),
    record(false, QString(), "2026.12.02 09:30:01"), record(false, "/p/a.jpg", "2026.12.03 08:00:00")};
} // namespace

class tst_uploaddialogs : public QObject
{
    Q_OBJECT

private slots:
    void viewerMarksReUploads()
    {
        vbLogs logs;
        logs.setRecords(kLog);
        QTableWidget* table = logs.tableWidget;
        // Row 0 is the newest: a failure after the re-upload is a failure like any other.
        const QStringList status{"Faild", "Faild", "Re-uploaded", "Successed", "Faild"};
        for (int row = 0; row < 5; ++row)
            QCOMPARE(table->item(row, 4)->text(), status.at(row));
        QCOMPARE(table->item(4, 3)->toolTip(),
                 QStringLiteral("timeout\nUploaded again on 2026.12.02 09:30:00"));
        QVERIFY(table->item(0, 3)->toolTip().isEmpty()); // an earlier upload settles nothing
        // The settled failure can still be picked for upload again.
        QCOMPARE(table->item(4, 3)->data(vbLogs::kPathRole).toString(), QStringLiteral("/p/a.jpg"));
    }

    void reUpload_data()
    {
        QTest::addColumn<QList<int>>("rows"); // clicked with Ctrl after the first
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("message");
        const QString succeeded = QStringLiteral("Successed photo can not import!");
        QTest::newRow("failed and succeeded row") << QList<int>{0, 3} << QStringList{"/p/a.jpg"} << QString();
        QTest::newRow("succeeded rows only") << QList<int>{2, 3} << QStringList() << succeeded;
        QTest::newRow("failed row without a path") << QList<int>{1} << QStringList() << succeeded;
        QTest::newRow("nothing selected")
            << QList<int>{} << QStringList() << QStringLiteral("Please select a failed photo to upload");
    }
    void reUpload()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        vbLogs logs;
        logs.setRecords(kLog);
        logs.show();
        QVERIFY(QTest::qWaitForWindowExposed(&logs));
        for (int i = 0; i < rows.size(); ++i)
            QTest::mouseClick(
                logs.tableWidget->viewport(), Qt::LeftButton, i ? Qt::ControlModifier : Qt::NoModifier,
                logs.tableWidget->visualItemRect(logs.tableWidget->item(rows.at(i), 0)).center());
        vbModalAnswer answer(vbModalAnswer::press("btnOK"));
        QTest::mouseClick(logs.btnLoad, Qt::LeftButton);
        QCOMPARE(logs.reUploadList(), expected);
        QCOMPARE(answer.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(logs.isVisible(), !message.isEmpty()); // the viewer stays open after a message
    }

    void failureListNamesPhotos()
    {
        vbUploadFailed box;
        box.setFailures({record(false, "/p/beach.jpg", QString(), "Sending the photo failed: timeout"),
                         record(false, "/p/x.jpg", QString())});
        QCOMPARE(box.failedList->count(), 2);
        QCOMPARE(box.failedList->item(0)->text(),
                 QStringLiteral("beach.jpg: Sending the photo failed: timeout"));
        QCOMPARE(box.failedList->item(1)->text(), QStringLiteral("x.jpg: no reason was given"));
    }
};

QTEST_MAIN(tst_uploaddialogs)
#include "tst_uploaddialogs.moc"
