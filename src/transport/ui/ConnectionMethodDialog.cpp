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

namespace {

template <class Dialog> void openSettingsDialog(Dialog *dialog, bool (Dialog::*tookSettings)() const, ConfigureDone done)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, tookSettings, done](int result) {
        if (!done)
            return;
        if (result != QDialog::Accepted)
            done(ConfigureResult::Cancelled);
        else
            done((dialog->*tookSettings)() ? ConfigureResult::Accepted : ConfigureResult::Failed);
    });
    dialog->open();
}

} // namespace

void configureLink(OpenDialogRegistry &dialogs, LinkConnection &connection, int type, QWidget *parent,
                   ConfigureDone done)
{
    if (type == LinkConnection::Lan) {
        connection.ensureLanSocket();
        openSettingsDialog(new ServerDialog(dialogs, connection.lanServerPort(), parent), &ServerDialog::settingsStored,
                           std::move(done));
        return;
    }
    openSettingsDialog(new SerialSettingsDialog(dialogs, connection.serialPort(), parent),
                       &SerialSettingsDialog::settingsApplied, std::move(done));
}

void reportConfigureFailure(OperatorUi *ui, int type)
{
    if (!ui)
        return;
    if (type == LinkConnection::Lan)
        ui->showMessage(QStringLiteral("#:lanport_setting_fail"), QStringLiteral("#:lanport_info"),
                        MessageStyle::Exclamation);
    else
        ui->showMessage(QStringLiteral("#:comport_setting_fail"), QStringLiteral("#:comport_info"),
                        MessageStyle::Exclamation);
}

ConnectionMethodDialog::ConnectionMethodDialog(OpenDialogRegistry &dialogs, LinkConnection &connection, OperatorUi *ui, QWidget *parent)
    : ConsoleDialog(dialogs, parent)
    , m_connection(connection)
    , m_ui(ui)
    , m_configure([this](int type, ConfigureDone done) { configureLink(this->dialogs(), m_connection, type, this, std::move(done)); })
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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    setTabOrder(m_serial, m_lan);
    setTabOrder(m_lan, settings);
    const ButtonRow row = addOkCancelRow(layout, settings);

    translateWindowTexts(this, {group, m_serial, m_lan, settings, row.ok, row.cancel});

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
    disconnect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.ok, &QPushButton::clicked, this, [this] {
        m_okPressed = true;
        accept();
    });
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
    if (!m_configure)
        return;
    OperatorUi *ui = m_ui;
    // A cancelled settings dialog is not a failure.
    m_configure(type, [ui, type](ConfigureResult result) {
        if (result == ConfigureResult::Failed)
            reportConfigureFailure(ui, type);
    });
}

void ConnectionMethodDialog::accept()
{
    m_connection.setConnectionType(selectedType());
    ConsoleDialog::accept();
}
