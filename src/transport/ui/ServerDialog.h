#pragma once

#include "transport/ui/SerialSettingsDialog.h"
#include "base/ui/ConsoleDialog.h"

class QComboBox;

// The server dialog, "#:lanportDlg_title": the address history and the port
// number. OK moves the edited address to the top of the history.
class ServerDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    ServerDialog(OpenDialogRegistry &dialogs, quint16 port, QWidget *parent = nullptr);

    bool settingsStored() const { return m_stored; }

    // OK, also when a log-off ends the dialog.
    void accept() override;

private:
    QComboBox *m_address = nullptr;
    bool m_stored = false;
};
