#include "SerialSettingsDialog.h"

#include "transport/CSerialPort.h"
#include "transport/SerialSettings.h"
#include "base/ui/Translate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace {

QComboBox *choiceList(const QString &name, const QStringList &choices, const QString &current, QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(choices);
    list->setCurrentIndex(qMax(0, int(choices.indexOf(current))));
    return list;
}

QLabel *rowLabel(const char *key, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(QString::fromLatin1(key), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

SerialSettingsDialog::SerialSettingsDialog(CSerialPort &port, QWidget *parent)
    : ConsoleDialog(parent)
    , m_port(port)
{
    setWindowTitle(QStringLiteral("#:portDlg_title"));
    const SerialSettings stored = SerialSettings::load();

    auto *group = new QGroupBox(QStringLiteral("#:portDlg_group"), this);

    QStringList ports = SerialSettings::portChoices();
    const auto found = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : found) {
        if (!ports.contains(info.systemLocation()))
            ports.append(info.systemLocation());
    }
    // A stored device path that the system does not list is still offered.
    if (!ports.contains(stored.port))
        ports.append(stored.port);
    m_portList = choiceList(QStringLiteral("port"), ports, stored.port, group);
    m_portList->setEnabled(!m_port.isOpen());
    m_baudList = choiceList(QStringLiteral("baud"), SerialSettings::baudChoices(), stored.baud, group);
    m_parityList = choiceList(QStringLiteral("parity"), SerialSettings::parityChoices(), stored.parity, group);
    auto *dataBits = new QLabel(QStringLiteral("8"), group);
    dataBits->setObjectName(QStringLiteral("dataBits"));
    m_stopList = choiceList(QStringLiteral("stopBits"), SerialSettings::stopBitsChoices(), stored.stopBits, group);

    m_dtrDsr = new QCheckBox(QStringLiteral("DTR/DSR"), group);
    m_dtrDsr->setObjectName(QStringLiteral("dtrDsr"));
    m_dtrDsr->setChecked(stored.dtrDsr);
    m_rtsCts = new QCheckBox(QStringLiteral("RTS/CTS"), group);
    m_rtsCts->setObjectName(QStringLiteral("rtsCts"));
    m_rtsCts->setChecked(stored.rtsCts);
    m_xonXoff = new QCheckBox(QStringLiteral("XON/XOFF"), group);
    m_xonXoff->setObjectName(QStringLiteral("xonXoff"));
    m_xonXoff->setChecked(stored.xonXoff);
    auto *flow = new QHBoxLayout;
    flow->addWidget(m_dtrDsr);
    flow->addWidget(m_rtsCts);
    flow->addWidget(m_xonXoff);
    flow->addStretch();

    QLabel *portLabel = rowLabel("#:portDlg_port", m_portList, group);
    QLabel *baudLabel = rowLabel("#:portDlg_bps", m_baudList, group);
    QLabel *parityLabel = rowLabel("#:portDlg_parity", m_parityList, group);
    QLabel *dataLabel = rowLabel("#:portDlg_data", nullptr, group);
    QLabel *stopLabel = rowLabel("#:portDlg_stop", m_stopList, group);
    QLabel *flowLabel = rowLabel("#:portDlg_flow", m_dtrDsr, group);
    auto *form = new QFormLayout(group);
    form->addRow(portLabel, m_portList);
    form->addRow(baudLabel, m_baudList);
    form->addRow(parityLabel, m_parityList);
    form->addRow(dataLabel, dataBits);
    form->addRow(stopLabel, m_stopList);
    form->addRow(flowLabel, flow);

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

    setTabOrder(m_portList, m_baudList);
    setTabOrder(m_baudList, m_parityList);
    setTabOrder(m_parityList, m_stopList);
    setTabOrder(m_stopList, m_dtrDsr);
    setTabOrder(m_dtrDsr, m_rtsCts);
    setTabOrder(m_rtsCts, m_xonXoff);
    setTabOrder(m_xonXoff, ok);
    setTabOrder(ok, cancel);

    translateWindowTexts(this, {group, portLabel, baudLabel, parityLabel, dataLabel, stopLabel, flowLabel, ok, cancel});

    connect(ok, &QPushButton::clicked, this, &SerialSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

SerialSettings SerialSettingsDialog::chosenSettings() const
{
    SerialSettings s;
    s.port = m_portList->currentText();
    s.baud = m_baudList->currentText();
    s.parity = m_parityList->currentText();
    s.stopBits = m_stopList->currentText();
    s.dtrDsr = m_dtrDsr->isChecked();
    s.rtsCts = m_rtsCts->isChecked();
    s.xonXoff = m_xonXoff->isChecked();
    return s;
}

void SerialSettingsDialog::accept()
{
    const bool stored = chosenSettings().save();
    // Also when the port is closed: the link's frame timing follows the baud rate.
    const bool applied = m_port.applySettings();
    m_applied = stored && applied;
    ConsoleDialog::accept();
}

ConfigureResult SerialSettingsDialog::configure(CSerialPort &port, QWidget *parent)
{
    SerialSettingsDialog dialog(port, parent);
    if (dialog.exec() != QDialog::Accepted)
        return ConfigureResult::Cancelled;
    return dialog.settingsApplied() ? ConfigureResult::Accepted : ConfigureResult::Failed;
}
