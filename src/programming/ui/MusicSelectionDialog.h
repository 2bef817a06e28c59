#pragma once

#include "ProgrammingDialog.h"

class QLineEdit;
class QToolButton;

// Background music ("#:atdpgm_ms_musicselection"): the channel of the PBX's
// last reply, stepped with the up-down buttons from 0 to 9 and round again.
class MusicSelectionDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    explicit MusicSelectionDialog(AttendantProgramming &programming, QWidget *parent = nullptr);

    int channel() const { return m_channel; }
    void step(int delta);

protected:
    bool run() override;

private:
    void showChannel();

    int m_channel = 0;
    QLineEdit *m_shown;
};
