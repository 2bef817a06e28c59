#include "CTrkStatusList.h"

#include "link/EventBytes.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/InfoBatch.h"
#include "link/SpeedBinRecord.h"
#include "base/Clock.h"
#include "base/Trace.h"

CoDirectoryWriter::~CoDirectoryWriter() = default;

using namespace EventBytes;

CTrkStatusList::CTrkStatusList(CLinkPort &link, const Clock &clock, OperatorUi &ui, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_clock(clock)
    , m_notice(ui, QStringLiteral("Cannot Open CO Database."), QStringLiteral("Cannot Open CO Database Recordset."))
{
}

CTrkStatusList::~CTrkStatusList() = default;

void CTrkStatusList::setCount(quint16 count)
{
    m_records.rebuild(count);
    // A line is in its first status since the table was made.
    const QDateTime now = m_clock.now();
    for (auto &r : m_records)
        r.statusStart = now;
    m_notice.reset();
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
    QDateTime now;
    setStatusAt(index, code, now);
}

void CTrkStatusList::setStatusAt(quint16 index, quint8 code, QDateTime &now)
{
    using namespace Status;
    CTrkStatus *r = record(index);
    if (!r || r->status == code)
        return;
    const auto recall = [](quint8 c) { return c == STTRK_HOLD_RECALL || c == STTRK_HOLD_ATDRECALL; };
    if (!(recall(r->status) && recall(code))) {
        if (!now.isValid())
            now = m_clock.now();
        r->statusStart = now;
    }
    const auto held = [](quint8 c) { return c == ST_HOLD || c == STTRK_HOLD_RECALL || c == STTRK_HOLD_ATDRECALL; };
    const bool wasHeld = held(r->status);
    r->applyBaseRule(code);
    if (!wasHeld && code == ST_HOLD)
        postHold(index, true);
    else if (wasHeld && !held(code))
        postHold(index, false);
    Q_EMIT recordChanged(index, HINT_STATUS);
}

void CTrkStatusList::postHold(quint16 index, bool add)
{
    CQueueEvent event;
    event.type = QueueType::QLTN_TRK_HOLD;
    event.index = index;
    event.add = add;
    Q_EMIT queueEvent(event);
}

void CTrkStatusList::refresh(quint16 index)
{
    using namespace Status;
    CTrkStatus *r = record(index);
    if (!r)
        return;
    r->clearVolatile();
    const quint16 line = quint16(index + 1);
    const quint8 s = r->status;
    CLinkRequest request(m_link);
    if (s == ST_BUSY || s == ST_HOLD || s == STTRK_HOLD_RECALL || s == STTRK_HOLD_ATDRECALL)
        request.TRKI_Asc(line);
    if (s != ST_INVALID && s != STTRK_IDLE && s != STTRK_IDLE_WITH_DISABLE)
        request.TRKI_CallerID(line);
    if (Trace::switches().coState)
        request.TRKI_MeskState(line);
}

void CTrkStatusList::buttonAction(quint16 index)
{
    if (record(index))
        CLinkRequest(m_link).DYNBTN_DLS(index);
}

void CTrkStatusList::writeThrough(quint16 line, const std::optional<QString> &name,
                                  const std::optional<QString> &access, const std::optional<QString> &retrieve)
{
    if (!m_directoryWired)
        return;
    if (!m_writer) {
        m_notice.report(true, "LineNo", line);
        return;
    }
    if (!m_writer->writeCoLine(line, name, access, retrieve))
        m_notice.report(false, "LineNo", line);
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
    m_nameReceived = QList<bool>();
    for (int i = 0; i < count; ++i) {
        m_names.append(QStringLiteral("@"));
        m_nameReceived.append(false);
    }
}

void CTrkStatusList::setCoName(int nameIndex, const QString &text)
{
    if (nameIndex >= 0 && nameIndex < m_names.size()) {
        m_names[nameIndex] = text;
        m_nameReceived[nameIndex] = true;
    }
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
    return !m_nameReceived.contains(false);
}

bool CTrkStatusList::requestNextCoName()
{
    const int i = int(m_nameReceived.indexOf(false));
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
    writeThrough(quint16(index + 1), coNameText(nameNumber), std::nullopt, std::nullopt);
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
        writeThrough(quint16(r.index + 1), std::nullopt, Nibbles::toText(r.number), Nibbles::toText(r.retrieveCode));
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
        // The entries of one list arrive at one moment.
        QDateTime now;
        for (int i = offset + 2; i + 3 <= offset + declared; i += 3)
            setStatusAt(quint16(u16(payload, i) - 1), u8(payload, i + 2), now);
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
