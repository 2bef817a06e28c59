#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSerialPort;
class QSocketNotifier;
class QTcpSocket;

namespace pbxsim {

// One byte stream to a console.
class Connection : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~Connection() override;
    virtual void write(const QByteArray &bytes) = 0;
    virtual void close() = 0;
    virtual QString describe() const = 0;

Q_SIGNALS:
    void received(const QByteArray &bytes);
    void closed();
};

class TcpConnection : public Connection
{
    Q_OBJECT
public:
    // lowDelay false leaves Nagle's algorithm on.
    TcpConnection(QTcpSocket *socket, bool lowDelay, QObject *parent = nullptr);
    ~TcpConnection() override;
    void write(const QByteArray &bytes) override;
    void close() override;
    QString describe() const override;

private:
    QTcpSocket *m_socket;
};

// The PBX's end of a pseudo-terminal pair. The console's end stays open here
// too, so the console may close and open it again without the pair breaking.
class PtyConnection : public Connection
{
    Q_OBJECT
public:
    explicit PtyConnection(QObject *parent = nullptr);
    ~PtyConnection() override;
    // Creates the pair and makes link a symbolic link to the console's end.
    bool open(const QString &link, QString *error);
    QString consolePath() const { return m_slavePath; }
    void write(const QByteArray &bytes) override;
    void close() override;
    QString describe() const override;

private:
    void readable();
    void writable();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_link;
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
};

class SerialConnection : public Connection
{
    Q_OBJECT
public:
    explicit SerialConnection(QObject *parent = nullptr);
    ~SerialConnection() override;
    bool open(const QString &device, int baud, QString *error);
    void write(const QByteArray &bytes) override;
    void close() override;
    QString describe() const override;

private:
    QSerialPort *m_port;
};

} // namespace pbxsim
