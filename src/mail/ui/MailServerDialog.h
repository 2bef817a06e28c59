#pragma once

#include "base/ui/ConsoleDialog.h"

class OperatorUi;
class QLineEdit;

// The mail-server dialog, "#:server_input_dialog_title": the name or address
// of the SMTP server and the sender's address, section "Mail" of the settings.
//
// OK stores both fields and then checks them; a field left empty or a sender
// without "@" is reported and the dialog stays open (the values stay stored).
// A log-off that ends the dialog stores the fields without the check.
class MailServerDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    explicit MailServerDialog(OperatorUi &ui, QWidget *parent = nullptr);

    void accept() override;

private:
    void okPressed();
    bool store();

    OperatorUi &m_ui;
    QLineEdit *m_server = nullptr;
    QLineEdit *m_sender = nullptr;
};
