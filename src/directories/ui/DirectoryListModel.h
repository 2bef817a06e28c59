#pragma once

#include "directories/DirectoryColumns.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The rows of a directory window: the cell texts of each record in the order
// the recordset gave them. Header texts come from the catalogue.
class DirectoryListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DirectoryListModel(DirectoryKind kind, QObject *parent = nullptr);

    DirectoryKind kind() const { return m_kind; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row (one reset, however many rows).
    void setRows(QList<QStringList> rows);
    void clear() { setRows({}); }
    const QStringList &row(int row) const { return m_rows.at(row); }
    QString cell(int row, int column) const { return m_rows.value(row).value(column); }

    // The row whose column 0 is that text, or -1.
    int findKey(const QString &key) const;
    // Sets the columns first..last of a row from the texts of a whole row.
    void setCells(int row, const DirectoryColumns::Range &range, const QStringList &texts);
    void removeKeyRow(int row);

    // Whether each row holds no value in a column, as the sort sees it.
    QList<bool> emptiness(int column) const;

    // The header texts are looked up again.
    void retranslate();

private:
    DirectoryKind m_kind;
    QList<QStringList> m_rows;
    QStringList m_headers;
};
