#pragma once

#include <QDateTime>

// The console's one source of "now" (status start times, mail date, clock
// dialog). The console owns one and hands it down; tests pass their own.
class Clock
{
public:
    virtual ~Clock();
    virtual QDateTime now() const = 0;
    qint64 secondsSinceEpoch() const { return now().toSecsSinceEpoch(); }
};
