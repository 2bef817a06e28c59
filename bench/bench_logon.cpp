// Log-on benchmark: starts the simulated PBX on loopback for each size and
// measures the time from the log-on command to position state 2, once with the
// PBX's TCP_NODELAY and once with Nagle's algorithm left on (--nagle), each
// with the station and CO line directories written through and without them.
// The console's CPU time beside the wall time shows its own share, which a
// busy machine does not blur.
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "transport/LinkConnection.h"
#include "console/Console.h"
#include "directories/DirectoryFiles.h"
#include "base/OperatorUi.h"
#include "base/SettingsSection.h"
#include "base/QtTimerHost.h"
#include "base/SystemClock.h"

#include "PbxBench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <sys/resource.h>
#include <cstdio>

namespace {

using pbxbench::SilentUi;
using pbxbench::freePort;
using pbxbench::waitFor;

double cpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
        + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Run
{
    double ms = -1;
    double cpu = 0;
};

// One log-on; ms is -1 when it did not complete.
Run logOnOnce(int stations, int lines, bool nagle, bool directories)
{
    const quint16 port = freePort();
    QProcess pbx;
    pbx.setProgram(QStringLiteral(ZARTO_PBXSIM));
    pbx.setArguments({"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--stations", QString::number(stations),
                      "--lines", QString::number(lines), "--no-stdin", "--ping", "0"});
    if (nagle)
        pbx.setArguments(pbx.arguments() << QStringLiteral("--nagle"));
    pbx.start();
    pbx.waitForStarted();
    waitFor([&] {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(100);
    }, 5000);
    QThread::msleep(50);

    QtTimerHost timers;
    SilentUi ui;
    SystemClock clock;
    Console console(timers, ui, clock);
    QTemporaryDir files;
    if (directories)
        console.openDirectories(files.filePath(QStringLiteral("Database")));
    CSettingsSection("Server").writeString("History 0", "127.0.0.1");
    console.setConnectionType(1);
    console.linkConnection()->setLanServerPort(port);

    const double cpu0 = cpuMs();
    QElapsedTimer t;
    t.start();
    console.logOnCommand();
    const bool ok = waitFor([&] { return console.positionState() == 2; }, 60000);
    const double ms = t.nsecsElapsed() / 1e6;
    const double cpu = cpuMs() - cpu0;
    console.disconnectCommand();
    pbx.kill();
    pbx.waitForFinished();
    if (!ok || console.stations().count() != stations)
        return {};
    return {ms, cpu};
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::printf("%-18s %-8s %-12s %10s %10s %10s %16s %12s\n", "stations/lines", "PBX TCP", "directories", "best ms",
                "median ms", "worst ms", "ms per station", "CPU ms");
    for (const auto &[stations, lines] : {std::pair{48, 16}, std::pair{500, 100}, std::pair{2000, 400}}) {
        for (const auto &[nagle, directories] : {std::pair{false, false}, std::pair{false, true},
                                                 std::pair{true, false}, std::pair{true, true}}) {
            std::vector<double> times;
            std::vector<double> cpu;
            for (int i = 0; i < runs; ++i) {
                const Run run = logOnOnce(stations, lines, nagle, directories);
                const double ms = run.ms;
                if (ms < 0) {
                    std::printf("%d/%d: log-on did not complete\n", stations, lines);
                    return 1;
                }
                times.push_back(ms);
                cpu.push_back(run.cpu);
            }
            std::sort(times.begin(), times.end());
            std::sort(cpu.begin(), cpu.end());
            const double median = times[times.size() / 2];
            std::printf("%-18s %-8s %-12s %10.1f %10.1f %10.1f %16.3f %12.1f\n",
                        qPrintable(QStringLiteral("%1/%2").arg(stations).arg(lines)), nagle ? "nagle" : "nodelay",
                        directories ? "written" : "off",
                        times.front(), median, times.back(), median / stations, cpu[cpu.size() / 2]);
            std::fflush(stdout);
        }
    }
    return 0;
}
