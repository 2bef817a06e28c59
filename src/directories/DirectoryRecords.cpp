#include "directories/DirectoryRecords.h"

#include "directories/DirectoryRecordset.h"

QList<DirectoryRecords::SpeedBin> DirectoryRecords::speedBins(DirectoryRecordset &set)
{
    QList<SpeedBin> out;
    const DirectoryTable &t = set.table();
    const int spdNo = t.indexOf(QStringLiteral("SpdNo")), name = t.indexOf(QStringLiteral("Name")),
              number = t.indexOf(QStringLiteral("Number")), coType = t.indexOf(QStringLiteral("COType")),
              coNo = t.indexOf(QStringLiteral("CONo")), memo = t.indexOf(QStringLiteral("Memo"));
    out.reserve(set.count());
    for (bool ok = set.moveFirst(); ok && !set.isEof(); ok = set.moveNext()) {
        SpeedBin r;
        r.spdNo = int(set.value(spdNo).toLongLong());
        r.name = set.value(name).toString();
        r.number = set.value(number).toString();
        r.coType = set.value(coType).toString();
        r.coNo = int(set.value(coNo).toLongLong());
        r.memo = set.value(memo).toString();
        out.append(r);
    }
    return out;
}

QList<DirectoryRecords::PhoneNo> DirectoryRecords::phoneNumbers(DirectoryRecordset &set)
{
    QList<PhoneNo> out;
    const DirectoryTable &t = set.table();
    const int name = t.indexOf(QStringLiteral("Name")), phoneNo = t.indexOf(QStringLiteral("PhoneNo")),
              memo = t.indexOf(QStringLiteral("Memo"));
    out.reserve(set.count());
    for (bool ok = set.moveFirst(); ok && !set.isEof(); ok = set.moveNext()) {
        PhoneNo r;
        r.name = set.value(name).toString();
        r.phoneNo = set.value(phoneNo).toString();
        r.memo = set.value(memo).toString();
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
