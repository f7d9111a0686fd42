// The upload log viewer and the three result dialogs, driven by mouse and keys.
#include "vbEndpoints.h"
#include "vbLogs.h"
#include "vbMessageBox.h"
#include "vbPushButton.h"
#include "vbTitleBar.h"
#include "vbUploadAgainBox.h"
#include "vbUploadComplete.h"
#include "vbUploadFailed.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {
UploadLogRecord record(bool ok, const QString& path, const QString& date, const QString& reason = QString())
{
    return UploadLogRecord{ok,    QStringLiteral("demo@velbrook.test"), path, QStringLiteral("Family"), date,
                           reason};
}

// Oldest first, as the log keeps them.
UploadLogRecords sampleLog()
{
    return {record(true, QStringLiteral("/home/me/Pics/first.jpg"), QStringLiteral("2009.01.02")),
            record(false, QStringLiteral("/home/me/Pics/second.jpg"), QStringLiteral("2009.02.03"),
                   QStringLiteral("Sending the photo failed: timeout")),
            record(true, QStringLiteral("/home/me/Pics/third.jpg"), QStringLiteral("2009.03.04")),
            record(false, QString(), QStringLiteral("2009.04.05")),
            record(false, QStringLiteral("no-folder.jpg"), QStringLiteral("2009.05.06"))};
}

// Answers the next kit message box: records its text and presses OK.
class BoxAnswer
{
public:
    BoxAnswer() : m_timer(new QTimer)
    {
        m_timer->setInterval(10);
        QObject::connect(m_timer.get(), &QTimer::timeout, [this] {
            auto* box = qobject_cast<vbMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            m_texts << box->label->text();
            QTest::mouseClick(box->btnOK, Qt::LeftButton);
        });
        m_timer->start();
    }
    QStringList texts() const { return m_texts; }

private:
    std::unique_ptr<QTimer> m_timer;
    QStringList m_texts;
};

void clickRow(QTableWidget* table, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QRect rect = table->visualItemRect(table->item(row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, modifiers, rect.center());
}

QString shotFolder()
{
    const QString dir =
        qEnvironmentVariable("PV_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots/upload");
    QDir().mkpath(dir);
    return dir;
}
} // namespace

class tst_uploaddialogs : public QObject
{
    Q_OBJECT

private slots:
    void viewerShowsNewestFirst();
    void viewerMarksReUploads();
    void reUpload_data();
    void reUpload();
    void closingAfterRefusedReUploadReturnsNothing();
    void uploadAgainAnswers_data();
    void uploadAgainAnswers();
    void uploadAgainPicture_data();
    void uploadAgainPicture();
    void uploadComplete_data();
    void uploadComplete();
    void uploadFailed_data();
    void uploadFailed();
    void resultTexts_data();
    void resultTexts();
    void failureListNamesPhotos();
    void screenshots_data();
    void screenshots();
};

void tst_uploaddialogs::viewerShowsNewestFirst()
{
    vbLogs logs;
    logs.setRecords(sampleLog());
    QTableWidget* table = logs.tableWidget;
    QCOMPARE(table->rowCount(), 5);
    QCOMPARE(table->columnCount(), 5);
    QCOMPARE(table->item(0, 0)->text(), QStringLiteral("2009.05.06"));
    QCOMPARE(table->item(4, 0)->text(), QStringLiteral("2009.01.02"));
    QCOMPARE(table->item(4, 3)->text(), QStringLiteral("first.jpg"));
    QCOMPARE(table->item(4, 3)->data(vbLogs::kPathRole).toString(),
             QStringLiteral("/home/me/Pics/first.jpg"));
    QCOMPARE(table->item(0, 3)->text(), QStringLiteral("no-folder.jpg")); // no "/": the whole path
    QCOMPARE(table->item(4, 1)->text(), QStringLiteral("demo@velbrook.test"));
    QCOMPARE(table->item(4, 2)->text(), QStringLiteral("Family"));
    QCOMPARE(table->item(4, 4)->text(), QStringLiteral("Successed"));
    QCOMPARE(table->item(3, 4)->text(), QStringLiteral("Faild"));

    for (int col = 0; col < 5; ++col) {
        // Failed rows are red in every cell and tell why in their tool tip.
        QCOMPARE(table->item(3, col)->foreground().color(), QColor(Qt::red));
        QCOMPARE(table->item(3, col)->toolTip(), QStringLiteral("Sending the photo failed: timeout"));
        QVERIFY(table->item(2, col)->foreground().color() != QColor(Qt::red));
        QVERIFY(table->item(2, col)->toolTip().isEmpty());
        QVERIFY(!(table->item(2, col)->flags() & Qt::ItemIsEditable));
    }
    QCOMPARE(table->horizontalHeaderItem(3)->text(), QStringLiteral("File Name"));
    QVERIFY(!table->horizontalHeader()->sectionsClickable());
}

