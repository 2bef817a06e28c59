#include "Scenario.h"

#include "Commands.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <cmath>

namespace pbxsim {

bool Scenario::parse(const QString &text, QString *error)
{
    m_steps.clear();
    m_repeatAt = -1;
    qint64 previous = 0;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        const int hash = int(line.indexOf(u'#'));
        // "#" inside an action (a dial string) is part of it; a comment starts a line or follows a blank.
        if (hash == 0 || (hash > 0 && line.at(hash - 1).isSpace()))
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const int lineNo = i + 1;
        const QString time = line.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0);
        const QString action = line.mid(time.size()).trimmed();
        const bool relative = time.startsWith(u'+');
        bool ok = false;
        const double seconds = (relative ? time.mid(1) : time).toDouble(&ok);
        if (!ok || seconds < 0 || !std::isfinite(seconds) || seconds > 1e7) {
            *error = QStringLiteral("line %1: \"%2\" is not a time in seconds").arg(lineNo).arg(time);
            return false;
        }
        const qint64 at = qint64(std::llround(seconds * 1000.0)) + (relative ? previous : 0);
        if (at < previous) {
            *error = QStringLiteral("line %1: the time goes back").arg(lineNo);
            return false;
        }
        previous = at;
        if (action.isEmpty()) {
            *error = QStringLiteral("line %1: no action").arg(lineNo);
            return false;
        }
        if (action == u"repeat") {
            m_repeatAt = qMax<qint64>(at, 1);
            break;
        }
        const CommandResult check = runCommand(action, nullptr);
        if (!check.ok) {
            *error = QStringLiteral("line %1: %2").arg(lineNo).arg(check.text);
            return false;
        }
        m_steps.append({at, action, lineNo});
    }
    return true;
}

bool Scenario::load(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!parse(QString::fromUtf8(file.readAll()), &why)) {
        *error = path + QStringLiteral(": ") + why;
        return false;
    }
    return true;
}

ScenarioPlayer::ScenarioPlayer(Scheduler &scheduler, Runner runner)
    : m_scheduler(scheduler)
    , m_runner(std::move(runner))
    , m_timer(scheduler)
{
}

void ScenarioPlayer::start()
{
    m_started = true;
    m_origin = m_scheduler.now();
    m_index = 0;
    next();
}

void ScenarioPlayer::stop()
{
    m_timer.stop();
    m_started = false;
}

void ScenarioPlayer::next()
{
    const QList<ScenarioStep> &steps = m_scenario.steps();
    if (m_index >= steps.size()) {
        if (m_scenario.repeatAtMs() > 0) {
            m_timer.start(m_origin + m_scenario.repeatAtMs() - m_scheduler.now(), [this] {
                m_origin = m_scheduler.now();
                m_index = 0;
                next();
            });
        }
        return;
    }
    m_timer.start(m_origin + steps.at(m_index).atMs - m_scheduler.now(), [this] {
        const ScenarioStep step = m_scenario.steps().at(m_index++);
        ++m_run;
        m_runner(step);
        if (m_started)
            next();
    });
}

} // namespace pbxsim
