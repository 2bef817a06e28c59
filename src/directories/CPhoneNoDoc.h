#pragma once

#include "directories/PhoneNoDirectory.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

class DirectoryRecordset;

// What the phone-number directory window shows: one page of at most 15
// entries of its recordset, with the window's filter and sort texts, the
// selected row of the page and the sort direction of each column.
class CPhoneNoDoc : public QObject
{
    Q_OBJECT
public:
    static constexpr int PageSize = 15;
    enum Column { NameColumn = 0, PhoneNoColumn = 1, MemoColumn = 2 };
    enum SearchField { SearchName = 0, SearchPhoneNo = 1, SearchMemo = 2 };
    enum Move { First, BackPage, BackOne, ForwardOne, ForwardPage, Last };

    // directory may be nullptr: the file could not be opened this run.
    explicit CPhoneNoDoc(PhoneNoDirectory *directory, QObject *parent = nullptr);
    ~CPhoneNoDoc() override;

    PhoneNoDirectory *directory() const { return m_directory; }
    const QString &filterText() const { return m_filter; }
    const QString &sortText() const { return m_sort; }

    // Reopens the recordset with the window's filter and sort and shows the
    // first page. False when the recordset cannot be opened (the page is then empty).
    bool reload();
    // Reads the recordset again and stays on the page as far as it still exists
    // (after an edit).
    bool refresh();

    // The search row: an empty keyword clears the filter and keeps the sort.
    bool search(SearchField field, const QString &keyword, bool fromFirstChar);
    // Filter and sort cleared, first page.
    bool reset();
    // A click on a column header.
    bool sortByColumn(int column);
    // The paging buttons; a move past the first or last page does nothing.
    void move(Move move);

    const QList<PhoneNoEntry> &page() const { return m_page; }
    int pageStart() const { return m_start; }
    int recordCount() const;
    bool isFirstPage() const { return m_start == 0; }
    bool isLastPage() const { return m_start + PageSize >= recordCount(); }

    int selectedRow() const { return m_selected; }
    void select(int row);
    // The selected entry, or nullptr.
    const PhoneNoEntry *selectedEntry() const;

    bool loggedOn() const { return m_loggedOn; }
    void setLoggedOn(bool on);

    static QString fieldName(SearchField field);

Q_SIGNALS:
    // The shown page changed (its rows, or which rows); the selection is cleared.
    void pageChanged();
    void selectionChanged();
    void loggedOnChanged(bool on);

private:
    bool open();
    void showFrom(int start);

    PhoneNoDirectory *m_directory;
    std::unique_ptr<DirectoryRecordset> m_set;
    QString m_filter;
    QString m_sort;
    std::array<bool, 3> m_ascending{true, true, true};
    QList<PhoneNoEntry> m_page;
    int m_start = 0;
    int m_selected = -1;
    bool m_loggedOn = false;
};
