#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CDLODoc.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/CallQueue.h"
#include "callstate/StatusGrid.h"
#include "callstate/StatusLamp.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Tables
{
    Tables()
        : link(timers)
        , request(link)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , queue(stations, lines, request, clock)
    {
        link.setLanConnection(&transport);
        stations.setCount(200);
        lines.setCount(120);
        stations.setNumber(11, 0x12);
        stations.setNumber(122, 0x123);
        stations.setName(11, QStringLiteral("RECEPT"));
        queue.setCallerInfoEnabled([this] { return callerInfo; });
    }
    CQueueEvent ring(int type, quint16 index, bool add = true, const QString &description = {})
    {
        CQueueEvent e;
        e.type = type;
        e.index = index;
        e.add = add;
        e.description = description;
        return e;
    }
    QStringList keys() const
    {
        QStringList out;
        for (const QueueRow &r : queue.rows())
            out.append(r.key + QLatin1Char('|') + r.time + QLatin1Char('|') + CallQueue::typeName(r.type));
        return out;
    }
    // The request codes sent so far (first two bytes of each payload).
    QList<int> codes() const
    {
        QList<int> out;
        for (const QByteArray &p : transport.payloads())
            out.append((quint8(p.at(0)) << 8) | quint8(p.at(1)));
        return out;
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CLinkRequest request;
    CExtStatusList stations;
    CTrkStatusList lines;
    CallQueue queue;
    bool callerInfo = true;
};

QString keyOf(const std::optional<CallInfoEntry> &e)
{
    return e ? e->key : QStringLiteral("-");
}

QStringList pendingKeys(const CallInfoQueue &popup)
{
    QStringList out;
    for (const CallInfoEntry &e : popup.pending())
        out.append(e.key);
    return out;
}

} // namespace

