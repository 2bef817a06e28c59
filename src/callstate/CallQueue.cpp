#include "CallQueue.h"

#include "base/Clock.h"
#include "base/Trace.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/FullName.h"
#include "callstate/StatusFreshness.h"
#include "link/CLinkRequest.h"

namespace {
bool isCoType(int type)
{
    return type >= QueueType::QLTN_TRK_INCOMING && type <= QueueType::QLTN_TRK_HOLD;
}
} // namespace

CallQueue::CallQueue(const CExtStatusList &stations, const CTrkStatusList &lines, CLinkRequest &request,
                     const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_stations(stations)
    , m_lines(lines)
    , m_request(request)
    , m_clock(clock)
    , m_popup(stations, lines, request)
{
    connect(&m_popup, &CallInfoQueue::pickUpRefused, this, &CallQueue::answerRefused);
}

QString CallQueue::typeName(int type)
{
    switch (type) {
    case QueueType::QLTN_TRK_INCOMING:
        return QStringLiteral("QLTN_TRK_INCOMING");
    case QueueType::QLTN_TRK_XFER:
        return QStringLiteral("QLTN_TRK_XFER");
    case QueueType::QLTN_TRK_RECALL:
        return QStringLiteral("QLTN_TRK_RECALL");
    case QueueType::QLTN_TRK_ATDRECALL:
        return QStringLiteral("QLTN_TRK_ATDRECALL");
    case QueueType::QLTN_TRK_HOLD:
        return QStringLiteral("QLTN_TRK_HOLD");
    case QueueType::QLTN_EXT_RING:
        return QStringLiteral("QLTN_EXT_RING");
    default:
        return QString::asprintf("Unknown(0x%X)", unsigned(type));
    }
}

QString CallQueue::typeTextKey(int type)
{
    switch (type) {
    case QueueType::QLTN_TRK_INCOMING:
        return QStringLiteral("#:queue_type_incoming");
    case QueueType::QLTN_TRK_XFER:
        return QStringLiteral("#:queue_type_xfer");
    case QueueType::QLTN_TRK_RECALL:
        return QStringLiteral("#:queue_type_recall");
    case QueueType::QLTN_TRK_ATDRECALL:
        return QStringLiteral("#:queue_type_atdrecall");
    case QueueType::QLTN_TRK_HOLD:
        return QStringLiteral("#:queue_type_hold");
    case QueueType::QLTN_EXT_RING:
        return QStringLiteral("#:queue_type_icm");
    default:
        return {};
    }
}

QString CallQueue::keyText(int type, quint16 index) const
{
    if (isCoType(type))
        return QString::asprintf("CO %02d", index + 1);
    if (type == QueueType::QLTN_EXT_RING) {
        const CExtStatus *station = m_stations.record(index);
        return QStringLiteral("STA ") + (station ? station->numberText() : QString());
    }
    return {};
}

QString CallQueue::waitingText(qint64 seconds)
{
    if (seconds < 0)
        seconds = 0;
    // The minutes go on past 59: a call that has waited an hour shows
    // "60:00", never "00:00" as if it had just arrived.
    return QString::asprintf("%02lld:%02d", seconds / 60, int(seconds % 60));
}

void CallQueue::post(const CQueueEvent &event)
{
    const int type = event.type;
    if (type == QueueType::QLTN_TRK_INCOMING || type == QueueType::QLTN_TRK_XFER || type == QueueType::QLTN_TRK_RECALL
        || type == QueueType::QLTN_TRK_ATDRECALL || type == QueueType::QLTN_EXT_RING)
        Q_EMIT raiseRequested();
    if (type == QueueType::None)
        return;

    const QString key = keyText(type, event.index);
    // A row is found by its whole key: "STA 12" must not take the row of "STA 123".
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].key == key) {
            removeRow(i);
            break;
        }
    }
    const bool callerInfo = m_callerInfo && m_callerInfo();
    if (event.add) {
        QueueRow row;
        row.key = key;
        row.type = type;
        row.index = event.index;
        row.description = event.description;
        row.callerName = event.callerName;
        row.arrival = m_clock.now();
        if (type == QueueType::QLTN_EXT_RING) {
            const CExtStatus *station = m_stations.record(event.index);
            row.description = station ? (station->fullName.isEmpty() ? station->name : station->fullName) : QString();
            row.callerName.clear();
        }
        m_rows.append(row);
        Q_EMIT rowAppended(int(m_rows.size()) - 1);
        if (callerInfo)
            m_popup.offer({row.key, row.type, row.index, row.description, row.callerName});
        if (type == QueueType::QLTN_EXT_RING)
            m_lastIntercom = event.index;
    } else {
        // The intercom ring that a transfer leaves behind ends while the
        // pop-up already shows the transferred call: it stays unless it was
        // the last intercom ring offered.
        const bool afterTransfer = m_previousType == QueueType::QLTN_TRK_XFER && type == QueueType::QLTN_EXT_RING;
        if (!afterTransfer || !callerInfo || m_lastIntercom == event.index)
            m_popup.withdraw(key);
        if (type == QueueType::QLTN_EXT_RING)
            m_lastIntercom = NoStation;
    }
    m_previousType = type;
}

