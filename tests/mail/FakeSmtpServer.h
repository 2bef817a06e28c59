#pragma once

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// An SMTP server on 127.0.0.1 (ephemeral port) that answers from a table and
// keeps every byte it received. One connection at a time.
//
// Replies are looked up by the verb of the command ("HELO", "MAIL", "RCPT",
// "DATA", "QUIT") and "." for the end of the data; "greeting" is sent on
// connect. A reply is sent as it stands (it may hold several lines); an empty
// reply closes the connection instead; a verb marked silent gets no answer.
class FakeSmtpServer : public QObject
{
public:
    FakeSmtpServer()
    {
        replies = {
            {"greeting", "220 fake.test ready\r\n"},
            {"HELO", "250 fake.test\r\n"},
            {"MAIL", "250 OK\r\n"},
            {"RCPT", "250 OK\r\n"},
            {"DATA", "354 go ahead\r\n"},
            {".", "250 queued\r\n"},
            {"QUIT", "221 bye\r\n"},
        };
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, &FakeSmtpServer::onConnection);
    }

    quint16 port() const { return m_server.serverPort(); }

    QHash<QByteArray, QByteArray> replies;
    QList<QByteArray> silent;
    QByteArray received;
    int connections = 0;
    bool peerClosed = false;

    bool connected() const { return m_peer && m_peer->state() == QAbstractSocket::ConnectedState; }

private:
    void onConnection()
    {
        m_peer = m_server.nextPendingConnection();
        ++connections;
        m_inData = false;
        m_pending.clear();
        connect(m_peer, &QTcpSocket::readyRead, this, &FakeSmtpServer::onRead);
        connect(m_peer, &QTcpSocket::disconnected, this, [this] { peerClosed = true; });
        answer("greeting");
    }

    void onRead()
    {
        const QByteArray chunk = m_peer->readAll();
        received += chunk;
        m_pending += chunk;
        while (m_peer) {
            if (m_inData) {
                const qsizetype end = m_pending.indexOf("\r\n.\r\n");
                if (end < 0)
                    return;
                m_pending.remove(0, end + 5);
                m_inData = false;
                answer(".");
                continue;
            }
            const qsizetype end = m_pending.indexOf("\r\n");
            if (end < 0)
                return;
            const QByteArray line = m_pending.left(end);
            m_pending.remove(0, end + 2);
            const QByteArray verb = line.split(' ').value(0).toUpper();
            if (verb == "DATA" && replies.value("DATA").startsWith("354"))
                m_inData = true;
            answer(verb);
        }
    }

    void answer(const QByteArray &verb)
    {
        if (silent.contains(verb))
            return;
        const QByteArray reply = replies.value(verb, "500 what?\r\n");
        if (reply.isEmpty()) {
            m_peer->disconnectFromHost();
            m_peer = nullptr;
            return;
        }
        m_peer->write(reply);
    }

    QTcpServer m_server;
    QPointer<QTcpSocket> m_peer;
    QByteArray m_pending;
    bool m_inData = false;
};
