#pragma once

#include "link/CLinkPort.h"
#include "link/LinkTransport.h"
#include "transport/PbxConnection.h"

// A connection that hands the link one transport of the test (a MiniPbx, a
// FakeTransport) as the serial port or the LAN connection, opening at once.
class FakeConnection : public PbxConnection
{
public:
    explicit FakeConnection(CLinkPort &link)
        : m_link(link)
    {
    }
    ~FakeConnection() override
    {
        close(Serial);
        close(Lan);
    }

    void setTransport(LinkTransport *transport) { m_transport = transport; }

    void open(int type) override
    {
        const int t = validType(type);
        if (t == Lan)
            m_link.setLanConnection(m_transport);
        else
            m_link.setSerialPort(m_transport);
        m_open[t] = true;
        ++opens[t];
        Q_EMIT opened(m_transport && m_transport->isOpen());
    }
    void close(int type) override
    {
        const int t = validType(type);
        if (!m_open[t])
            return;
        m_open[t] = false;
        ++closes[t];
        if (t == Lan)
            m_link.setLanConnection(nullptr);
        else
            m_link.setSerialPort(nullptr);
    }
    bool isOpen(int type) const override { return m_open[validType(type)] && m_transport && m_transport->isOpen(); }
    bool isConnecting() const override { return false; }

    int opens[2] = {0, 0};
    int closes[2] = {0, 0};

private:
    CLinkPort &m_link;
    LinkTransport *m_transport = nullptr;
    bool m_open[2] = {false, false};
};
