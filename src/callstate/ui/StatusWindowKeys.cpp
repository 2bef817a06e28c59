#include "callstate/ui/StatusWindowKeys.h"

#include "base/MessageCatalogue.h"
#include "callstate/CDLODoc.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CallKeys.h"
#include "callstate/ui/FindBar.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

namespace {

bool isEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A key that starts a search: a digit or a letter typed without Ctrl or Alt.
bool startsSearch(const QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    return text.size() == 1 && text.at(0).isLetterOrNumber();
}

} // namespace

StatusWindowKeys::StatusWindowKeys(CDLOView *view)
    : QObject(view)
    , m_view(view)
    , m_bar(new FindBar(view))
{
    setObjectName(QStringLiteral("statusWindowKeys"));
    view->installEventFilter(this);
    m_bar->edit()->installEventFilter(this);
    connect(m_bar, &FindBar::currentPortChanged, view, [view](int port) {
        if (port >= 0)
            view->setCurrentButton(port);
    });
    connect(m_bar, &FindBar::portActivated, view, &CDLOView::activateButton);
    // The grid keeps clear of the bar, so the station found is never under it.
    connect(m_bar, &FindBar::shown, view, [view](int height) { view->reserveBottom(height - view->frameWidth()); });
    connect(m_bar, &FindBar::closed, view, [view] { view->reserveBottom(0); });
}

void StatusWindowKeys::openFind(const QString &text)
{
    if (text.isEmpty() && m_bar->isVisible()) {
        // Ctrl+F again: the typed text stays, ready to be typed over.
        m_bar->edit()->setFocus(Qt::ShortcutFocusReason);
        m_bar->edit()->selectAll();
        return;
    }
    const CDLOView::Context &c = m_view->context();
    if (m_view->document().isStation())
        m_bar->setEntries(StationFinder::stationEntries(*c.stations));
    else
        m_bar->setEntries(
            StationFinder::lineEntries(*c.lines, MessageCatalogue().text(QStringLiteral("#:co_title_DLO"))));
    m_bar->open(text);
}

bool StatusWindowKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (watched == m_bar->edit())
        return barKey(key);
    if (watched == m_view)
        return gridKey(key);
    return QObject::eventFilter(watched, event);
}

bool StatusWindowKeys::barKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        m_bar->close();
        m_view->setFocus(Qt::OtherFocusReason);
        return true;
    case Qt::Key_Up:
        m_bar->moveCurrent(-1);
        return true;
    case Qt::Key_Down:
        m_bar->moveCurrent(1);
        return true;
    case Qt::Key_PageUp:
        m_bar->moveCurrent(-m_bar->visibleRows());
        return true;
    case Qt::Key_PageDown:
        m_bar->moveCurrent(m_bar->visibleRows());
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_bar->currentPort() >= 0)
            m_view->activateButton(m_bar->currentPort());
        return true;
    default:
        return operationKey(event, m_bar->currentPort());
    }
}

bool StatusWindowKeys::gridKey(QKeyEvent *event)
{
    const int key = event->key();
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            moveMark(key);
            return true;
        case Qt::Key_Menu:
            openMenu(m_view->currentButton());
            return true;
        default:
            break;
        }
        if (isEnter(key)) {
            if (m_view->currentButton() >= 0)
                m_view->activateButton(m_view->currentButton());
            return true;
        }
    }
    if (key == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier) {
        openMenu(m_view->currentButton());
        return true;
    }
    if (startsSearch(event)) {
        openFind(event->text());
        return true;
    }
    return operationKey(event, m_view->currentButton());
}

bool StatusWindowKeys::operationKey(QKeyEvent *event, int port)
{
    const int operation = CallKeys::operationFor(QKeySequence(event->keyCombination()));
    if (operation < 0)
        return false;
    if (port >= 0)
        m_view->requestCallOperation(port, operation);
    return true;
}

void StatusWindowKeys::moveMark(int key)
{
    const StatusGrid &grid = m_view->grid();
    const int count = m_view->document().count();
    auto placed = [&](int i) { return i >= 0 && i < count && !grid.rect(i).isNull(); };
    auto scan = [&](int from, int step) {
        for (int i = from; i >= 0 && i < count; i += step) {
            if (placed(i))
                return i;
        }
        return -1;
    };
    const int current = m_view->currentButton();
    int next = -1;
    if (!placed(current)) {
        next = scan(0, 1);
    } else {
        const QRect r = grid.rect(current);
        const int rowStep = grid.cell().height();
        const int pageRows = std::max(1, m_view->viewport()->height() / std::max(1, rowStep) - 1);
        auto vertical = [&](int rows) {
            // The same column, rows up or down; at the edge, the first or last button.
            const int y = r.center().y() + rows * rowStep;
            const int found = grid.indexAt(QPoint(r.center().x(), y));
            if (found >= 0)
                return found;
            return rows < 0 ? scan(0, 1) : scan(count - 1, -1);
        };
        switch (key) {
        case Qt::Key_Left:
            next = scan(current - 1, -1);
            break;
        case Qt::Key_Right:
            next = scan(current + 1, 1);
            break;
        case Qt::Key_Up:
            next = r.top() < rowStep ? current : vertical(-1);
            break;
        case Qt::Key_Down:
            next = vertical(1);
            break;
        case Qt::Key_PageUp:
            next = vertical(-pageRows);
            break;
        case Qt::Key_PageDown:
            next = vertical(pageRows);
            break;
        case Qt::Key_Home:
            next = scan(0, 1);
            break;
        case Qt::Key_End:
            next = scan(count - 1, -1);
            break;
        default:
            break;
        }
    }
    if (next >= 0)
        m_view->setCurrentButton(next);
}

void StatusWindowKeys::openMenu(int port)
{
    if (port < 0)
        return;
    m_view->setCurrentButton(port);
    QMenu *menu = m_view->createContextMenu(port);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_view->viewport()->mapToGlobal(m_view->buttonRect(port).bottomLeft()));
}
