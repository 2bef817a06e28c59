#include "PbxSession.h"

#include "FrameLog.h"
#include "PbxMessages.h"

#include <cmath>

namespace pbxsim {

namespace {
quint16 at16(const QByteArray &p, int i)
{
    return quint16((quint8(p.at(i)) << 8) | quint8(p.at(i + 1)));
}
} // namespace

PbxSession::PbxSession(PbxModel &model, FaultSettings &faults, FrameLog *log)
    : m_model(model)
    , m_scheduler(model.scheduler())
    , m_faults(faults)
    , m_log(log)
    , m_parser(this)
    , m_stationPending(model.stationCount())
    , m_linePending(model.lineCount())
    , m_frameTimer(model.scheduler())
    , m_statusTimer(model.scheduler())
    , m_pingTimer(model.scheduler())
    , m_pingWait(model.scheduler())
    , m_delayTimer(model.scheduler())
    , m_paceTimer(model.scheduler())
    , m_closeTimer(model.scheduler())
{
    m_model.setObserver(this);
}

PbxSession::~PbxSession()
{
    if (m_model.observer() == this)
        m_model.setObserver(nullptr);
    m_parser.setListener(nullptr);
}

// ---------------------------------------------------------------- receiving

void PbxSession::receive(const QByteArray &bytes)
{
    m_parser.feed(bytes.constData(), int(bytes.size()));
    flushPacked();
}

void PbxSession::frameStarted()
{
    m_gotFrame = false;
    // A frame whose bytes stop coming is given up after a second.
    m_frameTimer.start(1000, [this] { m_parser.resync(); });
}

void PbxSession::frameAbandoned()
{
    m_frameTimer.stop();
    if (!m_gotFrame) {
        ++m_discarded;
        if (m_log)
            m_log->note(QStringLiteral("partial or damaged frame discarded"));
    }
    m_gotFrame = false;
}

void PbxSession::frameReceived(quint16 type, const char *payload, int length)
{
    m_gotFrame = true;
    ++m_framesIn;
    const QByteArray p(payload, length);
    QByteArray frame;
    Zemra1::buildFrame(type, p, frame);
    if (roll(m_faults.dropRxPercent)) {
        if (m_log)
            m_log->frame(QStringLiteral("RX(dropped)"), Request::describe(p), frame);
    } else {
        switch (type) {
        case Zemra1::ORLO_PTYPE_DATA:
        case Zemra1::ORLO_PTYPE_STATUS:
            if (m_log)
                m_log->frame(QStringLiteral("RX"), Request::describe(p), frame);
            handlePayload(p);
            break;
        case Zemra1::ORLO_PTYPE_ECHO:
            if (m_log)
                m_log->frame(QStringLiteral("RX"), QStringLiteral("ECHO \"%1\"").arg(QString::fromLatin1(p)), frame);
            transmit(Zemra1::ORLO_PTYPE_ECHO_REPLY, p, QStringLiteral("ECHO_REPLY \"%1\"").arg(QString::fromLatin1(p)));
            break;
        case Zemra1::ORLO_PTYPE_ECHO_REPLY:
            if (m_log)
                m_log->frame(QStringLiteral("RX"), QStringLiteral("ECHO_REPLY \"%1\"").arg(QString::fromLatin1(p)), frame);
            break;
        default:
            if (m_log)
                m_log->frame(QStringLiteral("RX"), QStringLiteral("TYPE %1 (ignored)").arg(type), frame);
            break;
        }
    }
    if (m_faults.closeAfterFrames > 0 && m_framesIn >= m_faults.closeAfterFrames && !m_closing) {
        m_closing = true;
        note(QStringLiteral("closing the connection after %1 frames").arg(m_framesIn));
        m_closeTimer.start(0, [this] {
            // The handler may destroy this session, and with it the member.
            const std::function<void()> handler = m_closeHandler;
            if (handler)
                handler();
        });
    }
}

void PbxSession::handlePayload(const QByteArray &payload)
{
    int offset = 0;
    while (offset < payload.size()) {
        const int n = Request::size(payload, offset);
        if (n == 0) {
            protocolError(QStringLiteral("unknown request ") + hexBytes(payload.mid(offset)));
            return;
        }
        if (n < 0) {
            protocolError(QStringLiteral("truncated request ") + hexBytes(payload.mid(offset)));
            return;
        }
        const quint16 code = Request::code(payload, offset);
        if (m_faults.ignored.contains(code))
            note(QStringLiteral("%1 left unanswered").arg(Request::name(code)));
        else
            handleRequest(code, payload, offset, n);
        offset += n;
    }
}

bool PbxSession::portOk(int port, int count, const char *what)
{
    if (port >= 1 && port <= count)
        return true;
    protocolError(QStringLiteral("%1 %2 out of range 1-%3").arg(QLatin1String(what)).arg(port).arg(count));
    return false;
}

void PbxSession::protocolError(const QString &text)
{
    ++m_protocolErrors;
    m_lastError = text;
    if (m_log)
        m_log->note(QStringLiteral("protocol error: ") + text);
}

void PbxSession::handleRequest(quint16 code, const QByteArray &p, int o, int n)
{
    const bool single = quint8(p.at(o)) >= 0x80;
    if (!m_loggedOn && (single || (code >> 8) != 0)) {
        note(QStringLiteral("%1 before log-on left unanswered").arg(Request::name(code)));
        return;
    }
    const PbxConfig &cfg = m_model.config();
    const auto arg16 = [&](int i) { return int(at16(p, o + i)); };
    switch (code) {
    case Request::LOG_ON_Request:
        if (m_faults.refuseLogOn) {
            send(Event::logOnNak(m_faults.nakReason));
            break;
        }
        sendLogOnAck();
        break;
    case Request::LOG_OFF_REQ:
        if (m_faults.refuseLogOff) {
            send(Event::logOffNak());
            break;
        }
        send(Event::logOffAck());
        m_loggedOn = false;
        m_reporting = false;
        stopPing();
        break;
    case Request::LOG_STATE_REQ:
        send(m_loggedOn ? Event::logOnState() : Event::logOffState());
        break;
    case Request::LOG_Alive:
    case Request::LOG_PacketmissAck:
        break;
    case Request::LOG_VersionReq:
        send(Event::version(cfg.version));
        break;
    case Request::LOG_LifeTime:
        send(Event::lifeTime(m_model.lifeTimeSeconds()));
        break;
    case Request::PingResponse:
        m_pingWait.stop();
        break;

    case 0x0101:
        send(Event::stationCount(m_faults.zeroStations ? 0 : quint16(m_model.stationCount())));
        break;
    case 0x0102:
        send(Event::lineCount(quint16(m_model.lineCount())));
        break;
    case 0x0104:
        send(Event::codeBases(m_model.accessBase(), quint16(m_model.lineCount()), m_model.retrieveBase(),
                              quint16(m_model.lineCount())));
        break;
    case 0x0105:
        send(Event::myId(quint16(m_model.ownIndex() + 1)));
        break;
    case 0x0107:
        send(Event::mpbShortVersion(cfg.shortVersion));
        break;
    case 0x0108:
        send(Event::mpbLongVersion(cfg.longVersion));
        break;
    case 0x0109:
        send(Event::nation(cfg.nationCode, cfg.nationText));
        break;
    case 0x010A:
        send(Event::coNameCount(quint8(m_model.coNameCount())));
        break;
    case 0x010B:
        send(Event::pagingNumber(cfg.paging));
        break;
    case 0x010C:
        send(Event::speedRange(cfg.speedFirst, cfg.speedLast));
        break;
    case 0x010D: {
        const QDateTime t = m_model.now();
        send(Event::pbxTime(t.date().year(), t.date().month(), t.date().day(), t.date().dayOfWeek(), t.time().hour(),
                            t.time().minute(), t.time().second()));
        break;
    }

    case 0x0201:
        m_reporting = false;
        m_statusTimer.stop();
        m_stationQueue.clear();
        m_lineQueue.clear();
        m_stationPending.fill(false);
        m_linePending.fill(false);
        m_ownPending = false;
        break;
    case 0x0202:
        m_statusPeriodMs = quint8(p.at(o + 2)) * 100;
        m_statusMin = qMax<quint8>(1, quint8(p.at(o + 3)));
        m_statusMax = quint8(qBound(1, int(quint8(p.at(o + 4))), Event::kMaxStatusEntries));
        startReporting();
        break;

    case 0x0301: case 0x0302: case 0x0303: case 0x0304: case 0x0305: case 0x0308: case 0x0309:
    case 0x0903: case 0x0904: case 0x0906: case 0x0907:
        if (portOk(arg16(2), m_model.stationCount(), "station"))
            answerStationInfo(code, arg16(2));
        break;
    case 0x0401: case 0x0402: case 0x0403: case 0x0405:
        if (portOk(arg16(2), m_model.lineCount(), "CO line"))
            answerLineInfo(code, arg16(2));
        break;
    case 0x0404:
        if (portOk(arg16(2), m_model.coNameCount(), "CO name"))
            send(Event::coName(quint16(arg16(2)), m_model.coName(arg16(2))));
        break;

    case 0x0502:
        if (portOk(arg16(4), m_model.stationCount(), "station"))
            m_model.dss(arg16(4) - 1);
        break;
    case 0x0503:
        if (portOk(arg16(4), m_model.lineCount(), "CO line"))
            m_model.dls(arg16(4) - 1);
        break;
    case 0x0504:
        m_model.coGroup(arg16(4));
        break;
    case 0x0505:
        m_model.dynGeneral(quint8(p.at(o + 4)));
        break;

    case 0x0601: {
        quint16 answer = 0;
        switch (m_faults.adm) {
        case FaultSettings::Adm::Disable: answer = 0x0602; break;
        case FaultSettings::Adm::Fail: answer = 0x0604; break;
        case FaultSettings::Adm::Invalid: answer = 0x0605; break;
        case FaultSettings::Adm::Normal:
            answer = quint16(m_model.changeStationNumber(arg16(2) - 1, quint16(arg16(4))));
            break;
        }
        send(Event::administration(answer));
        break;
    }
    case 0x0701:
    case 0x0702:
        note(QStringLiteral("%1 recorded").arg(Request::describe(p.mid(o, n))));
        break;

    case 0x0901:
        send(Event::dayNight(m_model.dayHour(), m_model.dayMinute(), m_model.nightHour(), m_model.nightMinute()));
        break;
    case 0x0902:
        send(Event::backgroundMusic(m_model.musicChannel()));
        break;

    case 0x0A01: {
        const quint16 bin = quint16(arg16(2));
        const auto r = m_model.speedBin(bin);
        send(r ? Event::speedRecord(*r) : Event::speedEmpty(bin));
        break;
    }
    case 0x0A02: {
        const SpeedBinRecord written = SpeedBinRecord::decode(p, o, n);
        if (!m_model.speedBinInRange(written.bin))
            note(QStringLiteral("speed bin %1 is outside the range").arg(written.bin));
        const auto stored = m_model.writeSpeedBin(written);
        send(stored ? Event::speedRecord(*stored) : Event::speedEmpty(written.bin));
        break;
    }

    case 0x0B01:
        if (portOk(arg16(2), m_model.stationCount(), "station"))
            m_model.restartStation(arg16(2) - 1);
        break;
    case 0x0B02:
        if (portOk(arg16(2), m_model.lineCount(), "CO line"))
            m_model.restartLine(arg16(2) - 1);
        break;
    case 0x0B03:
        m_model.showDateTime();
        break;

    case Request::SingleKey:
        m_model.key(quint8(p.at(o + 1)));
        break;
    case Request::KeySequence:
        m_model.keys(p.mid(o + 2, n - 2));
        break;
    case Request::FeatureEvt:
        m_model.feature(quint8(p.at(o + 1)), quint8(p.at(o + 2)));
        break;
    default:
        note(QStringLiteral("%1 recorded").arg(Request::name(code)));
        break;
    }
}

void PbxSession::answerStationInfo(quint16 code, int port)
{
    const int i = port - 1;
    const PbxModel::Station &s = m_model.station(i);
    const quint16 p = quint16(port);
    switch (code) {
    case 0x0301: {
        quint8 kind = PartyKind::None;
        quint16 party = 0;
        if (s.peer.kind == PbxModel::Party::Station) {
            kind = PartyKind::Station;
            party = quint16(s.peer.index + 1);
        } else if (s.peer.kind == PbxModel::Party::Line) {
            kind = PartyKind::Line;
            party = quint16(s.peer.index + 1);
        } else if (s.peer.kind == PbxModel::Party::Attendant) {
            kind = PartyKind::Station;
            party = quint16(m_model.ownIndex() + 1);
        }
        send(Event::stationAsc(p, kind, party));
        break;
    }
    case 0x0302:
        send(Event::stationMeskState(p, s.mesk));
        break;
    case 0x0303:
        send(Event::stationNumber(p, m_model.stationNumberValue(i)));
        break;
    case 0x0304:
        send(Event::stationName(p, s.name));
        break;
    case 0x0305:
        send(Event::stationMulti1(p, m_model.stationNumberValue(i), s.name));
        break;
    case 0x0309:
        send(Event::stationMulti3(p, s.presence, m_model.stationNumberValue(i), s.name));
        break;
    case 0x0903:
        send(Event::wakeUp(p, s.wakeHour, s.wakeMinute, s.wakeMode));
        break;
    case 0x0904:
        send(Event::tempCos(p, s.tempCos));
        break;
    default: // 0x0308 and the wake-up and COS look-ups of one station
        send(Event::stationMulti2(p, s.wakeMode, s.wakeHour, s.wakeMinute, s.tempCos));
        break;
    }
}

void PbxSession::answerLineInfo(quint16 code, int lineNo)
{
    const PbxModel::Line &l = m_model.line(lineNo - 1);
    const quint16 n = quint16(lineNo);
    switch (code) {
    case 0x0401: {
        const PbxModel::Party who = l.peer.isNone() ? l.holder : l.peer;
        quint8 kind = PartyKind::None;
        quint16 party = 0;
        if (who.kind == PbxModel::Party::Station) {
            kind = PartyKind::Station;
            party = quint16(who.index + 1);
        } else if (who.kind == PbxModel::Party::Attendant) {
            kind = PartyKind::Station;
            party = quint16(m_model.ownIndex() + 1);
        }
        send(Event::lineAsc(n, kind, party));
        break;
    }
    case 0x0402:
        send(Event::lineMeskState(n, l.status));
        break;
    case 0x0403:
        send(Event::lineCallerId(n, l.callerId));
        break;
    default:
        send(Event::coNameBin(n, l.nameNumber));
        break;
    }
}

// ---------------------------------------------------------------- live state

void PbxSession::startReporting()
{
    m_reporting = true;
    m_stationQueue.clear();
    m_lineQueue.clear();
    m_stationPending.fill(false);
    m_linePending.fill(false);
    m_ownPending = false;
    reportAll();
    if (m_reportingStarted)
        m_reportingStarted();
}

void PbxSession::reportAll()
{
    QList<QPair<quint16, quint8>> entries;
    for (int i = 0; i < m_model.stationCount(); ++i) {
        entries.append({quint16(i + 1), m_model.station(i).status});
        if (entries.size() == m_statusMax || i + 1 == m_model.stationCount()) {
            send(Event::stationStatusList(entries));
            entries.clear();
        }
    }
    for (int i = 0; i < m_model.lineCount(); ++i) {
        entries.append({quint16(i + 1), m_model.line(i).status});
        if (entries.size() == m_statusMax || i + 1 == m_model.lineCount()) {
            send(Event::lineStatusList(entries));
            entries.clear();
        }
    }
    send(Event::ownStatus(m_model.attendant().status, 0));
    // Calls that rang before the position was ready are offered now.
    for (const PbxModel::Party &p : m_model.attendant().ringing) {
        if (p.kind == PbxModel::Party::Line) {
            const PbxModel::Line &l = m_model.line(p.index);
            send(Event::coRingStart(quint16(p.index + 1), l.atdRing, l.callerId));
        } else {
            send(Event::icmRingStart(quint16(p.index + 1)));
        }
    }
    m_model.resendKeyTelephone();
}

void PbxSession::flushStatus()
{
    m_statusTimer.stop();
    if (!m_reporting)
        return;
    QList<QPair<quint16, quint8>> entries;
    for (int k = 0; k < m_stationQueue.size(); ++k) {
        const int i = m_stationQueue.at(k);
        m_stationPending.clearBit(i);
        entries.append({quint16(i + 1), m_model.station(i).status});
        if (entries.size() == m_statusMax || k + 1 == m_stationQueue.size()) {
            send(Event::stationStatusList(entries));
            entries.clear();
        }
    }
    m_stationQueue.clear();
    for (int k = 0; k < m_lineQueue.size(); ++k) {
        const int i = m_lineQueue.at(k);
        m_linePending.clearBit(i);
        entries.append({quint16(i + 1), m_model.line(i).status});
        if (entries.size() == m_statusMax || k + 1 == m_lineQueue.size()) {
            send(Event::lineStatusList(entries));
            entries.clear();
        }
    }
    m_lineQueue.clear();
    if (m_ownPending) {
        m_ownPending = false;
        send(Event::ownStatus(m_model.attendant().status, 0));
    }
}

void PbxSession::stationStatusChanged(int index)
{
    if (!m_reporting || index < 0 || index >= m_stationPending.size() || m_stationPending.testBit(index))
        return;
    m_stationPending.setBit(index);
    m_stationQueue.append(index);
}

void PbxSession::lineStatusChanged(int index)
{
    if (!m_reporting || index < 0 || index >= m_linePending.size() || m_linePending.testBit(index))
        return;
    m_linePending.setBit(index);
    m_lineQueue.append(index);
}

void PbxSession::ownStatusChanged()
{
    if (m_reporting)
        m_ownPending = true;
}

void PbxSession::stationIdentityChanged(int index, bool number, bool name)
{
    if (!m_reporting)
        return;
    flushStatus();
    const quint16 port = quint16(index + 1);
    if (number)
        send(Event::stationNumber(port, m_model.stationNumberValue(index)));
    if (name)
        send(Event::stationName(port, m_model.station(index).name));
}

void PbxSession::coRingStart(int line, quint8 kind, const QString &digits)
{
    if (!m_reporting)
        return;
    flushStatus();
    send(Event::coRingStart(quint16(line + 1), kind, digits));
}

void PbxSession::coRingStop(int line)
{
    if (!m_reporting)
        return;
    flushStatus();
    send(Event::coRingStop(quint16(line + 1)));
}

void PbxSession::icmRingStart(int station)
{
    if (!m_reporting)
        return;
    flushStatus();
    send(Event::icmRingStart(quint16(station + 1)));
}

void PbxSession::icmRingStop(int station)
{
    if (!m_reporting)
        return;
    flushStatus();
    send(Event::icmRingStop(quint16(station + 1)));
}

void PbxSession::keyTelephone(quint8 command, quint8 d1, quint8 d2)
{
    if (m_loggedOn)
        send(Event::keyTelephone(command, d1, d2));
}

void PbxSession::speedBinChanged(quint16 bin)
{
    if (!m_loggedOn)
        return;
    const auto r = m_model.speedBin(bin);
    send(r ? Event::speedRecord(*r) : Event::speedEmpty(bin));
}

void PbxSession::note(const QString &text)
{
    if (m_log)
        m_log->note(text);
}

void PbxSession::stepFinished()
{
    const int waiting = int(m_stationQueue.size() + m_lineQueue.size());
    if (waiting >= m_statusMin || (waiting == 0 && m_ownPending))
        flushStatus();
    else if (waiting > 0 && !m_statusTimer.isActive())
        m_statusTimer.start(m_statusPeriodMs, [this] {
            flushStatus();
            flushPacked();
        });
    flushPacked();
}

// ---------------------------------------------------------------- sending

void PbxSession::sendLogOnAck()
{
    m_loggedOn = true;
    m_reporting = false;
    m_stationQueue.clear();
    m_lineQueue.clear();
    m_stationPending.fill(false);
    m_linePending.fill(false);
    send(Event::logOnAck());
    m_model.showDateTime();
    startPing();
}

void PbxSession::sendLogOffState()
{
    send(Event::logOffState());
    m_loggedOn = false;
    m_reporting = false;
    stopPing();
}

void PbxSession::forceLogOff()
{
    sendLogOffState();
}

void PbxSession::sendPacketMissReport()
{
    send(Event::packetMissReport());
}

void PbxSession::sendLifeTime()
{
    send(Event::lifeTime(m_model.lifeTimeSeconds()));
}

void PbxSession::sendPing()
{
    flushPacked();
    const QByteArray ping = Event::ping();
    // A ping the faults swallowed cannot be answered, so it is not waited for.
    if (transmit(Zemra1::ORLO_PTYPE_DATA, ping, EventInfo::describe(ping)))
        m_pingWait.start(m_model.config().pingTimeoutMs, [this] { protocolError(QStringLiteral("ping not answered")); });
}

void PbxSession::sendEcho(const QByteArray &text)
{
    flushPacked();
    transmit(Zemra1::ORLO_PTYPE_ECHO, text, QStringLiteral("ECHO \"%1\"").arg(QString::fromLatin1(text)));
}

void PbxSession::sendDebugText(const QString &text)
{
    send(Event::debugText(text));
    flushPacked();
}

void PbxSession::sendPayload(const QByteArray &payload)
{
    flushPacked();
    transmit(Zemra1::ORLO_PTYPE_DATA, payload, EventInfo::describe(payload));
}

void PbxSession::sendRawBytes(const QByteArray &bytes)
{
    flushPacked();
    if (m_log)
        m_log->frame(QStringLiteral("TX(raw)"), QStringLiteral("%1 bytes").arg(bytes.size()), bytes);
    output(bytes);
}

void PbxSession::send(const QByteArray &message)
{
    const bool logMessage = !message.isEmpty() && message.at(0) == 0;
    if (m_packing && !logMessage) {
        if (m_packed.size() + message.size() > Zemra1::kMaxPayload)
            flushPacked();
        m_packed.append(message);
        return;
    }
    flushPacked();
    transmit(Zemra1::ORLO_PTYPE_DATA, message, EventInfo::describe(message));
}

void PbxSession::flushPacked()
{
    if (m_packed.isEmpty())
        return;
    const QByteArray payload = m_packed;
    m_packed.clear();
    transmit(Zemra1::ORLO_PTYPE_DATA, payload, EventInfo::describe(payload));
}

bool PbxSession::roll(double percent)
{
    if (percent <= 0)
        return false;
    return m_model.random().generateDouble() * 100.0 < percent;
}

bool PbxSession::transmit(quint16 type, const QByteArray &payload, const QString &text)
{
    QByteArray frame;
    if (!Zemra1::buildFrame(type, payload, frame)) {
        note(QStringLiteral("message too long for a frame: ") + text);
        return false;
    }
    ++m_framesOut;
    if (m_faults.silent) {
        if (m_log)
            m_log->frame(QStringLiteral("TX(silent)"), text, frame);
        return false;
    }
    if (roll(m_faults.dropPercent)) {
        if (m_log)
            m_log->frame(QStringLiteral("TX(dropped)"), text, frame);
        return false;
    }
    if (roll(m_faults.noisePercent)) {
        QByteArray noise;
        const int count = int(m_model.random().bounded(1, 9));
        // Noise never holds a start byte, so it costs the console no frame.
        while (noise.size() < count) {
            const char b = char(m_model.random().bounded(256));
            if (quint8(b) != Zemra1::kStart1)
                noise.append(b);
        }
        if (m_log)
            m_log->frame(QStringLiteral("TX(noise)"), QStringLiteral("%1 bytes").arg(noise.size()), noise);
        output(noise);
    }
    bool intact = true;
    if (roll(m_faults.flipPercent)) {
        const int at = int(m_model.random().bounded(int(frame.size())));
        frame[at] = char(quint8(frame.at(at)) ^ (1u << m_model.random().bounded(8)));
        intact = false;
        if (m_log)
            m_log->frame(QStringLiteral("TX(flipped)"), text, frame);
    } else if (m_log) {
        m_log->frame(QStringLiteral("TX"), text, frame);
    }
    output(frame);
    return intact;
}

void PbxSession::output(const QByteArray &bytes)
{
    if (m_faults.delayMs <= 0 && m_delayed.isEmpty()) {
        pace(bytes);
        return;
    }
    // Held-back frames keep their order even when the delay changes.
    qint64 due = m_scheduler.now() + qMax(0, m_faults.delayMs);
    if (!m_delayed.isEmpty())
        due = qMax(due, m_delayed.last().due);
    m_delayed.append({due, bytes});
    m_delayedBytes += bytes.size();
    if (!m_delayTimer.isActive())
        m_delayTimer.start(m_delayed.first().due - m_scheduler.now(), [this] { releaseDelayed(); });
}

void PbxSession::releaseDelayed()
{
    const qint64 now = m_scheduler.now();
    while (!m_delayed.isEmpty() && m_delayed.first().due <= now) {
        const Delayed d = m_delayed.takeFirst();
        m_delayedBytes -= d.bytes.size();
        pace(d.bytes);
    }
    if (!m_delayed.isEmpty())
        m_delayTimer.start(m_delayed.first().due - now, [this] { releaseDelayed(); });
}

void PbxSession::pace(const QByteArray &bytes)
{
    if (m_baud <= 0 && m_paced.isEmpty()) {
        if (m_writer)
            m_writer(bytes);
        return;
    }
    m_paced.append(bytes);
    if (!m_paceTimer.isActive()) {
        m_paceLast = m_scheduler.now();
        m_paceCredit = 1;
        paceTick();
    }
}

void PbxSession::paceTick()
{
    const double rate = m_baud / 10.0; // bytes a second
    const qint64 now = m_scheduler.now();
    if (rate <= 0) {
        const QByteArray all = m_paced;
        m_paced.clear();
        if (m_writer)
            m_writer(all);
        return;
    }
    m_paceCredit += double(now - m_paceLast) * rate / 1000.0;
    m_paceLast = now;
    const int n = qMin(int(m_paceCredit), int(m_paced.size()));
    if (n > 0) {
        const QByteArray piece = m_paced.left(n);
        m_paced.remove(0, n);
        m_paceCredit -= n;
        if (m_writer)
            m_writer(piece);
    }
    if (m_paced.isEmpty()) {
        m_paceCredit = 0;
        return;
    }
    const qint64 wait = qMax<qint64>(10, qint64(std::ceil((1.0 - m_paceCredit) * 1000.0 / rate)));
    m_paceTimer.start(wait, [this] { paceTick(); });
}

void PbxSession::startPing()
{
    const int interval = m_model.config().pingIntervalMs;
    if (interval <= 0)
        return;
    m_pingTimer.start(interval, [this] {
        if (m_loggedOn) {
            sendPing();
            startPing();
        }
    });
}

void PbxSession::stopPing()
{
    m_pingTimer.stop();
    m_pingWait.stop();
}

} // namespace pbxsim
