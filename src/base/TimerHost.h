#pragma once

#include <QHash>

#include <functional>

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
