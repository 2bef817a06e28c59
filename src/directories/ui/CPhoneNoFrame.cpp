#include "directories/ui/CPhoneNoFrame.h"

#include "base/MessageCatalogue.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/Translate.h"
#include "directories/ui/CPhoneNoView.h"

#include <QCloseEvent>

CPhoneNoFrame::CPhoneNoFrame(CPhoneNoView *view, QWidget *parent)
    : QMdiSubWindow(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("phoneNoFrame"));
    setWidget(view);
    setWindowTitle(trKey(QString::fromLatin1(TitleKey)));
    CWindowKindSettings::phoneNumberFrame().windowOpened();
}

CPhoneNoFrame::~CPhoneNoFrame()
{
    CWindowKindSettings::phoneNumberFrame().windowClosed();
}

void CPhoneNoFrame::restorePlacement()
{
    ::restorePlacement(this, CWindowKindSettings::phoneNumberFrame().section(), false,
                       DefaultLayout::current().phoneNumberDirectory);
}

void CPhoneNoFrame::showEvent(QShowEvent *event)
{
    QMdiSubWindow::showEvent(event);
    if (!m_loaded) {
        m_loaded = true;
        m_view->load();
    }
}

void CPhoneNoFrame::closeEvent(QCloseEvent *event)
{
    CSettingsSection section = CWindowKindSettings::phoneNumberFrame().section();
    savePlacement(this, section);
    QMdiSubWindow::closeEvent(event);
}
