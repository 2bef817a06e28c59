#include "ServerDialog.h"

#include "transport/CLanSocket.h"
#include "base/ui/Translate.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ServerDialog::ServerDialog(OpenDialogRegistry &dialogs, quint16 port, QWidget *parent)
    : ConsoleDialog(dialogs, parent)
{
    setWindowTitle(QStringLiteral("#:lanportDlg_title"));

    m_address = new QComboBox(this);
    m_address->setObjectName(QStringLiteral("address"));
    m_address->setEditable(true);
    m_address->setInsertPolicy(QComboBox::NoInsert);
    for (const QString &entry : CLanSocket::loadHistory()) {
        if (!entry.isEmpty())
            m_address->addItem(entry);
    }
    m_address->setCurrentIndex(m_address->count() > 0 ? 0 : -1);
    m_address->setMinimumContentsLength(24);

    auto *portField = new QLineEdit(QString::number(port), this);
    portField->setObjectName(QStringLiteral("portNumber"));
    portField->setReadOnly(true);

    auto *addressLabel = new QLabel(QStringLiteral("#:lanportDlg_IPAddress"), this);
    addressLabel->setBuddy(m_address);
    auto *portLabel = new QLabel(QStringLiteral("#:lanportDlg_Portnum"), this);
    portLabel->setBuddy(portField);
    auto *form = new QFormLayout;
    form->addRow(addressLabel, m_address);
    form->addRow(portLabel, portField);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    setTabOrder(m_address, portField);
    const ButtonRow row = addOkCancelRow(layout, portField);

    translateWindowTexts(this, {addressLabel, portLabel, row.ok, row.cancel});
}

void ServerDialog::accept()
{
    const QString address = m_address->currentText().trimmed();
    m_stored = CLanSocket::saveHistory(CLanSocket::moveToTop(CLanSocket::loadHistory(), address));
    ConsoleDialog::accept();
}
