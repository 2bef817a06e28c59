#pragma once

#include "callstate/CQueueEvent.h"
#include "callstate/CallInfoQueue.h"

#include <QDateTime>
#include <QList>
#include <QObject>

#include <functional>

class CExtStatusList;
class CTrkStatusList;
class CLinkRequest;
class Clock;
class StatusFreshness;

// One row of the call queue.
struct QueueRow
{
    QString key;          // "CO 07" or "STA 123": identifies the row
    int type = QueueType::None;
    quint16 index = 0;    // line index (types 0 to 4) or station index (type 5)
    QString description;
    QString callerName;   // the directories' name of the caller, or empty
    QDateTime arrival;    // the waiting time is counted from here, never from the text
    QString time = QStringLiteral("00:00");
};

// The calls waiting for the attendant, in order of arrival, with their
// waiting times. Queue updates add and remove rows; every second the times
// advance and rows whose line no longer is in the state they stand for are
// dropped. The call-information pop-up is fed from here.
class CallQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr quint16 NoStation = 255;

    CallQueue(const CExtStatusList &stations, const CTrkStatusList &lines, CLinkRequest &request,
              const Clock &clock, QObject *parent = nullptr);

    // The "CallerInfo"/"Enable" option: offer new calls to the pop-up.
    void setCallerInfoEnabled(std::function<bool()> enabled) { m_callerInfo = std::move(enabled); }

    void post(const CQueueEvent &event);
    // The once-a-second step of the waiting times.
    void tick();
    // A click on a row: answers the call, or drops a row that cannot be answered.
    // Returns true when a request went out. While the status is stale the row
    // stays, nothing is sent and answerRefused() tells the operator.
    bool answer(int row);
    // The rows stand for calls whose state is not known now.
    bool isStale() const;
    const StatusFreshness *freshness() const;

    const QList<QueueRow> &rows() const { return m_rows; }
    CallInfoQueue &popup() { return m_popup; }

    // "QLTN_TRK_INCOMING", ... or "Unknown(0x%X)".
    static QString typeName(int type);
    // The key of the type's text, empty for an unknown type.
    static QString typeTextKey(int type);
    QString keyText(int type, quint16 index) const;
    // "mm:ss" of a waiting time; the minutes count on past 59 ("60:00",
    // "125:30"), so a long wait never looks like a new call.
    static QString waitingText(qint64 seconds);

Q_SIGNALS:
    // A ringing, transferred or recalled call arrived or left: the window comes forward.
    void raiseRequested();
    void rowRemoved(int row);
    void rowAppended(int row);
    void timesChanged();
    // A row was clicked, or the pop-up's call picked up, while the status is stale.
    void answerRefused();

private:
    void removeRow(int row);
    // True while the line's status still matches the row's type.
    bool matchesLiveStatus(const QueueRow &row, quint8 *status) const;

    const CExtStatusList &m_stations;
    const CTrkStatusList &m_lines;
    CLinkRequest &m_request;
    const Clock &m_clock;
    CallInfoQueue m_popup;
    std::function<bool()> m_callerInfo;
    QList<QueueRow> m_rows;
    int m_previousType = QueueType::None;
    quint16 m_lastIntercom = NoStation;
};
