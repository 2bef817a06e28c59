#pragma once

#include "ProgrammingDialog.h"

class LimitedNumberEdit;
class QCheckBox;

// Day and night times ("#:atdpgm_dnm_daynightmode"), pre-filled from the
// PBX's last day/night reply: a time the PBX has not set starts unchecked
// and empty. Each check box enables its hour and minute.
class DayNightDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    explicit DayNightDialog(AttendantProgramming &programming, QWidget *parent = nullptr);

protected:
    bool run() override;

private:
    struct Time
    {
        QCheckBox *on = nullptr;
        LimitedNumberEdit *hour = nullptr;
        LimitedNumberEdit *minute = nullptr;
    };
    Time addTime(const QString &name, const QString &labelKey, quint8 hour, quint8 minute);

    Time m_day;
    Time m_night;
};
