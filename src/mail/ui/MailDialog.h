#pragma once

#include "mail/StationMailLookup.h"
#include "base/ui/ConsoleDialog.h"

#include <optional>

class MailJob;
class OperatorUi;
class QLineEdit;
class QPlainTextEdit;

// The mail dialog, "#:send_mail_title": recipient, subject and message, for
// a station's owner (the recipient comes from the station directory) or
// for anyone (no station).
//
// start() shows it window-modal and returns at once; the dialog deletes
// itself when it closes. When no mail server is set, the mail-server dialog
// comes first, and cancelling it closes the mail dialog unseen.
//
// Send needs an "@" in the recipient; it hands the mail to the job (server
// and sender from the "Mail" settings) and closes. A log-off that ends the
// dialog closes it without sending.
class MailDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    MailDialog(MailJob &job, OperatorUi &ui, std::optional<int> port, StationMailLookup lookup,
               QWidget *parent = nullptr);

    void start();
    void send();

private:
    void fillRecipient();

    MailJob &m_job;
    OperatorUi &m_ui;
    std::optional<int> m_port;
    StationMailLookup m_lookup;
    QLineEdit *m_to = nullptr;
    QLineEdit *m_subject = nullptr;
    QPlainTextEdit *m_body = nullptr;
};
