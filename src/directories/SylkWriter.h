#pragma once

#include "directories/DirectoryRecords.h"

#include <QByteArray>

// The SYLK files of the export: an identification, the bounds, the column
// widths, a heading row and one row per record, CR LF after every line but the
// closing "E". Texts are written as stored (UTF-8); only the memo is cleaned.
class SylkWriter
{
public:
    static QByteArray speedBins(const QList<DirectoryRecords::SpeedBin> &records);
    static QByteArray phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records);

    // Line breaks become spaces and ";" is doubled, so that a memo stays one
    // cell of one line.
    static QString cleanMemo(const QString &memo);
};
