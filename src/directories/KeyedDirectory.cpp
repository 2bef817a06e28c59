#include "directories/KeyedDirectory.h"

#include "directories/DirectoryUpsert.h"

#include <QTimer>

using namespace DirectoryUpsert;

KeyedDirectory::KeyedDirectory(QSqlDatabase db, const DirectoryTable &table, int numberFields, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_table(table)
    , m_numberFields(numberFields)
    , m_batch(std::make_unique<WriteBatch>(m_db))
{
}

KeyedDirectory::~KeyedDirectory()
{
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

bool KeyedDirectory::writeThrough(int key, const std::function<void(QStringList &)> &merge)
{
    holdBatch();
    DirectoryRecordset &set = recordset();
    const KeepTexts keep(set);
    if (!openKey(set, keyFilter(key)))
        return false;
    QStringList fields = set.moveFirst() ? readTexts(set, m_numberFields)
                                         : QStringList(qsizetype(m_table.fields.size() - 1));
    fields[0] = QString::number(key);
    merge(fields);
    return writeOpen(fields, Origin::Pbx);
}

void KeyedDirectory::holdBatch()
{
    if (m_batch->hold())
        QTimer::singleShot(0, this, &KeyedDirectory::commitBatch);
}

void KeyedDirectory::commitBatch()
{
    m_batch->commit();
}
