#include "WakeUpDialog.h"

#include "LimitedNumberEdit.h"

#include "programming/AttendantProgramming.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

WakeUpDialog::WakeUpDialog(AttendantProgramming &programming, const QString &station, QWidget *parent)
    : ProgrammingDialog(programming,
                        station.isEmpty() ? QStringLiteral("#:atdpgm_rw_regwakeup")
                                          : QStringLiteral("#:atdpgm_sw_regwakeup"),
                        parent)
    , m_station(station)
{
    if (station.isEmpty()) {
        m_first = addTextField(QStringLiteral("first"), QStringLiteral("#:atdpgm_first_stn"), 4);
        m_last = addTextField(QStringLiteral("last"), QStringLiteral("#:atdpgm_last_stn"), 4);
    }
    m_hour = addNumberField(QStringLiteral("hour"), QStringLiteral("#:atdpgm_hour24"), 0, 23, 2);
    m_minute = addNumberField(QStringLiteral("minute"), QStringLiteral("#:atdpgm_minute"), 0, 59, 2);
    m_oneTime = new QRadioButton(QStringLiteral("#:atdpgm_one_time"), this);
    m_oneTime->setObjectName(QStringLiteral("oneTime"));
    m_oneTime->setChecked(true);
    m_daily = new QRadioButton(QStringLiteral("#:atdpgm_daily"), this);
    m_daily->setObjectName(QStringLiteral("daily"));
    auto *alarm = new QHBoxLayout;
    alarm->addWidget(m_oneTime);
    alarm->addWidget(m_daily);
    form()->addRow(alarm);
    finish(m_daily);
}

void WakeUpDialog::prefillFromReply()
{
    const AttendantProgramming::WakeUp reply = programming().wakeUp();
    const bool set = reply.alarm != 0 && reply.alarm != 0xFF && reply.hour <= 23 && reply.minute <= 59;
    if (!set)
        return;
    m_hour->setValue(reply.hour);
    m_minute->setValue(reply.minute);
    (reply.alarm == 1 ? m_oneTime : m_daily)->setChecked(true);
}

bool WakeUpDialog::run()
{
    if (m_station.isEmpty())
        return programming().runWakeUp(m_first->text(), m_last->text(), m_hour->edit()->text(),
                                       m_minute->edit()->text(), m_daily->isChecked());
    return programming().runStationWakeUp(m_station, m_hour->edit()->text(), m_minute->edit()->text(),
                                          m_daily->isChecked());
}
