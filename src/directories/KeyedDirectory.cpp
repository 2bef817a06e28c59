#include "directories/KeyedDirectory.h"

#include "directories/DirectoryUpsert.h"
#include "directories/SqliteStatement.h"

#include <QLoggingCategory>
#include <QTimer>

#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcKeyed, "zarto.directories.writethrough")

using namespace DirectoryUpsert;

KeyedDirectory::KeyedDirectory(QSqlDatabase db, const DirectoryTable &table, int numberFields, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_table(table)
    , m_numberFields(numberFields)
    , m_batch(std::make_unique<WriteBatch>(m_db))
{
}

// The write-through of the PBX's reports reaches the row by its key with
// statements prepared once: a download writes every station and line, and the
// recordset's filter parsing and reopening per row would double its time.
struct KeyedDirectory::KeyStatements
{
    SqliteStatement select;
    SqliteStatement update;
    SqliteStatement insert;
    SqliteStatement remove;
};

KeyedDirectory::~KeyedDirectory()
{
    m_keyed.reset();
    m_set.reset();
    m_batch.reset(); // commits what is pending
}

DirectoryRecordset &KeyedDirectory::recordset()
{
    if (!m_set)
        m_set = std::make_unique<DirectoryRecordset>(m_db, m_table);
    return *m_set;
}

DirectoryRecordset *KeyedDirectory::OpenRecordset()
{
    recordset();
    if (!m_set->isOpen() && !m_set->open())
        return nullptr;
    return m_set.get();
}

QString KeyedDirectory::keyFilter(qint64 key) const
{
    return QStringLiteral("%1 = %2").arg(m_table.key).arg(key);
}

QStringList KeyedDirectory::readTexts(const DirectoryRecordset &set, int numberFields)
{
    const int count = int(set.table().fields.size()) - 1;
    QStringList fields;
    fields.reserve(count);
    for (int i = 1; i <= count; ++i) {
        const QVariant v = set.value(i);
        fields << (i <= numberFields ? QString::number(v.toLongLong()) : v.toString());
    }
    return fields;
}

bool KeyedDirectory::writeTexts(const QStringList &fields, Origin origin)
{
    if (fields.size() != m_table.fields.size() - 1)
        return false;
    if (origin == Origin::Operator)
        m_batch->commit();
    DirectoryRecordset &set = recordset();
    const KeepTexts keep(set);
    if (!openKey(set, keyFilter(leadingInteger(fields[0]))))
        return false;
    return writeOpen(fields, origin);
}

bool KeyedDirectory::writeOpen(const QStringList &fields, Origin origin)
{
    QVariantList values;
    values.reserve(fields.size());
    for (int i = 0; i < fields.size(); ++i)
        values << (i < m_numberFields ? QVariant(leadingInteger(fields[i])) : QVariant(fields[i]));
    // The key names the row; a record of nothing but its key deletes it.
    const Outcome outcome = writeRows(*m_set, values, allEmpty(fields.mid(1)));
    if (outcome == Failed)
        return false;
    if (outcome != Unchanged) {
        m_lastWrite = outcome;
        Q_EMIT written(m_lastWrite, fields, origin);
    }
    return true;
}

bool KeyedDirectory::trimAbove(int count)
{
    m_batch->commit();
    return trim(recordset(), QStringLiteral("%1 > %2").arg(m_table.key).arg(count));
}

std::optional<QStringList> KeyedDirectory::findKey(int key)
{
    DirectoryRecordset &set = recordset();
    const KeepTexts keep(set);
    if (openKey(set, keyFilter(key)) && set.moveFirst())
        return readTexts(set, m_numberFields);
    return std::nullopt;
}

KeyedDirectory::KeyStatements *KeyedDirectory::keyStatements()
{
    if (m_keyed)
        return m_keyed.get();
    sqlite3 *handle = sqliteHandle(m_db);
    const QString &key = m_table.key;
    auto k = std::make_unique<KeyStatements>();
    const bool ok = k->select.prepare(handle, QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1")
                                                  .arg(m_table.valueFieldList(), m_table.name, key))
        && k->update.prepare(handle, m_table.updateSql(key)) && k->insert.prepare(handle, m_table.insertSql())
        && k->remove.prepare(handle, m_table.deleteSql(key));
    if (!ok) {
        qCWarning(lcKeyed) << "cannot prepare the write-through of" << m_table.name;
        return nullptr;
    }
    m_keyed = std::move(k);
    return m_keyed.get();
}

bool KeyedDirectory::writeThrough(int key, const std::function<void(QStringList &)> &merge)
{
    KeyStatements *k = keyStatements();
    if (!k)
        return false;
    holdBatch();
    // An open window reads the table afresh when it hears of the write.
    if (m_set && m_set->isOpen())
        m_set->close();

    const int count = int(m_table.fields.size()) - 1;
    QStringList fields(count);
    k->select.bind(1, qint64(key));
    const bool found = k->select.next();
    if (found) {
        for (int i = 0; i < count; ++i)
            fields[i] = i < m_numberFields ? QString::number(k->select.integer(i)) : k->select.text(i);
    } else if (!k->select.error().isEmpty()) {
        qCWarning(lcKeyed) << "cannot read" << m_table.name << key << k->select.error();
        k->select.reset();
        return false;
    }
    k->select.reset();
    fields[0] = QString::number(key);
    const QStringList stored = fields;
    merge(fields);
    // A new log-on reports mostly what the file already holds.
    if (found && fields == stored)
        return true;

    Outcome outcome = Unchanged;
    SqliteStatement *statement = nullptr;
    if (allEmpty(fields.mid(1))) {
        // Nothing but the key: the row goes, and none is made.
        if (found) {
            statement = &k->remove;
            statement->bind(1, qint64(key));
            outcome = DirectoryUpsert::Deleted;
        }
    } else {
        statement = found ? &k->update : &k->insert;
        for (int i = 0; i < count; ++i) {
            const QVariant value = i < m_numberFields ? QVariant(leadingInteger(fields[i])) : QVariant(fields[i]);
            statement->bind(i + 1, DirectoryRecordset::toColumn(m_table.fields[i + 1], value));
        }
        if (found)
            statement->bind(count + 1, qint64(key));
        outcome = found ? DirectoryUpsert::Edited : DirectoryUpsert::Added;
    }
    if (statement && !statement->run()) {
        qCWarning(lcKeyed) << "cannot write" << m_table.name << key << statement->error();
        return false;
    }
    if (outcome != Unchanged) {
        m_lastWrite = outcome;
        Q_EMIT written(m_lastWrite, fields, Origin::Pbx);
    }
    return true;
}

void KeyedDirectory::holdBatch()
{
    if (m_batch->hold())
        QTimer::singleShot(kBatchMs, this, &KeyedDirectory::commitBatch);
}

void KeyedDirectory::commitBatch()
{
    m_batch->commit();
}
