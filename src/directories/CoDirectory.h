#pragma once

#include "callstate/CoDirectoryWriter.h"
#include "directories/DirectoryRecordset.h"
#include "directories/StationDirectory.h"

#include <QObject>
#include <QStringList>

#include <memory>

class WriteBatch;

// Line number, CO name, access code, retrieve code, telephone number, full
// name, Inform1, memo.
using CoFields = QStringList; // always 8 texts
constexpr int CoFieldCount = 8;

// The CO line directory: TrkDB.mdb, table Trunk, one row per line.
class CoDirectory : public QObject, public CoDirectoryWriter
{
    Q_OBJECT
public:
    using Origin = StationDirectory::Origin;

    explicit CoDirectory(QSqlDatabase db, QObject *parent = nullptr);
    ~CoDirectory() override;

    DirectoryRecordset *OpenRecordset();
    static CoFields ReadRecord(const DirectoryRecordset &set);
    bool WriteRecord(const CoFields &fields, Origin origin = Origin::Operator);
    int LastWrite() const { return m_lastWrite; }
    bool TrimToLineCount(int count);
    std::optional<CoFields> find(int line);

    bool writeCoLine(quint16 line, const std::optional<QString> &name, const std::optional<QString> &accessCode,
                     const std::optional<QString> &retrieveCode) override;

    // The PBX's writes of one pass of the event loop share one transaction,
    // committed when control returns to the event loop or here.
    void commitBatch();

Q_SIGNALS:
    void written(int lastWrite, const CoFields &fields, StationDirectory::Origin origin);

private:
    QSqlDatabase m_db;
    void holdBatch();
    // The recordset, created on first use; not opened.
    DirectoryRecordset &recordset();

    std::unique_ptr<DirectoryRecordset> m_set;
    std::unique_ptr<WriteBatch> m_batch;
    int m_lastWrite = StationDirectory::Added;
};
