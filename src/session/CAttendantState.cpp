#include "CAttendantState.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "session/CLogSession.h"
#include "session/CSysInfoLoader.h"
#include "session/LogStatusModel.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "base/Trace.h"

namespace {
constexpr int kCompletionPeriod = 1000;
}

CAttendantState::CAttendantState(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CExtStatusList &stations,
                                 CTrkStatusList &lines, LogStatusModel &status, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_timers(timers)
    , m_ui(ui)
    , m_status(status)
    , m_session(std::make_unique<CLogSession>(link, timers, ui, *this))
    , m_loader(std::make_unique<CSysInfoLoader>(link, timers, ui, stations, lines, status))
{
    m_timers.setHandler(TimerId::LogOffCompletion, [this](int) { logOffCompletion(); });
    connect(m_loader.get(), &CSysInfoLoader::allReceived, this, &CAttendantState::allReceived);
    connect(m_loader.get(), &CSysInfoLoader::lanDisconnectRequested, this, [this] {
        m_session->setLogState(false, QString());
        Q_EMIT lanDisconnectRequested();
    });
    connect(m_session.get(), &CLogSession::lanDisconnectRequested, this, &CAttendantState::lanDisconnectRequested);
    connect(m_loader.get(), &CSysInfoLoader::ownStationChanged, this, [this](int index) {
        Q_EMIT ownStationChanged(index);
        m_ui.refreshCommands();
        if (index >= 0)
            CLinkRequest(m_link).SCTL_RestartExt(quint16(index));
    });
}

CAttendantState::~CAttendantState()
{
    m_timers.stop(TimerId::LogOffCompletion);
    m_timers.clearHandler(TimerId::LogOffCompletion);
}

int CAttendantState::ownStationIndex() const
{
    return m_loader->ownStationIndex();
}

void CAttendantState::setLanQuery(std::function<bool()> isLan)
{
    m_session->setLanQuery(isLan);
    m_loader->setLanQuery(std::move(isLan));
}

void CAttendantState::setPositionState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT positionStateChanged(state);
    m_ui.refreshCommands();
}

void CAttendantState::loggedOn()
{
    ZTRACE(0, "Log On");
    // A log-off still waiting for its completion is over: that completion
    // would reset the download that starts now and clear the new version.
    if (m_timers.isActive(TimerId::LogOffCompletion)) {
        m_timers.stop(TimerId::LogOffCompletion);
        m_logOffText.clear();
        m_session->clearVersion();
        m_loader->clearVersions();
    }
    m_status.setVersionLine(m_loader->versionLine());
    m_status.open();
    setPositionState(Downloading);
    m_loader->start(CSysInfoLoader::AllItems);
}

void CAttendantState::loggedOff(const QString &text)
{
    m_status.close();
    m_logOffText = text;
    m_timers.start(TimerId::LogOffCompletion, kCompletionPeriod);
    m_ui.refreshCommands();
}

void CAttendantState::completePendingLogOff()
{
    if (!m_timers.isActive(TimerId::LogOffCompletion))
        return;
    m_ui.endModalDialog();
    m_ui.dialogs().endAll();
    completeLogOff();
}

void CAttendantState::logOffCompletion()
{
    // Dialogs are ended first; the completion is tried again on the next tick.
    if (m_ui.endModalDialog())
        return;
    if (m_ui.dialogs().endAll() > 0)
        return;
    completeLogOff();
}

void CAttendantState::completeLogOff()
{
    m_timers.stop(TimerId::LogOffCompletion);
    ZTRACE(0, "Log Off");
    setPositionState(LoggedOff);
    Q_EMIT logOffCompleted();
    m_loader->reset();
    m_session->clearVersion();
    if (!m_logOffText.isEmpty())
        m_ui.showMessage(m_logOffText, QStringLiteral("#:log_info"), MessageStyle::Exclamation);
}

void CAttendantState::allReceived()
{
    ZTRACE(0, "All system info received");
    m_status.switchToSpeedBinStage();
    m_status.disableLogOffButton();
    CLinkRequest request(m_link);
    request.MESKPARA_STATUSCLEAR();
    request.MESKPARA_STATUSTIME(statusPeriod(), statusMin(), statusMax());
    Q_EMIT allSystemInfoReceived();
    setPositionState(Ready);
}
