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

ServerDialog::ServerDialog(quint16 port, QWidget *parent)
    : ConsoleDialog(parent)
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

    auto *ok = new QPushButton(QStringLiteral("#:ok_btn"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("#:cancel_btn"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    setTabOrder(m_address, portField);
    setTabOrder(portField, ok);
    setTabOrder(ok, cancel);

    translateWindowTexts(this, {addressLabel, portLabel, ok, cancel});

    connect(ok, &QPushButton::clicked, this, &ServerDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ServerDialog::accept()
{
    const QString address = m_address->currentText().trimmed();
    m_stored = CLanSocket::saveHistory(CLanSocket::moveToTop(CLanSocket::loadHistory(), address));
    ConsoleDialog::accept();
}

ConfigureResult ServerDialog::configure(quint16 port, QWidget *parent)
{
    ServerDialog dialog(port, parent);
    if (dialog.exec() != QDialog::Accepted)
        return ConfigureResult::Cancelled;
    return dialog.settingsStored() ? ConfigureResult::Accepted : ConfigureResult::Failed;
}
