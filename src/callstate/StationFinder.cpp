#include "callstate/StationFinder.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"

QList<StationFinder::Entry> StationFinder::stationEntries(const CExtStatusList &stations)
{
    QList<Entry> entries;
    const quint16 count = stations.count();
    entries.reserve(count);
    for (quint16 i = 0; i < count; ++i) {
        const CExtStatus *r = stations.record(i);
        if (r && r->isPresent())
            entries.append(Entry{i, r->numberText(), r->name, r->fullName});
    }
    return entries;
}

QList<StationFinder::Entry> StationFinder::lineEntries(const CTrkStatusList &lines, const QString &titlePrefix)
{
    QList<Entry> entries;
    const quint16 count = lines.count();
    entries.reserve(count);
    for (quint16 i = 0; i < count; ++i) {
        const CTrkStatus *r = lines.record(i);
        if (r && r->isPresent())
            entries.append(Entry{i, QString::number(i + 1), lines.coNameText(r->coNameNumber),
                                 titlePrefix + QString::asprintf("%02d", i + 1)});
    }
    return entries;
}

QString StationFinder::fold(const QString &text)
{
    bool plain = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            plain = false;
            break;
        }
    }
    if (plain)
        return text.toLower();
    QString out;
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    out.reserve(decomposed.size());
    for (QChar c : decomposed) {
        if (!c.isMark())
            out.append(c);
    }
    return out.toCaseFolded();
}

namespace {
// Between the name and the owner: a typed text never holds it.
constexpr QChar Separator(0x1F);
} // namespace

void StationFinder::setEntries(const QList<Entry> &entries)
{
    m_entries.clear();
    m_entries.reserve(entries.size());
    m_all.clear();
    m_all.reserve(entries.size());
    for (const Entry &e : entries) {
        m_all.append(int(m_entries.size()));
        m_entries.append(Folded{e, fold(e.number), fold(e.name) + Separator + fold(e.owner)});
    }
    m_steps.clear();
}

bool StationFinder::matches(const Folded &f, const QString &query)
{
    return f.number.startsWith(query) || f.text.contains(query);
}

const QList<int> &StationFinder::matches() const
{
    return m_steps.isEmpty() ? m_all : m_steps.last().matches;
}

const QList<int> &StationFinder::find(const QString &text)
{
    QString query = fold(text.trimmed());
    query.remove(Separator);
    // Back to the longest earlier query that the new one extends.
    while (!m_steps.isEmpty() && !query.startsWith(m_steps.last().query))
        m_steps.removeLast();
    if (query.isEmpty()) {
        m_steps.clear();
        return m_all;
    }
    if (!m_steps.isEmpty() && m_steps.last().query == query)
        return m_steps.last().matches;
    // A longer query can only narrow: every match of it matched the shorter one.
    const QList<int> &base = matches();
    QList<int> found;
    for (int i : base) {
        if (matches(m_entries.at(i), query))
            found.append(i);
    }
    m_steps.append(Step{query, std::move(found)});
    return m_steps.last().matches;
}
