#pragma once

#include "ProgrammingDialog.h"

class LimitedNumberEdit;
class QLineEdit;

// Custom message ("#:atdpgm_cm_custommsg"): message number 11 to 20 and a
// text of up to 24 characters; Clear empties the text.
class CustomMessageDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    explicit CustomMessageDialog(AttendantProgramming &programming, QWidget *parent = nullptr);

protected:
    bool run() override;

private:
    LimitedNumberEdit *m_number;
    QLineEdit *m_text;
};
