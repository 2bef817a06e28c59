#include "Transports.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSocketNotifier>
#include <QTcpSocket>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace pbxsim {

Connection::~Connection() = default;

TcpConnection::TcpConnection(QTcpSocket *socket, bool lowDelay, QObject *parent)
    : Connection(parent)
    , m_socket(socket)
{
    m_socket->setParent(this);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, lowDelay ? 1 : 0);
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { Q_EMIT received(m_socket->readAll()); });
    connect(m_socket, &QTcpSocket::disconnected, this, &Connection::closed);
}

TcpConnection::~TcpConnection() = default;

void TcpConnection::write(const QByteArray &bytes)
{
    // The socket buffers what it is given and writes it on the next turn of
    // the event loop, so the frames of one turn leave together.
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->write(bytes);
}

void TcpConnection::close()
{
    m_socket->disconnectFromHost();
}

QString TcpConnection::describe() const
{
    return QStringLiteral("%1:%2").arg(m_socket->peerAddress().toString()).arg(m_socket->peerPort());
}

PtyConnection::PtyConnection(QObject *parent)
    : Connection(parent)
{
}

PtyConnection::~PtyConnection()
{
    close();
}

bool PtyConnection::open(const QString &link, QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
    m_slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    if (m_slave >= 0) {
        termios t{};
        if (::tcgetattr(m_slave, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_slave, TCSANOW, &t);
        }
    }
    const QByteArray linkPath = link.toLocal8Bit();
    const QFileInfo existing(link);
    if (existing.isSymLink()) {
        ::unlink(linkPath.constData());
    } else if (existing.exists()) {
        *error = QStringLiteral("%1 exists and is not a link").arg(link);
        close();
        return false;
    }
    if (::symlink(m_slavePath.toLocal8Bit().constData(), linkPath.constData()) != 0) {
        *error = QStringLiteral("cannot link %1: %2").arg(link, QString::fromLocal8Bit(std::strerror(errno)));
        close();
        return false;
    }
    m_link = link;
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyConnection::readable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyConnection::writable);
    return true;
}

void PtyConnection::readable()
{
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n > 0)
        Q_EMIT received(QByteArray(buffer, int(n)));
}

void PtyConnection::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_pending.append(bytes);
    writable();
}

void PtyConnection::writable()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n <= 0)
            break;
        m_pending.remove(0, int(n));
    }
    // Bytes the console does not read are kept only up to a bound.
    if (m_pending.size() > 1 << 20)
        m_pending.clear();
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(!m_pending.isEmpty());
}

void PtyConnection::close()
{
    delete m_readNotifier;
    m_readNotifier = nullptr;
    delete m_writeNotifier;
    m_writeNotifier = nullptr;
    if (!m_link.isEmpty()) {
        if (QFileInfo(m_link).symLinkTarget() == m_slavePath || QFileInfo(m_link).isSymLink())
            ::unlink(m_link.toLocal8Bit().constData());
        m_link.clear();
    }
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

QString PtyConnection::describe() const
{
    return QStringLiteral("pty %1 -> %2").arg(m_link, m_slavePath);
}

SerialConnection::SerialConnection(QObject *parent)
    : Connection(parent)
    , m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, [this] { Q_EMIT received(m_port->readAll()); });
}

SerialConnection::~SerialConnection() = default;

bool SerialConnection::open(const QString &device, int baud, QString *error)
{
    m_port->setPortName(device);
    m_port->setBaudRate(baud > 0 ? baud : 9600);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open %1: %2").arg(device, m_port->errorString());
        return false;
    }
    return true;
}

void SerialConnection::write(const QByteArray &bytes)
{
    if (m_port->isOpen())
        m_port->write(bytes);
}

void SerialConnection::close()
{
    m_port->close();
}

QString SerialConnection::describe() const
{
    return QStringLiteral("serial %1").arg(m_port->portName());
}

} // namespace pbxsim
