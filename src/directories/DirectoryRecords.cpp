#include "directories/DirectoryRecords.h"

#include "directories/DirectoryRecordset.h"

QList<DirectoryRecords::SpeedBin> DirectoryRecords::speedBins(DirectoryRecordset &set)
{
    QList<SpeedBin> out;
    for (bool ok = set.moveFirst(); ok && !set.isEof(); ok = set.moveNext()) {
        SpeedBin r;
        r.spdNo = int(set.value(QStringLiteral("SpdNo")).toLongLong());
        r.name = set.value(QStringLiteral("Name")).toString();
        r.number = set.value(QStringLiteral("Number")).toString();
        r.coType = set.value(QStringLiteral("COType")).toString();
        r.coNo = int(set.value(QStringLiteral("CONo")).toLongLong());
        r.memo = set.value(QStringLiteral("Memo")).toString();
        out.append(r);
    }
    return out;
}

QList<DirectoryRecords::PhoneNo> DirectoryRecords::phoneNumbers(DirectoryRecordset &set)
{
    QList<PhoneNo> out;
    for (bool ok = set.moveFirst(); ok && !set.isEof(); ok = set.moveNext()) {
        PhoneNo r;
        r.name = set.value(QStringLiteral("Name")).toString();
        r.phoneNo = set.value(QStringLiteral("PhoneNo")).toString();
        r.memo = set.value(QStringLiteral("Memo")).toString();
        out.append(r);
    }
    return out;
}

QString DirectoryRecords::coNumberText(const QString &coType, int coNo)
{
    const int shown = coNo + (coType == QLatin1String("Line") ? 1 : 0);
    if (quint8(shown) == 0 || coType == QLatin1String("None"))
        return {};
    return QString::number(shown);
}
