#include "KeyDisplay.h"

#include "base/TimerHost.h"
#include "base/TimerIds.h"

namespace {

constexpr int kCallTimerMs = 1000;
constexpr int kBlinkMs = 500;
// Escape 0xC4 takes arguments until a reset; its count never runs out.
constexpr int kUnbounded = 1 << 30;

const char *const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

int number(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok ? n : 0;
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

QString byteChar(quint8 b)
{
    return QString(QChar::fromLatin1(char(b)));
}

QChar nibbleChar(int n, bool &none)
{
    none = false;
    if (n <= 9)
        return QLatin1Char(char('0' + n));
    switch (n) {
    case 0xA:
        return QLatin1Char('0');
    case 0xB:
        return QLatin1Char('*');
    case 0xC:
        return QLatin1Char('#');
    case 0xD:
        return QLatin1Char(' ');
    case 0xE:
        none = true;
        return {};
    default:
        return QLatin1Char('.');
    }
}

} // namespace

KeyDisplay::KeyDisplay(TimerHost &timers, QObject *parent)
    : QObject(parent)
    , m_timers(timers)
{
    m_timers.setHandler(TimerId::CallTimer, [this](int) { callTimerTick(); });
    m_timers.setHandler(TimerId::Blink, [this](int) { blinkTick(); });
}

KeyDisplay::~KeyDisplay()
{
    m_timers.stop(TimerId::CallTimer);
    m_timers.stop(TimerId::Blink);
    m_timers.clearHandler(TimerId::CallTimer);
    m_timers.clearHandler(TimerId::Blink);
}

QString KeyDisplay::convertArgument(quint8 b)
{
    QString out;
    for (const int n : {b >> 4, b & 0xF}) {
        bool none = false;
        const QChar c = nibbleChar(n, none);
        if (!none)
            out.append(c);
    }
    return out;
}

void KeyDisplay::displayCharacter(quint8 b)
{
    if (b == 0xFF) {
        m_textMode = true;
        m_escapePending = false;
        m_current.clear();
        return;
    }
    if (b >= 0x80 && b <= 0x87 && m_textMode) {
        append(blanks(b - 0x80 + 2));
        show(m_part, m_current);
        m_escapePending = false;
        return;
    }
    if (!m_escapePending) {
        if (b >= 0x80 && b <= 0xBF)
            return;
        if (b >= 0xC0 && b <= 0xC7) {
            startEscape(b);
            return;
        }
        if (b >= 0xC8) {
            screenCommand(b);
            return;
        }
    }
    if (m_textMode) {
        if (b >= 0x20 && b <= 0x7F) {
            append(byteChar(b));
            show(m_part, m_current);
        }
        m_remaining = 0;
        return;
    }
    escapeArgument(b);
}

void KeyDisplay::startEscape(quint8 b)
{
    switch (b) {
    case 0xC1:
        m_remaining = 3;
        break;
    case 0xC2:
        m_remaining = 4;
        break;
    case 0xC3:
    case 0xC7:
        m_remaining = 1;
        break;
    case 0xC4:
        m_remaining = kUnbounded;
        break;
    case 0xC5:
    case 0xC6:
        m_remaining = 2;
        break;
    default:
        break;
    }
    m_escapeCode = b;
    // The call timer's escape keeps the text it is written after.
    if (b != 0xC6)
        m_current.clear();
    m_textMode = false;
    m_escapePending = true;
}

void KeyDisplay::escapeArgument(quint8 b)
{
    const int n = m_remaining;
    switch (m_escapeCode) {
    case 0xC1:
        if (n == 3) {
            m_date1 = convertArgument(b);
        } else if (n == 2) {
            m_month = convertArgument(b);
        } else if (n == 1) {
            m_date3 = convertArgument(b);
            endEscape();
        }
        --m_remaining;
        break;
    case 0xC2:
        if (n == 4) {
            m_hour = convertArgument(b);
        } else if (n == 3) {
            m_minute = convertArgument(b);
        } else if (n == 2) {
            m_amPm = byteChar(b);
        } else if (n == 1) {
            m_m = byteChar(b);
            endEscape();
            if (b == 'm')
                setFormat(m_timeFormat, 1);
            else if (b == ' ')
                setFormat(m_timeFormat, 2);
        }
        --m_remaining;
        break;
    case 0xC3:
        if (n >= 1) {
            m_minute = convertArgument(b);
            --m_remaining;
            endEscape();
        }
        break;
    case 0xC4:
        append(convertArgument(b));
        show(m_part, m_current);
        break;
    case 0xC5:
        if (n == 2) {
            m_current = convertArgument(b);
        } else if (n == 1) {
            m_stationNumber = m_current + convertArgument(b);
            endEscape();
        }
        --m_remaining;
        break;
    case 0xC6:
        if (n == 2) {
            startCallTimer();
            m_callMinute = number(convertArgument(b));
        } else if (n == 1) {
            m_callHour = number(convertArgument(b));
            m_callSeconds = 0;
            endEscape();
            if (m_callTimerPending)
                m_callTimerPending = false;
            else
                m_textMode = true;
            show(m_callPart, callTimerText());
        }
        --m_remaining;
        break;
    case 0xC7: {
        int part = 0;
        int column = b;
        if (column < UpperWidth) {
            part = Upper;
        } else if (column < UpperWidth + FieldWidth) {
            part = LowerLeft;
            column -= UpperWidth;
        } else if (column < UpperWidth + 2 * FieldWidth) {
            part = LowerRight;
            column -= UpperWidth + FieldWidth;
        }
        // A column beyond the display leaves the display as it was.
        if (part != 0) {
            m_part = part;
            // Padded, so that the text that follows lands at the column even
            // in a field that is shorter.
            m_current = field(part).left(column).leftJustified(column, QLatin1Char(' '));
            show(part, m_current);
        }
        m_textMode = true;
        --m_remaining;
        endEscape();
        break;
    }
    default:
        // 0xC0 and no escape yet: the arguments change nothing.
        break;
    }
}

void KeyDisplay::screenCommand(quint8 b)
{
    QString text;
    switch (b) {
    case 200:
        text = stationText();
        m_part = Upper;
        m_textMode = false;
        break;
    case 201:
        text = dateText(2);
        m_part = LowerLeft;
        m_textMode = false;
        setFormat(m_dateFormat, 2);
        break;
    case 202:
        text = dateText(1);
        m_part = LowerLeft;
        m_textMode = false;
        setFormat(m_dateFormat, 1);
        break;
    case 203:
        text = timeText();
        m_part = LowerRight;
        m_textMode = false;
        if (m_blink)
            startBlink();
        break;
    case 204:
        m_textMode = false;
        m_callPart = m_part;
        m_callTimerOn = true;
        m_callTimerPending = true;
        break;
    case 205:
        text = blanks(UpperWidth);
        m_part = Upper;
        m_textMode = true;
        break;
    case 207:
        text = blanks(FieldWidth);
        m_part = LowerLeft;
        m_textMode = true;
        break;
    case 208:
        text = blanks(FieldWidth);
        m_part = LowerRight;
        m_textMode = true;
        if (m_blink)
            stopBlink();
        break;
    case 209:
        text = blanks(2 * UpperWidth);
        m_part = Whole;
        m_textMode = true;
        break;
    default:
        break;
    }
    // A date with a month outside 1 to 12 is not shown.
    const bool undated = (b == 201 || b == 202) && text.isEmpty();
    if (b != 204 && !undated)
        show(m_part, text);
    m_current.clear();
    m_escapePending = false;
    if (b != 204 && m_callTimerOn && m_callPart == m_part) {
        stopCallTimer();
        m_callTimerOn = false;
    }
}

void KeyDisplay::displayCommand(quint8 cmd, quint8 d1, quint8 d2)
{
    switch (cmd) {
    case 0x41:
        if (d1 == 0) {
            if (d2 < 1 || d2 > 3)
                return;
            static constexpr int parts[] = {Upper, LowerLeft, LowerRight};
            m_part = parts[d2 - 1];
            m_textMode = true;
            m_current.clear();
            if (d2 == 3) {
                m_callTimerOn = false;
                if (m_blink)
                    stopBlink();
            }
            show(m_part, blanks(d2 == 1 ? UpperWidth : FieldWidth));
        } else if (d1 >= 2 && d1 <= 5) {
            m_part = LowerRight;
            m_textMode = true;
            m_callTimerOn = false;
            m_current.clear();
            show(LowerRight, timeText());
            if (m_blink)
                startBlink();
        } else if (d1 == 11) {
            m_part = LowerLeft;
            m_textMode = true;
            m_current.clear();
            m_escapePending = false;
            const QString date = dateText(m_dateFormat);
            if (!date.isEmpty())
                show(LowerLeft, date);
        }
        break;
    case 0x50:
        m_date3 = convertArgument(d2);
        m_part = LowerLeft;
        break;
    case 0x51: {
        m_month = convertArgument(d1);
        m_date1 = convertArgument(d2);
        m_escapePending = false;
        const QString date = dateText(m_dateFormat);
        if (!date.isEmpty())
            show(m_part, date);
        break;
    }
    case 0x53:
        m_hour = convertArgument(d1);
        m_minute = convertArgument(d2);
        m_part = LowerRight;
        break;
    case 0x54:
        m_amPm = byteChar(d1);
        m_m = byteChar(d2);
        m_escapePending = false;
        m_callTimerOn = false;
        m_textMode = false;
        show(m_part, timeText());
        if (m_blink)
            startBlink();
        setFormat(m_timeFormat, (d1 == 'a' || d1 == 'p') ? 1 : 2);
        break;
    case 0x55:
        startCallTimer();
        m_callPart = LowerRight;
        m_callTimerOn = true;
        m_callMinute = number(convertArgument(d1));
        m_callHour = number(convertArgument(d2));
        m_callSeconds = 0;
        show(LowerRight, callTimerText());
        break;
    default:
        break;
    }
}

void KeyDisplay::timerControl(quint8 d1)
{
    if ((d1 & 0x05) == 0)
        stopCallTimer();
    if (d1 & 0x10) {
        m_blink = true;
    } else if (m_blink) {
        stopBlink();
        m_blink = false;
    }
}

void KeyDisplay::logOffReset()
{
    stopCallTimer();
    stopBlink();
    m_blink = false;
    if (m_upper.isEmpty() && m_lowerLeft.isEmpty() && m_lowerRight.isEmpty())
        return;
    m_upper.clear();
    m_lowerLeft.clear();
    m_lowerRight.clear();
    Q_EMIT fieldsChanged();
}

void KeyDisplay::setDateFormatState(int state)
{
    setFormat(m_dateFormat, state);
}

void KeyDisplay::setTimeFormatState(int state)
{
    setFormat(m_timeFormat, state);
}

void KeyDisplay::setFormat(int &state, int value)
{
    if (state == value)
        return;
    state = value;
    Q_EMIT formatStatesChanged();
}

QString &KeyDisplay::field(int part)
{
    switch (part) {
    case LowerLeft:
        return m_lowerLeft;
    case LowerRight:
        return m_lowerRight;
    default:
        return m_upper;
    }
}

void KeyDisplay::show(int part, const QString &text)
{
    const QString upper = m_upper, left = m_lowerLeft, right = m_lowerRight;
    switch (part) {
    case Whole:
        m_upper = text.left(FieldWidth);
        if (text.size() > FieldWidth)
            m_lowerLeft = text.mid(FieldWidth, FieldWidth);
        if (text.size() > 2 * FieldWidth)
            m_lowerRight = text.mid(2 * FieldWidth, FieldWidth);
        break;
    case Upper:
        m_upper = text;
        break;
    case LowerLeft:
        m_lowerLeft = text.left(FieldWidth);
        if (text.size() > FieldWidth)
            m_lowerRight = text.mid(FieldWidth, FieldWidth);
        break;
    case LowerRight:
        m_lowerRight = text;
        break;
    default:
        return;
    }
    if (m_upper != upper || m_lowerLeft != left || m_lowerRight != right)
        Q_EMIT fieldsChanged();
}

void KeyDisplay::writeField(int part, const QString &text)
{
    QString &f = field(part);
    if (f == text)
        return;
    f = text;
    Q_EMIT fieldsChanged();
}

void KeyDisplay::append(const QString &text)
{
    m_current.append(text.left(MaxCurrentText - int(m_current.size())));
}

QString KeyDisplay::stationText() const
{
    return QStringLiteral("    STATION ") + m_stationNumber + QStringLiteral("  (") + m_name + QLatin1Char(')');
}

QString KeyDisplay::dateText(int state) const
{
    const int month = number(m_month);
    if (month < 1 || month > 12)
        return {};
    const QString name = QLatin1String(kMonths[month - 1]);
    const QChar sp = QLatin1Char(' ');
    if (state == 1)
        return sp + m_date1 + sp + name + sp + m_date3;
    return sp + name + sp + m_date1 + sp + m_date3;
}

QString KeyDisplay::timeText() const
{
    return blanks(m_m == QLatin1String("m") ? 3 : 6) + m_hour + QLatin1Char(':') + m_minute + QLatin1Char(' ') + m_amPm
           + m_m;
}

QString KeyDisplay::callTimerText()
{
    // The seconds stop at 59 until the PBX sends the time again.
    if (m_callSeconds > 58)
        m_callSeconds = 59;
    const QString lead = m_callPart == LowerRight ? blanks(3) : m_callPart == LowerLeft ? blanks(1) : QString();
    return lead + QString::asprintf("%02d:%02d:%02d", m_callHour, m_callMinute, m_callSeconds);
}

void KeyDisplay::startCallTimer()
{
    m_timers.start(TimerId::CallTimer, kCallTimerMs);
}

void KeyDisplay::stopCallTimer()
{
    m_timers.stop(TimerId::CallTimer);
}

void KeyDisplay::startBlink()
{
    m_blinkStar = true;
    m_timers.start(TimerId::Blink, kBlinkMs);
}

void KeyDisplay::stopBlink()
{
    m_timers.stop(TimerId::Blink);
}

void KeyDisplay::callTimerTick()
{
    ++m_callSeconds;
    writeField(m_callPart, callTimerText());
}

void KeyDisplay::blinkTick()
{
    if (m_lowerRight.size() < 3)
        return;
    QString text = m_lowerRight;
    text[2] = m_blinkStar ? QLatin1Char('*') : QLatin1Char(' ');
    m_blinkStar = !m_blinkStar;
    writeField(LowerRight, text);
}
