#include "StationCallMenu.h"

#include "base/ui/Translate.h"

StationCallMenu::StationCallMenu(CAttendantCalls &calls, quint16 index, CAttendantCalls::StationMenu menu,
                                 QWidget *parent)
    : QMenu(parent)
{
    setObjectName(CAttendantCalls::menuName(menu));
    setAttribute(Qt::WA_DeleteOnClose);
    for (const CAttendantCalls::MenuEntry &entry : CAttendantCalls::menuEntries(menu)) {
        QAction *action = addAction(entry.key);
        const int operation = entry.operation;
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
