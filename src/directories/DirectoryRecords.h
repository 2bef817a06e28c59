#pragma once

#include <QList>
#include <QString>

class DirectoryRecordset;

// The speed-bin and phone-number records as the export, the import and the
// listings see them, read from a recordset in its order.
class DirectoryRecords
{
public:
    struct SpeedBin
    {
        int spdNo = 0;
        QString name;
        QString number;
        QString coType; // "None", "Line" or "Group"
        int coNo = 0;   // as stored: one lower than shown for "Line"
        QString memo;
    };
    struct PhoneNo
    {
        QString name;
        QString phoneNo;
        QString memo;
    };

    // Every record from the first; the recordset must be open.
    static QList<SpeedBin> speedBins(DirectoryRecordset &set);
    static QList<PhoneNo> phoneNumbers(DirectoryRecordset &set);

    // The CO number as the operator sees it: the stored number plus 1 for a
    // "Line", empty when that is 0 (as a byte) or the type is "None".
    static QString coNumberText(const QString &coType, int coNo);
};
