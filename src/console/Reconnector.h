#pragma once

#include <QObject>
#include <QString>

#include <functional>

class OperatorUi;
class TimerHost;

// Logs the position on again after a loss the operator did not ask for (a
// silent link, a LAN disconnect, a vanished serial device, the PBX's log-off):
// the first attempt 2 s after the loss, then at doubling intervals up to 60 s,
// for as long as it takes. The loss itself is told to the operator as usual;
// the failures of the attempts are only traced. The operator's log-off,
// disconnect or own log-on ends it.
//
// Setting "Reconnect" in section "Connection", on unless the operator
// switched it off.
class Reconnector : public QObject
{
    Q_OBJECT
public:
    static constexpr int FirstDelayMs = 2000;
    static constexpr int LongestDelayMs = 60000;

    Reconnector(TimerHost &timers, OperatorUi &ui, QObject *parent = nullptr);
    ~Reconnector() override;

    static bool isEnabled();
    static void setEnabled(bool on);

    // What an attempt does: connect and send the log-on request.
    void setAttempt(std::function<void()> attempt) { m_attempt = std::move(attempt); }

    // A loss: the first attempt is scheduled unless reconnecting is switched
    // off or already under way.
    void lost();
    // Logged on again, or the operator took over: no more attempts.
    void stop();

    bool isActive() const { return m_active; }
    int attempts() const { return m_attempts; }
    // The wait before the next attempt.
    int delayMs() const { return m_delayMs; }

Q_SIGNALS:
    // The text for the status bar; empty once reconnecting is over.
    void statusChanged(const QString &text);

private:
    void fire();
    void schedule();

    TimerHost &m_timers;
    OperatorUi &m_ui;
    std::function<void()> m_attempt;
    bool m_active = false;
    int m_attempts = 0;
    int m_delayMs = FirstDelayMs;
};
