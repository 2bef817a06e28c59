#pragma once

#include "ProgrammingDialog.h"

class QLineEdit;

// Change authorisation code ("#:change_authocode_cap_dlg") of the station of the pop-up.
class AuthorisationCodeDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    AuthorisationCodeDialog(AttendantProgramming &programming, const QString &station, QWidget *parent = nullptr);

    QString station() const { return m_station; }

protected:
    bool run() override;

private:
    QString m_station;
    QLineEdit *m_code;
};
