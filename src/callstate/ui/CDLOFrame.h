#pragma once

#include <QMdiSubWindow>

class CDLOView;
class StatusWindowKeys;

// The child window around a status button grid: its caption, and its
// placement kept under "DLO Frame - Station" or "DLO Frame - CO".
class CDLOFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    // Takes the view. Add the frame to the MDI area, then restorePlacement().
    explicit CDLOFrame(CDLOView *view, QWidget *parent = nullptr);
    ~CDLOFrame() override;

    CDLOView *view() const { return m_view; }
    QString titleKey() const;
    QString placementSection() const;
    void restorePlacement();
    void retranslate();
    // The window's keys and find bar.
    StatusWindowKeys *keys() const { return m_keys; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CDLOView *m_view;
    StatusWindowKeys *m_keys;
};
