#include "CSysInfoLoader.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "session/LogStatusModel.h"
#include "link/SpeedBinRecord.h"
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"

namespace {
constexpr int kStepPeriod = 1600;
constexpr int kNothingToDoPeriod = 4;
constexpr int kWatchdogPeriod = 10000;
} // namespace

CSysInfoLoader::CSysInfoLoader(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CExtStatusList &stations,
                               CTrkStatusList &lines, LogStatusModel &status, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_timers(timers)
    , m_ui(ui)
    , m_stations(stations)
    , m_lines(lines)
    , m_status(status)
{
    m_timers.setHandler(TimerId::SysInfoWatchdog, [this](int) { watchdogExpired(); });
    m_timers.setHandler(TimerId::SysInfoNextStep, [this](int) { nextStep(); });
    m_stations.setProgressReceiver([this](int p) { stationProgress(p); });
    m_lines.setNameProgressReceiver([this](int p) { coNameProgress(p); });
    m_lines.setLineProgressReceiver([this](int p) { coLineProgress(p); });
}

CSysInfoLoader::~CSysInfoLoader()
{
    m_timers.stop(TimerId::SysInfoWatchdog);
    m_timers.stop(TimerId::SysInfoNextStep);
    m_timers.clearHandler(TimerId::SysInfoWatchdog);
    m_timers.clearHandler(TimerId::SysInfoNextStep);
}

void CSysInfoLoader::start(quint16 mask)
{
    if (mask & (StationCount | StationInfo))
        mask |= StationCount | StationInfo;
    if (mask & (LineCount | CodeBases | LineInfo))
        mask |= LineCount | CodeBases | LineInfo;
    m_pending = mask & AllItems;
    restartWatchdog();
    m_done = false;
    nextStep();
}

void CSysInfoLoader::restartWatchdog()
{
    m_pendingAtCheck = m_pending;
    m_timers.start(TimerId::SysInfoWatchdog, kWatchdogPeriod);
}

void CSysInfoLoader::progress(const QString &labelKey, int bar)
{
    if (m_status.isOpen())
        m_status.setProgress(labelKey, bar);
}

void CSysInfoLoader::nextStep()
{
    if (m_pending == 0) {
        progress(QStringLiteral("#:LogStatusAllDone"), 100);
        m_timers.stop(TimerId::SysInfoWatchdog);
        m_timers.stop(TimerId::SysInfoNextStep);
        m_done = true;
        Q_EMIT allReceived();
        return;
    }
    m_timers.start(TimerId::SysInfoNextStep, kStepPeriod);
    CLinkRequest request(m_link);

    if (isPending(StationCount | LineCount | OwnStation | PagingNumber | SpeedBinRange | CoNameCount | Version
                  | LongVersion)) {
        progress(QStringLiteral("#:LogStatusSysInfo"), 0);
        if (isPending(OwnStation | Version | LongVersion)) {
            if (isPending(OwnStation))
                request.SYSI_MyID();
            if (isPending(Version))
                request.LOG_VersionReq();
            if (isPending(LongVersion))
                request.SYSI_MpbVerL();
        } else if (isPending(StationCount)) {
            progress(QString(), 4);
            request.SYSI_EXTNUMS_REQ();
        } else if (isPending(LineCount)) {
            progress(QString(), 9);
            request.SYSI_TRKNUMS_REQ();
        } else {
            progress(QString(), 14);
            if (isPending(SpeedBinRange))
                request.SYSI_Sysspdrange();
            if (isPending(PagingNumber))
                request.IntPageNum();
            if (isPending(CoNameCount))
                request.SYSI_CoNameNum();
        }
        return;
    }
    if (isPending(CodeBases)) {
        progress(QString(), 18);
        request.MESKPARA_TrkBaseNumber();
        return;
    }
    if (isPending(StationInfo)) {
        const int asked = m_stations.requestMissingInfo();
        if (asked > 0) {
            m_outstanding = asked;
        } else {
            m_pending &= ~quint16(StationInfo);
            m_timers.start(TimerId::SysInfoNextStep, kNothingToDoPeriod);
        }
        return;
    }
    if (isPending(CoNames)) {
        if (!m_lines.requestNextCoName()) {
            m_pending &= ~quint16(CoNames);
            m_timers.start(TimerId::SysInfoNextStep, kNothingToDoPeriod);
        }
        return;
    }
    if (isPending(LineInfo)) {
        const int asked = m_lines.requestMissingInfo();
        if (asked > 0) {
            m_outstanding = asked;
        } else {
            m_pending &= ~quint16(LineInfo);
            m_timers.start(TimerId::SysInfoNextStep, kNothingToDoPeriod);
        }
    }
}

void CSysInfoLoader::stationProgress(int percent)
{
    progress(QStringLiteral("#:LogStatusStaInfo"), 21 + percent * 39 / 100);
    if (!isPending(StationInfo))
        return;
    m_timers.start(TimerId::SysInfoNextStep, kStepPeriod);
    restartWatchdog();
    if (m_stations.allInfoReceived()) {
        m_pending &= ~quint16(StationInfo);
        m_outstanding = 0;
    }
    --m_outstanding;
    if (m_outstanding < 1)
        nextStep();
}

void CSysInfoLoader::coNameProgress(int percent)
{
    progress(QStringLiteral("#:LogStatusCoInfo"), 60 + percent * 10 / 100);
    if (!isPending(CoNames))
        return;
    m_timers.start(TimerId::SysInfoNextStep, kStepPeriod);
    restartWatchdog();
    if (m_lines.allCoNamesReceived())
        m_pending &= ~quint16(CoNames);
    nextStep();
}

void CSysInfoLoader::coLineProgress(int percent)
{
    progress(QStringLiteral("#:LogStatusCoInfo"), 70 + percent * 30 / 100);
    if (!isPending(LineInfo))
        return;
    m_timers.start(TimerId::SysInfoNextStep, kStepPeriod);
    restartWatchdog();
    if (m_lines.allInfoReceived()) {
        m_pending &= ~quint16(LineInfo);
        m_outstanding = 0;
    }
    --m_outstanding;
    if (m_outstanding < 1)
        nextStep();
}

void CSysInfoLoader::versionReceived()
{
    // A version that arrives outside the download starts no step.
    if (!isPending(Version))
        return;
    m_pending &= ~quint16(Version);
    if (!isPending(OwnStation | LongVersion))
        nextStep();
}

void CSysInfoLoader::reset()
{
    m_timers.stop(TimerId::SysInfoWatchdog);
    m_timers.stop(TimerId::SysInfoNextStep);
    Q_EMIT resetDone();
    m_done = false;
    m_pending = 0;
    m_outstanding = 0;
    clearVersions();
}

void CSysInfoLoader::clearVersions()
{
    m_shortVersion.clear();
    m_longVersion.clear();
    m_status.setVersionLine(versionLine());
}

void CSysInfoLoader::watchdogExpired()
{
    if (m_isLan && m_isLan()) {
        // The link goes first: no step of the download runs after this.
        m_timers.stop(TimerId::SysInfoWatchdog);
        m_timers.stop(TimerId::SysInfoNextStep);
        Q_EMIT lanDisconnectRequested();
        m_ui.showMessage(QStringLiteral("#:sysinfo_no_response"), QStringLiteral("#:critical_error"),
                         MessageStyle::Exclamation);
        return;
    }
    if (m_pending == m_pendingAtCheck) {
        reset();
        CLinkRequest(m_link).LOG_OFF_REQ();
        m_ui.showMessage(QStringLiteral("#:sysinfo_no_response"), QStringLiteral("#:critical_error"),
                         MessageStyle::Deferred);
        return;
    }
    restartWatchdog();
}

QString CSysInfoLoader::versionLine() const
{
    const QString version = trKey(QStringLiteral("#:version"));
    return QStringLiteral("Varo ") + version + QStringLiteral(" : ")
        + (m_longVersion.isEmpty() ? trKey(QStringLiteral("#:unknown")) : m_longVersion);
}

void CSysInfoLoader::onStationCount(quint16 count)
{
    if (count == 0) {
        CLinkRequest(m_link).LOG_OFF_REQ();
        return;
    }
    if (isPending(StationCount)) {
        m_pending &= ~quint16(StationCount);
        m_stations.setCount(count);
        nextStep();
    }
}

void CSysInfoLoader::onLineCount(quint16 count)
{
    if (isPending(LineCount)) {
        m_pending &= ~quint16(LineCount);
        m_lines.setCount(count);
        nextStep();
    }
}

void CSysInfoLoader::onCodeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount)
{
    m_lines.setCodes(accessBase, accessCount, retrieveBase, retrieveCount);
    if (isPending(CodeBases)) {
        m_pending &= ~quint16(CodeBases);
        nextStep();
    }
}

