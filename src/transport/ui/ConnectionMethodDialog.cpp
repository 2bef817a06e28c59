#include "ConnectionMethodDialog.h"

#include "transport/LinkConnection.h"
#include "transport/ui/SerialSettingsDialog.h"
#include "transport/ui/ServerDialog.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

ConfigureResult configureLink(LinkConnection &connection, int type, QWidget *parent)
{
    if (type == LinkConnection::Lan) {
        connection.ensureLanSocket();
        return ServerDialog::configure(connection.lanServerPort(), parent);
    }
    return SerialSettingsDialog::configure(connection.serialPort(), parent);
}

ConnectionMethodDialog::ConnectionMethodDialog(LinkConnection &connection, OperatorUi *ui, QWidget *parent)
    : ConsoleDialog(parent)
    , m_connection(connection)
    , m_ui(ui)
    , m_configure([this](int type) { return configureLink(m_connection, type, this); })
{
    setWindowTitle(QStringLiteral("#:varoconnectsettingDlg_title"));

    auto *group = new QGroupBox(QStringLiteral("#:varoconnect_method"), this);
    m_serial = new QRadioButton(QStringLiteral("#:varoconnectsettingDlg_comport_connect"), group);
    m_serial->setObjectName(QStringLiteral("serial"));
    m_lan = new QRadioButton(QStringLiteral("#:varoconnectsettingDlg_lanport_connect"), group);
    m_lan->setObjectName(QStringLiteral("lan"));
    (LinkConnection::storedType() == LinkConnection::Lan ? m_lan : m_serial)->setChecked(true);
    auto *settings = new QPushButton(QStringLiteral("#:setting_btn"), group);
    settings->setObjectName(QStringLiteral("settings"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_serial);
    groupLayout->addWidget(m_lan);
    groupLayout->addWidget(settings, 0, Qt::AlignLeft);

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
    layout->addWidget(group);
    layout->addLayout(buttons);

    setTabOrder(m_serial, m_lan);
    setTabOrder(m_lan, settings);
    setTabOrder(settings, ok);
    setTabOrder(ok, cancel);

    translateWindowTexts(this, {group, m_serial, m_lan, settings, ok, cancel});

    // Toggled, not clicked: choosing with the arrow keys stores the choice too.
    connect(m_serial, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            choose(LinkConnection::Serial);
    });
    connect(m_lan, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            choose(LinkConnection::Lan);
    });
    connect(settings, &QPushButton::clicked, this, &ConnectionMethodDialog::openSettings);
    connect(ok, &QPushButton::clicked, this, &ConnectionMethodDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int ConnectionMethodDialog::selectedType() const
{
    return m_lan->isChecked() ? LinkConnection::Lan : LinkConnection::Serial;
}

void ConnectionMethodDialog::choose(int type)
{
    LinkConnection::storeType(type);
}

void ConnectionMethodDialog::openSettings()
{
    const int type = selectedType();
    LinkConnection::storeType(type);
    // A cancelled settings dialog is not a failure.
    if (!m_configure || m_configure(type) != ConfigureResult::Failed || !m_ui)
        return;
    if (type == LinkConnection::Lan)
        m_ui->showMessage(QStringLiteral("#:lanport_setting_fail"), QStringLiteral("#:lanport_info"),
                          MessageStyle::Exclamation);
    else
        m_ui->showMessage(QStringLiteral("#:comport_setting_fail"), QStringLiteral("#:comport_info"),
                          MessageStyle::Exclamation);
}

void ConnectionMethodDialog::accept()
{
    m_connection.setConnectionType(selectedType());
    ConsoleDialog::accept();
}
