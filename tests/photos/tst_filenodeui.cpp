// Photo tile: the state it shows, name editing.
#include "photoTestUtil.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbSession.h"
#include "vbTestPhotos.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class tst_FileNodeUI : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void progressOfBigFiles();
    void stateLook_data();
    void stateLook();
    void nameEditing_data();
    void nameEditing();

private:
    QTemporaryDir m_dir;
    vbSession m_session;
};

void tst_FileNodeUI::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_FileNodeUI::progressOfBigFiles()
{
    QCOMPARE(vbFileNodeUI::progressPercent(qint64(3) << 30, qint64(4) << 30), 75);
    QCOMPARE(vbFileNodeUI::progressPercent(0, 0), 0);
}

void tst_FileNodeUI::stateLook_data()
{
    QTest::addColumn<vbUploadState>("state");
    QTest::addColumn<bool>("inRun");
    QTest::addColumn<bool>("before");  // the log has the photo as uploaded
    QTest::addColumn<QString>("text"); // failures alone are drawn in red
    using N = vbUploadState;
    QTest::newRow("new photo uploaded before") << N::Waiting << false << true << "Photo had uploaded!";
    QTest::newRow("waiting") << N::Waiting << true << true << "Waiting";
    QTest::newRow("key to ask again") << N::KeyFailed << true << false << "Preparing";
    QTest::newRow("sending") << N::Transferring << true << false << "Sending 42%";
    QTest::newRow("commit to send again") << N::CommitFailed << true << false << "Finishing";
    QTest::newRow("uploaded") << N::Uploaded << true << true << "Photo uploaded!";
    QTest::newRow("failed, run over") << N::Failed << false << true << "Photo upload failed!";
    QTest::newRow("stopped") << N::Stopped << false << false << "Stopped";
    QTest::newRow("cancelled mid-step") << N::KeyReady << false << false << "";
}

void tst_FileNodeUI::stateLook()
{
    QFETCH(vbUploadState, state);
    QFETCH(bool, inRun);
    QFETCH(bool, before);
    QFETCH(QString, text);
    const vbFileNodeUI::StateLook look = vbFileNodeUI::stateLook(state, inRun, before, 42);
    QCOMPARE(look.text, text);
    const QColor c = look.colour;
    if (!text.isEmpty())
        QCOMPARE(c.red() > 150 && c.green() < 80 && c.blue() < 80, text.contains(QLatin1String("failed")));
}

void tst_FileNodeUI::nameEditing_data()
{
    QTest::addColumn<QStringList>("row"); // typed, shown in the field after Return, file name
    QTest::newRow("renamed") << QStringList{"after", "after", "after.jpg"};
    QTest::newRow("forbidden characters dropped") << QStringList{"a.b/c\\d", "abcd", "abcd.jpg"};
    QTest::newRow("taken name restores the old") << QStringList{"taken", "mine", "mine.jpg"};
    QTest::newRow("empty name keeps editing") << QStringList{"", "", "mine.jpg"};
}

void tst_FileNodeUI::nameEditing()
{
    QFETCH(QStringList, row);
    const QString typed = row[0], shown = row[1], file = row[2];
    for (const char* name : {"mine.jpg", "after.jpg", "abcd.jpg"})
        QFile::remove(m_dir.filePath(QLatin1String(name)));
    QVERIFY(vbTestPhotos::writeJpeg(m_dir.filePath(QStringLiteral("taken.jpg")), QSize(8, 8)));
    QVERIFY(vbTestPhotos::writeJpeg(m_dir.filePath(QStringLiteral("mine.jpg")), QSize(40, 30)));
    vbFileList list(nullptr, true);
    list.resize(700, 500);
    list.show();
    list.addFiles({QFileInfo(m_dir.filePath(QStringLiteral("mine.jpg")))}, false);
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    vbFileNode* node = list.node(0);
    QLineEdit* edit = node->tile()->nameEdit();
    QVERIFY(!edit->isEnabled());
    QTest::mouseDClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
    ModalAnswer answer;
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(node->fileName(), file);
    QVERIFY(QFileInfo::exists(m_dir.filePath(file)));
    if (!typed.isEmpty()) {
        QVERIFY(!edit->isEnabled());
        return;
    }
    QCOMPARE(answer.text(), QStringLiteral("Photo name can't be empty!"));
    QVERIFY(edit->isEnabled()); // still editing
}

QTEST_MAIN(tst_FileNodeUI)
#include "tst_filenodeui.moc"
