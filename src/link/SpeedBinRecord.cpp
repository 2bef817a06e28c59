#include "SpeedBinRecord.h"

namespace DigitCode {

quint8 fromChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '1' && u <= '9')
        return quint8(u - '0');
    switch (u) {
    case '0':
        return 0xA;
    case '*':
        return 0xB;
    case '#':
        return 0xC;
    case 'P':
        return 0xD;
    case 'S':
        return 0xE;
    case 'F':
        return 0xF;
    default:
        return 0;
    }
}

QChar toChar(quint8 code)
{
    static const char chars[] = "\0" "123456789" "0*#PSF";
    if (code == 0 || code > 15)
        return QChar();
    return QLatin1Char(chars[code]);
}

QByteArray pack(const QString &digits)
{
    QByteArray out;
    out.reserve((digits.size() + 1) / 2);
    for (int i = 0; i < digits.size(); i += 2) {
        const quint8 hi = fromChar(digits.at(i));
        const quint8 lo = i + 1 < digits.size() ? fromChar(digits.at(i + 1)) : 0;
        out.append(char((hi << 4) | lo));
    }
    return out;
}

} // namespace DigitCode

QByteArray SpeedBinRecord::encode() const
{
    QByteArray out;
    out.append(char(0x0A));
    out.append(char(0x02));
    out.append(char(4)); // placeholder, replaced by the real length below
    out.append(char(bin >> 8));
    out.append(char(bin & 0xFF));
    out.append(char(coType));
    out.append(char(coNumber));
    out.append(DigitCode::pack(number));
    out.append(char(0));
    out.append(name.toLatin1());
    out[2] = char(quint8(out.size() - 3));
    return out;
}

SpeedBinRecord SpeedBinRecord::decode(const QByteArray &payload, int offset, int size)
{
    SpeedBinRecord r;
    const int end = qMin<int>(offset + size, int(payload.size()));
    auto at = [&](int i) { return quint8(payload.at(i)); };
    if (offset + 7 > end)
        return r;
    r.bin = quint16((at(offset + 3) << 8) | at(offset + 4));
    r.coType = at(offset + 5);
    r.coNumber = at(offset + 6);
    enum { Digits, Waiting, Name } mode = Digits;
    QByteArray name;
    for (int i = offset + 7; i < end; ++i) {
        const quint8 b = at(i);
        if (mode == Digits) {
            const quint8 hi = b >> 4;
            const quint8 lo = b & 0x0F;
            if (hi && lo) {
                r.number += DigitCode::toChar(hi);
                r.number += DigitCode::toChar(lo);
            } else if (hi) {
                r.number += DigitCode::toChar(hi);
                mode = Waiting;
            } else {
                mode = b == 0 ? Name : Waiting;
            }
        } else if (mode == Waiting) {
            if (b == 0)
                mode = Name;
        } else {
            if (b == 0)
                break;
            name.append(char(b));
        }
    }
    r.name = QString::fromLatin1(name);
    return r;
}

QString SpeedBinRecord::coTypeTrace() const
{
    if (coType == Line)
        return QString::asprintf("L%02d", coNumber);
    if (coType == Group)
        return QString::asprintf("G%02d", coNumber);
    return QString();
}
