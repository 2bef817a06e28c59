#include "ProgrammingKeys.h"

const QString &ProgrammingKeys::permittedCharacters()
{
    static const QString set = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 .,:");
    return set;
}

QString ProgrammingKeys::zeroPadded(const QString &text, int width)
{
    return text.rightJustified(width, QLatin1Char('0'));
}

QString ProgrammingKeys::clockSetting(int month, int day, int year, int hour24, int minute)
{
    return QString::asprintf("T041%02d%02d%02dH%02d%02dH", month, day, year, hour24, minute);
}

QString ProgrammingKeys::wakeUp(const QString &first, const QString &last, const QString &hour,
                                const QString &minute, bool daily)
{
    return QStringLiteral("T042") + first + last + zeroPadded(hour, 2) + zeroPadded(minute, 2)
        + (daily ? QStringLiteral("#") : QString()) + QStringLiteral("H");
}

QString ProgrammingKeys::cancelWakeUp(const QString &first, const QString &last)
{
    return QStringLiteral("T043") + first + last + QStringLiteral("H");
}

QString ProgrammingKeys::musicSelection(int channel)
{
    return QString::asprintf("T075%02dH", channel);
}

QString ProgrammingKeys::customMessage(const QString &number, const QString &text)
{
    return QStringLiteral("T053") + number + QLatin1Char('{') + text + QStringLiteral("}HM");
}

QString ProgrammingKeys::systemGreetings(const QString &number)
{
    // The PBX starts the recording at once: no closing hold key.
    return QStringLiteral("T06") + zeroPadded(number, 3);
}

QString ProgrammingKeys::temporaryCos(const QString &first, const QString &last, bool activate)
{
    return (activate ? QStringLiteral("T021") : QStringLiteral("T022")) + first + last + QStringLiteral("H");
}

QString ProgrammingKeys::attendantCancel(const QString &first, const QString &last)
{
    return QStringLiteral("T071") + first + last + QStringLiteral("H");
}

QString ProgrammingKeys::stationName(const QString &station, const QString &name)
{
    return QStringLiteral("T072") + station + QLatin1Char('{') + name + QStringLiteral("}HM");
}

QString ProgrammingKeys::authorisationCode(const QString &station, const QString &code)
{
    return QStringLiteral("T031") + station + code + QStringLiteral("H");
}

QString ProgrammingKeys::dayNight(bool dayOn, const QString &dayHour, const QString &dayMinute, bool nightOn,
                                  const QString &nightHour, const QString &nightMinute)
{
    QString keys = QStringLiteral("T#9");
    keys += dayOn ? zeroPadded(dayHour, 2) + zeroPadded(dayMinute, 2) : QStringLiteral("*");
    keys += nightOn ? zeroPadded(nightHour, 2) + zeroPadded(nightMinute, 2) + QStringLiteral("H") : QStringLiteral("*H");
    return keys;
}
