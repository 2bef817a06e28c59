// Receive-path throughput: the frame parser on a recorded-style stream, and
// the event dispatch into the decoders with the call-state models not attached.
#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "link/LinkDispatcher.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "link/LinkTransport.h"
#include "link/SpeedBinRecord.h"
#include "ManualTimerHost.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct CountingListener : Zemra1::FrameParser::Listener
{
    qint64 frames = 0;
    qint64 bytes = 0;
    void frameStarted() override {}
    void frameAbandoned() override {}
    void frameReceived(quint16, const char *, int n) override
    {
        ++frames;
        bytes += n;
    }
};

struct Sinks : LogEventSink, SysInfoSink, KeyTelephoneSink
{
    qint64 n = 0;
    void onLogOnAck() override { ++n; }
    void onLogOnNak(quint8) override { ++n; }
    void onLogOffAck() override { ++n; }
    void onLogOffNak() override { ++n; }
    void onLogOnState() override { ++n; }
    void onLogOffState() override { ++n; }
    void onVersion(quint32) override { ++n; }
    void onPacketMissReport() override { ++n; }
    void onPing() override { ++n; }
    void onStationCount(quint16) override { ++n; }
    void onLineCount(quint16) override { ++n; }
    void onCodeBases(quint32, quint16, quint32, quint16) override { ++n; }
    void onOwnStation(quint16) override { ++n; }
    void onMpbShortVersion(const QString &) override { ++n; }
    void onMpbLongVersion(const QString &) override { ++n; }
    void onCoNameCount(quint8) override { ++n; }
    void onPagingNumber(quint8) override { ++n; }
    void onSpeedBinRange(quint16, quint16) override { ++n; }
    void onPbxTime(const QDateTime &) override { ++n; }
    void onAdministration(quint16) override { ++n; }
    void onSpeedBinEmpty(quint16) override { ++n; }
    void onSpeedBinRecord(const SpeedBinRecord &) override { ++n; }
    void displayCommand(quint8, quint8, quint8) override { ++n; }
};

// Stand-in for the station and CO line models: takes any classed event of its
// family with a plausible size, as the real models will.
struct CountingModel : EventHandler
{
    qint64 n = 0;
    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override
    {
        ++n;
        if (code == 0x83 || code == 0x84)
            return offset + 1 < payload.size() ? quint16(quint8(payload.at(offset + 1)) + 2) : 0xFFFF;
        return 5;
    }
};

QByteArray frame(quint16 type, const QByteArray &payload)
{
    QByteArray f;
    Zemra1::buildFrame(type, payload, f);
    return f;
}

// About 1 MB of what a busy PBX sends: status lists, multi events, key-telephone
// display commands, speed-bin replies, with stray noise between frames.
QByteArray recordedStream()
{
    std::mt19937 rng(7);
    QByteArray s;
    while (s.size() < (1 << 20)) {
        switch (rng() % 6) {
        case 0: { // station status list, 20 entries
            QByteArray p;
            p.append(char(0x83));
            p.append(char(60));
            for (int i = 0; i < 20; ++i) {
                p.append(char(0));
                p.append(char(rng() % 200));
                p.append(char(0x40 + rng() % 6));
            }
            s += frame(31, p);
            break;
        }
        case 1: { // station multi events
            QByteArray p;
            for (int i = 0; i < 8; ++i)
                p.append(QByteArray::fromHex("0305") + char(0) + char(rng() % 200) + char(0x10));
            s += frame(16, p);
            break;
        }
        case 2: // display commands
            s += frame(16, QByteArray::fromHex("824F4142824F4344825A0102824F4546"));
            break;
        case 3:
            s += frame(16, QByteArray::fromHex("0A02090005010" "3A12300414201010030"));
            break;
        case 4:
            s += frame(16, QByteArray::fromHex("000E0101003001020010"));
            break;
        default:
            for (int i = rng() % 5; i > 0; --i)
                s.append(char(rng()));
            break;
        }
    }
    return s;
}

const QByteArray &stream()
{
    static const QByteArray s = recordedStream();
    return s;
}

void BM_Parser(benchmark::State &state)
{
    const QByteArray &s = stream();
    CountingListener listener;
    Zemra1::FrameParser parser(&listener);
    for (auto _ : state)
        parser.feed(s.constData(), int(s.size()));
    state.SetBytesProcessed(qint64(state.iterations()) * s.size());
    state.counters["frames/s"] = benchmark::Counter(double(listener.frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Parser)->Unit(benchmark::kMillisecond);

struct NullTransport : LinkTransport
{
    bool isOpen() const override { return true; }
    bool sendFrame(const QByteArray &) override { return true; }
};

// The whole receive path of the LAN link: lock, parser, copy of the payload,
// synchronous hand-over and dispatch into the decoders.
void BM_LinkReceivePath(benchmark::State &state)
{
    const QByteArray &s = stream();
    ManualTimerHost timers;
    CLinkPort link(timers);
    NullTransport lan;
    link.setLanConnection(&lan);
    Sinks sinks;
    LogEventDecoder log(&sinks);
    SysInfoDecoder info(&sinks);
    CountingModel stations, lines;
    LinkDispatcher dispatch;
    dispatch.routes().log = &log;
    dispatch.routes().sysInfo = &info;
    dispatch.routes().stations = &stations;
    dispatch.routes().coLines = &lines;
    dispatch.routes().keyTelephone = &sinks;
    dispatch.setLoggedOnQuery([] { return true; });
    QObject::connect(&link, &CLinkPort::dataReceived, [&](const QByteArray &p) { dispatch.dispatch(p); });
    for (auto _ : state) {
        for (int pos = 0; pos < s.size(); pos += 4096)
            link.receivedBytes(&lan, s.constData() + pos, int(qMin<qsizetype>(4096, s.size() - pos)));
    }
    state.SetBytesProcessed(qint64(state.iterations()) * s.size());
    state.counters["events/s"] =
        benchmark::Counter(double(sinks.n + stations.n + lines.n), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LinkReceivePath)->Unit(benchmark::kMillisecond);

// Dispatch alone on prepared payloads.
void BM_Dispatch(benchmark::State &state)
{
    Sinks sinks;
    LogEventDecoder log(&sinks);
    SysInfoDecoder info(&sinks);
    CountingModel stations;
    LinkDispatcher dispatch;
    dispatch.routes().log = &log;
    dispatch.routes().sysInfo = &info;
    dispatch.routes().stations = &stations;
    dispatch.routes().keyTelephone = &sinks;
    dispatch.setLoggedOnQuery([] { return true; });
    const QList<QByteArray> payloads = {
        QByteArray::fromHex("000E0101003001020010010B03010A10"),
        QByteArray::fromHex("824F4142824F4344825A0102824F4546"),
        QByteArray::fromHex("0305000110030500021003050003100305000410"),
        QByteArray::fromHex("0A020900050103A1230041420A0100050A010006"),
    };
    qint64 events = 0;
    for (auto _ : state) {
        for (const QByteArray &p : payloads)
            dispatch.dispatch(p);
        events += 4 + 4 + 4 + 3;
    }
    state.counters["events/s"] = benchmark::Counter(double(events), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Dispatch);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
