#pragma once

#include "base/ui/ConsoleDialog.h"
#include "keyset/SmallKeyPad.h"

#include <QHash>

class KeyTelephone;
class QLineEdit;
class QPushButton;

// The small key pad ("#:mp_cap_mini_pktu", F12): the most used keys of the key
// telephone with keyboard control. A key of the keyboard shows its button
// pressed until it is released; "#:mp_quit" and Enter close the pad.
class SmallKeyPadDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    SmallKeyPadDialog(KeyTelephone &phone, OpenDialogRegistry &dialogs, QWidget *parent = nullptr);

    QPushButton *button(SmallKeyPad::Button b) const { return m_buttons.value(int(b)); }
    QString dialled() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void press(SmallKeyPad::Button b);

    SmallKeyPad m_pad;
    QLineEdit *m_field = nullptr;
    QHash<int, QPushButton *> m_buttons;
};
