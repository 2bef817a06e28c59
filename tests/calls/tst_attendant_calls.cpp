#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CAttendantCalls.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/Paging.h"
#include "link/CLinkPort.h"

#include <QSignalSpy>
#include <QTest>

using namespace Status;

namespace {

using Payloads = QList<QByteArray>;

// Requests as they go out; the DYNBTN sequence of a fresh link runs 45 (2d), 46 (2e), ...
const QByteArray T = hex("81 01 63");
const QByteArray M = hex("81 01 6b");
const QByteArray K = hex("81 01 66");
const QByteArray Star = hex("81 01 9a");
const QByteArray H = hex("81 01 6c");
QByteArray dss(quint8 seq, quint16 port)
{
    return hex("0502") + QByteArray(1, 0) + char(seq) + char(port >> 8) + char(port & 0xFF);
}

// Station 1 (index 0) is the attendant's own; stations 2 to 4 are others.
struct Fixture
{
    Fixture()
        : link(timers)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , calls(link, stations, lines, ui)
    {
        link.setLanConnection(&transport);
        stations.setCount(4);
        lines.setCount(3);
        for (quint16 i = 0; i < 4; ++i)
            stations.setStatus(i, STEXT_IDLE);
        for (quint16 i = 0; i < 3; ++i)
            lines.setStatus(i, STTRK_IDLE);
        calls.setLoggedOnQuery([this] { return loggedOn; });
        calls.setOwnStation(0);
    }
    void setOwnStatus(quint8 status)
    {
        calls.handleEvent(0x85, QByteArray(1, char(0x85)) + char(status) + char(0x07), 0);
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CExtStatusList stations;
    CTrkStatusList lines;
    CAttendantCalls calls;
    bool loggedOn = true;
};

QString queueText(const CQueueEvent &e)
{
    return QStringLiteral("%1:%2:%3:%4").arg(e.type).arg(e.index).arg(e.add ? 1 : 0).arg(e.description);
}

QStringList queueTexts(const QSignalSpy &spy)
{
    QStringList out;
    for (const QList<QVariant> &args : spy)
        out.append(queueText(args.at(0).value<CQueueEvent>()));
    return out;
}

} // namespace

Q_DECLARE_METATYPE(CQueueEvent)

class TestAttendantCalls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<CQueueEvent>(); }

    void ringEvents_data()
    {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<int>("size");
        QTest::addColumn<QStringList>("queue");
        QTest::addColumn<QString>("trace");

        QTest::newRow("icm ring start") << hex("0801 0003") << 4 << QStringList{"5:2:1:"} << "MYI_IcmRingStart:03.";
        QTest::newRow("icm ring stop") << hex("0802 0003") << 4 << QStringList{"5:2:0:"} << "MYI_IcmRingStop:03.";
        QTest::newRow("icm start cut short") << hex("0801 00") << 4 << QStringList{} << QString();
        QTest::newRow("co incoming with caller") << hex("0803 05 0002 01 A1 23") << 8
                                                 << QStringList{"0:1:1:0123"} << "MYI_CoRingStart:02.01.(0123)";
        QTest::newRow("co odd digit count") << hex("0803 05 0002 02 12 30") << 8 << QStringList{"1:1:1:123"}
                                            << "MYI_CoRingStart:02.02.(123)";
        QTest::newRow("co recall") << hex("0803 03 0001 03") << 6 << QStringList{"2:0:1:"} << QString();
        QTest::newRow("co attendant recall") << hex("0803 04 0003 04 9F") << 7 << QStringList{"3:2:1:9F"}
                                             << QString();
        QTest::newRow("co kind 0 removes") << hex("0803 03 0002 00") << 6 << QStringList{"0:1:0:"} << QString();
        QTest::newRow("co kind 5 posts nothing") << hex("0803 03 0002 05") << 6 << QStringList{}
                                                 << "MYI_CoRingStart:02.05.()";
        // A length byte below the minimum still takes six bytes.
        QTest::newRow("co short length byte") << hex("0803 00 0002 01 11") << 6 << QStringList{"0:1:1:"}
                                              << QString();
        QTest::newRow("co without length byte") << hex("0803") << int(kNotMine) << QStringList{} << QString();
        QTest::newRow("co longer than the payload") << hex("0803 09 0002 01 12") << 12 << QStringList{} << QString();
        QTest::newRow("co ring stop") << hex("0804 0003") << 4 << QStringList{"0:2:0:"} << "MYI_CoRingStop:03.";
        QTest::newRow("other code") << hex("0805 0003") << int(kNotMine) << QStringList{} << QString();
    }
    void ringEvents()
    {
        QFETCH(QByteArray, event);
        QFETCH(int, size);
        QFETCH(QStringList, queue);
        QFETCH(QString, trace);
        Fixture f;
        TraceRecorder traces;
        QSignalSpy spy(&f.calls, &CAttendantCalls::queueEvent);
        // The event sits behind another one in the payload.
        const QByteArray payload = hex("0a0b") + event;
        const quint16 code = quint16((quint8(event.at(0)) << 8) | quint8(event.at(1)));
        QCOMPARE(int(f.calls.handleEvent(code, payload, 2)), size);
        QCOMPARE(queueTexts(spy), queue);
        if (!trace.isEmpty())
            QVERIFY2(traces.contains(trace), qPrintable(traces.texts().join('|')));
        QVERIFY(f.transport.payloads().isEmpty());
    }

    void ownStatusEvent()
    {
        Fixture f;
        QSignalSpy popups(&f.calls, &CAttendantCalls::popupRequested);
        QVERIFY(f.calls.ownStateChar().isNull());
        QCOMPARE(int(f.calls.handleEvent(0x85, hex("85 40"), 0)), 3); // cut short: skipped
        QCOMPARE(f.calls.ownStatus(), quint8(0));

        f.setOwnStatus(STEXT_IDLE);
        QCOMPARE(f.calls.ownStatus(), STEXT_IDLE);
        QCOMPARE(f.calls.ownSecondByte(), quint8(7));
        QCOMPARE(f.calls.ownStateChar(), QChar('@'));
        QCOMPARE(popups.count(), 0);
        // Leaving plain idle brings the console forward; the own button follows.
        f.setOwnStatus(STEXT_ICM);
        QCOMPARE(popups.count(), 1);
        QCOMPARE(f.stations.record(0)->status, STEXT_ICM);
        f.setOwnStatus(STEXT_IDLE_WITH_DND);
        f.setOwnStatus(STEXT_ICM);
        QCOMPARE(popups.count(), 1);
        // Without a known own station only the own status changes.
        f.calls.setOwnStation(-1);
        f.setOwnStatus(STEXT_COL);
        QCOMPARE(f.stations.record(0)->status, STEXT_ICM);
        QCOMPARE(f.calls.ownStatus(), STEXT_COL);
        f.calls.logOffReset();
        QVERIFY(f.calls.ownStateChar().isNull());
    }

    void predicates_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("idle");
        QTest::addColumn<bool>("inCall");
        QTest::newRow("idle") << int(STEXT_IDLE) << true << false;
        QTest::newRow("dnd") << int(STEXT_IDLE_WITH_DND) << true << false;
        QTest::newRow("ring") << int(STEXT_IDLE_WITH_RING) << true << false;
        QTest::newRow("icm") << int(STEXT_ICM) << false << true;
        QTest::newRow("col") << int(STEXT_COL) << false << true;
        QTest::newRow("pgm") << int(STEXT_PGM) << false << false;
        QTest::newRow("busy") << int(ST_BUSY) << false << false;
    }
    void predicates()
    {
        QFETCH(int, status);
        QFETCH(bool, idle);
        QFETCH(bool, inCall);
        Fixture f;
        f.setOwnStatus(quint8(status));
        QCOMPARE(f.calls.isIdle(), idle);
        QCOMPARE(f.calls.canMakeCall(), idle);
        QCOMPARE(f.calls.isInCall(), inCall);
        f.loggedOn = false;
        QVERIFY(!f.calls.isIdle());
        QVERIFY(!f.calls.isInCall());
    }

    void operations_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<Payloads>("sent");
        QTest::addColumn<int>("state");
        QTest::newRow("0 make call") << 0 << Payloads{dss(0x2d, 3)} << 0;
        QTest::newRow("1 pick up") << 1 << Payloads{hex("82 00 00"), dss(0x2d, 3)} << 0;
        QTest::newRow("2 nothing") << 2 << Payloads{} << 0;
        QTest::newRow("3 call back") << 3 << Payloads{dss(0x2d, 3), K} << 0;
        QTest::newRow("4 nothing") << 4 << Payloads{} << 0;
        QTest::newRow("5 camp on") << 5 << Payloads{dss(0x2d, 3), Star} << 0;
        QTest::newRow("6 intrusion") << 6 << Payloads{dss(0x2d, 3), hex("0505 002e 01")} << 0;
        QTest::newRow("7 start transfer") << 7 << Payloads{T} << 1;
        QTest::newRow("8 transfer to idle") << 8 << Payloads{T, dss(0x2d, 3)} << 2;
        QTest::newRow("9 transfer to dnd") << 9 << Payloads{T, dss(0x2d, 3), Star} << 2;
        QTest::newRow("10 dial then M") << 10 << Payloads{dss(0x2d, 3), M} << 0;
        QTest::newRow("11 M") << 11 << Payloads{M} << 0;
        QTest::newRow("12 unknown") << 12 << Payloads{} << 0;
    }
    void operations()
    {
        QFETCH(int, operation);
        QFETCH(Payloads, sent);
        QFETCH(int, state);
        Fixture f;
        f.calls.stationCommand(2, operation);
        QCOMPARE(f.transport.payloads(), sent);
        QCOMPARE(int(f.stations.record(2)->callOperationState), state);
        // A station outside the table: nothing.
        f.transport.frames.clear();
        f.calls.stationCommand(4, operation);
        QVERIFY(f.transport.payloads().isEmpty());
    }

    void failedSendStopsTheOperation()
    {
        Fixture f;
        f.transport.accept = false;
        f.calls.stationCommand(2, CAttendantCalls::TransferToDnd);
        QCOMPARE(f.transport.frames.size(), 0);
        QCOMPARE(f.stations.record(2)->callOperationState, 0u);
        QVERIFY(f.ui.shown.isEmpty());
    }

    void buttonAction_data()
    {
        QTest::addColumn<int>("own");
        QTest::addColumn<int>("station");
        QTest::addColumn<Payloads>("sent");
        QTest::addColumn<int>("menu");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("state");
        using C = CAttendantCalls;
        const QString refused = QStringLiteral("#:invalid_selection");
        // In a call: transfers.
        QTest::newRow("icm, busy") << int(STEXT_ICM) << int(ST_BUSY) << Payloads{T} << int(C::MenuBusy) << "" << 1;
        QTest::newRow("col, pgm") << int(STEXT_COL) << int(STEXT_PGM) << Payloads{T} << int(C::MenuBusy) << "" << 1;
        QTest::newRow("icm, idle") << int(STEXT_ICM) << int(STEXT_IDLE) << Payloads{T, dss(0x2d, 3)}
                                   << int(C::NoMenu) << "" << 2;
        QTest::newRow("icm, idle ringing") << int(STEXT_ICM) << int(STEXT_IDLE_WITH_RING)
                                           << Payloads{T, dss(0x2d, 3)} << int(C::NoMenu) << "" << 2;
        QTest::newRow("icm, dnd") << int(STEXT_ICM) << int(STEXT_IDLE_WITH_DND) << Payloads{T, dss(0x2d, 3), Star}
                                  << int(C::NoMenu) << "" << 2;
        QTest::newRow("col, icm") << int(STEXT_COL) << int(STEXT_ICM) << Payloads{T} << int(C::MenuIcmCol) << "" << 1;
        QTest::newRow("icm, ringing") << int(STEXT_ICM) << int(ST_RING) << Payloads{} << int(C::NoMenu) << refused
                                      << 0;
        // Programming: everything refused.
        QTest::newRow("pgm, idle") << int(STEXT_PGM) << int(STEXT_IDLE) << Payloads{} << int(C::NoMenu) << refused
                                   << 0;
        // Idle or any other own status.
        QTest::newRow("idle, busy") << int(STEXT_IDLE) << int(ST_BUSY) << Payloads{} << int(C::MenuBusy) << "" << 0;
        QTest::newRow("idle, hold") << int(STEXT_IDLE) << int(ST_HOLD) << Payloads{} << int(C::MenuBusy) << "" << 0;
        QTest::newRow("idle, ringing") << int(STEXT_IDLE) << int(ST_RING) << Payloads{hex("82 00 00"), dss(0x2d, 3)}
                                       << int(C::NoMenu) << "" << 0;
        QTest::newRow("idle, idle") << int(STEXT_IDLE) << int(STEXT_IDLE) << Payloads{dss(0x2d, 3)}
                                    << int(C::NoMenu) << "" << 0;
        QTest::newRow("dnd, dnd") << int(STEXT_IDLE_WITH_DND) << int(STEXT_IDLE_WITH_DND)
                                  << Payloads{dss(0x2d, 3), Star} << int(C::NoMenu) << "" << 0;
        QTest::newRow("busy, idle ringing") << int(ST_BUSY) << int(STEXT_IDLE_WITH_RING) << Payloads{}
                                            << int(C::MenuRing) << "" << 0;
        QTest::newRow("idle, col") << int(STEXT_IDLE) << int(STEXT_COL) << Payloads{} << int(C::MenuIcmCol) << ""
                                   << 0;
        QTest::newRow("idle, invalid") << int(STEXT_IDLE) << int(ST_INVALID) << Payloads{} << int(C::NoMenu)
                                       << refused << 0;
    }
    void buttonAction()
    {
        QFETCH(int, own);
        QFETCH(int, station);
        QFETCH(Payloads, sent);
        QFETCH(int, menu);
        QFETCH(QString, message);
        QFETCH(int, state);
        Fixture f;
        f.setOwnStatus(quint8(own));
        f.stations.setStatus(2, quint8(station));
        f.stations.record(2)->callOperationState = 2; // reset by every action
        QSignalSpy beeps(&f.calls, &CAttendantCalls::beepRequested);
        QCOMPARE(int(f.calls.stationButtonAction(2)), menu);
        QCOMPARE(f.transport.payloads(), sent);
        QCOMPARE(int(f.stations.record(2)->callOperationState), state);
        QCOMPARE(f.ui.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(beeps.count(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY(f.ui.shown.first().title.isEmpty());
    }

    void ownStationButton()
    {
        Fixture f;
        QSignalSpy beeps(&f.calls, &CAttendantCalls::beepRequested);
        f.setOwnStatus(STEXT_IDLE);
        QCOMPARE(int(f.calls.stationButtonAction(0)), int(CAttendantCalls::NoMenu));
        QCOMPARE(f.ui.texts(), QStringList{"#:cannot_select_me"});
        QCOMPARE(beeps.count(), 1);
        QVERIFY(f.transport.payloads().isEmpty());
        // Ringing: the click answers it.
        for (quint8 ringing : {ST_RING, STEXT_IDLE_WITH_RING}) {
            f.transport.frames.clear();
            f.setOwnStatus(ringing);
            f.calls.stationButtonAction(0);
            QCOMPARE(f.transport.payloads(), Payloads{M});
        }
        f.ui.clear();
        f.calls.stationSelect(0);
        QCOMPARE(f.ui.texts(), QStringList{"#:cannot_select_me"});
    }

    void doubleClicks()
    {
        Fixture f;
        QSignalSpy beeps(&f.calls, &CAttendantCalls::beepRequested);
        f.setOwnStatus(STEXT_ICM);
        // A click on a station in DND starts the transfer and dials; the double-click completes.
        f.stations.setStatus(2, STEXT_IDLE_WITH_DND);
        f.calls.stationButtonAction(2);
        f.calls.stationSelect(2);
        QCOMPARE(f.transport.payloads(), (Payloads{T, dss(0x2d, 3), Star, M}));
        // A busy station: transfer started, the double-click dials it and completes.
        f.transport.frames.clear();
        f.stations.setStatus(1, ST_BUSY);
        f.calls.stationButtonAction(1);
        f.calls.stationSelect(1);
        QCOMPARE(f.transport.payloads(), (Payloads{T, dss(0x2e, 2), M}));
        // Nothing started: a beep only.
        f.transport.frames.clear();
        f.setOwnStatus(STEXT_IDLE);
        f.stations.setStatus(3, ST_BUSY);
        f.calls.stationButtonAction(3);
        f.calls.stationSelect(3);
        QVERIFY(f.transport.payloads().isEmpty());
        QCOMPARE(beeps.count(), 1);
        QVERIFY(f.ui.shown.isEmpty());
    }

    void menus()
    {
        using C = CAttendantCalls;
        const auto ops = [](C::StationMenu m) {
            QList<int> out;
            for (const C::MenuEntry &e : C::menuEntries(m))
                out.append(e.operation);
            return out;
        };
        QCOMPARE(ops(C::MenuIcmCol), (QList<int>{5, 3, 6, -1}));
        QCOMPARE(ops(C::MenuBusy), (QList<int>{3, -1}));
        QCOMPARE(ops(C::MenuRing), (QList<int>{0, 1, -1}));
        QCOMPARE(C::menuEntries(C::MenuRing).at(1).key, QStringLiteral("#:pickup_MENU(&P)"));
        QCOMPARE(C::menuName(C::MenuBusy), QStringLiteral("DLO_STABUSY"));
    }

    void stationNumberChange()
    {
        Fixture f;
        QVERIFY(f.calls.changeStationNumber(1, QStringLiteral("215")));
        QVERIFY(f.calls.changeStationNumber(1, QString()));
        QCOMPARE(f.transport.payloads(),
                 (Payloads{hex("0601 0002 0215"), hex("0303 0002"), hex("0601 0002 ffff"), hex("0303 0002")}));
        QVERIFY(!f.calls.changeStationNumber(9, QStringLiteral("215")));
    }

    void callStationByNumber_data()
    {
        QTest::addColumn<int>("own");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Payloads>("sent");
        // Station index 2 has number 23.
        QTest::newRow("idle") << int(STEXT_IDLE) << "23" << Payloads{hex("81 02 91 92")};
        QTest::newRow("leading zero dials the station") << int(STEXT_IDLE) << "023" << Payloads{hex("81 02 91 92")};
        QTest::newRow("busy attendant") << int(STEXT_ICM) << "23" << Payloads{};
        QTest::newRow("empty") << int(STEXT_IDLE) << "" << Payloads{};
        QTest::newRow("cleared") << int(STEXT_IDLE) << "...." << Payloads{};
        QTest::newRow("no such station") << int(STEXT_IDLE) << "24" << Payloads{};
        QTest::newRow("invalid station") << int(STEXT_IDLE) << "31" << Payloads{};
        QTest::newRow("not a number") << int(STEXT_IDLE) << "2x" << Payloads{};
    }
    void callStationByNumber()
    {
        QFETCH(int, own);
        QFETCH(QString, text);
        QFETCH(Payloads, sent);
        Fixture f;
        f.setOwnStatus(quint8(own));
        f.stations.setNumber(2, 0x23);
        f.stations.setNumber(3, 0x31);
        f.stations.setStatus(3, ST_INVALID);
        QCOMPARE(f.calls.callStation(text), !sent.isEmpty());
        QCOMPARE(f.transport.payloads(), sent);
        if (sent.isEmpty()) {
            QCOMPARE(f.ui.texts(), QStringList{"#:cannot_exe_call_op"});
            QCOMPARE(f.ui.shown.first().title, QStringLiteral("#:warning_title"));
        }
    }

    void outsideAndSpeedBinCalls()
    {
        Fixture f;
        f.setOwnStatus(STEXT_IDLE);
        // Only the digits, in order, after LOOP.
        QVERIFY(f.calls.callNumber(QStringLiteral("+49 (89) 1-0")));
        QCOMPARE(f.transport.payloads(), (Payloads{hex("0505 002d 00"), hex("81 06 93 98 97 98 90 99")}));
        f.transport.frames.clear();
        QVERIFY(f.calls.callSpeedBin(QStringLiteral("12")));
        QVERIFY(f.calls.callSpeedBin(QString()));
        QCOMPARE(f.transport.payloads(), Payloads{hex("81 03 64 90 91")});
        QVERIFY(f.ui.shown.isEmpty());

        f.transport.frames.clear();
        QVERIFY(!f.calls.callNumber(QStringLiteral("-")));
        f.setOwnStatus(STEXT_COL);
        QVERIFY(!f.calls.callNumber(QStringLiteral("123")));
        QVERIFY(!f.calls.callSpeedBin(QStringLiteral("12")));
        QVERIFY(f.transport.payloads().isEmpty());
        QCOMPARE(f.ui.texts(), QStringList(3, QStringLiteral("#:cannot_exe_call_op")));
    }

    void queueAnswers()
    {
        Fixture f;
        f.setOwnStatus(STEXT_IDLE);
        f.lines.setStatus(2, ST_INVALID);
        f.stations.setStatus(3, ST_INVALID);
        QVERIFY(f.calls.answerQueueEntry(QueueType::QLTN_TRK_XFER, 1));
        QVERIFY(f.calls.answerQueueEntry(QueueType::QLTN_EXT_RING, 2));
        QVERIFY(!f.calls.answerQueueEntry(QueueType::QLTN_TRK_INCOMING, 2)); // invalid line
        QVERIFY(!f.calls.answerQueueEntry(QueueType::QLTN_TRK_HOLD, 3));     // outside the table
        QVERIFY(!f.calls.answerQueueEntry(QueueType::QLTN_EXT_RING, 3));     // invalid station
        QVERIFY(!f.calls.answerQueueEntry(QueueType::None, 0));
        QCOMPARE(f.transport.payloads(), (Payloads{hex("0503 002d 0002"), dss(0x2e, 3)}));
        // The pop-up's pick-up holds the call in progress first.
        f.transport.frames.clear();
        QVERIFY(f.calls.pickUpQueueEntry(QueueType::QLTN_TRK_INCOMING, 0));
        f.setOwnStatus(STEXT_ICM);
        QVERIFY(f.calls.pickUpQueueEntry(QueueType::QLTN_TRK_INCOMING, 0));
        QCOMPARE(f.transport.payloads(), (Payloads{hex("0503 002f 0001"), H, hex("0503 002c 0001")}));
    }

    void paging()
    {
        Fixture f;
        Paging paging(f.link);
        QVERIFY(paging.zoneTexts().isEmpty());
        QVERIFY(!paging.pageInternalZone(0));
        int zones = 3;
        paging.setZoneCountQuery([&zones] { return zones; });
        QCOMPARE(paging.zoneTexts(),
                 (QStringList{"Internal Zone 1", "Internal Zone 2", "Internal Zone 3"}));
        for (int b = 0; b < Paging::ButtonCount; ++b)
            QVERIFY(paging.page(b));
        QVERIFY(paging.pageInternalZone(2));
        QVERIFY(!paging.pageInternalZone(3));
        QVERIFY(!paging.page(Paging::ButtonCount));
        QCOMPARE(f.transport.payloads(), (Payloads{hex("82 08 00"), hex("82 02 00"), hex("82 07 00"),
                                                   hex("82 04 00"), hex("82 05 00"), hex("82 06 00"),
                                                   hex("82 01 02")}));
        // A link that takes nothing: the page fails quietly.
        f.transport.accept = false;
        QVERIFY(!paging.page(Paging::AllZones));
        QVERIFY(f.ui.shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAttendantCalls)
#include "tst_attendant_calls.moc"
