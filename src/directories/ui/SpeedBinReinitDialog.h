#pragma once

#include <QDialog>

class QCheckBox;

// Asked when the speed-bin window opens after an initialisation that failed
// or was skipped: Initialise runs it again from the log-on status window,
// Skip opens the window. With "do not show next time" ticked either button
// forgets the failure.
class SpeedBinReinitDialog : public QDialog
{
    Q_OBJECT
public:
    enum Choice { Initialise = 1, Skip = 2 };

    SpeedBinReinitDialog(bool downloadFailed, bool uploadFailed, QWidget *parent = nullptr);

    // "Cancel Initialization" (both flags), "Download Failure" or "Upload Failure".
    static QString statusText(bool downloadFailed, bool uploadFailed);
    QCheckBox *doNotShowAgain() const { return m_doNotShow; }

Q_SIGNALS:
    // forget: the check box was ticked.
    void chosen(int choice, bool forget);

private:
    QCheckBox *m_doNotShow;
};
