#include "StatusGrid.h"

#include <algorithm>

void StatusGrid::setGeometry(QSize button, QSize distance)
{
    m_button = button;
    m_distance = distance;
}

int StatusGrid::columnsFor(int clientWidth) const
{
    const int cw = cell().width();
    return cw > 0 ? std::max(1, clientWidth / cw) : 1;
}

void StatusGrid::layout(const std::vector<bool> &present, int clientWidth)
{
    m_columns = columnsFor(clientWidth);
    m_rects.assign(present.size(), QRect());
    m_order.clear();
    const QSize c = cell();
    for (int i = 0; i < int(present.size()); ++i) {
        if (!present[size_t(i)])
            continue;
        const int n = int(m_order.size());
        const int col = n % m_columns;
        const int row = n / m_columns;
        m_rects[size_t(i)] = QRect(QPoint(col * c.width() + m_distance.width(), row * c.height() + m_distance.height()),
                                   QPoint((col + 1) * c.width() - 1, (row + 1) * c.height() - 1));
        m_order.push_back(i);
    }
}

QRect StatusGrid::rect(int index) const
{
    return index >= 0 && index < int(m_rects.size()) ? m_rects[size_t(index)] : QRect();
}

QSize StatusGrid::scrollSize() const
{
    const QSize c = cell();
    const int cols = std::max(1, m_columns);
    const int rows = std::max(1, (placedCount() + cols - 1) / cols);
    return QSize(cols * c.width(), rows * c.height());
}

int StatusGrid::indexAt(QPoint point) const
{
    const QSize c = cell();
    if (point.x() < 0 || point.y() < 0 || c.width() <= 0 || c.height() <= 0 || m_columns <= 0)
        return -1;
    const int col = point.x() / c.width();
    if (col >= m_columns)
        return -1;
    const int n = (point.y() / c.height()) * m_columns + col;
    if (n >= placedCount())
        return -1;
    const int index = m_order[size_t(n)];
    return m_rects[size_t(index)].contains(point) ? index : -1;
}

std::vector<int> StatusGrid::placedIn(const QRect &area) const
{
    std::vector<int> out;
    const QSize c = cell();
    if (m_columns <= 0 || c.height() <= 0 || area.isEmpty())
        return out;
    const int firstRow = std::max(0, area.top() / c.height());
    const int lastRow = std::max(0, area.bottom() / c.height());
    const int first = firstRow * m_columns;
    const int last = std::min(placedCount(), (lastRow + 1) * m_columns);
    for (int n = first; n < last; ++n) {
        const int index = m_order[size_t(n)];
        if (m_rects[size_t(index)].intersects(area))
            out.push_back(index);
    }
    std::sort(out.begin(), out.end());
    return out;
}
