#pragma once

#include "directories/DirectoryRecordset.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

class CallerNameIndex;
class OperatorUi;

// One entry of the phone-number directory.
struct PhoneNoEntry
{
    qint64 index = -1; // InternalIndex; -1 for an entry not stored yet
    QString name;
    QString phoneNo;
    QString memo;
};

// The operator's own list of outside numbers: PhoneDB.mdb, table PhoneNo.
// Nothing of it goes to the PBX. Names are unique: Add refuses a name that is
// already stored (without regard to case, as every text compare of the
// directories), and Modify never renames an entry.
class PhoneNoDirectory
{
public:
    explicit PhoneNoDirectory(QSqlDatabase db);
    ~PhoneNoDirectory();

    QSqlDatabase database() const { return m_db; }

    // The index of callers' names this directory keeps current: its phone
    // numbers are read into it at once and every add, modify and delete
    // follows. nullptr: none.
    void setCallerNames(CallerNameIndex *index);

    // A recordset of its own, for the window, export, import or listing;
    // not opened.
    std::unique_ptr<DirectoryRecordset> newRecordset() const;
    static PhoneNoEntry readEntry(const DirectoryRecordset &set);

    // The stored entry of a name, or nullopt. A name holding ' or a Like
    // wildcard is looked up as it stands.
    std::optional<PhoneNoEntry> findByName(const QString &name) const;

    // The edit dialog's buttons. Each shows its outcome through ui (the
    // input error, or the result message) and returns true when it wrote.
    // Add and Modify trim the three texts first; editing is the entry the
    // dialog was filled from (index -1 when none).
    bool addEntry(PhoneNoEntry entry, OperatorUi &ui);
    bool modifyEntry(PhoneNoEntry entry, const PhoneNoEntry &editing, OperatorUi &ui);
    bool deleteEntry(const PhoneNoEntry &editing, OperatorUi &ui);

    // "Name Like 'kw*'" (fromFirstChar) or "Name Like '*kw*'" on the field
    // Name, PhoneNo or Memo; the keyword matches as typed, its * ? # [ and '
    // included. Empty for an empty keyword.
    static QString searchFilter(const QString &field, const QString &keyword, bool fromFirstChar);
    // The characters '0' to '9' of a number, in their order.
    static QString dialDigits(const QString &phoneNo);

private:
    // Trims the texts; shows the input error for an empty name.
    static bool validate(PhoneNoEntry &entry, OperatorUi &ui);
    static void showResult(const char *key, const QString &name, OperatorUi &ui);
    static void showInputError(const QString &text, OperatorUi &ui);

    QSqlDatabase m_db;
    CallerNameIndex *m_callerNames = nullptr;
};
