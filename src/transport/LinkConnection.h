#pragma once

#include "transport/CSerialPort.h"
#include "transport/PbxConnection.h"

class CLanSocket;
class CLinkPort;
class OperatorUi;

// The program's connection: the serial port and the LAN socket, opening and
// closing them, and their registration with the link. Lives on the
// user-interface thread.
class LinkConnection : public PbxConnection
{
    Q_OBJECT
public:
    // Registers the serial port and a first LAN socket with the link and runs
    // the link's timing for the stored baud rate.
    LinkConnection(CLinkPort &link, OperatorUi *ui, QObject *parent = nullptr);
    ~LinkConnection() override;

    // Serial: opens at once and emits opened() before returning. LAN: creates
    // the socket when there is none and emits opened() when the connect has
    // ended (within the connect time-out). A failure is shown to the operator.
    // While a LAN connect is under way a second open() does nothing.
    void open(int type) override;
    // Serial: closes the port. LAN: drops the connection and destroys the
    // socket object (a later open creates a new one); a pending connect ends
    // without opened().
    void close(int type) override;
    bool isOpen(int type) const override;
    bool isConnecting() const override;

    CSerialPort &serialPort() { return m_serial; }
    CLanSocket *lanSocket() const { return m_lan; }
    // The LAN socket, created when there is none.
    CLanSocket &ensureLanSocket();

    // Applied to every LAN socket created from now on (and the current one).
    void setLanServerPort(quint16 port);
    quint16 lanServerPort() const { return m_lanPort; }
    void setLanConnectTimeout(int ms);
    void setSerialDeviceFactory(SerialDeviceFactory factory) { m_serial.setDeviceFactory(std::move(factory)); }

private:
    void lanFailed();

    CLinkPort &m_link;
    OperatorUi *m_ui = nullptr;
    CSerialPort m_serial;
    CLanSocket *m_lan = nullptr;
    quint16 m_lanPort;
    int m_lanTimeoutMs;
};
