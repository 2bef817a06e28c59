#include "directories/SylkWriter.h"

namespace {
// Every text cell is cleaned like the memo: a name or number with a ";" or a
// line break would otherwise end its cell early or break the file's lines.
QByteArray cell(int x, int y, const QString &text)
{
    return "C;X" + QByteArray::number(x) + ";Y" + QByteArray::number(y) + ";K\""
           + SylkWriter::cleanMemo(text).toUtf8() + "\"\r\n";
}

QByteArray header(qsizetype records, int columns)
{
    return "ID;ZARTO\r\nB;Y" + QByteArray::number(records + 1) + ";X" + QByteArray::number(columns) + "\r\n";
}
} // namespace

QString SylkWriter::cleanMemo(const QString &memo)
{
    QString out = memo;
    out.replace(QLatin1Char('\r'), QLatin1Char(' '));
    out.replace(QLatin1Char('\n'), QLatin1Char(' '));
    out.replace(QLatin1String(";"), QLatin1String(";;"));
    return out;
}

QByteArray SylkWriter::speedBins(const QList<DirectoryRecords::SpeedBin> &records)
{
    QByteArray out = header(records.size(), 6);
    out += "F;W1 1 7\r\nF;W2 2 19\r\nF;W3 3 27\r\nF;W4 4 8\r\nF;W5 5 5\r\nF;W6 6 14\r\n";
    out += "C;X1;Y1;K\"SpdNo\"\r\nC;X2;Y1;K\"Name\"\r\nC;X3;Y1;K\"Number\"\r\n"
           "C;X4;Y1;K\"COType\"\r\nC;X5;Y1;K\"CONo\"\r\nC;X6;Y1;K\"Memo\"\r\n";
    int y = 2;
    for (const auto &r : records) {
        out += cell(1, y, QString::number(r.spdNo));
        out += cell(2, y, r.name);
        out += cell(3, y, r.number);
        out += cell(4, y, r.coType);
        out += cell(5, y, DirectoryRecords::coNumberText(r.coType, r.coNo));
        out += cell(6, y, r.memo);
        ++y;
    }
    out += "E";
    return out;
}

QByteArray SylkWriter::phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records)
{
    QByteArray out = header(records.size(), 3);
    out += "F;W1 1 25\r\nF;W2 2 25\r\nF;W3 3 25\r\n";
    out += "C;X1;Y1;K\"Name\"\r\nC;X2;Y1;K\"PhoneNo\"\r\nC;X3;Y1;K\"Memo\"\r\n";
    int y = 2;
    for (const auto &r : records) {
        out += cell(1, y, r.name);
        out += cell(2, y, r.phoneNo);
        out += cell(3, y, r.memo);
        ++y;
    }
    out += "E";
    return out;
}
