#include "ManualTimerHost.h"

bool ManualTimerHost::doStart(int id, int ms)
{
    if (m_refuse)
        return false;
    Entry &e = m_entries[id];
    e.period = ms < 0 ? 0 : ms;
    e.due = m_now + e.period;
    e.generation = ++m_generation;
    return true;
}

void ManualTimerHost::stop(int id)
{
    m_entries.erase(id);
}

bool ManualTimerHost::isActive(int id) const
{
    return m_entries.count(id) != 0;
}

int ManualTimerHost::period(int id) const
{
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? -1 : it->second.period;
}

qint64 ManualTimerHost::remaining(int id) const
{
    const auto it = m_entries.find(id);
    return it == m_entries.end() ? -1 : it->second.due - m_now;
}

void ManualTimerHost::advance(qint64 ms)
{
    const qint64 target = m_now + ms;
    for (;;) {
        // Earliest due timer; ties go to the one started first.
        int bestId = 0;
        const Entry *best = nullptr;
        for (const auto &[id, e] : m_entries) {
            if (e.due > target)
                continue;
            if (!best || e.due < best->due || (e.due == best->due && e.generation < best->generation)) {
                best = &e;
                bestId = id;
            }
        }
        if (!best)
            break;
        m_now = best->due;
        Entry &e = m_entries[bestId];
        // A zero period would fire forever within one instant; let time move.
        e.due = m_now + (e.period > 0 ? e.period : 1);
        e.generation = ++m_generation;
        fire(bestId);
    }
    m_now = target;
}
