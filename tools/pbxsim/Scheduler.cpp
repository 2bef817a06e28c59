#include "Scheduler.h"

#include <QTimer>

namespace pbxsim {

Scheduler::~Scheduler() = default;

Scheduler::Id Scheduler::after(qint64 ms, Callback callback)
{
    const Id id = m_nextId++;
    const qint64 due = now() + qMax<qint64>(0, ms);
    m_queue.emplace(Key(due, id), std::move(callback));
    m_index.emplace(id, due);
    queueChanged();
    return id;
}

void Scheduler::cancel(Id id)
{
    const auto it = m_index.find(id);
    if (it == m_index.end())
        return;
    m_queue.erase(Key(it->second, id));
    m_index.erase(it);
    queueChanged();
}

qint64 Scheduler::nextDue() const
{
    return m_queue.empty() ? -1 : m_queue.begin()->first.first;
}

void Scheduler::runDue(qint64 upTo)
{
    while (!m_queue.empty()) {
        auto first = m_queue.begin();
        if (first->first.first > upTo)
            break;
        // The entry goes before the call: the callback may queue or cancel others.
        Callback callback = std::move(first->second);
        m_index.erase(first->first.second);
        m_queue.erase(first);
        callback();
    }
}

void ManualScheduler::advance(qint64 ms)
{
    const qint64 target = m_now + qMax<qint64>(0, ms);
    for (;;) {
        const qint64 due = nextDue();
        if (due < 0 || due > target)
            break;
        m_now = qMax(m_now, due);
        runDue(m_now);
    }
    m_now = target;
}

RealScheduler::RealScheduler(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_clock.start();
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &RealScheduler::fire);
}

RealScheduler::~RealScheduler() = default;

void RealScheduler::queueChanged()
{
    // Inside fire() the timer is set once the due callbacks have run.
    if (m_running)
        return;
    const qint64 due = nextDue();
    if (due < 0) {
        m_timer->stop();
        return;
    }
    m_timer->start(int(qBound<qint64>(0, due - now(), qint64(24) * 3600 * 1000)));
}

void RealScheduler::fire()
{
    m_running = true;
    runDue(now());
    m_running = false;
    queueChanged();
}

void SimTimer::start(qint64 ms, Scheduler::Callback callback)
{
    stop();
    m_id = m_scheduler->after(ms, std::move(callback));
}

void SimTimer::stop()
{
    if (m_id)
        m_scheduler->cancel(m_id);
    m_id = 0;
}

} // namespace pbxsim
