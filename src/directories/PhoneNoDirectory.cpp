#include "directories/PhoneNoDirectory.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "callstate/CallerNameIndex.h"
#include "directories/CallerNameReader.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPhoneNo, "zarto.directories.phoneno")

namespace {
const QString InputError = QStringLiteral("#:input_error");

QString text(const char *key)
{
    return MessageCatalogue().text(QString::fromLatin1(key));
}
} // namespace

PhoneNoDirectory::PhoneNoDirectory(QSqlDatabase db)
    : m_db(std::move(db))
{
}

PhoneNoDirectory::~PhoneNoDirectory() = default;

void PhoneNoDirectory::setCallerNames(CallerNameIndex *index)
{
    m_callerNames = index;
    if (m_callerNames)
        m_callerNames->replace(CallerNameIndex::PhoneNumbers, CallerNameReader::phoneNumbers(m_db));
}

std::unique_ptr<DirectoryRecordset> PhoneNoDirectory::newRecordset() const
{
    return std::make_unique<DirectoryRecordset>(m_db, DirectoryTable::phoneNo());
}

PhoneNoEntry PhoneNoDirectory::readEntry(const DirectoryRecordset &set)
{
    return {set.value(0).toLongLong(), set.value(1).toString(), set.value(2).toString(), set.value(3).toString()};
}

std::optional<PhoneNoEntry> PhoneNoDirectory::findByName(const QString &name) const
{
    auto set = newRecordset();
    // Quoted, so that a name such as "O'Neill" is one text to the filter.
    set->setFilter(QStringLiteral("Name = %1").arg(DirectoryRecordset::quoted(name)));
    if (!set->open() || !set->moveFirst())
        return std::nullopt;
    return readEntry(*set);
}

bool PhoneNoDirectory::validate(PhoneNoEntry &entry, OperatorUi &ui)
{
    entry.name = entry.name.trimmed();
    entry.phoneNo = entry.phoneNo.trimmed();
    entry.memo = entry.memo.trimmed();
    if (entry.name.isEmpty()) {
        ui.showMessage(QStringLiteral("#:pne_name_must_be_entered"), InputError, MessageStyle::Stop);
        return false;
    }
    return true;
}

void PhoneNoDirectory::showInputError(const QString &message, OperatorUi &ui)
{
    ui.showFixedMessage(message, MessageCatalogue().text(InputError), MessageStyle::Stop);
}

void PhoneNoDirectory::showResult(const char *key, const QString &name, OperatorUi &ui)
{
    ui.showFixedMessage(text(key) + QStringLiteral(" (") + text("#:pni_name") + QStringLiteral(" : %1)").arg(name),
                        text("#:information"), MessageStyle::Information);
}

bool PhoneNoDirectory::addEntry(PhoneNoEntry entry, OperatorUi &ui)
{
    if (!validate(entry, ui))
        return false;
    if (findByName(entry.name)) {
        showInputError(text("#:pni_name") + QStringLiteral(" %1 : ").arg(entry.name) + text("#:pne_record_already exists"),
                       ui);
        return false;
    }
    auto set = newRecordset();
    // Opened on no row: only the insert is wanted.
    set->setFilter(QStringLiteral("InternalIndex = -1"));
    if (!set->open() || !set->addNew({entry.name, entry.phoneNo, entry.memo})) {
        qCWarning(lcPhoneNo) << "cannot add" << set->errorText();
        ui.showMessage(QStringLiteral("#:pbe_cannot_open_phone_no_record"), QStringLiteral("#:database_error"),
                       MessageStyle::Stop);
        return false;
    }
    if (m_callerNames && set->moveFirst())
        m_callerNames->set(CallerNameIndex::PhoneNumbers, set->value(0).toLongLong(), entry.phoneNo, entry.name);
    showResult("#:pni_new_record_added", entry.name, ui);
    return true;
}

bool PhoneNoDirectory::modifyEntry(PhoneNoEntry entry, const PhoneNoEntry &editing, OperatorUi &ui)
{
    if (!validate(entry, ui))
        return false;
    // Renaming would slip past the unique-name check of Add.
    if (editing.index < 0 || entry.name != editing.name) {
        showInputError(text("#:pne_modified_name_not_allowed") + QStringLiteral("\n\n") + text("#:pni_original_name")
                           + QStringLiteral(" : %1").arg(editing.name),
                       ui);
        return false;
    }
    auto set = newRecordset();
    set->setFilter(QStringLiteral("InternalIndex = %1").arg(editing.index));
    if (!set->open() || !set->moveFirst() || !set->editCurrent({entry.name, entry.phoneNo, entry.memo})) {
        qCWarning(lcPhoneNo) << "cannot modify" << set->errorText();
        ui.showMessage(QStringLiteral("#:pbe_cannot_open_phone_no_record"), QStringLiteral("#:database_error"),
                       MessageStyle::Stop);
        return false;
    }
    if (m_callerNames)
        m_callerNames->set(CallerNameIndex::PhoneNumbers, editing.index, entry.phoneNo, entry.name);
    showResult("#:pni_record_modified", entry.name, ui);
    return true;
}

bool PhoneNoDirectory::deleteEntry(const PhoneNoEntry &editing, OperatorUi &ui)
{
    if (editing.index < 0)
        return false;
    auto set = newRecordset();
    set->setFilter(QStringLiteral("InternalIndex = %1").arg(editing.index));
    if (!set->open() || !set->moveFirst() || !set->deleteCurrent()) {
        qCWarning(lcPhoneNo) << "cannot delete" << set->errorText();
        ui.showMessage(QStringLiteral("#:pbe_cannot_open_phone_no_record"), QStringLiteral("#:database_error"),
                       MessageStyle::Stop);
        return false;
    }
    if (m_callerNames)
        m_callerNames->remove(CallerNameIndex::PhoneNumbers, editing.index);
    showResult("#:pni_record_deleted", editing.name, ui);
    return true;
}

QString PhoneNoDirectory::searchFilter(const QString &field, const QString &keyword, bool fromFirstChar)
{
    if (keyword.isEmpty())
        return QString();
    const QString pattern = DirectoryRecordset::likeLiteral(keyword);
    return fromFirstChar ? QStringLiteral("%1 Like '%2*'").arg(field, pattern)
                         : QStringLiteral("%1 Like '*%2*'").arg(field, pattern);
}

QString PhoneNoDirectory::dialDigits(const QString &phoneNo)
{
    QString digits;
    for (const QChar c : phoneNo) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}
