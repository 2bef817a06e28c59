// The console core against the simulated PBX process: log-on over TCP and
// over a pty, the download to the fully logged-on state, log-off and exit,
// and the ways a PBX can fail. Long protocol waits run on a scaled clock.
#include "PbxProcess.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "transport/CLanSocket.h"
#include "session/CSysInfoLoader.h"
#include "transport/LinkConnection.h"
#include "session/LogStatusModel.h"
#include "console/Console.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryFiles.h"
#include "directories/StationDirectory.h"
#include "base/SettingsSection.h"
#include "base/QtTimerHost.h"
#include "base/SystemClock.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kLogOnTimeout = 20000;

struct ConsoleUnderTest
{
    explicit ConsoleUnderTest(double timeScale = 1.0)
    {
        timers.setTimeScale(timeScale);
        console = std::make_unique<Console>(timers, ui, clock);
    }
    void useLan(quint16 port)
    {
        CSettingsSection("Server").writeString("History 0", "127.0.0.1");
        console->setConnectionType(1);
        console->linkConnection()->setLanServerPort(port);
    }

    QtTimerHost timers;
    OperatorUiRecorder ui;
    SystemClock clock;
    std::unique_ptr<Console> console;
};
} // namespace

class TestE2eLogOn : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    void logOnOverTcpAndLogOff()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--stations", "48", "--lines", "16"}));
        ConsoleUnderTest c;
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        QCOMPARE(c.console->stations().count(), quint16(48));
        QCOMPARE(c.console->coLines().count(), quint16(16));
        QVERIFY(c.console->stations().allInfoReceived());
        QVERIFY(c.console->coLines().allCoNamesReceived());
        QVERIFY(c.console->logStatus().speedBinStage());
        QVERIFY(!c.console->loader().longVersion().isEmpty());
        QVERIFY(c.ui.shown.isEmpty());

        c.ui.nextAnswer = 6;
        c.console->logOffCommand();
        QCOMPARE(c.ui.texts(), QStringList{"#:Exit_to_logoff"});
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 0, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.texts().last(), QStringLiteral("#:log_off_ok"), 5000);

        // And on again.
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
    }

    // The download writes every station and CO line through to the
    // directory files: number and name as the PBX reported them.
    void downloadFillsTheDirectories()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--stations", "500", "--lines", "40"}));
        ConsoleUnderTest c;
        QTemporaryDir dir;
        c.console->openDirectories(dir.filePath(QStringLiteral("Database")));
        QVERIFY(c.console->directories().stations());
        // An owner the operator entered before: the live station takes the name.
        StationFields owner(StationFieldCount);
        owner[0] = QStringLiteral("250");
        owner[3] = QStringLiteral("Ann");
        owner[5] = QStringLiteral("Cole");
        QVERIFY(c.console->directories().stations()->WriteRecord(owner));
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);

        StationDirectory &stations = *c.console->directories().stations();
        DirectoryRecordset *rs = stations.OpenRecordset();
        rs->close();
        rs->setFilter(QString());
        QVERIFY(rs->open());
        QCOMPARE(rs->count(), 500);
        for (int port : {1, 250, 500}) {
            const CExtStatus *live = c.console->stations().record(quint16(port - 1));
            const StationFields row = *stations.find(port);
            QCOMPARE(row[1], QString::number(live->numberText().toLongLong()));
            QCOMPARE(row[2], live->name);
            QVERIFY(!row[2].isEmpty());
        }
        CoDirectory &lines = *c.console->directories().coLines();
        for (int line = 1; line <= 40; ++line) {
            const CTrkStatus *live = c.console->coLines().record(quint16(line - 1));
            const std::optional<CoFields> row = lines.find(line);
            QVERIFY(row);
            QCOMPARE(row->at(1), c.console->coLines().coNameText(live->coNameNumber));
            QCOMPARE(row->at(2), live->numberText());
            QCOMPARE(row->at(3), Nibbles::toText(live->retrieveCode));
        }
        QVERIFY(!lines.find(1)->at(1).isEmpty());
        QVERIFY(!lines.find(1)->at(2).isEmpty());
        QVERIFY(!lines.find(41));
        QCOMPARE(c.console->stations().record(249)->fullName, QStringLiteral("Ann Cole"));
        QCOMPARE(stations.find(250)->at(3), QStringLiteral("Ann"));
        QVERIFY(c.ui.shown.isEmpty());
    }

    // A PBX that drops the position and takes it back 300 ms later: the
    // log-off completion still pending must not wreck the new download.
    void logOffStateThenLogOnAck()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--stations", "48", "--lines", "16"}));
        ConsoleUnderTest c;
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        pbx.command("log-off-state");
        QTRY_COMPARE_WITH_TIMEOUT(c.console->isLoggedOn(), false, 5000);
        QTest::qWait(300);
        pbx.command("log-on-ack");
        QTRY_COMPARE_WITH_TIMEOUT(c.console->isLoggedOn(), true, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        // Past the time the completion would have run.
        QTest::qWait(1500);
        QCOMPARE(c.console->positionState(), 2);
        QVERIFY(c.console->isLoggedOn());
        QVERIFY(!c.console->logStatus().isOpen() || c.console->logStatus().speedBinStage());
        QVERIFY(c.console->stations().allInfoReceived());
    }

    void exitWhileLoggedOn()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan());
        ConsoleUnderTest c;
        c.useLan(pbx.port());
        QSignalSpy close(c.console.get(), &Console::closeMainWindowRequested);
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        QVERIFY(!c.console->requestExit());
        QVERIFY(c.console->exitPending());
        QCOMPARE(close.count(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(close.count(), 1, 5000);
        QCOMPARE(c.console->positionState(), 0);
        QVERIFY(c.console->requestExit());
    }

    void logOnOverPty()
    {
        const QString path = QDir::currentPath() + QStringLiteral("/pbx-pty");
        PbxProcess pbx;
        QVERIFY(pbx.startPty(path, {"--baud", "0"}));
        ConsoleUnderTest c;
        CSettingsSection serial("COM(Varo) port");
        serial.writeString("Port Number", path);
        serial.writeString("Baud Rate", "19.2k");
        c.console->setConnectionType(0);
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        QCOMPARE(c.console->stations().count(), quint16(48));
        c.ui.nextAnswer = 6;
        c.console->logOffCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 0, 5000);
        c.console->disconnectCommand();
    }

    void refusedLogOn()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--refuse-logon"}));
        ConsoleUnderTest c;
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.texts(), QStringList{"#:log_on_denied"}, 5000);
        QVERIFY(!c.console->isLoggedOn());
        pbx.command("refuse-logon off");
        c.ui.clear();
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
    }

    // The long waits (17768 ms, 30000 ms) run a hundred times as fast here.
    void silentPbxDisconnectsLan()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--ping", "0"}));
        ConsoleUnderTest c(0.02);
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        pbx.command("silence");
        QTRY_COMPARE_WITH_TIMEOUT(c.console->isLoggedOn(), false, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 0, 5000);
        QVERIFY(!c.console->isConnected());
        QVERIFY(!c.console->connection().isOpen(1));
        pbx.command("resume");
        c.ui.clear();
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
    }

    void silentPbxOverSerialLogsOff()
    {
        const QString path = QDir::currentPath() + QStringLiteral("/pbx-pty-silent");
        PbxProcess pbx;
        QVERIFY(pbx.startPty(path, {"--ping", "0"}));
        ConsoleUnderTest c(0.02);
        CSettingsSection("COM(Varo) port").writeString("Port Number", path);
        c.console->setConnectionType(0);
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        pbx.command("silence");
        QTRY_VERIFY_WITH_TIMEOUT(c.ui.texts().contains("#:log_nomore_response"), 10000);
        QCOMPARE(c.console->positionState(), 0);
        pbx.command("resume");
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        c.console->disconnectCommand();
    }

    void closedConnectionThenLogOnAgain()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--ping", "0"}));
        ConsoleUnderTest c(0.02);
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        pbx.command("close");
        QTRY_COMPARE_WITH_TIMEOUT(c.console->connection().isOpen(1), false, 5000);
        // The session notices the silence and logs off without a message.
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 0, 10000);
        c.ui.clear();
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
    }

    // The PBX is killed and another one starts on its port: the console logs
    // on by itself at its next attempt and shows the new PBX's stations.
    void killedPbxIsLoggedOnAgainByItself()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--stations", "30", "--lines", "4", "--ping", "0"}));
        ConsoleUnderTest c(0.05);
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        QCOMPARE(c.console->stations().count(), 30);

        pbx.kill();
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 0, 10000);
        QVERIFY(pbx.restartLan({"--stations", "40", "--lines", "6", "--ping", "0"}));
        QTRY_COMPARE_WITH_TIMEOUT(c.console->positionState(), 2, kLogOnTimeout);
        QCOMPARE(c.console->stations().count(), 40);
        QCOMPARE(c.console->coLines().count(), 6);
        QVERIFY(!c.console->stations().record(39)->name.isEmpty());
    }

    void noPbxListening()
    {
        ConsoleUnderTest c;
        c.useLan(PbxProcess::freePort());
        c.console->logOnCommand();
        QTRY_VERIFY_WITH_TIMEOUT(c.ui.texts().contains("#:lanport_connect_fail"), 8000);
        QVERIFY(c.ui.texts().first().startsWith("Connection is failed Error Code is "));
        QVERIFY(!c.console->isLoggedOn());
    }
};

QTEST_GUILESS_MAIN(TestE2eLogOn)
#include "tst_e2e_logon.moc"
