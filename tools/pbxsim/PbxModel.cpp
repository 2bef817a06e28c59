#include "PbxModel.h"

#include "PbxMessages.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

#include <iterator>

namespace pbxsim {

PbxObserver::~PbxObserver() = default;

namespace {

const char *const kSurnames[] = {
    "ADAMS", "BAKER", "CLARK", "DAVIS", "EVANS", "FOSTER", "GRANT", "HAYES", "IRWIN", "JONES", "KELLY", "LEWIS",
    "MOORE", "NOLAN", "OWENS", "PRICE", "QUINN", "REED", "SMITH", "TAYLOR", "UPTON", "VANCE", "WHITE", "YOUNG",
};

// Nibble positions of a five-digit code base, most significant digit first.
constexpr int kBaseShift[5] = {20, 16, 8, 4, 0};

quint32 codeBase(const QString &digits)
{
    const QString five = digits.rightJustified(5, QLatin1Char('\0')).right(5);
    quint32 v = 0;
    for (int i = 0; i < 5; ++i) {
        const QChar c = five.at(i);
        if (c.isNull())
            continue;
        v |= quint32(DigitCode::fromChar(c)) << kBaseShift[i];
    }
    return v;
}

quint8 bcd(int v)
{
    v = qBound(0, v, 99);
    return quint8(((v / 10) << 4) | (v % 10));
}

constexpr quint8 kPad = 0xFF; // a display reset byte: harmless after a shown text

const QString kDigitKeys = QStringLiteral("0123456789*#");

} // namespace

PbxModel::Step::~Step()
{
    if (--m_m.m_depth == 0)
        m_m.afterStep();
}

PbxModel::PbxModel(const PbxConfig &config, Scheduler &scheduler, QRandomGenerator &random)
    : m_config(config)
    , m_scheduler(scheduler)
    , m_random(random)
{
    setup();
}

PbxModel::~PbxModel()
{
    m_observer = nullptr;
    for (Station &s : m_stations)
        disarm(s.timer);
    for (Line &l : m_lines)
        disarm(l.timer);
    disarm(m_atdTimer);
    disarm(m_minuteTimer);
}

void PbxModel::setup()
{
    m_config.stations = qBound(1, m_config.stations, PbxConfig::kMaxStations);
    m_config.lines = qBound(0, m_config.lines, PbxConfig::kMaxLines);
    m_config.ownStation = qBound(1, m_config.ownStation, m_config.stations);
    if (m_config.speedLast < m_config.speedFirst)
        std::swap(m_config.speedFirst, m_config.speedLast);
    m_own = m_config.ownStation - 1;
    m_numberWidth = m_config.stations <= 900 ? 3 : 4;
    const int firstNumber = m_numberWidth == 3 ? 100 : 1000;

    m_stations.assign(size_t(m_config.stations), Station());
    for (int i = 0; i < m_config.stations; ++i) {
        Station &s = m_stations[size_t(i)];
        s.number = QString::number(firstNumber + i);
        s.name = i == m_own ? QStringLiteral("ATTENDANT")
                            : QStringLiteral("%1 %2").arg(QLatin1String(kSurnames[i % std::size(kSurnames)]), s.number);
        s.mesk = 0x01;
    }
    const int names = qBound(0, m_config.coNameCount(), 255);
    for (int n = 1; n <= names; ++n)
        m_coNames << QStringLiteral("EXCHANGE %1").arg(n, 2, 10, QLatin1Char('0'));
    m_lines.assign(size_t(m_config.lines), Line());
    for (int i = 0; i < m_config.lines; ++i)
        m_lines[size_t(i)].nameNumber = names > 0 ? quint16(i % names + 1) : 0;

    const auto seed = [this](quint16 bin, quint8 coType, quint8 coNumber, const char *number, const char *name) {
        if (!speedBinInRange(bin))
            return;
        SpeedBinRecord r;
        r.bin = bin;
        r.coType = coType;
        r.coNumber = coNumber;
        r.number = QLatin1String(number);
        r.name = QLatin1String(name);
        m_speed.insert(bin, r);
    };
    const quint16 f = m_config.speedFirst;
    seed(f, SpeedBinRecord::None, 0, "0301234567", "HEAD OFFICE");
    seed(quint16(f + 1), SpeedBinRecord::Line, 0, "08001234", "SERVICE DESK");
    seed(quint16(f + 2), SpeedBinRecord::Group, 1, "0221999", "TAXI");
    seed(quint16(f + 5), SpeedBinRecord::None, 0, "004930555777", "HOTEL BERLIN");

    m_clockBase = m_config.clockStart.isValid() ? m_config.clockStart : QDateTime::currentDateTime();
    m_atd.status = computeOwn();
    m_stations[size_t(m_own)].status = m_atd.status;
    const QTime t = m_clockBase.time();
    arm(m_minuteTimer, 60000 - (t.second() * 1000 + t.msec()), [this] { minuteTick(); });
}

QString PbxModel::coName(int number) const
{
    return number >= 1 && number <= m_coNames.size() ? m_coNames.at(number - 1) : QString();
}

quint16 PbxModel::stationNumberValue(int index) const
{
    return validStation(index) ? numberToNibbles(station(index).number) : 0;
}

quint32 PbxModel::accessBase() const
{
    return codeBase(lineCount() <= 19 ? QStringLiteral("81") : QStringLiteral("8001"));
}

quint32 PbxModel::retrieveBase() const
{
    return codeBase(lineCount() <= 19 ? QStringLiteral("71") : QStringLiteral("7001"));
}

QString PbxModel::accessCode(int line) const
{
    return QString::number((lineCount() <= 19 ? 81 : 8001) + line);
}

int PbxModel::stationByNumber(const QString &number) const
{
    for (int i = 0; i < stationCount(); ++i)
        if (m_stations[size_t(i)].number == number)
            return i;
    return -1;
}

QDateTime PbxModel::now() const
{
    return m_clockBase.addMSecs(m_scheduler.now() + m_clockOffsetMs);
}

QString PbxModel::keyChar(quint8 code)
{
    if (code >= 0x90 && code <= 0x98)
        return QString(QChar(u'1' + (code - 0x90)));
    switch (code) {
    case 0x99: return QStringLiteral("0");
    case 0x9A: return QStringLiteral("*");
    case 0x9B: return QStringLiteral("#");
    case 0x9C: return QStringLiteral("A");
    case 0x9D: return QStringLiteral("B");
    case 0x9E: return QStringLiteral("C");
    case 0x9F: return QStringLiteral("D");
    case 0x62: return QStringLiteral("R");
    case 0x63: return QStringLiteral("T");
    case 0x64: return QStringLiteral("S");
    case 0x65: return QStringLiteral("O");
    case 0x66: return QStringLiteral("K");
    case 0x67: return QStringLiteral("U");
    case 0x68: return QStringLiteral("N");
    case 0x69: return QStringLiteral("F");
    case 0x6A: return QStringLiteral("I");
    case 0x6B: return QStringLiteral("M");
    case 0x6C: return QStringLiteral("H");
    default:
        if (code >= 0x20 && code <= 0x37)
            return QStringLiteral("<Btn %1>").arg(code - 0x1F);
        return QString::asprintf("<%02x>", code);
    }
}

// ---------------------------------------------------------------- basics

void PbxModel::arm(Scheduler::Id &slot, qint64 ms, std::function<void()> callback)
{
    disarm(slot);
    Scheduler::Id *where = &slot;
    slot = m_scheduler.after(ms, [this, where, cb = std::move(callback)] {
        *where = 0;
        Step step(*this);
        cb();
    });
}

void PbxModel::disarm(Scheduler::Id &slot)
{
    if (slot)
        m_scheduler.cancel(slot);
    slot = 0;
}

int PbxModel::talkTime()
{
    const int lo = qMax(0, m_config.talkMinMs);
    const int hi = qMax(lo + 1, m_config.talkMaxMs);
    return int(m_random.bounded(lo, hi));
}

void PbxModel::notify(const QString &text)
{
    if (m_observer)
        m_observer->note(text);
}

void PbxModel::putStationStatus(int s, quint8 status)
{
    if (s == m_own)
        return;
    Station &st = m_stations[size_t(s)];
    if (st.status == status)
        return;
    st.status = status;
    if (m_observer)
        m_observer->stationStatusChanged(s);
}

void PbxModel::putLineStatus(int l, quint8 status)
{
    Line &ln = m_lines[size_t(l)];
    if (ln.status == status)
        return;
    ln.status = status;
    if (m_observer)
        m_observer->lineStatusChanged(l);
}

quint8 PbxModel::computeOwn() const
{
    if (m_atd.programming)
        return Status::ExtPgm;
    switch (m_atd.state) {
    case AtdState::Paging:
        return Status::Busy;
    case AtdState::Dialling:
    case AtdState::Calling:
    case AtdState::Talking:
        return m_atd.party.kind == Party::Line ? Status::ExtCol : Status::ExtIcm;
    case AtdState::Idle:
        break;
    }
    if (!m_atd.ringing.isEmpty())
        return Status::ExtIdleRing;
    return m_atd.dnd ? Status::ExtIdleDnd : Status::ExtIdle;
}

void PbxModel::updateOwn()
{
    const quint8 code = computeOwn();
    if (code == m_atd.status)
        return;
    m_atd.status = code;
    m_stations[size_t(m_own)].status = code;
    if (m_observer) {
        m_observer->stationStatusChanged(m_own);
        m_observer->ownStatusChanged();
    }
}

void PbxModel::afterStep()
{
    // The changes a step causes all go out before it is reported finished.
    ++m_depth;
    updateOwn();
    refreshLamps();
    refreshDisplay();
    --m_depth;
    if (m_observer)
        m_observer->stepFinished();
}

// ---------------------------------------------------------------- parties

void PbxModel::clearStation(int s)
{
    if (s == m_own || !validStation(s))
        return;
    Station &st = m_stations[size_t(s)];
    disarm(st.timer);
    st.peer = Party();
    if (m_atd.party == Party{Party::Station, s} && m_atd.state != AtdState::Idle) {
        m_atd.state = AtdState::Idle;
        m_atd.party = Party();
        m_atd.blocked = -1;
    }
    if (m_atd.aside == Party{Party::Station, s})
        m_atd.aside = Party();
    putStationStatus(s, st.dnd ? Status::ExtIdleDnd : Status::ExtIdle);
    campOnsFor(s);
}

void PbxModel::clearLine(int l)
{
    if (!validLine(l))
        return;
    Line &ln = m_lines[size_t(l)];
    if (ln.atdRing)
        removeRing(Party{Party::Line, l});
    disarm(ln.timer);
    ln.peer = Party();
    ln.holder = Party();
    ln.callerId.clear();
    if (m_atd.party == Party{Party::Line, l}) {
        disarm(m_atdTimer);
        m_atd.state = AtdState::Idle;
        m_atd.party = Party();
        m_atd.dialled.clear();
    }
    if (m_atd.aside == Party{Party::Line, l})
        m_atd.aside = Party();
    for (int i = int(m_campOns.size()) - 1; i >= 0; --i)
        if (m_campOns.at(i).second == Party{Party::Line, l})
            m_campOns.removeAt(i);
    putLineStatus(l, ln.disabled ? Status::TrkIdleDisabled : Status::TrkIdle);
}

void PbxModel::dropStation(int s)
{
    if (s == m_own || !validStation(s))
        return;
    const Party self{Party::Station, s};
    const Party p = m_stations[size_t(s)].peer;
    if (m_atd.ringing.contains(self))
        removeRing(self);
    if (p.kind == Party::Station && validStation(p.index) && m_stations[size_t(p.index)].peer == self)
        clearStation(p.index);
    else if (p.kind == Party::Line && validLine(p.index) && m_lines[size_t(p.index)].peer == self)
        clearLine(p.index);
    // A station that calls or talks with the position ends that call too.
    clearStation(s);
}

void PbxModel::dropLine(int l)
{
    if (!validLine(l))
        return;
    const Party self{Party::Line, l};
    const Party p = m_lines[size_t(l)].peer;
    if (p.kind == Party::Station && validStation(p.index) && m_stations[size_t(p.index)].peer == self)
        clearStation(p.index);
    clearLine(l);
}

void PbxModel::addRing(Party p, quint8 kind, const QString &digits)
{
    if (!m_atd.ringing.contains(p))
        m_atd.ringing.append(p);
    if (p.kind == Party::Line) {
        m_lines[size_t(p.index)].atdRing = kind;
        if (m_observer)
            m_observer->coRingStart(p.index, kind, digits);
    } else if (m_observer) {
        m_observer->icmRingStart(p.index);
    }
}

void PbxModel::removeRing(Party p)
{
    if (!m_atd.ringing.removeOne(p))
        return;
    if (p.kind == Party::Line) {
        m_lines[size_t(p.index)].atdRing = 0;
        if (m_observer)
            m_observer->coRingStop(p.index);
    } else if (m_observer) {
        m_observer->icmRingStop(p.index);
    }
}

void PbxModel::releaseAttendantCall()
{
    const Party p = m_atd.party;
    const Party aside = m_atd.aside;
    disarm(m_atdTimer);
    m_atd.state = AtdState::Idle;
    m_atd.party = Party();
    m_atd.aside = Party();
    m_atd.dialled.clear();
    m_atd.blocked = -1;
    m_atd.speed = false;
    m_atd.pickup = false;
    m_atd.pagingZone = -1;
    const Party atd{Party::Attendant, -1};
    if (p.kind == Party::Station && validStation(p.index) && m_stations[size_t(p.index)].peer == atd)
        clearStation(p.index);
    else if (p.kind == Party::Line && validLine(p.index) && m_lines[size_t(p.index)].peer == atd)
        clearLine(p.index);
    // A station waiting for a transfer that is given up hangs up; a line stays held and recalls.
    if (aside.kind == Party::Station)
        clearStation(aside.index);
}

void PbxModel::attendantTalks(Party p)
{
    disarm(m_atdTimer);
    m_atd.state = AtdState::Talking;
    m_atd.party = p;
    m_atd.blocked = -1;
    m_atd.callStart = m_scheduler.now();
    const Party atd{Party::Attendant, -1};
    if (p.kind == Party::Line) {
        Line &ln = m_lines[size_t(p.index)];
        disarm(ln.timer);
        ln.peer = atd;
        ln.holder = Party();
        putLineStatus(p.index, Status::Busy);
    } else if (p.kind == Party::Station) {
        Station &st = m_stations[size_t(p.index)];
        disarm(st.timer);
        st.peer = atd;
        putStationStatus(p.index, Status::ExtIcm);
    }
}

void PbxModel::answerRinging(Party p)
{
    removeRing(p);
    if (m_atd.state != AtdState::Idle) {
        if (m_atd.party.kind == Party::Line && m_atd.state != AtdState::Paging)
            holdLineByAttendant(m_atd.party.index);
        else
            releaseAttendantCall();
    }
    attendantTalks(p);
}

void PbxModel::holdLineByAttendant(int l)
{
    Line &ln = m_lines[size_t(l)];
    if (m_atd.party == Party{Party::Line, l}) {
        disarm(m_atdTimer);
        m_atd.state = AtdState::Idle;
        m_atd.party = Party();
        m_atd.dialled.clear();
    }
    ln.peer = Party();
    ln.holder = Party{Party::Attendant, -1};
    putLineStatus(l, Status::Hold);
    arm(ln.timer, m_config.recallMs, [this, l] {
        Line &held = m_lines[size_t(l)];
        if (m_atd.aside == Party{Party::Line, l})
            m_atd.aside = Party();
        putLineStatus(l, Status::TrkHoldAtdRecall);
        addRing(Party{Party::Line, l}, 4, held.callerId);
        arm(held.timer, m_config.ringTimeoutMs, [this, l] { lineCallerGivesUp(l); });
    });
}

void PbxModel::lineCallerGivesUp(int l)
{
    notify(QStringLiteral("caller on CO %1 hangs up").arg(l + 1));
    dropLine(l);
}

void PbxModel::ringStationWith(int s, Party caller)
{
    Station &st = m_stations[size_t(s)];
    st.peer = caller;
    putStationStatus(s, Status::Ring);
    const int jitter = m_config.answerDelayMs > 0 ? int(m_random.bounded(m_config.answerDelayMs / 2 + 1)) : 0;
    arm(st.timer, m_config.answerDelayMs + jitter, [this, s] { stationAnswers(s); });
}

void PbxModel::stationAnswers(int s)
{
    Station &st = m_stations[size_t(s)];
    const Party self{Party::Station, s};
    const Party p = st.peer;
    if (p.kind == Party::Attendant) {
        if (m_atd.party == self && m_atd.state == AtdState::Calling)
            attendantTalks(self);
        else
            clearStation(s);
    } else if (p.kind == Party::Line) {
        Line &ln = m_lines[size_t(p.index)];
        disarm(ln.timer);
        ln.peer = self;
        ln.holder = Party();
        putLineStatus(p.index, Status::Busy);
        putStationStatus(s, Status::ExtCol);
        arm(st.timer, talkTime(), [this, s] { dropStation(s); });
    } else if (p.kind == Party::Station) {
        putStationStatus(s, Status::ExtIcm);
        arm(st.timer, talkTime(), [this, s] { dropStation(s); });
    } else {
        clearStation(s);
    }
}

void PbxModel::attendantRings(int s)
{
    m_atd.state = AtdState::Calling;
    m_atd.party = Party{Party::Station, s};
    m_atd.dialled = m_stations[size_t(s)].number;
    m_atd.blocked = -1;
    if (m_stations[size_t(s)].status == Status::ExtIdle)
        ringStationWith(s, Party{Party::Attendant, -1});
    else
        m_atd.blocked = s; // the position hears busy or do-not-disturb tone
}

void PbxModel::completeTransfer()
{
    const int s = m_atd.party.index;
    const Party moved = m_atd.aside;
    const bool blocked = m_atd.blocked == s;
    disarm(m_atdTimer);
    m_atd.state = AtdState::Idle;
    m_atd.party = Party();
    m_atd.aside = Party();
    m_atd.blocked = -1;
    m_atd.dialled.clear();
    Station &st = m_stations[size_t(s)];
    const bool talking = st.status == Status::ExtIcm && st.peer.kind == Party::Attendant;
    notify(QStringLiteral("transfer to station %1").arg(st.number));
    if (blocked) {
        if (moved.kind == Party::Line)
            bookCampOn(s, moved); // stays held (and recalls) until the station is free
        else if (moved.kind == Party::Station)
            clearStation(moved.index);
        return;
    }
    if (moved.kind == Party::Line) {
        Line &ln = m_lines[size_t(moved.index)];
        disarm(ln.timer);
        ln.holder = Party();
        ln.peer = Party{Party::Station, s};
        putLineStatus(moved.index, Status::Busy);
        st.peer = moved;
        if (talking) {
            disarm(st.timer);
            putStationStatus(s, Status::ExtCol);
            arm(st.timer, talkTime(), [this, s] { dropStation(s); });
        }
    } else if (moved.kind == Party::Station) {
        Station &other = m_stations[size_t(moved.index)];
        other.peer = Party{Party::Station, s};
        st.peer = moved;
        if (talking)
            arm(st.timer, talkTime(), [this, s] { dropStation(s); });
    }
}

void PbxModel::bookCampOn(int s, Party waiting)
{
    m_campOns.append({s, waiting});
    // Bookings on stations that never come free are dropped, oldest first.
    while (m_campOns.size() > 64)
        m_campOns.removeFirst();
}

void PbxModel::campOnsFor(int s)
{
    for (int i = 0; i < m_campOns.size(); ++i) {
        if (m_campOns.at(i).first != s)
            continue;
        const Party waiting = m_campOns.takeAt(i).second;
        if (waiting.kind == Party::Attendant) {
            notify(QStringLiteral("call back: station %1 is free").arg(m_stations[size_t(s)].number));
            icmRing(s);
        } else if (waiting.kind == Party::Line && validLine(waiting.index)) {
            Line &ln = m_lines[size_t(waiting.index)];
            if (ln.holder.kind != Party::Attendant)
                continue;
            disarm(ln.timer);
            ln.holder = Party();
            ln.peer = Party{Party::Station, s};
            putLineStatus(waiting.index, Status::Busy);
            ringStationWith(s, waiting);
        }
        return;
    }
}

void PbxModel::seizeLine(int l, const QString &digits)
{
    if (m_atd.state != AtdState::Idle) {
        if (m_atd.party.kind == Party::Line && m_atd.party.index != l)
            holdLineByAttendant(m_atd.party.index);
        else if (m_atd.party.kind == Party::Station)
            releaseAttendantCall();
    }
    Line &ln = m_lines[size_t(l)];
    disarm(ln.timer);
    m_atd.state = AtdState::Dialling;
    m_atd.party = Party{Party::Line, l};
    m_atd.dialled = digits;
    m_atd.blocked = -1;
    ln.peer = Party{Party::Attendant, -1};
    ln.holder = Party();
    ln.callerId = digits;
    putLineStatus(l, Status::Busy);
    if (!digits.isEmpty())
        arm(m_atdTimer, m_config.dialTimeoutMs, [this] {
            m_atd.state = AtdState::Talking;
            m_atd.callStart = m_scheduler.now();
            m_atd.lastExternal = m_atd.dialled;
        });
}

void PbxModel::dialDigit(QChar digit)
{
    if (m_atd.speed) {
        m_atd.speedDigits += digit;
        if (m_atd.speedDigits.size() >= QString::number(m_config.speedLast).size()) {
            m_atd.speed = false;
            const quint16 bin = quint16(m_atd.speedDigits.toUInt());
            m_atd.speedDigits.clear();
            dialSpeedBin(bin);
        }
        return;
    }
    if (m_atd.state == AtdState::Idle || m_atd.state == AtdState::Paging) {
        if (m_atd.state == AtdState::Paging)
            releaseAttendantCall();
        m_atd.state = AtdState::Dialling;
        m_atd.party = Party();
        m_atd.dialled.clear();
    }
    if (m_atd.party.kind == Party::Line) {
        m_atd.dialled += digit;
        m_lines[size_t(m_atd.party.index)].callerId = m_atd.dialled;
        if (m_atd.state == AtdState::Dialling)
            seizeLine(m_atd.party.index, m_atd.dialled);
        return;
    }
    if (m_atd.party.kind != Party::None)
        return; // tones during a call with a station change nothing here
    m_atd.dialled += digit;
    const QString &d = m_atd.dialled;
    const int s = stationByNumber(d);
    if (s >= 0) {
        if (s == m_own) {
            notify(QStringLiteral("dialled own number"));
            m_atd.dialled.clear();
            return;
        }
        attendantRings(s);
        return;
    }
    for (const Station &st : m_stations)
        if (st.number.startsWith(d))
            return;
    for (int l = 0; l < lineCount(); ++l) {
        const QString code = accessCode(l);
        if (code == d) {
            if (m_lines[size_t(l)].status == Status::TrkIdle)
                seizeLine(l, QString());
            else
                notify(QStringLiteral("CO %1 is not free").arg(l + 1));
            m_atd.dialled.clear();
            return;
        }
        if (code.startsWith(d))
            return;
    }
    const QList<int> free = idleLines();
    if (free.isEmpty()) {
        notify(QStringLiteral("no free CO line for %1").arg(d));
        m_atd.state = AtdState::Idle;
        m_atd.dialled.clear();
        return;
    }
    seizeLine(free.first(), d);
}

void PbxModel::dialSpeedBin(quint16 bin)
{
    const auto r = speedBin(bin);
    if (!r) {
        notify(QStringLiteral("speed bin %1 is empty").arg(bin));
        if (m_atd.party.isNone())
            m_atd.state = AtdState::Idle;
        return;
    }
    int l = -1;
    if (r->coType == SpeedBinRecord::Line && validLine(r->coNumber) && line(r->coNumber).status == Status::TrkIdle) {
        l = r->coNumber;
    } else if (r->coType == SpeedBinRecord::Group) {
        const int first = (qMax(1, int(r->coNumber)) - 1) * 8;
        for (int i = first; i < first + 8 && i < lineCount(); ++i)
            if (line(i).status == Status::TrkIdle) {
                l = i;
                break;
            }
    } else {
        const QList<int> free = idleLines();
        l = free.isEmpty() ? -1 : free.first();
    }
    if (l < 0) {
        notify(QStringLiteral("no free CO line for speed bin %1").arg(bin));
        if (m_atd.party.isNone())
            m_atd.state = AtdState::Idle;
        return;
    }
    notify(QStringLiteral("speed bin %1 dials %2 on CO %3").arg(bin).arg(r->number).arg(l + 1));
    seizeLine(l, r->number);
}

void PbxModel::startPaging(int zone)
{
    if (m_atd.state != AtdState::Idle) {
        if (m_atd.party.kind == Party::Line)
            holdLineByAttendant(m_atd.party.index);
        else
            releaseAttendantCall();
    }
    m_atd.state = AtdState::Paging;
    m_atd.party = Party();
    m_atd.pagingZone = zone;
    arm(m_atdTimer, m_config.pagingMs, [this] {
        if (m_atd.state == AtdState::Paging)
            releaseAttendantCall();
    });
}

// ---------------------------------------------------------------- attendant requests

void PbxModel::dss(int s)
{
    Step step(*this);
    if (!validStation(s) || s == m_own)
        return;
    const Party target{Party::Station, s};
    if (m_atd.ringing.contains(target)) {
        answerRinging(target);
        return;
    }
    Station &st = m_stations[size_t(s)];
    if (m_atd.pickup) {
        m_atd.pickup = false;
        if (st.status == Status::Ring && (st.peer.kind == Party::Line || st.peer.kind == Party::Station)) {
            const Party caller = st.peer;
            st.peer = Party();
            clearStation(s);
            if (m_atd.state != AtdState::Idle)
                releaseAttendantCall();
            attendantTalks(caller);
            notify(QStringLiteral("picked up the call ringing at station %1").arg(st.number));
            return;
        }
    }
    if (m_atd.state == AtdState::Paging)
        releaseAttendantCall();
    if (m_atd.party == target)
        return;
    if (m_atd.state == AtdState::Talking && m_atd.aside.isNone() && !m_atd.party.isNone()) {
        // Selecting a station during a call starts its transfer.
        key(0x63);
    } else if (m_atd.state == AtdState::Calling && m_atd.party.kind == Party::Station) {
        const int previous = m_atd.party.index;
        m_atd.party = Party();
        m_atd.state = AtdState::Dialling;
        if (m_stations[size_t(previous)].peer.kind == Party::Attendant)
            clearStation(previous);
    } else if (m_atd.state == AtdState::Dialling && m_atd.party.kind == Party::Line) {
        if (m_atd.aside.isNone())
            key(0x63);
        else
            releaseAttendantCall();
    } else if (m_atd.state != AtdState::Idle && m_atd.state != AtdState::Dialling) {
        return;
    }
    attendantRings(s);
}

void PbxModel::dls(int l)
{
    Step step(*this);
    if (!validLine(l))
        return;
    const Party target{Party::Line, l};
    if (m_atd.ringing.contains(target)) {
        answerRinging(target);
        return;
    }
    Line &ln = m_lines[size_t(l)];
    if (m_atd.party == target)
        return;
    if (ln.holder.kind == Party::Attendant) {
        if (m_atd.aside == target)
            m_atd.aside = Party();
        if (m_atd.state != AtdState::Idle) {
            if (m_atd.party.kind == Party::Line)
                holdLineByAttendant(m_atd.party.index);
            else
                releaseAttendantCall();
        }
        attendantTalks(target);
        return;
    }
    if (ln.status == Status::TrkIdle) {
        seizeLine(l, QString());
        return;
    }
    notify(QStringLiteral("CO %1 is busy").arg(l + 1));
}

void PbxModel::coGroup(int group)
{
    Step step(*this);
    const int first = (group - 1) * 8;
    for (int l = qMax(0, first); l < first + 8 && l < lineCount(); ++l)
        if (m_lines[size_t(l)].status == Status::TrkIdle) {
            seizeLine(l, QString());
            return;
        }
    notify(QStringLiteral("no free line in CO group %1").arg(group));
}

void PbxModel::dynGeneral(quint8 kind)
{
    Step step(*this);
    if (kind == 0) {
        if (m_atd.state == AtdState::Idle) {
            m_atd.state = AtdState::Dialling;
            m_atd.party = Party();
            m_atd.dialled.clear();
        }
    } else if (kind == 1) {
        const int s = m_atd.blocked;
        if (s >= 0 && m_atd.party == Party{Party::Station, s}) {
            const quint8 st = m_stations[size_t(s)].status;
            if (st == Status::ExtIcm || st == Status::ExtCol || st == Status::Busy) {
                m_atd.state = AtdState::Talking;
                m_atd.blocked = -1;
                m_atd.callStart = m_scheduler.now();
                notify(QStringLiteral("intrusion into the call of station %1").arg(m_stations[size_t(s)].number));
            }
        }
    }
}

void PbxModel::keys(const QByteArray &codes)
{
    Step step(*this);
    for (const char c : codes)
        key(quint8(c));
}

void PbxModel::key(quint8 code)
{
    Step step(*this);
    const QString k = keyChar(code);
    const bool dialKey = code >= 0x90 && code <= 0x9F;
    if (m_atd.programming) {
        if (dialKey || code == 0x6C || code == 0x64 || code == 0x63) {
            programmingKey(k.at(0));
        } else {
            recordProgramming(m_atd.keys, QStringLiteral("abandoned"));
            m_atd.programming = false;
            m_atd.keys.clear();
        }
        return;
    }
    if (code == 0x6B && m_swallowMonitor) {
        m_swallowMonitor = false;
        return;
    }
    m_swallowMonitor = false;
    if (code >= 0x20 && code <= 0x37) {
        const int n = code - 0x1F;
        if (n <= lineCount())
            dls(n - 1);
        return;
    }
    if (dialKey) {
        if (code == 0x9A && m_atd.blocked >= 0 && m_atd.party == Party{Party::Station, m_atd.blocked}) {
            const int s = m_atd.blocked;
            Station &st = m_stations[size_t(s)];
            if (st.status == Status::ExtIdleDnd) {
                m_atd.blocked = -1;
                ringStationWith(s, Party{Party::Attendant, -1});
                notify(QStringLiteral("do not disturb of station %1 overridden").arg(st.number));
            } else if (m_atd.aside.isNone()) {
                bookCampOn(s, Party{Party::Attendant, -1});
                m_atd.state = AtdState::Idle;
                m_atd.party = Party();
                m_atd.blocked = -1;
                notify(QStringLiteral("camped on busy station %1").arg(st.number));
            }
            return;
        }
        if (code >= 0x9C)
            return;
        dialDigit(k.at(0));
        return;
    }
    switch (code) {
    case 0x63: // transfer
        if ((m_atd.state == AtdState::Talking || (m_atd.state == AtdState::Dialling && m_atd.party.kind == Party::Line))
            && m_atd.aside.isNone()) {
            const Party p = m_atd.party;
            disarm(m_atdTimer);
            m_atd.aside = p;
            m_atd.state = AtdState::Dialling;
            m_atd.party = Party();
            m_atd.dialled.clear();
            m_atd.blocked = -1;
            if (p.kind == Party::Line) {
                Line &ln = m_lines[size_t(p.index)];
                const Party atd{Party::Attendant, -1};
                ln.peer = Party();
                ln.holder = atd;
                putLineStatus(p.index, Status::Hold);
                arm(ln.timer, m_config.recallMs, [this, l = p.index] {
                    if (m_atd.aside == Party{Party::Line, l})
                        m_atd.aside = Party();
                    putLineStatus(l, Status::TrkHoldAtdRecall);
                    addRing(Party{Party::Line, l}, 4, m_lines[size_t(l)].callerId);
                    arm(m_lines[size_t(l)].timer, m_config.ringTimeoutMs, [this, l] { lineCallerGivesUp(l); });
                });
            }
        } else if (!m_atd.aside.isNone()) {
            const Party back = m_atd.aside;
            if (m_atd.party.kind == Party::Station && m_stations[size_t(m_atd.party.index)].peer.kind == Party::Attendant) {
                const int target = m_atd.party.index;
                m_atd.party = Party();
                clearStation(target);
            }
            m_atd.aside = Party();
            attendantTalks(back);
        } else if (m_atd.state == AtdState::Idle && m_atd.ringing.isEmpty()) {
            m_atd.programming = true;
            m_atd.keys = QStringLiteral("T");
        }
        break;
    case 0x6C: // hold
        if (m_atd.party.kind == Party::Line && m_atd.state != AtdState::Idle)
            holdLineByAttendant(m_atd.party.index);
        break;
    case 0x6B: // monitor: answer, complete a transfer, or hang up
        if (!m_atd.aside.isNone() && m_atd.party.kind == Party::Station
            && (m_atd.state == AtdState::Calling || m_atd.state == AtdState::Talking)) {
            completeTransfer();
        } else if (!m_atd.aside.isNone() && m_atd.party.isNone()) {
            const Party back = m_atd.aside;
            m_atd.aside = Party();
            attendantTalks(back);
        } else if (m_atd.state == AtdState::Idle) {
            if (!m_atd.ringing.isEmpty())
                answerRinging(m_atd.ringing.first());
        } else {
            releaseAttendantCall();
        }
        break;
    case 0x66: // call back
        if (m_atd.blocked >= 0 && m_atd.aside.isNone()) {
            bookCampOn(m_atd.blocked, Party{Party::Attendant, -1});
            notify(QStringLiteral("call back from station %1 booked").arg(m_stations[size_t(m_atd.blocked)].number));
            m_atd.state = AtdState::Idle;
            m_atd.party = Party();
            m_atd.blocked = -1;
        }
        break;
    case 0x68: // do not disturb
        if (m_atd.state == AtdState::Idle)
            m_atd.dnd = !m_atd.dnd;
        break;
    case 0x6A: // intercom
        dynGeneral(0);
        break;
    case 0x64: // speed dial
        if (m_atd.state == AtdState::Idle || (m_atd.state == AtdState::Dialling && m_atd.party.isNone())) {
            m_atd.state = AtdState::Dialling;
            m_atd.speed = true;
            m_atd.speedDigits.clear();
        }
        break;
    case 0x62: // redial
        if (m_atd.state == AtdState::Idle && !m_atd.lastExternal.isEmpty()) {
            const QList<int> free = idleLines();
            if (!free.isEmpty())
                seizeLine(free.first(), m_atd.lastExternal);
        }
        break;
    case 0x67: // mute
        m_atd.mute = !m_atd.mute;
        break;
    default:
        notify(QStringLiteral("key %1 has no effect here").arg(k));
        break;
    }
}

void PbxModel::feature(quint8 feature, quint8 value)
{
    Step step(*this);
    switch (feature) {
    case 0:
        m_atd.pickup = true;
        break;
    case 1:
        if (value < m_config.paging)
            startPaging(value + 1);
        break;
    case 2: startPaging(100); break;
    case 4: startPaging(201); break;
    case 5: startPaging(202); break;
    case 6: startPaging(203); break;
    case 7: startPaging(200); break;
    case 8: startPaging(0); break;
    default:
        notify(QStringLiteral("feature %1,%2 recorded").arg(feature).arg(value));
        break;
    }
}

PbxModel::AdmResult PbxModel::changeStationNumber(int s, quint16 value)
{
    Step step(*this);
    if (!validStation(s))
        return AdmResult::InvalidNumber;
    QString number;
    if (value != 0xFFFF) {
        number = nibblesToNumber(value);
        for (const QChar c : number)
            if (!c.isDigit())
                return AdmResult::InvalidNumber;
        if (number.isEmpty())
            return AdmResult::InvalidNumber;
        const int other = stationByNumber(number);
        if (other >= 0 && other != s)
            return AdmResult::Failed;
    }
    m_stations[size_t(s)].number = number;
    if (m_observer)
        m_observer->stationIdentityChanged(s, true, false);
    return AdmResult::Success;
}

void PbxModel::restartStation(int s)
{
    Step step(*this);
    if (s == m_own)
        resendKeyTelephone();
    else
        dropStation(s);
}

void PbxModel::restartLine(int l)
{
    Step step(*this);
    dropLine(l);
}

// ---------------------------------------------------------------- the rest of the PBX

bool PbxModel::coRing(int l, quint8 kind, const QString &digits)
{
    if (!validLine(l) || kind < 1 || kind > 4)
        return false;
    Step step(*this);
    if (m_lines[size_t(l)].status != Status::TrkIdle || m_lines[size_t(l)].atdRing)
        dropLine(l);
    Line &ln = m_lines[size_t(l)];
    ln.callerId = digits;
    ln.peer = kind == 2 ? Party{Party::Attendant, -1} : Party();
    ln.holder = kind == 4 ? Party{Party::Attendant, -1} : Party();
    static const quint8 statusOfKind[5] = {0, Status::Ring, Status::Busy, Status::TrkHoldRecall, Status::TrkHoldAtdRecall};
    putLineStatus(l, statusOfKind[kind]);
    addRing(Party{Party::Line, l}, kind, digits);
    arm(ln.timer, m_config.ringTimeoutMs, [this, l] { lineCallerGivesUp(l); });
    return true;
}

bool PbxModel::coRingEnd(int l)
{
    if (!validLine(l))
        return false;
    Step step(*this);
    if (m_lines[size_t(l)].atdRing)
        lineCallerGivesUp(l);
    return true;
}

bool PbxModel::icmRing(int s)
{
    if (!validStation(s) || s == m_own)
        return false;
    Step step(*this);
    Station &st = m_stations[size_t(s)];
    if (st.peer.kind != Party::None || (st.status != Status::ExtIdle && st.status != Status::ExtIdleDnd))
        dropStation(s);
    st.peer = Party{Party::Attendant, -1};
    putStationStatus(s, Status::ExtIcm);
    addRing(Party{Party::Station, s}, 0, QString());
    arm(st.timer, m_config.ringTimeoutMs, [this, s] {
        notify(QStringLiteral("station %1 stops calling").arg(m_stations[size_t(s)].number));
        dropStation(s);
    });
    return true;
}

bool PbxModel::icmRingEnd(int s)
{
    if (!validStation(s) || s == m_own)
        return false;
    Step step(*this);
    if (m_atd.ringing.contains(Party{Party::Station, s}))
        dropStation(s);
    return true;
}

bool PbxModel::setStationStatus(int s, quint8 status)
{
    if (!validStation(s) || s == m_own)
        return false;
    Step step(*this);
    dropStation(s);
    Station &st = m_stations[size_t(s)];
    st.dnd = status == Status::ExtIdleDnd;
    putStationStatus(s, status);
    return true;
}

bool PbxModel::setLineStatus(int l, quint8 status)
{
    if (!validLine(l))
        return false;
    Step step(*this);
    dropLine(l);
    m_lines[size_t(l)].disabled = status == Status::TrkIdleDisabled;
    putLineStatus(l, status);
    return true;
}

bool PbxModel::setStationDnd(int s, bool on)
{
    if (!validStation(s) || s == m_own)
        return false;
    Step step(*this);
    Station &st = m_stations[size_t(s)];
    st.dnd = on;
    if (st.status == Status::ExtIdle || st.status == Status::ExtIdleDnd)
        putStationStatus(s, on ? Status::ExtIdleDnd : Status::ExtIdle);
    return true;
}

bool PbxModel::setStationName(int s, const QString &name)
{
    if (!validStation(s))
        return false;
    Step step(*this);
    m_stations[size_t(s)].name = name.left(16);
    if (m_observer)
        m_observer->stationIdentityChanged(s, false, true);
    return true;
}

bool PbxModel::setStationNumber(int s, const QString &number)
{
    if (!validStation(s))
        return false;
    return changeStationNumber(s, number.isEmpty() ? 0xFFFF : numberToNibbles(number)) == AdmResult::Success;
}

bool PbxModel::setCallerId(int l, const QString &digits)
{
    if (!validLine(l))
        return false;
    m_lines[size_t(l)].callerId = digits;
    return true;
}

bool PbxModel::stationCall(int from, int to)
{
    if (!validStation(from) || !validStation(to) || from == to || from == m_own)
        return false;
    Station &a = m_stations[size_t(from)];
    if (a.status != Status::ExtIdle && a.status != Status::ExtIdleDnd)
        return false;
    Step step(*this);
    if (to == m_own)
        return icmRing(from);
    Station &b = m_stations[size_t(to)];
    if (b.status == Status::ExtIdle && b.peer.isNone()) {
        a.peer = Party{Party::Station, to};
        putStationStatus(from, Status::ExtIcm);
        ringStationWith(to, Party{Party::Station, from});
    } else {
        putStationStatus(from, Status::Busy);
        arm(a.timer, 2000, [this, from] { clearStation(from); });
    }
    return true;
}

bool PbxModel::stationOutgoing(int s, int l)
{
    if (!validStation(s) || s == m_own)
        return false;
    Station &st = m_stations[size_t(s)];
    if (st.status != Status::ExtIdle && st.status != Status::ExtIdleDnd)
        return false;
    if (l < 0) {
        const QList<int> free = idleLines();
        if (free.isEmpty())
            return false;
        l = free.at(int(m_random.bounded(int(free.size()))));
    }
    if (!validLine(l) || m_lines[size_t(l)].status != Status::TrkIdle)
        return false;
    Step step(*this);
    Line &ln = m_lines[size_t(l)];
    st.peer = Party{Party::Line, l};
    ln.peer = Party{Party::Station, s};
    ln.callerId = QStringLiteral("0%1").arg(m_random.bounded(1000000, 99999999));
    putStationStatus(s, Status::ExtCol);
    putLineStatus(l, Status::Busy);
    arm(st.timer, talkTime(), [this, s] { dropStation(s); });
    return true;
}

bool PbxModel::stationHold(int s)
{
    if (!validStation(s) || s == m_own)
        return false;
    Station &st = m_stations[size_t(s)];
    if (st.status != Status::ExtCol || st.peer.kind != Party::Line)
        return false;
    Step step(*this);
    const int l = st.peer.index;
    Line &ln = m_lines[size_t(l)];
    disarm(st.timer);
    st.peer = Party();
    ln.peer = Party();
    ln.holder = Party{Party::Station, s};
    putLineStatus(l, Status::Hold);
    putStationStatus(s, st.dnd ? Status::ExtIdleDnd : Status::ExtIdle);
    arm(ln.timer, m_config.recallMs, [this, l] {
        putLineStatus(l, Status::TrkHoldRecall);
        arm(m_lines[size_t(l)].timer, m_config.ringTimeoutMs / 2, [this, l] {
            Line &held = m_lines[size_t(l)];
            held.holder = Party();
            addRing(Party{Party::Line, l}, 3, held.callerId);
            arm(held.timer, m_config.ringTimeoutMs, [this, l] { lineCallerGivesUp(l); });
        });
    });
    return true;
}

bool PbxModel::stationTransferToAttendant(int s)
{
    if (!validStation(s) || s == m_own)
        return false;
    Station &st = m_stations[size_t(s)];
    if (st.status != Status::ExtCol || st.peer.kind != Party::Line)
        return false;
    Step step(*this);
    const int l = st.peer.index;
    Line &ln = m_lines[size_t(l)];
    disarm(st.timer);
    st.peer = Party();
    ln.peer = Party{Party::Attendant, -1};
    putStationStatus(s, st.dnd ? Status::ExtIdleDnd : Status::ExtIdle);
    addRing(Party{Party::Line, l}, 2, ln.callerId);
    arm(ln.timer, m_config.ringTimeoutMs, [this, l] { lineCallerGivesUp(l); });
    return true;
}

bool PbxModel::hangUp(int s)
{
    if (!validStation(s) || s == m_own)
        return false;
    Step step(*this);
    dropStation(s);
    return true;
}

void PbxModel::showText(const QString &text)
{
    Step step(*this);
    sendUpperText(text);
    m_shownUpper = QStringLiteral("T:") + text;
}

QList<int> PbxModel::idleStations() const
{
    return stationsInState(Status::ExtIdle);
}

QList<int> PbxModel::stationsInState(quint8 status) const
{
    QList<int> out;
    for (int i = 0; i < stationCount(); ++i)
        if (i != m_own && m_stations[size_t(i)].status == status)
            out.append(i);
    return out;
}

QList<int> PbxModel::idleLines() const
{
    QList<int> out;
    for (int i = 0; i < lineCount(); ++i)
        if (m_lines[size_t(i)].status == Status::TrkIdle && !m_lines[size_t(i)].atdRing)
            out.append(i);
    return out;
}

QList<int> PbxModel::linesRingingAtAttendant() const
{
    QList<int> out;
    for (const Party &p : m_atd.ringing)
        if (p.kind == Party::Line)
            out.append(p.index);
    return out;
}

// ---------------------------------------------------------------- programming

void PbxModel::programmingKey(QChar c)
{
    m_atd.keys += c;
    bool swallow = false;
    if (finishProgramming(m_atd.keys, &swallow)) {
        m_atd.programming = false;
        m_atd.keys.clear();
        m_swallowMonitor = swallow;
    } else if (m_atd.keys.size() > 80) {
        recordProgramming(m_atd.keys, QStringLiteral("too long, abandoned"));
        m_atd.programming = false;
        m_atd.keys.clear();
    }
}

void PbxModel::recordProgramming(const QString &keys, const QString &effect)
{
    const QString line = keys + QStringLiteral(": ") + effect;
    m_programmingLog.append(line);
    // The log is kept bounded however long the PBX runs.
    while (m_programmingLog.size() > 500)
        m_programmingLog.removeFirst();
    notify(QStringLiteral("programming ") + line);
}

QString PbxModel::decodeTextEntry(const QString &pairs, bool *ok)
{
    static const char *const table[] = {
        "21A", "22B", "23C", "31D", "32E", "33F", "41G", "42H", "43I", "51J", "52K", "53L", "61M",
        "62N", "63O", "71P", "72R", "73S", "81T", "82U", "83V", "91W", "92X", "93Y", "11Q", "12Z",
        "000", "101", "202", "303", "404", "505", "606", "707", "808", "909", "*1 ", "*2:", "*3,", "13.",
    };
    QString out;
    *ok = pairs.size() % 2 == 0;
    for (int i = 0; i + 1 < pairs.size(); i += 2) {
        const QString pair = pairs.mid(i, 2);
        bool found = false;
        for (const char *entry : table) {
            if (pair == QLatin1String(entry, 2)) {
                out += QLatin1Char(entry[2]);
                found = true;
                break;
            }
        }
        if (!found)
            *ok = false;
    }
    return out;
}

QList<int> PbxModel::stationRange(const QString &first, const QString &last) const
{
    QList<int> out;
    const int a = first.toInt();
    const int b = last.toInt();
    if (stationByNumber(first) < 0 || stationByNumber(last) < 0 || b < a)
        return out;
    for (int i = 0; i < stationCount(); ++i) {
        const int n = m_stations[size_t(i)].number.toInt();
        if (n >= a && n <= b)
            out.append(i);
    }
    return out;
}

bool PbxModel::splitRange(const QString &digits, QString *first, QString *last, QString *rest) const
{
    const int w = m_numberWidth;
    if (digits.size() < 2 * w)
        return false;
    *first = digits.left(w);
    *last = digits.mid(w, w);
    *rest = digits.mid(2 * w);
    return true;
}

bool PbxModel::finishProgramming(const QString &keys, bool *swallowMonitor)
{
    *swallowMonitor = false;
    const QString body = keys.mid(1);
    if (body == u"044") {
        m_dateDayFirst = !m_dateDayFirst;
        recordProgramming(keys, m_dateDayFirst ? QStringLiteral("date shown day first") : QStringLiteral("date shown month first"));
        sendDate();
        return true;
    }
    if (body == u"045") {
        m_time24h = !m_time24h;
        recordProgramming(keys, m_time24h ? QStringLiteral("time shown in 24 hours") : QStringLiteral("time shown a.m./p.m."));
        if (!m_timerShown)
            sendTime();
        return true;
    }
    if (body.startsWith(u"06")) {
        if (body.size() < 5)
            return false;
        m_greeting = body.mid(2, 3).toInt();
        recordProgramming(keys, QStringLiteral("greeting %1 recorded").arg(m_greeting));
        return true;
    }
    if (!body.endsWith(u'H'))
        return false;
    const QString content = body.mid(3, body.size() - 4);
    const QString prefix = body.left(3);
    QString first, last, rest;
    if (prefix == u"041") {
        if (body.count(u'H') < 2)
            return false;
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^041(\\d\\d)(\\d\\d)(\\d\\d)H(\\d\\d)(\\d\\d)H$")).match(body);
        const QDateTime when(QDate(2000 + m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt()),
                             QTime(m.captured(4).toInt(), m.captured(5).toInt()));
        if (!m.hasMatch() || !when.isValid()) {
            recordProgramming(keys, QStringLiteral("clock setting not valid"));
            return true;
        }
        m_clockOffsetMs = m_clockBase.addMSecs(m_scheduler.now()).msecsTo(when);
        recordProgramming(keys, QStringLiteral("clock set to ") + when.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
        sendDate();
        if (!m_timerShown)
            sendTime();
        return true;
    }
    if (prefix == u"042" || prefix == u"043" || prefix == u"021" || prefix == u"022" || prefix == u"071") {
        QString c = content;
        const bool daily = prefix == u"042" && c.endsWith(u'#');
        if (daily)
            c.chop(1);
        if (!splitRange(c, &first, &last, &rest)) {
            recordProgramming(keys, QStringLiteral("station range missing"));
            return true;
        }
        const QList<int> range = stationRange(first, last);
        if (range.isEmpty()) {
            recordProgramming(keys, QStringLiteral("station range %1-%2 not valid").arg(first, last));
            return true;
        }
        if (prefix == u"042") {
            if (rest.size() != 4 || rest.left(2).toInt() > 23 || rest.mid(2).toInt() > 59) {
                recordProgramming(keys, QStringLiteral("wake-up time not valid"));
                return true;
            }
            for (const int s : range) {
                Station &st = m_stations[size_t(s)];
                st.wakeMode = daily ? 2 : 1;
                st.wakeHour = quint8(rest.left(2).toInt());
                st.wakeMinute = quint8(rest.mid(2).toInt());
            }
            recordProgramming(keys, QStringLiteral("wake-up %1-%2 at %3:%4 %5")
                                        .arg(first, last, rest.left(2), rest.mid(2),
                                             daily ? QStringLiteral("daily") : QStringLiteral("once")));
        } else if (prefix == u"043") {
            for (const int s : range)
                m_stations[size_t(s)].wakeMode = 0;
            recordProgramming(keys, QStringLiteral("wake-up of %1-%2 cancelled").arg(first, last));
        } else if (prefix == u"071") {
            for (const int s : range) {
                Station &st = m_stations[size_t(s)];
                st.wakeMode = 0;
                st.tempCos = 0;
                if (s != m_own)
                    setStationDnd(s, false);
                for (int i = int(m_campOns.size()) - 1; i >= 0; --i)
                    if (m_campOns.at(i).first == s)
                        m_campOns.removeAt(i);
            }
            recordProgramming(keys, QStringLiteral("attendant features of %1-%2 cancelled").arg(first, last));
        } else {
            for (const int s : range)
                m_stations[size_t(s)].tempCos = prefix == u"021" ? 1 : 0;
            recordProgramming(keys, QStringLiteral("temporary COS of %1-%2 %3")
                                        .arg(first, last, prefix == u"021" ? QStringLiteral("on") : QStringLiteral("off")));
        }
        return true;
    }
    if (prefix == u"072" || prefix == u"031") {
        const int w = m_numberWidth;
        const int s = stationByNumber(content.left(w));
        if (s < 0) {
            recordProgramming(keys, QStringLiteral("station %1 not found").arg(content.left(w)));
            return true;
        }
        if (prefix == u"031") {
            m_stations[size_t(s)].authCode = content.mid(w);
            recordProgramming(keys, QStringLiteral("authorisation code of %1 changed").arg(content.left(w)));
            return true;
        }
        *swallowMonitor = true;
        bool ok = false;
        const QString name = decodeTextEntry(content.mid(w), &ok);
        if (!ok) {
            recordProgramming(keys, QStringLiteral("station name not readable"));
            return true;
        }
        setStationName(s, name);
        recordProgramming(keys, QStringLiteral("name of %1 is %2").arg(content.left(w), name));
        return true;
    }
    if (prefix == u"075") {
        if (content.size() != 2 || content.toInt() > 9) {
            recordProgramming(keys, QStringLiteral("music channel not valid"));
            return true;
        }
        m_music = quint8(content.toInt());
        recordProgramming(keys, QStringLiteral("background music channel %1").arg(m_music));
        return true;
    }
    if (prefix == u"053") {
        *swallowMonitor = true;
        bool ok = false;
        const int number = content.left(2).toInt();
        const QString text = decodeTextEntry(content.mid(2), &ok);
        if (!ok || number < 11 || number > 20) {
            recordProgramming(keys, QStringLiteral("custom message not valid"));
            return true;
        }
        m_messages.insert(number, text);
        recordProgramming(keys, QStringLiteral("custom message %1 is %2").arg(number).arg(text));
        return true;
    }
    if (body.startsWith(u"#9")) {
        QString r = body.mid(2, body.size() - 3);
        quint8 t[4] = {0xFF, 0, 0xFF, 0};
        for (int part = 0; part < 2; ++part) {
            if (r.startsWith(u'*')) {
                r = r.mid(1);
                continue;
            }
            if (r.size() < 4) {
                recordProgramming(keys, QStringLiteral("day/night times not valid"));
                return true;
            }
            t[part * 2] = quint8(qMin(r.left(2).toInt(), 23));
            t[part * 2 + 1] = quint8(qMin(r.mid(2, 2).toInt(), 59));
            r = r.mid(4);
        }
        if (t[0] != 0xFF) {
            m_dayHour = t[0];
            m_dayMinute = t[1];
        } else {
            m_dayHour = 0xFF;
        }
        if (t[2] != 0xFF) {
            m_nightHour = t[2];
            m_nightMinute = t[3];
        } else {
            m_nightHour = 0xFF;
        }
        recordProgramming(keys, QString::asprintf("day %02d:%02d night %02d:%02d", m_dayHour, m_dayMinute, m_nightHour,
                                                  m_nightMinute));
        return true;
    }
    recordProgramming(keys, QStringLiteral("recorded, not understood"));
    return true;
}

// ---------------------------------------------------------------- speed bins

std::optional<SpeedBinRecord> PbxModel::speedBin(quint16 bin) const
{
    const auto it = m_speed.constFind(bin);
    if (it == m_speed.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<SpeedBinRecord> PbxModel::writeSpeedBin(const SpeedBinRecord &record)
{
    if (!speedBinInRange(record.bin))
        return std::nullopt;
    SpeedBinRecord r = record;
    QString number;
    for (const QChar c : record.number.toUpper())
        if (QStringLiteral("0123456789*#PSF").contains(c))
            number += c;
    r.number = number.left(24);
    r.name = record.name.toUpper().left(16);
    if (r.coType > SpeedBinRecord::Group)
        r.coType = SpeedBinRecord::None;
    if (r.coType == SpeedBinRecord::None)
        r.coNumber = 0;
    if (r.number.isEmpty()) {
        if (m_speed.remove(r.bin))
            speedChanged();
        return std::nullopt;
    }
    m_speed.insert(r.bin, r);
    speedChanged();
    return r;
}

bool PbxModel::keysetSpeedChange(const SpeedBinRecord &record)
{
    if (!speedBinInRange(record.bin))
        return false;
    Step step(*this);
    writeSpeedBin(record);
    if (m_observer)
        m_observer->speedBinChanged(record.bin);
    return true;
}

void PbxModel::speedChanged()
{
    if (m_speedFile.isEmpty())
        return;
    QString error;
    if (!saveSpeedFile(&error))
        notify(error);
}

bool PbxModel::loadSpeedFile(const QString &path, QString *error)
{
    m_speedFile = path;
    QFile file(path);
    if (!file.exists())
        return true; // written on the first change
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    m_speed.clear();
    int lineNo = 0;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        bool okBin = false, okType = false, okNo = false;
        SpeedBinRecord r;
        if (f.size() >= 4) {
            r.bin = quint16(f.at(0).toUInt(&okBin));
            r.coType = quint8(f.at(1).toUInt(&okType));
            r.coNumber = quint8(f.at(2).toUInt(&okNo));
            r.number = f.at(3);
            r.name = f.size() > 4 ? f.at(4) : QString();
        }
        if (!okBin || !okType || !okNo || !speedBinInRange(r.bin)) {
            *error = QStringLiteral("%1:%2: not a speed bin of the range").arg(path).arg(lineNo);
            return false;
        }
        const QString saved = m_speedFile;
        m_speedFile.clear(); // no save while loading
        writeSpeedBin(r);
        m_speedFile = saved;
    }
    return true;
}

bool PbxModel::saveSpeedFile(QString *error) const
{
    QSaveFile file(m_speedFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot write %1: %2").arg(m_speedFile, file.errorString());
        return false;
    }
    QTextStream out(&file);
    out << "# bin\tCO type (0 none, 1 line, 2 group)\tCO number\tnumber\tname\n";
    for (const SpeedBinRecord &r : m_speed)
        out << r.bin << '\t' << r.coType << '\t' << r.coNumber << '\t' << r.number << '\t' << r.name << '\n';
    out.flush();
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(m_speedFile, file.errorString());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- key telephone

void PbxModel::kt(quint8 command, quint8 d1, quint8 d2)
{
    if (m_observer)
        m_observer->keyTelephone(command, d1, d2);
}

void PbxModel::sendLamp(int index, Lamp lamp)
{
    m_lamps[size_t(index - 1)] = lamp;
    const bool green = lamp.colour == kGreen;
    const int i = index - 1;
    if (index <= 64) {
        quint8 nibbles[4] = {0xF, 0xF, 0xF, 0xF};
        nibbles[i % 4] = lamp.pattern & 0x0F;
        const quint8 command = quint8((i / 4) | (green ? 0x20 : 0x00));
        kt(command, quint8((nibbles[3] << 4) | nibbles[2]), quint8((nibbles[1] << 4) | nibbles[0]));
    } else {
        kt(0x4E, quint8(0x10 | ((i >> 4) & 0x0F) | (green ? 0x80 : 0x00)), quint8(((i & 0x0F) << 4) | (lamp.pattern & 0x0F)));
    }
}

void PbxModel::refreshLamps()
{
    std::array<Lamp, 33> want{};
    const Party atd{Party::Attendant, -1};
    for (int n = 1; n <= 24 && n <= lineCount(); ++n) {
        const Line &ln = m_lines[size_t(n - 1)];
        const Party self{Party::Line, n - 1};
        Lamp &l = want[size_t(n - 1)];
        if (m_atd.party == self && m_atd.state != AtdState::Idle)
            l = {kGreen, 1};
        else if (ln.atdRing == 3 || ln.atdRing == 4)
            l = {kGreen, 5};
        else if (ln.atdRing)
            l = {kGreen, 3};
        else if (ln.holder == atd)
            l = {kGreen, 10};
        else if (ln.status == Status::Hold || ln.status == Status::TrkHoldRecall)
            l = {kRed, 10};
        else if (ln.status == Status::Busy || ln.status == Status::Ring)
            l = {kRed, 1};
    }
    bool heldByMe = false;
    for (const Line &ln : m_lines)
        heldByMe = heldByMe || ln.holder == atd;
    bool icmRinging = false;
    for (const Party &p : m_atd.ringing)
        icmRinging = icmRinging || p.kind == Party::Station;
    if (!m_atd.aside.isNone())
        want[25] = {kGreen, 1};
    if (m_atd.mute)
        want[28] = {kRed, 1};
    if (m_atd.dnd)
        want[29] = {kRed, 1};
    if (icmRinging)
        want[30] = {kGreen, 3};
    else if (m_atd.party.kind == Party::Station && m_atd.state == AtdState::Talking)
        want[30] = {kGreen, 1};
    if (m_atd.state != AtdState::Idle)
        want[31] = {kGreen, 1};
    if (heldByMe)
        want[32] = {kGreen, 10};
    for (int i = 0; i < 33; ++i) {
        const Lamp shown = m_lamps[size_t(i)];
        const Lamp w = want[size_t(i)];
        // A lamp that is off is off whatever its colour.
        if (w == shown || (w.pattern == 0 && shown.pattern == 0))
            continue;
        sendLamp(i + 1, w);
    }
}

void PbxModel::sendUpperText(const QString &text)
{
    QByteArray bytes;
    bytes.append(char(0xCD)); // 24 blanks on the upper line, text mode on
    for (const QChar c : text.left(24)) {
        const char16_t u = c.unicode();
        bytes.append(u >= 0x20 && u < 0x7F ? char(u) : '?');
    }
    if (bytes.size() % 2)
        bytes.append(char(kPad));
    for (int i = 0; i < bytes.size(); i += 2)
        kt(0x4F, quint8(bytes.at(i)), quint8(bytes.at(i + 1)));
}

void PbxModel::sendStationText(const QString &number)
{
    // Four argument nibbles; 0xE converts to nothing, so short numbers get no leading zeros.
    quint8 n[4] = {0xE, 0xE, 0xE, 0xE};
    const QString digits = number.right(4);
    for (int i = 0; i < digits.size(); ++i) {
        const QChar c = digits.at(i);
        n[4 - digits.size() + i] = c.isDigit() ? quint8(c.unicode() - u'0') : 0xE;
    }
    kt(0x4F, 0xC5, quint8((n[0] << 4) | n[1]));
    kt(0x4F, quint8((n[2] << 4) | n[3]), 0xC8);
}

void PbxModel::sendDate()
{
    const QDate d = now().date();
    kt(0x50, 0x00, bcd(d.year() % 100));
    kt(0x51, bcd(d.month()), bcd(d.day()));
    kt(0x4F, m_dateDayFirst ? 0xCA : 0xC9, kPad);
}

void PbxModel::sendTime()
{
    const QTime t = now().time();
    kt(0x53, bcd(m_time24h ? t.hour() : (t.hour() % 12 == 0 ? 12 : t.hour() % 12)), bcd(t.minute()));
    if (m_time24h)
        kt(0x54, ' ', ' ');
    else
        kt(0x54, t.hour() < 12 ? 'a' : 'p', 'm');
}

void PbxModel::showDateTime()
{
    Step step(*this);
    sendDate();
    if (!m_timerShown)
        sendTime();
}

void PbxModel::resendKeyTelephone()
{
    Step step(*this);
    for (quint8 bank = 0; bank < kLamps / 8; ++bank)
        kt(0x4E, bank, 0x00);
    m_lamps.fill(Lamp());
    m_shownUpper.clear();
    m_timerShown = false;
    kt(0x42, 0x00, 0x00);
    sendDate();
    sendTime();
}

void PbxModel::refreshDisplay()
{
    QString want;
    const Attendant &a = m_atd;
    if (a.programming) {
        want = QStringLiteral("T:PGM ") + a.keys.right(18);
    } else if (a.state == AtdState::Paging) {
        want = QStringLiteral("T:PAGING ZONE %1").arg(a.pagingZone);
    } else if (a.state != AtdState::Idle && a.party.kind == Party::Line) {
        const Line &ln = m_lines[size_t(a.party.index)];
        want = QStringLiteral("T:CO %1 %2").arg(a.party.index + 1, 2, 10, QLatin1Char('0')).arg(ln.callerId);
    } else if (a.state != AtdState::Idle && a.party.kind == Party::Station) {
        want = QStringLiteral("S:") + m_stations[size_t(a.party.index)].number;
    } else if (a.state == AtdState::Dialling) {
        want = QStringLiteral("T:") + (a.speed ? QStringLiteral("SPEED ") + a.speedDigits : a.dialled);
    } else if (!a.ringing.isEmpty()) {
        const Party p = a.ringing.first();
        if (p.kind == Party::Line)
            want = QStringLiteral("T:CO %1 %2").arg(p.index + 1, 2, 10, QLatin1Char('0')).arg(m_lines[size_t(p.index)].callerId);
        else
            want = QStringLiteral("T:ICM ") + m_stations[size_t(p.index)].number;
    } else {
        want = QStringLiteral("S:") + m_stations[size_t(m_own)].number;
    }
    if (want != m_shownUpper) {
        m_shownUpper = want;
        if (want.startsWith(u'S'))
            sendStationText(want.mid(2));
        else
            sendUpperText(want.mid(2));
    }
    const bool timer = a.state == AtdState::Talking;
    if (timer && !m_timerShown) {
        m_timerShown = true;
        m_timerMinutes = int((m_scheduler.now() - a.callStart) / 60000);
        kt(0x55, bcd(m_timerMinutes % 60), bcd(m_timerMinutes / 60));
    } else if (!timer && m_timerShown) {
        m_timerShown = false;
        kt(0x42, 0x00, 0x00);
        sendTime();
    }
}

void PbxModel::minuteTick()
{
    arm(m_minuteTimer, 60000, [this] { minuteTick(); });
    if (m_timerShown) {
        m_timerMinutes = int((m_scheduler.now() - m_atd.callStart) / 60000);
        kt(0x55, bcd(m_timerMinutes % 60), bcd(m_timerMinutes / 60));
    } else {
        if (now().time().hour() == 0 && now().time().minute() == 0)
            sendDate();
        sendTime();
    }
}

} // namespace pbxsim
