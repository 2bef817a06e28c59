// Status storm: a busy PBX reports the status of 1000 stations and 200 CO
// lines. 200,000 status-list entries and single events go through the event
// dispatch into the real station and CO tables, with a status window's
// connection on both tables and the trace closed, as in a normal run.
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "base/OperatorUi.h"
#include "base/SystemClock.h"
#include "link/CLinkPort.h"
#include "link/LinkDispatcher.h"
#include "link/LinkTransport.h"
#include "ManualTimerHost.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kStations = 1000;
constexpr int kLines = 200;
constexpr int kEvents = 200000;

struct QuietUi : OperatorUi
{
    void showMessage(const QString &, const QString &, int) override {}
    void showFixedMessage(const QString &, const QString &, int) override {}
    int ask(const QString &, const QString &, int) override { return MessageStyle::ResultYes; }
};

struct NullTransport : LinkTransport
{
    bool isOpen() const override { return true; }
    bool sendFrame(const QByteArray &) override { return true; }
};

void put16(QByteArray &p, int v)
{
    p.append(char(v >> 8));
    p.append(char(v & 0xFF));
}

// Payloads as the PBX sends them: status lists of 1 to 40 entries for
// stations and lines, and single party, state, wake-up and caller events.
// Counts every list entry and every single event.
struct Storm
{
    QList<QByteArray> payloads;
    qint64 events = 0;

    Storm()
    {
        std::mt19937 rng(11);
        static const quint8 stationCodes[] = {0x10, 0x11, 0x12, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45};
        static const quint8 lineCodes[] = {0x10, 0x11, 0x12, 0x80, 0x81, 0x82, 0x83};
        while (events < kEvents) {
            QByteArray p;
            const unsigned kind = rng() % 10;
            if (kind < 6) {
                const bool station = kind < 4;
                const int entries = int(qMin<qint64>(1 + rng() % 40, kEvents - events));
                p.append(char(station ? 0x83 : 0x84));
                p.append(char(entries * 3));
                for (int i = 0; i < entries; ++i) {
                    put16(p, 1 + int(rng() % (station ? kStations : kLines)));
                    p.append(char(station ? stationCodes[rng() % 9] : lineCodes[rng() % 7]));
                }
                events += entries;
            } else {
                for (int i = 0; i < 4 && events < kEvents; ++i, ++events) {
                    const int station = 1 + int(rng() % kStations);
                    const int line = 1 + int(rng() % kLines);
                    switch (rng() % 5) {
                    case 0: // EXTI_Asc
                        put16(p, 0x0301), put16(p, station), p.append(char(2)), put16(p, 1 + int(rng() % kLines));
                        break;
                    case 1: // EXTI_MeskState
                        put16(p, 0x0302), put16(p, station), p.append(char(rng()));
                        break;
                    case 2: // EXTI_Multi2
                        put16(p, 0x0308), put16(p, station), p.append(QByteArray::fromHex("01070503"));
                        break;
                    case 3: // TRKI_Asc
                        put16(p, 0x0401), put16(p, line), p.append(char(1)), put16(p, 1 + int(rng() % kStations));
                        break;
                    default: // TRKI_CallerId, ten digits
                        put16(p, 0x0403), p.append(char(7)), put16(p, line),
                            p.append(QByteArray::fromHex("0123456789"));
                        break;
                    }
                }
            }
            payloads.append(p);
        }
    }
};

void BM_StatusStorm(benchmark::State &state)
{
    static const Storm storm;
    ManualTimerHost timers;
    CLinkPort link(timers);
    NullTransport lan;
    link.setLanConnection(&lan);
    SystemClock clock;
    QuietUi ui;
    CExtStatusList stations(link, clock, ui);
    CTrkStatusList lines(link, clock, ui);
    stations.setCount(kStations);
    lines.setCount(kLines);
    qint64 hints = 0;
    qint64 queueUpdates = 0;
    QObject::connect(&stations, &CExtStatusList::recordChanged, [&hints](quint16, quint16) { ++hints; });
    QObject::connect(&lines, &CTrkStatusList::recordChanged, [&hints](quint16, quint16) { ++hints; });
    QObject::connect(&lines, &CTrkStatusList::queueEvent, [&queueUpdates](const CQueueEvent &) { ++queueUpdates; });
    LinkDispatcher dispatch;
    dispatch.routes().stations = &stations;
    dispatch.routes().coLines = &lines;
    dispatch.setLoggedOnQuery([] { return true; });
    for (auto _ : state) {
        for (const QByteArray &p : storm.payloads)
            dispatch.dispatch(p);
    }
    state.SetItemsProcessed(qint64(state.iterations()) * storm.events);
    state.counters["events/s"] = benchmark::Counter(double(qint64(state.iterations()) * storm.events),
                                                    benchmark::Counter::kIsRate);
    state.counters["hints"] = double(hints) / double(state.iterations());
    state.counters["queue"] = double(queueUpdates) / double(state.iterations());
}
BENCHMARK(BM_StatusStorm)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