void tst_uploaddialogs::viewerMarksReUploads()
{
    const QString a = QStringLiteral("/p/a.jpg");
    vbLogs logs;
    logs.setRecords({record(false, a, QStringLiteral("2026.12.01 10:00:00"), QStringLiteral("timeout")),
                     record(true, QStringLiteral("/p/b.jpg"), QStringLiteral("2026.12.01 10:00:05")),
                     record(true, a, QStringLiteral("2026.12.02 09:30:00")),
                     record(false, QStringLiteral("/p/c.jpg"), QStringLiteral("2026.12.02 09:30:01")),
                     record(false, a, QStringLiteral("2026.12.03 08:00:00"))});
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
    QCOMPARE(table->item(2, 4)->toolTip(), QStringLiteral("Uploaded after an earlier attempt failed"));
    QCOMPARE(table->item(4, 3)->toolTip(), QStringLiteral("timeout\nUploaded again on 2026.12.02 09:30:00"));
    // The settled failure can still be picked for upload again.
    QCOMPARE(table->item(4, 3)->data(vbLogs::kPathRole).toString(), a);

    // Date and time show in full.
    const int textWidth = table->fontMetrics().horizontalAdvance(table->item(0, 0)->text());
    QVERIFY2(textWidth + 8 <= table->columnWidth(0), qPrintable(QString::number(textWidth)));
    QVERIFY(table->fontMetrics().horizontalAdvance(QStringLiteral("Re-uploaded")) + 8 <=
            table->columnWidth(4));
}

void tst_uploaddialogs::reUpload_data()
{
    QTest::addColumn<QList<int>>("rows"); // clicked with Ctrl after the first
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("message");

    QTest::newRow("failed and succeeded row")
        << QList<int>{3, 2} << QStringList{"/home/me/Pics/second.jpg"} << QString();
    QTest::newRow("two failed rows, selection order")
        << QList<int>{0, 3} << QStringList{"no-folder.jpg", "/home/me/Pics/second.jpg"} << QString();
    QTest::newRow("succeeded rows only")
        << QList<int>{2, 4} << QStringList() << QStringLiteral("Successed photo can not import!");
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
    logs.setRecords(sampleLog());
    logs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&logs));
    for (int i = 0; i < rows.size(); ++i)
        clickRow(logs.tableWidget, rows.at(i), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    QCOMPARE(logs.tableWidget->selectionModel()->selectedRows().size(), rows.size());

    BoxAnswer answer;
    QTest::mouseClick(logs.btnLoad, Qt::LeftButton);
    QCOMPARE(logs.reUploadList(), expected);
    if (message.isEmpty()) {
        QVERIFY(answer.texts().isEmpty());
        QCOMPARE(logs.result(), int(QDialog::Accepted));
        QVERIFY(!logs.isVisible());
    } else {
        QCOMPARE(answer.texts(), QStringList{message});
        QVERIFY(logs.isVisible()); // the viewer stays open
    }
}

void tst_uploaddialogs::closingAfterRefusedReUploadReturnsNothing()
{
    vbLogs logs;
    logs.setRecords(sampleLog());
    logs.show();
    QVERIFY(QTest::qWaitForWindowExposed(&logs));
    clickRow(logs.tableWidget, 4);
    {
        BoxAnswer answer;
        QTest::mouseClick(logs.btnLoad, Qt::LeftButton);
        QCOMPARE(answer.texts().size(), 1);
    }
    QTest::mouseClick(logs.title->closeButton(), Qt::LeftButton);
    QVERIFY(!logs.isVisible());
    QCOMPARE(logs.result(), int(QDialog::Accepted));
    QVERIFY(logs.reUploadList().isEmpty());
}

