#pragma once

#include <QList>
#include <QString>

class CExtStatusList;
class CTrkStatusList;

// Find-as-you-type over the ports of a status window: a port matches when its
// number starts with what was typed, or its name or owner contains it. Case
// and accents are ignored ("eclair" finds "Éclair"). The texts are folded
// once when the entries are set; a query that extends the previous one only
// searches the previous matches, and the matches of each shorter query are
// kept, so a deleted character costs nothing.
class StationFinder
{
public:
    struct Entry
    {
        quint16 index = 0; // port index in its table
        QString number;    // matched from its start
        QString name;      // matched anywhere
        QString owner;     // matched anywhere
    };

    // Present stations: number text, PBX name, and the owner's full name from
    // the station directory.
    static QList<Entry> stationEntries(const CExtStatusList &stations);
    // Present CO lines: the line number, the CO name, and the button title
    // ("CO07") so that the text on the button finds it too.
    static QList<Entry> lineEntries(const CTrkStatusList &lines, const QString &titlePrefix);

    void setEntries(const QList<Entry> &entries);
    int entryCount() const { return int(m_entries.size()); }
    // The positions (into the entries) that match, in entry order. An empty
    // or blank text matches every entry.
    const QList<int> &find(const QString &text);
    const Entry &entry(int position) const { return m_entries.at(position).entry; }
    const QList<int> &matches() const;

    // Lower case, accents dropped: the form texts are compared in.
    static QString fold(const QString &text);

private:
    struct Folded
    {
        Entry entry;
        QString number;
        // Name and owner in one text, split by a character no query holds.
        QString text;
    };
    // One query and its matches; each step's query extends the one before.
    struct Step
    {
        QString query;
        QList<int> matches;
    };
    static bool matches(const Folded &f, const QString &query);

    QList<Folded> m_entries;
    QList<int> m_all;
    QList<Step> m_steps;
};
