#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusToolTip.h"
#include "base/MessageCatalogue.h"
#include "base/Trace.h"
#include "link/CLinkPort.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using Hints = QList<quint16>;

// Notes what reaches the directory and answers with a preset result.
struct StationWriter : StationDirectoryWriter
{
    bool writeStation(quint16 port, const std::optional<QString> &number, const std::optional<QString> &name) override
    {
        writes.append(QString::asprintf("%d:", port) + number.value_or(QStringLiteral("-")) + QLatin1Char(':')
                      + name.value_or(QStringLiteral("-")));
        return opens;
    }
    QStringList writes;
    bool opens = true;
};

struct CoWriter : CoDirectoryWriter
{
    bool writeCoLine(quint16 line, const std::optional<QString> &name, const std::optional<QString> &access,
                     const std::optional<QString> &retrieve) override
    {
        writes.append(QString::asprintf("%d:", line) + name.value_or(QStringLiteral("-")) + QLatin1Char(':')
                      + access.value_or(QStringLiteral("-")) + QLatin1Char(':')
                      + retrieve.value_or(QStringLiteral("-")));
        return opens;
    }
    QStringList writes;
    bool opens = true;
};

struct Tables
{
    Tables()
        : link(timers)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , tips(stations, lines, clock)
    {
        link.setLanConnection(&transport);
        stations.setCount(3);
        lines.setCount(4);
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CExtStatusList stations;
    CTrkStatusList lines;
    StatusToolTip tips;
};

// The trace window's two state switches, set for one test only.
struct StateSwitches
{
    StateSwitches(bool station, bool co)
    {
        Trace::switches().stationState = station;
        Trace::switches().coState = co;
    }
    ~StateSwitches()
    {
        Trace::switches().stationState = false;
        Trace::switches().coState = false;
    }
};

} // namespace

