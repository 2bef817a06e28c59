#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringList>

// The stored settings of the serial port, section "COM(Varo) port". The choices
// are kept as their display texts; a stored text that matches no choice reads
// as the default, so the dialog and the device always see a listed choice.
struct SerialSettings
{
    static QString sectionName();

    QString port = QStringLiteral("COM1");    // "COM1".."COM4" or a device path beginning with "/"
    QString baud = QStringLiteral("9600");    // one of baudChoices()
    QString parity = QStringLiteral("None");  // one of parityChoices()
    QString stopBits = QStringLiteral("1");   // one of stopBitsChoices()
    bool dtrDsr = false;
    bool rtsCts = false;
    bool xonXoff = false;

    // Display texts in the order the dialog offers them.
    static const QStringList &portChoices();
    static const QStringList &baudChoices();
    static const QStringList &parityChoices();
    static const QStringList &stopBitsChoices();

    static bool isValidPort(const QString &text);

    static SerialSettings load();
    // Writes every value; false when the store did not take them.
    bool save() const;

    int baudRate() const;
    QSerialPort::Parity parityValue() const;
    QSerialPort::StopBits stopBitsValue() const;
    // "COMn" opens /dev/ttyS(n-1); a path is opened as it stands.
    QString deviceName() const;

    friend bool operator==(const SerialSettings &, const SerialSettings &) = default;
};
