#include "MailServerDialog.h"

#include "mail/MailSettings.h"
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

MailServerDialog::MailServerDialog(OperatorUi &ui, QWidget *parent)
    : ConsoleDialog(ui.dialogs(), parent)
    , m_ui(ui)
{
    setWindowTitle(QStringLiteral("#:server_input_dialog_title"));

    const MessageCatalogue catalogue;
    auto *information = new QLabel(catalogue.text(QStringLiteral("#:server_information1"))
                                       + catalogue.text(QStringLiteral("#:server_information2"))
                                       + catalogue.text(QStringLiteral("#:server_information3")),
                                   this);
    information->setObjectName(QStringLiteral("information"));
    information->setWordWrap(true);

    const MailSettings settings = MailSettings::load();
    m_server = new QLineEdit(settings.server, this);
    m_server->setObjectName(QStringLiteral("server"));
    m_sender = new QLineEdit(settings.sender, this);
    m_sender->setObjectName(QStringLiteral("email"));
    m_server->setMinimumWidth(260);

    auto *serverLabel = new QLabel(QStringLiteral("#:SMTP_SERVER"), this);
    serverLabel->setBuddy(m_server);
    auto *senderLabel = new QLabel(QStringLiteral("#:SMTP_EMAIL"), this);
    senderLabel->setBuddy(m_sender);
    auto *form = new QFormLayout;
    form->addRow(serverLabel, m_server);
    form->addRow(senderLabel, m_sender);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(information);
    layout->addLayout(form);
    setTabOrder(m_server, m_sender);
    const ButtonRow row = addOkCancelRow(layout, m_sender);
    // OK checks the fields; accept() alone (a log-off) only stores them.
    disconnect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.ok, &QPushButton::clicked, this, &MailServerDialog::okPressed);

    translateWindowTexts(this, {serverLabel, senderLabel, row.ok, row.cancel});
}

bool MailServerDialog::store()
{
    return MailSettings{m_server->text(), m_sender->text()}.store();
}

void MailServerDialog::okPressed()
{
    store();
    const QString title = QStringLiteral("#:Ask_Correct_msg_title");
    if (m_server->text().isEmpty() || m_sender->text().isEmpty()) {
        m_ui.showMessage(QStringLiteral("#:Ask_Correct_information_needs_msg"), title, MessageStyle::Exclamation);
        return;
    }
    if (!m_sender->text().contains(QLatin1Char('@'))) {
        m_ui.showMessage(QStringLiteral("#:Ask_Valid_information_needs_msg"), title, MessageStyle::Exclamation);
        return;
    }
    ConsoleDialog::accept();
}

void MailServerDialog::accept()
{
    store();
    ConsoleDialog::accept();
}
