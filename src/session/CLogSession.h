#pragma once

#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QObject>
#include <QString>

#include <functional>

class CAttendantState;
class CLinkPort;
class OperatorUi;
class TimerHost;

// The log state of the attendant position: log events, the log-on and
// log-off waits, the two idle timers and the confirmation timer.
class CLogSession : public QObject, public LogEventSink
{
    Q_OBJECT
public:
    static constexpr int kLogOnWait = 30000;
    static constexpr int kLogOffWait = 3000;
    static constexpr int kIdle = 17768;
    static constexpr int kConfirmWait = 30000;

    CLogSession(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CAttendantState &attendant,
                QObject *parent = nullptr);
    ~CLogSession() override;

    void setLanQuery(std::function<bool()> isLan) { m_isLan = std::move(isLan); }

    bool isLoggedOn() const { return m_loggedOn; }
    quint32 versionValue() const { return m_version; }
    void clearVersion() { m_version = 0; }

    void setLogState(bool loggedOn, const QString &text);
    // Every received payload restarts the receive-idle timer.
    void payloadReceived();

    // LogEventSink
    void onLogOnAck() override;
    void onLogOnNak(quint8 reason) override;
    void onLogOffAck() override;
    void onLogOffNak() override;
    void onLogOnState() override;
    void onLogOffState() override;
    void onVersion(quint32 version) override;
    void onPacketMissReport() override;
    void onPing() override;

Q_SIGNALS:
    // The LAN link is to be closed and the console marked not connected.
    void lanDisconnectRequested();

private:
    void timerFired(int id);
    void showLogInfo(const QString &key);

    CLinkPort &m_link;
    TimerHost &m_timers;
    OperatorUi &m_ui;
    CAttendantState &m_attendant;
    std::function<bool()> m_isLan;
    bool m_loggedOn = false;
    quint32 m_version = 0;
};
