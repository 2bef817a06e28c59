#include "PbxHarness.h"

#include "Commands.h"
#include "PbxOptions.h"
#include "Scenario.h"
#include "Traffic.h"

#include <QTest>

using namespace pbxsim;

namespace {
// The running PBX as the commands see it, on virtual time.
class Target : public CommandTarget
{
public:
    explicit Target(PbxHarness &h)
        : m_h(h)
        , traffic(*h.model)
    {
    }
    PbxModel &model() override { return *m_h.model; }
    FaultSettings &faults() override { return m_h.faults; }
    PbxSession *session() override { return m_h.session.get(); }
    void closeConnection() override { ++closes; }
    void setTrafficRate(double rate) override { traffic.setRate(rate); }
    void quit() override { ++quits; }
    QString statusText() override { return QStringLiteral("fine"); }

    PbxHarness &m_h;
    TrafficGenerator traffic;
    int closes = 0;
    int quits = 0;
};
} // namespace

class TestPbxScenario : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("state"); // a short account of the effect
        QTest::newRow("co-ring") << QStringLiteral("co-ring 3 incoming 0123456") << true << QStringLiteral("line3=12");
        QTest::newRow("co-ring recall") << QStringLiteral("co-ring 2 recall") << true << QStringLiteral("line2=81");
        QTest::newRow("station busy") << QStringLiteral("station 12 busy") << true << QStringLiteral("station12=10");
        QTest::newRow("station by code") << QStringLiteral("station 12 0x44") << true << QStringLiteral("station12=44");
        QTest::newRow("line disabled") << QStringLiteral("line 4 disabled") << true << QStringLiteral("line4=83");
        QTest::newRow("dnd") << QStringLiteral("dnd 7 on") << true << QStringLiteral("station7=41");
        QTest::newRow("call between stations") << QStringLiteral("call 7 8") << true << QStringLiteral("station8=12");
        QTest::newRow("call to the attendant") << QStringLiteral("call 7 1") << true << QStringLiteral("ringing=1");
        QTest::newRow("silence") << QStringLiteral("silence") << true << QStringLiteral("silent=1");
        QTest::newRow("drop") << QStringLiteral("drop 12.5") << true << QStringLiteral("drop=12.5");
        QTest::newRow("ignore by name") << QStringLiteral("ignore SYSI_TRKNUMS_REQ") << true << QStringLiteral("ignored=0102");
        QTest::newRow("ignore by code") << QStringLiteral("ignore 0x0A01") << true << QStringLiteral("ignored=0a01");
        QTest::newRow("refuse-logon") << QStringLiteral("refuse-logon on 7") << true << QStringLiteral("nak=7");
        QTest::newRow("adm") << QStringLiteral("adm fail") << true << QStringLiteral("adm=fail");
        QTest::newRow("close") << QStringLiteral("close") << true << QStringLiteral("closes=1");
        QTest::newRow("quit") << QStringLiteral("quit") << true << QStringLiteral("quits=1");
        QTest::newRow("station name") << QStringLiteral("station-name 3 mary ann") << true << QStringLiteral("name3=MARY ANN");
        QTest::newRow("unknown command") << QStringLiteral("explode 3") << false << QString();
        QTest::newRow("missing argument") << QStringLiteral("co-ring 3") << false << QString();
        QTest::newRow("line out of range") << QStringLiteral("co-ring 17 incoming") << false << QString();
        QTest::newRow("port 0") << QStringLiteral("station 0 busy") << false << QString();
        QTest::newRow("own port follows the attendant") << QStringLiteral("station 1 busy") << false << QString();
        QTest::newRow("bad ring kind") << QStringLiteral("co-ring 3 outgoing") << false << QString();
        QTest::newRow("bad digits") << QStringLiteral("co-ring 3 incoming 12a") << false << QString();
        QTest::newRow("bad status") << QStringLiteral("station 3 sleepy") << false << QString();
        QTest::newRow("percentage above 100") << QStringLiteral("flip 101") << false << QString();
        QTest::newRow("send too long") << QStringLiteral("send ") + QString(128, u'0') << false << QString();
        QTest::newRow("send odd hex") << QStringLiteral("send 0 1 2") << false << QString();
        QTest::newRow("unknown request") << QStringLiteral("ignore 0x0106") << false << QString();
    }

    void commands()
    {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        QFETCH(QString, state);
        // A scenario checks its lines without running them; the answer must agree.
        const bool checkedOk = runCommand(line, nullptr).ok;
        PbxHarness h;
        Target t(h);
        const CommandResult r = runCommand(line, &t);
        QCOMPARE(r.ok, ok);
        // Only a running PBX knows its own port and how many lines it has.
        if (line != u"station 1 busy" && !line.contains(u"17"))
            QCOMPARE(checkedOk, ok);
        if (!ok)
            return;
        const QString key = state.section(u'=', 0, 0);
        const QString want = state.section(u'=', 1);
        QString got;
        if (key.startsWith(u"line"))
            got = QString::asprintf("%02x", h.model->line(key.mid(4).toInt() - 1).status);
        else if (key.startsWith(u"station"))
            got = QString::asprintf("%02x", h.model->station(key.mid(7).toInt() - 1).status);
        else if (key.startsWith(u"name"))
            got = h.model->station(key.mid(4).toInt() - 1).name;
        else if (key == u"ringing")
            got = QString::number(h.model->attendant().ringing.size());
        else if (key == u"silent")
            got = QString::number(h.faults.silent ? 1 : 0);
        else if (key == u"drop")
            got = QString::number(h.faults.dropPercent);
        else if (key == u"ignored")
            got = h.faults.ignored.isEmpty() ? QString() : QString::asprintf("%04x", *h.faults.ignored.begin());
        else if (key == u"nak")
            got = h.faults.refuseLogOn ? QString::number(h.faults.nakReason) : QString();
        else if (key == u"adm")
            got = FaultSettings::admName(h.faults.adm);
        else if (key == u"closes")
            got = QString::number(t.closes);
        else if (key == u"quits")
            got = QString::number(t.quits);
        QCOMPARE(got, want);
    }

    void sendCommandsNeedAConsole()
    {
        PbxHarness h;
        Target t(h);
        h.session.reset();
        QVERIFY(!runCommand(QStringLiteral("beep"), &t).ok);
        h.newSession();
        QVERIFY(runCommand(QStringLiteral("send 00 09"), &t).ok);
        QVERIFY(runCommand(QStringLiteral("raw BA"), &t).ok);
        QCOMPARE(h.wire.toHex(' '), QByteArray("ba ec 90 c2 00 09 a4 bc ba"));
    }

    void helpNamesEveryCommandAndOption()
    {
        const QString help = PbxOptions::helpText();
        for (const QString &line : commandHelp())
            QVERIFY2(help.contains(line.section(u' ', 0, 0)), qPrintable(line));
        for (const char *option : {"--listen", "--pty", "--serial", "--baud", "--stations", "--lines", "--speed-bins",
                                   "--speed-file", "--old-version", "--traffic", "--scenario", "--log", "--control",
                                   "--drop", "--flip", "--noise", "--delay", "--silent", "--close-after",
                                   "--refuse-logon", "--zero-stations", "--ignore", "--adm"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }

    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("check");
        const auto run = int(PbxOptions::Outcome::Run);
        const auto error = int(PbxOptions::Outcome::Error);
        QTest::newRow("defaults") << QStringList() << run << QStringLiteral("48/16/2000-2099/127.0.0.1:5627");
        QTest::newRow("sizes") << QStringList{QStringLiteral("--stations"), QStringLiteral("2000"), QStringLiteral("--lines"),
                                              QStringLiteral("400"), QStringLiteral("--speed-bins"), QStringLiteral("3000-3499")}
                               << run << QStringLiteral("2000/400/3000-3499/127.0.0.1:5627");
        QTest::newRow("listen") << QStringList{QStringLiteral("--listen"), QStringLiteral("0.0.0.0:6000")} << run
                                << QStringLiteral("48/16/2000-2099/0.0.0.0:6000");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << int(PbxOptions::Outcome::Help) << QString();
        QTest::newRow("too many stations") << QStringList{QStringLiteral("--stations"), QStringLiteral("2001")} << error << QString();
        QTest::newRow("too many lines") << QStringList{QStringLiteral("--lines"), QStringLiteral("401")} << error << QString();
        QTest::newRow("range backwards") << QStringList{QStringLiteral("--speed-bins"), QStringLiteral("2099-2000")} << error << QString();
        QTest::newRow("listen without port") << QStringList{QStringLiteral("--listen"), QStringLiteral("localhost")} << error << QString();
        QTest::newRow("pty and serial") << QStringList{QStringLiteral("--pty"), QStringLiteral("/tmp/a"), QStringLiteral("--serial"),
                                                       QStringLiteral("/dev/ttyS0")}
                                        << error << QString();
        QTest::newRow("unknown ignore") << QStringList{QStringLiteral("--ignore"), QStringLiteral("NOPE")} << error << QString();
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--frobnicate")} << error << QString();
        QTest::newRow("percentage") << QStringList{QStringLiteral("--drop"), QStringLiteral("150")} << error << QString();
    }

    void options()
    {
        QFETCH(QStringList, args);
        QFETCH(int, outcome);
        QFETCH(QString, check);
        PbxOptions o;
        QString message;
        QCOMPARE(int(PbxOptions::parse(QStringList{QStringLiteral("zarto-pbxsim")} + args, &o, &message)), outcome);
        if (outcome == int(PbxOptions::Outcome::Error))
            QVERIFY(!message.isEmpty());
        if (!check.isEmpty())
            QCOMPARE(QStringLiteral("%1/%2/%3-%4/%5")
                         .arg(o.config.stations)
                         .arg(o.config.lines)
                         .arg(o.config.speedFirst)
                         .arg(o.config.speedLast)
                         .arg(o.listen),
                     check);
    }

    void faultOptions()
    {
        PbxOptions o;
        QString message;
        const QStringList args{QStringLiteral("x"), QStringLiteral("--drop"), QStringLiteral("5"), QStringLiteral("--flip"),
                               QStringLiteral("1"), QStringLiteral("--noise"), QStringLiteral("2"), QStringLiteral("--delay"),
                               QStringLiteral("300"), QStringLiteral("--silent"), QStringLiteral("--close-after"),
                               QStringLiteral("10"), QStringLiteral("--refuse-logon"), QStringLiteral("--nak-reason"),
                               QStringLiteral("9"), QStringLiteral("--zero-stations"), QStringLiteral("--ignore"),
                               QStringLiteral("0102"), QStringLiteral("--ignore"), QStringLiteral("SPDI_Req"),
                               QStringLiteral("--adm"), QStringLiteral("invalid"), QStringLiteral("--old-version")};
        QCOMPARE(PbxOptions::parse(args, &o, &message), PbxOptions::Outcome::Run);
        const FaultSettings &f = o.faults;
        QCOMPARE(f.dropPercent, 5.0);
        QCOMPARE(f.flipPercent, 1.0);
        QCOMPARE(f.noisePercent, 2.0);
        QCOMPARE(f.delayMs, 300);
        QVERIFY(f.silent);
        QCOMPARE(f.closeAfterFrames, 10);
        QVERIFY(f.refuseLogOn);
        QCOMPARE(f.nakReason, quint8(9));
        QVERIFY(f.zeroStations);
        QCOMPARE(f.ignored, (QSet<quint16>{0x0102, 0x0A01}));
        QCOMPARE(f.adm, FaultSettings::Adm::Invalid);
        QCOMPARE(o.config.version, PbxConfig::kOldVersion);
    }

    void scenarioFiles_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        QTest::newRow("good") << QStringLiteral("# demo\n2.0 co-ring 3 incoming 0123456\n3.5 station 12 busy\n\n9 silence\n")
                              << QString();
        QTest::newRow("relative times") << QStringLiteral("1 silence\n+0.5 resume\n") << QString();
        QTest::newRow("comment after an action") << QStringLiteral("1 silence   # quiet now\n") << QString();
        QTest::newRow("hash inside a digit string") << QStringLiteral("1 co-ring 2 incoming 12#\n") << QString();
        QTest::newRow("bad time") << QStringLiteral("soon silence\n") << QStringLiteral("line 1: \"soon\" is not a time in seconds");
        QTest::newRow("time going back") << QStringLiteral("5 silence\n4 resume\n") << QStringLiteral("line 2: the time goes back");
        QTest::newRow("bad action") << QStringLiteral("1 silence\n2 explode\n") << QStringLiteral("line 2: unknown command \"explode\"");
        QTest::newRow("no action") << QStringLiteral("3\n") << QStringLiteral("line 1: no action");
    }

    void scenarioFiles()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        Scenario s;
        QString why;
        QCOMPARE(s.parse(text, &why), error.isEmpty());
        QCOMPARE(why, error);
    }

    void scenarioPlaysOnTime()
    {
        PbxHarness h;
        Target t(h);
        Scenario s;
        QString why;
        QVERIFY(s.parse(QStringLiteral("2.0 co-ring 3 incoming 0123456\n3.5 station 12 busy\n+1 station 12 idle\n9 silence\n"), &why));
        ScenarioPlayer player(h.scheduler, [&t](const ScenarioStep &step) { QVERIFY(runCommand(step.command, &t).ok); });
        player.setScenario(s);
        h.scheduler.advance(1000);
        player.start();
        h.scheduler.advance(1999);
        QCOMPARE(h.model->line(2).status, Status::TrkIdle);
        h.scheduler.advance(1);
        QCOMPARE(h.model->line(2).status, Status::Ring);
        QCOMPARE(h.model->line(2).callerId, QStringLiteral("0123456"));
        h.scheduler.advance(1500);
        QCOMPARE(h.model->station(11).status, Status::Busy);
        h.scheduler.advance(1000);
        QCOMPARE(h.model->station(11).status, Status::ExtIdle);
        QVERIFY(!h.faults.silent);
        h.scheduler.advance(4500);
        QVERIFY(h.faults.silent);
        QCOMPARE(player.stepsRun(), 4);
    }

    void scenarioRepeats()
    {
        PbxHarness h;
        Scenario s;
        QString why;
        QVERIFY(s.parse(QStringLiteral("1 silence\n2 resume\n5 repeat\n9 silence\n"), &why));
        QCOMPARE(s.steps().size(), 2);
        int runs = 0;
        ScenarioPlayer player(h.scheduler, [&runs](const ScenarioStep &) { ++runs; });
        player.setScenario(s);
        player.start();
        h.scheduler.advance(12000);
        QCOMPARE(runs, 6); // at 1, 2, 6, 7, 11, 12
    }

    void trafficKeepsThePbxBounded()
    {
        PbxHarness h;
        Target t(h);
        t.setTrafficRate(50);
        for (int second = 1; second <= 300; ++second) {
            h.scheduler.advance(1000);
            // Every call ends: the queue of pending timers stays within one a party.
            QVERIFY2(h.scheduler.pendingCount() <= h.model->stationCount() + h.model->lineCount() + 8,
                     qPrintable(QString::number(h.scheduler.pendingCount())));
        }
        QVERIFY(t.traffic.events() > 10000);
    }
};

QTEST_GUILESS_MAIN(TestPbxScenario)
#include "tst_pbxsim_scenario.moc"
