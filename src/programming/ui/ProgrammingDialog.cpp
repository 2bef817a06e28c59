#include "ProgrammingDialog.h"

#include "LimitedNumberEdit.h"

#include "programming/AttendantProgramming.h"
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/ui/Translate.h"

#include <QAbstractButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ProgrammingDialog::ProgrammingDialog(AttendantProgramming &programming, const QString &titleKey, QWidget *parent)
    : ConsoleDialog(programming.ui().dialogs(), parent)
    , m_programming(programming)
    , m_layout(new QVBoxLayout(this))
    , m_form(new QFormLayout)
{
    setWindowTitle(titleKey);
    m_layout->addLayout(m_form);
}

QLineEdit *ProgrammingDialog::addTextField(const QString &name, const QString &labelKey, int maxLength)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setMaxLength(maxLength);
    auto *label = new QLabel(labelKey, this);
    label->setBuddy(edit);
    m_form->addRow(label, edit);
    return edit;
}

LimitedNumberEdit *ProgrammingDialog::addNumberField(const QString &name, const QString &labelKey, int lower,
                                                     int upper, int maxLength)
{
    auto *number = new LimitedNumberEdit(addTextField(name, labelKey, maxLength), lower, upper, maxLength);
    m_numbers.append(number);
    return number;
}

void ProgrammingDialog::keepUpperCase(QLineEdit *edit)
{
    connect(edit, &QLineEdit::textEdited, edit, [edit](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text) {
            const int caret = edit->cursorPosition();
            edit->setText(upper);
            edit->setCursorPosition(caret);
        }
    });
}

void ProgrammingDialog::finish(QWidget *lastField)
{
    const ButtonRow row = addOkCancelRow(m_layout, lastField);
    disconnect(row.ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(row.ok, &QPushButton::clicked, this, &ProgrammingDialog::okPressed);

    const MessageCatalogue catalogue;
    TranslateWindowText(this, catalogue);
    for (QWidget *w : findChildren<QWidget *>()) {
        if (qobject_cast<QLabel *>(w) || qobject_cast<QAbstractButton *>(w) || qobject_cast<QGroupBox *>(w))
            TranslateWindowText(w, catalogue);
    }
}

void ProgrammingDialog::okPressed()
{
    bool settled = true;
    for (LimitedNumberEdit *number : std::as_const(m_numbers))
        settled = number->settle() && settled;
    if (settled && run())
        accept();
}
