#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <map>
#include <unordered_map>

class QTimer;

namespace pbxsim {

// The simulator's one clock and timer queue. Everything that happens later in
// the PBX (answers held back, rings that time out, recalls, traffic) is a
// callback queued here, so tests can drive the whole PBX in virtual time.
class Scheduler
{
public:
    using Callback = std::function<void()>;
    using Id = quint64;

    virtual ~Scheduler();

    // Milliseconds since the scheduler was created.
    virtual qint64 now() const = 0;

    // Runs the callback once, ms from now (0: on the next run of due callbacks).
    Id after(qint64 ms, Callback callback);
    // Unknown and already run ids are ignored.
    void cancel(Id id);
    bool isPending(Id id) const { return m_index.count(id) != 0; }
    int pendingCount() const { return int(m_queue.size()); }

protected:
    // Runs every callback due at or before upTo, in time order; callbacks
    // queued meanwhile run too when they are due.
    void runDue(qint64 upTo);
    // Time of the earliest callback, or -1.
    qint64 nextDue() const;
    virtual void queueChanged() {}

private:
    using Key = std::pair<qint64, Id>;
    std::map<Key, Callback> m_queue;
    std::unordered_map<Id, qint64> m_index;
    Id m_nextId = 1;
};

// Virtual time: nothing runs until advance().
class ManualScheduler : public Scheduler
{
public:
    qint64 now() const override { return m_now; }
    void advance(qint64 ms);
    // Runs what is due now without moving time.
    void runPending() { runDue(m_now); }

private:
    qint64 m_now = 0;
};

// Wall-clock time on the Qt event loop.
class RealScheduler : public QObject, public Scheduler
{
    Q_OBJECT
public:
    explicit RealScheduler(QObject *parent = nullptr);
    ~RealScheduler() override;
    qint64 now() const override { return m_clock.elapsed(); }

protected:
    void queueChanged() override;

private:
    void fire();

    QElapsedTimer m_clock;
    QTimer *m_timer;
    bool m_running = false;
};

// A one-shot timer of an owner: restarting replaces the pending callback and
// destruction cancels it, so no callback outlives its owner.
class SimTimer
{
public:
    explicit SimTimer(Scheduler &scheduler)
        : m_scheduler(&scheduler)
    {
    }
    SimTimer(const SimTimer &) = delete;
    SimTimer &operator=(const SimTimer &) = delete;
    ~SimTimer() { stop(); }

    void start(qint64 ms, Scheduler::Callback callback);
    void stop();
    bool isActive() const { return m_id && m_scheduler->isPending(m_id); }

private:
    Scheduler *m_scheduler;
    Scheduler::Id m_id = 0;
};

} // namespace pbxsim
