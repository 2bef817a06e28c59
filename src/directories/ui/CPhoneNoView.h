#pragma once

#include "directories/CPhoneNoDoc.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class OperatorUi;
class QCheckBox;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The phone-number directory window's contents: the search row, the paging
// buttons, Edit and Call, and the page of at most 15 entries.
class CPhoneNoView : public QWidget
{
    Q_OBJECT
public:
    struct Context
    {
        OperatorUi *ui = nullptr;
        // The attendant can make a call now.
        std::function<bool()> canCall;
        // Sends the digits as an outside call (the command-text request).
        std::function<bool(const QString &digits)> sendDigits;
    };

    // directory may be nullptr: the file could not be opened this run.
    CPhoneNoView(PhoneNoDirectory *directory, Context context, QWidget *parent = nullptr);
    ~CPhoneNoView() override;

    CPhoneNoDoc &document() { return m_doc; }
    QTreeWidget *list() const { return m_list; }
    QComboBox *searchField() const { return m_field; }
    QLineEdit *keyword() const { return m_keyword; }
    QCheckBox *fromFirstChar() const { return m_fromFirst; }
    // "|<<", "<<", "<", ">", ">>", ">>|", then Edit, Call and Reset.
    QPushButton *button(const QString &text) const;

    // The first display: reports a missing directory or recordset.
    bool load();
    void retranslate();

    // The buttons' commands; each returns the dialog it opened (not waiting for it).
    QDialog *edit();
    QDialog *call();
    QDialog *openViewDialog();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void fieldChanged();
    void showPage();
    void rowSelected();
    // Sends the digits of an entry when the attendant can call; else says why.
    bool dial(const PhoneNoEntry &entry);

    Context m_context;
    CPhoneNoDoc m_doc;
    QComboBox *m_field;
    QLineEdit *m_keyword;
    QCheckBox *m_fromFirst;
    QTreeWidget *m_list;
    QList<QPushButton *> m_buttons;
    QList<QLabel *> m_labels;
    bool m_showing = false;
};
