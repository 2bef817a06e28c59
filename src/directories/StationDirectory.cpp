#include "directories/StationDirectory.h"

#include "directories/DirectoryUpsert.h"

#include <QTimer>

using namespace DirectoryUpsert;

StationDirectory::StationDirectory(QSqlDatabase db, QObject *parent)
    : QObject(parent)
    , m_db(std::move(db))
    , m_batch(std::make_unique<WriteBatch>(m_db))
{
}

StationDirectory::~StationDirectory()
{
    m_set.reset();
    m_batch.reset(); // commits what is pending
}

DirectoryRecordset &StationDirectory::recordset()
{
    if (!m_set)
        m_set = std::make_unique<DirectoryRecordset>(m_db, DirectoryTable::extension());
    return *m_set;
}

DirectoryRecordset *StationDirectory::OpenRecordset()
{
    recordset();
    if (!m_set->isOpen() && !m_set->open())
        return nullptr;
    return m_set.get();
}

StationFields StationDirectory::ReadRecord(const DirectoryRecordset &set)
{
    StationFields fields;
    fields.reserve(StationFieldCount);
    for (int i = 1; i <= StationFieldCount; ++i) {
        const QVariant v = set.value(i);
        fields << (i <= 2 ? QString::number(v.toLongLong()) : v.toString());
    }
    return fields;
}

bool StationDirectory::WriteRecord(const StationFields &fields, Origin origin)
{
    if (fields.size() != StationFieldCount)
        return false;
    if (origin == Origin::Operator)
        m_batch->commit();
    QVariantList values;
    values.reserve(StationFieldCount);
    values << leadingInteger(fields[0]) << leadingInteger(fields[1]);
    for (int i = 2; i < StationFieldCount; ++i)
        values << fields[i];
    // The port names the row; a record of nothing but its port deletes it.
    const Outcome outcome = write(recordset(), QStringLiteral("Port = %1").arg(leadingInteger(fields[0])), values,
                                  allEmpty(fields.mid(1)));
    if (outcome == Failed)
        return false;
    if (outcome != Unchanged) {
        m_lastWrite = outcome;
        Q_EMIT written(m_lastWrite, fields, origin);
    }
    return true;
}

bool StationDirectory::TrimToPortCount(int count)
{
    m_batch->commit();
    return trim(recordset(), QStringLiteral("Port > %1").arg(count));
}

std::optional<StationFields> StationDirectory::find(int port)
{
    recordset();
    const QString filter = m_set->filter();
    const QString sort = m_set->sort();
    m_set->close();
    m_set->setFilter(QStringLiteral("Port = %1").arg(port));
    m_set->setSort(QString());
    std::optional<StationFields> found;
    if (m_set->open() && m_set->moveFirst())
        found = ReadRecord(*m_set);
    m_set->close();
    m_set->setFilter(filter);
    m_set->setSort(sort);
    return found;
}

bool StationDirectory::writeStation(quint16 port, const std::optional<QString> &number,
                                    const std::optional<QString> &name)
{
    holdBatch();
    StationFields fields = find(int(port)).value_or(StationFields(StationFieldCount));
    fields[0] = QString::number(port);
    if (number)
        fields[1] = *number;
    else if (fields[1].isEmpty())
        fields[1] = QStringLiteral("0");
    if (name)
        fields[2] = *name;
    return WriteRecord(fields, Origin::Pbx);
}

void StationDirectory::holdBatch()
{
    if (m_batch->hold())
        QTimer::singleShot(0, this, &StationDirectory::commitBatch);
}

void StationDirectory::commitBatch()
{
    m_batch->commit();
}
