#pragma once

#include "base/ui/ConsoleDialog.h"

#include <QList>

class AttendantProgramming;
class LimitedNumberEdit;
class QFormLayout;
class QLineEdit;
class QVBoxLayout;

// Base of the programming dialogs: OK runs the command and closes the dialog
// when its keys went out; after a message the dialog stays open. A log-off
// that ends the dialog sends nothing.
class ProgrammingDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    ProgrammingDialog(AttendantProgramming &programming, const QString &titleKey, QWidget *parent);

    // OK: the command runs.
    void okPressed();

protected:
    // The command; true when its keys went out.
    virtual bool run() = 0;

    AttendantProgramming &programming() const { return m_programming; }
    QVBoxLayout *mainLayout() const { return m_layout; }
    QFormLayout *form() const { return m_form; }
    QLineEdit *addTextField(const QString &name, const QString &labelKey, int maxLength);
    LimitedNumberEdit *addNumberField(const QString &name, const QString &labelKey, int lower, int upper,
                                      int maxLength);
    // Upper-cases what is typed.
    static void keepUpperCase(QLineEdit *edit);
    // Adds OK and Cancel and translates every label and button.
    void finish(QWidget *lastField);

private:
    AttendantProgramming &m_programming;
    QVBoxLayout *m_layout;
    QFormLayout *m_form;
    QList<LimitedNumberEdit *> m_numbers;
};
