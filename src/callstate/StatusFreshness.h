#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class Clock;

// Whether the lamps, the queue and the key telephone show the PBX's live
// state. The picture goes stale when the link is lost, the position logs off
// or a log-on starts, and is live again only once the download after a log-on
// has ended; a console that never logged on is stale from its start. While
// stale the views mark what they show and blink nothing, and a queue row is
// not answered.
class StatusFreshness : public QObject
{
    Q_OBJECT
public:
    explicit StatusFreshness(const Clock &clock, QObject *parent = nullptr);

    bool isStale() const { return m_stale; }
    // When the status became unknown; invalid while live.
    QDateTime staleSince() const { return m_stale ? m_since : QDateTime(); }
    // When the status became live; invalid while stale.
    QDateTime liveSince() const { return m_stale ? QDateTime() : m_since; }

    // A second loss while stale keeps the first time: the status has been
    // unknown since then.
    void markStale();
    void markLive();

    // The tool-tip line "Status unknown since hh:mm" in the current language;
    // empty while live.
    QString unknownLine() const;

Q_SIGNALS:
    void changed(bool stale);

private:
    const Clock &m_clock;
    bool m_stale = true;
    QDateTime m_since;
};
