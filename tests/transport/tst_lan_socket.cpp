#include "Recorders.h"

#include "transport/CLanSocket.h"
#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "ManualTimerHost.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

QByteArray frameOf(const QByteArray &payload)
{
    QByteArray out;
    Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, payload, out);
    return out;
}

// A socket whose connect never completes, for the time-out.
class NeverConnectingSocket : public QTcpSocket
{
public:
    void connectToHost(const QString &, quint16, OpenMode, NetworkLayerProtocol) override
    {
        setSocketState(QAbstractSocket::ConnectingState);
    }
};

} // namespace

class TestLanSocket : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<CLanSocket> m_lan;
    std::unique_ptr<QTcpServer> m_server;

    void storeAddress(const QString &address) { QVERIFY(CLanSocket::saveHistory({address})); }

    // Connects to the local server and returns the server's end.
    QTcpSocket *connectLocally()
    {
        storeAddress(QStringLiteral("127.0.0.1"));
        QSignalSpy connected(m_lan.get(), &CLanSocket::connected);
        if (!m_lan->startConnect())
            return nullptr;
        if (!connected.wait(5000) && connected.isEmpty())
            return nullptr;
        if (!m_server->hasPendingConnections() && !m_server->waitForNewConnection(5000))
            return nullptr;
        return m_server->nextPendingConnection();
    }

