#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The two kinds of directory window and what they show.
enum class DirectoryKind { Station, Co };

// One column of a directory window: its header key, its width in pixels and
// the sort texts of the recordset for it.
struct DirectoryColumn
{
    const char *headerKey;
    int width;
    const char *ascending;
    const char *descending;
};

// The columns of the station (13) and CO line (8) directory windows and how a
// record (StationFields or CoFields) becomes the texts of a row.
class DirectoryColumns
{
public:
    static const QList<DirectoryColumn> &of(DirectoryKind kind);
    static int count(DirectoryKind kind) { return int(of(kind).size()); }

    // Header texts are looked up in the catalogue and hold at most 49 characters.
    static constexpr int HeaderTextLength = 49;
    static QString headerText(DirectoryKind kind, int column);

    // The texts of a row: a station number 0 shows as "....", the full-name
    // column follows the full-name rule. A record of too few texts gives empty cells.
    static QStringList rowTexts(DirectoryKind kind, const QStringList &fields);
    static QString noNumberText() { return QStringLiteral("...."); }

    // Whether a row holds no value for a column as its sort sees it: a station
    // number 0, three empty name parts for the full name, else an empty text.
    static bool isEmptyCell(DirectoryKind kind, int column, const QString &cellText);

    // The sort text of a column; any other column gives the empty text.
    static QString sortText(DirectoryKind kind, int column, bool ascending);

    // The columns a write changes in an open window: the operator's writes
    // change the personal columns (stations 3-12, CO lines 4-7), the PBX's
    // the columns it reports (0-3). first..last inclusive.
    struct Range
    {
        int first;
        int last;
    };
    static Range operatorColumns(DirectoryKind kind);
    static Range pbxColumns(DirectoryKind kind);

    // The text of column 0 of a record, the key of its row (port or line number).
    static QString keyText(const QStringList &fields) { return fields.value(0); }
};

// The sort direction of every column, one set for all windows of a kind: the
// first click on a column sorts ascending, the next click on the same column
// descending, a click on another column starts that one ascending again.
class DirectorySortFlags
{
public:
    explicit DirectorySortFlags(int columnCount);

    static DirectorySortFlags &forKind(DirectoryKind kind);

    // A click on a column header: whether this sort is ascending (for a column
    // out of range too: its sort text is empty then).
    bool click(int column);
    bool nextIsAscending(int column) const;
    void reset();

private:
    QList<bool> m_ascending;
};

// After an ascending sort by a column other than 0, how many rows the list is
// scrolled so that the first row with a value is at the top: the leading rows
// without a value are passed over while the rows from there on still fill a
// page (pageRows rows).
int rowsToScrollPastEmpty(const QList<bool> &emptyRows, int pageRows);
