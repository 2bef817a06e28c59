#include "DirectoryFrame.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "directories/ui/DirectoryView.h"

#include <QCloseEvent>

namespace {

CSettingsSection placementSectionOf(DirectoryKind kind)
{
    return CSettingsSection(CWindowKindSettings::placementSection(CWindowKindSettings::Kind::DirectoryFrame,
                                                                  DirectoryFrame::placementPart(kind)));
}

} // namespace

DirectoryFrame::DirectoryFrame(DirectoryView *view, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(view)
{
    setObjectName(view->kind() == DirectoryKind::Station ? QStringLiteral("stationDirectoryFrame")
                                                         : QStringLiteral("coDirectoryFrame"));
    setWidget(view);
    setWindowTitle(trKey(titleKey()));
    CWindowKindSettings::directoryFrame().windowOpened();
}

DirectoryFrame::~DirectoryFrame()
{
    CWindowKindSettings::directoryFrame().windowClosed();
}

QString DirectoryFrame::titleKey() const
{
    return titleKey(m_view->kind());
}

QString DirectoryFrame::titleKey(DirectoryKind kind)
{
    return kind == DirectoryKind::Station ? QStringLiteral("#:station_db_window_WINTITLE")
                                          : QStringLiteral("#:co_db_window_WINTITLE");
}

QString DirectoryFrame::placementPart(DirectoryKind kind)
{
    return kind == DirectoryKind::Station ? QStringLiteral("Station") : QStringLiteral("CO");
}

void DirectoryFrame::restorePlacement()
{
    const DefaultLayout &layout = DefaultLayout::current();
    const WinRect &defaultRect =
        m_view->kind() == DirectoryKind::Station ? layout.stationDirectory : layout.coDirectory;
    ::restorePlacement(this, placementSectionOf(m_view->kind()), false, defaultRect);
}

void DirectoryFrame::showEvent(QShowEvent *event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        m_view->load();
    }
}

void DirectoryFrame::closeEvent(QCloseEvent *event)
{
    CSettingsSection section = placementSectionOf(m_view->kind());
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}
