#include "PbxOptions.h"

#include "Commands.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace pbxsim {

namespace {

struct Parser
{
    QCommandLineParser p;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help.")};
    QCommandLineOption version{QStringLiteral("version"), QStringLiteral("Shows the program version.")};
    QCommandLineOption listen{QStringLiteral("listen"), QStringLiteral("TCP address and port to serve (default 127.0.0.1:5627; port 0 picks a free one). One console at a time: a new connection replaces the old."), QStringLiteral("ADDR:PORT")};
    QCommandLineOption pty{QStringLiteral("pty"), QStringLiteral("Create a pseudo-terminal pair and link its console end to PATH (the console opens PATH as its port). Replaces the TCP server."), QStringLiteral("PATH")};
    QCommandLineOption serial{QStringLiteral("serial"), QStringLiteral("Serve an existing serial device, 8N1 at --baud (default 9600). Replaces the TCP server."), QStringLiteral("DEVICE")};
    QCommandLineOption baud{QStringLiteral("baud"), QStringLiteral("Pace what the PBX sends to the byte rate of this baud rate (baud / 10 bytes a second); 0 sends as fast as the link takes it."), QStringLiteral("N")};
    QCommandLineOption nagle{QStringLiteral("nagle"),
                             QStringLiteral("Leave Nagle's algorithm on (no TCP_NODELAY), as small embedded stacks do.")};
    QCommandLineOption pack{QStringLiteral("pack"), QStringLiteral("Put several events of one moment into one frame where they fit.")};
    QCommandLineOption stations{QStringLiteral("stations"), QStringLiteral("Number of stations, 1 to 2000 (default 48)."), QStringLiteral("N")};
    QCommandLineOption lines{QStringLiteral("lines"), QStringLiteral("Number of CO lines, 0 to 400 (default 16)."), QStringLiteral("N")};
    QCommandLineOption own{QStringLiteral("own-station"), QStringLiteral("The attendant's own port (default 1)."), QStringLiteral("PORT")};
    QCommandLineOption coNames{QStringLiteral("co-names"), QStringLiteral("Number of CO names, 0 to 255 (default one a line, at most 32)."), QStringLiteral("N")};
    QCommandLineOption paging{QStringLiteral("paging-zones"), QStringLiteral("Internal paging number (default 4)."), QStringLiteral("N")};
    QCommandLineOption speedBins{QStringLiteral("speed-bins"), QStringLiteral("System speed-bin range (default 2000-2099)."), QStringLiteral("FIRST-LAST")};
    QCommandLineOption speedFile{QStringLiteral("speed-file"), QStringLiteral("Load the speed bins from FILE and save every change to it."), QStringLiteral("FILE")};
    QCommandLineOption oldVersion{QStringLiteral("old-version"), QStringLiteral("Report the version 0x00010102, so the console asks stations in the 0x0305 form.")};
    QCommandLineOption pbxVersion{QStringLiteral("pbx-version"), QStringLiteral("Report this 32-bit version value (hex, default 00010104)."), QStringLiteral("HEX")};
    QCommandLineOption clock{QStringLiteral("clock"), QStringLiteral("Start the PBX clock at this time (yyyy-MM-ddTHH:mm:ss; default the system time)."), QStringLiteral("TIME")};
    QCommandLineOption recall{QStringLiteral("recall"), QStringLiteral("Seconds until a held line recalls (default 30)."), QStringLiteral("S")};
    QCommandLineOption ringTimeout{QStringLiteral("ring-timeout"), QStringLiteral("Seconds until an unanswered caller gives up (default 45)."), QStringLiteral("S")};
    QCommandLineOption answerDelay{QStringLiteral("answer-delay"), QStringLiteral("Seconds until a rung station answers (default 2, plus up to half of it at random)."), QStringLiteral("S")};
    QCommandLineOption ping{QStringLiteral("ping"), QStringLiteral("Seconds between pings while logged on (default 60; 0 none)."), QStringLiteral("S")};
    QCommandLineOption traffic{QStringLiteral("traffic"), QStringLiteral("Random calls and station activity at RATE events a second."), QStringLiteral("RATE")};
    QCommandLineOption scenario{QStringLiteral("scenario"), QStringLiteral("Play a timed script of actions (see below)."), QStringLiteral("FILE")};
    QCommandLineOption scenarioStart{QStringLiteral("scenario-from-start"), QStringLiteral("Count scenario times from the start of the program, not from the moment a console first asks for live status.")};
    QCommandLineOption seed{QStringLiteral("seed"), QStringLiteral("Seed of the random numbers (traffic and faults), for runs that repeat."), QStringLiteral("N")};
    QCommandLineOption log{QStringLiteral("log"), QStringLiteral("Write one line per frame received and sent (decoded and in hex) and per note to FILE, or to standard output with -."), QStringLiteral("FILE|-")};
    QCommandLineOption control{QStringLiteral("control"), QStringLiteral("Take commands, one a line, on a local socket at PATH (the same commands as standard input)."), QStringLiteral("PATH")};
    QCommandLineOption noStdin{QStringLiteral("no-stdin"), QStringLiteral("Do not read commands from standard input.")};
    QCommandLineOption drop{QStringLiteral("drop"), QStringLiteral("Fault: lose this share of the frames sent."), QStringLiteral("PERCENT")};
    QCommandLineOption dropRx{QStringLiteral("drop-rx"), QStringLiteral("Fault: lose this share of the frames received."), QStringLiteral("PERCENT")};
    QCommandLineOption flip{QStringLiteral("flip"), QStringLiteral("Fault: flip one bit in this share of the frames sent."), QStringLiteral("PERCENT")};
    QCommandLineOption noise{QStringLiteral("noise"), QStringLiteral("Fault: send 1 to 8 noise bytes (never 0xBA) before this share of the frames."), QStringLiteral("PERCENT")};
    QCommandLineOption delay{QStringLiteral("delay"), QStringLiteral("Fault: hold every frame sent back by MS milliseconds."), QStringLiteral("MS")};
    QCommandLineOption silent{QStringLiteral("silent"), QStringLiteral("Fault: send nothing at all (the control command resume ends it).")};
    QCommandLineOption closeAfter{QStringLiteral("close-after"), QStringLiteral("Fault: close the connection after N frames received."), QStringLiteral("N")};
    QCommandLineOption refuseLogOn{QStringLiteral("refuse-logon"), QStringLiteral("Fault: answer LOG_ON_Request with LOG_ON_NAK.")};
    QCommandLineOption nakReason{QStringLiteral("nak-reason"), QStringLiteral("Reason byte of LOG_ON_NAK (default 1)."), QStringLiteral("N")};
    QCommandLineOption refuseLogOff{QStringLiteral("refuse-logoff"), QStringLiteral("Fault: answer LOG_OFF_REQ with LOG_OFF_NAK.")};
    QCommandLineOption zeroStations{QStringLiteral("zero-stations"), QStringLiteral("Fault: report 0 stations.")};
    QCommandLineOption ignore{QStringLiteral("ignore"), QStringLiteral("Fault: never answer this request (hex code such as 0102 or a name such as SYSI_TRKNUMS_REQ); may be repeated."), QStringLiteral("REQUEST")};
    QCommandLineOption adm{QStringLiteral("adm"), QStringLiteral("Fault: answer ADM_StaNo with disable, fail or invalid (default normal)."), QStringLiteral("ANSWER")};

