#include "console/ui/TraceFrame.h"

#include "base/WindowKindSettings.h"
#include "base/ui/Translate.h"
#include "console/ui/TraceView.h"

#include <QCloseEvent>

TraceFrame::TraceFrame(const Clock &clock, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(new TraceView(clock))
{
    setObjectName(QStringLiteral("traceFrame"));
    setWidget(m_view);
    // A developer's window: its title is not in the catalogue.
    setWindowTitle(QStringLiteral("Trace"));
    CWindowKindSettings::traceFrame().windowOpened();
}

TraceFrame::~TraceFrame()
{
    CWindowKindSettings::traceFrame().windowClosed();
}

void TraceFrame::restorePlacement()
{
    ::restorePlacement(this, CWindowKindSettings::traceFrame().section(), false, WinRect{0, 0, 600, 300});
}

void TraceFrame::closeEvent(QCloseEvent *event)
{
    CSettingsSection section = CWindowKindSettings::traceFrame().section();
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}
