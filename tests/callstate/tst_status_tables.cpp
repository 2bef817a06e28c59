#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"

#include <QSignalSpy>
#include <QTest>

using Codes = QList<quint8>;

namespace {

// Both tables on one link whose frames a FakeTransport keeps, and a clock
// that only moves when told.
struct Tables
{
    Tables()
        : link(timers)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
    {
        link.setLanConnection(&transport);
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CExtStatusList stations;
    CTrkStatusList lines;
};

quint32 flagsOf(bool dnd, bool disabled)
{
    return (dnd ? CPortStatus::DND : 0u) | (disabled ? CPortStatus::OutgoingDisabled : 0u);
}

} // namespace

class TestStatusTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stationStatusRules_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<quint32>("flags");
        // Index of the code whose arrival set the status start time last.
        QTest::addColumn<int>("startedAt");
        QTest::addColumn<int>("hints");

        QTest::newRow("idle with DND") << Codes{0x40, 0x41} << flagsOf(true, false) << 0 << 2;
        QTest::newRow("idle right after DND clears it") << Codes{0x41, 0x40} << flagsOf(false, false) << 0 << 2;
        QTest::newRow("idle right after busy clears it") << Codes{0x41, 0x10, 0x40} << flagsOf(false, false) << 2 << 3;
        QTest::newRow("an intercom call keeps DND") << Codes{0x40, 0x41, 0x43, 0x40} << flagsOf(true, false) << 3 << 4;
        QTest::newRow("ringing keeps DND") << Codes{0x41, 0x42, 0x40} << flagsOf(true, false) << 2 << 3;
        QTest::newRow("a repeated code changes nothing") << Codes{0x10, 0x10, 0x10} << flagsOf(false, false) << 0 << 1;
        QTest::newRow("busy after idle restarts the time") << Codes{0x40, 0x10} << flagsOf(false, false) << 1 << 2;
    }

    void stationStatusRules()
    {
        QFETCH(Codes, codes);
        QFETCH(quint32, flags);
        QFETCH(int, startedAt);
        QFETCH(int, hints);
        Tables t;
        t.stations.setCount(3);
        QSignalSpy changed(&t.stations, &CExtStatusList::recordChanged);
        const QDateTime begin = t.clock.now();
        for (const quint8 code : codes) {
            t.clock.advanceMs(1000);
            t.stations.setStatus(1, code);
        }
        const CExtStatus *r = t.stations.record(1);
        QCOMPARE(r->status, codes.last());
        QCOMPARE(r->flags, flags);
        QCOMPARE(r->statusStart, begin.addMSecs(1000 * (startedAt + 1)));
        QCOMPARE(changed.size(), hints);
        QCOMPARE(changed.first().at(0).value<quint16>(), quint16(1));
        QCOMPARE(changed.first().at(1).value<quint16>(), HINT_STATUS);
        QCOMPARE(t.stations.record(0)->status, Status::ST_INVALID);
    }

    void lineStatusRules_data()
    {
        QTest::addColumn<Codes>("codes");
        QTest::addColumn<quint32>("flags");
        QTest::addColumn<int>("startedAt");
        // Hold entries placed (+) and withdrawn (-), in order.
        QTest::addColumn<QString>("holds");

        QTest::newRow("outgoing disabled") << Codes{0x80, 0x83} << flagsOf(false, true) << 1 << QString();
        QTest::newRow("idle right after disable clears it") << Codes{0x83, 0x80} << flagsOf(false, false) << 1 << QString();
        QTest::newRow("busy in between keeps it") << Codes{0x83, 0x10, 0x80} << flagsOf(false, true) << 2 << QString();
        QTest::newRow("hold, recalls, busy") << Codes{0x80, 0x11, 0x81, 0x82, 0x10} << flagsOf(false, false) << 4
                                             << QStringLiteral("+-");
        QTest::newRow("recall to recall keeps the time") << Codes{0x11, 0x81, 0x82} << flagsOf(false, false) << 1
                                                         << QStringLiteral("+");
        QTest::newRow("a recall is no new hold") << Codes{0x80, 0x81, 0x11} << flagsOf(false, false) << 2 << QString();
    }

    void lineStatusRules()
    {
        QFETCH(Codes, codes);
        QFETCH(quint32, flags);
        QFETCH(int, startedAt);
        QFETCH(QString, holds);
        Tables t;
        t.lines.setCount(2);
        QString seen;
        connect(&t.lines, &CTrkStatusList::queueEvent, this, [&seen](const CQueueEvent &e) {
            const bool ok = e.index == 1 && e.type == QueueType::QLTN_TRK_HOLD && e.description.isEmpty();
            seen += ok ? (e.add ? '+' : '-') : '?';
        });
        const QDateTime begin = t.clock.now();
        for (const quint8 code : codes) {
            t.clock.advanceMs(1000);
            t.lines.setStatus(1, code);
        }
        const CTrkStatus *r = t.lines.record(1);
        QCOMPARE(r->status, codes.last());
        QCOMPARE(r->flags, flags);
        QCOMPARE(r->statusStart, begin.addMSecs(1000 * (startedAt + 1)));
        QCOMPARE(seen, holds);
    }

    void eventLengths_data()
    {
        QTest::addColumn<bool>("station");
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<int>("consumed");

        QTest::newRow("status list") << true << hex("83 06 0001 10 0002 40") << 8;
        QTest::newRow("empty status list") << true << hex("83 00") << 2;
        QTest::newRow("status list without its length") << true << hex("83") << 0xFFFF;
        QTest::newRow("status list longer than the packet") << true << hex("83 09 0001 10") << 11;
        QTest::newRow("name below its minimum") << true << hex("0304 00 0001 41") << 5;
        QTest::newRow("name without its length") << true << hex("0304") << 0xFFFF;
        QTest::newRow("short wake-up") << true << hex("0308 0001 01") << 8;
        QTest::newRow("CO line event on the station table") << true << hex("0405 0001 0001") << 0xFFFF;
        QTest::newRow("CO status list") << false << hex("84 03 0001 80 00") << 5;
        QTest::newRow("CO name") << false << hex("0404 05 0001 434F31") << 8;
        QTest::newRow("station event on the CO table") << false << hex("0303 0001 0123") << 0xFFFF;
    }

    void eventLengths()
    {
        QFETCH(bool, station);
        QFETCH(QByteArray, packet);
        QFETCH(int, consumed);
        Tables t;
        t.stations.setCount(2);
        t.lines.setCount(2);
        const quint16 code = quint8(packet.at(0)) >= 0x80
            ? quint16(quint8(packet.at(0)))
            : quint16((quint8(packet.at(0)) << 8) | (packet.size() > 1 ? quint8(packet.at(1)) : 0));
        EventHandler &handler = station ? static_cast<EventHandler &>(t.stations) : t.lines;
        QCOMPARE(int(handler.handleEvent(code, hex("FFFF") + packet, 2)), consumed);
    }

    void stationEvents()
    {
        Tables t;
        t.stations.setCount(4);
        QList<int> progress;
        t.stations.setProgressReceiver([&progress](int p) { progress.append(p); });

        // Ports are 1-based; a trailing group shorter than an entry is no entry,
        // even when the packet goes on beyond the declared length.
        t.stations.handleEvent(0x83, hex("83 05 0001 10 0004 41"), 0);
        QCOMPARE(t.stations.record(0)->status, Status::ST_BUSY);
        QCOMPARE(t.stations.record(3)->status, Status::ST_INVALID);

        t.stations.handleEvent(0x0309, hex("0309 0A 0003 FF 0A1B 4E 41 00 5A 5A"), 0);
        const CExtStatus *r = t.stations.record(2);
        QCOMPARE(r->presence, quint8(0xFF));
        QCOMPARE(r->numberText(), QStringLiteral("01*"));
        QCOMPARE(r->name, QStringLiteral("NA"));
        QVERIFY(r->infoReceived);
        QCOMPARE(t.stations.count(true), quint16(3));
        QCOMPARE(progress, QList<int>{50});

        t.stations.handleEvent(0x0304, hex("0304 04 0002 42 00 43"), 0);
        QCOMPARE(t.stations.record(1)->name, QStringLiteral("B"));
        t.stations.handleEvent(0x0303, hex("0303 0002 0000"), 0);
        QCOMPARE(t.stations.record(1)->numberText(), QString());
        t.stations.handleEvent(0x0301, hex("0301 0002 02 0005"), 0);
        QCOMPARE(t.stations.record(1)->associatedKind, quint8(2));
        QCOMPARE(t.stations.record(1)->associatedIndex, quint16(4));

        // Port 0 and ports beyond the table address nothing.
        t.stations.handleEvent(0x0305, hex("0305 05 0000 0123 58"), 0);
        t.stations.handleEvent(0x0305, hex("0305 05 0005 0123 58"), 0);
        t.stations.handleEvent(0x83, hex("83 03 0000 10"), 0);
        for (quint16 i = 0; i < 4; ++i)
            QVERIFY(t.stations.record(i)->name != QStringLiteral("X"));
        QCOMPARE(progress, QList<int>{50});
        QCOMPARE(t.stations.record(4), nullptr);
    }

    void lineEvents()
    {
        Tables t;
        t.lines.setCount(3);
        t.lines.setCoNameCount(2);
        QList<int> names;
        QList<int> lineProgress;
        t.lines.setNameProgressReceiver([&names](int p) { names.append(p); });
        t.lines.setLineProgressReceiver([&lineProgress](int p) { lineProgress.append(p); });

        t.lines.handleEvent(0x0403, hex("0403 04 0001 12 30"), 0);
        QCOMPARE(t.lines.record(0)->callerId, QStringLiteral("123"));
        t.lines.handleEvent(0x0403, hex("0403 03 0001 BC"), 0);
        QCOMPARE(t.lines.record(0)->callerId, QStringLiteral("*#"));

        QVERIFY(!t.lines.allCoNamesReceived());
        t.lines.handleEvent(0x0404, hex("0404 06 0002 4C 44 00 5A"), 0);
        t.lines.handleEvent(0x0404, hex("0404 05 0003 5A 5A 5A"), 0);
        QCOMPARE(t.lines.coNameText(2), QStringLiteral("LD"));
        QCOMPARE(t.lines.coNameText(1), QString());
        QCOMPARE(t.lines.coNameText(0), QString());
        QCOMPARE(t.lines.coNameText(3), QString());
        QCOMPARE(names, QList<int>{50});

        t.lines.handleEvent(0x0405, hex("0405 0003 0002"), 0);
        QCOMPARE(t.lines.record(2)->coNameNumber, quint16(2));
        QVERIFY(t.lines.record(2)->infoReceived);
        t.lines.handleEvent(0x0405, hex("0405 0004 0001"), 0);
        QCOMPARE(lineProgress, QList<int>{66});
        QVERIFY(!t.lines.allInfoReceived());

        // A new download starts every name over.
        t.lines.setCoNameCount(2);
        QCOMPARE(t.lines.coNameText(2), QString());
    }

    void codesPlusOffset_data()
    {
        QTest::addColumn<quint32>("base");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("code");

        QTest::newRow("81 + 0") << quint32(0x000081) << 0 << QStringLiteral("81");
        QTest::newRow("81 + 5") << quint32(0x000081) << 5 << QStringLiteral("86");
        QTest::newRow("81 + 18 is the last that fits") << quint32(0x000081) << 18 << QStringLiteral("99");
        QTest::newRow("81 + 19 does not fit") << quint32(0x000081) << 19 << QString();
        QTest::newRow("zero digits carry") << quint32(0x0000A9) << 1 << QStringLiteral("10");
        QTest::newRow("a star restarts the run") << quint32(0x1B0019) << 2 << QStringLiteral("1*21");
        QTest::newRow("unused bits 12-15") << quint32(0x00F081) << 1 << QStringLiteral("82");
        QTest::newRow("no digits") << quint32(0) << 0 << QString();
    }

    void codesPlusOffset()
    {
        QFETCH(quint32, base);
        QFETCH(int, offset);
        QFETCH(QString, code);
        QCOMPARE(Nibbles::toText(CTrkStatusList::numberPlusOffset(base, offset)), code);
    }

    void accessCodesFollowTheCounts()
    {
        Tables t;
        t.lines.setCount(25);
        t.lines.setCodes(0x000081, 25, 0x000003, 2);
        QCOMPARE(t.lines.record(0)->numberText(), QStringLiteral("81"));
        QCOMPARE(t.lines.record(18)->numberText(), QStringLiteral("99"));
        QCOMPARE(t.lines.record(19)->numberText(), QString());
        QCOMPARE(Nibbles::toText(t.lines.record(1)->retrieveCode), QStringLiteral("4"));
        QCOMPARE(t.lines.record(2)->retrieveCode, QByteArray());
    }

    void missingInfoIsAskedInPasses()
    {
        Tables t;
        t.stations.setCount(50);
        t.lines.setCount(50);
        for (quint16 i = 0; i < 50; i += 2) {
            t.stations.setInfoReceived(i, true);
            t.lines.setInfoReceived(i, true);
        }
        QCOMPARE(t.stations.requestMissingInfo(), 10);
        QCOMPARE(t.lines.requestMissingInfo(), 20);
        const QList<QByteArray> sent = t.transport.payloads();
        QCOMPARE(sent.size(), 3);
        // The odd indexes lack their information: ports 2, 4, ..., 20 first.
        const quint16 item = InfoBatch::stationItemCode(t.link.pbxVersion());
        QByteArray stationsAsked;
        for (quint16 port = 2; port <= 20; port += 2)
            stationsAsked += QByteArray() + char(item >> 8) + char(item & 0xFF) + char(0) + char(port);
        QCOMPARE(sent.at(0), stationsAsked);
        // Twenty lines go out as requests of at most fifteen items.
        QCOMPARE(sent.at(1).size(), 15 * 4);
        QCOMPARE(sent.at(2), hex("0405 0020 0405 0022 0405 0024 0405 0026 0405 0028"));
        for (quint16 i = 1; i < 50; i += 2) {
            t.stations.setInfoReceived(i, true);
            t.lines.setInfoReceived(i, true);
        }
        QVERIFY(t.stations.allInfoReceived());
        QCOMPARE(t.stations.requestMissingInfo(), 0);
        QCOMPARE(t.lines.requestMissingInfo(), 0);
        QCOMPARE(t.transport.payloads().size(), 3);
    }

    void coNamesAreAskedOneByOne()
    {
        Tables t;
        t.lines.setCoNameCount(3);
        t.lines.setCoName(0, QStringLiteral("A"));
        QVERIFY(t.lines.requestNextCoName());
        // A line named "@" by the PBX is no name still missing.
        t.lines.setCoName(1, QStringLiteral("@"));
        QCOMPARE(t.lines.coNameText(2), QString());
        t.lines.setCoName(2, QStringLiteral("C"));
        t.lines.setCoName(3, QStringLiteral("beyond"));
        QVERIFY(!t.lines.requestNextCoName());
        QCOMPARE(t.transport.payloads(), QList<QByteArray>{hex("0404 0002")});
        QVERIFY(t.lines.allCoNamesReceived());
    }
};

QTEST_GUILESS_MAIN(TestStatusTables)
#include "tst_status_tables.moc"
