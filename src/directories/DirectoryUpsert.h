#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

class DirectoryRecordset;

// What the station and CO line directories share: the upsert by key, the trim
// above a count, the decimal conversion of their number texts, and the batch
// transaction of the PBX's writes.
namespace DirectoryUpsert {

// Outcome of an upsert: Added 0, Deleted 1, Edited 2, nothing written (all
// texts empty and no row) or failed.
enum Outcome { Added = 0, Deleted = 1, Edited = 2, Unchanged = 3, Failed = 4 };

// Opens set with keyFilter; every row found is deleted when allEmpty, else
// edited with values; with none found a row of values is added unless allEmpty.
// The recordset is closed afterwards.
Outcome write(DirectoryRecordset &set, const QString &keyFilter, const QVariantList &values, bool allEmpty);

// Deletes every row the filter finds; false when the recordset cannot be opened.
bool trim(DirectoryRecordset &set, const QString &filter);

// A decimal text as a number the way the directories read it: blanks, an
// optional sign and the leading digits; anything else gives 0 ("...." is 0).
qint64 leadingInteger(const QString &text);

bool allEmpty(const QStringList &texts);

} // namespace DirectoryUpsert

// Groups the PBX's writes of one pass of the event loop in one transaction,
// so a download does not wait on the disk per station. An operator's write
// commits what is pending first and then commits at once by itself.
class WriteBatch
{
public:
    explicit WriteBatch(QSqlDatabase db)
        : m_db(std::move(db))
    {
    }
    ~WriteBatch() { commit(); }
    // Opens the transaction when none is; true when a commit must be scheduled.
    bool hold();
    void commit();
    bool isOpen() const { return m_open; }

private:
    QSqlDatabase m_db;
    bool m_open = false;
};
