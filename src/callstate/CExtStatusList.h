#pragma once

#include "callstate/DirectoryNotice.h"
#include "callstate/PortRecords.h"
#include "callstate/PortStatus.h"
#include "callstate/StationDirectoryWriter.h"
#include "callstate/StationNameRow.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QList>
#include <QObject>

#include <functional>

class CLinkPort;
class Clock;
class StatusFreshness;
class OperatorUi;

// The table of stations: live status, number, name and marks of every station.
class CExtStatusList : public QObject, public EventHandler
{
    Q_OBJECT
public:
    CExtStatusList(CLinkPort &link, const Clock &clock, OperatorUi &ui, QObject *parent = nullptr);
    ~CExtStatusList() override;

    // The station directory that numbers and names are written through to. Until this is
    // called nothing is written or told (no directory wired to the table);
    // called with none, the directory is missing and the operator is told so.
    void setDirectoryWriter(StationDirectoryWriter *writer)
    {
        m_writer = writer;
        m_directoryWired = true;
    }
    // Whether what the table holds is the PBX's live state (the views mark
    // it when not); none until the console wires it.
    void setFreshness(const StatusFreshness *freshness) { m_freshness = freshness; }
    const StatusFreshness *freshness() const { return m_freshness; }
    // Told after each station information answer with index * 100 / count.
    void setProgressReceiver(std::function<void(int percent)> receiver) { m_progress = std::move(receiver); }

    void setCount(quint16 count);
    quint16 count(bool presentOnly = false) const;
    CExtStatus *record(quint16 index);
    const CExtStatus *record(quint16 index) const;

    void setStatus(quint16 index, quint8 code);
    void setNumber(quint16 index, quint16 number);
    void setName(quint16 index, const QString &name);
    void setAssociatedParty(quint16 index, quint8 kind, quint16 partyIndex);
    void setMeskState(quint16 index, quint8 state);
    void setWakeup(quint16 index, quint8 mode, quint8 hour, quint8 minute);
    void setTempCos(quint16 index, quint8 cos);
    void setPresence(quint16 index, quint8 presence);
    void setInfoReceived(quint16 index, bool value);
    // The owner's name from the station directory; no hint.
    void setFullName(quint16 index, const QString &fullName);

    // Forgets what the PBX said about the station's party, wake-up and class
    // of service and asks for it again.
    void refresh(quint16 index);
    // Full names from the station directory's rows, in table order.
    void loadFullNames(const QList<StationNameRow> &rows);

    quint16 findByNumber(int number) const;
    bool numberExists(const QString &text) const;
    bool allInfoReceived() const;
    // Asks for the information of up to 10 stations that lack it; returns how many.
    int requestMissingInfo();

    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

Q_SIGNALS:
    // A record's identity (HINT_IDENTITY) or status (HINT_STATUS) changed.
    void recordChanged(quint16 index, quint16 hint);
    void countChanged();

private:
    // now: the time of the change, taken from the clock when still invalid
    // (one reading serves every entry of a status list).
    void setStatusAt(quint16 index, quint8 code, QDateTime &now);
    void reportProgress(quint16 index);
    void writeThrough(quint16 index, bool number, bool name);

    CLinkPort &m_link;
    const Clock &m_clock;
    PortRecords<CExtStatus> m_records;
    OperatorUi &m_ui;
    StationDirectoryWriter *m_writer = nullptr;
    bool m_directoryWired = false;
    DirectoryNotice m_notice;
    std::function<void(int)> m_progress;
    const StatusFreshness *m_freshness = nullptr;
};
