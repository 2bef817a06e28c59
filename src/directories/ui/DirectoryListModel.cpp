#include "DirectoryListModel.h"

DirectoryListModel::DirectoryListModel(DirectoryKind kind, QObject *parent)
    : QAbstractTableModel(parent)
    , m_kind(kind)
{
    retranslate();
}

int DirectoryListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int DirectoryListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : DirectoryColumns::count(m_kind);
}

QVariant DirectoryListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return m_rows[index.row()].value(index.column());
    return {};
}

QVariant DirectoryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return m_headers.value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

void DirectoryListModel::setRows(QList<QStringList> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int DirectoryListModel::findKey(const QString &key) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].value(0) == key)
            return i;
    }
    return -1;
}

void DirectoryListModel::setCells(int row, const DirectoryColumns::Range &range, const QStringList &texts)
{
    if (row < 0 || row >= m_rows.size())
        return;
    QStringList &cells = m_rows[row];
    for (int c = range.first; c <= range.last && c < cells.size(); ++c)
        cells[c] = texts.value(c);
    Q_EMIT dataChanged(index(row, range.first), index(row, range.last));
}

void DirectoryListModel::removeKeyRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    endRemoveRows();
}

QList<bool> DirectoryListModel::emptiness(int column) const
{
    QList<bool> out;
    out.reserve(m_rows.size());
    for (const QStringList &cells : m_rows)
        out.append(DirectoryColumns::isEmptyCell(m_kind, column, cells.value(column)));
    return out;
}

void DirectoryListModel::retranslate()
{
    m_headers.clear();
    for (int c = 0; c < DirectoryColumns::count(m_kind); ++c)
        m_headers.append(DirectoryColumns::headerText(m_kind, c));
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, DirectoryColumns::count(m_kind) - 1);
}
