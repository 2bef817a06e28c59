#pragma once

#include "callstate/CallerNameIndex.h"

#include <QList>
#include <QSqlDatabase>
#include <QStringList>

// Reads the callers a directory file knows, each file with one query, for
// the caller-name index: phone numbers by InternalIndex, speed bins by bin
// number, stations by port.
class CallerNameReader
{
public:
    static QList<CallerNameIndex::Entry> phoneNumbers(const QSqlDatabase &db);
    static QList<CallerNameIndex::Entry> speedBins(const QSqlDatabase &db);
    static QList<CallerNameIndex::Entry> stations(const QSqlDatabase &db);

    // A station record as the index holds it: its number (none while the
    // number is 0) and its owner's full name, or the PBX's station name when
    // the operator gave none.
    static CallerNameIndex::Entry station(const QStringList &stationFields);
};
