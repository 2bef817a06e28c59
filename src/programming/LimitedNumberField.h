#pragma once

#include <QString>

#include <optional>

// A numeric entry field with limits. After every change of its text the text
// is tidied and checked: leading zeros go, a number outside the limits puts
// back the last valid value. The widget applies the outcome to its line edit.
class LimitedNumberField
{
public:
    struct Outcome
    {
        QString text;
        // Where the caret goes, or -1 to leave it where the edit put it.
        int caret = -1;
        bool beep = false;
    };

    LimitedNumberField(int lower = 0, int upper = 0);

    int lower() const { return m_lower; }
    int upper() const { return m_upper; }
    // A lower upper limit does not touch the text; the next change is checked against it.
    void setUpper(int upper) { m_upper = upper; }
    std::optional<int> lastValid() const { return m_last; }
    void setLastValid(std::optional<int> value) { m_last = value; }

    Outcome textChanged(const QString &text);
    // Before the field is used: a number still short of the lower limit puts
    // back the last valid value.
    Outcome settle(const QString &text);
    bool holds(int value) const { return value >= m_lower && value <= m_upper; }

private:
    int m_lower;
    int m_upper;
    std::optional<int> m_last;
};
