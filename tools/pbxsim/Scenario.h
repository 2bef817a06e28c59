#pragma once

#include "Scheduler.h"

#include <QList>
#include <QString>

#include <functional>

namespace pbxsim {

struct ScenarioStep
{
    qint64 atMs = 0;
    QString command;
    int line = 0;
};

// A timed script: one action a line, "TIME ACTION ARGS". TIME is in seconds
// from the start of the script ("2.5"), or after the previous line ("+0.5").
// "TIME repeat" starts the script over at that time. "#" starts a comment.
class Scenario
{
public:
    // Every action is checked as a command; the first bad line is the error.
    bool parse(const QString &text, QString *error);
    bool load(const QString &path, QString *error);

    const QList<ScenarioStep> &steps() const { return m_steps; }
    qint64 repeatAtMs() const { return m_repeatAt; }

private:
    QList<ScenarioStep> m_steps;
    qint64 m_repeatAt = -1;
};

// Plays a scenario on the scheduler from the moment start() is called.
class ScenarioPlayer
{
public:
    using Runner = std::function<void(const ScenarioStep &)>;

    ScenarioPlayer(Scheduler &scheduler, Runner runner);
    void setScenario(const Scenario &scenario) { m_scenario = scenario; }
    void start();
    void stop();
    bool isStarted() const { return m_started; }
    int stepsRun() const { return m_run; }

private:
    void next();

    Scheduler &m_scheduler;
    Runner m_runner;
    Scenario m_scenario;
    SimTimer m_timer;
    qint64 m_origin = 0;
    int m_index = 0;
    int m_run = 0;
    bool m_started = false;
};

} // namespace pbxsim
