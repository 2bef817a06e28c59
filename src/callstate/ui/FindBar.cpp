#include "callstate/ui/FindBar.h"

#include "base/MessageCatalogue.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

namespace {
constexpr int MaxListRows = 6;
// The list shows the first matches only: more are never scrolled through,
// the operator types on, and each key stays cheap however many match.
constexpr int MaxListed = 100;
} // namespace

// The matches as list rows: number, name and owner side by side. A reset
// per key costs the same for ten matches as for thousands.
class FindMatchModel : public QAbstractListModel
{
public:
    explicit FindMatchModel(StationFinder &finder, QObject *parent)
        : QAbstractListModel(parent)
        , m_finder(finder)
    {
    }
    void refresh()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : std::min(MaxListed, int(m_finder.matches().size()));
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= rowCount({}))
            return {};
        const StationFinder::Entry &e = m_finder.entry(m_finder.matches().at(index.row()));
        QStringList parts;
        for (const QString &s : {e.number, e.name, e.owner}) {
            if (!s.isEmpty())
                parts.append(s);
        }
        return parts.join(QStringLiteral("   "));
    }

private:
    StationFinder &m_finder;
};

FindBar::FindBar(QWidget *parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_label = new QLabel(this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("findText"));
    m_edit->setClearButtonEnabled(true);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("findCount"));
    m_model = new FindMatchModel(m_finder, this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("findMatches"));
    m_list->setModel(m_model);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The typing stays in the line; the list follows it.
    m_list->setFocusPolicy(Qt::NoFocus);

    auto *line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(m_label);
    line->addWidget(m_edit, 1);
    line->addWidget(m_count);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(3, 3, 3, 3);
    layout->setSpacing(2);
    layout->addLayout(line);
    layout->addWidget(m_list);
    retranslate();

    connect(m_edit, &QLineEdit::textChanged, this, &FindBar::narrow);
    connect(m_list, &QListView::clicked, this, [this](const QModelIndex &index) { setCurrentRow(index.row()); });
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        setCurrentRow(index.row());
        if (currentPort() >= 0)
            Q_EMIT portActivated(currentPort());
    });
    if (parent)
        parent->installEventFilter(this);
    hide();
}

FindBar::~FindBar() = default;

void FindBar::retranslate()
{
    const MessageCatalogue catalogue;
    m_label->setText(catalogue.text(QStringLiteral("#:find_label")));
    // Kept, not looked up at each key: a lookup reads the catalogue file.
    m_countFormat = catalogue.text(QStringLiteral("#:find_count"));
    showCount();
}

void FindBar::showCount()
{
    // Without the catalogue the key is shown, and the count beside it.
    const int n = matchCount();
    m_count->setText(m_countFormat.contains(QLatin1String("%1")) ? m_countFormat.arg(n)
                                                                 : m_countFormat + QLatin1Char(' ') + QString::number(n));
}

void FindBar::setEntries(const QList<StationFinder::Entry> &entries)
{
    m_finder.setEntries(entries);
    if (isVisible())
        narrow();
}

void FindBar::open(const QString &text)
{
    show();
    raise();
    place();
    if (m_edit->text() == text)
        narrow();
    else
        m_edit->setText(text); // narrows
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->end(false);
}

void FindBar::close()
{
    if (!isVisible())
        return;
    hide();
    Q_EMIT closed();
}

QString FindBar::text() const
{
    return m_edit->text();
}

int FindBar::matchCount() const
{
    return int(m_finder.matches().size());
}

int FindBar::currentRow() const
{
    const QModelIndex index = m_list->currentIndex();
    return index.isValid() ? index.row() : -1;
}

int FindBar::currentPort() const
{
    const int row = currentRow();
    if (row < 0 || row >= matchCount())
        return -1;
    return m_finder.entry(m_finder.matches().at(row)).index;
}

void FindBar::moveCurrent(int rows)
{
    const int listed = m_model->rowCount({});
    if (listed == 0)
        return;
    const int row = currentRow() < 0 ? 0 : currentRow() + rows;
    setCurrentRow(std::clamp(row, 0, listed - 1));
}

int FindBar::visibleRows() const
{
    const int rowHeight = std::max(1, m_list->sizeHintForRow(0));
    return std::max(1, m_list->viewport()->height() / rowHeight);
}

void FindBar::setCurrentRow(int row)
{
    const QModelIndex index = m_model->index(row, 0);
    if (!index.isValid())
        return;
    m_list->setCurrentIndex(index);
    m_list->scrollTo(index);
    Q_EMIT currentPortChanged(currentPort());
}

void FindBar::narrow()
{
    m_finder.find(m_edit->text());
    m_model->refresh();
    showCount();
    // The first match is the one Enter acts on until the arrows pick another.
    if (matchCount() > 0)
        setCurrentRow(0);
    else
        Q_EMIT currentPortChanged(-1);
}

void FindBar::place()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    const int rowHeight = std::max(12, fontMetrics().height() + 2);
    m_list->setFixedHeight(rowHeight * MaxListRows + 2 * m_list->frameWidth());
    const int height = std::min(parent->height(), sizeHint().height());
    setGeometry(0, parent->height() - height, parent->width(), height);
    if (isVisible())
        Q_EMIT shown(height);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QFrame::eventFilter(watched, event);
}
