#pragma once

#include "callstate/PortStatus.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QList>
#include <QObject>

#include <functional>
#include <optional>
#include <vector>

class CLinkPort;
class Clock;

// The records of one table, record i with index i.
template<class Record>
class PortRecords
{
public:
    void rebuild(quint16 count)
    {
        m_records.clear();
        m_records.reserve(count);
        for (quint16 i = 0; i < count; ++i)
            m_records.emplace_back(i);
    }
    quint16 count(bool presentOnly) const
    {
        if (!presentOnly)
            return quint16(m_records.size());
        quint16 n = 0;
        for (const auto &r : m_records)
            n += r.isPresent() ? 1 : 0;
        return n;
    }
    Record *at(quint16 index) { return index < m_records.size() ? &m_records[index] : nullptr; }
    const Record *at(quint16 index) const { return index < m_records.size() ? &m_records[index] : nullptr; }
    bool allInfoReceived() const
    {
        for (const auto &r : m_records) {
            if (!r.infoReceived)
                return false;
        }
        return true;
    }
    // 1-based numbers of the first records that lack their information.
    QList<quint16> missing(int limit) const
    {
        QList<quint16> numbers;
        for (const auto &r : m_records) {
            if (numbers.size() == limit)
                break;
            if (!r.infoReceived)
                numbers.append(quint16(r.index + 1));
        }
        return numbers;
    }
    int size() const { return int(m_records.size()); }
    bool empty() const { return m_records.empty(); }
    auto begin() { return m_records.begin(); }
    auto end() { return m_records.end(); }
    auto begin() const { return m_records.begin(); }
    auto end() const { return m_records.end(); }

private:
    std::vector<Record> m_records;
};

// Write-through of what the PBX reports into the station directory.
class StationDirectoryWriter
{
public:
    virtual ~StationDirectoryWriter();
    // Only the given fields replace the stored ones.
    virtual void writeStation(quint16 port, const std::optional<QString> &number, const std::optional<QString> &name) = 0;
};

class CoDirectoryWriter
{
public:
    virtual ~CoDirectoryWriter();
    virtual void writeCoLine(quint16 line, const std::optional<QString> &name, const std::optional<QString> &accessCode,
                             const std::optional<QString> &retrieveCode) = 0;
};

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

// The table of CO lines and the CO name list.
class CTrkStatusList : public QObject, public EventHandler
{
    Q_OBJECT
public:
    CTrkStatusList(CLinkPort &link, const Clock &clock, QObject *parent = nullptr);
    ~CTrkStatusList() override;

    void setDirectoryWriter(CoDirectoryWriter *writer) { m_writer = writer; }
    void setNameProgressReceiver(std::function<void(int)> receiver) { m_nameProgress = std::move(receiver); }
    void setLineProgressReceiver(std::function<void(int)> receiver) { m_lineProgress = std::move(receiver); }

    void setCount(quint16 count);
    quint16 count(bool presentOnly = false) const;
    CTrkStatus *record(quint16 index);
    const CTrkStatus *record(quint16 index) const;

    void setStatus(quint16 index, quint8 code);
    void setAssociatedParty(quint16 index, quint8 kind, quint16 partyIndex);
    void setMeskState(quint16 index, quint8 state);
    void setInfoReceived(quint16 index, bool value);

    void setCoNameCount(int count);
    int coNameCount() const { return int(m_names.size()); }
    void setCoName(int nameIndex, const QString &text);
    QString coNameText(quint16 nameNumber) const;
    bool allCoNamesReceived() const;
    // Sends TRKI_Coname for the first name still missing; false when all are in.
    bool requestNextCoName();
    void setLineNameNumber(quint16 index, quint16 nameNumber);
    void setCodes(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount);
    // Access or retrieve code of a 24-bit base plus an offset; empty when it does not fit.
    static QByteArray numberPlusOffset(quint32 base, int offset);

    bool allInfoReceived() const;
    // Asks for the CO name number of up to 20 lines that lack it; returns how many.
    int requestMissingInfo();

    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

Q_SIGNALS:
    void recordChanged(quint16 index, quint16 hint);
    // A line went on hold (added) or left the held states (removed).
    void holdChanged(quint16 index, bool added);
    void countChanged();

private:
    CLinkPort &m_link;
    const Clock &m_clock;
    PortRecords<CTrkStatus> m_records;
    QStringList m_names;
    CoDirectoryWriter *m_writer = nullptr;
    std::function<void(int)> m_nameProgress;
    std::function<void(int)> m_lineProgress;
};