void CSysInfoLoader::onOwnStation(quint16 station)
{
    if (!isPending(OwnStation))
        return;
    m_pending &= ~quint16(OwnStation);
    m_ownStation = int(station) - 1;
    Q_EMIT ownStationChanged(m_ownStation);
    if (!isPending(Version | LongVersion))
        nextStep();
}

void CSysInfoLoader::onMpbShortVersion(const QString &version)
{
    m_shortVersion = version;
}

void CSysInfoLoader::onMpbLongVersion(const QString &version)
{
    m_longVersion = version;
    if (isPending(LongVersion)) {
        m_pending &= ~quint16(LongVersion);
        if (!isPending(OwnStation | Version))
            nextStep();
    }
    m_status.setVersionLine(versionLine());
}

void CSysInfoLoader::onCoNameCount(quint8 count)
{
    m_lines.setCoNameCount(count);
    if (isPending(CoNameCount)) {
        m_pending &= ~quint16(CoNameCount);
        if (!isPending(PagingNumber | SpeedBinRange))
            nextStep();
    }
}

void CSysInfoLoader::onPagingNumber(quint8 number)
{
    m_pagingNumber = number;
    if (isPending(PagingNumber)) {
        m_pending &= ~quint16(PagingNumber);
        if (!isPending(SpeedBinRange | CoNameCount))
            nextStep();
    }
}

