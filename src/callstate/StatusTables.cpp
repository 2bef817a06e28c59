#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"

#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"
#include "link/SpeedBinRecord.h"
#include "base/Clock.h"
#include "base/Trace.h"

StationDirectoryWriter::~StationDirectoryWriter() = default;
CoDirectoryWriter::~CoDirectoryWriter() = default;

namespace {

quint8 u8(const QByteArray &p, int i)
{
    return quint8(p.at(i));
}

quint16 u16(const QByteArray &p, int i)
{
    return quint16((u8(p, i) << 8) | u8(p, i + 1));
}

QString latinUntilZero(const QByteArray &p, int begin, int end)
{
    int stop = begin;
    while (stop < end && p.at(stop) != 0)
        ++stop;
    return QString::fromLatin1(p.constData() + begin, stop - begin);
}

// Size of a variable-length event with its length byte at lengthAt: kNotMine
// when the byte is not there, else the larger of declared + 3 and the minimum.
quint16 variableSize(const QByteArray &p, int offset, int lengthAt, int minimum)
{
    if (int(p.size()) < offset + lengthAt + 1)
        return kNotMine;
    return quint16(qMax(u8(p, offset + lengthAt) + 3, minimum));
}

bool holds(const QByteArray &p, int offset, int size)
{
    return int(p.size()) - offset >= size;
}

} // namespace

// --- stations -----------------------------------------------------------------

