#pragma once

#include "ProgrammingDialog.h"

class LimitedNumberEdit;

// System greetings ("#:atdpgm_rg_recordgreetings"): the announcement 1 to 100 to record.
class SystemGreetingsDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    explicit SystemGreetingsDialog(AttendantProgramming &programming, QWidget *parent = nullptr);

protected:
    bool run() override;

private:
    LimitedNumberEdit *m_number;
};
