#include "StationCallMenu.h"

#include "base/ui/Translate.h"
#include "callstate/CExtStatusList.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CallKeys.h"

StationCallMenu::StationCallMenu(CAttendantCalls &calls, quint16 index, CAttendantCalls::StationMenu menu,
                                 QWidget *parent)
    : QMenu(parent)
{
    setObjectName(CAttendantCalls::menuName(menu));
    setAttribute(Qt::WA_DeleteOnClose);
    for (const CAttendantCalls::MenuEntry &entry : CAttendantCalls::menuEntries(menu)) {
        QAction *action = addAction(entry.key);
        const int operation = entry.operation;
        action->setShortcut(CallKeys::keyOf(operation));
        if (operation >= 0)
            connect(action, &QAction::triggered, &calls, [&calls, index, operation] {
                calls.stationCommand(index, operation);
            });
    }
    TranslateMenu(this);
}

void StationCallMenu::buttonPressed(CAttendantCalls &calls, quint16 index, const QPoint &globalPos, QWidget *parent)
{
    const CAttendantCalls::StationMenu menu = calls.stationButtonAction(index);
    if (menu == CAttendantCalls::NoMenu)
        return;
    // Not exec(): the link is read on while the operator chooses.
    (new StationCallMenu(calls, index, menu, parent))->popup(globalPos);
}

void StationCallMenu::keyActivated(CAttendantCalls &calls, const CExtStatusList &stations, quint16 index,
                                   const QPoint &globalPos, QWidget *parent)
{
    const CAttendantCalls::StationMenu menu = calls.stationButtonAction(index);
    const CExtStatus *record = stations.record(index);
    const bool selectActs = record && int(calls.ownStation()) != int(index) && record->callOperationState != 0;
    if (selectActs) {
        calls.stationSelect(index);
        return;
    }
    if (menu != CAttendantCalls::NoMenu)
        (new StationCallMenu(calls, index, menu, parent))->popup(globalPos);
}

void StationCallMenu::attach(CDLOView *view, CAttendantCalls &calls, const CExtStatusList &stations)
{
    QObject::connect(view, &CDLOView::buttonPressed, view, [view, &calls](quint32 kind, int index) {
        if (kind == PORT_KIND_EXT)
            buttonPressed(calls, quint16(index), view->actionPosition(), view);
    });
    QObject::connect(view, &CDLOView::buttonDoubleClicked, view, [&calls](quint32 kind, int index) {
        if (kind == PORT_KIND_EXT)
            calls.stationSelect(quint16(index));
    });
    QObject::connect(view, &CDLOView::buttonActivated, view, [view, &calls, &stations](quint32 kind, int index) {
        if (kind == PORT_KIND_EXT)
            keyActivated(calls, stations, quint16(index), view->actionPosition(), view);
    });
    QObject::connect(view, &CDLOView::callOperationRequested, view, [&calls](quint32 kind, int index, int operation) {
        if (kind == PORT_KIND_EXT)
            calls.stationCommand(quint16(index), operation);
    });
}
