#include "CQueueView.h"

#include "base/MessageCatalogue.h"
#include "callstate/CallerNameIndex.h"
#include "callstate/CExtStatusList.h"
#include "callstate/StatusFreshness.h"
#include "callstate/ui/CallInfoDialog.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

namespace {

const char *const ColumnKeys[] = {"#:queue_title_no", "#:queue_title_time", "#:queue_title_type",
                                  "#:queue_title_description"};
constexpr int ColumnWidths[] = {70, 50, 80, 100};

// The 16-pixel icon of a queue type.
QIcon typeIcon(int type)
{
    static const QColor colours[] = {QColor(0x00, 0x80, 0x00), QColor(0x00, 0x60, 0xC0), QColor(0xC0, 0x80, 0x00),
                                     QColor(0xC0, 0x00, 0x00), QColor(0x80, 0x80, 0x80), QColor(0x80, 0x00, 0x80)};
    static QIcon icons[6];
    if (type < 0 || type > 5)
        return {};
    if (icons[type].isNull()) {
        QPixmap pix(16, 16);
        pix.fill(Qt::transparent);
        QPainter p(&pix);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(colours[type]);
        p.setPen(colours[type].darker());
        if (type == 5)
            p.drawRect(QRectF(2.5, 2.5, 11, 11)); // a station
        else
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11)); // a CO line
        if (type == 4) {
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(QPointF(6, 5), QPointF(6, 11));
            p.drawLine(QPointF(10, 5), QPointF(10, 11));
        }
        icons[type] = QIcon(pix);
    }
    return icons[type];
}

} // namespace

CQueueView::CQueueView(const Context &context, QWidget *parent)
    : QTreeWidget(parent)
    , m_queue(*context.stations, *context.lines, *context.request, *context.clock)
{
    setObjectName(QStringLiteral("queueView"));
    setColumnCount(4);
    setRootIsDecorated(false);
    setSortingEnabled(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(16, 16));
    for (int c = 0; c < 4; ++c)
        header()->resizeSection(c, ColumnWidths[c]);
    retranslate();
    m_queue.setCallerInfoEnabled(context.callerInfoEnabled);
    m_queue.popup().setAttendantInCall(context.attendantInCall);
    m_popup = new CallInfoDialog(m_queue.popup(), context.pictureFile, this);

    connect(&m_queue, &CallQueue::raiseRequested, this, &CQueueView::raiseRequested);
    connect(&m_queue, &CallQueue::rowAppended, this, &CQueueView::appendItem);
    connect(&m_queue, &CallQueue::rowRemoved, this, [this](int row) { delete takeTopLevelItem(row); });
    connect(&m_queue, &CallQueue::timesChanged, this, &CQueueView::refreshTimes);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, &m_queue, &CallQueue::tick);
    m_timer.start();

    connect(&m_queue, &CallQueue::rowAppended, this, &CQueueView::markStaleRow);
    if (const StatusFreshness *freshness = context.stations->freshness())
        connect(freshness, &StatusFreshness::changed, this, &CQueueView::markStaleRows);
}

CQueueView::~CQueueView()
{
    delete m_popup;
}

void CQueueView::post(const CQueueEvent &event)
{
    m_queue.post(event);
}

void CQueueView::retranslate()
{
    const MessageCatalogue catalogue;
    QStringList labels;
    for (const char *key : ColumnKeys)
        labels.append(catalogue.text(QString::fromLatin1(key)));
    setHeaderLabels(labels);
    for (int i = 0; i < topLevelItemCount() && i < m_queue.rows().size(); ++i)
        topLevelItem(i)->setText(2, catalogue.text(CallQueue::typeTextKey(m_queue.rows().at(i).type)));
    if (m_popup)
        m_popup->retranslate();
}

void CQueueView::appendItem(int row)
{
    const QueueRow &r = m_queue.rows().at(row);
    auto *item = new QTreeWidgetItem({r.key, r.time, MessageCatalogue().text(CallQueue::typeTextKey(r.type)),
                                      CallerNameIndex::shown(r.description, r.callerName)});
    item->setIcon(0, typeIcon(r.type));
    insertTopLevelItem(row, item);
}

void CQueueView::refreshTimes()
{
    const QList<QueueRow> &rows = m_queue.rows();
    for (int i = 0; i < rows.size() && i < topLevelItemCount(); ++i)
        topLevelItem(i)->setText(1, rows.at(i).time);
    // A wait of an hour and more ("60:00") needs more room than the column
    // had at first; it is never shown cut short.
    const int needed = sizeHintForColumn(1);
    if (needed > header()->sectionSize(1))
        header()->resizeSection(1, needed);
}

int CQueueView::rowAt(const QPoint &pos) const
{
    if (QTreeWidgetItem *item = itemAt(pos))
        return indexOfTopLevelItem(item);
    // Beside the columns: the row whose band holds the point.
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QRect r = visualItemRect(topLevelItem(i));
        if (pos.y() >= r.top() && pos.y() <= r.bottom())
            return i;
    }
    return -1;
}

void CQueueView::mousePressEvent(QMouseEvent *event)
{
    QTreeWidget::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const int row = rowAt(event->position().toPoint());
    if (row < 0)
        return;
    setCurrentItem(topLevelItem(row));
    m_queue.answer(row);
}

void CQueueView::markStaleRows()
{
    for (int row = 0; row < topLevelItemCount(); ++row)
        markStaleRow(row);
}

void CQueueView::markStaleRow(int row)
{
    QTreeWidgetItem *item = topLevelItem(row);
    if (!item)
        return;
    const StatusFreshness *freshness = m_queue.isStale() ? m_queue.freshness() : nullptr;
    for (int column = 0; column < columnCount(); ++column) {
        if (freshness) {
            item->setBackground(column, QBrush(QColor(0x80, 0x80, 0x80), Qt::BDiagPattern));
            item->setForeground(column, QBrush(QColor(0x60, 0x60, 0x60)));
            item->setToolTip(column, freshness->unknownLine());
        } else {
            item->setData(column, Qt::BackgroundRole, QVariant());
            item->setData(column, Qt::ForegroundRole, QVariant());
            item->setData(column, Qt::ToolTipRole, QVariant());
        }
    }
}

CallInfoDialog *CQueueView::popup() const
{
    return m_popup;
}
