#pragma once

#include <QRect>
#include <QSize>

#include <vector>

// Where the buttons of a status window lie: cells of button size plus
// distance, as many columns as fit the client width (at least one), the
// present ports in index order, one cell each.
class StatusGrid
{
public:
    void setGeometry(QSize button, QSize distance);
    QSize buttonSize() const { return m_button; }
    QSize distance() const { return m_distance; }
    QSize cell() const { return m_button + m_distance; }

    int columnsFor(int clientWidth) const;
    // True when a client of this width wants a different number of columns.
    bool needsLayout(int clientWidth) const { return columnsFor(clientWidth) != m_columns; }
    // present[i]: port i takes a cell.
    void layout(const std::vector<bool> &present, int clientWidth);

    int columns() const { return m_columns; }
    int placedCount() const { return int(m_order.size()); }
    // Empty for a port that has no cell.
    QRect rect(int index) const;
    // The whole grid, at least one cell each way.
    QSize scrollSize() const;
    // The port whose button holds the point, or -1.
    int indexAt(QPoint point) const;
    // The ports whose cells meet the area, in index order.
    std::vector<int> placedIn(const QRect &area) const;

private:
    QSize m_button{75, 23};
    QSize m_distance{1, 1};
    int m_columns = 0;
    std::vector<QRect> m_rects;
    std::vector<int> m_order;
};