void tst_uploaddialogs::uploadAgainAnswers_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("dialogCode");

    QTest::newRow("yes") << "btnYes" << int(vbUploadAgainBox::Yes) << int(QDialog::Accepted);
    QTest::newRow("yes all") << "btnYesAll" << int(vbUploadAgainBox::YesAll) << int(QDialog::Accepted);
    QTest::newRow("no") << "btnNo" << int(vbUploadAgainBox::No) << int(QDialog::Rejected);
    QTest::newRow("no all") << "btnNoAll" << int(vbUploadAgainBox::NoAll) << int(QDialog::Rejected);
    QTest::newRow("escape") << "escape" << int(vbUploadAgainBox::Yes) << int(QDialog::Rejected);
    QTest::newRow("title close") << "close" << int(vbUploadAgainBox::Yes) << int(QDialog::Rejected);
}

void tst_uploaddialogs::uploadAgainAnswers()
{
    QFETCH(QString, action);
    QFETCH(int, result);
    QFETCH(int, dialogCode);
    vbUploadAgainBox box(QImage(), QStringLiteral("/home/me/Pics/a.jpg"));
    QTimer::singleShot(0, &box, [&] {
        if (action == QLatin1String("escape"))
            QTest::keyClick(&box, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            QTest::mouseClick(box.widget->closeButton(), Qt::LeftButton);
        else
            QTest::mouseClick(box.findChild<vbPushButton*>(action), Qt::LeftButton);
    });
    QCOMPARE(box.exec(), dialogCode);
    QCOMPARE(int(box.resultValue()), result);
}

void tst_uploaddialogs::uploadAgainPicture_data()
{
    QTest::addColumn<QSize>("thumbnail");
    QTest::addColumn<QSize>("shown");
    QTest::newRow("no thumbnail") << QSize() << QSize();
    QTest::newRow("wide thumbnail") << QSize(244, 162) << QSize(122, 81);
    QTest::newRow("tall thumbnail") << QSize(162, 244) << QSize(81, 122);
    QTest::newRow("small thumbnail keeps its size") << QSize(100, 80) << QSize(100, 80);
}

void tst_uploaddialogs::uploadAgainPicture()
{
    QFETCH(QSize, thumbnail);
    QFETCH(QSize, shown);
    QImage image;
    if (thumbnail.isValid()) {
        image = QImage(thumbnail, QImage::Format_ARGB32);
        image.fill(Qt::darkCyan);
    }
    vbUploadAgainBox box(image, QStringLiteral("/home/me/Pics/trip.2008.JPG"));
    QCOMPARE(box.label->text(),
             QStringLiteral("trip.2008\nThis photo has been upload.Do you want upload again?"));
    QCOMPARE(box.lblImage->size(), QSize(122, 122));
    QCOMPARE(box.lblImage->pixmap().size(), shown.isValid() ? shown : QSize(0, 0));
}

void tst_uploaddialogs::uploadComplete_data()
{
    QTest::addColumn<int>("choice"); // 0 none, 1 visit, 2 continue, 3 title close
    QTest::addColumn<int>("result");
    QTest::newRow("OK without a choice") << 0 << int(vbUploadComplete::None);
    QTest::newRow("visit the site") << 1 << int(vbUploadComplete::VisitSite);
    QTest::newRow("continue") << 2 << int(vbUploadComplete::ContinueUpload);
    QTest::newRow("title close after a choice") << 3 << int(vbUploadComplete::None);
}

void tst_uploaddialogs::uploadComplete()
{
    QFETCH(int, choice);
    QFETCH(int, result);
    vbEndpoints endpoints;
    endpoints.setWeb(QStringLiteral("www.velbrook.test"));
    vbEndpoints::setCurrent(endpoints);
    vbUploadComplete box;
    // The site by name, its address as tool tip.
    QCOMPARE(box.radioButton->text(), QStringLiteral("Visit the velbrook website"));
    QCOMPARE(box.radioButton->toolTip(), QStringLiteral("http://www.velbrook.test"));
    QVERIFY(!box.radioButton->isChecked() && !box.radioButton_2->isChecked());
    QTimer::singleShot(0, &box, [&] {
        if (choice == 1 || choice == 3)
            QTest::mouseClick(box.radioButton, Qt::LeftButton);
        if (choice == 2)
            QTest::mouseClick(box.radioButton_2, Qt::LeftButton);
        QTest::mouseClick(choice == 3 ? box.widget->closeButton() : static_cast<QWidget*>(box.btnOK),
                          Qt::LeftButton);
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QCOMPARE(int(box.resultValue()), result);
}

void tst_uploaddialogs::uploadFailed_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("dialogCode");
    QTest::newRow("re-upload") << "btnYes" << int(vbUploadFailed::ReUpload) << int(QDialog::Accepted);
    QTest::newRow("cancel") << "btnNo" << int(vbUploadFailed::Cancel) << int(QDialog::Accepted);
    QTest::newRow("escape") << "escape" << int(vbUploadFailed::Cancel) << int(QDialog::Rejected);
    QTest::newRow("title close") << "close" << int(vbUploadFailed::Cancel) << int(QDialog::Rejected);
}

void tst_uploaddialogs::uploadFailed()
{
    QFETCH(QString, action);
    QFETCH(int, result);
    QFETCH(int, dialogCode);
    vbUploadFailed box;
    box.setCounts(17, 3);
    QCOMPARE(box.label->text(), QStringLiteral("Successed upload17 photo,has3 failed"));
    QTimer::singleShot(0, &box, [&] {
        if (action == QLatin1String("escape"))
            QTest::keyClick(&box, Qt::Key_Escape);
        else if (action == QLatin1String("close"))
            QTest::mouseClick(box.widget->closeButton(), Qt::LeftButton);
        else
            QTest::mouseClick(box.findChild<vbPushButton*>(action), Qt::LeftButton);
    });
    QCOMPARE(box.exec(), dialogCode);
    QCOMPARE(int(box.resultValue()), result);
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
    if (failed > 0) {
        vbUploadFailed box;
        box.setCounts(succeeded, failed);
        QCOMPARE(box.widget->title(), title);
        QCOMPARE(box.label->text(), text);
    } else {
        vbUploadComplete box;
        box.setUploaded(succeeded);
        QCOMPARE(box.widget->title(), title);
        QCOMPARE(box.label->text(), text);
        QCOMPARE(box.radioButton->text(), QStringLiteral("Visit the velbrook website"));
    }
    QCoreApplication::removeTranslator(&english);
}

void tst_uploaddialogs::failureListNamesPhotos()
{
    vbUploadFailed box;
    box.setCounts(0, 2);
    box.setFailures({record(false, QStringLiteral("/p/beach.jpg"), QString(),
                            QStringLiteral("Sending the photo failed: timeout")),
                     record(false, QStringLiteral("/p/x.jpg"), QString())});
    QCOMPARE(box.failedList->count(), 2);
    QCOMPARE(box.failedList->item(0)->text(), QStringLiteral("beach.jpg: Sending the photo failed: timeout"));
    QCOMPARE(box.failedList->item(0)->toolTip(), QStringLiteral("/p/beach.jpg"));
    QCOMPARE(box.failedList->item(1)->text(), QStringLiteral("x.jpg: no reason was given"));
}

void tst_uploaddialogs::screenshots_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("en") << "en";
    QTest::newRow("zh") << "zh";
}

void tst_uploaddialogs::screenshots()
{
    QFETCH(QString, language);
    QTranslator translator;
    if (language == QLatin1String("zh")) {
        QVERIFY(translator.load(QStringLiteral(UPLOAD_QM)));
        QCoreApplication::installTranslator(&translator);
    }
    const bool zh = language == QLatin1String("zh");
    vbEndpoints endpoints;
    endpoints.setWeb(QStringLiteral("www.velbrook.test"));
    vbEndpoints::setCurrent(endpoints);

    vbLogs logs;
    logs.setRecords(sampleLog());
    QImage thumb(244, 162, QImage::Format_ARGB32);
    thumb.fill(QColor(70, 130, 180));
    vbUploadAgainBox again(thumb, QStringLiteral("/home/me/Pics/beach.jpg"));
    vbUploadComplete complete;
    vbUploadFailed failed;
    failed.setCounts(17, 3);
    failed.setFailures({sampleLog().at(1), sampleLog().at(4)});
    complete.setUploaded(5);

    QCOMPARE(logs.tableWidget->item(3, 4)->text(), zh ? QStringLiteral(u"失败") : QStringLiteral("Faild"));
    const QList<QPair<QWidget*, QString>> dialogs{
        {&logs, "logs"}, {&again, "uploadagain"}, {&complete, "uploadcomplete"}, {&failed, "uploadfailed"}};
    for (const auto& [dialog, name] : dialogs) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QImage shot = dialog->grab().toImage();
        QVERIFY(!shot.isNull());
        QVERIFY(shot.save(shotFolder() + "/" + name + "_" + language + ".png"));
        dialog->hide();
    }
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(tst_uploaddialogs)
#include "tst_uploaddialogs.moc"
