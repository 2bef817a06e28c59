#pragma once

#include "base/ui/ConsoleDialog.h"
#include "directories/CoDirectory.h"

#include <QPointer>

class OperatorUi;
class QLineEdit;
class QPushButton;

// The information dialog of one CO line: what the PBX reports (line number,
// name, access and retrieve code) and the operator's telephone number, full
// name, information and memo. Opening it writes a record for the line when
// there is none.
class CoInfoDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    struct Key
    {
        int line = 0;
        QString name;
        QString accessCode;
        QString retrieveCode;
    };

    CoInfoDialog(OperatorUi &ui, CoDirectory &directory, const Key &key, QWidget *parent = nullptr);

    // The fields as the controls hold them now, trimmed.
    CoFields currentFields() const;
    int line() const { return m_line; }

    QLineEdit *field(const char *objectName) const;
    QPushButton *button(const char *objectName) const;

    bool save();
    void clear();

    static constexpr int NumberLength = 48;
    static constexpr int NameLength = 64;
    static constexpr int MemoLength = 255;

private:
    void build();
    void showFields(const CoFields &fields);

    OperatorUi &m_ui;
    QPointer<CoDirectory> m_directory;
    int m_line;
    QLineEdit *m_lineEdit = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_access = nullptr;
    QLineEdit *m_retrieve = nullptr;
    QLineEdit *m_telNo = nullptr;
    QLineEdit *m_fullName = nullptr;
    QLineEdit *m_inform = nullptr;
    QLineEdit *m_memo = nullptr;
};
