#pragma once

#include <QMdiSubWindow>

class CPhoneBookView;

// The child window of the speed-bin directory: its caption and its placement
// under "PhoneBook Frame" (the default rectangle when none is stored).
class CPhoneBookFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    // Takes the view. Add the frame to the MDI area, then restorePlacement().
    explicit CPhoneBookFrame(CPhoneBookView *view, QWidget *parent = nullptr);
    ~CPhoneBookFrame() override;

    CPhoneBookView *view() const { return m_view; }
    void restorePlacement();
    void retranslate();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CPhoneBookView *m_view;
};
