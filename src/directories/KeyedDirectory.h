#pragma once

#include "directories/DirectoryRecordset.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class WriteBatch;

// What the station and CO line directories share: one table whose rows are
// named by a number (Port, LineNo), records exchanged as texts, the upsert
// with LastWrite, the trim above a count, and the write-through of the PBX's
// reports in batches.
class KeyedDirectory : public QObject
{
    Q_OBJECT
public:
    enum class Origin { Pbx, Operator };
    // Outcome of the last WriteRecord.
    enum { Added = 0, Deleted = 1, Edited = 2 };

    ~KeyedDirectory() override;

    // The directory's recordset, created on first use and opened; nullptr when
    // it cannot be opened.
    DirectoryRecordset *OpenRecordset();
    int LastWrite() const { return m_lastWrite; }
    QSqlDatabase database() const { return m_db; }
    // The PBX's writes share one transaction, committed kBatchMs after the
    // first of them, before an operator's write or a trim, or here. A killed
    // console loses at most the reports of that moment, which the next
    // log-on reports again; a download does not write its pages once a row.
    static constexpr int kBatchMs = 50;
    void commitBatch();

Q_SIGNALS:
    // After each write, for the open directory window: lastWrite is Added,
    // Deleted or Edited; fields are those written.
    void written(int lastWrite, const QStringList &fields, KeyedDirectory::Origin origin);

protected:
    // numberFields: how many of the leading texts are numbers (the key first).
    KeyedDirectory(QSqlDatabase db, const DirectoryTable &table, int numberFields, QObject *parent);

    // The texts of the current record of a recordset of this table.
    static QStringList readTexts(const DirectoryRecordset &set, int numberFields);
    // The upsert: a record whose texts are all empty but its key deletes the
    // key's row (and writes nothing when there is none); otherwise the row is
    // edited or added.
    bool writeTexts(const QStringList &fields, Origin origin);
    bool trimAbove(int count);
    std::optional<QStringList> findKey(int key);
    // The stored texts of the key (empty texts when it has no row) changed by
    // merge, then written as the PBX's; the operator's texts stay.
    bool writeThrough(int key, const std::function<void(QStringList &)> &merge);

private:
    DirectoryRecordset &recordset();
    QString keyFilter(qint64 key) const;
    bool writeOpen(const QStringList &fields, Origin origin);
    void holdBatch();
    struct KeyStatements;
    KeyStatements *keyStatements();

    QSqlDatabase m_db;
    const DirectoryTable &m_table;
    const int m_numberFields;
    std::unique_ptr<DirectoryRecordset> m_set;
    std::unique_ptr<WriteBatch> m_batch;
    std::unique_ptr<KeyStatements> m_keyed;
    int m_lastWrite = Added;
};
