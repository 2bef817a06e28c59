#include "AuthorisationCodeDialog.h"

#include "programming/AttendantProgramming.h"

#include <QLineEdit>

AuthorisationCodeDialog::AuthorisationCodeDialog(AttendantProgramming &programming, const QString &station,
                                                 QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:change_authocode_cap_dlg"), parent)
    , m_station(station)
    , m_code(addTextField(QStringLiteral("code"), QStringLiteral("#:atdpgm_code"), 5))
{
    finish(m_code);
}

bool AuthorisationCodeDialog::run()
{
    return programming().runAuthorisationCode(m_station, m_code->text());
}
