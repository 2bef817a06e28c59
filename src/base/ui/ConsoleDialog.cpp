#include "ConsoleDialog.h"

#include "base/OpenDialogRegistry.h"

#include <QPointer>

ConsoleDialog::ConsoleDialog(OpenDialogRegistry &dialogs, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
{
}

ConsoleDialog::~ConsoleDialog()
{
    leaveRegistry();
}

void ConsoleDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_slot < 0) {
        QPointer<ConsoleDialog> self(this);
        m_slot = m_dialogs.enter([self] {
            if (self)
                self->accept();
        });
    }
}

void ConsoleDialog::hideEvent(QHideEvent *event)
{
    leaveRegistry();
    QDialog::hideEvent(event);
}

void ConsoleDialog::leaveRegistry()
{
    if (m_slot >= 0) {
        m_dialogs.leave(m_slot);
        m_slot = -1;
    }
}
