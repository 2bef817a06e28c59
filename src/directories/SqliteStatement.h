#pragma once

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;
class QSqlDatabase;

// The SQLite handle under a Qt SQL connection, or nullptr.
sqlite3 *sqliteHandle(const QSqlDatabase &db);

// One prepared statement on a connection's SQLite handle, kept for reuse.
// Going to SQLite directly on the recordset's hot path costs a tenth of a
// Qt SQL query, which builds a field record for every execution.
class SqliteStatement
{
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    // Prepares sql unless it is the statement already prepared.
    bool prepare(sqlite3 *db, const QString &sql);
    bool isPrepared() const { return m_stmt != nullptr; }
    // Binds texts as UTF-8, numbers as 64-bit integers, null otherwise (1-based).
    void bind(int index, const QVariant &value);
    // One step: true while a row is there; done() after the last.
    bool next();
    // Runs a statement that returns no rows.
    bool run();
    void reset();
    qint64 integer(int column) const;
    QString text(int column) const;
    const QString &error() const { return m_error; }

private:
    void finalize();

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
    QString m_error;
};
