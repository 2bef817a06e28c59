#include "StatusFreshness.h"

#include "base/Clock.h"
#include "base/MessageCatalogue.h"

StatusFreshness::StatusFreshness(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_since(clock.now())
{
}

void StatusFreshness::markStale()
{
    if (m_stale)
        return;
    m_stale = true;
    m_since = m_clock.now();
    Q_EMIT changed(true);
}

void StatusFreshness::markLive()
{
    if (!m_stale)
        return;
    m_stale = false;
    m_since = m_clock.now();
    Q_EMIT changed(false);
}

QString StatusFreshness::unknownLine() const
{
    if (!m_stale)
        return QString();
    const QString time = m_since.time().toString(QStringLiteral("hh:mm"));
    const QString text = MessageCatalogue().text(QStringLiteral("#:status_unknown_since"));
    // The mode that shows keys has no place for the time.
    return text.contains(QLatin1String("%1")) ? text.arg(time) : text + QLatin1Char(' ') + time;
}
