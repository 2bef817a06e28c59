#pragma once

#include <QObject>
#include <QString>

class AttendantProgramming;
class Clock;
class QWidget;
class TimerHost;

// Opens the programming dialogs over a window: those of the menu commands and
// the station pop-up, and those that the PBX's replies open when a query
// wanted them. Every dialog opens with open() and deletes itself on closing,
// so a reply never waits on the operator.
class ProgrammingDialogs : public QObject
{
    Q_OBJECT
public:
    // The one opener of the window, made on first use.
    static ProgrammingDialogs &of(QWidget *window, AttendantProgramming &programming, TimerHost &timers,
                                  const Clock &clock);

    ProgrammingDialogs(QWidget *window, AttendantProgramming &programming, TimerHost &timers, const Clock &clock);

    // Programming menu.
    QWidget *openClockSetting();
    QWidget *openWakeUp();
    QWidget *openCancelWakeUp();
    // Asks the PBX for its channel; the dialog opens with the reply.
    void musicSelection();
    QWidget *openCustomMessage();
    QWidget *openSystemGreetings();
    QWidget *openTemporaryCos();
    QWidget *openAttendantCancel();

    // Station pop-up, for the station's number.
    QWidget *openStationName(const QString &station);
    QWidget *openAuthorisationCode(const QString &station);

    // Opened by the replies.
    QWidget *openMusicSelection();
    QWidget *openDayNight();
    QWidget *openStationWakeUp(const QString &station);

private:
    QWidget *show(QWidget *dialog);

    QWidget *m_window;
    AttendantProgramming &m_programming;
    TimerHost &m_timers;
    const Clock &m_clock;
};
