#pragma once

#include "transport/CSerialPort.h"

#include <QObject>

class CLanSocket;
class CLinkPort;
class OperatorUi;

// The console's view of the two transports: which one is configured, opening
// and closing them, and their registration with the link. Lives on the
// user-interface thread.
class LinkConnection : public QObject
{
    Q_OBJECT
public:
    enum Type : int { Serial = 0, Lan = 1 };

    // Registers the serial port and a first LAN socket with the link and runs
    // the link's timing for the stored baud rate.
    LinkConnection(CLinkPort &link, OperatorUi *ui, QObject *parent = nullptr);
    ~LinkConnection() override;

    // Section "SavedConnectionType", value "ConnectType", default 0.
    static int storedType();
    static bool storeType(int type);
    // The console's current connection type (read from the store at creation).
    int connectionType() const { return m_type; }
    // Makes type current and stores it.
    bool setConnectionType(int type);

    // Serial: opens at once and emits opened() before returning. LAN: creates
    // the socket when there is none and emits opened() when the connect has
    // ended (within the connect time-out). A failure is shown to the operator.
    // While a LAN connect is under way a second open() does nothing.
    void open(int type);
    // Serial: closes the port. LAN: drops the connection and destroys the
    // socket object (a later open creates a new one); a pending connect ends
    // without opened().
    void close(int type);
    bool isOpen(int type) const;
    bool isConnecting() const;

    CSerialPort &serialPort() { return m_serial; }
    CLanSocket *lanSocket() const { return m_lan; }
    // The LAN socket, created when there is none.
    CLanSocket &ensureLanSocket();

    // Applied to every LAN socket created from now on (and the current one).
    void setLanServerPort(quint16 port);
    quint16 lanServerPort() const { return m_lanPort; }
    void setLanConnectTimeout(int ms);
    void setSerialDeviceFactory(SerialDeviceFactory factory) { m_serial.setDeviceFactory(std::move(factory)); }

Q_SIGNALS:
    void opened(bool ok);
    // The PBX closed the LAN connection.
    void lanDisconnected();

private:
    void lanFailed();
    static int validType(int type) { return type == Lan ? Lan : Serial; }

    CLinkPort &m_link;
    OperatorUi *m_ui = nullptr;
    CSerialPort m_serial;
    CLanSocket *m_lan = nullptr;
    quint16 m_lanPort;
    int m_lanTimeoutMs;
    int m_type = Serial;
};
