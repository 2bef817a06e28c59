#include "PbxHarness.h"

#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"
#include "link/LinkDispatcher.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "link/LinkTransport.h"
#include "link/SpeedBinRecord.h"
#include "ManualTimerHost.h"

#include <QElapsedTimer>
#include <QMap>
#include <QTest>

using namespace pbxsim;

namespace {

// The console's LAN transport, looped into the PBX session.
class LoopTransport : public LinkTransport
{
public:
    bool isOpen() const override { return true; }
    bool sendFrame(const QByteArray &frame) override
    {
        toPbx += frame;
        return true;
    }
    QByteArray toPbx;
};

struct StationInfo
{
    quint16 code = 0;
    quint8 presence = 0;
    quint16 number = 0;
    QString name;
};

// What the console learns, decoded by its own decoders where they exist and
// by the layouts of the station and CO line events otherwise.
class Console : public LogEventSink, public SysInfoSink
{
public:
    Console(PbxHarness &pbx)
        : m_pbx(pbx)
        , link(timers)
        , log(this)
        , sysInfo(this)
    {
        link.setLanConnection(&lan);
        link.setVersionSource([this] { return version; });
        dispatcher.routes().log = &log;
        dispatcher.routes().sysInfo = &sysInfo;
        dispatcher.routes().stations = &stationEvents;
        dispatcher.routes().coLines = &lineEvents;
        dispatcher.setLoggedOnQuery([this] { return loggedOn; });
        QObject::connect(&link, &CLinkPort::dataReceived, &link, [this](const QByteArray &p) { dispatcher.dispatch(p); });
        stationEvents.console = this;
        lineEvents.console = this;
    }

    // Carries what the console sent to the PBX and the answers back.
    void pump()
    {
        while (!lan.toPbx.isEmpty()) {
            const QByteArray out = lan.toPbx;
            lan.toPbx.clear();
            m_pbx.session->receive(out);
            const QByteArray in = m_pbx.wire;
            m_pbx.wire.clear();
            link.receivedBytes(&lan, in.constData(), int(in.size()));
        }
    }

    void onLogOnAck() override { loggedOn = true; }
    void onLogOnNak(quint8) override {}
    void onLogOffAck() override { loggedOn = false; }
    void onLogOffNak() override {}
    void onLogOnState() override {}
    void onLogOffState() override {}
    void onVersion(quint32 v) override { version = v; }
    void onPacketMissReport() override {}
    void onPing() override {}

    void onStationCount(quint16 n) override { stationCount = n; }
    void onLineCount(quint16 n) override { lineCount = n; }
    void onCodeBases(quint32 a, quint16 ac, quint32 r, quint16 rc) override
    {
        accessBase = a;
        accessCount = ac;
        retrieveBase = r;
        retrieveCount = rc;
    }
    void onOwnStation(quint16 s) override { ownStation = s; }
    void onMpbShortVersion(const QString &) override {}
    void onMpbLongVersion(const QString &v) override { longVersion = v; }
    void onCoNameCount(quint8 n) override { coNameCount = n; }
    void onPagingNumber(quint8 n) override { paging = n; }
    void onSpeedBinRange(quint16 f, quint16 l) override
    {
        speedFirst = f;
        speedLast = l;
    }
    void onPbxTime(const QDateTime &) override {}
    void onAdministration(quint16) override {}
    void onSpeedBinEmpty(quint16) override {}
    void onSpeedBinRecord(const SpeedBinRecord &) override {}

