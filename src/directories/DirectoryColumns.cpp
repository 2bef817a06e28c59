#include "DirectoryColumns.h"

#include "base/MessageCatalogue.h"
#include "callstate/FullName.h"

namespace {

const QList<DirectoryColumn> StationColumns{
    {"#:sd_port", 60, "Port ASC", "Port DESC"},
    {"#:sd_number", 70, "StaNumber ASC", "StaNumber DESC"},
    {"#:sd_sta_name", 100, "StaName ASC", "StaName DESC"},
    {"#:sd_full_name", 150, "FirstName ASC, MiddleName ASC, LastName ASC",
     "FirstName DESC, MiddleName DESC, LastName DESC"},
    {"#:sd_home", 110, "HomeNo ASC", "HomeNo DESC"},
    {"#:sd_cellular", 110, "Cellular ASC", "Cellular DESC"},
    {"#:sd_pager", 110, "Pager ASC", "Pager DESC"},
    {"#:sd_inform1", 80, "Inform1 ASC", "Inform1 DESC"},
    {"#:sd_inform2", 80, "Inform2 ASC", "Inform2 DESC"},
    {"#:sd_inform3", 80, "Inform3 ASC", "Inform3 DESC"},
    {"#:sd_email", 150, "Mail ASC", "Mail DESC"},
    {"#:sd_picture", 80, "FileName ASC", "FileName DESC"},
    {"#:sd_memo", 150, "Memo ASC", "Memo DESC"},
};

const QList<DirectoryColumn> CoColumns{
    {"#:cd_line_no", 70, "LineNo ASC", "LineNo DESC"},
    {"#:cd_co_name", 120, "TrkName ASC", "TrkName DESC"},
    {"#:cd_access_code", 70, "AccessCode ASC", "AccessCode DESC"},
    {"#:cd_retrieve_code", 70, "RetrieveCode ASC", "RetrieveCode DESC"},
    {"#:cd_tel_no", 110, "TelNo ASC", "TelNo DESC"},
    {"#:cd_inform1", 100, "FullName ASC", "FullName DESC"},
    {"#:cd_inform2", 100, "Inform1 ASC", "Inform1 DESC"},
    {"#:cd_memo", 150, "Memo ASC", "Memo DESC"},
};

// Positions in StationFields.
enum StationField {
    Port, Number, Name, First, Middle, Last, Home, Cellular, Pager, Mail, Picture, Inform1, Inform2, Inform3, Memo
};

} // namespace

const QList<DirectoryColumn> &DirectoryColumns::of(DirectoryKind kind)
{
    return kind == DirectoryKind::Station ? StationColumns : CoColumns;
}

QString DirectoryColumns::headerText(DirectoryKind kind, int column)
{
    const QList<DirectoryColumn> &columns = of(kind);
    if (column < 0 || column >= columns.size())
        return QString();
    return trKey(QString::fromLatin1(columns[column].headerKey)).left(HeaderTextLength);
}

QStringList DirectoryColumns::rowTexts(DirectoryKind kind, const QStringList &fields)
{
    if (kind == DirectoryKind::Co) {
        QStringList row;
        for (int i = 0; i < count(kind); ++i)
            row.append(fields.value(i));
        return row;
    }
    const QString number = fields.value(Number);
    return {
        fields.value(Port),
        number.toLongLong() == 0 ? noNumberText() : number,
        fields.value(Name),
        fullName(fields.value(First), fields.value(Middle), fields.value(Last)),
        fields.value(Home),
        fields.value(Cellular),
        fields.value(Pager),
        fields.value(Inform1),
        fields.value(Inform2),
        fields.value(Inform3),
        fields.value(Mail),
        fields.value(Picture),
        fields.value(Memo),
    };
}

bool DirectoryColumns::isEmptyCell(DirectoryKind kind, int column, const QString &cellText)
{
    if (kind == DirectoryKind::Station && column == 1)
        return cellText == noNumberText();
    // The full name is empty exactly when its three parts are.
    return cellText.isEmpty();
}

QString DirectoryColumns::sortText(DirectoryKind kind, int column, bool ascending)
{
    const QList<DirectoryColumn> &columns = of(kind);
    if (column < 0 || column >= columns.size())
        return QString();
    return QString::fromLatin1(ascending ? columns[column].ascending : columns[column].descending);
}

DirectoryColumns::Range DirectoryColumns::operatorColumns(DirectoryKind kind)
{
    return kind == DirectoryKind::Station ? Range{3, 12} : Range{4, 7};
}

DirectoryColumns::Range DirectoryColumns::pbxColumns(DirectoryKind)
{
    return Range{0, 3};
}

DirectorySortFlags::DirectorySortFlags(int columnCount)
    : m_ascending(columnCount, true)
{
}

DirectorySortFlags &DirectorySortFlags::forKind(DirectoryKind kind)
{
    static DirectorySortFlags stations(DirectoryColumns::count(DirectoryKind::Station));
    static DirectorySortFlags coLines(DirectoryColumns::count(DirectoryKind::Co));
    return kind == DirectoryKind::Station ? stations : coLines;
}

bool DirectorySortFlags::click(int column)
{
    const bool ascending = nextIsAscending(column);
    for (int i = 0; i < m_ascending.size(); ++i)
        m_ascending[i] = i == column ? !ascending : true;
    return ascending;
}

bool DirectorySortFlags::nextIsAscending(int column) const
{
    return column < 0 || column >= m_ascending.size() || m_ascending[column];
}

void DirectorySortFlags::reset()
{
    m_ascending.fill(true);
}

int rowsToScrollPastEmpty(const QList<bool> &emptyRows, int pageRows)
{
    const int count = int(emptyRows.size());
    // k counts from 1 at the first row; from row k on count - k + 1 rows remain.
    int k = 1;
    while (k <= count && emptyRows[k - 1]) {
        if (count - k + 1 < pageRows)
            break;
        ++k;
    }
    return k - 1;
}
