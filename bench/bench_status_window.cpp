// Opens a station window of 2000 buttons offscreen and prints how long the
// opening and layout take and how long one blink step of many lamps takes.
// Then it feeds status lists through the link and the event dispatch into
// the window for a few seconds while 500 lamps blink, and prints the status
// events applied and painted a second and the longest stretch the UI thread
// was busy (the longest gap of a 0 ms heartbeat timer).
// With --screenshot DIR it also writes a 200-button station window and a
// call queue to DIR as PNG files.

#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallInfoDialog.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/Frame.h"
#include "link/LinkDispatcher.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPaintEvent>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct Tables
{
    explicit Tables(quint16 stationCount)
        : link(timers)
        , request(link)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , tips(stations, lines, clock)
    {
        link.setLanConnection(&transport);
        stations.setCount(stationCount);
        lines.setCount(24);
        const quint8 codes[] = {Status::STEXT_IDLE, Status::ST_BUSY, Status::STEXT_IDLE_WITH_DND, Status::ST_RING,
                                Status::STEXT_IDLE, Status::ST_HOLD, Status::STEXT_IDLE_WITH_RING, Status::STEXT_IDLE};
        for (quint16 i = 0; i < stationCount; ++i) {
            stations.setNumber(i, Nibbles::toNumber16(QString::number(100 + i)));
            stations.setName(i, QStringLiteral("EXT%1").arg(100 + i));
            stations.setStatus(i, codes[i % 8]);
        }
        for (quint16 i = 0; i < 24; ++i)
            lines.setStatus(i, i % 3 ? Status::STTRK_IDLE : Status::ST_RING);
        context.stations = &stations;
        context.lines = &lines;
        context.tips = &tips;
        context.request = &request;
        context.ui = &ui;
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CLinkRequest request;
    CExtStatusList stations;
    CTrkStatusList lines;
    StatusToolTip tips;
    CDLOView::Context context;
};

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

qint64 threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Counts the paints of a widget.
struct PaintCounter : QObject
{
    qint64 paints = 0;
    qint64 rects = 0;
    qint64 pixels = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &r : static_cast<QPaintEvent *>(event)->region()) {
                ++rects;
                pixels += qint64(r.width()) * r.height();
            }
        }
        return false;
    }
};

// Status lists as the PBX sends them (20 entries, the most a frame holds)
// that turn the stations 500 to 1999 busy and idle again in turn, every
// entry a change; the stations 0 to 499 keep blinking meanwhile.
QList<QByteArray> statusFrames(qint64 &eventsPerRound)
{
    QList<QByteArray> frames;
    eventsPerRound = 0;
    for (const quint8 code : {Status::ST_BUSY, Status::STEXT_IDLE}) {
        for (int first = 500; first < 2000; first += 20) {
            QByteArray payload;
            payload.append(char(0x83));
            payload.append(char(20 * 3));
            for (int port = first + 1; port <= first + 20; ++port) {
                payload.append(char(port >> 8));
                payload.append(char(port & 0xFF));
                payload.append(char(code));
            }
            QByteArray frame;
            Zemra1::buildFrame(16, payload, frame);
            frames.append(frame);
            eventsPerRound += 20;
        }
    }
    return frames;
}

