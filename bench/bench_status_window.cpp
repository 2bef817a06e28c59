// Opens a station window of 2000 buttons offscreen and prints how long the
// opening and layout take and how long one blink step of many lamps takes.
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

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>

#include <cstdio>

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
