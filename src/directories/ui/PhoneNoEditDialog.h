#pragma once

#include "base/ui/ConsoleDialog.h"
#include "directories/PhoneNoDirectory.h"

class OperatorUi;
class QLineEdit;
class QPushButton;

// The edit dialog of the phone-number directory: Add, Modify, Delete, Clear
// and Quit on the three fields. An entry it was opened with is the one that
// Modify and Delete change; its name cannot be changed.
class PhoneNoEditDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    PhoneNoEditDialog(PhoneNoDirectory &directory, OperatorUi &ui, const PhoneNoEntry *editing,
                      QWidget *parent = nullptr);

    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *phoneNoEdit() const { return m_phoneNo; }
    QLineEdit *memoEdit() const { return m_memo; }
    QPushButton *button(const QString &key) const;

    bool add();
    bool modify();
    bool remove();
    void clearFields();

Q_SIGNALS:
    // A write went through: the list is shown again.
    void changed();

private:
    PhoneNoEntry fields() const;

    PhoneNoDirectory &m_directory;
    OperatorUi &m_ui;
    PhoneNoEntry m_editing;
    QLineEdit *m_name;
    QLineEdit *m_phoneNo;
    QLineEdit *m_memo;
    QList<QPushButton *> m_buttons;
};