class TestCallQueue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lampTable_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("alternate");
        QTest::newRow("invalid") << 0x01 << 1 << 1 << 0;
        QTest::newRow("busy") << 0x10 << 2 << 1 << 0;
        QTest::newRow("icm") << 0x43 << 2 << 1 << 0;
        QTest::newRow("col") << 0x44 << 2 << 1 << 0;
        QTest::newRow("pgm") << 0x45 << 2 << 1 << 0;
        QTest::newRow("hold") << 0x11 << 2 << 10 << 0;
        QTest::newRow("ring") << 0x12 << 4 << 3 << 0;
        QTest::newRow("ext idle") << 0x40 << 3 << 1 << 0;
        QTest::newRow("trk idle") << 0x80 << 3 << 1 << 0;
        QTest::newRow("dnd") << 0x41 << 1 << 3 << 3;
        QTest::newRow("disabled") << 0x83 << 1 << 3 << 3;
        QTest::newRow("idle ring") << 0x42 << 4 << 3 << 3;
        QTest::newRow("hold recall") << 0x81 << 4 << 10 << 0;
        QTest::newRow("atd recall") << 0x82 << 4 << 5 << 0;
        QTest::newRow("no change") << 0x00 << -1 << -1 << -1;
        QTest::newRow("unknown") << 0x99 << -1 << -1 << -1;
    }
    void lampTable()
    {
        QFETCH(int, status);
        QFETCH(int, colour);
        QFETCH(int, pattern);
        QFETCH(int, alternate);
        const auto lamp = StatusLamp::forStatus(quint8(status));
        if (colour < 0) {
            QVERIFY(!lamp);
            return;
        }
        QVERIFY(lamp);
        QCOMPARE(*lamp, (LampState{colour, pattern, alternate}));
    }

    void blinkPatterns_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("phases"); // lit (1) or not (0) over the first 8 ticks
        QTest::newRow("0 alternate") << 0 << 0 << "00000000";
        QTest::newRow("1 steady") << 1 << 0 << "11111111";
        QTest::newRow("2") << 2 << 1000 << "10101010";
        QTest::newRow("3") << 3 << 500 << "10101010";
        QTest::newRow("4") << 4 << 250 << "11101000";
        QTest::newRow("5") << 5 << 125 << "10101010";
        QTest::newRow("6") << 6 << 125 << "10101000";
        QTest::newRow("7") << 7 << 62 << "10101010";
        QTest::newRow("8") << 8 << 62 << "10101000";
        QTest::newRow("9") << 9 << 2000 << "10101010";
        QTest::newRow("10") << 10 << 250 << "10101010";
        QTest::newRow("11") << 11 << 250 << "10101000";
        QTest::newRow("12") << 12 << 250 << "11011000";
        QTest::newRow("13") << 13 << 62 << "11101000";
        QTest::newRow("14") << 14 << 62 << "11011000";
    }
    void blinkPatterns()
    {
        QFETCH(int, pattern);
        QFETCH(int, period);
        QFETCH(QString, phases);
        QCOMPARE(StatusLamp::period(pattern), period);
        quint32 reg = StatusLamp::RegisterStart;
        QString seen;
        for (int i = 0; i < 8; ++i) {
            seen += StatusLamp::lit(pattern, reg) ? QLatin1Char('1') : QLatin1Char('0');
            reg = StatusLamp::nextRegister(reg);
        }
        QCOMPARE(seen, phases);
        // After 32 ticks the register starts over.
        for (int i = 8; i < 32; ++i)
            reg = StatusLamp::nextRegister(reg);
        QCOMPARE(reg, StatusLamp::RegisterStart);
    }

    void gridLayout()
    {
        StatusGrid grid;
        grid.setGeometry(QSize(75, 23), QSize(1, 1));
        std::vector<bool> present(12, true);
        present[2] = present[5] = false;
        // Narrower than a cell: still one column.
        grid.layout(present, 30);
        QCOMPARE(grid.columns(), 1);
        QCOMPARE(grid.scrollSize(), QSize(76, 10 * 24));
        // 10 present records in 4 columns take 3 rows.
        grid.layout(present, 4 * 76 + 75);
        QCOMPARE(grid.columns(), 4);
        QCOMPARE(grid.scrollSize(), QSize(4 * 76, 3 * 24));
        QVERIFY(grid.rect(2).isNull());
        QCOMPARE(grid.rect(0), QRect(QPoint(1, 1), QPoint(75, 23)));
        // Record 3 takes the third cell, record 6 the fifth (second row).
        QCOMPARE(grid.rect(3), QRect(QPoint(2 * 76 + 1, 1), QPoint(3 * 76 - 1, 23)));
        QCOMPARE(grid.rect(6), QRect(QPoint(1, 25), QPoint(75, 47)));
        QCOMPARE(grid.indexAt(QPoint(10, 30)), 6);
        QCOMPARE(grid.indexAt(QPoint(0, 0)), -1); // the gap
        QCOMPARE(grid.indexAt(QPoint(200, 60)), -1); // beyond the last cell
        QCOMPARE(grid.placedIn(QRect(0, 0, 70, 30)), (std::vector<int>{0, 6}));
        QVERIFY(!grid.needsLayout(4 * 76 + 10));
        QVERIFY(grid.needsLayout(5 * 76));
        // Nothing present: the scroll size is one cell.
        grid.layout(std::vector<bool>(3, false), 500);
        QCOMPARE(grid.scrollSize(), QSize(6 * 76, 24));
    }

    void titles()
    {
        Tables t;
        CDLODoc doc(PORT_KIND_EXT, t.stations, t.lines);
        CExtStatus bare(41);
        QCOMPARE(CDLODoc::title(4, bare), QStringLiteral("#:port_title_DLO042"));
        QCOMPARE(CDLODoc::title(1, bare), QStringLiteral("#:port_title_DLO042"));
        bare.number = Nibbles::fromNumber16(0x3A1);
        QCOMPARE(CDLODoc::title(4, bare), QStringLiteral("301"));
        bare.name = QStringLiteral("DESK");
        QCOMPARE(CDLODoc::title(4, bare), QStringLiteral("DESK"));
        QCOMPARE(CDLODoc::title(1, bare), QStringLiteral("301"));
        bare.fullName = QStringLiteral("Ann Lee");
        QCOMPARE(CDLODoc::title(4, bare), QStringLiteral("Ann Lee"));
        QCOMPARE(CDLODoc::title(3, bare), QStringLiteral("DESK"));
        QCOMPARE(CDLODoc::title(0, bare), QStringLiteral("#:port_title_DLO042"));
        QCOMPARE(CDLODoc::title(7, bare), QStringLiteral("...."));
        CTrkStatus line(6);
        QCOMPARE(CDLODoc::title(2, line), QStringLiteral("#:co_title_DLO07"));
        QCOMPARE(CDLODoc::title(4, line), QStringLiteral("#:co_title_DLO07"));
        // Defaults, and the stored mode.
        QCOMPARE(doc.titleMode(), 4);
        QCOMPARE(CDLODoc(PORT_KIND_TRK, t.stations, t.lines).titleMode(), 2);
        QCOMPARE(doc.buttonSize(), QSize(75, 23));
        QVERIFY(doc.setTitleMode(3));
        QVERIFY(doc.setButtonSize(QSize(90, 30)));
        QCOMPARE(doc.titleMode(), 3);
        QCOMPARE(doc.buttonSize(), QSize(90, 30));
        QCOMPARE(CDLODoc(PORT_KIND_TRK, t.stations, t.lines).buttonSize(), QSize(75, 23));
        doc.setTitleMode(4);
        doc.setButtonSize(QSize(75, 23));
    }

    void rowsByKey()
    {
        Tables t;
        QSignalSpy raised(&t.queue, &CallQueue::raiseRequested);
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 4, true, QStringLiteral("0301 555")));
        t.clock.advanceMs(3000);
        t.lines.setStatus(4, Status::ST_BUSY);
        t.queue.tick();
        QCOMPARE(t.keys(), QStringList({"CO 05|00:03|QLTN_TRK_INCOMING"}));
        // A transfer of the same line replaces its row and restarts the time.
        t.queue.post(t.ring(QueueType::QLTN_TRK_XFER, 4));
        QCOMPARE(t.keys(), QStringList({"CO 05|00:00|QLTN_TRK_XFER"}));
        // A hold row does not raise the window.
        QCOMPARE(raised.size(), 2);
        t.queue.post(t.ring(QueueType::QLTN_TRK_HOLD, 9));
        QCOMPARE(raised.size(), 2);
        // An intercom row shows the station's name; station 123 stands above 12.
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 122));
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 11));
        QCOMPARE(t.queue.rows().at(3).description, QStringLiteral("RECEPT"));
        QCOMPARE(t.keys().size(), 4);
        // Removing station 12 removes its own row, not the row of 123.
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 11, false));
        QCOMPARE(t.keys(), QStringList({"CO 05|00:00|QLTN_TRK_XFER", "CO 10|00:00|QLTN_TRK_HOLD",
                                        "STA 123|00:00|QLTN_EXT_RING"}));
        // An index outside the tables still adds its row, with an empty station key.
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 999));
        QCOMPARE(t.queue.rows().last().key, QStringLiteral("STA "));
        // An unknown type gets no key; -1 does nothing at all.
        QCOMPARE(CallQueue::typeName(9), QStringLiteral("Unknown(0x9)"));
        t.queue.post(t.ring(QueueType::None, 1));
        QCOMPARE(t.keys().size(), 4);
    }

    void waitingTimeAndLiveStatus()
    {
        Tables t;
        TraceRecorder traces;
        t.lines.setStatus(1, Status::ST_RING);
        t.lines.setStatus(2, Status::ST_RING);
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 1));
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 2));
        t.queue.post(t.ring(QueueType::QLTN_TRK_RECALL, 200)); // beyond the table: left alone
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 5));     // stations are not checked
        // Within the first two seconds nothing is checked.
        t.lines.setStatus(2, Status::STTRK_IDLE);
        t.clock.advanceMs(1000);
        t.queue.tick();
        QCOMPARE(t.queue.rows().size(), 4);
        t.clock.advanceMs(1000);
        t.queue.tick();
        QCOMPARE(t.keys(), QStringList({"CO 02|00:02|QLTN_TRK_INCOMING", "CO 201|00:02|QLTN_TRK_RECALL",
                                        "STA |00:02|QLTN_EXT_RING"}));
        QVERIFY(traces.contains(QStringLiteral("QueueView:mismatch QLTN_TRK_INCOMING:STTRK_IDLE")));
        // An hour does not wrap: the minutes count on.
        t.clock.advanceMs((59 * 60 + 57) * 1000);
        t.lines.setStatus(1, Status::ST_BUSY);
        t.queue.tick();
        QCOMPARE(t.queue.rows().first().time, QStringLiteral("59:59"));
        t.clock.advanceMs(1000);
        t.queue.tick();
        QCOMPARE(t.keys().first(), QStringLiteral("CO 02|60:00|QLTN_TRK_INCOMING"));
        t.clock.advanceMs((65 * 60 + 30) * 1000);
        t.queue.tick();
        QCOMPARE(t.queue.rows().first().time, QStringLiteral("125:30"));
    }

    // The time is counted from the arrival, not from the text shown: missed
    // ticks (a busy UI thread) catch up, and a clock that steps back shows
    // no negative time.
    void waitingTimeFollowsTheClock()
    {
        Tables t;
        t.lines.setStatus(3, Status::ST_RING);
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 3));
        t.clock.advanceMs(7500);
        t.queue.tick();
        QCOMPARE(t.queue.rows().first().time, QStringLiteral("00:07"));
        t.clock.advanceMs(-60000);
        t.queue.tick();
        QCOMPARE(t.queue.rows().first().time, QStringLiteral("00:00"));
        QCOMPARE(CallQueue::waitingText(3600 * 100 + 1), QStringLiteral("6000:01"));
    }

    void answering()
    {
        Tables t;
        t.lines.setStatus(3, Status::ST_RING);
        t.stations.setStatus(11, Status::STEXT_IDLE);
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 3));
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 4)); // ST_INVALID
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 11));
        QVERIFY(t.queue.answer(0));
        QVERIFY(!t.queue.answer(1));
        QCOMPARE(t.queue.rows().size(), 2); // the invalid line's row went, nothing sent
        QVERIFY(t.queue.answer(1));
        QCOMPARE(t.codes(), QList<int>({0x0503, 0x0502}));
        QVERIFY(!t.queue.answer(7));
    }

    void popup()
    {
        Tables t;
        CallInfoQueue &popup = t.queue.popup();
        t.lines.setStatus(0, Status::ST_RING);
        t.stations.setStatus(11, Status::STEXT_IDLE);
        // A hold row is never shown.
        t.queue.post(t.ring(QueueType::QLTN_TRK_HOLD, 7));
        QVERIFY(!popup.isVisible());
        for (quint16 line = 0; line < 3; ++line)
            t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, line));
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 01"));
        QCOMPARE(pendingKeys(popup), QStringList({"CO 02", "CO 03"}));
        // An intercom ring is shown at once; the CO call waits at the end.
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 11));
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("STA 12"));
        QCOMPARE(popup.shown()->description, QStringLiteral("RECEPT"));
        QCOMPARE(pendingKeys(popup), QStringList({"CO 02", "CO 03", "CO 01"}));
        // Withdrawing a waiting entry: the next waiting one is offered again and
        // queues up behind the shown one.
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 2, false));
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("STA 12"));
        QCOMPARE(pendingKeys(popup), QStringList({"CO 01", "CO 02"}));
        // Pick-up of the intercom call, then the next entry comes up.
        popup.pickUp();
        QCOMPARE(t.codes(), QList<int>({0x0502}));
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 01"));
        popup.pickUp();
        QCOMPARE(t.codes(), QList<int>({0x0502, 0x0503}));
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 02"));
        popup.ignore();
        QVERIFY(!popup.isVisible());
        QVERIFY(popup.pending().isEmpty());
        // With the option off nothing is offered.
        t.callerInfo = false;
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 5));
        QVERIFY(!popup.isVisible());
    }

    void pickUpWhileInCall()
    {
        Tables t;
        CallInfoQueue &popup = t.queue.popup();
        bool inCall = true;
        popup.setAttendantInCall([&inCall] { return inCall; });
        t.lines.setStatus(0, Status::ST_RING);
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 0));
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 1));
        t.queue.post(t.ring(QueueType::QLTN_EXT_RING, 11));
        t.queue.post(t.ring(QueueType::QLTN_TRK_INCOMING, 2));
        // Shown: STA 12; waiting: CO 02, CO 01, CO 03.
        popup.ignore();
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 02"));
        popup.ignore();
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 01"));
        popup.pickUp();
        // The current call is put down with "H" before the line is taken.
        QCOMPARE(t.codes().last(), 0x0503);
        QCOMPARE(t.codes().size(), 2);
        QCOMPARE(keyOf(popup.shown()), QStringLiteral("CO 03"));
    }
};

QTEST_GUILESS_MAIN(TestCallQueue)
#include "tst_call_queue.moc"
