#pragma once

#include "base/ui/ConsoleDialog.h"
#include "transport/ui/SerialSettingsDialog.h"

#include <functional>

class LinkConnection;
class OperatorUi;
class QRadioButton;

// How a settings dialog that was opened without blocking ended.
using ConfigureDone = std::function<void(ConfigureResult)>;

// Opens the settings dialog of one connection type (serial settings or server)
// window-modal over parent, without a nested event loop; done runs once when it
// ends. A dialog destroyed before it ends (its parent went) never runs done.
void configureLink(OpenDialogRegistry &dialogs, LinkConnection &connection, int type, QWidget *parent,
                   ConfigureDone done);

// Shows "#:comport_setting_fail" under "#:comport_info", or the LAN pair, for
// a failed configure of the given type.
void reportConfigureFailure(OperatorUi *ui, int type);

// The connection method dialog, "#:varoconnectsettingDlg_title". A click on a
// choice stores it as "ConnectType" at once; OK makes it the console's current
// connection type.
class ConnectionMethodDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    using Configure = std::function<void(int type, ConfigureDone done)>;

    ConnectionMethodDialog(OpenDialogRegistry &dialogs, LinkConnection &connection, OperatorUi *ui, QWidget *parent = nullptr);

    // What the settings button runs (default: configureLink over this dialog).
    void setConfigure(Configure configure) { m_configure = std::move(configure); }
    int selectedType() const;
    // True when the operator pressed OK; a log-off that ends the dialog accepts
    // it without that.
    bool okPressed() const { return m_okPressed; }

    // OK, also when a log-off ends the dialog.
    void accept() override;

private:
    void choose(int type);
    void openSettings();

    LinkConnection &m_connection;
    OperatorUi *m_ui = nullptr;
    Configure m_configure;
    QRadioButton *m_serial = nullptr;
    QRadioButton *m_lan = nullptr;
    bool m_okPressed = false;
};
