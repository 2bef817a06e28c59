#pragma once

#include "ProgrammingDialog.h"

class Clock;
class ClockSetting;
class LimitedNumberEdit;
class QLabel;
class QRadioButton;
class TimerHost;

// Clock setting ("#:atdpgm_cs_clock_setting"): the date and time to give the
// PBX, from this computer's clock or from the PBX's own; the label shows the
// setting the fields hold once Adapt is pressed.
class ClockSettingDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    ClockSettingDialog(AttendantProgramming &programming, TimerHost &timers, const Clock &clock,
                       QWidget *parent = nullptr);

    ClockSetting &setting() const { return *m_setting; }
    // Adapt: the fields go to the setting; a field without a value beeps.
    bool adapt();
    void reject() override;

protected:
    bool run() override;

private:
    void showFields();
    void limitDay();
    void askAgain();

    ClockSetting *m_setting;
    LimitedNumberEdit *m_year;
    LimitedNumberEdit *m_month;
    LimitedNumberEdit *m_day;
    LimitedNumberEdit *m_hour;
    LimitedNumberEdit *m_minute;
    QRadioButton *m_am;
    QRadioButton *m_pm;
    QRadioButton *m_pc;
    QRadioButton *m_pbx;
    QLabel *m_label;
};
