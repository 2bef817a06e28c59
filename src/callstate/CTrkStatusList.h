#pragma once

#include "callstate/CQueueEvent.h"
#include "callstate/DirectoryNotice.h"
#include "callstate/PortRecords.h"
#include "callstate/PortStatus.h"
#include "callstate/CoDirectoryWriter.h"
#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include <QObject>
#include <QStringList>

#include <functional>

class CLinkPort;
class Clock;
class StatusFreshness;
class OperatorUi;

// The table of CO lines and the CO name list.
class CTrkStatusList : public QObject, public EventHandler
{
    Q_OBJECT
public:
    CTrkStatusList(CLinkPort &link, const Clock &clock, OperatorUi &ui, QObject *parent = nullptr);
    ~CTrkStatusList() override;

    // The CO directory that names and codes are written through to. Until this is
    // called nothing is written or told (no directory wired to the table);
    // called with none, the directory is missing and the operator is told so.
    void setDirectoryWriter(CoDirectoryWriter *writer)
    {
        m_writer = writer;
        m_directoryWired = true;
    }
    // Whether what the table holds is the PBX's live state (the views mark
    // it when not); none until the console wires it.
    void setFreshness(const StatusFreshness *freshness) { m_freshness = freshness; }
    const StatusFreshness *freshness() const { return m_freshness; }
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

    // Forgets the line's party and asks for what its status says it has.
    void refresh(quint16 index);
    // The line's button: seizes the line at the attendant position.
    void buttonAction(quint16 index);

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
    // QLTN_TRK_HOLD updates for the queues: a line went on hold (add) or
    // left the held states (remove).
    void queueEvent(const CQueueEvent &event);
    void countChanged();

private:
    // now: the time of the change, taken from the clock when still invalid
    // (one reading serves every entry of a status list).
    void setStatusAt(quint16 index, quint8 code, QDateTime &now);
    void writeThrough(quint16 line, const std::optional<QString> &name, const std::optional<QString> &access,
                      const std::optional<QString> &retrieve);
    void postHold(quint16 index, bool add);

    CLinkPort &m_link;
    const Clock &m_clock;
    PortRecords<CTrkStatus> m_records;
    QStringList m_names;
    // A name the PBX gave as "@" is in all the same: the download must not
    // ask for it forever.
    QList<bool> m_nameReceived;
    CoDirectoryWriter *m_writer = nullptr;
    bool m_directoryWired = false;
    DirectoryNotice m_notice;
    std::function<void(int)> m_nameProgress;
    std::function<void(int)> m_lineProgress;
    const StatusFreshness *m_freshness = nullptr;
};
