#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

class AttendantProgramming;
class Clock;
class TimerHost;

// The clock-setting command: the date and time shown in the dialog, taken
// from this computer's clock or asked of the PBX. The PBX gets 500 ms to
// answer and one more try; then the operator decides whether to ask again.
class ClockSetting : public QObject
{
    Q_OBJECT
public:
    // The timer of the PBX-time request (the main window's timers 1 to 18 stop at exit).
    static constexpr int kTimerId = 16;
    static constexpr int kRequestMs = 500;

    enum class Source { Pc, Pbx };

    struct Fields
    {
        int year = 0; // two digits
        int month = 1;
        int day = 1;
        int hour = 12; // 1 to 12
        bool pm = false;
        int minute = 0;
    };

    ClockSetting(AttendantProgramming &programming, TimerHost &timers, const Clock &clock,
                 QObject *parent = nullptr);
    ~ClockSetting() override;

    Source source() const { return m_source; }
    const Fields &fields() const { return m_fields; }
    void setFields(const Fields &fields) { m_fields = fields; }
    bool waitingForPbx() const;

    // Fills the fields from this computer's clock.
    void selectPcTime();
    // Asks the PBX for its time; the fields follow when it answers.
    void selectPbxTime();
    // The PBX's date and time arrived.
    void pbxTimeReceived(const QDateTime &time);
    // The operator's answer to noResponse(): ask again, or take this computer's time.
    void answerNoResponse(bool askAgain);

    // "%d/%d/%d %d:%d %s": the setting the fields hold.
    QString label() const;
    // Days of the month; February has 29 when the two-digit year divides by 4.
    static int monthLength(int month, int year);
    static Fields fieldsFrom(const QDateTime &time);
    static int hour24(int hour12, bool pm);

    // OK: after the programming-allowed test, the keys go out; true when the dialog closes.
    bool run();
    // Cancel: a pending request is given up.
    void cancel();

Q_SIGNALS:
    void fieldsChanged();
    void sourceChanged(Source source);
    // The PBX did not answer twice: ask the operator (without waiting in the timer).
    void noResponse();

private:
    void sendRequest();
    void timerExpired();
    void setSource(Source source);

    AttendantProgramming &m_programming;
    TimerHost &m_timers;
    const Clock &m_clock;
    Source m_source = Source::Pc;
    Fields m_fields;
    int m_expiries = 0;
    bool m_asking = false;
};
