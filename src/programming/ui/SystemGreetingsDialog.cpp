#include "SystemGreetingsDialog.h"

#include "LimitedNumberEdit.h"

#include "programming/AttendantProgramming.h"

#include <QLineEdit>

SystemGreetingsDialog::SystemGreetingsDialog(AttendantProgramming &programming, QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_rg_recordgreetings"), parent)
    , m_number(addNumberField(QStringLiteral("number"), QStringLiteral("#:atdpgm_announcement_no"), 1, 100, 3))
{
    finish(m_number->edit());
}

bool SystemGreetingsDialog::run()
{
    return programming().runSystemGreetings(m_number->edit()->text());
}
