#pragma once

#include <QDialog>

// Base of the console's modal dialogs: while shown it is entered in the
// open-dialog registry, so a log-off can end it as if OK had been pressed.
class ConsoleDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ConsoleDialog(QWidget *parent = nullptr);
    ~ConsoleDialog() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void leaveRegistry();
    int m_slot = -1;
};