CExtStatusList::CExtStatusList(CLinkPort &link, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_clock(clock)
{
}

CExtStatusList::~CExtStatusList() = default;

void CExtStatusList::setCount(quint16 count)
{
    m_records.rebuild(count);
    Q_EMIT countChanged();
}

quint16 CExtStatusList::count(bool presentOnly) const
{
    return m_records.count(presentOnly);
}

CExtStatus *CExtStatusList::record(quint16 index)
{
    return m_records.at(index);
}

const CExtStatus *CExtStatusList::record(quint16 index) const
{
    return m_records.at(index);
}

void CExtStatusList::setStatus(quint16 index, quint8 code)
{
    CExtStatus *r = record(index);
    if (!r || r->status == code)
        return;
    const auto idle = [](quint8 c) { return c == Status::STEXT_IDLE || c == Status::STEXT_IDLE_WITH_DND; };
    if (!(idle(r->status) && idle(code)))
        r->statusStart = m_clock.now();
    r->applyBaseRule(code);
    Q_EMIT recordChanged(index, HINT_STATUS);
}

void CExtStatusList::setNumber(quint16 index, quint16 number)
{
    if (CExtStatus *r = record(index)) {
        r->number = Nibbles::fromNumber16(number);
        Q_EMIT recordChanged(index, HINT_IDENTITY);
    }
}

void CExtStatusList::setName(quint16 index, const QString &name)
{
    if (CExtStatus *r = record(index)) {
        r->name = name;
        Q_EMIT recordChanged(index, HINT_IDENTITY);
    }
}

void CExtStatusList::setAssociatedParty(quint16 index, quint8 kind, quint16 partyIndex)
{
    if (CExtStatus *r = record(index)) {
        r->associatedKind = kind;
        r->associatedIndex = partyIndex;
    }
}

void CExtStatusList::setMeskState(quint16 index, quint8 state)
{
    if (CExtStatus *r = record(index))
        r->meskState = state;
}

void CExtStatusList::setWakeup(quint16 index, quint8 mode, quint8 hour, quint8 minute)
{
    if (CExtStatus *r = record(index)) {
        r->wakeupMode = mode;
        r->wakeupHour = hour;
        r->wakeupMinute = minute;
    }
}

void CExtStatusList::setTempCos(quint16 index, quint8 cos)
{
    if (CExtStatus *r = record(index))
        r->tempCos = cos;
}

void CExtStatusList::setPresence(quint16 index, quint8 presence)
{
    if (CExtStatus *r = record(index))
        r->presence = presence;
}

void CExtStatusList::setInfoReceived(quint16 index, bool value)
{
    if (CExtStatus *r = record(index))
        r->infoReceived = value;
}

quint16 CExtStatusList::findByNumber(int number) const
{
    const QString text = QString::number(number);
    for (const auto &r : m_records) {
        if (r.numberText() == text)
            return r.index;
    }
    return 0xFFFF;
}

bool CExtStatusList::numberExists(const QString &text) const
{
    for (const auto &r : m_records) {
        if (r.numberText() == text)
            return true;
    }
    return false;
}

bool CExtStatusList::allInfoReceived() const
{
    return m_records.allInfoReceived();
}

int CExtStatusList::requestMissingInfo()
{
    const QList<quint16> ports = m_records.missing(10);
    InfoBatch batch(m_link, InfoBatch::Stations);
    for (int i = 0; i < ports.size(); ++i)
        batch.add(ports.at(i), i == ports.size() - 1);
    return int(ports.size());
}

void CExtStatusList::reportProgress(quint16 index)
{
    if (m_progress && !m_records.empty())
        m_progress(int(index) * 100 / int(m_records.size()));
}

void CExtStatusList::writeThrough(quint16 index, bool number, bool name)
{
    const CExtStatus *r = record(index);
    if (!m_writer || !r)
        return;
    m_writer->writeStation(quint16(index + 1), number ? std::optional<QString>(r->numberText()) : std::nullopt,
                           name ? std::optional<QString>(r->name) : std::nullopt);
}

quint16 CExtStatusList::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    if (code == 0x83) {
        const quint16 size = variableSize(payload, offset, 1, 2);
        if (size == kNotMine)
            return kNotMine;
        const quint16 declared = quint16(u8(payload, offset + 1) + 2);
        if (!holds(payload, offset, declared))
            return declared;
        for (int i = offset + 2; i + 3 <= offset + declared; i += 3)
            setStatus(quint16(u16(payload, i) - 1), u8(payload, i + 2));
        return declared;
    }

    quint16 size = 0;
    switch (code) {
    case 0x0301: size = 7; break;
    case 0x0302: size = 5; break;
    case 0x0303: size = 6; break;
    case 0x0308: size = 8; break;
    case 0x0304: size = variableSize(payload, offset, 2, 5); break;
    case 0x0305: size = variableSize(payload, offset, 2, 7); break;
    case 0x0309: size = variableSize(payload, offset, 2, 8); break;
    default: return kNotMine;
    }
    if (size == kNotMine)
        return kNotMine;
    if (!holds(payload, offset, size))
        return size;

    const int end = offset + size;
    switch (code) {
    case 0x0301: {
        const quint16 port = u16(payload, offset + 2);
        const quint8 kind = u8(payload, offset + 4);
        const quint16 party = u16(payload, offset + 5);
        setAssociatedParty(quint16(port - 1), kind, quint16(party - 1));
        ZTRACE(2, "EXTI_Asc:%d,%02X.%03d,", port, kind, party);
        break;
    }
    case 0x0302: {
        const quint16 port = u16(payload, offset + 2);
        const quint8 state = u8(payload, offset + 4);
        setMeskState(quint16(port - 1), state);
        ZTRACE(2, "EXTI_MeskState:%d,%02X.", port, state);
        break;
    }
    case 0x0303: {
        const quint16 port = u16(payload, offset + 2);
        const quint16 number = u16(payload, offset + 4);
        if (record(quint16(port - 1))) {
            setNumber(quint16(port - 1), number);
            writeThrough(quint16(port - 1), true, false);
        }
        ZTRACE(2, "EXTI_Number:%3d,%4X.", port, number);
        break;
    }
    case 0x0304: {
        const quint16 port = u16(payload, offset + 3);
        const QString name = latinUntilZero(payload, offset + 5, end);
        if (record(quint16(port - 1))) {
            setName(quint16(port - 1), name);
            writeThrough(quint16(port - 1), false, true);
        }
        if (Trace::enabled())
            Trace::instance().write(2, QStringLiteral("EXTI_Name:") + name);
        break;
    }
    case 0x0305:
    case 0x0309: {
        const bool multi3 = code == 0x0309;
        const quint16 port = u16(payload, offset + 3);
        const quint8 presence = multi3 ? u8(payload, offset + 5) : 0;
        const quint16 number = u16(payload, offset + (multi3 ? 6 : 5));
        const QString name = latinUntilZero(payload, offset + (multi3 ? 8 : 7), end);
        const quint16 index = quint16(port - 1);
        if (record(index)) {
            if (multi3)
                setPresence(index, presence);
            setNumber(index, number);
            setName(index, name);
            writeThrough(index, true, true);
            setInfoReceived(index, true);
        }
        if (Trace::enabled()) {
            Trace::instance().write(2, multi3 ? QString::asprintf("EXTI_Multi3:%3d,%4X.%2X:", port, number, presence) + name
                                              : QString::asprintf("EXTI_Multi1:%3d,%4X.:", port, number) + name);
        }
        if (record(index))
            reportProgress(index);
        break;
    }
    case 0x0308: {
        const quint16 port = u16(payload, offset + 2);
        const quint8 mode = u8(payload, offset + 4);
        const quint8 hour = u8(payload, offset + 5);
        const quint8 minute = u8(payload, offset + 6);
        const quint8 cos = u8(payload, offset + 7);
        setWakeup(quint16(port - 1), mode, hour, minute);
        setTempCos(quint16(port - 1), cos);
        ZTRACE(2, "EXTI_Multi2(%d,):Wakeup(%d,%d:%d):COS(%d)", port, mode, hour, minute, cos);
        break;
    }
    }
    return size;
}

