// The photo list, its tiles and the file selection dialog: order, duplicates, the 300 limit, names.
#include "vbFileList.h"
#include "vbFileNode.h"
#include "vbFileNodeUI.h"
#include "vbModalAnswer.h"
#include "vbNameOrder.h"
#include "vbPushButton.h"
#include "vbSelectFiles.h"
#include "vbTestPhotos.h"
#include "vbTestUi.h"
#include "vbTreeView.h"

#include <QtTest>
#include <QtWidgets>

class tst_PhotoList : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString photo(const QString& relative)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!QFileInfo::exists(path))
            vbTestPhotos::writeJpeg(path, QSize(120, 80));
        return path;
    }
    // Names in the test folder that are never read: the list only needs the paths.
    QList<QFileInfo> fakeFiles(int n, const QString& prefix)
    {
        QList<QFileInfo> files;
        for (int i = 0; i < n; ++i)
            files.append(QFileInfo(m_dir.filePath(QStringLiteral("%1_%2.jpg").arg(prefix).arg(i))));
        return files;
    }
    static QStringList rows(vbFileList& list)
    {
        QStringList paths;
        for (vbFileNode* node : list.nodes())
            paths << node->absoluteFilePath();
        return paths;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QDir().mkpath(QStringLiteral("eleven"));
        for (int i = 0; i < 11; ++i)
            QVERIFY(vbTestPhotos::writeJpeg(
                m_dir.filePath(QStringLiteral("eleven/p%1.jpg").arg(i, 2, 10, QLatin1Char('0'))),
                QSize(60, 40), 80, i));
    }

    void nameOrder_data()
    {
        QTest::addColumn<QStringList>("ab");
        QTest::addColumn<bool>("aFirst");
        QTest::newRow("numbers by value") << QStringList{"/p/IMG_2.jpg", "/p/IMG_10.jpg"} << true;
        QTest::newRow("case ignored") << QStringList{"/p/B.jpg", "/p/a.jpg"} << false;
        QTest::newRow("shorter name first") << QStringList{"/p/a.jpg", "/p/a_1.jpg"} << true;
        QTest::newRow("suffix after name") << QStringList{"/p/a.jpg", "/p/a.jpeg"} << false;
        QTest::newRow("name before folder") << QStringList{"/z/a.jpg", "/a/b.jpg"} << true;
        QTest::newRow("folder breaks a tie") << QStringList{"/x10/a.jpg", "/x2/a.jpg"} << false;
        QTest::newRow("padding breaks a tie") << QStringList{"/p/IMG_01.jpg", "/p/IMG_1.jpg"} << true;
    }
    void nameOrder()
    {
        QFETCH(QStringList, ab);
        QFETCH(bool, aFirst);
        // The "C" locale of a bare system knows no numbers of its own.
        for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China)}) {
            QLocale::setDefault(locale);
            QCOMPARE(vbNameOrder::lessThan(ab[0], ab[1]), aFirst);
            QCOMPARE(vbNameOrder::lessThan(ab[1], ab[0]), !aFirst); // a sort needs both answers
        }
        QLocale::setDefault(QLocale::system());
    }

    void dropsInNameOrderWithoutDuplicates()
    {
        // A dropped folder gives its JPEGs (any case of suffix), not other files or sub-folders.
        vbFileList list(nullptr, true);
        const QString f10 = photo(QStringLiteral("order/IMG_10.jpg"));
        const QString f2 = photo(QStringLiteral("order/IMG_2.JPG"));
        const QString f1 = photo(QStringLiteral("order/img_1.jpeg"));
        photo(QStringLiteral("order/sub/d.jpg"));
        const QString png = m_dir.filePath(QStringLiteral("order/c.png"));
        QVERIFY(vbTestPhotos::writeGarbage(png));
        QSignalSpy counts(&list, &vbFileList::sig_countChanged);
        QVERIFY(vbTestUi::dropPaths(list.viewport(), {m_dir.filePath(QStringLiteral("order"))}));
        QCOMPARE(rows(list), QStringList({f1, f2, f10}));
        // A drag of nothing usable is not accepted.
        QVERIFY(!vbTestUi::dropPaths(list.viewport(), {png}));

        // A later drop goes after the rows there, in its own order; a photo already listed is not added
        // again.
        const QString later3 = photo(QStringLiteral("later/IMG_3.jpg"));
        const QString later0 = photo(QStringLiteral("later/IMG_0.jpg"));
        QVERIFY(vbTestUi::dropPaths(list.viewport(), {later3, f2, later0}));
        QCOMPARE(rows(list), QStringList({f1, f2, f10, later0, later3}));
        QCOMPARE(counts.last().first().toInt(), 5);
    }

    // 299 listed: a drop that would pass 300 is refused whole; a listed photo counts as new.
    void limitOf300_data()
    {
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("299 + 2 refused") << QStringList{"q.jpg", "r.jpg"} << 299;
        QTest::newRow("299 + 1 accepted") << QStringList{"q.jpg"} << 300;
        QTest::newRow("duplicate counted") << QStringList{"fill_0.jpg", "q.jpg"} << 299;
    }
    void limitOf300()
    {
        QFETCH(QStringList, dropped);
        QFETCH(int, rowsAfter);
        vbFileList list(nullptr, true);
        list.addFiles(fakeFiles(299, QStringLiteral("fill")), false);
        QStringList paths;
        for (const QString& name : dropped)
            paths << m_dir.filePath(name);
        vbModalAnswer answer(vbModalAnswer::press("btnOK"));
        vbTestUi::dropPaths(list.viewport(), paths);
        QCOMPARE(list.count(), rowsAfter);
        QCOMPARE(answer.texts().size(), dropped.size() == 2 ? 1 : 0);
    }

    void selectionLimitOnOk_data()
    {
        QTest::addColumn<int>("listed");
        QTest::addColumn<int>("checked");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("290 + 11 refused") << 290 << 11 << "You can not select more then 300 photos!";
        QTest::newRow("290 + 10 accepted") << 290 << 10 << "";
        QTest::newRow("nothing checked") << 0 << 0 << "You must select a photo!";
    }
    void selectionLimitOnOk()
    {
        QFETCH(int, listed);
        QFETCH(int, checked);
        QFETCH(QString, refusal);
        QFile::remove(vbSelectFiles::settingsPath());
        vbFileList upload(nullptr, true);
        upload.addFiles(fakeFiles(listed, QStringLiteral("listed")), false);
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

    void stateLook()
    {
        // The text under a tile; the last argument says the log has the photo as uploaded.
        const auto text = [](vbUploadState state, bool inRun, bool before) {
            return vbFileNodeUI::stateLook(state, inRun, before, 42).text;
        };
        QCOMPARE(text(vbUploadState::Waiting, false, true), QStringLiteral("Photo had uploaded!"));
        QCOMPARE(text(vbUploadState::KeyFailed, true, false), QStringLiteral("Preparing")); // asks again
        QCOMPARE(text(vbUploadState::KeyReady, false, false), QString()); // cancelled mid-step
        // Counted in 64 bits: files over 2 GiB.
        QCOMPARE(vbFileNodeUI::progressPercent(qint64(3) << 30, qint64(4) << 30), 75);
        QCOMPARE(vbFileNodeUI::progressPercent(0, 0), 0);
    }

    void nameEditing_data()
    {
        QTest::addColumn<QStringList>("row"); // typed, shown in the field after Return, file name
        QTest::newRow("forbidden characters dropped") << QStringList{"a.b/c\\d", "abcd", "abcd.jpg"};
        QTest::newRow("taken name restores the old") << QStringList{"taken", "mine", "mine.jpg"};
        QTest::newRow("empty name keeps editing") << QStringList{"", "", "mine.jpg"};
    }
    void nameEditing()
    {
        QFETCH(QStringList, row);
        const QString typed = row[0], shown = row[1], file = row[2];
        // Each row in a folder of its own, beside a photo already named "taken".
        const QString folder = QString::fromLatin1(QTest::currentDataTag());
        photo(folder + QStringLiteral("/taken.jpg"));
        vbFileList list(nullptr, true);
        list.resize(700, 500);
        list.show();
        list.addFiles({QFileInfo(photo(folder + QStringLiteral("/mine.jpg")))}, false);
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        vbFileNode* node = list.node(0);
        QLineEdit* edit = node->tile()->nameEdit();
        QVERIFY(!edit->isEnabled());
        QTest::mouseDClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, typed);
        vbModalAnswer answer(vbModalAnswer::press("btnOK"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(edit->text(), shown);
        QCOMPARE(node->fileName(), file);
        QVERIFY(QFileInfo::exists(m_dir.filePath(folder + QLatin1Char('/') + file)));
        QCOMPARE(answer.texts().size(), typed.isEmpty() ? 1 : 0);
        QCOMPARE(edit->isEnabled(), typed.isEmpty()); // an empty name is still being edited
    }
};

QTEST_MAIN(tst_PhotoList)
#include "tst_photolist.moc"
