// Log-on benchmark: starts the simulated PBX on loopback for each size and
// measures the time from the log-on command to position state 2, once with the
// PBX's TCP_NODELAY and once with Nagle's algorithm left on (--nagle), each
// with the station and CO line directories written through and without them.
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "transport/LinkConnection.h"
#include "console/Console.h"
#include "directories/DirectoryFiles.h"
#include "base/OperatorUi.h"
#include "base/SettingsSection.h"
#include "base/QtTimerHost.h"
#include "base/SystemClock.h"

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
#include <cstdio>

namespace {

struct SilentUi : OperatorUi
{
    void showMessage(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    int ask(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return 6;
    }
    void showFixedMessage(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// One log-on; returns milliseconds, or -1 when it did not complete.
double logOnOnce(int stations, int lines, bool nagle, bool directories)
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

    QElapsedTimer t;
    t.start();
    console.logOnCommand();
    const bool ok = waitFor([&] { return console.positionState() == 2; }, 60000);
    const double ms = t.nsecsElapsed() / 1e6;
    console.disconnectCommand();
    pbx.kill();
    pbx.waitForFinished();
    return ok && console.stations().count() == stations ? ms : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    std::printf("%-18s %-8s %-12s %10s %10s %10s %16s\n", "stations/lines", "PBX TCP", "directories", "best ms",
                "median ms", "worst ms", "ms per station");
    for (const auto &[stations, lines] : {std::pair{48, 16}, std::pair{500, 100}, std::pair{2000, 400}}) {
        for (const auto &[nagle, directories] : {std::pair{false, false}, std::pair{false, true},
                                                 std::pair{true, false}, std::pair{true, true}}) {
            std::vector<double> times;
            for (int i = 0; i < runs; ++i) {
                const double ms = logOnOnce(stations, lines, nagle, directories);
                if (ms < 0) {
                    std::printf("%d/%d: log-on did not complete\n", stations, lines);
                    return 1;
                }
                times.push_back(ms);
            }
            std::sort(times.begin(), times.end());
            const double median = times[times.size() / 2];
            std::printf("%-18s %-8s %-12s %10.1f %10.1f %10.1f %16.3f\n",
                        qPrintable(QStringLiteral("%1/%2").arg(stations).arg(lines)), nagle ? "nagle" : "nodelay",
                        directories ? "written" : "off",
                        times.front(), median, times.back(), median / stations);
            std::fflush(stdout);
        }
    }
    return 0;
}
