// Find-as-you-type over 2000 stations: prints how long one key takes, for the
// finder alone and for the find bar of a station window (narrowing, the list
// and the count), typing numbers, names and owners and deleting again.
// With --screenshot DIR it also writes the station window with its find bar
// to DIR as a PNG file.

#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StationFinder.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/FindBar.h"
#include "callstate/ui/StatusWindowKeys.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr quint16 StationCount = 2000;
constexpr int Rounds = 50;

const char *const FirstNames[] = {"Anna", "Bernd", "Clara", "Dieter", "Éva", "Frank", "Greta", "Hans"};
const char *const LastNames[] = {"Berg", "Holm", "Larsen", "Müller", "Ode", "Schmidt", "Weber", "Zorn"};

// Each key of a typed text, then each deletion back to empty.
QStringList keystrokes(const QString &text)
{
    QStringList out;
    for (int i = 1; i <= text.size(); ++i)
        out.append(text.left(i));
    for (int i = text.size() - 1; i >= 0; --i)
        out.append(text.left(i));
    return out;
}

struct Figures
{
    double medianUs = 0;
    double meanUs = 0;
    double worstUs = 0;
};

template<class Step>
Figures measure(const QStringList &keys, Step step)
{
    std::vector<double> perKey;
    QElapsedTimer timer;
    for (int round = 0; round < Rounds; ++round) {
        for (const QString &k : keys) {
            timer.start();
            step(k);
            perKey.push_back(double(timer.nsecsElapsed()) / 1000.0);
        }
    }
    Figures f;
    for (double v : perKey)
        f.meanUs += v;
    f.meanUs /= double(perKey.size());
    // The worst key after dropping the slowest 1% (scheduler noise on a shared machine).
    std::sort(perKey.begin(), perKey.end());
    f.medianUs = perKey[perKey.size() / 2];
    f.worstUs = perKey[size_t(double(perKey.size()) * 0.99)];
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link(timers);
    link.setLanConnection(&transport);
    CLinkRequest request(link);
    CExtStatusList stations(link, clock, ui);
    CTrkStatusList lines(link, clock, ui);
    stations.setCount(StationCount);
    for (quint16 i = 0; i < StationCount; ++i) {
        stations.setStatus(i, Status::STEXT_IDLE);
        stations.setNumber(i, Nibbles::toNumber16(QString::number(1000 + i)));
        stations.setName(i, QStringLiteral("EXT%1").arg(1000 + i));
        stations.setFullName(i, QStringLiteral("%1 %2 %3")
                                    .arg(QString::fromUtf8(FirstNames[i % 8]), QString::fromUtf8(LastNames[(i / 8) % 8]))
                                    .arg(i));
    }

    const QList<QStringList> typings = {keystrokes(QStringLiteral("1234")), keystrokes(QStringLiteral("müller")),
                                        keystrokes(QStringLiteral("ext19")), keystrokes(QStringLiteral("eva hol"))};
    QStringList all;
    for (const QStringList &t : typings)
        all += t;

    QElapsedTimer setup;
    setup.start();
    StationFinder finder;
    finder.setEntries(StationFinder::stationEntries(stations));
    const double entriesMs = double(setup.nsecsElapsed()) / 1e6;
    const Figures core = measure(all, [&finder](const QString &k) { finder.find(k); });

    CDLOView::Context context;
    context.stations = &stations;
    context.lines = &lines;
    context.request = &request;
    context.ui = &ui;
    CDLOView view(PORT_KIND_EXT, context);
    view.resize(800, 600);
    view.show();
    auto *keys = new StatusWindowKeys(&view);
    setup.start();
    keys->openFind();
    const double openMs = double(setup.nsecsElapsed()) / 1e6;
    QLineEdit *edit = keys->findBar()->edit();
    const Figures bar = measure(all, [edit](const QString &k) { edit->setText(k); });
    // With what the key leaves to paint: the list, the count and the mark in the grid.
    const Figures painted = measure(all, [edit](const QString &k) {
        edit->setText(k);
        QCoreApplication::processEvents();
    });

    const QStringList args = app.arguments();
    const qsizetype shot = args.indexOf(QStringLiteral("--screenshot"));
    if (shot >= 0 && shot + 1 < args.size()) {
        edit->setText(QStringLiteral("mül"));
        QCoreApplication::processEvents();
        const QString file = QDir(args.at(shot + 1)).filePath(QStringLiteral("find-bar.png"));
        if (!view.grab().save(file))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    }

    std::printf("find-as-you-type over %d stations, %d keys x %d rounds\n", int(StationCount), int(all.size()), Rounds);
    std::printf("  entries from the table and folded:   %8.3f ms (once, when the bar opens)\n", entriesMs);
    std::printf("  opening the find bar:                %8.3f ms\n", openMs);
    const auto line = [](const char *what, const Figures &f) {
        std::printf("  %-26s median %8.1f us   mean %8.1f us   99%% %8.1f us\n", what, f.medianUs, f.meanUs, f.worstUs);
    };
    line("finder, one key:", core);
    line("find bar, one key:", bar);
    line("find bar, key and paint:", painted);
    std::printf("  budget per key (find bar, median): 1000 us: %s\n", bar.medianUs < 1000.0 ? "kept" : "EXCEEDED");
    return 0;
}
