#pragma once

#include <QObject>
#include <QString>

class TimerHost;

// The two-line display of the key telephone. The PBX writes it with display
// characters (text, escapes with arguments, screen commands) and display
// commands; the model turns them into the three fields of the display bar:
// the upper line (24 characters) and the lower line's left and right halves
// (12 each). It runs the call timer (id 11) and the colon blink (id 13) on the
// injected timer host and learns the date-format and time-format states.
// One model lives for the whole run; its texts survive a log-off.
class KeyDisplay : public QObject
{
    Q_OBJECT
public:
    // Where a text goes: 1 upper and lower line in slices of 12, 2 the upper
    // line, 3 the lower line from its left half, 4 the lower right half.
    enum Part { Whole = 1, Upper = 2, LowerLeft = 3, LowerRight = 4 };
    // Date- and time-format states: 0 unknown, 1 or 2.
    static constexpr int FormatUnknown = 0;
    static constexpr int FieldWidth = 12;
    static constexpr int UpperWidth = 24;
    // A text that only ever grows (text mode, escape 0xC4) stops growing
    // here, far beyond the 24 characters the widest field shows.
    static constexpr int MaxCurrentText = 512;

    explicit KeyDisplay(TimerHost &timers, QObject *parent = nullptr);
    ~KeyDisplay() override;

    void displayCharacter(quint8 b);
    // Commands 0x41, 0x50, 0x51, 0x53, 0x54 and 0x55; others do nothing.
    void displayCommand(quint8 cmd, quint8 d1, quint8 d2);
    // Command 0x42: which of the display timers keep running.
    void timerControl(quint8 d1);

    // Log-off: both timers stop, the blink flag is cleared and the fields emptied.
    void logOffReset();

    QString upperLine() const { return m_upper; }
    QString lowerLeft() const { return m_lowerLeft; }
    QString lowerRight() const { return m_lowerRight; }
    int currentPart() const { return m_part; }
    QString currentText() const { return m_current; }

    int dateFormatState() const { return m_dateFormat; }
    int timeFormatState() const { return m_timeFormat; }
    // The DATE FORMAT and TIME FORMAT commands swap the state they sent.
    void setDateFormatState(int state);
    void setTimeFormatState(int state);

    bool blinkFlag() const { return m_blink; }
    bool callTimerFlag() const { return m_callTimerOn; }

    // A display argument byte as text: two characters from the high and the
    // low nibble (0-9 digits, 0xA "0", 0xB "*", 0xC "#", 0xD blank, 0xE
    // nothing, 0xF ".").
    static QString convertArgument(quint8 b);

Q_SIGNALS:
    // One or more of the three fields changed.
    void fieldsChanged();
    void formatStatesChanged();

private:
    void show(int part, const QString &text);
    void writeField(int part, const QString &text);
    QString &field(int part);
    void append(const QString &text);
    void startEscape(quint8 b);
    void escapeArgument(quint8 b);
    void screenCommand(quint8 b);
    void endEscape() { m_escapePending = false; }

    QString stationText() const;
    // The date text in date-format state 1 or, for any other state, 2; empty
    // when the month number is not 1 to 12 (nothing is then shown).
    QString dateText(int state) const;
    QString timeText() const;
    QString callTimerText();

    void startCallTimer();
    void stopCallTimer();
    void startBlink();
    void stopBlink();
    void callTimerTick();
    void blinkTick();
    void setFormat(int &state, int value);

    TimerHost &m_timers;

    QString m_upper;
    QString m_lowerLeft;
    QString m_lowerRight;

    QString m_current;
    int m_part = Upper;
    bool m_textMode = false;
    bool m_escapePending = false;
    quint8 m_escapeCode = 0;
    int m_remaining = 0;

    QString m_date1 = QStringLiteral("01");
    QString m_month = QStringLiteral("01");
    QString m_date3 = QStringLiteral("01");
    QString m_hour = QStringLiteral("01");
    QString m_minute = QStringLiteral("01");
    QString m_amPm;
    QString m_m;
    QString m_stationNumber = QStringLiteral("0001");
    QString m_name = QStringLiteral(" ");

    int m_callHour = 0;
    int m_callMinute = 0;
    int m_callSeconds = 0;
    int m_callPart = Upper;
    bool m_callTimerOn = false;
    bool m_callTimerPending = false;

    bool m_blink = false;
    bool m_blinkStar = true;
    int m_dateFormat = FormatUnknown;
    int m_timeFormat = FormatUnknown;
};
