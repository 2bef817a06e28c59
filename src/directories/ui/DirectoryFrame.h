#pragma once

#include "directories/DirectoryColumns.h"

#include <QMdiSubWindow>

class DirectoryView;

// The child window around a directory list: its caption, and its placement
// kept under "DB Frame - Station" or "DB Frame - CO" (the default rectangle
// when none is stored).
class DirectoryFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    // Takes the view. Add the frame to the MDI area, then restorePlacement().
    explicit DirectoryFrame(DirectoryView *view, QWidget *parent = nullptr);
    ~DirectoryFrame() override;

    DirectoryView *view() const { return m_view; }
    QString titleKey() const;
    static QString titleKey(DirectoryKind kind);
    // "Station" or "CO".
    static QString placementPart(DirectoryKind kind);

    void restorePlacement();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    DirectoryView *m_view;
    bool m_loaded = false;
};
