#include "CExtStatusList.h"

#include "callstate/FullName.h"
#include "link/EventBytes.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"
#include "link/SpeedBinRecord.h"
#include "base/Clock.h"
#include "base/OperatorUi.h"
#include "base/Trace.h"

StationDirectoryWriter::~StationDirectoryWriter() = default;

using namespace EventBytes;

CExtStatusList::CExtStatusList(CLinkPort &link, const Clock &clock, OperatorUi &ui, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_clock(clock)
    , m_ui(ui)
    , m_notice(ui, QStringLiteral("Cannot Open Station Database."),
               QStringLiteral("Cannot Open Station Database Recordset."))
{
}

CExtStatusList::~CExtStatusList() = default;

void CExtStatusList::setCount(quint16 count)
{
    m_records.rebuild(count);
    // A station is in its first status since the table was made.
    const QDateTime now = m_clock.now();
    for (auto &r : m_records)
        r.statusStart = now;
    m_notice.reset();
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
    QDateTime now;
    setStatusAt(index, code, now);
}

void CExtStatusList::setStatusAt(quint16 index, quint8 code, QDateTime &now)
{
    CExtStatus *r = record(index);
    if (!r || r->status == code)
        return;
    const auto idle = [](quint8 c) { return c == Status::STEXT_IDLE || c == Status::STEXT_IDLE_WITH_DND; };
    if (!(idle(r->status) && idle(code))) {
        if (!now.isValid())
            now = m_clock.now();
        r->statusStart = now;
    }
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

void CExtStatusList::setFullName(quint16 index, const QString &fullName)
{
    if (CExtStatus *r = record(index))
        r->fullName = fullName;
}

void CExtStatusList::refresh(quint16 index)
{
    using namespace Status;
    CExtStatus *r = record(index);
    if (!r)
        return;
    r->clearVolatile();
    const quint16 port = quint16(index + 1);
    CLinkRequest request(m_link);
    request.EXTI_Asc(port);
    // Wake-up and class of service are not asked while the station rings or talks.
    const quint8 s = r->status;
    if (s != ST_RING && s != STEXT_IDLE_WITH_RING && s != STEXT_ICM && s != STEXT_COL)
        request.EXTI_Multi2(port);
    if (Trace::switches().stationState)
        request.EXTI_MeskState(port);
}

void CExtStatusList::loadFullNames(const QList<StationNameRow> &rows)
{
    bool reported = false;
    for (const StationNameRow &row : rows) {
        if (row.port == 0) {
            // One box tells the operator; a directory full of broken rows
            // would otherwise raise one box per row.
            if (!reported)
                m_ui.showFixedMessage(QStringLiteral("Critical Error!!Please Check DB"), QString(),
                                      MessageStyle::Deferred);
            reported = true;
            ZTRACE(2, "Critical Error!!Please Check DB");
            continue;
        }
        if (row.port < 1 || row.port > m_records.size())
            continue;
        setFullName(quint16(row.port - 1), fullName(row.firstName, row.middleName, row.lastName));
    }
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
    if (!r || !m_directoryWired)
        return;
    const quint16 port = quint16(index + 1);
    if (!m_writer) {
        m_notice.report(true, "Port", port);
        return;
    }
    if (!m_writer->writeStation(port, number ? std::optional<QString>(r->numberText()) : std::nullopt,
                                name ? std::optional<QString>(r->name) : std::nullopt))
        m_notice.report(false, "Port", port);
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
        // The entries of one list arrive at one moment.
        QDateTime now;
        for (int i = offset + 2; i + 3 <= offset + declared; i += 3)
            setStatusAt(quint16(u16(payload, i) - 1), u8(payload, i + 2), now);
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