    struct StationEvents : EventHandler
    {
        Console *console = nullptr;
        quint16 handleEvent(quint16 code, const QByteArray &p, int o) override
        {
            const int left = int(p.size()) - o;
            if (code == 0x83) {
                if (left < 2)
                    return kNotMine;
                const int n = quint8(p.at(o + 1)) + 2;
                for (int i = o + 2; i + 3 <= o + qMin(n, left); i += 3)
                    console->stationStatus[(quint8(p.at(i)) << 8) | quint8(p.at(i + 1))] = quint8(p.at(i + 2));
                return quint16(n);
            }
            if (code != 0x0305 && code != 0x0309)
                return kNotMine;
            if (left < 3)
                return kNotMine;
            const int minimum = code == 0x0305 ? 7 : 8;
            const int n = qMax(quint8(p.at(o + 2)) + 3, minimum);
            if (left < n)
                return quint16(n);
            const auto u16 = [&](int i) { return quint16((quint8(p.at(i)) << 8) | quint8(p.at(i + 1))); };
            StationInfo info;
            info.code = code;
            const int port = u16(o + 3);
            int nameAt = o + 7;
            if (code == 0x0309) {
                info.presence = quint8(p.at(o + 5));
                info.number = u16(o + 6);
                nameAt = o + 8;
            } else {
                info.number = u16(o + 5);
            }
            info.name = QString::fromLatin1(p.mid(nameAt, o + n - nameAt));
            console->stations.insert(port, info);
            return quint16(n);
        }
    } stationEvents;

    struct LineEvents : EventHandler
    {
        Console *console = nullptr;
        quint16 handleEvent(quint16 code, const QByteArray &p, int o) override
        {
            const int left = int(p.size()) - o;
            const auto u16 = [&](int i) { return quint16((quint8(p.at(i)) << 8) | quint8(p.at(i + 1))); };
            if (code == 0x84) {
                if (left < 2)
                    return kNotMine;
                const int n = quint8(p.at(o + 1)) + 2;
                for (int i = o + 2; i + 3 <= o + qMin(n, left); i += 3)
                    console->lineStatus[u16(i)] = quint8(p.at(i + 2));
                return quint16(n);
            }
            if (code == 0x0404) {
                if (left < 3)
                    return kNotMine;
                const int n = qMax(quint8(p.at(o + 2)) + 3, 5);
                if (left >= n)
                    console->coNames.insert(u16(o + 3), QString::fromLatin1(p.mid(o + 5, n - 5)));
                return quint16(n);
            }
            if (code == 0x0405) {
                if (left >= 6)
                    console->lineNames.insert(u16(o + 2), u16(o + 4));
                return 6;
            }
            return kNotMine;
        }
    } lineEvents;

    PbxHarness &m_pbx;
    ManualTimerHost timers;
    CLinkPort link;
    LoopTransport lan;
    LinkDispatcher dispatcher;
    LogEventDecoder log;
    SysInfoDecoder sysInfo;
    bool loggedOn = false;
    quint32 version = 0;
    int stationCount = -1;
    int lineCount = -1;
    quint32 accessBase = 0, retrieveBase = 0;
    int accessCount = -1, retrieveCount = -1;
    int ownStation = -1;
    QString longVersion;
    int coNameCount = -1;
    int paging = -1;
    int speedFirst = -1, speedLast = -1;
    QMap<int, StationInfo> stations;
    QMap<int, QString> coNames;
    QMap<int, int> lineNames;
    QMap<int, int> stationStatus;
    QMap<int, int> lineStatus;
};

} // namespace

class TestPbxDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fullDownload_data()
    {
        QTest::addColumn<int>("stations");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("oldVersion");
        QTest::addColumn<quint32>("accessBase");
        QTest::addColumn<int>("firstNumber");
        QTest::newRow("2000 stations, 400 lines") << 2000 << 400 << false << quint32(0x080AA1) << 1000;
        QTest::newRow("48 stations, 16 lines, old version") << 48 << 16 << true << quint32(0x000081) << 100;
    }

    // The console's own encoders ask, in the order of its download; every answer must come.
    void fullDownload()
    {
        QFETCH(int, stations);
        QFETCH(int, lines);
        QFETCH(bool, oldVersion);
        QFETCH(quint32, accessBase);
        QFETCH(int, firstNumber);
        PbxConfig config = PbxHarness::testConfig();
        config.stations = stations;
        config.lines = lines;
        if (oldVersion)
            config.version = PbxConfig::kOldVersion;
        PbxHarness pbx(config);
        Console console(pbx);
        CLinkRequest request(console.link);
        QElapsedTimer clock;
        clock.start();

        QVERIFY(request.LOG_ON_Request());
        console.pump();
        QVERIFY(console.loggedOn);

        request.SYSI_MyID();
        request.LOG_VersionReq();
        request.SYSI_MpbVerL();
        console.pump();
        request.SYSI_EXTNUMS_REQ();
        console.pump();
        request.SYSI_TRKNUMS_REQ();
        console.pump();
        request.SYSI_Sysspdrange();
        request.IntPageNum();
        request.SYSI_CoNameNum();
        console.pump();
        request.MESKPARA_TrkBaseNumber();
        console.pump();
        QCOMPARE(console.ownStation, 1);
        QCOMPARE(console.version, config.version);
        QCOMPARE(console.longVersion, config.longVersion);
        QCOMPARE(console.stationCount, stations);
        QCOMPARE(console.lineCount, lines);
        QCOMPARE(console.speedFirst, 2000);
        QCOMPARE(console.speedLast, 2099);
        QCOMPARE(console.paging, 4);
        QCOMPARE(console.coNameCount, qMin(lines, 32));
        QCOMPARE(console.accessBase, accessBase);
        QCOMPARE(console.accessCount, lines);
        QCOMPARE(console.retrieveCount, lines);

        {
            InfoBatch batch(console.link, InfoBatch::Stations);
            for (int port = 1; port <= stations; ++port) {
                batch.add(quint16(port), port % 15 == 0 || port == stations);
                console.pump();
            }
            QCOMPARE(batch.requestsSent(), (stations + 14) / 15);
        }
        for (int n = 0; n < console.coNameCount; ++n) {
            request.TRKI_Coname(quint16(n));
            console.pump();
        }
        {
            InfoBatch batch(console.link, InfoBatch::CoLines);
            for (int line = 1; line <= lines; ++line) {
                batch.add(quint16(line), line % 15 == 0 || line == lines);
                console.pump();
            }
        }
        request.MESKPARA_STATUSCLEAR();
        request.MESKPARA_STATUSTIME(3, 1, 20);
        console.pump();
        qInfo("download of %d stations and %d lines took %lld ms", stations, lines, clock.elapsed());

        QCOMPARE(console.stations.size(), stations);
        const quint16 itemCode = oldVersion ? 0x0305 : 0x0309;
        for (int port = 1; port <= stations; ++port) {
            const StationInfo info = console.stations.value(port);
            QCOMPARE(info.code, itemCode);
            QCOMPARE(nibblesToNumber(info.number), QString::number(firstNumber + port - 1));
            QVERIFY(!info.name.isEmpty());
        }
        QCOMPARE(console.stations.value(1).name, QStringLiteral("ATTENDANT"));
        QCOMPARE(console.coNames.size(), console.coNameCount);
        QCOMPARE(console.coNames.value(1), QStringLiteral("EXCHANGE 01"));
        QCOMPARE(console.lineNames.size(), lines);
        for (int line = 1; line <= lines; ++line)
            QCOMPARE(console.lineNames.value(line), (line - 1) % console.coNameCount + 1);
        QCOMPARE(console.stationStatus.size(), stations);
        QCOMPARE(console.lineStatus.size(), lines);
        QCOMPARE(console.lineStatus.value(lines), 0x80);
        QCOMPARE(pbx.session->protocolErrors(), 0);
        QVERIFY2(clock.elapsed() < 10000, "the download must not wait for anything");
    }

    void zeroStationsReported()
    {
        PbxHarness pbx;
        pbx.faults.zeroStations = true;
        Console console(pbx);
        CLinkRequest request(console.link);
        request.LOG_ON_Request();
        request.SYSI_EXTNUMS_REQ();
        console.pump();
        QCOMPARE(console.stationCount, 0);
    }
};

QTEST_GUILESS_MAIN(TestPbxDownload)
#include "tst_pbxsim_download.moc"
