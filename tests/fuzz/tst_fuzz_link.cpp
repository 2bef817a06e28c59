// Feeds random and mutated byte streams through the receive parser and the
// event dispatch into every handler. Runs with a fixed seed; set
// ZARTO_FUZZ_BYTES (and ZARTO_FUZZ_SEED) for a longer run by hand.
#include "FakeConnection.h"
#include "FakeTransport.h"
#include "ManualClock.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "console/Console.h"
#include "session/CAttendantState.h"
#include "link/CLinkPort.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "link/LinkDispatcher.h"
#include "session/LogStatusModel.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "link/SpeedBinRecord.h"
#include "ManualTimerHost.h"
#include "base/TimerIds.h"

#include <QTest>

#include <random>

namespace {

struct NullLog : LogEventSink
{
    int events = 0;
    void onLogOnAck() override { ++events; }
    void onLogOnNak(quint8) override { ++events; }
    void onLogOffAck() override { ++events; }
    void onLogOffNak() override { ++events; }
    void onLogOnState() override { ++events; }
    void onLogOffState() override { ++events; }
    void onVersion(quint32) override { ++events; }
    void onPacketMissReport() override { ++events; }
    void onPing() override { ++events; }
};

struct NullInfo : SysInfoSink
{
    int events = 0;
    qsizetype textBytes = 0;
    void onStationCount(quint16) override { ++events; }
    void onLineCount(quint16) override { ++events; }
    void onCodeBases(quint32, quint16, quint32, quint16) override { ++events; }
    void onOwnStation(quint16) override { ++events; }
    void onMpbShortVersion(const QString &v) override { textBytes += v.size(); }
    void onMpbLongVersion(const QString &v) override { textBytes += v.size(); }
    void onCoNameCount(quint8) override { ++events; }
    void onPagingNumber(quint8) override { ++events; }
    void onSpeedBinRange(quint16, quint16) override { ++events; }
    void onPbxTime(const QDateTime &) override { ++events; }
    void onAdministration(quint16) override { ++events; }
    void onSpeedBinEmpty(quint16) override { ++events; }
    void onSpeedBinRecord(const SpeedBinRecord &r) override { textBytes += r.number.size() + r.name.size(); }
};

struct NullKeys : KeyTelephoneSink
{
    int commands = 0;
    void displayCommand(quint8, quint8, quint8) override { ++commands; }
};

// Event codes the console knows, so that generated payloads reach the decoders.
const quint16 kCodes[] = {
    0x0001, 0x0002, 0x0003, 0x0004, 0x0006, 0x0007, 0x0008, 0x0009, 0x000C, 0x000E, 0x0101, 0x0102, 0x0104,
    0x0105, 0x0107, 0x0108, 0x0109, 0x010A, 0x010B, 0x010C, 0x010D, 0x0601, 0x0602, 0x0603, 0x0604, 0x0605,
    0x0A01, 0x0A02, 0x0301, 0x0302, 0x0303, 0x0304, 0x0305, 0x0308, 0x0309, 0x0401, 0x0402, 0x0403,
    0x0404, 0x0405, 0x0801, 0x0901,
};

class Generator
{
public:
    explicit Generator(quint32 seed)
        : m_rng(seed)
    {
    }

    int below(int n) { return int(m_rng() % quint32(n)); }
    quint8 byte() { return quint8(m_rng()); }

    QByteArray payload()
    {
        QByteArray p;
        const int events = 1 + below(4);
        for (int e = 0; e < events && p.size() < 60; ++e) {
            switch (below(4)) {
            case 0: // a known code with random content of a random length
            case 1: {
                const quint16 code = kCodes[below(int(std::size(kCodes)))];
                p.append(char(code >> 8));
                p.append(char(code & 0xFF));
                const int n = below(14);
                for (int i = 0; i < n; ++i)
                    p.append(char(below(3) == 0 ? byte() : below(12)));
                break;
            }
            case 2: // single-byte types: display commands, debug text, lists
                p.append(char(0x80 + below(8)));
                for (int i = below(6); i > 0; --i)
                    p.append(char(byte()));
                break;
            default:
                for (int i = below(8); i > 0; --i)
                    p.append(char(byte()));
                break;
            }
        }
        return p.left(63);
    }

    QByteArray frame()
    {
        static const quint16 types[] = {14, 15, 16, 16, 16, 31, 31, 20, 127, 300};
        QByteArray f;
        Zemra1::buildFrame(types[below(int(std::size(types)))], payload(), f);
        switch (below(6)) {
        case 0: // flip a bit
            f[below(int(f.size()))] = char(f.at(below(int(f.size()))) ^ (1 << below(8)));
            break;
        case 1: // truncate
            f.truncate(below(int(f.size())));
            break;
        case 2: // noise in front
            for (int i = below(5); i > 0; --i)
                f.prepend(char(below(2) ? 0xBA : byte()));
            break;
        default:
            break;
        }
        return f;
    }

    QByteArray noise()
    {
        QByteArray n(1 + below(64), Qt::Uninitialized);
        for (auto &c : n)
            c = char(below(4) == 0 ? 0xBA : byte());
        return n;
    }

private:
    std::mt19937 m_rng;
};

} // namespace

class TestFuzzLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomAndMutatedStreams()
    {
        const qint64 target = qEnvironmentVariableIsSet("ZARTO_FUZZ_BYTES")
            ? qEnvironmentVariable("ZARTO_FUZZ_BYTES").toLongLong()
            : 1200000;
        const quint32 seed = qEnvironmentVariableIsSet("ZARTO_FUZZ_SEED")
            ? qEnvironmentVariable("ZARTO_FUZZ_SEED").toUInt()
            : 20261208u;

        ManualTimerHost timers;
        OperatorUiRecorder ui;
        CLinkPort link(timers, &ui);
        FakeTransport lan;
        link.setLanConnection(&lan);
        NullLog logSink;
        NullInfo infoSink;
        NullKeys keys;
        LogEventDecoder logDecoder(&logSink);
        SysInfoDecoder infoDecoder(&infoSink);
        LinkDispatcher dispatch;
        dispatch.routes().log = &logDecoder;
        dispatch.routes().sysInfo = &infoDecoder;
        dispatch.routes().keyTelephone = &keys;
        bool loggedOn = false;
        dispatch.setLoggedOnQuery([&] { return loggedOn; });
        qint64 payloads = 0;
        connect(&link, &CLinkPort::dataReceived, this, [&](const QByteArray &p) {
            ++payloads;
            dispatch.dispatch(p);
        });

        Generator gen(seed);
        qint64 fed = 0;
        int round = 0;
        std::unique_ptr<TraceRecorder> trace;
        while (fed < target) {
            // Part of the run with the trace open and every switch on, to exercise the formatting.
            if (round % 2000 == 0) {
                trace.reset();
                if ((round / 2000) % 3 == 0) {
                    trace = std::make_unique<TraceRecorder>();
                    Trace::switches() = TraceSwitches{true, true, true, true, true, true};
                } else {
                    Trace::switches().clearAll();
                }
                loggedOn = !loggedOn;
            }
            ++round;
            QByteArray chunk = gen.below(5) == 0 ? gen.noise() : gen.frame();
            // Feed in random block sizes, as a transport would.
            int pos = 0;
            while (pos < chunk.size()) {
                const int n = qMin<int>(1 + gen.below(16), int(chunk.size()) - pos);
                link.receivedBytes(&lan, chunk.constData() + pos, n);
                pos += n;
            }
            fed += chunk.size();
            if (gen.below(50) == 0)
                timers.advance(link.framePeriod());
            if (trace && round % 200 == 0)
                trace->clear();
            if (round % 500 == 0)
                QCoreApplication::sendPostedEvents();
        }
        trace.reset();
        Trace::switches().clearAll();
        QCoreApplication::sendPostedEvents();

        // Direct calls at every offset, including past-the-end ones.
        for (int i = 0; i < 20000; ++i) {
            const QByteArray p = gen.payload();
            for (int off = 0; off <= p.size(); ++off) {
                const quint16 code = off + 1 < p.size() ? quint16((quint8(p.at(off)) << 8) | quint8(p.at(off + 1))) : 0;
                logDecoder.handleEvent(code, p, off);
                infoDecoder.handleEvent(code, p, off);
                dispatch.routeEvent(off < p.size() ? quint8(p.at(off)) : 0, code, p, off);
            }
        }

        qInfo("fed %lld bytes, %lld payloads, %d log events, %d info events, %d display commands", fed, payloads,
              logSink.events, infoSink.events, keys.commands);
        QVERIFY(fed >= target);
        QVERIFY(payloads > 1000);
        QVERIFY(logSink.events > 0);
        QVERIFY(infoSink.events > 0);
        QVERIFY(ui.shown.isEmpty());
    }

    // The same streams into the real session, download and station and CO
    // line tables, with virtual time moving on so their timers run too.
    void realModels()
    {
        const qint64 target = qEnvironmentVariableIsSet("ZARTO_FUZZ_BYTES")
            ? qEnvironmentVariable("ZARTO_FUZZ_BYTES").toLongLong()
            : 600000;
        ManualTimerHost timers;
        OperatorUiRecorder ui;
        ManualClock clock;
        FakeConnection *connection = nullptr;
        Console console(timers, ui, clock, [&](CLinkPort &l, OperatorUi &) {
            auto c = std::make_unique<FakeConnection>(l);
            connection = c.get();
            return c;
        });
        FakeTransport lan;
        connection->setTransport(&lan);
        console.setConnectionType(PbxConnection::Serial);
        console.connectCommand();
        CLinkPort &link = console.link();
        CExtStatusList &stations = console.stations();
        CAttendantState &attendant = console.attendant();

        Generator gen(99u);
        qint64 fed = 0;
        int round = 0;
        int maxStations = 0;
        while (fed < target) {
            ++round;
            // Keep the tables small but not empty, and the position mostly logged on.
            if (round % 97 == 0) {
                const QByteArray f = QByteArray::fromHex("0001");
                lan.frames.clear();
                QByteArray frame;
                Zemra1::buildFrame(16, f, frame);
                link.receivedBytes(&lan, frame.constData(), int(frame.size()));
            }
            if (round % 101 == 0) {
                QByteArray frame;
                Zemra1::buildFrame(16, QByteArray::fromHex("01010040010200100A10"), frame);
                link.receivedBytes(&lan, frame.constData(), int(frame.size()));
            }
            const QByteArray chunk = gen.below(5) == 0 ? gen.noise() : gen.frame();
            link.receivedBytes(&lan, chunk.constData(), int(chunk.size()));
            fed += chunk.size();
            if (gen.below(20) == 0)
                timers.advance(gen.below(20000));
            if (lan.frames.size() > 10000)
                lan.frames.clear();
            if (ui.shown.size() > 1000)
                ui.shown.clear();
            maxStations = qMax<int>(maxStations, stations.count());
            if (round % 500 == 0)
                QCoreApplication::sendPostedEvents();
        }
        qInfo("fed %lld bytes; position state %d; up to %d stations", fed, attendant.positionState(), maxStations);
        QVERIFY(maxStations > 0);
    }
};

QTEST_GUILESS_MAIN(TestFuzzLink)
#include "tst_fuzz_link.moc"
