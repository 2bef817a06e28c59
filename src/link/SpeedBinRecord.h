#pragma once

#include <QByteArray>
#include <QString>

// Digit nibble codes: '1'-'9' 1-9, '0' 0xA, '*' 0xB, '#' 0xC, 'P' 0xD, 'S' 0xE, 'F' 0xF; 0 none.
namespace DigitCode {
quint8 fromChar(QChar c);
// The character of a code, or QChar() for 0 and values above 15.
QChar toChar(quint8 code);
// Two codes a byte, high nibble first; an odd count ends with a low nibble of 0.
QByteArray pack(const QString &digits);
} // namespace DigitCode

// A speed-bin record as carried by SPDI_Write and SPDI_Rep.
struct SpeedBinRecord
{
    enum CoType : quint8 { None = 0, Line = 1, Group = 2 };

    quint16 bin = 0; // as sent on the wire
    quint8 coType = None;
    quint8 coNumber = 0;
    QString number; // dialled digits
    QString name;

    // 0A 02, n, bin, CO type, CO number, packed digits, 00, name.
    QByteArray encode() const;
    // Decodes a reply whose event starts at offset and occupies size bytes
    // (size >= 7 and inside the payload; the caller checks).
    static SpeedBinRecord decode(const QByteArray &payload, int offset, int size);
    // "L%02d", "G%02d" or empty.
    QString coTypeTrace() const;
};
