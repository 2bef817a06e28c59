#include "AttendantProgramming.h"

#include "ProgrammingKeys.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/Trace.h"
#include "callstate/CExtStatusList.h"
#include "link/CLinkRequest.h"
#include "link/EventBytes.h"

namespace {
const QString InputError = QStringLiteral("#:input_error");
const QString EmptyField = QStringLiteral("#:empty_field_not_allowed");
} // namespace

AttendantProgramming::AttendantProgramming(CLinkRequest &request, const CExtStatusList &stations, OperatorUi &ui,
                                           QObject *parent)
    : QObject(parent)
    , m_request(request)
    , m_stations(stations)
    , m_ui(ui)
{
}

void AttendantProgramming::registerTimeReceiver(TimeReceiver receiver)
{
    if (m_timeRegistrar)
        m_timeRegistrar(std::move(receiver));
}

bool AttendantProgramming::checkAllowed()
{
    if (allowed())
        return true;
    m_ui.showMessage(QStringLiteral("#:cannot_exe_atd_pgm"), QStringLiteral("#:warning_title"),
                     MessageStyle::Exclamation);
    return false;
}

void AttendantProgramming::inputError(const QString &textKey)
{
    m_ui.showMessage(textKey, InputError, MessageStyle::Stop);
}

bool AttendantProgramming::checkFilled(std::initializer_list<QString> fields)
{
    for (const QString &f : fields) {
        if (f.isEmpty()) {
            inputError(EmptyField);
            return false;
        }
    }
    return true;
}

int AttendantProgramming::stationRangeFailures(const QString &first, const QString &last) const
{
    int bits = 0;
    if (!m_stations.numberExists(first))
        bits |= FirstUnknown;
    if (!m_stations.numberExists(last))
        bits |= LastUnknown;
    if (last.toLongLong() < first.toLongLong())
        bits |= Reversed;
    return bits;
}

bool AttendantProgramming::checkStationRange(const QString &first, const QString &last)
{
    const int bits = stationRangeFailures(first, last);
    if (bits == 0)
        return true;
    const MessageCatalogue catalogue;
    QString text = catalogue.text(QStringLiteral("#:input_error_directive")) + QStringLiteral("\r\n");
    if (bits & FirstUnknown)
        text += QStringLiteral("\r\n") + catalogue.text(QStringLiteral("#:first_stn_no_invalid"));
    if (bits & LastUnknown)
        text += QStringLiteral("\r\n") + catalogue.text(QStringLiteral("#:last_stn_no_invalid"));
    if (bits & Reversed)
        text += QStringLiteral("\r\n") + catalogue.text(QStringLiteral("#:first_stn_greater_than_last_stn"));
    m_ui.showFixedMessage(text, catalogue.text(InputError), MessageStyle::Stop);
    return false;
}

bool AttendantProgramming::checkCharacterSet(const QString &text, QString &upper)
{
    upper = text.toUpper();
    QString refused;
    for (const QChar c : upper) {
        if (!ProgrammingKeys::permittedCharacters().contains(c))
            refused += c;
    }
    if (refused.isEmpty())
        return true;
    const MessageCatalogue catalogue;
    m_ui.showFixedMessage(refused + catalogue.text(QStringLiteral("#:not_in_varo_char_set")),
                          catalogue.text(InputError), MessageStyle::Stop);
    return false;
}

bool AttendantProgramming::sendKeys(const QString &keys)
{
    if (m_request.keySequence(keys))
        return true;
    // The PBX never confirms a command, so a dialog that closes tells the
    // operator it was programmed: when the keys did not leave, say so.
    m_ui.showMessage(QStringLiteral("#:atdpgm_not_sent"), QStringLiteral("#:warning_title"),
                     MessageStyle::Exclamation);
    return false;
}

bool AttendantProgramming::runWakeUp(const QString &firstText, const QString &lastText, const QString &hourText,
                                     const QString &minuteText, bool daily)
{
    if (!checkAllowed())
        return false;
    const QString first = firstText.trimmed(), last = lastText.trimmed();
    const QString hour = hourText.trimmed(), minute = minuteText.trimmed();
    if (!checkFilled({first, last, hour, minute}) || !checkStationRange(first, last))
        return false;
    return sendKeys(ProgrammingKeys::wakeUp(first, last, hour, minute, daily));
}

