#pragma once

#include <QDialog>

class OpenDialogRegistry;

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
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void leaveRegistry();
    OpenDialogRegistry &m_dialogs;
    int m_slot = -1;
};
