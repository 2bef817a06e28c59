#include "StationRangeDialog.h"

#include "programming/AttendantProgramming.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace {
QString titleOf(StationRangeDialog::Command command)
{
    switch (command) {
    case StationRangeDialog::Command::CancelWakeUp:
        return QStringLiteral("#:atdpgm_cw_cancelwakeup");
    case StationRangeDialog::Command::TemporaryCos:
        return QStringLiteral("#:atdpgm_tc_tempcos");
    case StationRangeDialog::Command::AttendantCancel:
        break;
    }
    return QStringLiteral("#:atdpgm_ac_atdcancel");
}
} // namespace

StationRangeDialog::StationRangeDialog(AttendantProgramming &programming, Command command, QWidget *parent)
    : ProgrammingDialog(programming, titleOf(command), parent)
    , m_command(command)
    , m_first(addTextField(QStringLiteral("first"), QStringLiteral("#:atdpgm_first_stn"), 4))
    , m_last(addTextField(QStringLiteral("last"), QStringLiteral("#:atdpgm_last_stn"), 4))
{
    QWidget *lastField = m_last;
    if (command == Command::TemporaryCos) {
        m_activate = new QRadioButton(QStringLiteral("#:atdpgm_activate"), this);
        m_activate->setObjectName(QStringLiteral("activate"));
        m_activate->setChecked(true);
        auto *remove = new QRadioButton(QStringLiteral("#:atdpgm_remove"), this);
        remove->setObjectName(QStringLiteral("remove"));
        auto *setting = new QHBoxLayout;
        setting->addWidget(m_activate);
        setting->addWidget(remove);
        form()->addRow(setting);
        lastField = remove;
    }
    finish(lastField);
}

bool StationRangeDialog::run()
{
    switch (m_command) {
    case Command::CancelWakeUp:
        return programming().runCancelWakeUp(m_first->text(), m_last->text());
    case Command::TemporaryCos:
        return programming().runTemporaryCos(m_first->text(), m_last->text(), m_activate->isChecked());
    case Command::AttendantCancel:
        break;
    }
    return programming().runAttendantCancel(m_first->text(), m_last->text());
}
