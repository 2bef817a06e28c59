#pragma once

#include "PbxConfig.h"
#include "Scheduler.h"

#include "link/SpeedBinRecord.h"

#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace pbxsim {

// Receives every change of the PBX that a logged-on attendant console would be
// told about. The session decides what actually goes on the wire.
class PbxObserver
{
public:
    virtual ~PbxObserver();
    virtual void stationStatusChanged(int index) = 0;
    virtual void lineStatusChanged(int index) = 0;
    virtual void ownStatusChanged() = 0;
    virtual void stationIdentityChanged(int index, bool number, bool name) = 0;
    virtual void coRingStart(int line, quint8 kind, const QString &digits) = 0;
    virtual void coRingStop(int line) = 0;
    virtual void icmRingStart(int station) = 0;
    virtual void icmRingStop(int station) = 0;
    // One command of the attendant's key telephone (lamps, display).
    virtual void keyTelephone(quint8 command, quint8 d1, quint8 d2) = 0;
    // A bin changed at a keyset, not by the console.
    virtual void speedBinChanged(quint16 bin) = 0;
    virtual void note(const QString &text) = 0;
    // The outermost model operation has finished: a batch of changes is complete.
    virtual void stepFinished() = 0;
};

// The simulated PBX: stations, CO lines, the attendant position with its key
// telephone, speed bins, programming settings and a small call model.
// Indexes are 0-based everywhere in this class; the wire uses index + 1.
class PbxModel
{
public:
    struct Party
    {
        enum Kind : quint8 { None, Station, Line, Attendant };
        Kind kind = None;
        int index = -1;
        bool operator==(const Party &o) const { return kind == o.kind && index == o.index; }
        bool isNone() const { return kind == None; }
    };

    struct Station
    {
        QString number;
        QString name;
        quint8 presence = 0x00; // 0xFF: not present
        quint8 status = 0x40;
        quint8 mesk = 0;
        bool dnd = false;
        Party peer;
        quint8 wakeMode = 0; // 0 none, 1 once, 2 daily
        quint8 wakeHour = 0;
        quint8 wakeMinute = 0;
        quint8 tempCos = 0;
        QString authCode;
        Scheduler::Id timer = 0;
    };

    struct Line
    {
        quint8 status = 0x80;
        QString callerId;
        quint16 nameNumber = 0;
        Party peer;          // who talks on it (or whom it rings)
        Party holder;        // who holds it
        quint8 atdRing = 0;  // ring kind at the attendant, 0 none
        bool disabled = false;
        Scheduler::Id timer = 0;
    };

    enum class AtdState { Idle, Dialling, Calling, Talking, Paging };

    struct Attendant
    {
        AtdState state = AtdState::Idle;
        Party party;           // the station or line of the current call
        QString dialled;
        Party aside;           // the party put aside by the transfer key
        int blocked = -1;      // station a call met busy or in DND
        bool dnd = false;
        bool pickup = false;
        bool mute = false;
        bool speed = false;
        QString speedDigits;
        bool programming = false;
        QString keys;          // the programming key string so far
        QList<Party> ringing;  // calls ringing at the position, oldest first
        QString lastExternal;  // for redial
        quint8 status = 0x40;
        qint64 callStart = 0;
        int pagingZone = -1;
    };

    enum class AdmResult : quint16 { Success = 0x0603, Disabled = 0x0602, Failed = 0x0604, InvalidNumber = 0x0605 };

    struct Lamp
    {
        quint8 colour = 2;
        quint8 pattern = 0;
        bool operator==(const Lamp &o) const { return colour == o.colour && pattern == o.pattern; }
    };
    static constexpr int kLamps = 128;
    static constexpr quint8 kRed = 2;
    static constexpr quint8 kGreen = 3;

    PbxModel(const PbxConfig &config, Scheduler &scheduler, QRandomGenerator &random);
    ~PbxModel();
    PbxModel(const PbxModel &) = delete;
    PbxModel &operator=(const PbxModel &) = delete;

