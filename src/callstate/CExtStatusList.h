#pragma once

#include "callstate/PortRecords.h"
#include "callstate/PortStatus.h"
#include "callstate/StationDirectoryWriter.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QObject>

#include <functional>

class CLinkPort;
class Clock;

// The table of stations: live status, number, name and marks of every station.
class CExtStatusList : public QObject, public EventHandler
{
    Q_OBJECT
public:
    CExtStatusList(CLinkPort &link, const Clock &clock, QObject *parent = nullptr);
    ~CExtStatusList() override;

    void setDirectoryWriter(StationDirectoryWriter *writer) { m_writer = writer; }
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
    void reportProgress(quint16 index);
    void writeThrough(quint16 index, bool number, bool name);

    CLinkPort &m_link;
    const Clock &m_clock;
    PortRecords<CExtStatus> m_records;
    StationDirectoryWriter *m_writer = nullptr;
    std::function<void(int)> m_progress;
};
