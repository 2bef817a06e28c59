#pragma once

#include "callstate/CDLODoc.h"
#include "callstate/StatusGrid.h"
#include "callstate/StatusLamp.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QStaticText>
#include <QTimer>

#include <functional>
#include <map>
#include <set>
#include <vector>

class CExtStatusList;
class CTrkStatusList;
class CLinkRequest;
class OperatorUi;
class StatusToolTip;
class QMenu;

// The grid of status buttons of one window: every present station (or CO
// line) as a button with its title and a lamp that shows the live status.
// The whole grid is drawn by this one widget; lamps of a blink pattern share
// one clock per period and only lamps that change are repainted.
class CDLOView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    // The commands of the pop-up menus.
    enum Command {
        OpenDatabase = 1,
        SendMail,
        WakeUpAlarm,
        CancelWakeUp,
        AttendantCancel,
        ChangeAuthCode,
        TempCos,
        StationName,
        StationNumberChange,
        Font,
        ButtonSize,
        TitlePortNumber,
        TitleNumber,
        TitleName,
        TitleFullName,
        OutgoingDisable,
        CoDrop,
        Quit,
    };
    static constexpr int HoverRefreshMs = 300;

    struct Context
    {
        CExtStatusList *stations = nullptr;
        CTrkStatusList *lines = nullptr;
        const StatusToolTip *tips = nullptr;
        CLinkRequest *request = nullptr;
        OperatorUi *ui = nullptr;
        // Logged on and idle: the commands that program the PBX need it.
        std::function<bool()> attendantIdle;
    };

    CDLOView(quint32 kind, const Context &context, QWidget *parent = nullptr);
    ~CDLOView() override;

    CDLODoc &document() { return m_doc; }
    const Context &context() const { return m_context; }
    quint32 kind() const { return m_doc.kind(); }
    QString titleKey() const;

    // A document update: with bit 0x8000 the low word acts on the button
    // hint >> 16 (0x8000 repaint, HINT_IDENTITY title, HINT_STATUS lamp);
    // otherwise 0 repaints all, 1 lays the grid out, 2 retitles all.
    void onUpdate(quint32 hint);
    void setOwnStation(int index);

    // For tests and the benchmark.
    const StatusGrid &grid() const { return m_grid; }
    QString buttonTitle(int index) const;
    LampState lamp(int index) const;
    bool lampLit(int index) const;
    // Buttons repainted one by one since the last reset (hints and blinking).
    int buttonRepaints() const { return m_buttonRepaints; }
    void resetButtonRepaints() { m_buttonRepaints = 0; }
    // One tick of the shared blink clock of a period.
    void blinkStep(int period);
    bool blinkClockRunning(int period) const;
    // The tables' status is not known now: every button is hatched grey and
    // no lamp blinks until it is live again.
    bool isStale() const;
    // The button's rectangle in viewport coordinates.
    QRect buttonRect(int index) const;
    int hoveredIndex() const { return m_hovered; }
    bool hoverTimerActive() const { return m_hoverTimer.isActive(); }
    // The pop-up menu of a button, as the right mouse button opens it.
    QMenu *createContextMenu(int index);
    void runCommand(int index, int command);
    // The size dialog's OK: stores the size and lays the grid out again.
    void applyButtonSize(QSize size);

    // Keyboard operation: the button with the focus mark, scrolled into view
    // when set; Enter on it does what a double click does.
    int currentButton() const { return m_focus; }
    void setCurrentButton(int index);
    void activateButton(int index);
    void requestCallOperation(int index, int operation);
    // Where a menu that follows a button action opens: at the pointer after a
    // click, below the button after a key.
    QPoint actionPosition() const { return m_actionPos; }
    // Room kept free below the grid (the find bar's): the grid scrolls above it.
    void reserveBottom(int height) { setViewportMargins(0, 0, 0, height); }

Q_SIGNALS:
    // Operations of the attendant's calls and of the dialogs of other parts:
    // the main window wires them.
    void commandRequested(quint32 kind, int index, int command);
    // A station button pressed (its call operation) and double-clicked.
    void buttonPressed(quint32 kind, int index);
    void buttonDoubleClicked(quint32 kind, int index);
    // Enter on a station button: the effect of a double click (its press, then its select).
    void buttonActivated(quint32 kind, int index);
    // A call operation of the attendant (CAttendantCalls::Operation) chosen by key.
    void callOperationRequested(quint32 kind, int index, int operation);
    // An idle CO line was seized: the mini dial pad goes beside the button.
    void smallKeyPadRequested(int index, const QRect &globalButtonRect);
    // Right button: the frame comes forward.
    void activationRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    struct Button
    {
        QString title;
        // The title laid out once, drawn many times.
        mutable QStaticText text;
        mutable int textFont = -1;
        LampState lamp;
        quint32 blinkRegister = StatusLamp::RegisterStart;
        bool lit = true;
        bool own = false;
    };

    bool valid(int index) const { return index >= 0 && index < int(m_buttons.size()); }
    void layoutGrid();
    void retitleAll();
    void setLampFromStatus(int index);
    void setLamp(int index, const LampState &lamp);
    void repaintButton(int index, bool lampOnly = false);
    static QRect lampRect(const QRect &button);
    void updateScrollBars();
    int indexAt(const QPoint &viewportPos) const;
    QPoint offset() const;
    void setHovered(int index);
    void hoverTimeout();
    void drawLamp(QPainter &painter, int index, const QRect &lamp) const;
    void drawFace(QPainter &painter, int index, const QRect &rect) const;
    void openButtonSizeDialog();
    bool checkIdle() const;
    void pressButton(int index);
    const QFont &buttonFont();
    void freshnessChanged(bool stale);

    CDLODoc m_doc;
    Context m_context;
    StatusGrid m_grid;
    std::vector<Button> m_buttons;
    // Blinking buttons by period, and one clock per period.
    std::map<int, std::set<int>> m_blinking;
    std::map<int, QTimer *> m_blinkClocks;
    QTimer m_hoverTimer;
    int m_hovered = -1;
    int m_pressed = -1;
    int m_focus = -1;
    QPoint m_actionPos;
    int m_buttonRepaints = 0;
    bool m_deep = true;
    QFont m_font;
    int m_fontGeneration = -1;
};
