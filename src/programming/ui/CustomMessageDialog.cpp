#include "CustomMessageDialog.h"

#include "LimitedNumberEdit.h"

#include "programming/AttendantProgramming.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

CustomMessageDialog::CustomMessageDialog(AttendantProgramming &programming, QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_cm_custommsg"), parent)
    , m_number(addNumberField(QStringLiteral("number"), QStringLiteral("#:atdpgm_msg_no"), 11, 20, 2))
    , m_text(addTextField(QStringLiteral("text"), QStringLiteral("#:atdpgm_msg_text"), 24))
{
    keepUpperCase(m_text);
    auto *clear = new QPushButton(QStringLiteral("#:atdpgm_clear"), this);
    clear->setObjectName(QStringLiteral("clear"));
    clear->setAutoDefault(false);
    connect(clear, &QPushButton::clicked, m_text, &QLineEdit::clear);
    form()->addRow(QString(), clear);
    finish(clear);
}

bool CustomMessageDialog::run()
{
    return programming().runCustomMessage(m_number->edit()->text(), m_text->text());
}
