#pragma once

#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class CExtStatusList;
class CLinkPort;
class CTrkStatusList;
class LogStatusModel;
class OperatorUi;
class TimerHost;

// The download of system information after log-on, step by step with
// progress, and the handler of system-information, administration and
// speed-bin replies at any time.
class CSysInfoLoader : public QObject, public SysInfoSink
{
    Q_OBJECT
public:
    enum Item : quint16 {
        StationCount = 0x001,
        LineCount = 0x002,
        StationInfo = 0x004,
        CodeBases = 0x008,
        OwnStation = 0x010,
        PagingNumber = 0x020,
        SpeedBinRange = 0x040,
        CoNameCount = 0x080,
        CoNames = 0x100,
        LineInfo = 0x200,
        Version = 0x400,
        LongVersion = 0x800,
        AllItems = 0xFFF,
    };

    CSysInfoLoader(CLinkPort &link, TimerHost &timers, OperatorUi &ui, CExtStatusList &stations,
                   CTrkStatusList &lines, LogStatusModel &status, QObject *parent = nullptr);
    ~CSysInfoLoader() override;

    // The serial port and the LAN connection give up differently.
    void setLanQuery(std::function<bool()> isLan) { m_isLan = std::move(isLan); }

    void start(quint16 mask);
    void nextStep();
    void reset();
    // Forgets both MPB versions (the PBX may have changed since they came).
    void clearVersions();
    // LOG_Version arrived: the version item is done.
    void versionReceived();

    void stationProgress(int percent);
    void coNameProgress(int percent);
    void coLineProgress(int percent);

    quint16 pending() const { return m_pending; }
    bool isDone() const { return m_done; }
    int outstanding() const { return m_outstanding; }
    QString shortVersion() const { return m_shortVersion; }
    QString longVersion() const { return m_longVersion; }
    quint8 pagingNumber() const { return m_pagingNumber; }
    int ownStationIndex() const { return m_ownStation; }
    int speedBinFirst() const { return m_speedFirst; }
    int speedBinLast() const { return m_speedLast; }
    // "Varo " + "#:version" + " : " + the long MPB version or "#:unknown", looked up.
    QString versionLine() const;

    // The clock setting registers once for the next PBX date and time.
    void registerTimeReceiver(std::function<void(const QDateTime &)> receiver) { m_timeReceiver = std::move(receiver); }

    // SysInfoSink
    void onStationCount(quint16 count) override;
    void onLineCount(quint16 count) override;
    void onCodeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount) override;
    void onOwnStation(quint16 station) override;
    void onMpbShortVersion(const QString &version) override;
    void onMpbLongVersion(const QString &version) override;
    void onCoNameCount(quint8 count) override;
    void onPagingNumber(quint8 number) override;
    void onSpeedBinRange(quint16 first, quint16 last) override;
    void onPbxTime(const QDateTime &time) override;
    void onAdministration(quint16 code) override;
    void onSpeedBinEmpty(quint16 bin) override;
    void onSpeedBinRecord(const SpeedBinRecord &record) override;

Q_SIGNALS:
    // Nothing is pending any more.
    void allReceived();
    // The download was reset (log-off completion or giving up): the child
    // windows are saved and closed, or the main window closes.
    void resetDone();
    // The watchdog gave up on a LAN connection: disconnect.
    void lanDisconnectRequested();
    // A new own station index (0-based).
    void ownStationChanged(int index);
    void speedBinRangeReceived(int first, int last);
    void speedBinReceived(quint16 bin, const QString &number, quint8 coType, quint8 coNumber, const QString &name);

private:
    void progress(const QString &labelKey, int bar);
    void restartWatchdog();
    void watchdogExpired();
    bool isPending(quint16 bits) const { return (m_pending & bits) != 0; }

    CLinkPort &m_link;
    TimerHost &m_timers;
    OperatorUi &m_ui;
    CExtStatusList &m_stations;
    CTrkStatusList &m_lines;
    LogStatusModel &m_status;
    std::function<bool()> m_isLan;
    std::function<void(const QDateTime &)> m_timeReceiver;

    quint16 m_pending = 0;
    quint16 m_pendingAtCheck = 0;
    int m_outstanding = 0;
    bool m_done = false;
    QString m_shortVersion;
    QString m_longVersion;
    quint8 m_pagingNumber = 0;
    int m_ownStation = -1;
    int m_speedFirst = 0;
    int m_speedLast = 0;
};
