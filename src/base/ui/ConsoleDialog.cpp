#include "ConsoleDialog.h"

#include "base/OpenDialogRegistry.h"

#include <QPointer>

ConsoleDialog::ConsoleDialog(QWidget *parent)
    : QDialog(parent)
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
        m_slot = OpenDialogRegistry::instance().enter([self] {
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
        OpenDialogRegistry::instance().leave(m_slot);
        m_slot = -1;
    }
}
