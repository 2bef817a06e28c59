#pragma once

#include "directories/DirectoryTable.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

class SqliteStatement;
struct sqlite3;

// A record set of one directory table with a filter text and a sort text as
// the directories speak them ("Port = 5", "Name Like 'ab*'", "FirstName ASC,
// MiddleName ASC"); empty texts select every record in stored order.
//
// The texts are parsed and turned into a WHERE and ORDER BY with bound
// values: field names must be fields of the table, Jet wildcards * and ? match
// any text and one character, literal %, _ and \ are matched as typed, and
// text compares and sorts without regard to case (Unicode, not only ASCII).
// A filter or sort text that does not parse opens nothing.
//
// open() reads the selected rows; the current row is then edited, deleted or
// a row is added, each write its own transaction.
class DirectoryRecordset
{
public:
    DirectoryRecordset(QSqlDatabase db, const DirectoryTable &table);
    ~DirectoryRecordset();

    // A text quoted for a filter: 'it''s'.
    static QString quoted(const QString &text);
    // A keyword typed by the operator, to stand inside '...' of a Like
    // pattern and match exactly what was typed: * ? # [ are bracketed, ' doubled.
    static QString likeLiteral(const QString &text);
    // A value as the field stores it: texts cut to the field's size and
    // never NULL, numbers wrapped to the field's width.
    static QVariant toColumn(const DirectoryField &field, const QVariant &value);

    void setFilter(const QString &filter) { m_filter = filter; }
    void setSort(const QString &sort) { m_sort = sort; }
    const QString &filter() const { return m_filter; }
    const QString &sort() const { return m_sort; }

    bool open();
    void close();
    bool isOpen() const { return m_open; }
    // close() then open() with the current texts.
    bool requery();

    int count() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.empty(); }
    bool moveFirst();
    bool moveNext();
    bool isEof() const { return m_current >= m_rows.size(); }
    int position() const { return int(m_current); }

    // Value of a field of the current row (numbers as qint64, texts as QString).
    QVariant value(const QString &field) const;
    QVariant value(int fieldIndex) const;

    // Each writes at once in its own transaction. Texts longer than the
    // field's size are cut to it; numbers are stored as integers.
    bool addNew(const QVariantList &valuesWithoutIndex);
    bool editCurrent(const QVariantList &valuesWithoutIndex);
    bool deleteCurrent();
    // Deletes every selected row in one transaction.
    bool deleteAll();

    const QString &errorText() const { return m_error; }

    // The SQL of a filter or sort text, for tests; nullopt when it does not parse.
    struct Sql
    {
        QString text;
        QVariantList values;
    };
    static std::optional<Sql> whereClause(const QString &filter, const DirectoryTable &table);
    static std::optional<QString> orderClause(const QString &sort, const DirectoryTable &table);

    const DirectoryTable &table() const { return m_table; }

private:
    bool run(SqliteStatement &statement, const QString &sql, const QVariantList &values);

    QSqlDatabase m_db;
    sqlite3 *m_handle;
    const DirectoryTable &m_table;
    QString m_filter;
    QString m_sort;
    bool m_open = false;
    std::vector<QVariantList> m_rows; // InternalIndex first
    size_t m_current = 0;
    QString m_error;
    // Prepared once: the last SELECT, and the three writes.
    std::unique_ptr<SqliteStatement> m_select;
    std::unique_ptr<SqliteStatement> m_insert;
    std::unique_ptr<SqliteStatement> m_update;
    std::unique_ptr<SqliteStatement> m_delete;
    QString m_selectSql; // without WHERE and ORDER BY
    QString m_insertSql;
    QString m_updateSql;
    QString m_deleteSql;
};
