#pragma once

#include "link/LinkTransport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class CLinkPort;
class OperatorUi;
class QTcpSocket;
class QTimer;

// The LAN transport: a TCP connection to the PBX on the user-interface thread.
// Connecting is asynchronous and ends within the connect time-out in
// connected() or connectFailed().
class CLanSocket : public QObject, public LinkTransport
{
    Q_OBJECT
public:
    static constexpr quint16 ServerPort = 5627;
    static constexpr int ConnectTimeoutMs = 5000;
    static constexpr int HistorySize = 6;
    static constexpr int ReceiveBlock = 4096;

    using SocketFactory = std::function<QTcpSocket *()>;

    CLanSocket(CLinkPort &link, OperatorUi *ui, QObject *parent = nullptr);
    ~CLanSocket() override;

    // The connected flag.
    bool isOpen() const override { return m_connected; }
    // False when not connected or the socket did not take the whole frame.
    bool sendFrame(const QByteArray &frame) override;

    // Starts connecting to "History 0" of section "Server". Returns false at once,
    // with the fixed text shown, when no address is stored or the connection
    // is already up (and, silently, while a connect is under way).
    bool startConnect();
    bool isConnecting() const { return m_connecting; }
    // Clears the connected flag and drops the connection; nothing is emitted.
    void close();

    // The PBX listens on 5627; a simulator or a test may listen elsewhere.
    void setServerPort(quint16 port) { m_port = port; }
    quint16 serverPort() const { return m_port; }
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    int connectTimeout() const { return m_connectTimeoutMs; }
    // The socket of the next connect (default: a QTcpSocket); the CLanSocket owns it.
    void setSocketFactory(SocketFactory factory) { m_factory = std::move(factory); }
    int lastReceiveCount() const { return m_lastCount; }

    static QString sectionName(); // "Server"
    // "History 0".."History 5", newest first; missing values read as empty.
    static QStringList loadHistory();
    // Writes the first six entries, empty ones where there are fewer.
    static bool saveHistory(const QStringList &history);
    // Removes an identical entry, puts address at the top and keeps six.
    static QStringList moveToTop(QStringList history, const QString &address);
    static QString serverAddress();

Q_SIGNALS:
    void connected();
    void connectFailed(int errorCode);
    // The peer closed the connection (not emitted by close()).
    void disconnected();

private:
    void onConnected();
    void onSocketError();
    void onConnectTimeout();
    void onReadyRead();
    void onDisconnected();
    void failConnect(int errorCode);
    void dropSocket();

    CLinkPort &m_link;
    OperatorUi *m_ui = nullptr;
    SocketFactory m_factory;
    QTcpSocket *m_socket = nullptr;
    QTimer *m_connectTimer = nullptr;
    QByteArray m_buffer;
    int m_lastCount = 0;
    quint16 m_port = ServerPort;
    int m_connectTimeoutMs = ConnectTimeoutMs;
    bool m_connected = false;
    bool m_connecting = false;
};
