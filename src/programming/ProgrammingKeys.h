#pragma once

#include <QString>

// The key strings of the attendant programming commands: the keys an
// attendant presses on the key telephone to program a setting. T is the
// transfer key, H hold, M monitor; text in braces is entered as letters.
class ProgrammingKeys
{
public:
    // The characters the PBX can show and store in names and messages.
    static const QString &permittedCharacters();

    // A text padded on the left with zeros to width characters.
    static QString zeroPadded(const QString &text, int width);

    static QString clockSetting(int month, int day, int year, int hour24, int minute);
    static QString wakeUp(const QString &first, const QString &last, const QString &hour, const QString &minute,
                          bool daily);
    static QString cancelWakeUp(const QString &first, const QString &last);
    static QString musicSelection(int channel);
    static QString customMessage(const QString &number, const QString &text);
    static QString systemGreetings(const QString &number);
    static QString temporaryCos(const QString &first, const QString &last, bool activate);
    static QString attendantCancel(const QString &first, const QString &last);
    static QString stationName(const QString &station, const QString &name);
    static QString authorisationCode(const QString &station, const QString &code);
    // An unset time is sent as "*".
    static QString dayNight(bool dayOn, const QString &dayHour, const QString &dayMinute, bool nightOn,
                            const QString &nightHour, const QString &nightMinute);
};
