#pragma once

#include "base/ui/ConsoleDialog.h"

class CAttendantCalls;
class OperatorUi;
class QCheckBox;
class QLineEdit;
class QValidator;

// "#:sta_no_change_title": gives a station a new number, or none. Only the OK
// button sends; a dialog ended by a log-off sends nothing.
class StationNumberDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    StationNumberDialog(CAttendantCalls &calls, OperatorUi &ui, quint16 index, const QString &currentNumber,
                        QWidget *parent = nullptr);

    QLineEdit *newNumber() const { return m_new; }
    QCheckBox *clearOption() const { return m_clear; }

private:
    void clearToggled(bool on);
    void okPressed();

    CAttendantCalls &m_calls;
    quint16 m_index;
    QLineEdit *m_new = nullptr;
    QCheckBox *m_clear = nullptr;
    QValidator *m_validator = nullptr;
    // What was typed before the number was cleared.
    QString m_typed;
};
