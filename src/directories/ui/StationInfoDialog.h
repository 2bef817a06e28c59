#pragma once

#include "base/ui/ConsoleDialog.h"
#include "directories/StationDirectory.h"

#include <QPointer>

#include <functional>

class OperatorUi;
class QLabel;
class QLineEdit;
class QPushButton;

// The information dialog of one station: what the PBX reports (port, station
// number, station name) and the operator's own fields, saved to the station
// directory. Opening it writes a record for the port when there is none, so
// that a record exists from then on.
class StationInfoDialog : public ConsoleDialog
{
    Q_OBJECT
public:
    // What the caller knows of the station. number: "...." or an empty text
    // when it has none.
    struct Key
    {
        int port = 0;
        QString number;
        QString name;
    };

    // loggedOn: the three call buttons beside the numbers work only while the
    // position is logged on.
    StationInfoDialog(OperatorUi &ui, StationDirectory &directory, const Key &key, bool loggedOn,
                      QWidget *parent = nullptr);

    // The call hooks return false when the attendant cannot make the call now
    // ("#:cannot_exe_call_op" is shown then); on true the dialog closes.
    // callNumber gets only the digits of the number field.
    using CallHook = std::function<bool(const QString &)>;
    void setCallNumberHook(CallHook hook) { m_callNumber = std::move(hook); }
    void setCallStationHook(CallHook hook) { m_callStation = std::move(hook); }
    // After a save, the live station of that port takes the new full name.
    void setFullNameSavedHook(std::function<void(int port, const QString &fullName)> hook)
    {
        m_fullNameSaved = std::move(hook);
    }

    // The fields as the controls hold them now, trimmed; "...." as "0".
    StationFields currentFields() const;
    int port() const { return m_port; }

    QLineEdit *field(const char *objectName) const;
    QLabel *pictureView() const { return m_pictureView; }
    QPushButton *button(const char *objectName) const;

    // Save: writes the record and reports it; false when it could not be written.
    bool save();
    void clear();
    void setPictureFile(const QString &path);

    static constexpr int NameLength = 32;
    static constexpr int NumberLength = 48;
    static constexpr int LongTextLength = 255;
    static constexpr int InformLength = 32;

private:
    void build();
    void showFields(const StationFields &fields);
    void refreshFullName();
    void showPicture();
    void callNumber(QLineEdit *number);
    void callStation();
    void cannotCall();

    OperatorUi &m_ui;
    QPointer<StationDirectory> m_directory;
    int m_port;
    CallHook m_callNumber;
    CallHook m_callStation;
    std::function<void(int, const QString &)> m_fullNameSaved;

    QLineEdit *m_portEdit = nullptr;
    QLineEdit *m_number = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_first = nullptr;
    QLineEdit *m_middle = nullptr;
    QLineEdit *m_last = nullptr;
    QLineEdit *m_full = nullptr;
    QLineEdit *m_home = nullptr;
    QLineEdit *m_cellular = nullptr;
    QLineEdit *m_pager = nullptr;
    QLineEdit *m_inform[3] = {};
    QLineEdit *m_mail = nullptr;
    QLineEdit *m_picture = nullptr;
    QLineEdit *m_memo = nullptr;
    QLabel *m_pictureView = nullptr;
};
