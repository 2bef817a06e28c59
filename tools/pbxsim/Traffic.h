#pragma once

#include "Scheduler.h"

namespace pbxsim {

class PbxModel;

// Random activity at a mean rate of events a second: calls between stations,
// outgoing and incoming CO calls, calls to the attendant, holds that recall,
// transfers to the attendant, do-not-disturb changes and callers giving up.
class TrafficGenerator
{
public:
    explicit TrafficGenerator(PbxModel &model);
    void setRate(double eventsPerSecond);
    double rate() const { return m_rate; }
    int events() const { return m_events; }
    // One random event now (also used by tests).
    void step();

private:
    void schedule();

    PbxModel &m_model;
    SimTimer m_timer;
    double m_rate = 0;
    int m_events = 0;
};

} // namespace pbxsim
