#include "directories/CoDirectory.h"

#include "directories/DirectoryUpsert.h"

#include <QTimer>

using namespace DirectoryUpsert;

CoDirectory::CoDirectory(QSqlDatabase db, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_batch(std::make_unique<WriteBatch>(m_db))
{
}

CoDirectory::~CoDirectory()
{
    m_set.reset();
    m_batch.reset();
}

DirectoryRecordset &CoDirectory::recordset()
{
    if (!m_set)
        m_set = std::make_unique<DirectoryRecordset>(m_db, DirectoryTable::trunk());
    return *m_set;
}

DirectoryRecordset *CoDirectory::OpenRecordset()
{
    recordset();
    if (!m_set->isOpen() && !m_set->open())
        return nullptr;
    return m_set.get();
}

CoFields CoDirectory::ReadRecord(const DirectoryRecordset &set)
{
    CoFields fields;
    fields.reserve(CoFieldCount);
    for (int i = 1; i <= CoFieldCount; ++i) {
        const QVariant v = set.value(i);
        fields << (i == 1 ? QString::number(v.toLongLong()) : v.toString());
    }
    return fields;
}

bool CoDirectory::WriteRecord(const CoFields &fields, Origin origin)
{
    if (fields.size() != CoFieldCount)
        return false;
    if (origin == Origin::Operator)
        m_batch->commit();
    QVariantList values;
    values.reserve(CoFieldCount);
    values << leadingInteger(fields[0]);
    for (int i = 1; i < CoFieldCount; ++i)
        values << fields[i];
    // The line number names the row; a record of nothing but its number deletes it.
    const Outcome outcome = write(recordset(), QStringLiteral("LineNo = %1").arg(leadingInteger(fields[0])), values,
                                  allEmpty(fields.mid(1)));
    if (outcome == Failed)
        return false;
    if (outcome != Unchanged) {
        m_lastWrite = outcome;
        Q_EMIT written(m_lastWrite, fields, origin);
    }
    return true;
}

bool CoDirectory::TrimToLineCount(int count)
{
    m_batch->commit();
    return trim(recordset(), QStringLiteral("LineNo > %1").arg(count));
}

std::optional<CoFields> CoDirectory::find(int line)
{
    recordset();
    const QString filter = m_set->filter();
    const QString sort = m_set->sort();
    m_set->close();
    m_set->setFilter(QStringLiteral("LineNo = %1").arg(line));
    m_set->setSort(QString());
    std::optional<CoFields> found;
    if (m_set->open() && m_set->moveFirst())
        found = ReadRecord(*m_set);
    m_set->close();
    m_set->setFilter(filter);
    m_set->setSort(sort);
    return found;
}

bool CoDirectory::writeCoLine(quint16 line, const std::optional<QString> &name,
                              const std::optional<QString> &accessCode, const std::optional<QString> &retrieveCode)
{
    holdBatch();
    CoFields fields = find(int(line)).value_or(CoFields(CoFieldCount));
    fields[0] = QString::number(line);
    if (name)
        fields[1] = *name;
    if (accessCode)
        fields[2] = *accessCode;
    if (retrieveCode)
        fields[3] = *retrieveCode;
    return WriteRecord(fields, Origin::Pbx);
}

void CoDirectory::holdBatch()
{
    if (m_batch->hold())
        QTimer::singleShot(0, this, &CoDirectory::commitBatch);
}

void CoDirectory::commitBatch()
{
    m_batch->commit();
}
