#include "DayNightDialog.h"

#include "LimitedNumberEdit.h"

#include "programming/AttendantProgramming.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>

DayNightDialog::DayNightDialog(AttendantProgramming &programming, QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_dnm_daynightmode"), parent)
{
    const AttendantProgramming::DayNight reply = programming.dayNight();
    m_day = addTime(QStringLiteral("day"), QStringLiteral("#:atdpgm_day_time"), reply.dayHour, reply.dayMinute);
    m_night = addTime(QStringLiteral("night"), QStringLiteral("#:atdpgm_night_time"), reply.nightHour,
                      reply.nightMinute);
    finish(m_night.minute->edit());
}

DayNightDialog::Time DayNightDialog::addTime(const QString &name, const QString &labelKey, quint8 hour,
                                             quint8 minute)
{
    Time t;
    t.on = new QCheckBox(labelKey, this);
    t.on->setObjectName(name);
    form()->addRow(t.on);
    t.hour = addNumberField(name + QStringLiteral("Hour"), QStringLiteral("#:atdpgm_hour24"), 0, 23, 2);
    t.minute = addNumberField(name + QStringLiteral("Minute"), QStringLiteral("#:atdpgm_minute"), 0, 59, 2);
    // 0xFF: the PBX has no such time; any other hour beyond the day is not one either.
    const bool set = hour <= 23;
    if (set) {
        t.hour->setValue(hour);
        t.minute->setValue(minute <= 59 ? std::optional<int>(minute) : std::nullopt);
    } else {
        t.hour->setValue(std::nullopt);
        t.minute->setValue(std::nullopt);
    }
    t.on->setChecked(set);
    t.hour->edit()->setEnabled(set);
    t.minute->edit()->setEnabled(set);
    QLineEdit *h = t.hour->edit();
    QLineEdit *m = t.minute->edit();
    connect(t.on, &QCheckBox::toggled, this, [h, m](bool on) {
        h->setEnabled(on);
        m->setEnabled(on);
    });
    return t;
}

bool DayNightDialog::run()
{
    return programming().runDayNight(m_day.on->isChecked(), m_day.hour->edit()->text(),
                                     m_day.minute->edit()->text(), m_night.on->isChecked(),
                                     m_night.hour->edit()->text(), m_night.minute->edit()->text());
}
