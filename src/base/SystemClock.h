#pragma once

#include "base/Clock.h"

// The clock of the running program: the system's local time.
class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