    Parser()
    {
        p.setApplicationDescription(QStringLiteral("zarto-pbxsim: a simulated key telephone system for the Zarto attendant console."));
        p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        p.addOptions({help, version, listen, pty, serial, baud, pack, nagle, stations, lines, own, coNames, paging, speedBins,
                      speedFile, oldVersion, pbxVersion, clock, recall, ringTimeout, answerDelay, ping, traffic,
                      scenario, scenarioStart, seed, log, control, noStdin, drop, dropRx, flip, noise, delay, silent,
                      closeAfter, refuseLogOn, nakReason, refuseLogOff, zeroStations, ignore, adm});
    }
};

bool intIn(const QString &text, int lo, int hi, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool secondsMs(const QString &text, int *out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || v < 0 || v > 86400)
        return false;
    *out = int(v * 1000);
    return true;
}

bool percent(const QString &text, double *out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || v < 0 || v > 100)
        return false;
    *out = v;
    return true;
}

} // namespace

QString PbxOptions::helpText()
{
    Parser parser;
    QString text = parser.p.helpText();
    text += QStringLiteral(
        "\nCommands (standard input, the --control socket, and as scenario actions;\n"
        "PORT is a station's port number, LINE a CO line number, both from 1):\n");
    for (const QString &line : commandHelp())
        text += QStringLiteral("  ") + line + u'\n';
    text += QStringLiteral(
        "\nScenario files: one action a line, \"TIME ACTION ARGS\", TIME in seconds from the\n"
        "start of the script (\"2.5\") or after the line before (\"+0.5\"); \"TIME repeat\"\n"
        "starts it over; \"#\" begins a comment. For example:\n"
        "  2.0 co-ring 3 incoming 0123456\n"
        "  3.5 station 12 busy\n"
        "  9 silence\n"
        "Times count from the moment the first console asks for live status, unless\n"
        "--scenario-from-start is given.\n");
    return text;
}

