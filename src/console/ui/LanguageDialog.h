#pragma once

#include "base/ui/ConsoleDialog.h"

class QRadioButton;

// "Language Setting": the choices Local (2), Poor English (1) and Symbol (0).
// Each choice sets the pending mode at once; the caller applies it on OK.
class LanguageDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    LanguageDialog(OpenDialogRegistry &dialogs, int currentMode, QWidget *parent = nullptr);

    int chosenMode() const { return m_mode; }
    QRadioButton *choice(int mode) const;

private:
    QRadioButton *m_local;
    QRadioButton *m_english;
    QRadioButton *m_symbol;
    int m_mode;
};
