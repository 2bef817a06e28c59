#pragma once

#include "base/ui/ConsoleDialog.h"

#include <functional>


class LinkConnection;
class OperatorUi;
class QRadioButton;

#include "transport/ui/SerialSettingsDialog.h"

// Runs the settings dialog of one connection type (serial settings or server).
ConfigureResult configureLink(LinkConnection &connection, int type, QWidget *parent = nullptr);

// The connection method dialog, "#:varoconnectsettingDlg_title". A click on a
// choice stores it as "ConnectType" at once; OK makes it the console's current
// connection type.
class ConnectionMethodDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    using Configure = std::function<ConfigureResult(int type)>;

    ConnectionMethodDialog(LinkConnection &connection, OperatorUi *ui, QWidget *parent = nullptr);

    // What the settings button runs (default: ConfigureLink with this dialog as parent).
    void setConfigure(Configure configure) { m_configure = std::move(configure); }
    int selectedType() const;

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
};
