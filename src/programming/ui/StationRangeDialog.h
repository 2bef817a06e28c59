#pragma once

#include "ProgrammingDialog.h"

class QLineEdit;
class QRadioButton;

// The commands for a range of stations given by their first and last number:
// cancel wake-up ("#:atdpgm_cw_cancelwakeup"), temporary class of service
// with its setting ("#:atdpgm_tc_tempcos") and attendant cancel ("#:atdpgm_ac_atdcancel").
class StationRangeDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    enum class Command { CancelWakeUp, TemporaryCos, AttendantCancel };

    StationRangeDialog(AttendantProgramming &programming, Command command, QWidget *parent = nullptr);

    Command command() const { return m_command; }

protected:
    bool run() override;

private:
    Command m_command;
    QLineEdit *m_first;
    QLineEdit *m_last;
    QRadioButton *m_activate = nullptr;
};
