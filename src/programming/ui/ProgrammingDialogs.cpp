#include "ProgrammingDialogs.h"

#include "AuthorisationCodeDialog.h"
#include "ClockSettingDialog.h"
#include "CustomMessageDialog.h"
#include "DayNightDialog.h"
#include "MusicSelectionDialog.h"
#include "StationNameDialog.h"
#include "StationRangeDialog.h"
#include "SystemGreetingsDialog.h"
#include "WakeUpDialog.h"

#include "programming/AttendantProgramming.h"

#include <QDialog>
#include <QWidget>

ProgrammingDialogs &ProgrammingDialogs::of(QWidget *window, AttendantProgramming &programming, TimerHost &timers,
                                           const Clock &clock)
{
    if (auto *existing = window->findChild<ProgrammingDialogs *>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new ProgrammingDialogs(window, programming, timers, clock);
}

ProgrammingDialogs::ProgrammingDialogs(QWidget *window, AttendantProgramming &programming, TimerHost &timers,
                                       const Clock &clock)
    : QObject(window)
    , m_window(window)
    , m_programming(programming)
    , m_timers(timers)
    , m_clock(clock)
{
    connect(&programming, &AttendantProgramming::dayNightDialogWanted, this, &ProgrammingDialogs::openDayNight);
    connect(&programming, &AttendantProgramming::musicDialogWanted, this, &ProgrammingDialogs::openMusicSelection);
    connect(&programming, &AttendantProgramming::wakeUpDialogWanted, this, &ProgrammingDialogs::openStationWakeUp);
}

QWidget *ProgrammingDialogs::show(QWidget *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    static_cast<QDialog *>(dialog)->open();
    return dialog;
}

QWidget *ProgrammingDialogs::openClockSetting()
{
    return show(new ClockSettingDialog(m_programming, m_timers, m_clock, m_window));
}

QWidget *ProgrammingDialogs::openWakeUp()
{
    return show(new WakeUpDialog(m_programming, QString(), m_window));
}

QWidget *ProgrammingDialogs::openCancelWakeUp()
{
    return show(new StationRangeDialog(m_programming, StationRangeDialog::Command::CancelWakeUp, m_window));
}

void ProgrammingDialogs::musicSelection()
{
    m_programming.queryMusic(true);
}

QWidget *ProgrammingDialogs::openCustomMessage()
{
    return show(new CustomMessageDialog(m_programming, m_window));
}

QWidget *ProgrammingDialogs::openSystemGreetings()
{
    return show(new SystemGreetingsDialog(m_programming, m_window));
}

QWidget *ProgrammingDialogs::openTemporaryCos()
{
    return show(new StationRangeDialog(m_programming, StationRangeDialog::Command::TemporaryCos, m_window));
}

QWidget *ProgrammingDialogs::openAttendantCancel()
{
    return show(new StationRangeDialog(m_programming, StationRangeDialog::Command::AttendantCancel, m_window));
}

QWidget *ProgrammingDialogs::openStationName(const QString &station)
{
    return show(new StationNameDialog(m_programming, station, m_window));
}

QWidget *ProgrammingDialogs::openAuthorisationCode(const QString &station)
{
    return show(new AuthorisationCodeDialog(m_programming, station, m_window));
}

QWidget *ProgrammingDialogs::openMusicSelection()
{
    return show(new MusicSelectionDialog(m_programming, m_window));
}

QWidget *ProgrammingDialogs::openDayNight()
{
    return show(new DayNightDialog(m_programming, m_window));
}

QWidget *ProgrammingDialogs::openStationWakeUp(const QString &station)
{
    auto *dialog = new WakeUpDialog(m_programming, station, m_window);
    dialog->prefillFromReply();
    return show(dialog);
}
