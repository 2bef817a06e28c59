#pragma once

#include <QString>

#include <functional>

class QPrinter;

// Draws a listing file page by page on a printer: a fixed-pitch font sized
// to 78 rows a page, the 80 listing columns centred, every "=" rule opening
// or closing a framed box, "-" rules as thin lines, a grey band under each
// heading, the column rules of the directory, and the page number at the
// foot of every page.
class ListingPrinter
{
public:
    // kind: 1 speed bins, 2 phone numbers, 3 stations, 4 CO lines.
    ListingPrinter(QPrinter &printer, int kind);

    // onPage is called with the number of each page as it is begun. False when
    // the listing cannot be read or a page cannot be ended (the document is
    // then aborted).
    bool print(const QString &listingPath, int lineCount, const std::function<void(int)> &onPage = {});

    int pageCount() const { return m_pages; }

    // Listing lines one page of the printer holds.
    static int linesPerPage(QPrinter &printer);

private:
    QPrinter &m_printer;
    int m_kind;
    int m_pages = 0;
};
