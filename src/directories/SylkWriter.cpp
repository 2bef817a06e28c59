#include "directories/SylkWriter.h"

#include <charconv>

namespace {
void appendNumber(QByteArray &out, qsizetype value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, qint64(value)).ptr;
    out.append(digits, end - digits);
}

bool needsCleaning(const QString &text)
{
    for (QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char(';'))
            return true;
    }
    return false;
}

// Every text cell is cleaned like the memo: a name or number with a ";" or a
// line break would otherwise end its cell early or break the file's lines.
void appendCell(QByteArray &out, int x, qsizetype y, const QString &text)
{
    out.append("C;X", 3);
    appendNumber(out, x);
    out.append(";Y", 2);
    appendNumber(out, y);
    out.append(";K\"", 3);
    out.append((needsCleaning(text) ? SylkWriter::cleanMemo(text) : text).toUtf8());
    out.append("\"\r\n", 3);
}

QByteArray header(qsizetype records, int columns)
{
    QByteArray out;
    // Most records take well under this; the array grows when they do not.
    out.reserve(256 + records * columns * 24);
    out.append("ID;ZARTO\r\nB;Y");
    appendNumber(out, records + 1);
    out.append(";X");
    appendNumber(out, columns);
    out.append("\r\n");
    return out;
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
    qsizetype y = 2;
    for (const auto &r : records) {
        appendCell(out, 1, y, QString::number(r.spdNo));
        appendCell(out, 2, y, r.name);
        appendCell(out, 3, y, r.number);
        appendCell(out, 4, y, r.coType);
        appendCell(out, 5, y, DirectoryRecords::coNumberText(r.coType, r.coNo));
        appendCell(out, 6, y, r.memo);
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
    qsizetype y = 2;
    for (const auto &r : records) {
        appendCell(out, 1, y, r.name);
        appendCell(out, 2, y, r.phoneNo);
        appendCell(out, 3, y, r.memo);
        ++y;
    }
    out += "E";
    return out;
}
