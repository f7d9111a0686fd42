// File selection dialog: the 300 limit counts the photos already listed, and
// the folder of an accepted choice is offered next time.
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbModalAnswer.h"
#include "vbPushButton.h"
#include "vbSelectFiles.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTreeView.h"

#include <QDir>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

class tst_SelectFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void limitOnOk_data();
    void limitOnOk();

private:
    QTemporaryDir m_dir;
    vbSession m_session;
};

void tst_SelectFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const QString folder = m_dir.filePath(QStringLiteral("eleven"));
    QDir().mkpath(folder);
    for (int i = 0; i < 11; ++i)
        QVERIFY(vbTestPhotos::writeJpeg(folder + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                                        QSize(60, 40), 80, i));
}

void tst_SelectFiles::limitOnOk_data()
{
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("checked");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("290 + 11 refused") << 290 << 11 << "You can not select more then 300 photos!";
    QTest::newRow("290 + 10 accepted") << 290 << 10 << "";
    QTest::newRow("empty list + 11") << 0 << 11 << "";
    QTest::newRow("nothing checked") << 0 << 0 << "You must select a photo!";
}

void tst_SelectFiles::limitOnOk()
{
    QFETCH(int, listed);
    QFETCH(int, checked);
    QFETCH(QString, refusal);
    QFile::remove(vbSelectFiles::settingsPath());
    vbFileList upload(nullptr, true);
    QList<QFileInfo> fake;
    for (int i = 0; i < listed; ++i)
        fake.append(QFileInfo(m_dir.filePath(QStringLiteral("listed_%1.jpg").arg(i))));
    upload.addFiles(fake, false);
    const QString folder = m_dir.filePath(QStringLiteral("eleven"));
    {
        vbSelectFiles dialog(nullptr, &upload);
        dialog.slot_URLChanged(folder);
        for (int i = 0; i < dialog.fileList->count(); ++i)
            dialog.fileList->node(i)->setCheckState(i < checked ? Qt::Checked : Qt::Unchecked);
        vbModalAnswer answer(vbModalAnswer::press("btnOK"));
        QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
        QCOMPARE(answer.texts(), refusal.isEmpty() ? QStringList() : QStringList{refusal});
        QCOMPARE(dialog.result(), refusal.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
        if (!refusal.isEmpty()) {
            QVERIFY(!QFileInfo::exists(vbSelectFiles::settingsPath())); // a refusal remembers nothing
            return;
        }
        QCOMPARE(dialog.checkedFileInfos().size(), checked);
    }
    // The next dialog opens on that folder, listed, at the top of the tree.
    vbSelectFiles next;
    QVERIFY(next.treeView->recentItem());
    QCOMPARE(next.treeView->recentItem()->text(), folder);
    QCOMPARE(next.treeView->currentIndex(), next.treeView->recentItem()->index());
    QCOMPARE(next.fileList->count(), 11);
}

QTEST_MAIN(tst_SelectFiles)
#include "tst_selectfiles.moc"
