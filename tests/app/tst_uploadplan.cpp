// The upload tick's decisions and the album room rule, as tables.
#include "vbUploadPlan.h"

#include <QMetaEnum>
#include <QTest>

using vbUploadPlan::Action;
using vbUploadPlan::AlbumRoom;
using vbUploadPlan::NodeView;

namespace {

// One photo written as "<State>[:failures][*]": the failures go to the counter
// of the state's step (key or commit), "*" means the result is logged.
NodeView parseNode(const QString& spec)
{
    NodeView view;
    QString text = spec;
    if (text.endsWith(QLatin1Char('*'))) {
        view.resultLogged = true;
        text.chop(1);
    }
    const QStringList parts = text.split(QLatin1Char(':'));
    bool known = false;
    view.state = vbUploadState(
        QMetaEnum::fromType<vbUploadState>().keyToValue(parts.at(0).toLatin1().constData(), &known));
    if (!known)
        view.state = vbUploadState(-1);
    const int failures = parts.size() > 1 ? parts.at(1).toInt() : 0;
    if (view.state == vbUploadState::CommitFailed)
        view.commitFailures = failures;
    else
        view.keyFailures = failures;
    return view;
}

QList<NodeView> parseNodes(const QString& specs)
{
    QList<NodeView> nodes;
    for (const QString& spec : specs.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        nodes.append(parseNode(spec));
    return nodes;
}

// In the order of vbUploadPlan::Action.
const QStringList kActionNames{"-", "key", "send", "commit", "fail", "logFailed", "logOk"};

} // namespace

class tst_UploadPlan : public QObject
{
    Q_OBJECT

private slots:
    void planTick_data()
    {
        QTest::addColumn<QString>("nodes");
        QTest::addColumn<QString>("actions");
        QTest::addColumn<int>("done");
        QTest::addColumn<int>("uploaded");

        // At most three in flight: keys for every prepared photo while fewer
        // than three are active, transfers only up to three.
        QTest::newRow("keys for all prepared while two active")
            << "RequestingKey Transferring Prepared Prepared Prepared"
            << "- - key key key" << 0 << 0;
        QTest::newRow("no key when three active")
            << "Transferring RequestingKey Transferring Prepared KeyReady"
            << "- - - - -" << 0 << 0;
        QTest::newRow("transfers only up to three") << "KeyReady KeyReady KeyReady KeyReady KeyReady"
                                                    << "send send send - -" << 0 << 0;
        QTest::newRow("transfers started count in list order")
            << "Prepared KeyReady RequestingKey KeyReady Prepared KeyReady"
            << "key send - send - -" << 0 << 0;

        // Retries and giving up: more than five failures of a step.
        QTest::newRow("key failed five times retried at once even when full")
            << "Transferring Transferring Transferring KeyFailed:5"
            << "- - - key" << 0 << 0;
        QTest::newRow("key failed six times gives up") << "KeyFailed:6 KeyFailed:0"
                                                       << "fail key" << 0 << 0;
        QTest::newRow("commit failed six times gives up") << "CommitFailed:6"
                                                          << "fail" << 0 << 0;
        QTest::newRow("transferred commits whatever is active")
            << "Transferring Transferring Transferring Transferred"
            << "- - - commit" << 0 << 0;

        // Results are logged once and counted every time.
        QTest::newRow("results logged once") << "Failed Failed* Uploaded Uploaded*"
                                             << "logFailed - logOk -" << 4 << 2;
        QTest::newRow("stopped is logged as failed once") << "Stopped Stopped* Uploaded*"
                                                          << "logFailed - -" << 3 << 1;
    }

    void planTick()
    {
        QFETCH(QString, nodes);
        QFETCH(QString, actions);
        QFETCH(int, done);
        QFETCH(int, uploaded);

        const QList<NodeView> views = parseNodes(nodes);
        for (const NodeView& view : views)
            QVERIFY2(int(view.state) >= 0, "unknown state in the table");
        const vbUploadPlan::Tick tick = vbUploadPlan::planTick(views);
        QStringList names;
        for (Action action : tick.actions)
            names.append(kActionNames.value(int(action), QStringLiteral("?")));
        QCOMPARE(names.join(QLatin1Char(' ')), actions);
        QCOMPARE(tick.total, int(views.size()));
        QCOMPARE(tick.done, done);
        QCOMPARE(tick.uploaded, uploaded);
        QCOMPARE(tick.finished(), done == int(views.size()));
    }

    void albumRoom_data()
    {
        QTest::addColumn<int>("photoCount");
        QTest::addColumn<int>("count");
        QTest::addColumn<AlbumRoom>("room");

        QTest::newRow("498 + 2 fills exactly") << 498 << 2 << AlbumRoom::Enough;
        QTest::newRow("498 + 3 goes over") << 498 << 3 << AlbumRoom::Partial;
        QTest::newRow("500 is full") << 500 << 1 << AlbumRoom::Full;
    }

    void albumRoom()
    {
        QFETCH(int, photoCount);
        QFETCH(int, count);
        QFETCH(AlbumRoom, room);
        QCOMPARE(vbUploadPlan::albumRoom(photoCount, count), room);
    }
};

QTEST_APPLESS_MAIN(tst_UploadPlan)
#include "tst_uploadplan.moc"
