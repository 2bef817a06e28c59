#include "directories/CPhoneNoDoc.h"

#include "directories/DirectoryRecordset.h"

#include <algorithm>

CPhoneNoDoc::CPhoneNoDoc(PhoneNoDirectory *directory, QObject *parent)
    : QObject(parent)
    , m_directory(directory)
{
}

CPhoneNoDoc::~CPhoneNoDoc() = default;

QString CPhoneNoDoc::fieldName(SearchField field)
{
    switch (field) {
    case SearchPhoneNo:
        return QStringLiteral("PhoneNo");
    case SearchMemo:
        return QStringLiteral("Memo");
    case SearchName:
        break;
    }
    return QStringLiteral("Name");
}

int CPhoneNoDoc::recordCount() const
{
    return m_set && m_set->isOpen() ? m_set->count() : 0;
}

bool CPhoneNoDoc::open()
{
    if (!m_directory)
        return false;
    if (!m_set)
        m_set = m_directory->newRecordset();
    m_set->close();
    m_set->setFilter(m_filter);
    m_set->setSort(m_sort);
    return m_set->open();
}

bool CPhoneNoDoc::reload()
{
    const bool ok = open();
    showFrom(0);
    return ok;
}

bool CPhoneNoDoc::refresh()
{
    const int start = m_start;
    const bool ok = open();
    showFrom(start);
    return ok;
}

void CPhoneNoDoc::showFrom(int start)
{
    const int count = recordCount();
    m_start = std::clamp(start, 0, std::max(0, count - PageSize));
    m_page.clear();
    if (count > 0 && m_set->moveFirst()) {
        for (int i = 0; i < m_start && m_set->moveNext(); ++i) {
        }
        for (int i = 0; i < PageSize && !m_set->isEof(); ++i) {
            m_page.append(PhoneNoDirectory::readEntry(*m_set));
            m_set->moveNext();
        }
    }
    m_selected = -1;
    Q_EMIT pageChanged();
}

bool CPhoneNoDoc::search(SearchField field, const QString &keyword, bool fromFirstChar)
{
    m_filter = PhoneNoDirectory::searchFilter(fieldName(field), keyword, fromFirstChar);
    return reload();
}

bool CPhoneNoDoc::reset()
{
    m_filter.clear();
    m_sort.clear();
    return reload();
}

bool CPhoneNoDoc::sortByColumn(int column)
{
    if (column < 0 || column > MemoColumn)
        return false;
    static const char *const fields[] = {"Name", "PhoneNo", "Memo"};
    const bool ascending = m_ascending[column];
    m_sort = QStringLiteral("%1 %2").arg(QLatin1String(fields[column]),
                                         ascending ? QLatin1String("ASC") : QLatin1String("DESC"));
    m_ascending = {true, true, true};
    m_ascending[column] = !ascending;
    const bool ok = open();
    int start = 0;
    if (ok && column == MemoColumn && ascending) {
        // Entries without a memo sort first; the page starts at the first
        // memo as long as a full page remains from there.
        const int count = recordCount();
        if (m_set->moveFirst()) {
            while (start + 1 + PageSize <= count && m_set->value(3).toString().isEmpty()) {
                ++start;
                m_set->moveNext();
            }
        }
    }
    showFrom(start);
    return ok;
}

void CPhoneNoDoc::move(Move move)
{
    const int count = recordCount();
    const int lastStart = std::max(0, count - PageSize);
    switch (move) {
    case First:
        showFrom(0);
        return;
    case Last:
        showFrom(lastStart);
        return;
    case BackPage:
    case BackOne:
        if (isFirstPage())
            return;
        showFrom(m_start - (move == BackPage ? PageSize : 1));
        return;
    case ForwardPage:
    case ForwardOne:
        if (isLastPage())
            return;
        showFrom(std::min(m_start + (move == ForwardPage ? PageSize : 1), lastStart));
        return;
    }
}

void CPhoneNoDoc::select(int row)
{
    const int selected = row >= 0 && row < m_page.size() ? row : -1;
    if (selected == m_selected)
        return;
    m_selected = selected;
    Q_EMIT selectionChanged();
}

const PhoneNoEntry *CPhoneNoDoc::selectedEntry() const
{
    return m_selected >= 0 && m_selected < m_page.size() ? &m_page[m_selected] : nullptr;
}

void CPhoneNoDoc::setLoggedOn(bool on)
{
    if (on == m_loggedOn)
        return;
    m_loggedOn = on;
    Q_EMIT loggedOnChanged(on);
}
