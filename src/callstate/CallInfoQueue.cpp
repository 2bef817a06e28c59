#include "CallInfoQueue.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CQueueEvent.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusFreshness.h"
#include "link/CLinkRequest.h"

CallInfoQueue::CallInfoQueue(const CExtStatusList &stations, const CTrkStatusList &lines, CLinkRequest &request,
                             QObject *parent)
    : QObject(parent)
    , m_stations(stations)
    , m_lines(lines)
    , m_request(request)
{
}

void CallInfoQueue::offer(const CallInfoEntry &entry)
{
    if (entry.type == QueueType::QLTN_TRK_HOLD) {
        if (isVisible())
            withdraw(entry.key);
        return;
    }
    if (!isVisible()) {
        show(entry);
        return;
    }
    if (entry.type != QueueType::QLTN_EXT_RING) {
        m_pending.append(entry);
        return;
    }
    // An intercom call goes before the CO call on show.
    m_pending.append(*m_shown);
    show(entry);
}

void CallInfoQueue::withdraw(const QString &key)
{
    if (m_shown && m_shown->key == key)
        hide();
    for (int i = 0; i < m_pending.size(); ++i) {
        if (m_pending[i].key == key) {
            m_pending.removeAt(i);
            break;
        }
    }
    if (!m_pending.isEmpty())
        offer(m_pending.takeFirst());
}

void CallInfoQueue::pickUp()
{
    if (!m_shown)
        return;
    // Neither the attendant's call is hung up nor a line seized on a state
    // that is not known.
    if (const StatusFreshness *freshness = m_stations.freshness(); freshness && freshness->isStale()) {
        Q_EMIT pickUpRefused();
        return;
    }
    const CallInfoEntry entry = *m_shown;
    if (m_inCall && m_inCall())
        m_request.keySequence(QStringLiteral("H"));
    if (entry.type >= QueueType::QLTN_TRK_INCOMING && entry.type <= QueueType::QLTN_TRK_HOLD) {
        const CTrkStatus *line = m_lines.record(entry.index);
        if (line && line->status != Status::ST_INVALID) {
            m_request.DYNBTN_DLS(entry.index);
            // The intercom call behind it cannot be answered while the CO call is.
            if (!m_pending.isEmpty() && m_pending.first().type == QueueType::QLTN_EXT_RING)
                m_pending.removeFirst();
        }
    } else if (entry.type == QueueType::QLTN_EXT_RING) {
        const CExtStatus *station = m_stations.record(entry.index);
        if (station && station->status != Status::ST_INVALID)
            m_request.DYNBTN_DSS(entry.index);
    }
    hide();
    showNextPending();
}

void CallInfoQueue::ignore()
{
    hide();
    showNextPending();
}

void CallInfoQueue::hidden()
{
    m_shown.reset();
}

void CallInfoQueue::show(const CallInfoEntry &entry)
{
    m_shown = entry;
    Q_EMIT showRequested(entry);
}

void CallInfoQueue::hide()
{
    if (!m_shown)
        return;
    m_shown.reset();
    Q_EMIT hideRequested();
}

void CallInfoQueue::showNextPending()
{
    if (!m_pending.isEmpty())
        show(m_pending.takeFirst());
}
