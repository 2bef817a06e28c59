#include "ConsoleDialog.h"

#include "base/OpenDialogRegistry.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>

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

ConsoleDialog::ButtonRow ConsoleDialog::addOkCancelRow(QBoxLayout *layout, QWidget *last)
{
    ButtonRow row;
    row.ok = new QPushButton(QStringLiteral("#:ok_btn"), this);
    row.ok->setObjectName(QStringLiteral("ok"));
    row.ok->setDefault(true);
    row.cancel = new QPushButton(QStringLiteral("#:cancel_btn"), this);
    row.cancel->setObjectName(QStringLiteral("cancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(row.ok);
    buttons->addWidget(row.cancel);
    layout->addLayout(buttons);
    if (last)
        setTabOrder(last, row.ok);
    setTabOrder(row.ok, row.cancel);
    // accept() is virtual: a dialog's own accept runs.
    connect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.cancel, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}
