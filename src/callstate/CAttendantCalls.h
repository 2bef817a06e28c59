#pragma once

#include "callstate/CQueueEvent.h"
#include "link/EventHandler.h"

#include <QChar>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class CExtStatus;
class CExtStatusList;
class CLinkPort;
class CTrkStatusList;
class OperatorUi;

// The attendant position's own side of call handling: its own station and
// status, the events that make its telephone ring (turned into queue updates),
// and the call operations started from a station button, the directories and
// the queue. Every operation goes out as the keys and DYNBTN requests the
// attendant's telephone would send; the outcome comes back as status events.
class CAttendantCalls : public QObject, public EventHandler
{
    Q_OBJECT
public:
    // Call operation codes of a station record.
    enum Operation : int {
        MakeCall = 0,
        PickUp = 1,
        CallBack = 3,
        CampOn = 5,
        Intrusion = 6,
        StartTransfer = 7,
        TransferToIdle = 8,
        TransferToDnd = 9,
        DialThenAnswer = 10,
        Answer = 11,
    };
    // The context menu a station button opens after its action.
    enum StationMenu : int { NoMenu = 0, MenuIcmCol, MenuBusy, MenuRing };
    struct MenuEntry
    {
        QString key;   // menu text key
        int operation; // call operation, -1 for the quit entry that does nothing
    };

    CAttendantCalls(CLinkPort &link, CExtStatusList &stations, CTrkStatusList &lines, OperatorUi &ui,
                    QObject *parent = nullptr);
    ~CAttendantCalls() override;

    // The position's logged-on state, kept by the session.
    void setLoggedOnQuery(std::function<bool()> query) { m_loggedOn = std::move(query); }

    // Own station: 0-based index, -1 while unknown.
    void setOwnStation(int index);
    int ownStation() const { return m_ownStation; }
    // After a log-off the own status is not known until the PBX tells it again.
    void logOffReset();
    quint8 ownStatus() const { return m_ownStatus; }
    quint8 ownSecondByte() const { return m_ownSecondByte; }
    // The own status as a character ('@' for idle, ...), empty before the PBX told it.
    QChar ownStateChar() const;
    bool isLoggedOn() const { return m_loggedOn && m_loggedOn(); }
    // Logged on and own status idle, idle with DND or idle with ring.
    bool isIdle() const;
    // Logged on and own status intercom or CO call.
    bool isInCall() const;
    // The attendant may start a call or a programming command.
    bool canMakeCall() const { return isIdle(); }

    // Events of class 0x08 and the own-status event 0x85.
    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

    // Left-button press on a station button: runs what the states call for and
    // returns the menu to open at the pointer (NoMenu when none).
    StationMenu stationButtonAction(quint16 index);
    // Double-click on a station button (after its press).
    void stationSelect(quint16 index);
    // One call operation on a station; unknown codes and stations do nothing.
    void stationCommand(quint16 index, int operation);
    static QList<MenuEntry> menuEntries(StationMenu menu);
    // "DLO_STAICMCOL", "DLO_STABUSY", "DLO_STARING".
    static QString menuName(StationMenu menu);

    // Gives the station a new number (empty: no number) and asks the PBX back for it.
    bool changeStationNumber(quint16 index, const QString &newNumber);

    // Dials a station by its number (station directory "Call"); the attendant
    // must be idle and the station exist. Refusals are shown; false then.
    bool callStation(const QString &numberText);
    // Dials the digits of an outside number; every other character is dropped.
    bool callNumber(const QString &text);
    // Dials a speed bin ("S" and the bin); refused with a message when not idle.
    bool callSpeedBin(const QString &binText);

    // A click on a queue row: seizes the line or calls the station. False when
    // nothing was sent (the row is then stale).
    bool answerQueueEntry(int type, quint16 index);
    // The pop-up's pick-up: a call in progress is put on hold first.
    bool pickUpQueueEntry(int type, quint16 index);

Q_SIGNALS:
    // Queue updates of the attendant's ringing.
    void queueEvent(const CQueueEvent &event);
    // The own status left idle: the main window comes to the front.
    void popupRequested();
    void beepRequested();
    void ownStateChanged();

private:
    quint16 ringEvent(quint16 code, const QByteArray &payload, int offset);
    void postQueue(int type, quint16 index, bool add, const QString &description = QString());
    void refuse(const QString &key);
    CExtStatus *station(quint16 index) const;

    CLinkPort &m_link;
    CExtStatusList &m_stations;
    CTrkStatusList &m_lines;
    OperatorUi &m_ui;
    std::function<bool()> m_loggedOn;
    int m_ownStation = -1;
    quint8 m_ownStatus = 0;
    quint8 m_ownSecondByte = 0;
};
