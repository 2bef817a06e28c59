#include "CQueueFrame.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "callstate/ui/CQueueView.h"

#include <QCloseEvent>
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