// Feeds status frames in batches from a 0 ms timer for the given time and
// prints the figures.
void sustainedStatus(int seconds, int framesPerBatch)
{
    Tables t(2000);
    // 500 lamps blink: every other one at 250 ms (held), the rest at 500 ms.
    for (quint16 i = 0; i < 500; ++i)
        t.stations.setStatus(i, i % 2 ? Status::ST_HOLD : Status::STEXT_IDLE_WITH_DND);
    for (quint16 i = 500; i < 2000; ++i)
        t.stations.setStatus(i, Status::STEXT_IDLE);
    LinkDispatcher dispatch;
    dispatch.routes().stations = &t.stations;
    dispatch.routes().coLines = &t.lines;
    dispatch.setLoggedOnQuery([] { return true; });
    QObject::connect(&t.link, &CLinkPort::dataReceived, &t.link,
                     [&dispatch](const QByteArray &payload) { dispatch.dispatch(payload); });

    CDLOView view(PORT_KIND_EXT, t.context);
    view.resize(1920, 1200);
    view.show();
    PaintCounter painted;
    view.viewport()->installEventFilter(&painted);
    QCoreApplication::processEvents();
    int visible = 0;
    for (int i = 0; i < 2000; ++i)
        visible += view.viewport()->rect().contains(view.buttonRect(i)) ? 1 : 0;

    qint64 perRound = 0;
    const QList<QByteArray> frames = statusFrames(perRound);
    qint64 events = 0;
    int next = 0;
    QTimer feed;
    feed.setInterval(0);
    QObject::connect(&feed, &QTimer::timeout, [&] {
        for (int i = 0; i < framesPerBatch; ++i) {
            const QByteArray &f = frames.at(next);
            t.link.receivedBytes(&t.transport, f.constData(), int(f.size()));
            next = (next + 1) % int(frames.size());
            events += 20;
        }
        t.transport.frames.clear(); // whatever the link answered
    });

    // Wall time between two heartbeats, and the UI thread's own CPU time in
    // it: on a loaded machine the first also holds the time the thread
    // waited for a core.
    std::vector<qint64> gaps;
    std::vector<qint64> cpuGaps;
    gaps.reserve(1 << 20);
    cpuGaps.reserve(1 << 20);
    QElapsedTimer clock;
    QElapsedTimer beat;
    qint64 cpuBefore = 0;
    QTimer heartbeat;
    heartbeat.setInterval(0);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 cpu = threadCpuNs();
        // The first beat also holds the start of the loop.
        if (cpuBefore) {
            gaps.push_back(beat.nsecsElapsed());
            cpuGaps.push_back(cpu - cpuBefore);
        }
        cpuBefore = cpu;
        beat.restart();
    });

    const qint64 paintsBefore = painted.paints;
    view.resetButtonRepaints();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    clock.start();
    beat.start();
    feed.start();
    heartbeat.start();
    loop.exec();
    feed.stop();
    heartbeat.stop();
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;

    std::sort(gaps.begin(), gaps.end());
    std::sort(cpuGaps.begin(), cpuGaps.end());
    const auto at = [](const std::vector<qint64> &v, double p) {
        return v.empty() ? 0.0 : double(v[size_t(p * double(v.size() - 1))]) / 1e6;
    };
    const auto pct = [&](double p) { return at(gaps, p); };
    const auto cpuPct = [&](double p) { return at(cpuGaps, p); };
    std::printf("sustained status, 2000 stations (%d buttons on screen), 500 lamps blinking, %d frames of 20 "
                "entries a batch, %d s:\n",
                visible, framesPerBatch, seconds);
    std::printf("  status events applied: %.0f/s (every one a lamp change)\n", double(events) / elapsed);
    std::printf("  button repaints asked: %.0f/s, viewport paints: %.0f/s\n",
                double(view.buttonRepaints()) / elapsed, double(painted.paints - paintsBefore) / elapsed);
    std::printf("  per paint: %.1f rectangles, %.0f pixels\n", double(painted.rects) / double(painted.paints),
                double(painted.pixels) / double(painted.paints));
    std::printf("  UI thread busy stretch (heartbeat gap): max %.2f ms, 99.9%% %.2f ms, median %.3f ms\n",
                pct(1.0), pct(0.999), pct(0.5));
    std::printf("  of it the UI thread's own CPU time: max %.2f ms, 99.9%% %.2f ms, median %.3f ms\n", cpuPct(1.0),
                cpuPct(0.999), cpuPct(0.5));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    QString shots;
    const QStringList args = app.arguments();
    const int at = int(args.indexOf(QStringLiteral("--screenshot")));
    if (at > 0 && at + 1 < args.size())
        shots = args.at(at + 1);

    {
        Tables t(2000);
        QElapsedTimer timer;
        timer.start();
        CDLOView view(PORT_KIND_EXT, t.context);
        view.resize(1600, 1000);
        view.show();
        QCoreApplication::processEvents();
        view.viewport()->repaint();
        std::printf("open and lay out 2000 buttons: %.2f ms\n", ms(timer));

        timer.restart();
        view.onUpdate(1);
        view.viewport()->repaint();
        std::printf("lay out again and paint: %.2f ms\n", ms(timer));

        view.resetButtonRepaints();
        timer.restart();
        view.blinkStep(500);
        const double step = ms(timer);
        view.viewport()->repaint();
        std::printf("  of which the step itself: %.2f ms\n", step);
        std::printf("one 500 ms blink step (%d lamps changed) and its paint: %.2f ms\n", view.buttonRepaints(),
                    ms(timer));

        timer.restart();
        for (quint16 i = 0; i < 2000; ++i)
            t.stations.setStatus(i, i % 2 ? Status::ST_BUSY : Status::STEXT_IDLE);
        QCoreApplication::processEvents();
        std::printf("2000 status hints and the paint: %.2f ms\n", ms(timer));
    }

    // Blinking alone, then light and heavy bursts: one frame or ten frames
    // between two turns of the event loop.
    sustainedStatus(2, 0);
    sustainedStatus(3, 1);
    sustainedStatus(3, 10);

    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        Tables t(200);
        for (quint16 i = 190; i < 200; ++i)
            t.stations.setPresence(i, 0xFF);
        CDLOView view(PORT_KIND_EXT, t.context);
        view.setOwnStation(0);
        view.resize(8 * 76 + 30, 26 * 24);
        view.show();
        QCoreApplication::processEvents();
        view.grab().save(shots + QStringLiteral("/station-window.png"));

        CQueueView::Context qc;
        qc.stations = &t.stations;
        qc.lines = &t.lines;
        qc.request = &t.request;
        qc.clock = &t.clock;
        qc.callerInfoEnabled = [] { return true; };
        CQueueView queue(qc);
        queue.resize(330, 160);
        queue.show();
        const int types[] = {QueueType::QLTN_TRK_INCOMING, QueueType::QLTN_TRK_XFER, QueueType::QLTN_EXT_RING,
                             QueueType::QLTN_TRK_HOLD, QueueType::QLTN_TRK_ATDRECALL};
        for (int i = 0; i < 5; ++i) {
            CQueueEvent e;
            e.type = types[i];
            e.index = quint16(i * 3);
            e.add = true;
            e.description = types[i] == QueueType::QLTN_TRK_INCOMING ? QStringLiteral("0301 555 1234") : QString();
            queue.post(e);
            t.clock.advanceMs(7000);
        }
        queue.queue().tick();
        QCoreApplication::processEvents();
        queue.grab().save(shots + QStringLiteral("/queue.png"));
        queue.popup()->adjustSize();
        queue.popup()->grab().save(shots + QStringLiteral("/call-info.png"));
    }
    return 0;
}
