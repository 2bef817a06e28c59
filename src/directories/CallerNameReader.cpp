#include "directories/CallerNameReader.h"

#include "callstate/FullName.h"
#include "directories/DirectoryUpsert.h"
#include "directories/SqliteStatement.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCallerNames, "zarto.directories.callers")

namespace {
CallerNameIndex::Entry stationEntry(qint64 port, qint64 number, const QString &staName, const QString &first,
                                    const QString &middle, const QString &last)
{
    const QString full = fullName(first, middle, last);
    return {port, number == 0 ? QString() : QString::number(number), full.isEmpty() ? staName : full};
}

// Runs sql and hands every row to take.
template <typename Take>
QList<CallerNameIndex::Entry> readAll(const QSqlDatabase &db, const QString &sql, Take take)
{
    QList<CallerNameIndex::Entry> entries;
    SqliteStatement statement;
    if (!statement.prepare(sqliteHandle(db), sql)) {
        qCWarning(lcCallerNames) << "cannot read callers:" << statement.error();
        return entries;
    }
    while (statement.next())
        entries.append(take(statement));
    return entries;
}
} // namespace

QList<CallerNameIndex::Entry> CallerNameReader::phoneNumbers(const QSqlDatabase &db)
{
    return readAll(db, QStringLiteral("SELECT InternalIndex, PhoneNo, Name FROM PhoneNo"),
                   [](const SqliteStatement &s) {
                       return CallerNameIndex::Entry{s.integer(0), s.text(1), s.text(2)};
                   });
}

QList<CallerNameIndex::Entry> CallerNameReader::speedBins(const QSqlDatabase &db)
{
    return readAll(db, QStringLiteral("SELECT SpdNo, Number, Name FROM SpeedBin"), [](const SqliteStatement &s) {
        return CallerNameIndex::Entry{s.integer(0), s.text(1), s.text(2)};
    });
}

QList<CallerNameIndex::Entry> CallerNameReader::stations(const QSqlDatabase &db)
{
    return readAll(db,
                   QStringLiteral("SELECT Port, StaNumber, StaName, FirstName, MiddleName, LastName FROM Extension"),
                   [](const SqliteStatement &s) {
                       return stationEntry(s.integer(0), s.integer(1), s.text(2), s.text(3), s.text(4), s.text(5));
                   });
}

CallerNameIndex::Entry CallerNameReader::station(const QStringList &f)
{
    if (f.size() < 6)
        return {};
    return stationEntry(DirectoryUpsert::leadingInteger(f[0]), DirectoryUpsert::leadingInteger(f[1]), f[2], f[3], f[4],
                        f[5]);
}
