#include "LinkConnection.h"

#include "transport/CLanSocket.h"
#include "link/CLinkPort.h"
#include "transport/SerialSettings.h"
#include "base/OperatorUi.h"

LinkConnection::LinkConnection(CLinkPort &link, OperatorUi *ui, QObject *parent)
    : PbxConnection(parent)
    , m_link(link)
    , m_ui(ui)
    , m_serial(link)
    , m_lanPort(CLanSocket::ServerPort)
    , m_lanTimeoutMs(CLanSocket::ConnectTimeoutMs)
{
    m_link.setSerialPort(&m_serial);
    ensureLanSocket();
    m_link.setTiming(SerialSettings::load().baudRate());
}

LinkConnection::~LinkConnection()
{
    // Closed before they leave the link: a block read in between would come
    // from a source the link no longer knows.
    if (m_lan)
        m_lan->close();
    m_serial.close();
    m_link.setSerialPort(nullptr);
    m_link.setLanConnection(nullptr);
}

CLanSocket &LinkConnection::ensureLanSocket()
{
    if (!m_lan) {
        m_lan = new CLanSocket(m_link, m_ui, this);
        m_lan->setServerPort(m_lanPort);
        m_lan->setConnectTimeout(m_lanTimeoutMs);
        connect(m_lan, &CLanSocket::connected, this, [this] { Q_EMIT opened(true); });
        connect(m_lan, &CLanSocket::connectFailed, this, &LinkConnection::lanFailed);
        connect(m_lan, &CLanSocket::disconnected, this, &LinkConnection::lanDisconnected);
        m_link.setLanConnection(m_lan);
    }
    return *m_lan;
}

void LinkConnection::open(int type)
{
    if (validType(type) == Serial) {
        const bool ok = m_serial.open();
        if (!ok && m_ui)
            m_ui->showMessage(QStringLiteral("#:comport_connect_fail"), QStringLiteral("#:comport_info"),
                              MessageStyle::Exclamation);
        Q_EMIT opened(ok);
        return;
    }
    CLanSocket &lan = ensureLanSocket();
    if (lan.isConnecting())
        return;
    if (!lan.startConnect())
        lanFailed();
}

void LinkConnection::lanFailed()
{
    if (m_ui)
        m_ui->showMessage(QStringLiteral("#:lanport_connect_fail"), QStringLiteral("#:lanport_info"),
                          MessageStyle::Exclamation);
    Q_EMIT opened(false);
}

void LinkConnection::close(int type)
{
    if (validType(type) == Serial) {
        m_serial.close();
        return;
    }
    if (!m_lan)
        return;
    CLanSocket *lan = m_lan;
    m_lan = nullptr;
    m_link.setLanConnection(nullptr);
    lan->disconnect(this);
    lan->close();
    // The close may come from inside the dispatch of a block this socket read.
    lan->deleteLater();
}

bool LinkConnection::isOpen(int type) const
{
    if (validType(type) == Serial)
        return m_serial.isOpen();
    return m_lan && m_lan->isOpen();
}

bool LinkConnection::isConnecting() const
{
    return m_lan && m_lan->isConnecting();
}

void LinkConnection::setLanServerPort(quint16 port)
{
    m_lanPort = port;
    if (m_lan)
        m_lan->setServerPort(port);
}

void LinkConnection::setLanConnectTimeout(int ms)
{
    m_lanTimeoutMs = ms;
    if (m_lan)
        m_lan->setConnectTimeout(ms);
}
