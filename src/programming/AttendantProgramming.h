#pragma once

#include "link/EventHandler.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class CExtStatusList;
class CLinkRequest;
class OperatorUi;

// The attendant programming commands and the PBX's replies to the four status
// queries (class 0x09). A command's run...() returns true when the dialog
// closes: its keys went out (the PBX acknowledges nothing, so leaving is all
// the console can know). On a refusal, or when the keys could not be sent,
// the operator has been told why and the dialog stays.
// Every text field is trimmed of blanks before use.
class AttendantProgramming : public QObject, public EventHandler
{
    Q_OBJECT
public:
    // Bits of the station range check.
    enum RangeFailure { FirstUnknown = 1, LastUnknown = 2, Reversed = 4 };

    // What the last replies told; an hour of 0xFF is a time not set.
    struct DayNight
    {
        quint8 dayHour = 0xFF;
        quint8 dayMinute = 0xFF;
        quint8 nightHour = 0xFF;
        quint8 nightMinute = 0xFF;
    };
    struct WakeUp
    {
        quint16 station = 0; // index + 1
        quint8 hour = 0xFF;
        quint8 minute = 0xFF;
        quint8 alarm = 0xFF; // 0 or 0xFF none, 1 one-time, else daily
    };

    AttendantProgramming(CLinkRequest &request, const CExtStatusList &stations, OperatorUi &ui,
                         QObject *parent = nullptr);

    // Logged on, and the attendant's own station in a state that allows programming.
    void setAllowedQuery(std::function<bool()> query) { m_allowed = std::move(query); }
    bool allowed() const { return m_allowed && m_allowed(); }
    // The clock setting registers once for the PBX's next date and time.
    using TimeReceiver = std::function<void(const QDateTime &)>;
    void setTimeRegistrar(std::function<void(TimeReceiver)> registrar) { m_timeRegistrar = std::move(registrar); }
    void registerTimeReceiver(TimeReceiver receiver);

    CLinkRequest &request() const { return m_request; }
    OperatorUi &ui() const { return m_ui; }

    // The programming-allowed test of every OK; tells the operator when it fails.
    bool checkAllowed();
    int stationRangeFailures(const QString &first, const QString &last) const;
    // The station range check; tells the operator when it fails.
    bool checkStationRange(const QString &first, const QString &last);
    // The upper-cased text, or an empty result after telling the operator
    // which characters the PBX cannot take.
    bool checkCharacterSet(const QString &text, QString &upper);
    // The key string goes out as key presses; when it cannot be sent (the link
    // is down, a character has no key) the operator is told and false returned.
    bool sendKeys(const QString &keys);

    // Commands of the programming dialogs.
    bool runWakeUp(const QString &first, const QString &last, const QString &hour, const QString &minute,
                   bool daily);
    // One station, from its pop-up: no range check.
    bool runStationWakeUp(const QString &station, const QString &hour, const QString &minute, bool daily);
    bool runCancelWakeUp(const QString &first, const QString &last);
    bool runMusicSelection(int channel);
    bool runCustomMessage(const QString &number, const QString &text);
    bool runSystemGreetings(const QString &number);
    bool runTemporaryCos(const QString &first, const QString &last, bool activate);
    bool runAttendantCancel(const QString &first, const QString &last);
    bool runStationName(const QString &station, const QString &name);
    bool runAuthorisationCode(const QString &station, const QString &code);
    bool runDayNight(bool dayOn, const QString &dayHour, const QString &dayMinute, bool nightOn,
                     const QString &nightHour, const QString &nightMinute);

    // Commands of the station pop-up that go out at once, for a station index.
    void cancelWakeUpOf(quint16 stationIndex);
    void attendantCancelOf(quint16 stationIndex);

    // Status queries. The menus' queries want their dialog when the reply comes.
    void queryDayNight(bool dialogWanted = true);
    void queryMusic(bool dialogWanted = true);
    void queryWakeUp(quint16 stationIndex, bool dialogWanted = true);
    // The reply sends the temporary-COS command for the station at once.
    void queryTemporaryCos(quint16 stationIndex);

    bool dialogWanted() const { return m_dialogWanted; }
    QString queriedStation() const { return m_queriedStation; }
    DayNight dayNight() const { return m_dayNight; }
    quint8 musicChannel() const { return m_music; }
    WakeUp wakeUp() const { return m_wakeUp; }
    quint16 tempCosStation() const { return m_tempCosStation; }
    quint8 tempCos() const { return m_tempCos; }

    // The music channel one step up or down, wrapping between 9 and 0.
    static int stepChannel(int channel, int delta);

    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

Q_SIGNALS:
    void dayNightDialogWanted();
    void musicDialogWanted();
    void wakeUpDialogWanted(const QString &stationNumber);

private:
    bool checkFilled(std::initializer_list<QString> fields);
    void inputError(const QString &textKey);
    QString stationNumber(quint16 stationIndex) const;
    void traceReply(const char *name, const QByteArray &payload, int offset, int size);
    bool takeDialogWanted();

    CLinkRequest &m_request;
    const CExtStatusList &m_stations;
    OperatorUi &m_ui;
    std::function<bool()> m_allowed;
    std::function<void(TimeReceiver)> m_timeRegistrar;

    bool m_dialogWanted = false;
    bool m_tempCosPending = false;
    QString m_queriedStation;
    DayNight m_dayNight;
    quint8 m_music = 0;
    WakeUp m_wakeUp;
    quint16 m_tempCosStation = 0;
    quint8 m_tempCos = 0;
};
