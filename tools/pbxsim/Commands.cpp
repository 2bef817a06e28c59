#include "Commands.h"

#include "Faults.h"
#include "PbxMessages.h"
#include "PbxModel.h"
#include "PbxSession.h"

#include <QRegularExpression>

namespace pbxsim {

CommandTarget::~CommandTarget() = default;

namespace {

struct Args
{
    QStringList words;
    QString rest(int from) const { return words.mid(from).join(u' '); }
    int size() const { return int(words.size()); }
    QString at(int i) const { return i < words.size() ? words.at(i) : QString(); }
};

CommandResult fail(const QString &text)
{
    return {false, text};
}

CommandResult done(const QString &text = QStringLiteral("ok"))
{
    return {true, text};
}

// A 1-based port or line number within count (any positive number when count is unknown).
bool number(const QString &word, int count, int *out)
{
    bool ok = false;
    const int v = word.toInt(&ok);
    if (!ok || v < 1 || (count >= 0 && v > count))
        return false;
    *out = v;
    return true;
}

bool percent(const QString &word, double *out)
{
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok || v < 0 || v > 100)
        return false;
    *out = v;
    return true;
}

bool digits(const QString &word)
{
    static const QRegularExpression re(QStringLiteral("^[0-9*#PSF]+$"));
    return re.match(word).hasMatch();
}

struct Command
{
    const char *name;
    const char *usage;
    const char *help;
    int minArgs;
};

const Command kCommands[] = {
    {"co-ring", "LINE incoming|transfer|recall|atd-recall [DIGITS]", "a CO call rings at the attendant (ring kinds 1 to 4) with the caller's digits", 2},
    {"co-stop", "LINE", "the caller on a line ringing at the attendant hangs up", 1},
    {"icm-ring", "PORT", "a station calls the attendant", 1},
    {"icm-stop", "PORT", "that station stops calling", 1},
    {"station", "PORT STATUS", "sets a station's status: idle dnd idle-ring busy hold ring icm col pgm invalid or a code", 2},
    {"line", "LINE STATUS", "sets a CO line's status: idle busy hold ring recall atd-recall disabled invalid or a code", 2},
    {"dnd", "PORT on|off", "do not disturb of a station", 2},
    {"call", "PORT PORT", "the first station calls the second (the attendant's port rings the attendant)", 2},
    {"call-out", "PORT [LINE]", "a station makes an outgoing call on a line (a free one when none is given)", 1},
    {"hold", "PORT", "a station holds its CO call; it recalls to the station and then to the attendant", 1},
    {"transfer", "PORT", "a station transfers its CO call to the attendant", 1},
    {"hang-up", "PORT", "a station ends whatever call it is in", 1},
    {"station-name", "PORT NAME...", "renames a station and reports it", 2},
    {"station-number", "PORT DIGITS|-", "renumbers a station (- clears the number) and reports it", 2},
    {"caller-id", "LINE DIGITS", "sets the caller identity of a line", 2},
    {"speed-change", "BIN NUMBER|- [line:N|group:N] [NAME...]", "a speed bin changed at a keyset, reported unasked", 2},
    {"display", "TEXT...", "shows a text on the upper line of the attendant's display", 1},
    {"traffic", "RATE", "random traffic at RATE events a second (0 stops it)", 1},
    {"silence", "", "stop sending anything", 0},
    {"resume", "", "send again", 0},
    {"close", "", "close the console's connection", 0},
    {"drop", "PERCENT", "share of frames sent that are lost", 1},
    {"drop-rx", "PERCENT", "share of frames received that are lost", 1},
    {"flip", "PERCENT", "share of frames sent with one bit flipped", 1},
    {"noise", "PERCENT", "share of frames sent after 1 to 8 noise bytes", 1},
    {"delay", "MS", "hold every frame sent back this long", 1},
    {"refuse-logon", "on|off [REASON]", "answer log-on requests with LOG_ON_NAK", 1},
    {"refuse-logoff", "on|off", "answer log-off requests with LOG_OFF_NAK", 1},
    {"zero-stations", "on|off", "report 0 stations", 1},
    {"ignore", "REQUEST", "never answer a request (hex code or name)", 1},
    {"unignore", "REQUEST", "answer it again", 1},
    {"close-after", "FRAMES", "close the connection after that many frames received (0 never)", 1},
    {"adm", "normal|disable|fail|invalid", "how ADM_StaNo is answered", 1},
    {"log-off-state", "", "send LOG_OFF_STATE: the PBX logs the position off", 0},
    {"log-on-ack", "", "send LOG_ON_ACK unasked: the PBX logs the position on and starts the session over", 0},
    {"packet-miss", "", "send LOG_PacketMissRep", 0},
    {"lifetime", "", "send LOG_LifeTime", 0},
    {"ping", "", "send a ping and expect 0x000F", 0},
    {"beep", "", "send the echo command \"beep\"", 0},
    {"popup", "", "send the echo command \"popup\"", 0},
    {"debug", "TEXT...", "send a debug text", 1},
    {"send", "HEX", "send a payload as one data frame", 1},
    {"raw", "HEX", "send bytes on the wire as they are", 1},
    {"status", "", "a summary of the PBX and the connection", 0},
    {"faults", "", "the faults in force", 0},
    {"programming", "", "the programming key strings received", 0},
    {"quit", "", "end the PBX", 0},
    {"help", "", "this list", 0},
};

const Command *findCommand(const QString &name)
{
    for (const Command &c : kCommands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

QByteArray parseHex(const QString &text, bool *ok)
{
    QString clean = text;
    clean.remove(QRegularExpression(QStringLiteral("[\\s.:]")));
    static const QRegularExpression re(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    *ok = re.match(clean).hasMatch();
    return *ok ? QByteArray::fromHex(clean.toLatin1()) : QByteArray();
}

} // namespace

QStringList commandHelp()
{
    QStringList out;
    for (const Command &c : kCommands) {
        const QString head = QStringLiteral("%1 %2").arg(QLatin1String(c.name), QLatin1String(c.usage)).trimmed();
        out << head.leftJustified(52) + u' ' + QLatin1String(c.help);
    }
    return out;
}

CommandResult runCommand(const QString &line, CommandTarget *target)
{
    Args a;
    a.words = line.trimmed().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (a.words.isEmpty())
        return fail(QStringLiteral("empty command"));
    const QString name = a.words.takeFirst().toLower();
    const Command *cmd = findCommand(name);
    if (!cmd)
        return fail(QStringLiteral("unknown command \"%1\"").arg(name));
    if (a.size() < cmd->minArgs)
        return fail(QStringLiteral("usage: %1 %2").arg(QLatin1String(cmd->name), QLatin1String(cmd->usage)));

    PbxModel *m = target ? &target->model() : nullptr;
    FaultSettings *f = target ? &target->faults() : nullptr;
    PbxSession *s = target ? target->session() : nullptr;
    const int stations = m ? m->stationCount() : -1;
    const int lines = m ? m->lineCount() : -1;
    int p1 = 0, p2 = 0;
    bool on = false;
    double pct = 0;
    const auto badPort = [&] { return fail(QStringLiteral("%1: no such port or line").arg(name)); };

    if (name == u"co-ring") {
        static const QStringList kinds = {QStringLiteral("incoming"), QStringLiteral("transfer"), QStringLiteral("recall"),
                                          QStringLiteral("atd-recall")};
        const int kind = int(kinds.indexOf(a.at(1).toLower())) + 1;
        if (!number(a.at(0), lines, &p1))
            return badPort();
        if (kind < 1)
            return fail(QStringLiteral("co-ring: ring kind is incoming, transfer, recall or atd-recall"));
        if (a.size() > 2 && !digits(a.at(2)))
            return fail(QStringLiteral("co-ring: caller digits are 0-9 * # P S F"));
        if (m)
            m->coRing(p1 - 1, quint8(kind), a.at(2));
        return done();
    }
    if (name == u"co-stop" || name == u"icm-ring" || name == u"icm-stop" || name == u"hold" || name == u"transfer"
        || name == u"hang-up") {
        const bool isLine = name == u"co-stop";
        if (!number(a.at(0), isLine ? lines : stations, &p1))
            return badPort();
        if (!m)
            return done();
        bool ok = true;
        if (name == u"co-stop")
            ok = m->coRingEnd(p1 - 1);
        else if (name == u"icm-ring")
            ok = m->icmRing(p1 - 1);
        else if (name == u"icm-stop")
            ok = m->icmRingEnd(p1 - 1);
        else if (name == u"hold")
            ok = m->stationHold(p1 - 1);
        else if (name == u"transfer")
            ok = m->stationTransferToAttendant(p1 - 1);
        else
            ok = m->hangUp(p1 - 1);
        return ok ? done() : fail(QStringLiteral("%1: not possible now").arg(name));
    }
    if (name == u"station" || name == u"line") {
        const bool isLine = name == u"line";
        if (!number(a.at(0), isLine ? lines : stations, &p1))
            return badPort();
        const int status = isLine ? Status::parseLine(a.at(1)) : Status::parseStation(a.at(1));
        if (status < 0)
            return fail(QStringLiteral("%1: unknown status \"%2\"").arg(name, a.at(1)));
        if (!m)
            return done();
        const bool ok = isLine ? m->setLineStatus(p1 - 1, quint8(status)) : m->setStationStatus(p1 - 1, quint8(status));
        return ok ? done() : fail(QStringLiteral("%1: the attendant's own status follows its calls").arg(name));
    }
    if (name == u"dnd") {
        if (!number(a.at(0), stations, &p1))
            return badPort();
        if (!FaultSettings::parseSwitch(a.at(1), &on))
            return fail(QStringLiteral("dnd: on or off"));
        if (m && !m->setStationDnd(p1 - 1, on))
            return fail(QStringLiteral("dnd: not for the attendant's own port"));
        return done();
    }
    if (name == u"call") {
        if (!number(a.at(0), stations, &p1) || !number(a.at(1), stations, &p2))
            return badPort();
        if (m && !m->stationCall(p1 - 1, p2 - 1))
            return fail(QStringLiteral("call: the caller is not free"));
        return done();
    }
    if (name == u"call-out") {
        if (!number(a.at(0), stations, &p1) || (a.size() > 1 && !number(a.at(1), lines, &p2)))
            return badPort();
        if (m && !m->stationOutgoing(p1 - 1, a.size() > 1 ? p2 - 1 : -1))
            return fail(QStringLiteral("call-out: station or line not free"));
        return done();
    }
    if (name == u"station-name") {
        if (!number(a.at(0), stations, &p1))
            return badPort();
        if (m)
            m->setStationName(p1 - 1, a.rest(1).toUpper());
        return done();
    }
    if (name == u"station-number") {
        if (!number(a.at(0), stations, &p1))
            return badPort();
        const QString n = a.at(1) == u"-" ? QString() : a.at(1);
        static const QRegularExpression re(QStringLiteral("^[0-9]{1,4}$"));
        if (!n.isEmpty() && !re.match(n).hasMatch())
            return fail(QStringLiteral("station-number: one to four digits, or -"));
        if (m && !m->setStationNumber(p1 - 1, n))
            return fail(QStringLiteral("station-number: %1 is in use").arg(n));
        return done();
    }
    if (name == u"caller-id") {
        if (!number(a.at(0), lines, &p1))
            return badPort();
        if (!digits(a.at(1)))
            return fail(QStringLiteral("caller-id: digits are 0-9 * # P S F"));
        if (m)
            m->setCallerId(p1 - 1, a.at(1));
        return done();
    }
    if (name == u"speed-change") {
        bool ok = false;
        SpeedBinRecord r;
        r.bin = quint16(a.at(0).toUInt(&ok));
        if (!ok)
            return fail(QStringLiteral("speed-change: bin number"));
        if (a.at(1) != u"-" && !digits(a.at(1)))
            return fail(QStringLiteral("speed-change: number digits are 0-9 * # P S F"));
        r.number = a.at(1) == u"-" ? QString() : a.at(1);
        int from = 2;
        const QString co = a.at(2).toLower();
        if (co.startsWith(u"line:") || co.startsWith(u"group:")) {
            const int v = co.section(u':', 1).toInt(&ok);
            if (!ok || v < 0 || v > 255)
                return fail(QStringLiteral("speed-change: line:N or group:N"));
            r.coType = co.startsWith(u"line") ? SpeedBinRecord::Line : SpeedBinRecord::Group;
            r.coNumber = quint8(v);
            from = 3;
        }
        r.name = a.rest(from);
        if (m && !m->keysetSpeedChange(r))
            return fail(QStringLiteral("speed-change: bin %1 is outside the range").arg(r.bin));
        return done();
    }
    if (name == u"display") {
        if (m)
            m->showText(a.rest(0));
        return done();
    }
    if (name == u"traffic") {
        bool ok = false;
        const double rate = a.at(0).toDouble(&ok);
        if (!ok || rate < 0 || rate > 1000)
            return fail(QStringLiteral("traffic: a rate from 0 to 1000"));
        if (target)
            target->setTrafficRate(rate);
        return done();
    }
    if (name == u"silence" || name == u"resume") {
        if (f)
            f->silent = name == u"silence";
        return done();
    }
    if (name == u"close") {
        if (target)
            target->closeConnection();
        return done();
    }
    if (name == u"drop" || name == u"drop-rx" || name == u"flip" || name == u"noise") {
        if (!percent(a.at(0), &pct))
            return fail(QStringLiteral("%1: a percentage from 0 to 100").arg(name));
        if (f) {
            if (name == u"drop")
                f->dropPercent = pct;
            else if (name == u"drop-rx")
                f->dropRxPercent = pct;
            else if (name == u"flip")
                f->flipPercent = pct;
            else
                f->noisePercent = pct;
        }
        return done();
    }
    if (name == u"delay" || name == u"close-after") {
        bool ok = false;
        const int v = a.at(0).toInt(&ok);
        if (!ok || v < 0)
            return fail(QStringLiteral("%1: a number of 0 or more").arg(name));
        if (f) {
            if (name == u"delay")
                f->delayMs = v;
            else
                f->closeAfterFrames = v;
        }
        return done();
    }
    if (name == u"refuse-logon" || name == u"refuse-logoff" || name == u"zero-stations") {
        if (!FaultSettings::parseSwitch(a.at(0), &on))
            return fail(QStringLiteral("%1: on or off").arg(name));
        bool ok = true;
        const uint reason = a.size() > 1 ? a.at(1).toUInt(&ok, 0) : 1;
        if (!ok || reason > 255)
            return fail(QStringLiteral("refuse-logon: a reason from 0 to 255"));
        if (f) {
            if (name == u"refuse-logon") {
                f->refuseLogOn = on;
                f->nakReason = quint8(reason);
            } else if (name == u"refuse-logoff") {
                f->refuseLogOff = on;
            } else {
                f->zeroStations = on;
            }
        }
        return done();
    }
    if (name == u"ignore" || name == u"unignore") {
        quint16 code = 0;
        if (!FaultSettings::parseRequest(a.at(0), &code))
            return fail(QStringLiteral("%1: unknown request \"%2\"").arg(name, a.at(0)));
        if (f) {
            if (name == u"ignore")
                f->ignored.insert(code);
            else
                f->ignored.remove(code);
        }
        return done();
    }
    if (name == u"adm") {
        FaultSettings::Adm adm;
        if (!FaultSettings::parseAdm(a.at(0), &adm))
            return fail(QStringLiteral("adm: normal, disable, fail or invalid"));
        if (f)
            f->adm = adm;
        return done();
    }
    if (name == u"send" || name == u"raw") {
        bool ok = false;
        const QByteArray bytes = parseHex(a.rest(0), &ok);
        if (!ok || (name == u"send" && bytes.size() > 63))
            return fail(QStringLiteral("%1: hexadecimal bytes%2").arg(name, name == u"send" ? QStringLiteral(", at most 63") : QString()));
        if (!target)
            return done();
        if (!s)
            return fail(QStringLiteral("no console is connected"));
        if (name == u"send")
            s->sendPayload(bytes);
        else
            s->sendRawBytes(bytes);
        return done();
    }
    if (name == u"log-off-state" || name == u"log-on-ack" || name == u"packet-miss" || name == u"lifetime" || name == u"ping" || name == u"beep"
        || name == u"popup" || name == u"debug") {
        if (!target)
            return done();
        if (!s)
            return fail(QStringLiteral("no console is connected"));
        if (name == u"log-off-state")
            s->sendLogOffState();
        else if (name == u"log-on-ack")
            s->sendLogOnAck();
        else if (name == u"packet-miss")
            s->sendPacketMissReport();
        else if (name == u"lifetime")
            s->sendLifeTime();
        else if (name == u"ping")
            s->sendPing();
        else if (name == u"debug")
            s->sendDebugText(a.rest(0));
        else
            s->sendEcho(name.toLatin1());
        return done();
    }
    if (name == u"status")
        return done(target ? target->statusText() : QString());
    if (name == u"faults")
        return done(f ? f->describe() : QString());
    if (name == u"programming")
        return done(m ? m->programmingLog().join(QStringLiteral(" | ")) : QString());
    if (name == u"quit") {
        if (target)
            target->quit();
        return done();
    }
    return done(commandHelp().join(u'\n'));
}

} // namespace pbxsim
