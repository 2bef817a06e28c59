#pragma once

#include "programming/LimitedNumberField.h"

#include <QObject>

#include <optional>

class QLineEdit;

// Keeps a line edit to a limited number field: every change of its text is
// tidied and checked, a number outside the limits is put back with a beep.
class LimitedNumberEdit : public QObject
{
    Q_OBJECT
public:
    LimitedNumberEdit(QLineEdit *edit, int lower, int upper, int maxLength);

    QLineEdit *edit() const { return m_edit; }
    LimitedNumberField &field() { return m_field; }
    const LimitedNumberField &field() const { return m_field; }
    // Shows a value (empty for none) as the last valid one.
    void setValue(std::optional<int> value);
    // The number the text holds, or none when empty.
    std::optional<int> value() const;
    // Before OK: false when a number short of its lower limit was put back.
    bool settle();

private:
    void textChanged(const QString &text);
    void apply(const LimitedNumberField::Outcome &out, const QString &text);

    QLineEdit *m_edit;
    LimitedNumberField m_field;
    bool m_applying = false;
};
