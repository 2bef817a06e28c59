#pragma once

#include "callstate/CAttendantCalls.h"

#include <QMenu>

// The context menu a station button opens after its action ("DLO_STAICMCOL",
// "DLO_STABUSY", "DLO_STARING"): each entry runs its call operation on the
// station, "#:quit_MENU(&Q)" does nothing. Its texts are translated when it is
// made. Shown with popup(), it deletes itself when it closes.
class StationCallMenu : public QMenu
{
    Q_OBJECT
public:
    StationCallMenu(CAttendantCalls &calls, quint16 index, CAttendantCalls::StationMenu menu,
                    QWidget *parent = nullptr);

    // Runs the station button's action and opens its menu, if any, at the pointer.
    static void buttonPressed(CAttendantCalls &calls, quint16 index, const QPoint &globalPos, QWidget *parent);
};
