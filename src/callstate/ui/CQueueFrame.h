#pragma once

#include <QMdiSubWindow>

#include <functional>

class CQueueView;
class OperatorUi;

// The call queue's child window. While logged on the operator confirms
// closing it, as the waiting calls are no longer listed then.
class CQueueFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    static constexpr const char *TitleKey = "#:queue_window_WINTITLE";

    CQueueFrame(CQueueView *view, OperatorUi &ui, std::function<bool()> loggedOn, QWidget *parent = nullptr);
    ~CQueueFrame() override;

    CQueueView *view() const { return m_view; }
    void restorePlacement();
    // Closes without asking (log-off, exit).
    void closeNow();

    // Keys: Enter in the list answers the selected row, as a click does.
    // The oldest row that rings at the position (held lines wait for the
    // operator's choice); false when there is none or nothing went out.
    bool answerOldest();
    // The list takes the keyboard focus, its first row selected when none is.
    void focusList();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CQueueView *m_view;
    OperatorUi &m_ui;
    std::function<bool()> m_loggedOn;
    bool m_closeNow = false;
};
