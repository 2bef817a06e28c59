#include "directories/SpeedBinPage.h"

#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryRecordset.h"
#include "directories/DirectoryUpsert.h"

namespace {
const char *const SearchFieldNames[] = {"SpdNo", "Name", "Number", "COType"};
} // namespace

SpeedBinPage::SpeedBinPage(CPhoneBookDB &db, QObject *parent)
    : QAbstractTableModel(parent)
    , m_db(db)
{
}

QString SpeedBinPage::searchFilter(int field, const QString &keyword, bool fromFirstChar)
{
    if (keyword.isEmpty())
        return QString();
    const QString lead = fromFirstChar ? QString() : QStringLiteral("*");
    const QString typed = DirectoryRecordset::likeLiteral(keyword);
    if (field == SearchCoNumber) {
        // A line number may be typed with a leading zero; the stored number has none.
        const QString value = QString::number(DirectoryUpsert::leadingInteger(keyword));
        return QStringLiteral("(COType = 'Group' AND CONo Like '%1%2*') OR (COType = 'Line' AND CONo Like '%1%3*')")
            .arg(lead, typed, value);
    }
    if (field < SearchBin || field > SearchCoType)
        return QString();
    return QStringLiteral("%1 Like '%2%3*'").arg(QLatin1String(SearchFieldNames[field]), lead, typed);
}

QString SpeedBinPage::sortText(int column, bool ascending)
{
    const QString direction = ascending ? QStringLiteral("ASC") : QStringLiteral("DESC");
    switch (column) {
    case BinColumn:
        return QStringLiteral("SpdNo ") + direction;
    case NameColumn:
        return QStringLiteral("Name ") + direction;
    case NumberColumn:
        return QStringLiteral("Number ") + direction;
    case CoTypeColumn:
        return QStringLiteral("COType ") + direction;
    case CoNumberColumn:
        return QStringLiteral("COTYPE DESC, CONo ") + direction;
    default:
        return QString();
    }
}

QString SpeedBinPage::coNumberText(const Record &record)
{
    if (record.coNumber == 255 || record.coType == QLatin1String("None"))
        return QString();
    return QString::number(record.coNumber);
}

const char *SpeedBinPage::headerKey(int column)
{
    static const char *const keys[] = {"#:pb_bin_no", "#:pb_name", "#:pb_phone_no", "#:pb_co_type", "#:pb_co_no"};
    return column >= 0 && column < ColumnCount ? keys[column] : "";
}

int SpeedBinPage::columnWidth(int column)
{
    static const int widths[] = {54, 130, 138, 66, 54};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

bool SpeedBinPage::reload()
{
    auto set = m_db.newRecordset();
    set->setFilter(m_filter);
    set->setSort(m_sort);
    beginResetModel();
    m_records.clear();
    m_start = 0;
    const bool ok = set->open();
    if (ok) {
        for (bool more = set->moveFirst(); more; more = set->moveNext())
            m_records.push_back({int(set->value(QStringLiteral("SpdNo")).toLongLong()),
                                 set->value(QStringLiteral("Name")).toString(),
                                 set->value(QStringLiteral("Number")).toString(),
                                 set->value(QStringLiteral("COType")).toString(),
                                 int(set->value(QStringLiteral("CONo")).toLongLong()),
                                 set->value(QStringLiteral("Memo")).toString()});
    }
    endResetModel();
    Q_EMIT pageChanged();
    return ok;
}

bool SpeedBinPage::search(int field, const QString &keyword, bool fromFirstChar)
{
    m_filter = searchFilter(field, keyword, fromFirstChar);
    return reload();
}

bool SpeedBinPage::reset()
{
    m_filter.clear();
    m_sort.clear();
    return reload();
}

bool SpeedBinPage::reloadUnfiltered()
{
    m_filter.clear();
    return reload();
}

bool SpeedBinPage::sortBy(int column)
{
    if (column < 0 || column >= ColumnCount)
        return false;
    const bool ascending = m_ascending[column];
    for (int c = 0; c < ColumnCount; ++c)
        m_ascending[c] = c == column ? !ascending : true;
    m_sort = sortText(column, ascending);
    if (!reload())
        return false;
    int start = 0;
    auto empty = [&](const Record &r) {
        if (column == NameColumn)
            return ascending && r.name.isEmpty();
        return column == CoNumberColumn && r.coType == QLatin1String("None");
    };
    while (start < total() && empty(m_records[size_t(start)]) && total() - (start + 1) >= PageSize)
        ++start;
    if (start != 0)
        show(start);
    return true;
}

void SpeedBinPage::show(int start)
{
    beginResetModel();
    m_start = start;
    endResetModel();
    Q_EMIT pageChanged();
}

void SpeedBinPage::firstPage()
{
    show(0);
}

void SpeedBinPage::backPage()
{
    if (m_start > 0)
        show(qMax(0, m_start - PageSize));
}

void SpeedBinPage::backOne()
{
    if (m_start > 0)
        show(m_start - 1);
}

void SpeedBinPage::forwardOne()
{
    if (m_start + 1 < total())
        show(m_start + 1);
}

void SpeedBinPage::forwardPage()
{
    if (m_start + PageSize >= total())
        return;
    int start = m_start + PageSize;
    // Fewer than a page left: the last page is shown whole.
    if (total() - start < PageSize)
        start = qMax(0, total() - PageSize);
    show(start);
}

void SpeedBinPage::lastPage()
{
    show(qMax(0, total() - PageSize));
}

std::optional<SpeedBinPage::Record> SpeedBinPage::record(int row) const
{
    if (row < 0 || row >= rowCount())
        return std::nullopt;
    return m_records[size_t(m_start + row)];
}

int SpeedBinPage::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return qBound(0, total() - m_start, int(PageSize));
}

int SpeedBinPage::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SpeedBinPage::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const auto r = record(index.row());
    if (!r)
        return {};
    switch (index.column()) {
    case BinColumn:
        return QString::number(r->bin);
    case NameColumn:
        return r->name;
    case NumberColumn:
        return r->number;
    case CoTypeColumn:
        return r->coType;
    case CoNumberColumn:
        return coNumberText(*r);
    default:
        return {};
    }
}