    void setObserver(PbxObserver *observer) { m_observer = observer; }
    PbxObserver *observer() const { return m_observer; }

    const PbxConfig &config() const { return m_config; }
    Scheduler &scheduler() const { return m_scheduler; }
    QRandomGenerator &random() const { return m_random; }

    // -- what the system information tells
    int stationCount() const { return int(m_stations.size()); }
    int lineCount() const { return int(m_lines.size()); }
    int ownIndex() const { return m_own; }
    const Station &station(int index) const { return m_stations.at(size_t(index)); }
    const Line &line(int index) const { return m_lines.at(size_t(index)); }
    const Attendant &attendant() const { return m_atd; }
    bool validStation(int index) const { return index >= 0 && index < stationCount(); }
    bool validLine(int index) const { return index >= 0 && index < lineCount(); }
    int coNameCount() const { return int(m_coNames.size()); }
    QString coName(int number) const; // 1-based, empty when unknown
    quint16 stationNumberValue(int index) const;
    // 24-bit bases: five digit nibbles at bits 20-23, 16-19, 8-11, 4-7, 0-3.
    quint32 accessBase() const;
    quint32 retrieveBase() const;
    QString accessCode(int line) const;
    int stationByNumber(const QString &number) const;
    QDateTime now() const;
    quint32 lifeTimeSeconds() const { return quint32(m_scheduler.now() / 1000); }

    // -- speed bins
    std::optional<SpeedBinRecord> speedBin(quint16 bin) const;
    bool speedBinInRange(quint16 bin) const { return bin >= m_config.speedFirst && bin <= m_config.speedLast; }
    // Stores what the console wrote (an empty number clears the bin) and
    // returns what the PBX now holds for the bin.
    std::optional<SpeedBinRecord> writeSpeedBin(const SpeedBinRecord &record);
    // A change made at a keyset: stored and reported unasked.
    bool keysetSpeedChange(const SpeedBinRecord &record);
    int speedBinCount() const { return int(m_speed.size()); }
    bool loadSpeedFile(const QString &path, QString *error);
    bool saveSpeedFile(QString *error) const;
    void setSpeedFile(const QString &path) { m_speedFile = path; }

    // -- programming state
    quint8 dayHour() const { return m_dayHour; }
    quint8 dayMinute() const { return m_dayMinute; }
    quint8 nightHour() const { return m_nightHour; }
    quint8 nightMinute() const { return m_nightMinute; }
    quint8 musicChannel() const { return m_music; }
    const QStringList &programmingLog() const { return m_programmingLog; }
    QString customMessage(int number) const { return m_messages.value(number); }
    int lastGreeting() const { return m_greeting; }
    bool dateFormatDayFirst() const { return m_dateDayFirst; }
    bool time24h() const { return m_time24h; }

    // -- attendant requests
    void dss(int station);
    void dls(int line);
    void coGroup(int group);
    void dynGeneral(quint8 kind);
    void key(quint8 code);
    void keys(const QByteArray &codes);
    void feature(quint8 feature, quint8 value);
    AdmResult changeStationNumber(int station, quint16 value);
    void restartStation(int station);
    void restartLine(int line);
    // The position's key telephone from scratch: all lamps off, then the lit
    // lamps and the whole display.
    void resendKeyTelephone();
    // Date and time on the display.
    void showDateTime();

    // -- the rest of the PBX (scenario, traffic, control)
    bool coRing(int line, quint8 kind, const QString &digits);
    bool coRingEnd(int line);
    bool icmRing(int station);
    bool icmRingEnd(int station);
    bool setStationStatus(int station, quint8 status);
    bool setLineStatus(int line, quint8 status);
    bool setStationDnd(int station, bool on);
    bool setStationName(int station, const QString &name);
    bool setStationNumber(int station, const QString &number);
    bool setCallerId(int line, const QString &digits);
    bool stationCall(int from, int to);
    bool stationOutgoing(int station, int line);
    bool stationHold(int station);
    bool stationTransferToAttendant(int station);
    bool hangUp(int station);
    void showText(const QString &text);

