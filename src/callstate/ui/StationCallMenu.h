#pragma once

#include "callstate/CAttendantCalls.h"

#include <QMenu>

class CDLOView;

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
    // Enter on a station: what a double click sends (the press, then the
    // select when the press left a transfer to complete), without the beep of
    // a select that has nothing to do. A menu the press asks for opens below
    // the button when the select did not act.
    static void keyActivated(CAttendantCalls &calls, const CExtStatusList &stations, quint16 index,
                             const QPoint &globalPos, QWidget *parent);
    // Wires a station window to the attendant's calls: press, double click,
    // Enter and the call operation keys.
    static void attach(CDLOView *view, CAttendantCalls &calls, const CExtStatusList &stations);
};
