#include "FakeTransport.h"
#include "Recorders.h"

#include "link/LinkDispatcher.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "link/SpeedBinRecord.h"

#include <QTest>

namespace {

struct LogSink : LogEventSink
{
    QStringList calls;
    void onLogOnAck() override { calls << "ack"; }
    void onLogOnNak(quint8 reason) override { calls << QString("nak:%1").arg(reason); }
    void onLogOffAck() override { calls << "offack"; }
    void onLogOffNak() override { calls << "offnak"; }
    void onLogOnState() override { calls << "onstate"; }
    void onLogOffState() override { calls << "offstate"; }
    void onVersion(quint32 v) override { calls << QString::asprintf("version:%08X", v); }
    void onPacketMissReport() override { calls << "miss"; }
    void onLifeTime(quint32 v) override { calls << QString::asprintf("life:%08X", v); }
    void onPing() override { calls << "ping"; }
};

struct InfoSink : SysInfoSink
{
    QStringList calls;
    void onStationCount(quint16 n) override { calls << QString("stations:%1").arg(n); }
    void onLineCount(quint16 n) override { calls << QString("lines:%1").arg(n); }
    void onCodeBases(quint32 a, quint16 ac, quint32 r, quint16 rc) override
    {
        calls << QString::asprintf("bases:%X,%d,%X,%d", a, ac, r, rc);
    }
    void onOwnStation(quint16 s) override { calls << QString("own:%1").arg(s); }
    void onMpbShortVersion(const QString &v) override { calls << "short:" + v; }
    void onMpbLongVersion(const QString &v) override { calls << "long:" + v; }
    void onNation(quint16 c, const QString &t) override { calls << QString::asprintf("nation:%04X:", c) + t; }
    void onCoNameCount(quint8 n) override { calls << QString("conames:%1").arg(n); }
    void onPagingNumber(quint8 n) override { calls << QString("paging:%1").arg(n); }
    void onSpeedBinRange(quint16 f, quint16 l) override { calls << QString("range:%1-%2").arg(f).arg(l); }
    void onPbxTime(const QDateTime &t) override { calls << "time:" + t.toString(Qt::ISODate); }
    void onAdministration(quint16 c) override { calls << QString::asprintf("adm:%04X", c); }
    void onSpeedBinEmpty(quint16 b) override { calls << QString("empty:%1").arg(b); }
    void onSpeedBinRecord(const SpeedBinRecord &r) override
    {
        calls << QString("bin:%1:%2:%3:%4:%5").arg(r.bin).arg(r.coType).arg(r.coNumber).arg(r.number, r.name);
    }
};

struct KeySink : KeyTelephoneSink
{
    QList<QByteArray> commands;
    void displayCommand(quint8 a, quint8 b, quint8 c) override
    {
        commands.append(QByteArray() + char(a) + char(b) + char(c));
    }
};

// Claims a fixed size for every code of its class, noting what it saw.
struct FixedHandler : EventHandler
{
    quint16 size = 3;
    QList<int> codes;
    quint16 handleEvent(quint16 code, const QByteArray &, int) override
    {
        codes.append(code);
        return size;
    }
};

} // namespace

