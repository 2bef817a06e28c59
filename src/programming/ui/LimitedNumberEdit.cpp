#include "LimitedNumberEdit.h"

#include <QApplication>
#include <QLineEdit>

LimitedNumberEdit::LimitedNumberEdit(QLineEdit *edit, int lower, int upper, int maxLength)
    : QObject(edit)
    , m_edit(edit)
    , m_field(lower, upper)
{
    m_edit->setMaxLength(maxLength);
    connect(m_edit, &QLineEdit::textChanged, this, &LimitedNumberEdit::textChanged);
}

void LimitedNumberEdit::setValue(std::optional<int> value)
{
    m_edit->setText(value ? QString::number(*value) : QString());
}

std::optional<int> LimitedNumberEdit::value() const
{
    bool ok = false;
    const int v = m_edit->text().trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

void LimitedNumberEdit::textChanged(const QString &text)
{
    if (m_applying)
        return;
    apply(m_field.textChanged(text), text);
}

bool LimitedNumberEdit::settle()
{
    const QString text = m_edit->text();
    const LimitedNumberField::Outcome out = m_field.settle(text);
    apply(out, text);
    return !out.beep;
}

void LimitedNumberEdit::apply(const LimitedNumberField::Outcome &out, const QString &text)
{
    if (out.text != text) {
        m_applying = true;
        m_edit->setText(out.text);
        m_applying = false;
    }
    if (out.caret >= 0)
        m_edit->setCursorPosition(out.caret);
    if (out.beep)
        QApplication::beep();
}