void CSysInfoLoader::onSpeedBinRange(quint16 first, quint16 last)
{
    m_speedFirst = first;
    m_speedLast = last;
    m_status.setSpeedBinRange(first, last);
    Q_EMIT speedBinRangeReceived(first, last);
    if (isPending(SpeedBinRange)) {
        m_pending &= ~quint16(SpeedBinRange);
        if (!isPending(PagingNumber | CoNameCount))
            nextStep();
    }
}

void CSysInfoLoader::onPbxTime(const QDateTime &time)
{
    if (m_timeReceiver) {
        auto receiver = std::move(m_timeReceiver);
        m_timeReceiver = nullptr;
        receiver(time);
    }
}

void CSysInfoLoader::onAdministration(quint16 code)
{
    switch (code) {
    case 0x0602:
        m_ui.showMessage(QStringLiteral("#:admin_disable"), QStringLiteral("#:warning_title"), MessageStyle::Deferred);
        break;
    case 0x0604:
        m_ui.showMessage(QStringLiteral("#:admin_fail"), QStringLiteral("#:warning_title"), MessageStyle::Deferred);
        break;
    case 0x0605:
        m_ui.showMessage(QStringLiteral("#:admin_invalid_stano"), QStringLiteral("#:warning_title"),
                         MessageStyle::Deferred);
        break;
    default:
        break;
    }
}

void CSysInfoLoader::onSpeedBinEmpty(quint16 bin)
{
    Q_EMIT speedBinReceived(bin, QString(), 0, 0, QString());
}

void CSysInfoLoader::onSpeedBinRecord(const SpeedBinRecord &record)
{
    Q_EMIT speedBinReceived(record.bin, record.number, record.coType, record.coNumber, record.name);
}
