#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CExtStatusList;
class CLinkPort;
class CLogSession;
class CSysInfoLoader;
class CTrkStatusList;
class LogStatusModel;
class OperatorUi;
class TimerHost;

// The position state of the attendant: owns the session and the download,
// carries out the log-off completion and the step to the fully logged-on state.
class CAttendantState : public QObject
{
    Q_OBJECT
public:
    enum PositionState { LoggedOff = 0, Downloading = 1, Ready = 2 };

    CAttendantState(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CExtStatusList &stations,
                    CTrkStatusList &lines, LogStatusModel &status, QObject *parent = nullptr);
    ~CAttendantState() override;

    CLogSession &session() const { return *m_session; }
    CSysInfoLoader &loader() const { return *m_loader; }
    int positionState() const { return m_state; }
    QString logOffText() const { return m_logOffText; }
    int ownStationIndex() const;

    void setLanQuery(std::function<bool()> isLan);

    // Called by the session when the logged-on flag changes.
    void loggedOn();
    void loggedOff(const QString &text);
    // A log-on command while the completion of the last log-off is pending:
    // the completion runs now, so that the new log-on starts from position
    // state 0 and nothing of the old session is reset under it.
    void completePendingLogOff();

    // Status-time parameters sent with MESKPARA_STATUSTIME.
    quint8 statusPeriod() const { return 3; }
    quint8 statusMin() const { return 1; }
    quint8 statusMax() const { return 20; }

Q_SIGNALS:
    void positionStateChanged(int state);
    // The log-off completed: the key telephone and the connected marks are reset.
    void logOffCompleted();
    // Everything downloaded; the directories are trimmed, the windows reopened.
    void allSystemInfoReceived();
    void lanDisconnectRequested();
    // The own station is known: lamps cleared, main window refreshed.
    void ownStationChanged(int index);

private:
    void logOffCompletion();
    void completeLogOff();
    void allReceived();
    void setPositionState(int state);

    CLinkPort &m_link;
    TimerHost &m_timers;
    OperatorUi &m_ui;
    LogStatusModel &m_status;
    std::unique_ptr<CLogSession> m_session;
    std::unique_ptr<CSysInfoLoader> m_loader;
    int m_state = LoggedOff;
    QString m_logOffText;
};
