#include "directories/SqliteStatement.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

sqlite3 *sqliteHandle(const QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
}

SqliteStatement::~SqliteStatement()
{
    finalize();
}

void SqliteStatement::finalize()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_sql.clear();
}

bool SqliteStatement::prepare(sqlite3 *db, const QString &sql)
{
    if (m_stmt && m_db == db && m_sql == sql) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
        return true;
    }
    finalize();
    m_db = db;
    if (!db) {
        m_error = QStringLiteral("no database");
        return false;
    }
    const QByteArray utf8 = sql.toUtf8();
    if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &m_stmt, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(db));
        finalize();
        return false;
    }
    m_sql = sql;
    return true;
}

void SqliteStatement::bind(int index, const QVariant &value)
{
    if (!m_stmt)
        return;
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        sqlite3_bind_int64(m_stmt, index, value.toLongLong());
        break;
    default:
        sqlite3_bind_null(m_stmt, index);
        break;
    }
}

bool SqliteStatement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    else
        m_error.clear();
    return false;
}

bool SqliteStatement::run()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    m_error = ok ? QString() : QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_reset(m_stmt);
    return ok;
}

void SqliteStatement::reset()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
}

qint64 SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

QString SqliteStatement::text(int column) const
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(m_stmt, column)) : QString();
}
