#include "SerialSettings.h"

#include "base/SettingsSection.h"

namespace {

const QString kPortNumber = QStringLiteral("Port Number");
const QString kBaudRate = QStringLiteral("Baud Rate");
const QString kParity = QStringLiteral("Parity");
const QString kStopBits = QStringLiteral("Stop Bits");
const QString kDtrDsr = QStringLiteral("DTR/DSR");
const QString kRtsCts = QStringLiteral("RTS/CTS");
const QString kXonXoff = QStringLiteral("XON/XOFF");

// Baud values in the order of baudChoices().
constexpr int kBaudValues[] = {110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 128000, 256000};

QString choiceOrDefault(const QString &stored, const QStringList &choices, const QString &def)
{
    return choices.contains(stored) ? stored : def;
}

} // namespace

QString SerialSettings::sectionName()
{
    return QStringLiteral("COM(Varo) port");
}

const QStringList &SerialSettings::portChoices()
{
    static const QStringList list{QStringLiteral("COM1"), QStringLiteral("COM2"), QStringLiteral("COM3"),
                                  QStringLiteral("COM4")};
    return list;
}

const QStringList &SerialSettings::baudChoices()
{
    static const QStringList list{QStringLiteral("110"),   QStringLiteral("300"),   QStringLiteral("600"),
                                  QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                                  QStringLiteral("9600"),  QStringLiteral("14.4k"), QStringLiteral("19.2k"),
                                  QStringLiteral("38.4k"), QStringLiteral("56k"),   QStringLiteral("128k"),
                                  QStringLiteral("256k")};
    return list;
}

const QStringList &SerialSettings::parityChoices()
{
    static const QStringList list{QStringLiteral("None"), QStringLiteral("Even"), QStringLiteral("Odd"),
                                  QStringLiteral("Mark"), QStringLiteral("Space")};
    return list;
}

const QStringList &SerialSettings::stopBitsChoices()
{
    static const QStringList list{QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")};
    return list;
}

bool SerialSettings::isValidPort(const QString &text)
{
    return portChoices().contains(text) || (text.size() > 1 && text.startsWith(QLatin1Char('/')));
}

SerialSettings SerialSettings::load()
{
    const CSettingsSection section(sectionName());
    SerialSettings s;
    const QString port = section.readString(kPortNumber, s.port);
    if (isValidPort(port))
        s.port = port;
    s.baud = choiceOrDefault(section.readString(kBaudRate, s.baud), baudChoices(), s.baud);
    s.parity = choiceOrDefault(section.readString(kParity, s.parity), parityChoices(), s.parity);
    s.stopBits = choiceOrDefault(section.readString(kStopBits, s.stopBits), stopBitsChoices(), s.stopBits);
    s.dtrDsr = section.readInt(kDtrDsr, 0) != 0;
    s.rtsCts = section.readInt(kRtsCts, 0) != 0;
    s.xonXoff = section.readInt(kXonXoff, 0) != 0;
    return s;
}

bool SerialSettings::save() const
{
    CSettingsSection section(sectionName());
    bool ok = section.writeString(kPortNumber, port);
    ok = section.writeString(kBaudRate, baud) && ok;
    ok = section.writeString(kParity, parity) && ok;
    ok = section.writeString(kStopBits, stopBits) && ok;
    ok = section.writeInt(kDtrDsr, dtrDsr ? 1 : 0) && ok;
    ok = section.writeInt(kRtsCts, rtsCts ? 1 : 0) && ok;
    ok = section.writeInt(kXonXoff, xonXoff ? 1 : 0) && ok;
    return ok;
}

int SerialSettings::baudRate() const
{
    const qsizetype i = baudChoices().indexOf(baud);
    return i < 0 ? 9600 : kBaudValues[i];
}

QSerialPort::Parity SerialSettings::parityValue() const
{
    switch (parityChoices().indexOf(parity)) {
    case 1:
        return QSerialPort::EvenParity;
    case 2:
        return QSerialPort::OddParity;
    case 3:
        return QSerialPort::MarkParity;
    case 4:
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits SerialSettings::stopBitsValue() const
{
    switch (stopBitsChoices().indexOf(stopBits)) {
    case 1:
        return QSerialPort::OneAndHalfStop;
    case 2:
        return QSerialPort::TwoStop;
    default:
        return QSerialPort::OneStop;
    }
}

QString SerialSettings::deviceName() const
{
    const qsizetype i = portChoices().indexOf(port);
    if (i >= 0)
        return QStringLiteral("/dev/ttyS%1").arg(i);
    if (isValidPort(port))
        return port;
    return QStringLiteral("/dev/ttyS0");
}