class TestStatusOperations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
    }

    void stationToolTip()
    {
        Tables t;
        StateSwitches sw(true, false);
        t.stations.setNumber(1, 0x0123);
        t.stations.setName(1, QStringLiteral("Reception"));
        t.stations.setFullName(1, QStringLiteral("Ann Lee"));
        t.stations.setStatus(1, Status::STEXT_IDLE_WITH_DND);
        t.clock.advanceMs(5000);
        t.stations.setStatus(1, Status::ST_RING);
        t.stations.setAssociatedParty(1, 2, 2);
        t.stations.setWakeup(1, 1, 7, 5);
        t.stations.setTempCos(1, 3);
        t.stations.setMeskState(1, 0x2A);
        // The hours restart after a day.
        t.clock.advanceMs((25 * 3600 + 2 * 60 + 3) * 1000);
        QCOMPARE(t.tips.station(1), QStringLiteral("Port: 002\r\nNumber: 123\r\nName: Reception\r\nFull name: Ann Lee"
                                                   "\r\nDo not disturb\r\nRinging (01:02:03)\r\nConnected to: CO  03"
                                                   "\r\nWake-up call (once) 07:05"
                                                   "\r\nTemporary class of service active\r\nMesk state: 2A"));

        // A station without number, out of service since the table was made,
        // talking to station 2; a party beyond its table shows no line.
        t.stations.setAssociatedParty(0, 1, 1);
        Trace::switches().stationState = false;
        QCOMPARE(t.tips.station(0), QStringLiteral("Port: 001\r\nNumber: ....\r\nOut of service (01:02:08)"
                                                   "\r\nConnected to: Station 123"));
        t.stations.setAssociatedParty(0, 1, 3);
        t.stations.setWakeup(0, 2, 23, 59);
        t.stations.setTempCos(0, 0);
        QCOMPARE(t.tips.station(0), QStringLiteral("Port: 001\r\nNumber: ....\r\nOut of service (01:02:08)"
                                                   "\r\nWake-up call (daily) 23:59"));
        QCOMPARE(t.tips.station(3), QString());
    }

    void coLineToolTip()
    {
        Tables t;
        StateSwitches sw(false, true);
        t.stations.setNumber(1, 0x0123);
        t.lines.setCodes(0x000081, 4, 0x000003, 1);
        t.lines.setStatus(2, Status::STTRK_IDLE_WITH_DISABLE);
        t.lines.setStatus(2, Status::ST_HOLD);
        t.lines.setAssociatedParty(2, 1, 1);
        t.lines.handleEvent(0x0403, hex("0403 04 0003 12 30"), 0);
        t.clock.advanceMs(10000);
        QCOMPARE(t.tips.coLine(2), QStringLiteral("CO line: 03\r\nAccess code: 83\r\nRetrieve code: ....\r\n"
                                                  "Outgoing calls disabled\r\nOn hold (00:00:10)\r\n"
                                                  "Connected to: Station 123\r\nCaller: 123\r\nMesk state: FF"));
        // Back to idle the caller goes out of sight; idle has no time line.
        t.lines.setStatus(2, Status::STTRK_IDLE);
        t.lines.setAssociatedParty(2, 3, 7);
        Trace::switches().coState = false;
        QCOMPARE(t.tips.coLine(2), QStringLiteral("CO line: 03\r\nAccess code: 83\r\nRetrieve code: ....\r\n"
                                                  "Outgoing calls disabled\r\nConnected to: Voice unit 07"));
        QCOMPARE(t.tips.coLine(0), QStringLiteral("CO line: 01\r\nAccess code: 81\r\nRetrieve code: 3\r\n"
                                                  "Out of service (00:00:10)"));
    }

    void refreshAsksByStatus_data()
    {
        QTest::addColumn<bool>("station");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("stateSwitch");
        QTest::addColumn<QList<QByteArray>>("sent");

        const QByteArray asc = hex("0301 0002");
        const QByteArray multi2 = hex("0308 0002");
        const QByteArray mesk = hex("0302 0002");
        QTest::newRow("idle station") << true << 0x40 << false << QList<QByteArray>{asc, multi2};
        QTest::newRow("with the state switch") << true << 0x40 << true << QList<QByteArray>{asc, multi2, mesk};
        QTest::newRow("ringing station") << true << 0x12 << false << QList<QByteArray>{asc};
        QTest::newRow("idle with ring") << true << 0x42 << false << QList<QByteArray>{asc};
        QTest::newRow("intercom") << true << 0x43 << false << QList<QByteArray>{asc};
        QTest::newRow("conference") << true << 0x44 << true << QList<QByteArray>{asc, mesk};

        const QByteArray tAsc = hex("0401 0002");
        const QByteArray tCaller = hex("0403 0002");
        const QByteArray tMesk = hex("0402 0002");
        QTest::newRow("busy line") << false << 0x10 << false << QList<QByteArray>{tAsc, tCaller};
        QTest::newRow("recalled line") << false << 0x82 << true << QList<QByteArray>{tAsc, tCaller, tMesk};
        QTest::newRow("ringing line") << false << 0x12 << false << QList<QByteArray>{tCaller};
        QTest::newRow("idle line") << false << 0x80 << false << QList<QByteArray>{};
        QTest::newRow("disabled line") << false << 0x83 << true << QList<QByteArray>{tMesk};
        QTest::newRow("line out of service") << false << 0x01 << false << QList<QByteArray>{};
    }

    void refreshAsksByStatus()
    {
        QFETCH(bool, station);
        QFETCH(int, status);
        QFETCH(bool, stateSwitch);
        QFETCH(QList<QByteArray>, sent);
        Tables t;
        StateSwitches sw(station && stateSwitch, !station && stateSwitch);
        if (station) {
            t.stations.setStatus(1, quint8(status));
            t.stations.setAssociatedParty(1, 1, 2);
            t.stations.setMeskState(1, 5);
            t.stations.setWakeup(1, 1, 6, 30);
            t.stations.setTempCos(1, 2);
            t.stations.refresh(1);
            const CExtStatus *r = t.stations.record(1);
            QCOMPARE(r->associatedKind, quint8(0xFF));
            QCOMPARE(r->meskState, quint8(0xFF));
            QCOMPARE(r->wakeupMode, quint8(0xFF));
            QCOMPARE(r->wakeupHour, quint8(0xFF));
            QCOMPARE(r->tempCos, quint8(0xFF));
        } else {
            t.lines.setStatus(1, quint8(status));
            t.lines.setAssociatedParty(1, 1, 2);
            t.lines.setMeskState(1, 5);
            t.lines.refresh(1);
            QCOMPARE(t.lines.record(1)->associatedKind, quint8(0xFF));
            QCOMPARE(t.lines.record(1)->meskState, quint8(0xFF));
        }
        QCOMPARE(t.transport.payloads(), sent);
    }

    void fullNamesFromTheDirectory()
    {
        Tables t;
        QSignalSpy changed(&t.stations, &CExtStatusList::recordChanged);
        t.stations.loadFullNames({{2, QStringLiteral("Ann"), QString(), QStringLiteral("Lee")},
                                  {0, QStringLiteral("Broken"), QString(), QString()},
                                  {0, QStringLiteral("Broken"), QString(), QString()},
                                  {9, QStringLiteral("Beyond"), QString(), QString()},
                                  {-1, QStringLiteral("Negative"), QString(), QString()},
                                  {1, QString(), QStringLiteral("Bo"), QString()}});
        QCOMPARE(t.stations.record(0)->fullName, QStringLiteral("Bo"));
        QCOMPARE(t.stations.record(1)->fullName, QStringLiteral("Ann Lee"));
        QCOMPARE(t.stations.record(2)->fullName, QString());
        QCOMPARE(t.ui.shown.size(), 1);
        QCOMPARE(t.ui.shown.at(0).text, QStringLiteral("Critical Error!!Please Check DB"));
        QCOMPARE(t.ui.shown.at(0).title, QString());
        QVERIFY(t.ui.shown.at(0).fixed);
        QCOMPARE(changed.size(), 0);
    }

    void stationWriteThrough()
    {
        Tables t;
        StationWriter writer;
        t.stations.setDirectoryWriter(&writer);
        t.stations.handleEvent(0x0303, hex("0303 0002 0A1B"), 0);
        t.stations.handleEvent(0x0304, hex("0304 03 0003 5A"), 0);
        t.stations.handleEvent(0x0305, hex("0305 05 0001 0012 41"), 0);
        t.stations.handleEvent(0x0309, hex("0309 06 0002 FC 0034 42"), 0);
        // Events of the status and the party write nothing.
        t.stations.handleEvent(0x0301, hex("0301 0002 01 0001"), 0);
        t.stations.handleEvent(0x0303, hex("0303 0009 0123"), 0);
        QCOMPARE(writer.writes, QStringList({"2:01*:-", "3:-:Z", "1:12:A", "2:34:B"}));
        QVERIFY(t.ui.shown.isEmpty());
    }

    // A download writes every station and line; a directory that cannot be
    // written tells the operator once per download, not once per record.
    void directoryFailuresAreShownOncePerDownload()
    {
        Tables t;
        const auto multi1 = [&t](char port) {
            QByteArray event = hex("0305 05 0000 0012 41");
            event[4] = port;
            t.stations.handleEvent(0x0305, event, 0);
        };
        // No directory wired to the table: nothing to tell.
        multi1(1);
        t.lines.setCodes(0x000081, 4, 0, 0);
        QVERIFY(t.ui.shown.isEmpty());

        TraceRecorder traces;
        t.stations.setDirectoryWriter(nullptr);
        t.lines.setDirectoryWriter(nullptr);
        for (char port = 1; port <= 3; ++port)
            multi1(port);
        StationWriter stationWriter;
        stationWriter.opens = false;
        t.stations.setDirectoryWriter(&stationWriter);
        t.stations.handleEvent(0x0303, hex("0303 0001 0012"), 0);
        t.stations.handleEvent(0x0304, hex("0304 03 0002 5A"), 0);
        QCOMPARE(t.ui.texts(), QStringList({"Cannot Open Station Database.", "Cannot Open Station Database Recordset."}));
        QCOMPARE(stationWriter.writes.size(), 2);
        // Every failure is traced, also those told only once.
        const QStringList failures = traces.texts().filter(QStringLiteral("Cannot Open"));
        QCOMPARE(failures.size(), 5);
        QCOMPARE(failures.at(2), QStringLiteral("Cannot Open Station Database. (Port = 3)"));
        // The next download tells again.
        t.stations.setCount(3);
        t.stations.handleEvent(0x0303, hex("0303 0001 0012"), 0);
        t.stations.handleEvent(0x0303, hex("0303 0002 0012"), 0);
        QCOMPARE(t.ui.texts().size(), 3);
        QCOMPARE(t.ui.shown.last().text, QStringLiteral("Cannot Open Station Database Recordset."));
        QCOMPARE(t.ui.shown.last().title, QString());
        QVERIFY(t.ui.shown.last().fixed);

        t.ui.clear();
        t.lines.setCoNameCount(1);
        t.lines.setCoName(0, QStringLiteral("LD"));
        t.lines.setCodes(0x000081, 4, 0, 0);
        QCOMPARE(t.ui.texts(), QStringList({"Cannot Open CO Database."}));
        CoWriter coWriter;
        coWriter.opens = false;
        t.lines.setDirectoryWriter(&coWriter);
        t.lines.handleEvent(0x0405, hex("0405 0001 0001"), 0);
        t.lines.handleEvent(0x0405, hex("0405 0002 0001"), 0);
        QCOMPARE(t.ui.texts(), QStringList({"Cannot Open CO Database.", "Cannot Open CO Database Recordset."}));
        coWriter.opens = true;
        t.lines.setCodes(0x000081, 1, 0x000003, 2);
        QCOMPARE(coWriter.writes.mid(2), QStringList({"1:-:81:3", "2:-::4", "3:-::", "4:-::"}));
        QCOMPARE(coWriter.writes.first(), QStringLiteral("1:LD:-:-"));
        t.lines.setCount(4);
        coWriter.opens = false;
        t.lines.setCodes(0x000081, 1, 0, 0);
        QCOMPARE(t.ui.texts().size(), 3);
    }

    void eventTracesAndHints_data()
    {
        QTest::addColumn<bool>("station");
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<QString>("trace");
        QTest::addColumn<Hints>("hints");

        const Hints none;
        const Hints identity{HINT_IDENTITY};
        QTest::newRow("EXTI_Asc") << true << hex("0301 0002 02 0005") << "EXTI_Asc:2,02.005," << none;
        QTest::newRow("EXTI_MeskState") << true << hex("0302 0002 7F") << "EXTI_MeskState:2,7F." << none;
        QTest::newRow("EXTI_Number") << true << hex("0303 0002 0123") << "EXTI_Number:  2, 123." << identity;
        QTest::newRow("EXTI_Name ends at a zero byte")
            << true << hex("0304 05 0002 42 00 43") << "EXTI_Name:B" << identity;
        QTest::newRow("EXTI_Multi1") << true << hex("0305 06 0002 0123 41 42") << "EXTI_Multi1:  2, 123.:AB"
                                     << Hints{HINT_IDENTITY, HINT_IDENTITY};
        QTest::newRow("EXTI_Multi2") << true << hex("0308 0002 01 07 05 03") << "EXTI_Multi2(2,):Wakeup(1,7:5):COS(3)"
                                     << none;
        QTest::newRow("EXTI_Multi3") << true << hex("0309 07 0002 FF 0123 41 42") << "EXTI_Multi3:  2, 123.FF:AB"
                                     << Hints{HINT_IDENTITY, HINT_IDENTITY};
        QTest::newRow("station status list") << true << hex("83 06 0002 10 0002 10") << QString() << Hints{HINT_STATUS};
        QTest::newRow("empty status list") << true << hex("83 00 0002 10") << QString() << none;
        QTest::newRow("TRKI_Asc") << false << hex("0401 0001 01 0002") << "TRKI_Asc:1,01.002," << none;
        QTest::newRow("TRKI_MeskState") << false << hex("0402 0001 33") << "TRKI_MeskState:1,33." << none;
        QTest::newRow("TRKI_CallerId") << false << hex("0403 04 0001 12 30") << "TRKI_CallerId:1,123" << none;
        QTest::newRow("TRKI_CoName") << false << hex("0404 04 0001 43 4F") << "TRKI_CoName:1,CO" << none;
        QTest::newRow("TRKI_CoNameBin") << false << hex("0405 0001 0002") << "TRKI_CoNameBin:1,02." << none;
        QTest::newRow("CO status list") << false << hex("84 03 0002 80") << QString() << Hints{HINT_STATUS};
    }

    void eventTracesAndHints()
    {
        QFETCH(bool, station);
        QFETCH(QByteArray, event);
        QFETCH(QString, trace);
        QFETCH(Hints, hints);
        Tables t;
        t.lines.setCoNameCount(2);
        StationWriter stationWriter;
        CoWriter coWriter;
        t.stations.setDirectoryWriter(&stationWriter);
        t.lines.setDirectoryWriter(&coWriter);
        TraceRecorder traces;
        Hints seen;
        const auto note = [&seen](quint16 index, quint16 hint) { seen.append(index == 1 ? hint : 0); };
        connect(&t.stations, &CExtStatusList::recordChanged, this, note);
        connect(&t.lines, &CTrkStatusList::recordChanged, this, note);
        const quint8 first = quint8(event.at(0));
        const quint16 code = first >= 0x80 ? first : quint16((first << 8) | quint8(event.at(1)));
        EventHandler &handler = station ? static_cast<EventHandler &>(t.stations) : t.lines;
        handler.handleEvent(code, event, 0);
        QCOMPARE(traces.texts(), trace.isEmpty() ? QStringList() : QStringList{trace});
        QCOMPARE(seen, hints);
    }
};

QTEST_GUILESS_MAIN(TestStatusOperations)
#include "tst_status_operations.moc"
