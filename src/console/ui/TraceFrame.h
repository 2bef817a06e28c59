#pragma once

#include <QMdiSubWindow>

class Clock;
class TraceView;

// One trace window; any number may be open, each counted in the trace kind
// and placed from "Trace Frame".
class TraceFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    explicit TraceFrame(const Clock &clock, QWidget *parent = nullptr);
    ~TraceFrame() override;

    TraceView *view() const { return m_view; }
    void restorePlacement();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TraceView *m_view;
};
