#include "CQueueFrame.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "callstate/ui/CQueueView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiArea>

CQueueFrame::CQueueFrame(CQueueView *view, OperatorUi &ui, std::function<bool()> loggedOn, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(view)
    , m_ui(ui)
    , m_loggedOn(std::move(loggedOn))
{
    setObjectName(QStringLiteral("queueFrame"));
    setWidget(view);
    setWindowTitle(trKey(QString::fromLatin1(TitleKey)));
    CWindowKindSettings::queueFrame().windowOpened();
    // The list's keys (Enter answers) pass this frame first.
    view->installEventFilter(this);
    connect(view, &CQueueView::raiseRequested, this, [this] {
        if (isMinimized())
            showNormal();
        if (QMdiArea *area = mdiArea())
            area->setActiveSubWindow(this);
        raise();
    });
    // A stale row is not answered; the operator learns why.
    connect(&view->queue(), &CallQueue::answerRefused, this, [this] {
        m_ui.showMessage(QStringLiteral("#:queue_answer_stale"), QStringLiteral("#:warning_title"),
                         MessageStyle::Exclamation);
    });
}

CQueueFrame::~CQueueFrame()
{
    CWindowKindSettings::queueFrame().windowClosed();
}

void CQueueFrame::restorePlacement()
{
    ::restorePlacement(this, CWindowKindSettings::queueFrame().section(), false, DefaultLayout::current().queue);
}

void CQueueFrame::closeNow()
{
    m_closeNow = true;
    close();
}

void CQueueFrame::closeEvent(QCloseEvent *event)
{
    if (!m_closeNow && m_loggedOn && m_loggedOn()
        && m_ui.ask(QStringLiteral("#:warning_close_queueW"), QStringLiteral("#:info_title_queueW"), MessageStyle::YesNo)
               != MessageStyle::ResultYes) {
        event->ignore();
        return;
    }
    CSettingsSection section = CWindowKindSettings::queueFrame().section();
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}

bool CQueueFrame::answerOldest()
{
    const QList<QueueRow> &rows = m_view->queue().rows();
    for (int row = 0; row < rows.size(); ++row) {
        if (rows.at(row).type != QueueType::QLTN_TRK_HOLD)
            return m_view->queue().answer(row);
    }
    return false;
}

void CQueueFrame::focusList()
{
    if (!m_view->currentItem() && m_view->topLevelItemCount() > 0)
        m_view->setCurrentItem(m_view->topLevelItem(0));
    m_view->setFocus(Qt::ShortcutFocusReason);
}

bool CQueueFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (QTreeWidgetItem *item = m_view->currentItem()) {
                const int row = m_view->indexOfTopLevelItem(item);
                if (row >= 0 && row < m_view->queue().rows().size())
                    m_view->queue().answer(row);
            }
            return true;
        }
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
