#pragma once

#include "callstate/CoDirectoryWriter.h"
#include "directories/KeyedDirectory.h"

// Line number, CO name, access code, retrieve code, telephone number, full
// name, Inform1, memo.
using CoFields = QStringList; // always 8 texts
constexpr int CoFieldCount = 8;

// The CO line directory: TrkDB.mdb, table Trunk, one row per line.
class CoDirectory : public KeyedDirectory, public CoDirectoryWriter
{
    Q_OBJECT
public:
    explicit CoDirectory(QSqlDatabase db, QObject *parent = nullptr);

    static CoFields ReadRecord(const DirectoryRecordset &set) { return readTexts(set, 1); }
    bool WriteRecord(const CoFields &fields, Origin origin = Origin::Operator) { return writeTexts(fields, origin); }
    // Deletes every row above the PBX's count of CO lines.
    bool TrimToLineCount(int count) { return trimAbove(count); }
    std::optional<CoFields> find(int line) { return findKey(line); }

    // Write-through of the PBX's CO name and codes, keeping the operator's fields.
    bool writeCoLine(quint16 line, const std::optional<QString> &name, const std::optional<QString> &accessCode,
                     const std::optional<QString> &retrieveCode) override;
};
