#include "MailDialog.h"

#include "mail/ui/MailServerDialog.h"
#include "mail/MailJob.h"
#include "mail/MailMessage.h"
#include "mail/MailSettings.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

MailDialog::MailDialog(MailJob &job, OperatorUi &ui, std::optional<int> port, StationMailLookup lookup,
                       QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_job(job)
    , m_ui(ui)
    , m_port(port)
    , m_lookup(std::move(lookup))
{
    setWindowTitle(QStringLiteral("#:send_mail_title"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_to = new QLineEdit(this);
    m_to->setObjectName(QStringLiteral("to"));
    m_to->setMinimumWidth(320);
    m_subject = new QLineEdit(this);
    m_subject->setObjectName(QStringLiteral("subject"));
    m_body = new QPlainTextEdit(this);
    m_body->setObjectName(QStringLiteral("message"));
    m_body->setTabChangesFocus(true);

    auto *toLabel = new QLabel(QStringLiteral("#:TO_Email "), this);
    toLabel->setBuddy(m_to);
    auto *subjectLabel = new QLabel(QStringLiteral("#:Subject"), this);
    subjectLabel->setBuddy(m_subject);
    auto *bodyLabel = new QLabel(QStringLiteral("#:Message"), this);
    bodyLabel->setBuddy(m_body);
    auto *form = new QFormLayout;
    form->addRow(toLabel, m_to);
    form->addRow(subjectLabel, m_subject);
    form->addRow(bodyLabel, m_body);

    auto *sendButton = new QPushButton(QStringLiteral("#:Send_Btn"), this);
    sendButton->setObjectName(QStringLiteral("send"));
    sendButton->setDefault(true);
    auto *cancelButton = new QPushButton(QStringLiteral("#:cancel_btn"), this);
    cancelButton->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(sendButton);
    buttons->addWidget(cancelButton);
    connect(sendButton, &QPushButton::clicked, this, &MailDialog::send);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setTabOrder(m_to, m_subject);
    setTabOrder(m_subject, m_body);
    setTabOrder(m_body, sendButton);
    setTabOrder(sendButton, cancelButton);

    translateWindowTexts(this, {toLabel, subjectLabel, bodyLabel, sendButton, cancelButton});
}

void MailDialog::fillRecipient()
{
    if (!m_port || !m_lookup)
        return;
    const StationMailAddress found = m_lookup(*m_port);
    if (!found.errorKey.isEmpty()) {
        m_ui.showMessage(found.errorKey, QStringLiteral("#:database_error"), MessageStyle::Stop);
        return;
    }
    m_to->setText(found.mail);
}

void MailDialog::start()
{
    fillRecipient();
    if (!MailSettings::load().server.isEmpty()) {
        open();
        return;
    }
    auto *server = new MailServerDialog(m_ui, parentWidget());
    server->setAttribute(Qt::WA_DeleteOnClose);
    connect(server, &QDialog::finished, this, [this](int result) {
        if (result == QDialog::Accepted)
            open();
        else
            deleteLater();
    });
    server->open();
}

void MailDialog::send()
{
    if (!m_to->text().contains(QLatin1Char('@'))) {
        m_ui.showMessage(QStringLiteral("#:Ask_Valid_information_needs_msg"), QStringLiteral("#:Ask_Correct_msg_title"),
                         MessageStyle::Exclamation);
        return;
    }
    const MailSettings settings = MailSettings::load();
    MailMessage message;
    message.recipients = parseRecipients(m_to->text());
    message.subject = m_subject->text();
    message.body = m_body->toPlainText();
    message.sender = settings.sender;
    m_job.send(settings.server, message);
    accept();
}