PbxOptions::Outcome PbxOptions::parse(const QStringList &args, PbxOptions *out, QString *message)
{
    Parser parser;
    QCommandLineParser &p = parser.p;
    if (!p.parse(args)) {
        *message = p.errorText();
        return Outcome::Error;
    }
    if (p.isSet(parser.help)) {
        *message = helpText();
        return Outcome::Help;
    }
    if (p.isSet(parser.version)) {
        *message = QStringLiteral("zarto-pbxsim 1.0");
        return Outcome::Version;
    }
    if (!p.positionalArguments().isEmpty()) {
        *message = QStringLiteral("unexpected argument: %1").arg(p.positionalArguments().first());
        return Outcome::Error;
    }
    PbxOptions o;
    PbxConfig &c = o.config;
    const auto bad = [&](const QCommandLineOption &opt, const QString &why) {
        *message = QStringLiteral("--%1 %2: %3").arg(opt.names().last(), p.value(opt), why);
        return Outcome::Error;
    };
    if (p.isSet(parser.listen)) {
        o.listen = p.value(parser.listen);
        static const QRegularExpression re(QStringLiteral("^(.+):(\\d{1,5})$"));
        const QRegularExpressionMatch m = re.match(o.listen);
        if (!m.hasMatch() || m.captured(2).toInt() > 65535)
            return bad(parser.listen, QStringLiteral("ADDR:PORT expected"));
    }
    o.pty = p.value(parser.pty);
    o.serial = p.value(parser.serial);
    if (!o.pty.isEmpty() && !o.serial.isEmpty()) {
        *message = QStringLiteral("--pty and --serial exclude each other");
        return Outcome::Error;
    }
    if (p.isSet(parser.baud) && !intIn(p.value(parser.baud), 0, 4000000, &o.baud))
        return bad(parser.baud, QStringLiteral("a baud rate expected"));
    o.pack = p.isSet(parser.pack);
    o.nagle = p.isSet(parser.nagle);
    if (p.isSet(parser.stations) && !intIn(p.value(parser.stations), 1, PbxConfig::kMaxStations, &c.stations))
        return bad(parser.stations, QStringLiteral("1 to 2000"));
    if (p.isSet(parser.lines) && !intIn(p.value(parser.lines), 0, PbxConfig::kMaxLines, &c.lines))
        return bad(parser.lines, QStringLiteral("0 to 400"));
    if (p.isSet(parser.own) && !intIn(p.value(parser.own), 1, c.stations, &c.ownStation))
        return bad(parser.own, QStringLiteral("a port of the stations"));
    if (p.isSet(parser.coNames) && !intIn(p.value(parser.coNames), 0, 255, &c.coNames))
        return bad(parser.coNames, QStringLiteral("0 to 255"));
    int v = 0;
    if (p.isSet(parser.paging)) {
        if (!intIn(p.value(parser.paging), 0, 255, &v))
            return bad(parser.paging, QStringLiteral("0 to 255"));
        c.paging = quint8(v);
    }
    if (p.isSet(parser.speedBins)) {
        static const QRegularExpression re(QStringLiteral("^(\\d{1,5})-(\\d{1,5})$"));
        const QRegularExpressionMatch m = re.match(p.value(parser.speedBins));
        const int first = m.captured(1).toInt();
        const int last = m.captured(2).toInt();
        if (!m.hasMatch() || first > last || last > 0xFFFF)
            return bad(parser.speedBins, QStringLiteral("FIRST-LAST expected"));
        c.speedFirst = quint16(first);
        c.speedLast = quint16(last);
    }
    o.speedFile = p.value(parser.speedFile);
    if (p.isSet(parser.oldVersion))
        c.version = PbxConfig::kOldVersion;
    if (p.isSet(parser.pbxVersion)) {
        bool ok = false;
        c.version = p.value(parser.pbxVersion).toUInt(&ok, 16);
        if (!ok)
            return bad(parser.pbxVersion, QStringLiteral("a hexadecimal value expected"));
    }
    if (p.isSet(parser.clock)) {
        c.clockStart = QDateTime::fromString(p.value(parser.clock), Qt::ISODate);
        if (!c.clockStart.isValid())
            return bad(parser.clock, QStringLiteral("yyyy-MM-ddTHH:mm:ss expected"));
    }
    if (p.isSet(parser.recall) && !secondsMs(p.value(parser.recall), &c.recallMs))
        return bad(parser.recall, QStringLiteral("seconds expected"));
    if (p.isSet(parser.ringTimeout) && !secondsMs(p.value(parser.ringTimeout), &c.ringTimeoutMs))
        return bad(parser.ringTimeout, QStringLiteral("seconds expected"));
    if (p.isSet(parser.answerDelay) && !secondsMs(p.value(parser.answerDelay), &c.answerDelayMs))
        return bad(parser.answerDelay, QStringLiteral("seconds expected"));
    if (p.isSet(parser.ping) && !secondsMs(p.value(parser.ping), &c.pingIntervalMs))
        return bad(parser.ping, QStringLiteral("seconds expected"));
    if (p.isSet(parser.traffic)) {
        bool ok = false;
        o.traffic = p.value(parser.traffic).toDouble(&ok);
        if (!ok || o.traffic < 0 || o.traffic > 1000)
            return bad(parser.traffic, QStringLiteral("0 to 1000 events a second"));
    }
    o.scenario = p.value(parser.scenario);
    o.scenarioFromStart = p.isSet(parser.scenarioStart);
    if (p.isSet(parser.seed)) {
        bool ok = false;
        o.seed = p.value(parser.seed).toUInt(&ok);
        if (!ok)
            return bad(parser.seed, QStringLiteral("a number expected"));
        o.seedSet = true;
    }
    o.log = p.value(parser.log);
    o.control = p.value(parser.control);
    o.noStdin = p.isSet(parser.noStdin);

    FaultSettings &f = o.faults;
    if (p.isSet(parser.drop) && !percent(p.value(parser.drop), &f.dropPercent))
        return bad(parser.drop, QStringLiteral("0 to 100"));
    if (p.isSet(parser.dropRx) && !percent(p.value(parser.dropRx), &f.dropRxPercent))
        return bad(parser.dropRx, QStringLiteral("0 to 100"));
    if (p.isSet(parser.flip) && !percent(p.value(parser.flip), &f.flipPercent))
        return bad(parser.flip, QStringLiteral("0 to 100"));
    if (p.isSet(parser.noise) && !percent(p.value(parser.noise), &f.noisePercent))
        return bad(parser.noise, QStringLiteral("0 to 100"));
    if (p.isSet(parser.delay) && !intIn(p.value(parser.delay), 0, 3600000, &f.delayMs))
        return bad(parser.delay, QStringLiteral("milliseconds expected"));
    f.silent = p.isSet(parser.silent);
    if (p.isSet(parser.closeAfter) && !intIn(p.value(parser.closeAfter), 0, 1 << 30, &f.closeAfterFrames))
        return bad(parser.closeAfter, QStringLiteral("a number of frames expected"));
    f.refuseLogOn = p.isSet(parser.refuseLogOn);
    if (p.isSet(parser.nakReason)) {
        if (!intIn(p.value(parser.nakReason), 0, 255, &v))
            return bad(parser.nakReason, QStringLiteral("0 to 255"));
        f.nakReason = quint8(v);
    }
    f.refuseLogOff = p.isSet(parser.refuseLogOff);
    f.zeroStations = p.isSet(parser.zeroStations);
    for (const QString &r : p.values(parser.ignore)) {
        quint16 code = 0;
        if (!FaultSettings::parseRequest(r, &code)) {
            *message = QStringLiteral("--ignore %1: unknown request").arg(r);
            return Outcome::Error;
        }
        f.ignored.insert(code);
    }
    if (p.isSet(parser.adm) && !FaultSettings::parseAdm(p.value(parser.adm), &f.adm))
        return bad(parser.adm, QStringLiteral("normal, disable, fail or invalid"));
    *out = o;
    return Outcome::Run;
}

} // namespace pbxsim
