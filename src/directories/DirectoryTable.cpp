#include "directories/DirectoryTable.h"

#include <QStringList>

const DirectoryField *DirectoryTable::field(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? nullptr : &fields[i];
}

int DirectoryTable::indexOf(const QString &name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString DirectoryTable::valueFieldList() const
{
    QStringList names;
    for (qsizetype i = 1; i < fields.size(); ++i)
        names << fields[i].name;
    return names.join(QStringLiteral(", "));
}

QString DirectoryTable::insertSql() const
{
    QStringList marks(fields.size() - 1, QStringLiteral("?"));
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(name, valueFieldList(), marks.join(QStringLiteral(", ")));
}

QString DirectoryTable::updateSql(const QString &where) const
{
    QStringList sets;
    for (qsizetype i = 1; i < fields.size(); ++i)
        sets << fields[i].name + QStringLiteral(" = ?");
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?").arg(name, sets.join(QStringLiteral(", ")), where);
}

QString DirectoryTable::deleteSql(const QString &where) const
{
    return QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(name, where);
}

namespace {
DirectoryField text(const char *name, int size)
{
    return {QString::fromLatin1(name), DirectoryField::Text, size};
}
DirectoryField number(const char *name, DirectoryField::Type type)
{
    return {QString::fromLatin1(name), type, type == DirectoryField::Long ? 4 : type == DirectoryField::Integer ? 2 : 1};
}
} // namespace

const DirectoryTable &DirectoryTable::extension()
{
    static const DirectoryTable table{
        QStringLiteral("Extension"),
        {number("InternalIndex", DirectoryField::Long), number("Port", DirectoryField::Long),
         number("StaNumber", DirectoryField::Long), text("StaName", 16), text("FirstName", 32),
         text("MiddleName", 32), text("LastName", 32), text("HomeNo", 48), text("Cellular", 48), text("Pager", 48),
         text("Mail", 255), text("FileName", 255), text("Inform1", 32), text("Inform2", 32), text("Inform3", 32),
         text("Memo", 255)},
        QStringLiteral("Port")};
    return table;
}

const DirectoryTable &DirectoryTable::trunk()
{
    static const DirectoryTable table{
        QStringLiteral("Trunk"),
        {number("InternalIndex", DirectoryField::Long), number("LineNo", DirectoryField::Integer), text("TrkName", 16),
         text("AccessCode", 5), text("RetrieveCode", 5), text("TelNo", 48), text("FullName", 64), text("Inform1", 64),
         text("Memo", 255)},
        QStringLiteral("LineNo")};
    return table;
}

const DirectoryTable &DirectoryTable::speedBin()
{
    static const DirectoryTable table{
        QStringLiteral("SpeedBin"),
        {number("InternalIndex", DirectoryField::Long), number("SpdNo", DirectoryField::Integer), text("Name", 16),
         text("Number", 24), text("COType", 5), number("CONo", DirectoryField::Byte), text("Memo", 255)},
        QStringLiteral("SpdNo")};
    return table;
}

const DirectoryTable &DirectoryTable::phoneNo()
{
    static const DirectoryTable table{
        QStringLiteral("PhoneNo"),
        {number("InternalIndex", DirectoryField::Long), text("Name", 64), text("PhoneNo", 64), text("Memo", 255)},
        QStringLiteral("Name")};
    return table;
}