class TestDispatch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_log = std::make_unique<LogSink>();
        m_info = std::make_unique<InfoSink>();
        m_keys = std::make_unique<KeySink>();
        m_logDecoder = std::make_unique<LogEventDecoder>(m_log.get());
        m_infoDecoder = std::make_unique<SysInfoDecoder>(m_info.get());
        m_dispatch = std::make_unique<LinkDispatcher>();
        m_dispatch->routes().log = m_logDecoder.get();
        m_dispatch->routes().sysInfo = m_infoDecoder.get();
        m_dispatch->routes().keyTelephone = m_keys.get();
        m_loggedOn = true;
        m_payloads = 0;
        m_dispatch->setLoggedOnQuery([this] { return m_loggedOn; });
        m_dispatch->setPayloadObserver([this] { ++m_payloads; });
        Trace::switches().clearAll();
    }

    void twoEventsInOnePayloadApplyInOrder()
    {
        m_loggedOn = false;
        m_dispatch->dispatch(hex("00 01 00 08 00 01 01 03"));
        QCOMPARE(m_log->calls, QStringList({"ack", "version:00010103"}));
        QCOMPARE(m_payloads, 1);
    }

    void beforeLogOnOnlyLogPayloadsAreTaken()
    {
        m_loggedOn = false;
        m_dispatch->dispatch(hex("01 01 00 30"));
        m_dispatch->dispatch(hex("86 02 41 42"));
        QVERIFY(m_info->calls.isEmpty());
        QCOMPARE(m_payloads, 2); // every payload still counts as link activity
        // A LOG payload may carry other events after it.
        m_dispatch->dispatch(hex("00 06 01 01 00 30"));
        QCOMPARE(m_log->calls, QStringList{"onstate"});
        QCOMPARE(m_info->calls, QStringList{"stations:48"});
    }

    void logEvents_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QStringList>("trace");
        QTest::newRow("ack") << hex("00 01") << QStringList{"ack"} << QStringList{"LOG_ON_ACK"};
        QTest::newRow("nak") << hex("00 02 07") << QStringList{"nak:7"} << QStringList{"LOG_ON_NAK", "LOG_ON_NAK reason:07"};
        QTest::newRow("off ack") << hex("00 03") << QStringList{"offack"} << QStringList{"LOG_OFF_ACK"};
        QTest::newRow("off nak") << hex("00 04") << QStringList{"offnak"} << QStringList{"LOG_OFF_NAK"};
        QTest::newRow("on state") << hex("00 06") << QStringList{"onstate"} << QStringList{"LOG_ON_STATE"};
        QTest::newRow("off state") << hex("00 07") << QStringList{"offstate"} << QStringList{"LOG_OFF_STATE"};
        QTest::newRow("version") << hex("00 08 12 34 56 78") << QStringList{"version:12345678"} << QStringList{"LOG_Version:12345678"};
        QTest::newRow("miss") << hex("00 09") << QStringList{"miss"} << QStringList{"LOG_PacketMissRep"};
        QTest::newRow("life time") << hex("00 0C 00 00 01 00") << QStringList{"life:00000100"} << QStringList{"LOG_LifeTime:00000100"};
        QTest::newRow("ping") << hex("00 0E") << QStringList{"ping"} << QStringList{"PING_RECEIVE_FROM_Varo"};
        // Too short: passed over as two bytes, then 56 78 is an unknown class.
        QTest::newRow("short version") << hex("00 08 56 78") << QStringList()
                                       << QStringList{"Unknown:56. or 5678"};
        QTest::newRow("short nak") << hex("00 02") << QStringList() << QStringList();
        QTest::newRow("unknown log code") << hex("00 05 00 01") << QStringList() << QStringList{"Unknown:00. or 0005"};
    }
    void logEvents()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, calls);
        QFETCH(QStringList, trace);
        TraceRecorder recorder;
        m_dispatch->dispatch(payload);
        QCOMPARE(m_log->calls, calls);
        QCOMPARE(recorder.texts(), trace);
    }

    void sysInfoReplies_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("trace");
        QTest::newRow("stations") << hex("01 01 07 D0") << QStringList{"stations:2000"} << "SYSI_EXTNums:2000,";
        QTest::newRow("lines") << hex("01 02 01 90") << QStringList{"lines:400"} << "SYSI_TRKNums:400,";
        QTest::newRow("bases") << hex("01 04 00 00 81 00 10 00 00 82 00 08") << QStringList{"bases:81,16,82,8"}
                               << "TRKBASENumber:    81.16,    82. 8,";
        QTest::newRow("own") << hex("01 05 00 01") << QStringList{"own:1"} << "SYSI_MyID:1,";
        QTest::newRow("short version") << hex("01 07 41 42 43 44 45 46") << QStringList{"short:ABCDEF"} << "SYSI_MpbVerS:ABCDEF,";
        QTest::newRow("long version") << hex("01 08 04 56 32 2E 31") << QStringList{"long:V2.1"} << "SYSI_MpbVerL:V2.1";
        QTest::newRow("long version stops at zero") << hex("01 08 04 56 00 2E 31") << QStringList{"long:V"} << "SYSI_MpbVerL:V";
        QTest::newRow("nation") << hex("01 09 04 00 31 44 45") << QStringList{"nation:0031:DE"} << "SYSI_MpbNation:[0031]DE";
        QTest::newRow("co names") << hex("01 0A 10") << QStringList{"conames:16"} << "SYSI_CoNameNum:16";
        QTest::newRow("paging") << hex("01 0B 03") << QStringList{"paging:3"} << "SYSI_IntPageNum:3,";
        QTest::newRow("range") << hex("01 0C 07 D0 08 33") << QStringList{"range:2000-2099"} << "SPDI_SysRange:2000,2099";
        QTest::newRow("time") << hex("01 0D 1A 0C 08 00 09 1E 05") << QStringList{"time:2026-12-08T09:30:05"} << QString();
        QTest::newRow("adm enable") << hex("06 01") << QStringList{"adm:0601"} << "ADM Enalbe";
        QTest::newRow("adm invalid") << hex("06 05") << QStringList{"adm:0605"} << "ADM Invalid Sta No";
        QTest::newRow("empty bin") << hex("0A 01 00 05") << QStringList{"empty:5"} << "SPDI_Empty:5";
        QTest::newRow("bin record") << hex("0A 02 09 00 05 01 03 A1 23 00 41 42") << QStringList{"bin:5:1:3:0123:AB"}
                                    << "SPDI_Rep:5,: [CoType L03 ], Number:0123,[name:AB] ";
        // A fixed-size reply that the payload does not hold whole is passed over.
        QTest::newRow("truncated fixed") << hex("01 04 00 00 81") << QStringList() << QString();
        QTest::newRow("truncated then more") << hex("01 01 00") << QStringList() << QString();
        // Variable size: no size byte is unknown; a size byte beyond the payload is passed over.
        QTest::newRow("variable without size byte") << hex("01 08") << QStringList() << "Unknown:01. or 0108";
        QTest::newRow("variable beyond payload") << hex("01 08 20 41") << QStringList() << QString();
        QTest::newRow("record below minimum size") << hex("0A 02 00 00 05 00 00 01 01 00") << QStringList{"bin:5:0:0::"}
                                                   << "SPDI_Rep:5,: [CoType  ], Number:,[name:] ";
        QTest::newRow("unknown 0103") << hex("01 03 00") << QStringList() << "Unknown:01. or 0103";
        QTest::newRow("unknown 0106") << hex("01 06") << QStringList() << "Unknown:01. or 0106";
    }
    void sysInfoReplies()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QStringList, calls);
        QFETCH(QString, trace);
        TraceRecorder recorder;
        m_dispatch->dispatch(payload);
        QCOMPARE(m_info->calls, calls);
        if (!trace.isEmpty())
            QCOMPARE(recorder.texts().value(0), trace);
        else if (calls.isEmpty())
            QCOMPARE(recorder.texts(), QStringList());
    }

    void unknownClassEndsPayloadAfterEarlierEvents()
    {
        TraceRecorder recorder;
        m_dispatch->dispatch(hex("00 01 42 17 00 03"));
        QCOMPARE(m_log->calls, QStringList{"ack"});
        QCOMPARE(recorder.texts(), QStringList({"LOG_ON_ACK", "Unknown:42. or 4217"}));
    }

    void singleByteAtEndKeepsPreviousCode()
    {
        TraceRecorder recorder;
        m_dispatch->dispatch(hex("00 01 77"));
        QCOMPARE(recorder.texts().last(), QStringLiteral("Unknown:77. or 0001"));
    }

    void unattachedRoutesAreUnknown()
    {
        TraceRecorder recorder;
        m_dispatch->dispatch(hex("03 01 00 01"));
        m_dispatch->dispatch(hex("83 03 00 01 10"));
        QCOMPARE(recorder.texts(), QStringList({"Unknown:03. or 0301", "Unknown:83. or 8303"}));
    }

    void routesByClass()
    {
        FixedHandler stations, lines, calls, programming;
        m_dispatch->routes().stations = &stations;
        m_dispatch->routes().coLines = &lines;
        m_dispatch->routes().attendantCalls = &calls;
        m_dispatch->routes().programming = &programming;
        m_dispatch->dispatch(hex("03 01 00 83 01 02 04 02 00 84 00 00 08 01 00 85 00 00 09 03 00"));
        QCOMPARE(stations.codes, (QList<int>{0x0301, 0x83}));
        QCOMPARE(lines.codes, (QList<int>{0x0402, 0x84}));
        QCOMPARE(calls.codes, (QList<int>{0x0801, 0x85}));
        QCOMPARE(programming.codes, (QList<int>{0x0903}));
    }

    void keyTelephoneCommands()
    {
        TraceRecorder recorder;
        Trace::switches().pktuCommand = true;
        m_dispatch->dispatch(hex("82 4F 41 42 82 10 02 03 82 01"));
        QCOMPARE(m_keys->commands, (QList<QByteArray>{hex("4F 41 42"), hex("10 02 03")}));
        QCOMPARE(recorder.texts(), QStringList({"MY_SINGLE_PKTU_COMMAND:4f.A.B.", "MY_SINGLE_PKTU_COMMAND:10.02.03."}));
        QCOMPARE(recorder.lines.first().first, 4);
    }

    void debugText()
    {
        TraceRecorder recorder;
        m_dispatch->dispatch(hex("86 02 48 49 00 01"));
        QCOMPARE(recorder.texts(), QStringList({"DBGI:HI", "LOG_ON_ACK"}));
        QCOMPARE(recorder.lines.first().first, 0);
        recorder.clear();
        m_dispatch->dispatch(hex("86 09 48"));
        QCOMPARE(recorder.texts(), QStringList());
        m_dispatch->dispatch(hex("00 01 86"));
        QCOMPARE(recorder.texts().last(), QStringLiteral("Unknown:86. or 0001"));
    }

    void rxSwitchTracesEventBytes()
    {
        TraceRecorder recorder;
        Trace::switches().rxAll = true;
        m_dispatch->dispatch(hex("01 0A 10 82 10 02 03"));
        // Key-telephone commands (class 0x82 and above) are not dumped.
        QCOMPARE(recorder.texts(), QStringList({"SYSI_CoNameNum:16", "01.0a.10.", "MY_SINGLE_PKTU_COMMAND:10.02.03."}));
    }

    void emptyPayload()
    {
        m_dispatch->dispatch(QByteArray());
        QCOMPARE(m_payloads, 1);
        QVERIFY(m_log->calls.isEmpty());
    }

private:
    std::unique_ptr<LogSink> m_log;
    std::unique_ptr<InfoSink> m_info;
    std::unique_ptr<KeySink> m_keys;
    std::unique_ptr<LogEventDecoder> m_logDecoder;
    std::unique_ptr<SysInfoDecoder> m_infoDecoder;
    std::unique_ptr<LinkDispatcher> m_dispatch;
    bool m_loggedOn = true;
    int m_payloads = 0;
};

QTEST_GUILESS_MAIN(TestDispatch)
#include "tst_dispatch.moc"
