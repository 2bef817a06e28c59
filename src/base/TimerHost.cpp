#include "TimerHost.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

TimerHost::~TimerHost() = default;

bool TimerHost::start(int id, int ms)
{
    if (doStart(id, ms))
        return true;
    fire(id);
    return false;
}

void TimerHost::setHandler(int id, Handler handler)
{
    m_handlers.insert(id, std::move(handler));
}

void TimerHost::clearHandler(int id)
{
    m_handlers.remove(id);
}

void TimerHost::fire(int id)
{
    const auto it = m_handlers.constFind(id);
    if (it == m_handlers.constEnd())
        return;
    // Copy: the handler may replace itself.
    const Handler handler = it.value();
    if (handler)
        handler(id);
}

QtTimerHost::QtTimerHost(QObject *parent)
    : QObject(parent)
{
}

QtTimerHost::~QtTimerHost() = default;

QTimer *QtTimerHost::timerFor(int id)
{
    QTimer *&timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { fire(id); });
    }
    return timer;
}

bool QtTimerHost::doStart(int id, int ms)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id, ms] { start(id, ms); }, Qt::QueuedConnection);
        return true;
    }
    const int scaled = m_scale == 1.0 ? ms : qMax(1, int(ms * m_scale));
    timerFor(id)->start(scaled);
    return true;
}

void QtTimerHost::stop(int id)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id] { stop(id); }, Qt::QueuedConnection);
        return;
    }
    if (QTimer *timer = m_timers.value(id))
        timer->stop();
}

bool QtTimerHost::isActive(int id) const
{
    const QTimer *timer = m_timers.value(id);
    return timer && timer->isActive();
}

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
