#include "CDLOFrame.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/FindBar.h"
#include "callstate/ui/StatusWindowKeys.h"

#include <QCloseEvent>
#include <QMdiArea>

CDLOFrame::CDLOFrame(CDLOView *view, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(view)
    , m_keys(new StatusWindowKeys(view))
{
    setObjectName(view->document().isStation() ? QStringLiteral("stationStatusFrame") : QStringLiteral("coStatusFrame"));
    setWidget(view);
    setWindowTitle(trKey(titleKey()));
    CWindowKindSettings::statusButtonFrame().windowOpened();
    connect(view, &CDLOView::activationRequested, this, [this] {
        if (QMdiArea *area = mdiArea())
            area->setActiveSubWindow(this);
    });
}

CDLOFrame::~CDLOFrame()
{
    CWindowKindSettings::statusButtonFrame().windowClosed();
}

QString CDLOFrame::titleKey() const
{
    return m_view->titleKey();
}

QString CDLOFrame::placementSection() const
{
    return CWindowKindSettings::placementSection(CWindowKindSettings::Kind::StatusButtonFrame,
                                                 m_view->document().isStation() ? QStringLiteral("Station")
                                                                                : QStringLiteral("CO"));
}

void CDLOFrame::restorePlacement()
{
    const DefaultLayout &layout = DefaultLayout::current();
    ::restorePlacement(this, CSettingsSection(placementSection()), false,
                       m_view->document().isStation() ? layout.stationButtons : layout.coButtons);
}

void CDLOFrame::retranslate()
{
    setWindowTitle(trKey(titleKey()));
    m_view->onUpdate(2);
    m_keys->findBar()->retranslate();
}

void CDLOFrame::closeEvent(QCloseEvent *event)
{
    CSettingsSection section(placementSection());
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}
