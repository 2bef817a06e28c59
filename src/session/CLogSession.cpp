#include "CLogSession.h"

#include "session/CAttendantState.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "session/CSysInfoLoader.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "base/Trace.h"

CLogSession::CLogSession(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CAttendantState &attendant,
                         QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_timers(timers)
    , m_ui(ui)
    , m_attendant(attendant)
{
    for (int id = TimerId::LogOnWait; id <= TimerId::ReceiveConfirm; ++id)
        m_timers.setHandler(id, [this](int timer) { timerFired(timer); });
    connect(&m_link, &CLinkPort::logOnRequested, this, [this] { m_timers.start(TimerId::LogOnWait, kLogOnWait); });
    connect(&m_link, &CLinkPort::logOffRequested, this,
            [this] { m_timers.start(TimerId::LogOffWait, kLogOffWait); });
    connect(&m_link, &CLinkPort::dataPacketSending, this,
            [this] { m_timers.start(TimerId::TransmitIdle, kIdle); });
    m_link.setVersionSource([this] { return m_version; });
}

CLogSession::~CLogSession()
{
    m_link.setVersionSource(nullptr);
    for (int id = TimerId::LogOnWait; id <= TimerId::ReceiveConfirm; ++id) {
        m_timers.stop(id);
        m_timers.clearHandler(id);
    }
}

void CLogSession::showLogInfo(const QString &key)
{
    m_ui.showMessage(key, QStringLiteral("#:log_info"), MessageStyle::Exclamation);
}

void CLogSession::setLogState(bool loggedOn, const QString &text)
{
    if (loggedOn) {
        if (m_loggedOn)
            return;
        m_loggedOn = true;
        m_attendant.loggedOn();
        return;
    }
    if (m_loggedOn) {
        m_loggedOn = false;
        m_attendant.loggedOff(text);
        return;
    }
    if (!text.isEmpty())
        showLogInfo(text);
}

void CLogSession::payloadReceived()
{
    m_timers.start(TimerId::ReceiveIdle, kIdle);
}

void CLogSession::timerFired(int id)
{
    m_timers.stop(id);
    CLinkRequest request(m_link);
    switch (id) {
    case TimerId::LogOnWait:
        ZTRACE(3, "IDT_G1_LOGONWAIT");
        showLogInfo(QStringLiteral("#:log_on_no_response"));
        if (m_isLan && m_isLan()) {
            setLogState(false, QString());
            Q_EMIT lanDisconnectRequested();
        }
        break;
    case TimerId::LogOffWait:
        ZTRACE(3, "IDT_G1_LOGOFFWAIT");
        setLogState(false, QStringLiteral("#:log_off_no_response"));
        break;
    case TimerId::TransmitIdle:
        if (m_loggedOn)
            request.LOG_Alive();
        break;
    case TimerId::ReceiveIdle:
        ZTRACE(3, "IDT_G1_MESKIDLE");
        if (m_loggedOn) {
            request.LOG_STATE_REQ();
            m_timers.start(TimerId::ReceiveConfirm, kConfirmWait);
        }
        break;
    case TimerId::ReceiveConfirm:
        ZTRACE(3, "IDT_G1_MESKIDLE_CONFIRM");
        if (!m_loggedOn)
            break;
        if (m_isLan && m_isLan()) {
            setLogState(false, QString());
            Q_EMIT lanDisconnectRequested();
        } else {
            setLogState(false, QStringLiteral("#:log_nomore_response"));
        }
        break;
    default:
        break;
    }
}

void CLogSession::onLogOnAck()
{
    m_timers.stop(TimerId::LogOnWait);
    setLogState(true, QString());
}

void CLogSession::onLogOnNak(quint8 reason)
{
    Q_UNUSED(reason);
    m_timers.stop(TimerId::LogOnWait);
    setLogState(false, QStringLiteral("#:log_on_denied"));
}

void CLogSession::onLogOffAck()
{
    m_timers.stop(TimerId::LogOffWait);
    setLogState(false, QStringLiteral("#:log_off_ok"));
}

void CLogSession::onLogOffNak()
{
    m_timers.stop(TimerId::LogOffWait);
    showLogInfo(QStringLiteral("#:log_off_denied"));
}

void CLogSession::onLogOnState()
{
    m_timers.stop(TimerId::ReceiveConfirm);
    if (!m_loggedOn)
        CLinkRequest(m_link).LOG_OFF_REQ();
}

void CLogSession::onLogOffState()
{
    setLogState(false, QStringLiteral("#:log_off_by_varo"));
}

void CLogSession::onVersion(quint32 version)
{
    m_version = version;
    m_attendant.loader().versionReceived();
}

void CLogSession::onPacketMissReport()
{
    CLinkRequest(m_link).LOG_PacketmissAck();
    showLogInfo(QStringLiteral("#:log_packet_miss"));
}

void CLogSession::onPing()
{
    CLinkRequest(m_link).Send_PING_Response_to_Varo();
}
