#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <optional>
#include <vector>

class CPhoneBookDB;

// What the speed-bin directory window lists: one page of at most 15 records
// of the directory, read with the window's filter and sort texts, starting at
// the current position. Paging moves that position; a search sets the filter,
// a click on a column header the sort.
class SpeedBinPage : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int PageSize = 15;
    enum Column { BinColumn, NameColumn, NumberColumn, CoTypeColumn, CoNumberColumn, ColumnCount };
    // The fields the search row offers, in its order.
    enum SearchField { SearchBin, SearchName, SearchNumber, SearchCoType, SearchCoNumber };

    struct Record
    {
        int bin = 0;
        QString name;
        QString number;
        QString coType;
        int coNumber = 0;
        QString memo;
    };

    explicit SpeedBinPage(CPhoneBookDB &db, QObject *parent = nullptr);

    // The filter of a search: the keyword is matched as typed (', *, ?, %
    // and _ included), anywhere or from the first character. An empty
    // keyword gives the empty filter.
    static QString searchFilter(int field, const QString &keyword, bool fromFirstChar);
    // The sort text of a column and direction.
    static QString sortText(int column, bool ascending);
    // The CO number as the list shows it: empty for 255 and for the type "None".
    static QString coNumberText(const Record &record);
    static const char *headerKey(int column);
    static int columnWidth(int column);

    // Reads the records with the current texts and shows the first page;
    // false when the directory cannot be read.
    bool reload();
    // A search: the filter becomes the window's, the list restarts at the first page.
    bool search(int field, const QString &keyword, bool fromFirstChar);
    // Reset: no filter, no sort.
    bool reset();
    // A change made elsewhere: the filter is dropped, the sort kept.
    bool reloadUnfiltered();
    // A click on a column header: its direction flips, the others go back to
    // ascending; sorts by name ascending or by CO number skip the leading empty
    // records while a full page remains.
    bool sortBy(int column);

    void firstPage();
    void backPage();
    void backOne();
    void forwardOne();
    void forwardPage();
    void lastPage();

    int start() const { return m_start; }
    int total() const { return int(m_records.size()); }
    const QString &filter() const { return m_filter; }
    const QString &sort() const { return m_sort; }
    // The record of a row of the page.
    std::optional<Record> record(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

Q_SIGNALS:
    // The page moved or was read anew: a selection no longer holds.
    void pageChanged();

private:
    void show(int start);

    CPhoneBookDB &m_db;
    QString m_filter;
    QString m_sort;
    bool m_ascending[ColumnCount] = {true, true, true, true, true};
    std::vector<Record> m_records;
    int m_start = 0;
};
