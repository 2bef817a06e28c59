#include "LimitedNumberField.h"

LimitedNumberField::LimitedNumberField(int lower, int upper)
    : m_lower(lower)
    , m_upper(upper)
    , m_last(lower)
{
}

LimitedNumberField::Outcome LimitedNumberField::textChanged(const QString &text)
{
    Outcome out{text, -1, false};
    if (out.text.size() > 1) {
        int first = 0;
        while (first < out.text.size() - 1 && out.text.at(first) == QLatin1Char('0'))
            ++first;
        if (first > 0) {
            out.text = out.text.mid(first);
            out.caret = 0;
        }
    }
    if (out.text.isEmpty()) {
        m_last.reset();
        return out;
    }
    bool ok = false;
    const int value = out.text.toInt(&ok, 10);
    if (ok && holds(value)) {
        m_last = value;
        return out;
    }
    // The first digits of a number above a lower limit of two or more digits
    // (the "1" of 12 when 11 is the least): typed on, they become a valid number.
    if (ok && value < m_lower && out.text.size() < QString::number(m_upper).size())
        return out;
    out.text = m_last ? QString::number(*m_last) : QString();
    out.caret = int(out.text.size());
    out.beep = true;
    return out;
}

LimitedNumberField::Outcome LimitedNumberField::settle(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (text.isEmpty() || (ok && holds(value)))
        return {text, -1, false};
    const QString last = m_last ? QString::number(*m_last) : QString();
    return {last, int(last.size()), true};
}