// --- CO lines -----------------------------------------------------------------

CTrkStatusList::CTrkStatusList(CLinkPort &link, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_clock(clock)
{
}

CTrkStatusList::~CTrkStatusList() = default;

void CTrkStatusList::setCount(quint16 count)
{
    m_records.rebuild(count);
    Q_EMIT countChanged();
}

quint16 CTrkStatusList::count(bool presentOnly) const
{
    return m_records.count(presentOnly);
}

CTrkStatus *CTrkStatusList::record(quint16 index)
{
    return m_records.at(index);
}

const CTrkStatus *CTrkStatusList::record(quint16 index) const
{
    return m_records.at(index);
}

void CTrkStatusList::setStatus(quint16 index, quint8 code)
{
    using namespace Status;
    CTrkStatus *r = record(index);
    if (!r || r->status == code)
        return;
    const auto recall = [](quint8 c) { return c == STTRK_HOLD_RECALL || c == STTRK_HOLD_ATDRECALL; };
    if (!(recall(r->status) && recall(code)))
        r->statusStart = m_clock.now();
    const auto held = [](quint8 c) { return c == ST_HOLD || c == STTRK_HOLD_RECALL || c == STTRK_HOLD_ATDRECALL; };
    const bool wasHeld = held(r->status);
    r->applyBaseRule(code);
    if (!wasHeld && code == ST_HOLD)
        Q_EMIT holdChanged(index, true);
    else if (wasHeld && !held(code))
        Q_EMIT holdChanged(index, false);
    Q_EMIT recordChanged(index, HINT_STATUS);
}

void CTrkStatusList::setAssociatedParty(quint16 index, quint8 kind, quint16 partyIndex)
{
    if (CTrkStatus *r = record(index)) {
        r->associatedKind = kind;
        r->associatedIndex = partyIndex;
    }
}

void CTrkStatusList::setMeskState(quint16 index, quint8 state)
{
    if (CTrkStatus *r = record(index))
        r->meskState = state;
}

void CTrkStatusList::setInfoReceived(quint16 index, bool value)
{
    if (CTrkStatus *r = record(index))
        r->infoReceived = value;
}

void CTrkStatusList::setCoNameCount(int count)
{
    m_names = QStringList();
    for (int i = 0; i < count; ++i)
        m_names.append(QStringLiteral("@"));
}

void CTrkStatusList::setCoName(int nameIndex, const QString &text)
{
    if (nameIndex >= 0 && nameIndex < m_names.size())
        m_names[nameIndex] = text;
}

QString CTrkStatusList::coNameText(quint16 nameNumber) const
{
    if (nameNumber == 0 || nameNumber > m_names.size())
        return QString();
    const QString &name = m_names.at(nameNumber - 1);
    return name == QLatin1String("@") ? QString() : name;
}

bool CTrkStatusList::allCoNamesReceived() const
{
    return !m_names.contains(QStringLiteral("@"));
}

bool CTrkStatusList::requestNextCoName()
{
    const int i = int(m_names.indexOf(QStringLiteral("@")));
    if (i < 0)
        return false;
    CLinkRequest(m_link).TRKI_Coname(quint16(i));
    return true;
}

void CTrkStatusList::setLineNameNumber(quint16 index, quint16 nameNumber)
{
    CTrkStatus *r = record(index);
    if (!r)
        return;
    r->coNameNumber = nameNumber;
    if (m_writer)
        m_writer->writeCoLine(quint16(index + 1), coNameText(nameNumber), std::nullopt, std::nullopt);
}

QByteArray CTrkStatusList::numberPlusOffset(quint32 base, int offset)
{
    // Five nibbles, most significant first; bits 12-15 are not used.
    quint8 nib[5] = {quint8((base >> 20) & 0xF), quint8((base >> 16) & 0xF), quint8((base >> 8) & 0xF),
                     quint8((base >> 4) & 0xF), quint8(base & 0xF)};
    int runStart = 0;
    qint64 value = 0;
    for (int i = 0; i < 5; ++i) {
        const quint8 n = nib[i];
        if (n >= 1 && n <= 0xA) {
            value = value * 10 + (n == 0xA ? 0 : n);
        } else {
            value = 0;
            runStart = i + 1;
        }
    }
    const int positions = 5 - runStart;
    qint64 limit = 1;
    for (int i = 0; i < positions; ++i)
        limit *= 10;
    const qint64 sum = value + offset;
    if (positions == 0 || sum < 0 || sum >= limit)
        return QByteArray();
    qint64 rest = sum;
    for (int i = 4; i >= runStart; --i) {
        const int digit = int(rest % 10);
        rest /= 10;
        nib[i] = quint8(digit == 0 ? 0xA : digit);
    }
    QByteArray out;
    for (const quint8 n : nib) {
        if (n)
            out.append(char(n));
    }
    return out;
}

void CTrkStatusList::setCodes(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount)
{
    for (auto &r : m_records) {
        r.number = r.index < accessCount ? numberPlusOffset(accessBase, r.index) : QByteArray();
        r.retrieveCode = r.index < retrieveCount ? numberPlusOffset(retrieveBase, r.index) : QByteArray();
        if (m_writer)
            m_writer->writeCoLine(quint16(r.index + 1), std::nullopt, Nibbles::toText(r.number),
                                  Nibbles::toText(r.retrieveCode));
    }
}

bool CTrkStatusList::allInfoReceived() const
{
    return m_records.allInfoReceived();
}

int CTrkStatusList::requestMissingInfo()
{
    const QList<quint16> lines = m_records.missing(20);
    InfoBatch batch(m_link, InfoBatch::CoLines);
    for (int i = 0; i < lines.size(); ++i)
        batch.add(lines.at(i), i == lines.size() - 1);
    return int(lines.size());
}

quint16 CTrkStatusList::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    if (code == 0x84) {
        if (variableSize(payload, offset, 1, 2) == kNotMine)
            return kNotMine;
        const quint16 declared = quint16(u8(payload, offset + 1) + 2);
        if (!holds(payload, offset, declared))
            return declared;
        for (int i = offset + 2; i + 3 <= offset + declared; i += 3)
            setStatus(quint16(u16(payload, i) - 1), u8(payload, i + 2));
        return declared;
    }

    quint16 size = 0;
    switch (code) {
    case 0x0401: size = 7; break;
    case 0x0402: size = 5; break;
    case 0x0405: size = 6; break;
    case 0x0403:
    case 0x0404: size = variableSize(payload, offset, 2, 5); break;
    default: return kNotMine;
    }
    if (size == kNotMine)
        return kNotMine;
    if (!holds(payload, offset, size))
        return size;

    const int end = offset + size;
    switch (code) {
    case 0x0401: {
        const quint16 line = u16(payload, offset + 2);
        const quint8 kind = u8(payload, offset + 4);
        const quint16 party = u16(payload, offset + 5);
        setAssociatedParty(quint16(line - 1), kind, quint16(party - 1));
        ZTRACE(2, "TRKI_Asc:%d,%02X.%03d,", line, kind, party);
        break;
    }
    case 0x0402: {
        const quint16 line = u16(payload, offset + 2);
        const quint8 state = u8(payload, offset + 4);
        setMeskState(quint16(line - 1), state);
        ZTRACE(2, "TRKI_MeskState:%d,%02X.", line, state);
        break;
    }
    case 0x0403: {
        const quint16 line = u16(payload, offset + 3);
        QString caller;
        for (int i = offset + 5; i < end; ++i) {
            const quint8 b = u8(payload, i);
            const quint8 hi = b >> 4;
            const quint8 lo = b & 0xF;
            if (!hi)
                break;
            caller += DigitCode::toChar(hi);
            if (!lo)
                break;
            caller += DigitCode::toChar(lo);
        }
        if (CTrkStatus *r = record(quint16(line - 1)))
            r->callerId = caller;
        if (Trace::enabled())
            Trace::instance().write(2, QString::asprintf("TRKI_CallerId:%d,", line) + caller);
        break;
    }
    case 0x0404: {
        const quint16 number = u16(payload, offset + 3);
        const QString name = latinUntilZero(payload, offset + 5, end);
        setCoName(int(number) - 1, name);
        if (Trace::enabled())
            Trace::instance().write(2, QString::asprintf("TRKI_CoName:%d,", number) + name);
        if (m_nameProgress && !m_names.isEmpty() && number >= 1 && number <= m_names.size())
            m_nameProgress((int(number) - 1) * 100 / int(m_names.size()));
        break;
    }
    case 0x0405: {
        const quint16 line = u16(payload, offset + 2);
        const quint16 nameNumber = u16(payload, offset + 4);
        const quint16 index = quint16(line - 1);
        if (record(index)) {
            setLineNameNumber(index, nameNumber);
            setInfoReceived(index, true);
        }
        ZTRACE(2, "TRKI_CoNameBin:%d,%02X.", line, nameNumber);
        if (record(index) && m_lineProgress)
            m_lineProgress(int(index) * 100 / int(m_records.size()));
        break;
    }
    }
    return size;
}
