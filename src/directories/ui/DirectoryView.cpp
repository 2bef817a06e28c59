#include "DirectoryView.h"

#include "base/OperatorUi.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryRecordset.h"
#include "directories/ui/CoInfoDialog.h"
#include "directories/ui/DirectoryListModel.h"
#include "directories/ui/StationInfoDialog.h"

#include <QHeaderView>
#include <QMouseEvent>

DirectoryView::DirectoryView(DirectoryKind kind, Context context, QWidget *parent)
    : QTreeView(parent)
    , m_kind(kind)
    , m_context(std::move(context))
    , m_model(new DirectoryListModel(kind, this))
{
    setObjectName(kind == DirectoryKind::Station ? QStringLiteral("stationDirectoryView")
                                                 : QStringLiteral("coDirectoryView"));
    setModel(m_model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    QHeaderView *head = header();
    head->setStretchLastSection(false);
    head->setSectionsClickable(true);
    head->setSectionsMovable(false);
    const QList<DirectoryColumn> &columns = DirectoryColumns::of(kind);
    for (int c = 0; c < columns.size(); ++c)
        head->resizeSection(c, columns[c].width);
    connect(head, &QHeaderView::sectionClicked, this, &DirectoryView::sortByColumn);
}

DirectoryView::DirectoryView(StationDirectory *directory, Context context, QWidget *parent)
    : DirectoryView(DirectoryKind::Station, std::move(context), parent)
{
    m_stations = directory;
    if (directory)
        connect(directory, &StationDirectory::written, this, &DirectoryView::written);
}

DirectoryView::DirectoryView(CoDirectory *directory, Context context, QWidget *parent)
    : DirectoryView(DirectoryKind::Co, std::move(context), parent)
{
    m_coLines = directory;
    if (directory)
        connect(directory, &CoDirectory::written, this, &DirectoryView::written);
}

DirectoryView::~DirectoryView()
{
    // The recordset stays the directory's; closing it lets the next user open
    // it with its own filter.
    if (m_stations) {
        if (DirectoryRecordset *set = m_stations->OpenRecordset())
            set->close();
    } else if (m_coLines) {
        if (DirectoryRecordset *set = m_coLines->OpenRecordset())
            set->close();
    }
}

DirectoryRecordset *DirectoryView::openRecordset()
{
    if (m_stations)
        return m_stations->OpenRecordset();
    if (m_coLines)
        return m_coLines->OpenRecordset();
    return nullptr;
}

QStringList DirectoryView::readRecord(const DirectoryRecordset &set) const
{
    return m_kind == DirectoryKind::Station ? StationDirectory::ReadRecord(set) : CoDirectory::ReadRecord(set);
}

void DirectoryView::reportMissingRecordset()
{
    if (m_context.ui)
        m_context.ui->showMessage(m_kind == DirectoryKind::Station ? QStringLiteral("#:cannot_open_sta_db_recordset")
                                                                   : QStringLiteral("#:cannot_open_co_db_recordset"),
                                  QStringLiteral("#:database_error"), MessageStyle::Stop);
}

bool DirectoryView::load()
{
    if (!m_stations && !m_coLines) {
        if (m_context.ui)
            m_context.ui->showMessage(m_kind == DirectoryKind::Station ? QStringLiteral("#:cannot_create_sta_db")
                                                                       : QStringLiteral("#:cannot_create_co_db"),
                                      QStringLiteral("#:database_error"), MessageStyle::Stop);
        return false;
    }
    return fill();
}

bool DirectoryView::fill()
{
    m_refillPending = false;
    DirectoryRecordset *set = openRecordset();
    if (!set) {
        m_model->clear();
        reportMissingRecordset();
        return false;
    }
    set->close();
    set->setFilter(m_filter);
    set->setSort(m_sort);
    if (!set->open()) {
        m_model->clear();
        reportMissingRecordset();
        return false;
    }
    QList<QStringList> rows;
    rows.reserve(set->count());
    for (set->moveFirst(); !set->isEof(); set->moveNext())
        rows.append(DirectoryColumns::rowTexts(m_kind, readRecord(*set)));
    m_model->setRows(std::move(rows));
    return true;
}

void DirectoryView::sortByColumn(int column)
{
    const bool ascending = DirectorySortFlags::forKind(m_kind).click(column);
    m_sort = DirectoryColumns::sortText(m_kind, column, ascending);
    if (!fill())
        return;
    header()->setSortIndicatorShown(!m_sort.isEmpty());
    header()->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    scrollToTop();
    if (column == 0 || !ascending || m_sort.isEmpty())
        return;
    // The rows without a value come first; the first row with one goes to the top.
    const int rows = rowsToScrollPastEmpty(m_model->emptiness(column), pageRows());
    if (rows > 0 && rows < m_model->rowCount())
        scrollTo(m_model->index(rows, 0), QAbstractItemView::PositionAtTop);
}

int DirectoryView::pageRows() const
{
    int rowHeight = 0;
    if (m_model->rowCount() > 1)
        rowHeight = visualRect(m_model->index(1, 0)).height();
    if (rowHeight <= 0)
        rowHeight = sizeHintForRow(0);
    if (rowHeight <= 0)
        rowHeight = fontMetrics().height();
    return rowHeight > 0 ? viewport()->height() / rowHeight : 0;
}

void DirectoryView::written(int lastWrite, const QStringList &fields, StationDirectory::Origin origin)
{
    const QString key = DirectoryColumns::keyText(fields);
    switch (lastWrite) {
    case StationDirectory::Added:
        refillLater();
        break;
    case StationDirectory::Deleted:
        m_model->removeKeyRow(m_model->findKey(key));
        break;
    case StationDirectory::Edited: {
        const DirectoryColumns::Range range = origin == StationDirectory::Origin::Pbx
                                                  ? DirectoryColumns::pbxColumns(m_kind)
                                                  : DirectoryColumns::operatorColumns(m_kind);
        m_model->setCells(m_model->findKey(key), range, DirectoryColumns::rowTexts(m_kind, fields));
        break;
    }
    default:
        break;
    }
}

void DirectoryView::refillLater()
{
    // A burst of added records (a download) refills the list once.
    if (m_refillPending)
        return;
    m_refillPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_refillPending)
                fill();
        },
        Qt::QueuedConnection);
}

