#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <array>

// Who is calling: the names the directories give to numbers, kept in memory
// so that a ring costs a few hash look-ups and never a database query. Each
// source (phone numbers, speed bins, stations) maps the digits of its numbers
// to the name of the record; the directories keep their source current on
// every write and replace it whole when a file is opened or imported.
//
// Digits are a number with its blanks, brackets and dashes removed and a
// leading "+" dropped: "+49 (30) 1234-567" and "49301234567" are the same
// caller. A record without a number or without a name is not indexed.
class CallerNameIndex
{
public:
    // In the order a caller is looked up: the operator's own phone numbers
    // first, then the speed bins, then the stations.
    enum Source { PhoneNumbers = 0, SpeedBins = 1, Stations = 2 };
    static constexpr int SourceCount = 3;

    // One record of a source; key names the record within its source
    // (InternalIndex, bin number, port).
    struct Entry
    {
        qint64 key = 0;
        QString number;
        QString name;
    };

    // The record now has this number and name (any it had before is gone).
    void set(Source source, qint64 key, const QString &number, const QString &name);
    void remove(Source source, qint64 key);
    // Every record whose key is above last, as a trim of the file removes them.
    void removeAbove(Source source, qint64 last);
    // The whole source anew, e.g. after its file was opened or imported.
    void replace(Source source, const QList<Entry> &entries);
    void clear(Source source);

    // The caller's name, empty when no source knows the digits. Two records
    // of one source with the same digits: the one with the lower key names it.
    QString nameFor(const QString &callerDigits) const;
    int size(Source source) const;

    static QString digitsOf(const QString &number);
    // A caller as the queue and the pop-up show it: "name (digits)", or the
    // digits alone when no name is known.
    static QString shown(const QString &digits, const QString &name);

private:
    struct Holder
    {
        qint64 key;
        QString name;
    };
    struct Part
    {
        QHash<qint64, QString> digitsByKey;
        QMultiHash<QString, Holder> byDigits;
    };
    void insert(Part &part, qint64 key, const QString &digits, const QString &name);

    std::array<Part, SourceCount> m_parts;
};