private Q_SLOTS:
    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        m_timers = std::make_unique<ManualTimerHost>();
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_link = std::make_unique<CLinkPort>(*m_timers, m_ui.get());
        m_lan = std::make_unique<CLanSocket>(*m_link, m_ui.get());
        m_link->setLanConnection(m_lan.get());
        m_server = std::make_unique<QTcpServer>();
        QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
        m_lan->setServerPort(m_server->serverPort());
    }

    void cleanup()
    {
        m_lan.reset();
        m_server.reset();
        m_link.reset();
    }

    void moveToTop_data()
    {
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("into an empty history") << QStringList() << "10.0.0.1" << QStringList{"10.0.0.1"};
        QTest::newRow("new address on top")
            << QStringList{"a", "b", "c"} << "d" << QStringList{"d", "a", "b", "c"};
        QTest::newRow("known address moves up, no duplicate")
            << QStringList{"a", "b", "c", "d"} << "c" << QStringList{"c", "a", "b", "d"};
        QTest::newRow("top stays top") << QStringList{"a", "b"} << "a" << QStringList{"a", "b"};
        QTest::newRow("seventh pushes the oldest out")
            << QStringList{"f", "e", "d", "c", "b", "a"} << "g" << QStringList{"g", "f", "e", "d", "c", "b"};
        QTest::newRow("known address in a full history")
            << QStringList{"f", "e", "d", "c", "b", "a"} << "a" << QStringList{"a", "f", "e", "d", "c", "b"};
        QTest::newRow("identical means identical")
            << QStringList{"host", "b"} << "HOST" << QStringList{"HOST", "host", "b"};
        QTest::newRow("stored history with empty places")
            << QStringList{"a", "b", "", "", "", ""} << "c" << QStringList{"c", "a", "b", "", "", ""};
    }
    void moveToTop()
    {
        QFETCH(QStringList, history);
        QFETCH(QString, address);
        QFETCH(QStringList, expected);
        QCOMPARE(CLanSocket::moveToTop(history, address), expected);
    }

    void historyInTheStore()
    {
        QCOMPARE(CLanSocket::loadHistory(), QStringList(6, QString()));
        QStringList history = CLanSocket::loadHistory();
        for (const char *address : {"1", "2", "3", "4", "5", "6", "7", "3"}) {
            history = CLanSocket::moveToTop(history, QString::fromLatin1(address));
            QVERIFY(CLanSocket::saveHistory(history));
            history = CLanSocket::loadHistory();
        }
        QCOMPARE(history, (QStringList{"3", "7", "6", "5", "4", "2"}));
        QCOMPARE(CLanSocket::serverAddress(), QStringLiteral("3"));
        QCOMPARE(QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"))
                     .value(QStringLiteral("Server/History 5"))
                     .toString(),
                 QStringLiteral("2"));
        // Fewer entries leave the rest empty.
        QVERIFY(CLanSocket::saveHistory({QStringLiteral("x")}));
        QCOMPARE(CLanSocket::loadHistory(), (QStringList{"x", "", "", "", "", ""}));
    }

    void noAddressDoesNotTouchTheNetwork()
    {
        int sockets = 0;
        m_lan->setSocketFactory([&sockets] {
            ++sockets;
            return new QTcpSocket;
        });
        QVERIFY(!m_lan->startConnect());
        QCOMPARE(m_ui->texts(), QStringList{"IPAddress is not exist!!"});
        QVERIFY(m_ui->shown.first().fixed);
        QCOMPARE(sockets, 0);
        QVERIFY(!m_lan->isConnecting());
        QVERIFY(!m_server->hasPendingConnections());
    }

    void connectSendReceiveAndPeerClose()
    {
        QTcpSocket *peer = connectLocally();
        QVERIFY(peer);
        QVERIFY(m_lan->isOpen());

        // Sending goes through the link to the socket.
        QVERIFY(m_link->sendDataPacket(QByteArray("\x00\x0b", 2)));
        QByteArray atPeer;
        QTRY_COMPARE(atPeer += peer->readAll(), QByteArray::fromHex("baec90c2000ba6bc"));

        // Received data reaches the link's parser.
        QSignalSpy data(m_link.get(), &CLinkPort::dataReceived);
        peer->write(frameOf("first") + frameOf("second"));
        QTRY_COMPARE(data.count(), 2);
        QCOMPARE(data.at(0).at(0).toByteArray(), QByteArray("first"));
        QCOMPARE(data.at(1).at(0).toByteArray(), QByteArray("second"));
        QVERIFY(m_lan->lastReceiveCount() > 0);

        // The peer closes: the flag drops silently, bytes sent before the close still arrive.
        QSignalSpy gone(m_lan.get(), &CLanSocket::disconnected);
        peer->write(frameOf("last words"));
        peer->disconnectFromHost();
        QVERIFY(gone.wait(5000));
        QVERIFY(!m_lan->isOpen());
        QCOMPARE(data.count(), 3);
        QCOMPARE(data.at(2).at(0).toByteArray(), QByteArray("last words"));
        QVERIFY(m_ui->shown.isEmpty());

        // Sending on the closed connection is refused, not reported as sent.
        QVERIFY(!m_lan->sendFrame(frameOf("nobody")));
        QVERIFY(!m_link->sendDataPacket(QByteArray("\x00\x0b", 2)));
    }

    void alreadyConnected()
    {
        QVERIFY(connectLocally());
        QVERIFY(!m_lan->startConnect());
        QCOMPARE(m_ui->texts(), QStringList{"Lan's already connected"});
        QVERIFY(m_lan->isOpen());
    }

    void closeDropsTheConnectionWithoutSignals()
    {
        QTcpSocket *peer = connectLocally();
        QVERIFY(peer);
        QSignalSpy gone(m_lan.get(), &CLanSocket::disconnected);
        m_lan->close();
        QVERIFY(!m_lan->isOpen());
        QVERIFY(!m_lan->sendFrame(frameOf("x")));
        QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(gone.count(), 0);

        // A later connect works again.
        QVERIFY(connectLocally());
        QVERIFY(m_lan->isOpen());
    }

    void refusedConnection()
    {
        const quint16 closedPort = m_server->serverPort();
        m_server->close();
        storeAddress(QStringLiteral("127.0.0.1"));
        m_lan->setServerPort(closedPort);

        QSignalSpy failed(m_lan.get(), &CLanSocket::connectFailed);
        QSignalSpy connected(m_lan.get(), &CLanSocket::connected);
        QVERIFY(m_lan->startConnect());
        QVERIFY(m_lan->isConnecting());
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toInt(), int(QAbstractSocket::ConnectionRefusedError));
        QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("Connection is failed Error Code is %1")
                                                 .arg(int(QAbstractSocket::ConnectionRefusedError))});
        QVERIFY(m_ui->shown.first().fixed);
        QCOMPARE(connected.count(), 0);
        QVERIFY(!m_lan->isOpen());
        QVERIFY(!m_lan->isConnecting());
    }

    void connectTimesOut()
    {
        storeAddress(QStringLiteral("127.0.0.1"));
        m_lan->setSocketFactory([] { return new NeverConnectingSocket; });
        m_lan->setConnectTimeout(1);
        QCOMPARE(CLanSocket::ConnectTimeoutMs, 5000);

        QSignalSpy failed(m_lan.get(), &CLanSocket::connectFailed);
        QVERIFY(m_lan->startConnect());
        // A second connect while the first is under way is refused silently.
        QVERIFY(!m_lan->startConnect());
        QVERIFY(failed.wait(5000));
        QCOMPARE(failed.first().first().toInt(), int(QAbstractSocket::SocketTimeoutError));
        QCOMPARE(m_ui->texts(), QStringList{QStringLiteral("Connection is failed Error Code is 5")});
        QVERIFY(!m_lan->isConnecting());
        QVERIFY(!m_lan->isOpen());
    }

    void dispatchMayCloseTheConnection()
    {
        QTcpSocket *peer = connectLocally();
        QVERIFY(peer);
        QList<QByteArray> seen;
        connect(m_link.get(), &CLinkPort::dataReceived, this, [&](const QByteArray &payload) {
            seen.append(payload);
            m_lan->close();
        });
        peer->write(frameOf("bye") + frameOf("never parsed after the close"));
        QTRY_VERIFY(!seen.isEmpty());
        QVERIFY(!m_lan->isOpen());
        QCOMPARE(seen.first(), QByteArray("bye"));
    }
};

QTEST_GUILESS_MAIN(TestLanSocket)
#include "tst_lan_socket.moc"
