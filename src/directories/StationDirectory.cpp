#include "directories/StationDirectory.h"

#include "directories/SqliteStatement.h"

StationDirectory::StationDirectory(QSqlDatabase db, QObject *parent)
    : KeyedDirectory(std::move(db), DirectoryTable::extension(), 2, parent)
{
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
