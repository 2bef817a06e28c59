#pragma once

#include <QDialog>

class OpenDialogRegistry;
class QLabel;
class QLineEdit;
class QPushButton;
class SpeedBinEditor;

// The edit dialog of the speed-bin directory: the fields of one bin and Add,
// Modify, Delete, Clear and Quit. Everything it decides is the editor's; the
// dialog only shows the editor's fields and buttons. Opened without a nested
// event loop and entered in the open-dialog registry while it is shown.
class SpeedBinEditDialog : public QDialog
{
    Q_OBJECT
public:
    SpeedBinEditDialog(SpeedBinEditor &editor, OpenDialogRegistry &dialogs, QWidget *parent = nullptr);
    ~SpeedBinEditDialog() override;

    QLineEdit *binEdit() const { return m_bin; }
    QLineEdit *nameEdit() const { return m_name; }
    QLineEdit *numberEdit() const { return m_number; }
    QLineEdit *coTypeEdit() const { return m_coType; }
    QLineEdit *coNumberEdit() const { return m_coNumber; }
    QLineEdit *memoEdit() const { return m_memo; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *modifyButton() const { return m_modify; }
    QPushButton *deleteButton() const { return m_delete; }
    QPushButton *clearButton() const { return m_clear; }

private:
    void showEditor();
    void fieldEdited();
    void stepCoType(int step);

    SpeedBinEditor &m_editor;
    OpenDialogRegistry &m_dialogs;
    int m_dialogSlot = -1;
    bool m_showing = false;
    QLineEdit *m_bin;
    QLineEdit *m_name;
    QLineEdit *m_number;
    QLineEdit *m_coType;
    QLineEdit *m_coNumber;
    QLineEdit *m_memo;
    QPushButton *m_add;
    QPushButton *m_modify;
    QPushButton *m_delete;
    QPushButton *m_clear;
    QPushButton *m_quit;
};
