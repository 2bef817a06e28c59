#pragma once

#include "callstate/StationDirectoryWriter.h"
#include "directories/DirectoryRecordset.h"

#include <QObject>
#include <QStringList>

#include <memory>

class WriteBatch;

// Port, station number, station name, first, middle and last name, home
// number, cellular, pager, mail, picture file name, Inform1-3, memo.
using StationFields = QStringList; // always 15 texts
constexpr int StationFieldCount = 15;

// The station directory: ExtDB.mdb, table Extension, one row per port.
class StationDirectory : public QObject, public StationDirectoryWriter
{
    Q_OBJECT
public:
    enum class Origin { Pbx, Operator };
    // Outcome of the last WriteRecord.
    enum { Added = 0, Deleted = 1, Edited = 2 };

    explicit StationDirectory(QSqlDatabase db, QObject *parent = nullptr);
    ~StationDirectory() override;

    // The directory's recordset, created on first use and opened; nullptr when
    // it cannot be opened.
    DirectoryRecordset *OpenRecordset();
    // The current record of a recordset of this table.
    static StationFields ReadRecord(const DirectoryRecordset &set);
    // The upsert of every writer: a record whose texts are all empty but its
    // port deletes the port's row (and writes nothing when there is none);
    // otherwise the row is edited or added. Emits written() after a write.
    bool WriteRecord(const StationFields &fields, Origin origin = Origin::Operator);
    int LastWrite() const { return m_lastWrite; }
    // Deletes every row above the PBX's count of station ports.
    bool TrimToPortCount(int count);
    // The stored fields of a port, or nullopt when it has no row.
    std::optional<StationFields> find(int port);

    // Write-through of the PBX's number and name, keeping the operator's fields.
    bool writeStation(quint16 port, const std::optional<QString> &number, const std::optional<QString> &name) override;

    // Groups the writes of one frame of the download in one transaction.
    // The PBX's writes of one pass of the event loop share one transaction,
    // committed when control returns to the event loop or here.
    void commitBatch();

Q_SIGNALS:
    // After each WriteRecord, for the open directory window: lastWrite is
    // Added, Deleted or Edited; fields are those written.
    void written(int lastWrite, const StationFields &fields, StationDirectory::Origin origin);

private:
    QSqlDatabase m_db;
    void holdBatch();
    // The recordset, created on first use; not opened.
    DirectoryRecordset &recordset();

    std::unique_ptr<DirectoryRecordset> m_set;
    std::unique_ptr<WriteBatch> m_batch;
    int m_lastWrite = Added;
};
