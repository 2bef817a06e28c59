#include "directories/StationDirectory.h"

#include "callstate/CallerNameIndex.h"
#include "directories/CallerNameReader.h"
#include "directories/SqliteStatement.h"

StationDirectory::StationDirectory(QSqlDatabase db, QObject *parent)
    : KeyedDirectory(std::move(db), DirectoryTable::extension(), 2, parent)
{
    // A write of nothing but the port deleted the row: its number goes too.
    connect(this, &KeyedDirectory::written, this, [this](int, const QStringList &fields) {
        if (!m_callerNames)
            return;
        const CallerNameIndex::Entry entry = CallerNameReader::station(fields);
        m_callerNames->set(CallerNameIndex::Stations, entry.key, entry.number, entry.name);
    });
}

void StationDirectory::setCallerNames(CallerNameIndex *index)
{
    m_callerNames = index;
    if (m_callerNames)
        m_callerNames->replace(CallerNameIndex::Stations, CallerNameReader::stations(database()));
}

bool StationDirectory::TrimToPortCount(int count)
{
    const bool ok = trimAbove(count);
    if (ok && m_callerNames)
        m_callerNames->removeAbove(CallerNameIndex::Stations, count);
    return ok;
}

bool StationDirectory::writeStation(quint16 port, const std::optional<QString> &number,
                                    const std::optional<QString> &name)
{
    return writeThrough(port, [&](StationFields &fields) {
        if (number)
            fields[1] = *number;
        else if (fields[1].isEmpty())
            fields[1] = QStringLiteral("0");
        if (name)
            fields[2] = *name;
    });
}

QList<StationNameRow> StationDirectory::nameRows()
{
    SqliteStatement select;
    if (!select.prepare(sqliteHandle(database()),
                        QStringLiteral("SELECT Port, FirstName, MiddleName, LastName FROM Extension")))
        return {};
    QList<StationNameRow> rows;
    while (select.next())
        rows.append({qint32(select.integer(0)), select.text(1), select.text(2), select.text(3)});
    return rows;
}
