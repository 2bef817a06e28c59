#pragma once

#include "base/TimerHost.h"

#include <map>

// Virtual-time host for tests and benchmarks: nothing fires until advance().
class ManualTimerHost : public TimerHost
{
public:
    void stop(int id) override;
    bool isActive(int id) const override;

    // Moves virtual time forward, firing due timers in time order (a timer
    // that restarts itself inside its handler fires again if still due).
    void advance(qint64 ms);
    qint64 now() const { return m_now; }
    int period(int id) const;
    // Remaining time until the timer fires, or -1 when it is not running.
    qint64 remaining(int id) const;
    // Makes every later start fail, so the handler runs at once.
    void setRefuseStarts(bool refuse) { m_refuse = refuse; }

protected:
    bool doStart(int id, int ms) override;

private:
    struct Entry
    {
        qint64 due = 0;
        int period = 0;
        quint64 generation = 0;
    };
    std::map<int, Entry> m_entries;
    qint64 m_now = 0;
    quint64 m_generation = 0;
    bool m_refuse = false;
};
