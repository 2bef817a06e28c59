#include "console/Reconnector.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/SettingsSection.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "base/Trace.h"

namespace {
const QString Section = QStringLiteral("Connection");
const QString Value = QStringLiteral("Reconnect");
} // namespace

Reconnector::Reconnector(TimerHost &timers, OperatorUi &ui, QObject *parent)
    : QObject(parent)
    , m_timers(timers)
    , m_ui(ui)
{
    m_timers.setHandler(TimerId::Reconnect, [this](int) { fire(); });
}

Reconnector::~Reconnector()
{
    m_timers.stop(TimerId::Reconnect);
    m_timers.clearHandler(TimerId::Reconnect);
}

bool Reconnector::isEnabled()
{
    return CSettingsSection(Section).readInt(Value, 1) != 0;
}

void Reconnector::setEnabled(bool on)
{
    CSettingsSection(Section).writeInt(Value, on ? 1 : 0);
}

void Reconnector::lost()
{
    if (m_active || !isEnabled())
        return;
    m_active = true;
    m_attempts = 0;
    m_delayMs = FirstDelayMs;
    ZTRACE(1, "Reconnect: link lost, first attempt in %d s", m_delayMs / 1000);
    schedule();
}

void Reconnector::stop()
{
    m_timers.stop(TimerId::Reconnect);
    m_ui.setMessagesSuppressed(false);
    if (!m_active)
        return;
    m_active = false;
    ZTRACE(1, "Reconnect: ended after %d attempts", m_attempts);
    Q_EMIT statusChanged(QString());
}

void Reconnector::schedule()
{
    m_timers.start(TimerId::Reconnect, m_delayMs);
    QString text = MessageCatalogue().text(QStringLiteral("#:reconnect_status"));
    if (!text.contains(QLatin1String("%2")))
        text += QStringLiteral(" %1 %2"); // the key alone still tells the figures
    Q_EMIT statusChanged(text.arg(m_delayMs / 1000).arg(m_attempts + 1));
}

void Reconnector::fire()
{
    m_timers.stop(TimerId::Reconnect);
    if (!m_active)
        return;
    ++m_attempts;
    ZTRACE(1, "Reconnect: attempt %d", m_attempts);
    // The operator heard of the loss; what the attempts run into is traced.
    m_ui.setMessagesSuppressed(true);
    m_delayMs = qMin(m_delayMs * 2, LongestDelayMs);
    schedule();
    if (m_attempt)
        m_attempt();
}
