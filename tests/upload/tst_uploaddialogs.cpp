// The upload log viewer and the result dialogs, driven by mouse and keys.
#include "vbLogs.h"
#include "vbModalAnswer.h"
#include "vbTitleBar.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"

#include <QLabel>
#include <QListWidget>
#include <QTableWidget>
#include <QTest>
#include <QTranslator>

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
    void viewerMarksReUploads();
    void reUpload_data();
    void reUpload();
    void resultTexts_data();
    void resultTexts();
    void failureListNamesPhotos();
};

void tst_uploaddialogs::viewerMarksReUploads()
{
    vbLogs logs;
    logs.setRecords(kLog);
    QTableWidget* table = logs.tableWidget;
    // Row 0 is the newest: a failure after the re-upload is a failure like any other.
    const QStringList status{"Faild", "Faild", "Re-uploaded", "Successed", "Faild"};
    // Red for open failures, grey for one settled by a later upload, default for successes.
    const QList<QColor> colours{Qt::red, Qt::red, QColor(), QColor(), Qt::darkGray};
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(table->item(row, 4)->text(), status.at(row));
        const QBrush brush = table->item(row, 0)->foreground();
        QCOMPARE(brush.style() == Qt::NoBrush ? QColor() : brush.color(), colours.at(row));
    }
    QCOMPARE(table->item(4, 3)->text(), QStringLiteral("a.jpg"));
    QCOMPARE(table->item(4, 3)->toolTip(), QStringLiteral("timeout\nUploaded again on 2026.12.02 09:30:00"));
    // The settled failure can still be picked for upload again.
    QCOMPARE(table->item(4, 3)->data(vbLogs::kPathRole).toString(), QStringLiteral("/p/a.jpg"));
    // Date and time show in full.
    QVERIFY(table->fontMetrics().horizontalAdvance(table->item(0, 0)->text()) + 8 <= table->columnWidth(0));
}

void tst_uploaddialogs::reUpload_data()
{
    QTest::addColumn<QList<int>>("rows"); // clicked with Ctrl after the first
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");

    QTest::newRow("failed and succeeded row") << QList<int>{0, 3} << QStringList{"/p/a.jpg"} << QString();
    QTest::newRow("succeeded rows only")
        << QList<int>{2, 3} << QStringList() << QStringLiteral("Successed photo can not import!");
    QTest::newRow("failed row without a path")
        << QList<int>{1} << QStringList() << QStringLiteral("Successed photo can not import!");
    QTest::newRow("nothing selected")
        << QList<int>{} << QStringList() << QStringLiteral("Please select a failed photo to upload");
}

void tst_uploaddialogs::reUpload()
{
    QFETCH(QList<int>, rows);
    QFETCH(QStringList, expected);
    QFETCH(QString, message);
    vbLogs logs;
    logs.setRecords(kLog);
    logs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&logs));
    for (int i = 0; i < rows.size(); ++i)
        QTest::mouseClick(logs.tableWidget->viewport(), Qt::LeftButton,
                          i ? Qt::ControlModifier : Qt::NoModifier,
                          logs.tableWidget->visualItemRect(logs.tableWidget->item(rows.at(i), 0)).center());

    vbModalAnswer answer(vbModalAnswer::press("btnOK"));
    QTest::mouseClick(logs.btnLoad, Qt::LeftButton);
    QCOMPARE(logs.reUploadList(), expected);
    QCOMPARE(answer.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(logs.isVisible(), !message.isEmpty()); // the viewer stays open after a message
}

void tst_uploaddialogs::resultTexts_data()
{
    QTest::addColumn<int>("succeeded");
    QTest::addColumn<int>("failed");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("all failed") << 0 << 6 << "Upload Failed"
                                << "None of the 6 photos could be uploaded.";
    QTest::newRow("the only one failed") << 0 << 1 << "Upload Failed"
                                         << "The photo could not be uploaded.";
    QTest::newRow("some failed") << 17 << 3 << "Upload Finished with Failures"
                                 << "17 photos uploaded, 3 failed.";
    QTest::newRow("one of two failed") << 1 << 1 << "Upload Finished with Failures"
                                       << "1 photo uploaded, 1 failed.";
    QTest::newRow("all uploaded") << 5 << 0 << "Upload Complete"
                                  << "All 5 photos were uploaded.";
    QTest::newRow("the only one uploaded") << 1 << 0 << "Upload Complete"
                                           << "The photo was uploaded.";
}

void tst_uploaddialogs::resultTexts()
{
    QFETCH(int, succeeded);
    QFETCH(int, failed);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QTranslator english;
    QVERIFY(english.load(QStringLiteral(UPLOAD_EN_QM)));
    QCoreApplication::installTranslator(&english);
    vbUploadFailed failedBox;
    vbUploadComplete completeBox(QStringLiteral("http://127.0.0.1"));
    failedBox.setCounts(succeeded, failed);
    completeBox.setUploaded(succeeded);
    const QStringList shown = failed ? QStringList{failedBox.widget->title(), failedBox.label->text()}
                                     : QStringList{completeBox.widget->title(), completeBox.label->text()};
    QCoreApplication::removeTranslator(&english);
    QCOMPARE(shown, QStringList({title, text}));
}

void tst_uploaddialogs::failureListNamesPhotos()
{
    vbUploadFailed box;
    box.setCounts(0, 2);
    box.setFailures({record(false, "/p/beach.jpg", QString(), "Sending the photo failed: timeout"),
                     record(false, "/p/x.jpg", QString())});
    QCOMPARE(box.failedList->count(), 2);
    QCOMPARE(box.failedList->item(0)->text(), QStringLiteral("beach.jpg: Sending the photo failed: timeout"));
    QCOMPARE(box.failedList->item(0)->toolTip(), QStringLiteral("/p/beach.jpg"));
    QCOMPARE(box.failedList->item(1)->text(), QStringLiteral("x.jpg: no reason was given"));
}

QTEST_MAIN(tst_uploaddialogs)
#include "tst_uploaddialogs.moc"