bool AttendantProgramming::runStationWakeUp(const QString &station, const QString &hourText,
                                            const QString &minuteText, bool daily)
{
    if (!checkAllowed())
        return false;
    const QString hour = hourText.trimmed(), minute = minuteText.trimmed();
    if (!checkFilled({hour, minute}))
        return false;
    return sendKeys(ProgrammingKeys::wakeUp(station, station, hour, minute, daily));
}

bool AttendantProgramming::runCancelWakeUp(const QString &firstText, const QString &lastText)
{
    if (!checkAllowed())
        return false;
    const QString first = firstText.trimmed(), last = lastText.trimmed();
    if (!checkFilled({first, last}) || !checkStationRange(first, last))
        return false;
    return sendKeys(ProgrammingKeys::cancelWakeUp(first, last));
}

bool AttendantProgramming::runMusicSelection(int channel)
{
    if (!checkAllowed())
        return false;
    return sendKeys(ProgrammingKeys::musicSelection(channel));
}

bool AttendantProgramming::runCustomMessage(const QString &numberText, const QString &text)
{
    if (!checkAllowed())
        return false;
    const QString number = numberText.trimmed();
    if (number.isEmpty()) {
        inputError(QStringLiteral("#:msg_no_must_be_entered"));
        return false;
    }
    QString upper;
    if (!checkCharacterSet(text.trimmed(), upper))
        return false;
    return sendKeys(ProgrammingKeys::customMessage(number, upper));
}

bool AttendantProgramming::runSystemGreetings(const QString &numberText)
{
    if (!checkAllowed())
        return false;
    const QString number = numberText.trimmed();
    if (!checkFilled({number}))
        return false;
    return sendKeys(ProgrammingKeys::systemGreetings(number));
}

bool AttendantProgramming::runTemporaryCos(const QString &firstText, const QString &lastText, bool activate)
{
    if (!checkAllowed())
        return false;
    const QString first = firstText.trimmed(), last = lastText.trimmed();
    if (!checkFilled({first, last}) || !checkStationRange(first, last))
        return false;
    return sendKeys(ProgrammingKeys::temporaryCos(first, last, activate));
}

bool AttendantProgramming::runAttendantCancel(const QString &firstText, const QString &lastText)
{
    if (!checkAllowed())
        return false;
    const QString first = firstText.trimmed(), last = lastText.trimmed();
    if (!checkFilled({first, last}) || !checkStationRange(first, last))
        return false;
    return sendKeys(ProgrammingKeys::attendantCancel(first, last));
}

bool AttendantProgramming::runStationName(const QString &station, const QString &nameText)
{
    if (!checkAllowed())
        return false;
    const QString name = nameText.trimmed();
    if (!checkFilled({name}))
        return false;
    QString upper;
    if (!checkCharacterSet(name, upper))
        return false;
    return sendKeys(ProgrammingKeys::stationName(station, upper));
}

bool AttendantProgramming::runAuthorisationCode(const QString &station, const QString &codeText)
{
    if (!checkAllowed())
        return false;
    const QString code = codeText.trimmed();
    bool digitsOnly = true;
    for (const QChar c : code)
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (code.isEmpty() || code.size() > 5 || !digitsOnly) {
        inputError(QStringLiteral("#:input_error_content"));
        return false;
    }
    return sendKeys(ProgrammingKeys::authorisationCode(station, code));
}

bool AttendantProgramming::runDayNight(bool dayOn, const QString &dayHourText, const QString &dayMinuteText,
                                       bool nightOn, const QString &nightHourText, const QString &nightMinuteText)
{
    if (!checkAllowed())
        return false;
    const QString dayHour = dayHourText.trimmed(), dayMinute = dayMinuteText.trimmed();
    const QString nightHour = nightHourText.trimmed(), nightMinute = nightMinuteText.trimmed();
    // Only a time that is sent needs its fields: an unchecked time goes out as "*",
    // so a time the PBX never had (empty fields) can stay unset.
    if ((dayOn && !checkFilled({dayHour, dayMinute})) || (nightOn && !checkFilled({nightHour, nightMinute})))
        return false;
    if (!dayOn && !nightOn) {
        inputError(QStringLiteral("#:daynight_check_one_or_both"));
        return false;
    }
    return sendKeys(ProgrammingKeys::dayNight(dayOn, dayHour, dayMinute, nightOn, nightHour, nightMinute));
}

QString AttendantProgramming::stationNumber(quint16 stationIndex) const
{
    const CExtStatus *record = m_stations.record(stationIndex);
    return record ? record->numberText() : QString();
}