void CallQueue::removeRow(int row)
{
    m_rows.removeAt(row);
    Q_EMIT rowRemoved(row);
}

bool CallQueue::matchesLiveStatus(const QueueRow &row, quint8 *status) const
{
    if (!isCoType(row.type))
        return true;
    const CTrkStatus *line = m_lines.record(row.index);
    if (!line)
        return true;
    *status = line->status;
    switch (row.type) {
    case QueueType::QLTN_TRK_INCOMING:
        return line->status == Status::ST_RING || line->status == Status::ST_BUSY;
    case QueueType::QLTN_TRK_XFER:
        return line->status == Status::ST_BUSY;
    default:
        return line->status == Status::ST_HOLD || line->status == Status::STTRK_HOLD_RECALL
               || line->status == Status::STTRK_HOLD_ATDRECALL;
    }
}

void CallQueue::tick()
{
    const QDateTime now = m_clock.now();
    const bool stale = isStale();
    for (int i = int(m_rows.size()) - 1; i >= 0; --i) {
        QueueRow &row = m_rows[i];
        const qint64 waited = row.arrival.secsTo(now);
        row.time = waitingText(waited);
        // The PBX gets two seconds to bring the line into the row's state; a
        // status that is not known cannot disprove a row.
        if (waited < 2 || stale)
            continue;
        quint8 status = 0;
        if (!matchesLiveStatus(row, &status)) {
            Trace::instance().write(0, QStringLiteral("QueueView:mismatch %1:%2").arg(typeName(row.type), Status::name(status)));
            removeRow(i);
        }
    }
    Q_EMIT timesChanged();
}

bool CallQueue::answer(int row)
{
    if (row < 0 || row >= m_rows.size())
        return false;
    // The line may have been answered or hung up meanwhile: a request now
    // could seize a line with another call on it.
    if (isStale()) {
        Q_EMIT answerRefused();
        return false;
    }
    const QueueRow &r = m_rows[row];
    bool sent = false;
    if (isCoType(r.type)) {
        const CTrkStatus *line = m_lines.record(r.index);
        if (line && line->status != Status::ST_INVALID)
            sent = m_request.DYNBTN_DLS(r.index);
    } else if (r.type == QueueType::QLTN_EXT_RING) {
        const CExtStatus *station = m_stations.record(r.index);
        if (station && station->status != Status::ST_INVALID)
            sent = m_request.DYNBTN_DSS(r.index);
    }
    if (!sent)
        removeRow(row);
    return sent;
}

const StatusFreshness *CallQueue::freshness() const
{
    return m_stations.freshness();
}

bool CallQueue::isStale() const
{
    const StatusFreshness *f = freshness();
    return f && f->isStale();
}
