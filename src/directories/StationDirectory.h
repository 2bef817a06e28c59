#pragma once

#include "callstate/StationDirectoryWriter.h"
#include "callstate/StationNameRow.h"
#include "directories/KeyedDirectory.h"

class CallerNameIndex;

// Port, station number, station name, first, middle and last name, home
// number, cellular, pager, mail, picture file name, Inform1-3, memo.
using StationFields = QStringList; // always 15 texts
constexpr int StationFieldCount = 15;

// The station directory: ExtDB.mdb, table Extension, one row per port.
class StationDirectory : public KeyedDirectory, public StationDirectoryWriter
{
    Q_OBJECT
public:
    explicit StationDirectory(QSqlDatabase db, QObject *parent = nullptr);

    // The current record of a recordset of this table.
    static StationFields ReadRecord(const DirectoryRecordset &set) { return readTexts(set, 2); }
    // The upsert of every writer: a record whose texts are all empty but its
    // port deletes the port's row (and writes nothing when there is none);
    // otherwise the row is edited or added. Emits written() after a write.
    bool WriteRecord(const StationFields &fields, Origin origin = Origin::Operator)
    {
        return writeTexts(fields, origin);
    }
    // Deletes every row above the PBX's count of station ports.
    bool TrimToPortCount(int count);
    // The stored fields of a port, or nullopt when it has no row.
    std::optional<StationFields> find(int port) { return findKey(port); }

    // Port and the three name columns of every row, in one pass; empty when
    // the table cannot be read.
    QList<StationNameRow> nameRows();

    // Write-through of the PBX's number and name, keeping the operator's fields.
    bool writeStation(quint16 port, const std::optional<QString> &number, const std::optional<QString> &name) override;

    // The index of callers' names this directory keeps current: the stations
    // are read into it at once and every write follows. nullptr: none.
    void setCallerNames(CallerNameIndex *index);

private:
    CallerNameIndex *m_callerNames = nullptr;
};
