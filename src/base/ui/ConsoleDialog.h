#pragma once

#include <QDialog>

class OpenDialogRegistry;
class QBoxLayout;
class QPushButton;

// Base of the console's modal dialogs: while shown it is entered in the
// open-dialog registry, so a log-off can end it as if OK had been pressed.
class ConsoleDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConsoleDialog(OpenDialogRegistry &dialogs, QWidget *parent = nullptr);

    OpenDialogRegistry &dialogs() const { return m_dialogs; }
    ~ConsoleDialog() override;

protected:
    struct ButtonRow
    {
        QPushButton *ok = nullptr;
        QPushButton *cancel = nullptr;
    };
    // Adds the row of OK ("#:ok_btn", the default, accepts) and Cancel
    // ("#:cancel_btn", rejects), right-aligned, to the dialog's layout; the two
    // come after `last` in the tab order. Their texts are keys until the dialog
    // translates them with its other controls.
    ButtonRow addOkCancelRow(QBoxLayout *layout, QWidget *last);

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void leaveRegistry();
    OpenDialogRegistry &m_dialogs;
    int m_slot = -1;
};