QModelIndex DirectoryView::rowAt(const QPoint &pos) const
{
    const QModelIndex hit = indexAt(pos);
    if (hit.isValid())
        return hit;
    // Beside the last column: the row whose full width holds the point.
    const int column = header()->logicalIndexAt(0);
    if (column < 0)
        return {};
    return indexAt(QPoint(header()->sectionViewportPosition(column), pos.y()));
}

void DirectoryView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !indexAt(event->position().toPoint()).isValid()) {
        const QModelIndex row = rowAt(event->position().toPoint());
        if (row.isValid()) {
            setCurrentIndex(row);
            setFocus(Qt::MouseFocusReason);
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void DirectoryView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    const QModelIndex row = rowAt(event->position().toPoint());
    if (!row.isValid())
        return;
    setCurrentIndex(row);
    openInfoDialog(row.row());
}

QDialog *DirectoryView::openInfoDialog(int row)
{
    if (row < 0 || row >= m_model->rowCount() || !m_context.ui)
        return nullptr;
    bool ok = false;
    const int key = m_model->cell(row, 0).toInt(&ok);
    if (!ok)
        return nullptr;
    QDialog *dialog = nullptr;
    if (m_kind == DirectoryKind::Station && m_stations) {
        const StationInfoDialog::Key stationKey{key, m_model->cell(row, 1), m_model->cell(row, 2)};
        const bool loggedOn = m_context.loggedOn && m_context.loggedOn();
        auto *station = new StationInfoDialog(*m_context.ui, *m_stations, stationKey, loggedOn, this);
        if (m_context.prepareStationDialog)
            m_context.prepareStationDialog(*station);
        dialog = station;
    } else if (m_kind == DirectoryKind::Co && m_coLines) {
        const CoInfoDialog::Key coKey{key, m_model->cell(row, 1), m_model->cell(row, 2), m_model->cell(row, 3)};
        auto *co = new CoInfoDialog(*m_context.ui, *m_coLines, coKey, this);
        if (m_context.prepareCoDialog)
            m_context.prepareCoDialog(*co);
        dialog = co;
    }
    if (!dialog)
        return nullptr;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
    return dialog;
}

void DirectoryView::retranslate()
{
    m_model->retranslate();
}
