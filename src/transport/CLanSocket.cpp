#include "CLanSocket.h"

#include "link/CLinkPort.h"
#include "base/OperatorUi.h"
#include "base/SettingsSection.h"

#include <QTcpSocket>
#include <QTimer>

#if defined(Q_OS_LINUX)
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#elif defined(Q_OS_WIN)
#include <winsock2.h>
#include <mstcpip.h>
#endif

namespace {

QString historyName(int i)
{
    return QStringLiteral("History %1").arg(i);
}

const QString kTitle = QStringLiteral("Zarto");

// A PBX whose stack keeps Nagle's algorithm on holds each small segment of a
// reply until the one before is acknowledged; a delayed acknowledgement would
// add about 40 ms to every second segment. Linux leaves the quick mode again
// by itself, so this is called after every read; Windows keeps an
// acknowledgement frequency once set.
void acknowledgeAtOnce(const QTcpSocket &socket)
{
    const qintptr fd = socket.socketDescriptor();
    if (fd < 0)
        return;
#if defined(Q_OS_LINUX)
    const int one = 1;
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_QUICKACK, &one, sizeof one);
#elif defined(Q_OS_WIN) && defined(SIO_TCP_SET_ACK_FREQUENCY)
    DWORD frequency = 1;
    DWORD returned = 0;
    WSAIoctl(SOCKET(fd), SIO_TCP_SET_ACK_FREQUENCY, &frequency, sizeof frequency, nullptr, 0, &returned, nullptr,
             nullptr);
#endif
}

} // namespace

CLanSocket::CLanSocket(CLinkPort &link, OperatorUi *ui, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_ui(ui)
    , m_connectTimer(new QTimer(this))
{
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, &CLanSocket::onConnectTimeout);
}

CLanSocket::~CLanSocket()
{
    dropSocket();
}

QString CLanSocket::sectionName()
{
    return QStringLiteral("Server");
}

QStringList CLanSocket::loadHistory()
{
    const CSettingsSection section(sectionName());
    QStringList out;
    for (int i = 0; i < HistorySize; ++i)
        out.append(section.readString(historyName(i)));
    return out;
}

bool CLanSocket::saveHistory(const QStringList &history)
{
    CSettingsSection section(sectionName());
    bool ok = true;
    for (int i = 0; i < HistorySize; ++i)
        ok = section.writeString(historyName(i), i < history.size() ? history.at(i) : QString()) && ok;
    return ok;
}

QStringList CLanSocket::moveToTop(QStringList history, const QString &address)
{
    history.removeAll(address);
    history.prepend(address);
    if (history.size() > HistorySize)
        history.resize(HistorySize);
    return history;
}

QString CLanSocket::serverAddress()
{
    return CSettingsSection(sectionName()).readString(historyName(0));
}

bool CLanSocket::startConnect()
{
    const QString address = serverAddress().trimmed();
    if (address.isEmpty()) {
        if (m_ui)
            m_ui->showFixedMessage(QStringLiteral("IPAddress is not exist!!"), kTitle, MessageStyle::Exclamation);
        return false;
    }
    m_buffer.resize(ReceiveBlock);
    if (m_connected) {
        if (m_ui)
            m_ui->showFixedMessage(QStringLiteral("Lan's already connected"), kTitle, MessageStyle::Exclamation);
        return false;
    }
    if (m_connecting)
        return false;

    dropSocket();
    m_socket = m_factory ? m_factory() : new QTcpSocket;
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::connected, this, &CLanSocket::onConnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &CLanSocket::onSocketError);
    connect(m_socket, &QTcpSocket::readyRead, this, &CLanSocket::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &CLanSocket::onDisconnected);
    m_connecting = true;
    m_connectTimer->start(m_connectTimeoutMs);
    m_socket->connectToHost(address, m_port);
    return true;
}

void CLanSocket::close()
{
    m_connected = false;
    m_connecting = false;
    m_connectTimer->stop();
    dropSocket();
}

bool CLanSocket::sendFrame(const QByteArray &frame)
{
    if (!m_connected || !m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    return m_socket->write(frame) == frame.size();
}

void CLanSocket::onConnected()
{
    if (!m_connecting)
        return;
    m_connecting = false;
    m_connectTimer->stop();
    m_connected = true;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    acknowledgeAtOnce(*m_socket);
    Q_EMIT connected();
}

void CLanSocket::onSocketError()
{
    // Errors of an established connection end in disconnected().
    if (m_connecting && m_socket)
        failConnect(int(m_socket->error()));
}

void CLanSocket::onConnectTimeout()
{
    if (m_connecting)
        failConnect(int(QAbstractSocket::SocketTimeoutError));
}

void CLanSocket::failConnect(int errorCode)
{
    m_connecting = false;
    m_connectTimer->stop();
    dropSocket();
    // Reported from the event loop: the operator's box must not open inside
    // the socket's own signal.
    QMetaObject::invokeMethod(
        this,
        [this, errorCode] {
            if (m_ui)
                m_ui->showFixedMessage(QString::asprintf("Connection is failed Error Code is %d", errorCode), kTitle,
                                       MessageStyle::Exclamation);
            Q_EMIT connectFailed(errorCode);
        },
        Qt::QueuedConnection);
}

void CLanSocket::onReadyRead()
{
    // The dispatch of a block may close this connection (m_socket is then gone).
    while (m_socket && m_socket->bytesAvailable() > 0) {
        const qint64 n = m_socket->read(m_buffer.data(), qMin<qint64>(ReceiveBlock, m_buffer.size()));
        if (n <= 0)
            return;
#if defined(Q_OS_LINUX)
        acknowledgeAtOnce(*m_socket);
#endif
        m_lastCount = int(n);
        m_link.receivedBytes(this, m_buffer.constData(), m_lastCount);
    }
}

void CLanSocket::onDisconnected()
{
    if (!m_connected)
        return;
    // Bytes that arrived with the close are still the PBX's.
    onReadyRead();
    if (!m_connected)
        return;
    m_connected = false;
    Q_EMIT disconnected();
}

void CLanSocket::dropSocket()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    // This may run inside one of the socket's own signals.
    socket->deleteLater();
}
