#include "directories/ui/ListingPrinter.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace {
const QColor Shade(192, 192, 192);

QList<int> columnRules(int kind)
{
    switch (kind) {
    case 1:
        return {6, 23, 48, 55, 60};
    case 2:
        return {27, 54};
    case 3:
        return {8, 21, 41};
    default:
        return {10, 30, 44};
    }
}

// The drawing state of one document.
struct Page
{
    QPainter &p;
    int kind;
    double colWidth;
    int rowHeight;
    int margin; // first listing column
    bool boxOpen = false;
    int band = 0;
    bool bandShaded = false;

    double x(double column) const { return (margin + column) * colWidth; }
    double left() const { return x(0.75); }
    double right() const { return x(79.25); }

    void line(double x1, double y1, double x2, double y2, int width)
    {
        p.setPen(QPen(Qt::black, width));
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void shade(double top, double bottom) { p.fillRect(QRectF(left(), top, right() - left(), bottom - top), Shade); }
    void sides(double top, double bottom)
    {
        line(left(), top, left(), bottom, 4);
        line(right(), top, right(), bottom, 4);
    }
    void rules(double top, double bottom)
    {
        if (kind >= 3 && band == 0)
            return;
        for (int c : columnRules(kind))
            line(x(c + 0.5), top, x(c + 0.5), bottom, 2);
    }

    void render(const QByteArray &bytes, int row)
    {
        const double top = double(row) * rowHeight;
        const double bottom = top + rowHeight;
        const double mid = top + rowHeight / 2.0;
        const char first = bytes.isEmpty() ? 0 : bytes.at(0);
        if (first == '=') {
            boxOpen = !boxOpen;
            if (boxOpen) {
                band = 1;
                shade(mid, bottom);
                rules(mid, bottom);
                sides(mid, bottom);
            } else {
                rules(top, mid);
                band = 0;
                sides(top, mid);
            }
            line(left(), mid, right(), mid, 4);
            return;
        }
        if (first == '-') {
            if (boxOpen) {
                ++band;
                if (band == 2 && bandShaded) {
                    shade(top, mid);
                    bandShaded = false;
                }
                rules(top, band == 3 ? mid : bottom);
                sides(top, bottom);
                if (band == 3)
                    band = 0;
            }
            line(left(), mid, right(), mid, 3);
            return;
        }
        if (boxOpen) {
            if (band == 1) {
                shade(top, bottom);
                bandShaded = true;
            }
            rules(top, bottom);
            sides(top, bottom);
        }
        p.setPen(Qt::black);
        p.drawText(QPointF(x(0), top + p.fontMetrics().ascent()), QString::fromUtf8(bytes));
    }
};
// The font and the grid of rows and columns of a printer's page.
struct Geometry
{
    explicit Geometry(QPrinter &printer)
        : font(pageFont(printer.height()))
        , metrics(font, &printer)
        , colWidth(qMax(1, metrics.horizontalAdvance(QLatin1Char('M'))))
        , rowHeight(qMax(1, metrics.height() + metrics.leading() + metrics.height() / 4))
        , rows(printer.height() / rowHeight)
        , columns(int(printer.width() / colWidth))
    {
    }
    static QFont pageFont(int height)
    {
        QFont font(QStringLiteral("Courier"));
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        font.setWeight(QFont::Normal);
        font.setPixelSize(qMax(1, height / 78));
        return font;
    }

    QFont font;
    QFontMetrics metrics;
    double colWidth;
    int rowHeight;
    int rows;
    int columns;
};
} // namespace

int ListingPrinter::linesPerPage(QPrinter &printer)
{
    return qMax(1, Geometry(printer).rows - 7);
}

ListingPrinter::ListingPrinter(QPrinter &printer, int kind)
    : m_printer(printer)
    , m_kind(kind)
{
}

bool ListingPrinter::print(const QString &listingPath, int lineCount, const std::function<void(int)> &onPage)
{
    m_pages = 0;
    QFile file(listingPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QPainter painter;
    if (!painter.begin(&m_printer))
        return false;
    const Geometry g(m_printer);
    painter.setFont(g.font);
    const QFontMetrics &metrics = g.metrics;
    const double colWidth = g.colWidth;
    const int rowHeight = g.rowHeight;
    const int R = g.rows;
    const int C = g.columns;
    const int perPage = linesPerPage(m_printer);
    const int lines = m_kind >= 3 ? lineCount - 1 : lineCount;
    const int total = qMax(1, (lines + perPage - 1) / perPage);

    Page page{painter, m_kind, colWidth, rowHeight, C / 2 - 40};
    int row = 3;
    int number = 1;
    bool pageOpen = true;
    QByteArray current;
    const auto finishPage = [&] {
        painter.setPen(Qt::black);
        painter.drawText(QPointF(C / 2 * colWidth, double(R - 1) * rowHeight + metrics.ascent()), QString::number(number));
        pageOpen = false;
    };
    if (onPage)
        onPage(number);
    bool ended = false;
    while (!ended) {
        const QByteArray block = file.read(1000);
        for (char byte : block) {
            if (!pageOpen) {
                // A page is begun only when there is something for it.
                if (!m_printer.newPage()) {
                    painter.end();
                    m_printer.abort();
                    return false;
                }
                pageOpen = true;
                row = 3;
                if (onPage)
                    onPage(number);
            }
            if (byte == '\r') {
                page.render(current, row);
            } else if (byte == '\n') {
                ++row;
                current.clear();
            } else {
                current.append(byte);
            }
            if (row > R - 5) {
                finishPage();
                ++number;
                if (number > total) {
                    ended = true;
                    break;
                }
            }
        }
        if (block.size() < 1000)
            ended = true;
    }
    if (pageOpen)
        finishPage();
    m_pages = number > total ? total : number;
    return painter.end();
}
