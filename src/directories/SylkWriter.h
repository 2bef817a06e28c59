#pragma once

#include "directories/DirectoryRecords.h"

#include <QByteArray>

// The SYLK files of the export: an identification, the bounds, the column
// widths, a heading row and one row per record, CR LF after every line but the
// closing "E". Texts are written in UTF-8, every one cleaned (cleanMemo);
// quotes stay as they are, which spreadsheet programs read back unchanged.
class SylkWriter
{
public:
    static QByteArray speedBins(const QList<DirectoryRecords::SpeedBin> &records);
    static QByteArray phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records);

    // Line breaks become spaces and ";" is doubled, so that a text stays one
    // cell of one line.
    static QString cleanMemo(const QString &memo);
};
