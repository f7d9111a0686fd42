// File selection dialog and folder tree: listing a folder, the limits on OK,
// select all and its count, the remembered folder, lazy folder reading.
#include "photoTestUtil.h"
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbIniParser.h"
#include "vbSelectFiles.h"
#include "vbSession.h"
#include "vbTestPhotos.h"
#include "vbTreeView.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

class tst_SelectFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void listsJpegsOfFolder();
    void limitOnOk_data();
    void limitOnOk();
    void okWithNothingChecked();
    void selectAllAndCount();
    void otherFolderClearsChoice();
    void recentFolderNextTime();
    void treeReadsFoldersOnce();

private:
    QString folderWith(const QString& name, int photos);
    void check(vbSelectFiles& dialog, int n);

    QTemporaryDir m_dir;
    vbSession m_session;
};

void tst_SelectFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_SelectFiles::init()
{
    QFile::remove(vbSelectFiles::settingsPath());
}

QString tst_SelectFiles::folderWith(const QString& name, int photos)
{
    const QString folder = m_dir.filePath(name);
    QDir().mkpath(folder);
    for (int i = 0; i < photos; ++i) {
        const QString path = folder + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(path))
            vbTestPhotos::writeJpeg(path, QSize(60, 40), 80, i);
    }
    return folder;
}

void tst_SelectFiles::check(vbSelectFiles& dialog, int n)
{
    for (int i = 0; i < dialog.fileList->count(); ++i)
        dialog.fileList->node(i)->setCheckState(i < n ? Qt::Checked : Qt::Unchecked);
}

void tst_SelectFiles::listsJpegsOfFolder()
{
    const QString folder = m_dir.filePath(QStringLiteral("mixed"));
    QDir().mkpath(folder + QStringLiteral("/sub"));
    // Written in this order so that the folder's own order is not the name order.
    for (const char* name : {"IMG_12.jpg", "IMG_10.JPG", "img_9.jpeg", "IMG_1.jpg"})
        QVERIFY(vbTestPhotos::writeJpeg(folder + QLatin1Char('/') + QLatin1String(name), QSize(30, 20)));
    QVERIFY(vbTestPhotos::writeJpeg(folder + QStringLiteral("/.hidden.jpg"), QSize(30, 20)));
    QVERIFY(vbTestPhotos::writeJpeg(folder + QStringLiteral("/sub/d.jpg"), QSize(30, 20)));
    QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(folder + QStringLiteral("/c.png")));

    vbSelectFiles dialog;
    dialog.slot_URLChanged(folder);
    QStringList names;
    for (vbFileNode* node : dialog.fileList->nodes()) {
        names << node->fileName();
        QVERIFY(node->flags() & Qt::ItemIsUserCheckable);
    }
    // In name order, numbers by their value.
    QCOMPARE(names, QStringList({QStringLiteral(".hidden.jpg"), QStringLiteral("IMG_1.jpg"),
                                 QStringLiteral("img_9.jpeg"), QStringLiteral("IMG_10.JPG"),
                                 QStringLiteral("IMG_12.jpg")}));
    QCOMPARE(dialog.currentFolder(), folder);
}

void tst_SelectFiles::limitOnOk_data()
{
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("checked");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("290 + 11 refused") << 290 << 11 << false;
    QTest::newRow("290 + 10 accepted") << 290 << 10 << true;
    QTest::newRow("empty list + 11") << 0 << 11 << true;
}

void tst_SelectFiles::limitOnOk()
{
    QFETCH(int, listed);
    QFETCH(int, checked);
    QFETCH(bool, accepted);

    vbFileList upload(nullptr, true);
    QList<QFileInfo> fake;
    for (int i = 0; i < listed; ++i)
        fake.append(QFileInfo(m_dir.filePath(QStringLiteral("listed_%1.jpg").arg(i))));
    upload.addFiles(fake, false);
    const QString folder = folderWith(QStringLiteral("eleven"), 11);

    vbSelectFiles dialog(nullptr, &upload);
    dialog.slot_URLChanged(folder);
    check(dialog, checked);
    ModalAnswer answer;
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    QCOMPARE(dialog.result(), accepted ? int(QDialog::Accepted) : int(QDialog::Rejected));
    if (accepted) {
        QCOMPARE(answer.count(), 0);
        QCOMPARE(dialog.checkedFileInfos().size(), checked);
        // Row order, which is the folder's own order.
        QCOMPARE(dialog.checkedFileInfos().first().absoluteFilePath(),
                 dialog.fileList->node(0)->absoluteFilePath());
    } else {
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.text(), QStringLiteral("You can not select more then 300 photos!"));
        // A refusal remembers nothing.
        QVERIFY(!QFileInfo::exists(vbSelectFiles::settingsPath()));
    }
}