void AttendantProgramming::cancelWakeUpOf(quint16 stationIndex)
{
    const QString number = stationNumber(stationIndex);
    if (!number.isEmpty())
        sendKeys(ProgrammingKeys::cancelWakeUp(number, number));
}

void AttendantProgramming::attendantCancelOf(quint16 stationIndex)
{
    const QString number = stationNumber(stationIndex);
    if (!number.isEmpty())
        sendKeys(ProgrammingKeys::attendantCancel(number, number));
}

void AttendantProgramming::queryDayNight(bool dialogWanted)
{
    m_dialogWanted = dialogWanted;
    m_request.ATDI_DayNight();
}

void AttendantProgramming::queryMusic(bool dialogWanted)
{
    m_dialogWanted = dialogWanted;
    m_request.ATDI_BGM();
}

void AttendantProgramming::queryWakeUp(quint16 stationIndex, bool dialogWanted)
{
    m_dialogWanted = dialogWanted;
    m_queriedStation = stationNumber(stationIndex);
    m_request.ATDI_ExtWakeup(quint16(stationIndex + 1));
}

void AttendantProgramming::queryTemporaryCos(quint16 stationIndex)
{
    m_dialogWanted = false;
    m_queriedStation = stationNumber(stationIndex);
    m_tempCosPending = !m_queriedStation.isEmpty();
    m_request.ATDI_ExtTempCos(quint16(stationIndex + 1));
}

int AttendantProgramming::stepChannel(int channel, int delta)
{
    return ((channel + delta) % 10 + 10) % 10;
}

bool AttendantProgramming::takeDialogWanted()
{
    const bool wanted = m_dialogWanted;
    m_dialogWanted = false;
    return wanted;
}

void AttendantProgramming::traceReply(const char *name, const QByteArray &payload, int offset, int size)
{
    if (!Trace::enabled())
        return;
    QString line = QString::fromLatin1(name);
    for (int i = offset; i < offset + size; ++i)
        line += QString::asprintf("%02x ", EventBytes::u8(payload, i));
    Trace::instance().write(2, line);
}

quint16 AttendantProgramming::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    using namespace EventBytes;
    switch (code) {
    case 0x0901: {
        if (!holds(payload, offset, 6))
            return kNotMine;
        traceReply("[Day Night]=>", payload, offset, 6);
        m_dayNight = {u8(payload, offset + 2), u8(payload, offset + 3), u8(payload, offset + 4),
                      u8(payload, offset + 5)};
        ZTRACE(2, "DayHH:%02dMM:%02d NightHH:%02d MM:%02d", m_dayNight.dayHour, m_dayNight.dayMinute,
               m_dayNight.nightHour, m_dayNight.nightMinute);
        if (takeDialogWanted())
            Q_EMIT dayNightDialogWanted();
        return 6;
    }
    case 0x0902: {
        if (!holds(payload, offset, 3))
            return kNotMine;
        traceReply("[ATD BGM]=>", payload, offset, 3);
        m_music = u8(payload, offset + 2);
        if (takeDialogWanted())
            Q_EMIT musicDialogWanted();
        ZTRACE(2, "Music Channel :%02d", m_music);
        return 3;
    }
    case 0x0903: {
        if (!holds(payload, offset, 7))
            return kNotMine;
        traceReply("[ATD EXTWAKEUP]=>", payload, offset, 7);
        m_wakeUp = {u16(payload, offset + 2), u8(payload, offset + 4), u8(payload, offset + 5),
                    u8(payload, offset + 6)};
        // The dialog is for the station that was asked about.
        if (takeDialogWanted() && !m_queriedStation.isEmpty())
            Q_EMIT wakeUpDialogWanted(m_queriedStation);
        return 7;
    }
    case 0x0904: {
        if (!holds(payload, offset, 5))
            return kNotMine;
        traceReply("[ATD EXTTEMPCOS]=>", payload, offset, 5);
        m_tempCosStation = u16(payload, offset + 2);
        m_tempCos = u8(payload, offset + 4);
        // Only the answer to our own query programs a station: a reply nobody
        // asked for has no station to send the command for.
        if (m_tempCosPending) {
            m_tempCosPending = false;
            sendKeys(ProgrammingKeys::temporaryCos(m_queriedStation, m_queriedStation, m_tempCos != 0));
        }
        return 5;
    }
    default:
        return kNotMine;
    }
}
