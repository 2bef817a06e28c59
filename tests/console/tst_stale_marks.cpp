// What the console shows is stale until a download has ended, and again
// after every loss; a stale queue row is not answered.
#include "../session/Harness.h"

#include "base/MessageCatalogue.h"
#include "callstate/CallQueue.h"
#include "callstate/StatusFreshness.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray LogOffState = QByteArray::fromHex("0007");
const QByteArray DynBtnDls = QByteArray::fromHex("0503");
const QDateTime NineFortyOne(QDate(2026, 1, 1), QTime(9, 41, 30));

// The log-on runs; the station information is held back, so the download
// stops short of its end until finishDownload().
void logOnHeld(Harness &h)
{
    h.pbx.slowCodes = {0x0305, 0x0309};
    h.console.logOnCommand();
    h.pbx.pump();
    for (int i = 0; i < 20; ++i)
        h.advance(100);
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::Downloading));
}

void finishDownload(Harness &h)
{
    for (int i = 0; i < 400 && h.attendant.positionState() != CAttendantState::Ready; ++i) {
        while (h.pbx.deliverSlowReply()) {
        }
        h.advance(100);
    }
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::Ready));
}
} // namespace

class TestStaleMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
    }
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    // A console that never logged on shows nothing live; a log-on keeps it
    // stale through the download, whose end clears the marks.
    void staleUntilTheDownloadEnds()
    {
        Harness h;
        StatusFreshness &f = h.console.freshness();
        QVERIFY(f.isStale());
        QCOMPARE(f.staleSince(), h.clock.now());
        QVERIFY(h.stations.freshness() == &f && h.lines.freshness() == &f);
        QSignalSpy changed(&f, &StatusFreshness::changed);

        logOnHeld(h);
        QVERIFY(f.isStale());
        QCOMPARE(changed.count(), 0);
        h.clock.set(NineFortyOne);
        finishDownload(h);
        QVERIFY(!f.isStale());
        QCOMPARE(f.liveSince(), NineFortyOne);
        QVERIFY(!f.staleSince().isValid());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), false);
        QCOMPARE(f.unknownLine(), QString());
    }

    void staleOnLoss_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("the PBX logs the position off") << 0;
        QTest::newRow("the LAN connection closes") << 1;
        QTest::newRow("the operator disconnects") << 2;
        QTest::newRow("the link falls silent") << 3;
        QTest::newRow("the operator logs off") << 4;
    }
    // Every way of losing the PBX marks the status stale at once, with the
    // time of the loss; the next download clears it again.
    void staleOnLoss()
    {
        QFETCH(int, how);
        Harness h;
        StatusFreshness &f = h.console.freshness();
        logOnHeld(h);
        finishDownload(h);
        QVERIFY(!f.isStale());
        QSignalSpy changed(&f, &StatusFreshness::changed);
        h.clock.set(NineFortyOne);
        switch (how) {
        case 0:
            h.pbx.inject(LogOffState);
            break;
        case 1:
            h.pbx.open = false;
            Q_EMIT h.connection->lanDisconnected();
            break;
        case 2:
            h.console.disconnectCommand();
            break;
        case 3:
            h.pbx.answering = false;
            for (int i = 0; i < 120 && !f.isStale(); ++i)
                h.advance(1000);
            break;
        case 4:
            h.ui.nextAnswer = MessageStyle::ResultYes;
            h.console.logOffCommand();
            h.pbx.pump();
            break;
        }
        QVERIFY(f.isStale());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(f.staleSince(), NineFortyOne);
        QCOMPARE(f.unknownLine(), QStringLiteral("Status unknown since 09:41"));

        // What follows the loss (the log-off completion, a log-on) keeps the
        // time the status became unknown.
        h.clock.set(NineFortyOne.addSecs(600));
        for (int i = 0; i < 120 && h.attendant.positionState() != CAttendantState::LoggedOff; ++i)
            h.advance(1000);
        QCOMPARE(h.attendant.positionState(), int(CAttendantState::LoggedOff));
        QVERIFY(f.isStale());
        h.pbx.answering = true;
        h.pbx.open = true;
        logOnHeld(h);
        QCOMPARE(f.staleSince(), NineFortyOne);
        QCOMPARE(changed.count(), 1);
        finishDownload(h);
        QVERIFY(!f.isStale());
        QCOMPARE(changed.count(), 2);
    }

    // A row clicked while the download runs: the link is up, yet nothing
    // goes out, the row stays and the operator is told; the row is answered
    // once the download has ended.
    void staleQueueRowSendsNothing()
    {
        Harness h;
        CallQueue queue(h.stations, h.lines, h.console.request(), h.clock);
        QSignalSpy refused(&queue, &CallQueue::answerRefused);
        logOnHeld(h);
        h.lines.setStatus(2, Status::ST_RING);
        h.stations.setStatus(4, Status::STEXT_IDLE_WITH_RING);
        queue.post({QueueType::QLTN_TRK_INCOMING, 2, true, QStringLiteral("CO 3")});
        queue.post({QueueType::QLTN_EXT_RING, 4, true, QString()});
        QCOMPARE(queue.rows().size(), 2);

        const qsizetype sent = h.pbx.sent.size();
        QVERIFY(!queue.answer(0));
        QVERIFY(!queue.answer(1));
        QCOMPARE(h.pbx.sent.size(), sent);
        QCOMPARE(queue.rows().size(), 2);
        QCOMPARE(refused.count(), 2);
        // The pop-up's pick-up neither hangs up the attendant's call nor seizes the line.
        queue.setCallerInfoEnabled([] { return true; });
        queue.popup().setAttendantInCall([] { return true; });
        queue.post({QueueType::QLTN_TRK_INCOMING, 2, true, QStringLiteral("CO 3")});
        QVERIFY(queue.popup().isVisible());
        queue.popup().pickUp();
        QCOMPARE(h.pbx.sent.size(), sent);
        QVERIFY(queue.popup().isVisible());
        QCOMPARE(refused.count(), 3);
        queue.setCallerInfoEnabled({});

        // A stale status cannot prove a row wrong: the times run on, the rows stay.
        h.lines.setStatus(2, Status::STTRK_IDLE);
        h.clock.set(h.clock.now().addSecs(5));
        queue.tick();
        QCOMPARE(queue.rows().size(), 2);
        QCOMPARE(queue.rows().at(0).time, QStringLiteral("00:05"));

        finishDownload(h);
        h.lines.setStatus(2, Status::ST_RING);
        const qsizetype sentLive = h.pbx.sent.size();
        const int coRow = queue.rows().at(0).type == QueueType::QLTN_TRK_INCOMING ? 0 : 1;
        QVERIFY(queue.answer(coRow));
        QCOMPARE(h.pbx.sent.size(), sentLive + 1);
        QVERIFY(h.pbx.sent.last().startsWith(DynBtnDls));
        QCOMPARE(refused.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TestStaleMarks)
#include "tst_stale_marks.moc"
