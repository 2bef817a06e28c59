#include "CPhoneBookFrame.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "directories/ui/CPhoneBookView.h"

#include <QCloseEvent>

CPhoneBookFrame::CPhoneBookFrame(CPhoneBookView *view, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("speedBinDirectoryFrame"));
    setWidget(view);
    retranslate();
    CWindowKindSettings::speedBinFrame().windowOpened();
}

CPhoneBookFrame::~CPhoneBookFrame()
{
    CWindowKindSettings::speedBinFrame().windowClosed();
}

void CPhoneBookFrame::retranslate()
{
    setWindowTitle(trKey(QLatin1String(CPhoneBookView::TitleKey)));
}

void CPhoneBookFrame::restorePlacement()
{
    ::restorePlacement(this, CWindowKindSettings::speedBinFrame().section(), false,
                       DefaultLayout::current().speedBinDirectory);
}

void CPhoneBookFrame::closeEvent(QCloseEvent *event)
{
    CSettingsSection section = CWindowKindSettings::speedBinFrame().section();
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}