    // Lamps as last sent to the key telephone (1-based index).
    Lamp lamp(int index) const { return index >= 1 && index <= kLamps ? m_lamps[size_t(index - 1)] : Lamp(); }
    QString upperDisplay() const { return m_shownUpper; }

    // Stations and lines that a random event could use.
    QList<int> idleStations() const;
    QList<int> idleLines() const;
    QList<int> stationsInState(quint8 status) const;
    QList<int> linesRingingAtAttendant() const;

    static QString keyChar(quint8 code);

private:
    friend class Step;
    class Step
    {
    public:
        explicit Step(PbxModel &m) : m_m(m) { ++m_m.m_depth; }
        ~Step();
        Step(const Step &) = delete;
        Step &operator=(const Step &) = delete;

    private:
        PbxModel &m_m;
    };

    void setup();
    void putStationStatus(int s, quint8 status);
    void putLineStatus(int l, quint8 status);
    void updateOwn();
    quint8 computeOwn() const;
    void arm(Scheduler::Id &slot, qint64 ms, std::function<void()> callback);
    void disarm(Scheduler::Id &slot);
    int talkTime();

    void clearStation(int s);
    void clearLine(int l);
    void dropStation(int s);
    void dropLine(int l);
    void addRing(Party p, quint8 kind, const QString &digits);
    void removeRing(Party p);
    void releaseAttendantCall();
    void attendantTalks(Party p);
    void attendantRings(int s);
    void answerRinging(Party p);
    void holdLineByAttendant(int l);
    void completeTransfer();
    void ringStationWith(int s, Party caller);
    void stationAnswers(int s);
    void bookCampOn(int s, Party waiting);
    void campOnsFor(int s);
    void seizeLine(int l, const QString &digits);
    void dialDigit(QChar digit);
    void dialSpeedBin(quint16 bin);
    void startPaging(int zone);
    void lineCallerGivesUp(int l);

    void programmingKey(QChar c);
    bool finishProgramming(const QString &keys, bool *swallowMonitor);
    QList<int> stationRange(const QString &first, const QString &last) const;
    bool splitRange(const QString &digits, QString *first, QString *last, QString *rest) const;
    static QString decodeTextEntry(const QString &pairs, bool *ok);
    void recordProgramming(const QString &keys, const QString &effect);

    void afterStep();
    void refreshLamps();
    void refreshDisplay();
    void sendLamp(int index, Lamp lamp);
    void sendUpperText(const QString &text);
    void sendStationText(const QString &number);
    void sendTime();
    void sendDate();
    void minuteTick();
    void kt(quint8 command, quint8 d1, quint8 d2);
    void notify(const QString &text);
    void speedChanged();

    PbxConfig m_config;
    Scheduler &m_scheduler;
    QRandomGenerator &m_random;
    PbxObserver *m_observer = nullptr;
    std::vector<Station> m_stations;
    std::vector<Line> m_lines;
    QStringList m_coNames;
    int m_own = 0;
    int m_numberWidth = 3;
    Attendant m_atd;
    Scheduler::Id m_atdTimer = 0;
    Scheduler::Id m_minuteTimer = 0;
    QList<QPair<int, Party>> m_campOns; // station, party waiting for it
    QMap<quint16, SpeedBinRecord> m_speed;
    QString m_speedFile;
    quint8 m_dayHour = 8, m_dayMinute = 0, m_nightHour = 18, m_nightMinute = 0;
    quint8 m_music = 1;
    QMap<int, QString> m_messages;
    int m_greeting = 0;
    QStringList m_programmingLog;
    bool m_dateDayFirst = false;
    bool m_time24h = false;
    bool m_swallowMonitor = false;
    qint64 m_clockOffsetMs = 0;
    QDateTime m_clockBase;
    int m_depth = 0;
    std::array<Lamp, kLamps> m_lamps{};
    QString m_shownUpper;
    bool m_timerShown = false;
    int m_timerMinutes = 0;
};

} // namespace pbxsim
