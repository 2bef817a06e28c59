#pragma once

#include "base/ui/ConsoleDialog.h"

class OperatorUi;
class Paging;
class QListWidget;
class QPushButton;

// "#:Paging": one click starts a page to all zones, the internal or external
// zones, one external zone or one internal zone of the list, and closes the
// dialog. Closing it any other way sends nothing.
class PagingDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    PagingDialog(Paging &paging, OperatorUi &ui, QWidget *parent = nullptr);

    QPushButton *button(int index) const;
    QListWidget *zoneList() const { return m_zones; }

private:
    void zoneChosen(int row);

    Paging &m_paging;
    QList<QPushButton *> m_buttons;
    QListWidget *m_zones = nullptr;
    // One page per opening of the dialog.
    bool m_done = false;
};
