#include "directories/DirectoryUpsert.h"

#include "directories/DirectoryRecordset.h"

#include <QLoggingCategory>
#include <QSqlError>

Q_LOGGING_CATEGORY(lcUpsert, "zarto.directories.write")

namespace DirectoryUpsert {

namespace {
// The upsert and the trim leave the recordset closed with the filter and sort
// it had, for the window that reopens it.
struct KeepTexts
{
    explicit KeepTexts(DirectoryRecordset &set)
        : set(set)
        , filter(set.filter())
        , sort(set.sort())
    {
    }
    ~KeepTexts()
    {
        set.close();
        set.setFilter(filter);
        set.setSort(sort);
    }
    DirectoryRecordset &set;
    QString filter;
    QString sort;
};
} // namespace

Outcome write(DirectoryRecordset &set, const QString &keyFilter, const QVariantList &values, bool empty)
{
    const KeepTexts keep(set);
    set.close();
    set.setFilter(keyFilter);
    set.setSort(QString());
    if (!set.open())
        return Failed;
    Outcome outcome = Unchanged;
    if (!set.isEmpty()) {
        set.moveFirst();
        while (!set.isEof()) {
            if (empty) {
                if (!set.deleteCurrent()) { // the next row becomes current
                    set.close();
                    return Failed;
                }
                outcome = Deleted;
            } else {
                if (!set.editCurrent(values)) {
                    set.close();
                    return Failed;
                }
                outcome = Edited;
                set.moveNext();
            }
        }
    } else if (!empty) {
        if (!set.addNew(values)) {
            set.close();
            return Failed;
        }
        outcome = Added;
    }
    set.close();
    return outcome;
}

bool trim(DirectoryRecordset &set, const QString &filter)
{
    const KeepTexts keep(set);
    set.close();
    set.setFilter(filter);
    set.setSort(QString());
    const bool ok = set.deleteAll();
    set.close();
    return ok;
}

qint64 leadingInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 0x7FFFFFFF)
            return 0; // does not fit the field
    }
    return negative ? -value : value;
}

bool allEmpty(const QStringList &texts)
{
    for (const QString &t : texts) {
        if (!t.isEmpty())
            return false;
    }
    return true;
}

} // namespace DirectoryUpsert

bool WriteBatch::hold()
{
    if (m_open)
        return false;
    m_open = m_db.transaction();
    if (!m_open)
        qCWarning(lcUpsert) << "cannot begin a batch:" << m_db.lastError().text();
    return m_open;
}

void WriteBatch::commit()
{
    if (!m_open)
        return;
    m_open = false;
    if (!m_db.commit()) {
        qCWarning(lcUpsert) << "cannot commit a batch:" << m_db.lastError().text();
        m_db.rollback();
    }
}
