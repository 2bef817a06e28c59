#include "callstate/CallerNameIndex.h"

namespace {
bool isSkipped(QChar c)
{
    switch (c.unicode()) {
    case '(': case ')': case '[': case ']': case '{': case '}':
        return true;
    default:
        return c.isSpace() || c.category() == QChar::Punctuation_Dash;
    }
}
} // namespace

QString CallerNameIndex::digitsOf(const QString &number)
{
    QString digits;
    digits.reserve(number.size());
    for (const QChar c : number) {
        if (!isSkipped(c))
            digits.append(c);
    }
    if (digits.startsWith(QLatin1Char('+')))
        digits.remove(0, 1);
    return digits;
}

QString CallerNameIndex::shown(const QString &digits, const QString &name)
{
    if (name.isEmpty())
        return digits;
    return QStringLiteral("%1 (%2)").arg(name, digits);
}

void CallerNameIndex::insert(Part &part, qint64 key, const QString &digits, const QString &name)
{
    part.digitsByKey.insert(key, digits);
    part.byDigits.insert(digits, {key, name});
}

void CallerNameIndex::set(Source source, qint64 key, const QString &number, const QString &name)
{
    remove(source, key);
    const QString digits = digitsOf(number);
    if (digits.isEmpty() || name.isEmpty())
        return;
    insert(m_parts[source], key, digits, name);
}

void CallerNameIndex::remove(Source source, qint64 key)
{
    Part &part = m_parts[source];
    const auto found = part.digitsByKey.constFind(key);
    if (found == part.digitsByKey.constEnd())
        return;
    for (auto it = part.byDigits.find(found.value()); it != part.byDigits.end() && it.key() == found.value(); ++it) {
        if (it->key == key) {
            part.byDigits.erase(it);
            break;
        }
    }
    part.digitsByKey.erase(found);
}

void CallerNameIndex::removeAbove(Source source, qint64 last)
{
    QList<qint64> above;
    for (auto it = m_parts[source].digitsByKey.cbegin(); it != m_parts[source].digitsByKey.cend(); ++it) {
        if (it.key() > last)
            above.append(it.key());
    }
    for (const qint64 key : above)
        remove(source, key);
}

void CallerNameIndex::replace(Source source, const QList<Entry> &entries)
{
    Part &part = m_parts[source];
    part = Part();
    part.digitsByKey.reserve(entries.size());
    part.byDigits.reserve(entries.size());
    for (const Entry &entry : entries) {
        const QString digits = digitsOf(entry.number);
        if (digits.isEmpty() || entry.name.isEmpty())
            continue;
        if (part.digitsByKey.contains(entry.key))
            remove(source, entry.key);
        insert(part, entry.key, digits, entry.name);
    }
}

void CallerNameIndex::clear(Source source)
{
    m_parts[source] = Part();
}

QString CallerNameIndex::nameFor(const QString &callerDigits) const
{
    const QString digits = digitsOf(callerDigits);
    if (digits.isEmpty())
        return {};
    for (const Part &part : m_parts) {
        const Holder *best = nullptr;
        for (auto it = part.byDigits.constFind(digits); it != part.byDigits.cend() && it.key() == digits; ++it) {
            if (!best || it->key < best->key)
                best = &it.value();
        }
        if (best)
            return best->name;
    }
    return {};
}

int CallerNameIndex::size(Source source) const
{
    return int(m_parts[source].digitsByKey.size());
}
