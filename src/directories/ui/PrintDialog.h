#pragma once

#include "base/ui/ConsoleDialog.h"

class QRadioButton;

// Chooses the directory to print and the print mode. argument() is what the
// print job takes: mode * 10 + kind.
class PrintDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    // kind: the directory preselected (1 speed bins ... 4 CO lines).
    PrintDialog(OpenDialogRegistry &dialogs, int kind, QWidget *parent = nullptr);

    int kind() const;
    int mode() const;
    int argument() const { return mode() * 10 + kind(); }

private:
    QRadioButton *m_kinds[4];
    QRadioButton *m_raw;
    QRadioButton *m_graphic;
};
