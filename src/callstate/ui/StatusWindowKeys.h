#pragma once

#include <QObject>

class CDLOView;
class FindBar;
class QKeyEvent;

// Keyboard operation of a status window. In the grid the arrows, Home, End
// and the page keys move the focus mark, Enter acts on the marked button as a
// double click does, the menu key (or Shift+F10) opens its pop-up menu, and
// the call operation keys run on it. A digit or letter opens the find bar with
// that character; in the find bar the arrows move through the matches, Enter
// acts on the current one, the call operation keys run on it, and Esc closes
// the bar and leaves the mark on the last match.
class StatusWindowKeys : public QObject
{
    Q_OBJECT
public:
    // Watches the view's keys; lives as long as the view.
    explicit StatusWindowKeys(CDLOView *view);

    FindBar *findBar() const { return m_bar; }
    // Opens the find bar with a text (Ctrl+F opens it empty: every port).
    void openFind(const QString &text = QString());

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool gridKey(QKeyEvent *event);
    bool barKey(QKeyEvent *event);
    bool operationKey(QKeyEvent *event, int port);
    void moveMark(int key);
    void openMenu(int port);

    CDLOView *m_view;
    FindBar *m_bar;
};
