#pragma once

#include <QMdiSubWindow>

class CDLOView;

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

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CDLOView *m_view;
};
