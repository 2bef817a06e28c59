#pragma once

#include <QWidget>

#include <functional>

class CPhoneBookDB;
class OperatorUi;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeView;
class SpeedBinPage;

// The speed-bin directory window's form: the search row, the paging buttons,
// Edit and Call, and the list of one page of bins.
class CPhoneBookView : public QWidget
{
    Q_OBJECT
public:
    // What the view needs of the console. canCall: whether the attendant can
    // call now; call: sends the key presses of a call, false when it cannot.
    struct Context
    {
        OperatorUi *ui = nullptr;
        std::function<bool()> canCall;
        std::function<bool(const QString &keys)> call;
    };

    CPhoneBookView(CPhoneBookDB &db, Context context, QWidget *parent = nullptr);
    ~CPhoneBookView() override;

    static constexpr const char *TitleKey = "#:phonebook_db_window_WINTITLE";

    // Reads the directory; false (after the message) when it cannot be read.
    bool load();

    SpeedBinPage &page() const { return *m_page; }
    QTreeView *list() const { return m_list; }
    QComboBox *searchField() const { return m_field; }
    QLineEdit *keyword() const { return m_keyword; }
    QCheckBox *fromFirstChar() const { return m_fromFirst; }
    QPushButton *editButton() const { return m_edit; }
    QPushButton *callButton() const { return m_call; }
    // The paging buttons |<< << < > >> >>| in order.
    QPushButton *pagingButton(int i) const { return m_paging[i]; }

    void openEditDialog();
    void callSelected();
    void viewSelected();

private:
    void search();
    void fieldChanged();
    int selectedRow() const;
    // Sends "S" and the bin; false (after the message) when the attendant cannot call.
    bool callBin(int bin);

    CPhoneBookDB &m_db;
    Context m_context;
    SpeedBinPage *m_page;
    QComboBox *m_field;
    QLineEdit *m_keyword;
    QCheckBox *m_fromFirst;
    QPushButton *m_reset;
    QPushButton *m_paging[6];
    QPushButton *m_edit;
    QPushButton *m_call;
    QTreeView *m_list;
};
