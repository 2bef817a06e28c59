// Speed-bin synchronisation benchmark: the simulated PBX on loopback holds a
// system speed range of 3000 filled bins; after log-on the console downloads
// all of them into SpeedDB.mdb, logs on again and uploads the file back.
// Seconds from the operator's choice to the end of the step, with the PBX's
// TCP_NODELAY and with Nagle's algorithm left on (--nagle). The step moves on
// when the PBX answers, so the figures are round trips plus the file writes.
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/QtTimerHost.h"
#include "base/SettingsSection.h"
#include "base/SystemClock.h"
#include "console/Console.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryRecordset.h"
#include "session/LogStatusModel.h"
#include "transport/LinkConnection.h"

#include "PbxBench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFirstBin = 2000;
constexpr int kLastBin = 4999;

using pbxbench::SilentUi;
using pbxbench::freePort;
using pbxbench::waitFor;

// Every bin of the range filled, lines, groups and none in turn.
bool writeSpeedFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray text;
    for (int bin = kFirstBin; bin <= kLastBin; ++bin) {
        const int type = bin % 3;
        const int co = type == 0 ? 0 : 1 + bin % 8;
        text += QStringLiteral("%1\t%2\t%3\t0%4\tBIN %5\n").arg(bin).arg(type).arg(co).arg(bin * 7919).arg(bin).toUtf8();
    }
    return f.write(text) == text.size();
}

int rowCount(const CPhoneBookDB &db)
{
    auto set = db.newRecordset();
    return set->open() ? set->count() : -1;
}

struct Times
{
    double download = -1;
    double upload = -1;
    // The console's own processor time in each step (the rest is the PBX and the wait for it).
    double downloadCpu = 0;
    double uploadCpu = 0;
};

struct Pbx
{
    // A PBX with the range; with a speed file it keeps every change in it.
    bool start(bool nagle, const QString &speedFile)
    {
        port = freePort();
        QStringList args{"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--speed-bins",
                         QStringLiteral("%1-%2").arg(kFirstBin).arg(kLastBin), "--no-stdin", "--ping", "0"};
        if (!speedFile.isEmpty())
            args << QStringLiteral("--speed-file") << speedFile;
        if (nagle)
            args << QStringLiteral("--nagle");
        process.setProgram(QStringLiteral(ZARTO_PBXSIM));
        process.setArguments(args);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        if (!process.waitForStarted())
            return false;
        const bool up = waitFor([&] {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            return probe.waitForConnected(100);
        }, 5000);
        QThread::msleep(50);
        return up;
    }
    ~Pbx()
    {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
    quint16 port = 0;
};

// One download and one upload of the whole range; seconds, -1 when a step failed.
// The download comes from a PBX whose 3000 bins are all filled; the upload goes
// to a PBX that keeps its table in memory only (a PBX with --speed-file rewrites
// and syncs the whole file after every bin, which would time the simulator).
Times syncOnce(bool nagle)
{
    Times times;
    QTemporaryDir dir;
    const QString speedFile = dir.filePath(QStringLiteral("speed.txt"));
    Pbx full, empty;
    if (!writeSpeedFile(speedFile) || !full.start(nagle, speedFile) || !empty.start(nagle, QString()))
        return times;

    QtTimerHost timers;
    SilentUi ui;
    SystemClock clock;
    Console console(timers, ui, clock);
    console.openDirectories(dir.filePath(QStringLiteral("Database")));
    CPhoneBookDB *db = console.speedBins();
    CSettingsSection("Server").writeString("History 0", "127.0.0.1");
    console.setConnectionType(1);
    LogStatusModel &status = console.logStatus();
    const auto logOn = [&](quint16 port) {
        console.linkConnection()->setLanServerPort(port);
        console.logOnCommand();
        return waitFor([&] { return console.positionState() == 2 && status.speedBinChoicesEnabled(); }, 60000);
    };
    const auto step = [&](bool upload, double &cpu) {
        const std::clock_t cpuStart = std::clock();
        QElapsedTimer t;
        t.start();
        status.startSpeedBins(upload);
        const bool ended = waitFor([&] { return status.speedBinEnded(); }, 300000);
        const double s = t.nsecsElapsed() / 1e9;
        cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        const bool failed = upload ? db->uploadFailed() : db->downloadFailed();
        return ended && !failed ? s : -1.0;
    };

    if (db && logOn(full.port)) {
        times.download = step(false, times.downloadCpu);
        if (rowCount(*db) != kLastBin - kFirstBin + 1)
            times.download = -1;
        console.disconnectCommand();
        waitFor([&] { return console.positionState() == 0 && !console.isConnected(); }, 10000);
        if (times.download >= 0 && logOn(empty.port))
            times.upload = step(true, times.uploadCpu);
    }
    if (ui.messages)
        times = {};
    console.disconnectCommand();
    return times;
}

void print(const char *what, const char *tcp, std::vector<double> v, std::vector<double> cpu)
{
    std::sort(v.begin(), v.end());
    std::sort(cpu.begin(), cpu.end());
    const double median = v[v.size() / 2];
    std::printf("%-9s %-8s %8.3f %8.3f %8.3f %12.3f %14.3f\n", what, tcp, v.front(), median, v.back(),
                median * 1000.0 / (kLastBin - kFirstBin + 1), cpu[cpu.size() / 2]);
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QCoreApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    MessageCatalogue::setFallbackDirectory(QStringLiteral(ZARTO_SOURCE_DIR "/data"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::printf("%d bins (%d-%d), %d runs each\n", kLastBin - kFirstBin + 1, kFirstBin, kLastBin, runs);
    std::printf("%-9s %-8s %8s %8s %8s %12s %14s\n", "step", "PBX TCP", "best s", "median s", "worst s", "ms per bin",
                "console cpu s");
    for (const bool nagle : {false, true}) {
        std::vector<double> downloads, uploads, downloadCpu, uploadCpu;
        for (int i = 0; i < runs; ++i) {
            const Times t = syncOnce(nagle);
            if (t.download < 0 || t.upload < 0) {
                std::printf("%s: the synchronisation did not complete\n", nagle ? "nagle" : "nodelay");
                return 1;
            }
            downloads.push_back(t.download);
            uploads.push_back(t.upload);
            downloadCpu.push_back(t.downloadCpu);
            uploadCpu.push_back(t.uploadCpu);
        }
        print("download", nagle ? "nagle" : "nodelay", downloads, downloadCpu);
        print("upload", nagle ? "nagle" : "nodelay", uploads, uploadCpu);
        std::fflush(stdout);
    }
    return 0;
}
