#pragma once

#include "ProgrammingDialog.h"

class LimitedNumberEdit;
class QLineEdit;
class QRadioButton;

// Wake-up call: for a range of stations ("#:atdpgm_rw_regwakeup"), or for
// one station from its pop-up ("#:atdpgm_sw_regwakeup"), pre-filled from the
// PBX's reply about that station.
class WakeUpDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    // An empty station makes the range dialog.
    WakeUpDialog(AttendantProgramming &programming, const QString &station, QWidget *parent = nullptr);

    QString station() const { return m_station; }
    // Takes the hour, minute and alarm type of the last wake-up reply.
    void prefillFromReply();

protected:
    bool run() override;

private:
    QString m_station;
    QLineEdit *m_first = nullptr;
    QLineEdit *m_last = nullptr;
    LimitedNumberEdit *m_hour = nullptr;
    LimitedNumberEdit *m_minute = nullptr;
    QRadioButton *m_oneTime = nullptr;
    QRadioButton *m_daily = nullptr;
};
