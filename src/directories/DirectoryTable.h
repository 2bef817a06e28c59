#pragma once

#include <QList>
#include <QString>

// The layout of the one table of a directory file: its name and its fields in
// order. The first field is always InternalIndex, the row identity.
struct DirectoryField
{
    enum Type { Long, Integer, Byte, Text };
    QString name;
    Type type;
    int size; // bytes of a number, characters of a text
};

struct DirectoryTable
{
    QString name;                 // "Extension", "Trunk", "SpeedBin", "PhoneNo"
    QList<DirectoryField> fields; // InternalIndex first
    // The field every lookup of the directory filters on (Port, LineNo,
    // SpdNo, Name); it gets an index so that a write finds its row at once.
    QString key;

    // The field of that name (case-insensitive), or nullptr.
    const DirectoryField *field(const QString &name) const;
    // The position of the field in fields, or -1.
    int indexOf(const QString &name) const;

    // The statements that write every field but InternalIndex, with one "?"
    // a field in order; update and delete take the value of where last.
    QString insertSql() const;
    QString updateSql(const QString &where) const;
    QString deleteSql(const QString &where) const;
    // The fields but InternalIndex, joined by ", ".
    QString valueFieldList() const;

    // Table "Extension" of ExtDB.mdb, 16 fields.
    static const DirectoryTable &extension();
    // Table "Trunk" of TrkDB.mdb, 9 fields.
    static const DirectoryTable &trunk();
    // Table "SpeedBin" of SpeedDB.mdb, 7 fields.
    static const DirectoryTable &speedBin();
    // Table "PhoneNo" of PhoneDB.mdb, 4 fields.
    static const DirectoryTable &phoneNo();
};
