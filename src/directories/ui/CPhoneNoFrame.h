#pragma once

#include <QMdiSubWindow>

class CPhoneNoView;

// The phone-number directory window: caption and placement under
// "PhoneNo Frame". Loads its view when first shown.
class CPhoneNoFrame : public QMdiSubWindow
{
    Q_OBJECT
public:
    static constexpr const char *TitleKey = "#:phoneno_db_window_WINTITLE";

    // Takes the view. Add the frame to the MDI area, then restorePlacement().
    explicit CPhoneNoFrame(CPhoneNoView *view, QWidget *parent = nullptr);
    ~CPhoneNoFrame() override;

    CPhoneNoView *view() const { return m_view; }
    void restorePlacement();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    CPhoneNoView *m_view;
    bool m_loaded = false;
};
