#pragma once

#include <QDateTime>

// The console's one source of "now" (status start times, mail date, clock dialog).
class Clock
{
public:
    virtual ~Clock();
    virtual QDateTime now() const = 0;
    qint64 secondsSinceEpoch() const { return now().toSecsSinceEpoch(); }

    // The clock the running program uses; tests install their own.
    static Clock &instance();
    static void setInstance(Clock *clock);
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class ManualClock : public Clock
{
public:
    explicit ManualClock(QDateTime start = QDateTime(QDate(2026, 1, 1), QTime(8, 0)))
        : m_now(std::move(start))
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &t) { m_now = t; }
    void advanceMs(qint64 ms) { m_now = m_now.addMSecs(ms); }

private:
    QDateTime m_now;
};
