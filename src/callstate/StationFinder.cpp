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

void StationFinder::setEntries(const QList<Entry> &entries)
{
    m_entries.clear();
    m_entries.reserve(entries.size());
    for (const Entry &e : entries)
        m_entries.append(Folded{e, fold(e.number), fold(e.name), fold(e.owner)});
    m_matches.clear();
    m_query.clear();
    m_valid = false;
}

bool StationFinder::matches(const Folded &f, const QString &query) const
{
    return f.number.startsWith(query) || f.name.contains(query) || f.owner.contains(query);
}

const QList<int> &StationFinder::find(const QString &text)
{
    const QString query = fold(text.trimmed());
    if (m_valid && query == m_query)
        return m_matches;
    // A longer query can only narrow: every match of it matched the shorter one.
    const bool narrowing = m_valid && !m_query.isEmpty() && query.startsWith(m_query);
    QList<int> found;
    if (query.isEmpty()) {
        found.reserve(m_entries.size());
        for (int i = 0; i < int(m_entries.size()); ++i)
            found.append(i);
    } else if (narrowing) {
        for (int i : std::as_const(m_matches)) {
            if (matches(m_entries.at(i), query))
                found.append(i);
        }
    } else {
        for (int i = 0; i < int(m_entries.size()); ++i) {
            if (matches(m_entries.at(i), query))
                found.append(i);
        }
    }
    m_matches = std::move(found);
    m_query = query;
    m_valid = true;
    return m_matches;
}
