#pragma once

#include "base/TimerHost.h"

#include <QHash>
#include <QObject>

class QTimer;

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
