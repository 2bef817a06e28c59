#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <map>

class QTimer;

// Timers of the console, identified by number like the main window's timers.
// A timer is periodic: it fires every period until it is stopped. Starting a
// running timer restarts it with the new period. When the host refuses a start,
// the handler of that id runs at once.
class TimerHost
{
public:
    using Handler = std::function<void(int id)>;

    virtual ~TimerHost();

    bool start(int id, int ms);
    virtual void stop(int id) = 0;
    virtual bool isActive(int id) const = 0;

    // One handler per id; the owner of the timer registers it.
    void setHandler(int id, Handler handler);
    void clearHandler(int id);

protected:
    // Returns false when the timer could not be started.
    virtual bool doStart(int id, int ms) = 0;
    void fire(int id);

private:
    QHash<int, Handler> m_handlers;
};

// Production host on QTimer. Safe to call from another thread: the call is
// then posted to the host's thread.
class QtTimerHost : public QObject, public TimerHost
{
    Q_OBJECT
public:
    explicit QtTimerHost(QObject *parent = nullptr);
    ~QtTimerHost() override;

    void stop(int id) override;
    bool isActive(int id) const override;

    // Runs every period this many times as fast (end-to-end tests of the
    // long waits); 1 in the program.
    void setTimeScale(double scale) { m_scale = scale > 0 ? scale : 1.0; }

protected:
    bool doStart(int id, int ms) override;

private:
    QTimer *timerFor(int id);
    double m_scale = 1.0;
    QHash<int, QTimer *> m_timers;
};

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