void tst_SelectFiles::okWithNothingChecked()
{
    vbSelectFiles dialog;
    dialog.slot_URLChanged(folderWith(QStringLiteral("three"), 3));
    ModalAnswer answer;
    QTest::mouseClick(dialog.btnOk, Qt::LeftButton);
    QCOMPARE(answer.count(), 1);
    QCOMPARE(answer.text(), QStringLiteral("You must select a photo!"));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    // Cancel rejects without a question.
    dialog.setResult(-1);
    QTest::mouseClick(dialog.btnCancel, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void tst_SelectFiles::selectAllAndCount()
{
    vbSelectFiles dialog;
    dialog.slot_URLChanged(folderWith(QStringLiteral("seven"), 7));
    QCOMPARE(dialog.lblSelectInfo->text(), QStringLiteral("You select 0files"));
    dialog.cbSelectAll->click();
    QCOMPARE(dialog.fileList->checkedCount(), 7);
    QCOMPARE(dialog.lblSelectInfo->text(), QStringLiteral("You select 7files"));
    dialog.cbSelectAll->click();
    QCOMPARE(dialog.fileList->checkedCount(), 0);
    QCOMPARE(dialog.lblSelectInfo->text(), QStringLiteral("You select 0files"));

    // Ticking rows one by one counts as well.
    dialog.resize(710, 500);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.fileList->node(2)->tile(), Qt::LeftButton, {}, QPoint(40, 40));
    QCOMPARE(dialog.lblSelectInfo->text(), QStringLiteral("You select 1files"));
}

void tst_SelectFiles::otherFolderClearsChoice()
{
    vbSelectFiles dialog;
    dialog.slot_URLChanged(folderWith(QStringLiteral("seven"), 7));
    dialog.cbSelectAll->click();
    dialog.slot_URLChanged(folderWith(QStringLiteral("three"), 3));
    QCOMPARE(dialog.fileList->count(), 3);
    QCOMPARE(dialog.fileList->checkedCount(), 0);
    QCOMPARE(dialog.lblSelectInfo->text(), QStringLiteral("You select 0files"));
    QVERIFY(!dialog.cbSelectAll->isChecked());
}

void tst_SelectFiles::recentFolderNextTime()
{
    const QString folder = folderWith(QStringLiteral("recent"), 4);
    {
        vbSelectFiles first;
        QVERIFY(!first.treeView->recentItem());
        first.slot_URLChanged(folder);
        check(first, 2);
        QTest::mouseClick(first.btnOk, Qt::LeftButton);
        QCOMPARE(first.result(), int(QDialog::Accepted));
    }
    QCOMPARE(vbIniParser(vbSelectFiles::settingsPath())
                 .getString(QStringLiteral("recent.directory"), QStringLiteral("dir")),
             folder);

    vbSelectFiles next;
    QVERIFY(next.treeView->recentItem());
    QCOMPARE(next.treeView->recentItem()->text(), folder);
    QCOMPARE(next.treeView->recentItem()->parent(), nullptr);
    QCOMPARE(next.treeView->currentIndex(), next.treeView->recentItem()->index());
    QCOMPARE(next.fileList->count(), 4);
    QCOMPARE(next.currentFolder(), folder);

    // A remembered folder that is gone is still offered, with nothing listed.
    QVERIFY(vbIniParser(vbSelectFiles::settingsPath())
                .setString(QStringLiteral("recent.directory"), QStringLiteral("dir"),
                           folder + QStringLiteral("_gone")));
    vbSelectFiles gone;
    QVERIFY(gone.treeView->recentItem());
    QCOMPARE(gone.fileList->count(), 0);
}

void tst_SelectFiles::treeReadsFoldersOnce()
{
    const QString root = m_dir.filePath(QStringLiteral("tree"));
    QDir().mkpath(root + QStringLiteral("/b/inner"));
    QDir().mkpath(root + QStringLiteral("/a"));
    QDir().mkpath(root + QStringLiteral("/.secret"));
    QVERIFY(vbTestPhotos::writeJpeg(root + QStringLiteral("/a/x.jpg"), QSize(8, 8)));

    vbTreeView tree{QString()};
    QVERIFY(tree.homeItem());
    QVERIFY(tree.isExpanded(tree.homeItem()->index()));
    QStandardItem* item = tree.addTopFolder(QStringLiteral("tree"), root);
    QCOMPARE(item->rowCount(), 1);
    QCOMPARE(item->child(0)->data(vbTreeView::PathRole).toString(), QStringLiteral("DUMMY"));

    tree.expand(item->index());
    QCOMPARE(item->rowCount(), 2);
    QCOMPARE(item->child(0)->text(), QStringLiteral("a"));
    QCOMPARE(item->child(1)->text(), QStringLiteral("b"));
    // Only folders with sub-folders get the placeholder.
    QCOMPARE(item->child(0)->rowCount(), 0);
    QCOMPARE(item->child(1)->rowCount(), 1);

    // Read once: a folder made later shows up only in a new tree.
    QDir().mkpath(root + QStringLiteral("/c"));
    tree.collapse(item->index());
    tree.expand(item->index());
    QCOMPARE(item->rowCount(), 2);

    QSignalSpy chosen(&tree, &vbTreeView::sig_selectFolder);
    tree.activated(item->child(1)->index());
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.first().first().toString(), root + QStringLiteral("/b"));
}

QTEST_MAIN(tst_SelectFiles)
#include "tst_selectfiles.moc"
