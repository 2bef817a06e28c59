#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class CExtStatusList;
class CTrkStatusList;
class CLinkRequest;

// One waiting call as the call-information pop-up presents it.
struct CallInfoEntry
{
    QString key;
    int type = -1;
    quint16 index = 0;
    QString description;
    QString callerName;
    bool operator==(const CallInfoEntry &) const = default;
};

// What the call-information pop-up shows: one entry at a time and the
// entries waiting behind it, first in, first out. An intercom call pushes
// a shown CO call back; a held line is never offered.
class CallInfoQueue : public QObject
{
    Q_OBJECT
public:
    CallInfoQueue(const CExtStatusList &stations, const CTrkStatusList &lines, CLinkRequest &request,
                  QObject *parent = nullptr);

    // True while the attendant is in a call: a pick-up first hangs that up.
    void setAttendantInCall(std::function<bool()> inCall) { m_inCall = std::move(inCall); }

    void offer(const CallInfoEntry &entry);
    void withdraw(const QString &key);
    // The pop-up's buttons. While the status is stale a pick-up sends
    // nothing, the entry stays shown and pickUpRefused() tells why.
    void pickUp();
    void ignore();
    // The pop-up was closed by the window system (as ignore, without showing the next).
    void hidden();

    bool isVisible() const { return m_shown.has_value(); }
    const std::optional<CallInfoEntry> &shown() const { return m_shown; }
    const QList<CallInfoEntry> &pending() const { return m_pending; }

Q_SIGNALS:
    void showRequested(const CallInfoEntry &entry);
    void hideRequested();
    void pickUpRefused();

private:
    void show(const CallInfoEntry &entry);
    void hide();
    void showNextPending();

    const CExtStatusList &m_stations;
    const CTrkStatusList &m_lines;
    CLinkRequest &m_request;
    std::function<bool()> m_inCall;
    std::optional<CallInfoEntry> m_shown;
    QList<CallInfoEntry> m_pending;
};
