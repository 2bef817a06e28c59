#pragma once

#include "base/ui/ConsoleDialog.h"

class CSerialPort;
class QCheckBox;
class QComboBox;
struct SerialSettings;

// How a settings dialog ended.
enum class ConfigureResult {
    Accepted,  // stored and, for an open serial port, applied
    Cancelled, // nothing changed
    Failed,    // OK pressed, but the store or the device refused the settings
};

// The serial settings dialog, "#:portDlg_title". OK stores the chosen texts
// and flags and applies them to the port (while it is open the device is
// programmed at once).
class SerialSettingsDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    SerialSettingsDialog(OpenDialogRegistry &dialogs, CSerialPort &port, QWidget *parent = nullptr);

    // After OK: whether the store and the port took the settings.
    bool settingsApplied() const { return m_applied; }
    SerialSettings chosenSettings() const;

    // OK, also when a log-off ends the dialog.
    void accept() override;

private:
    CSerialPort &m_port;
    QComboBox *m_portList = nullptr;
    QComboBox *m_baudList = nullptr;
    QComboBox *m_parityList = nullptr;
    QComboBox *m_stopList = nullptr;
    QCheckBox *m_dtrDsr = nullptr;
    QCheckBox *m_rtsCts = nullptr;
    QCheckBox *m_xonXoff = nullptr;
    bool m_applied = false;
};
