#include "FakeSerialDevice.h"
#include "Recorders.h"

#include "transport/CLanSocket.h"
#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "transport/LinkConnection.h"
#include "base/SettingsSection.h"
#include "ManualTimerHost.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

class TestLinkConnection : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<LinkConnection> m_connection;
    std::shared_ptr<FakeSerialLine> m_line;
    std::unique_ptr<QTcpServer> m_server;

    void make()
    {
        m_connection = std::make_unique<LinkConnection>(*m_link, m_ui.get());
        m_connection->setSerialDeviceFactory(fakeFactory(m_line));
        m_connection->setLanServerPort(m_server->serverPort());
    }

private Q_SLOTS:
    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        m_timers = std::make_unique<ManualTimerHost>();
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_link = std::make_unique<CLinkPort>(*m_timers, m_ui.get());
        m_line = std::make_shared<FakeSerialLine>();
        m_server = std::make_unique<QTcpServer>();
        QVERIFY(m_server->listen(QHostAddress::LocalHost, 0));
    }

    void cleanup()
    {
        m_connection.reset();
        QCOMPARE(m_link->serialPort(), nullptr);
        QCOMPARE(m_link->lanConnection(), nullptr);
        m_link.reset();
        m_server.reset();
    }

    void connectionType_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("type");
        QTest::newRow("nothing stored: serial") << QVariant() << 0;
        QTest::newRow("LAN") << QVariant(1) << 1;
        QTest::newRow("unknown value: serial") << QVariant(7) << 0;
    }
    void connectionType()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, type);
        if (stored.isValid())
            CSettingsSection(QStringLiteral("SavedConnectionType")).writeInt(QStringLiteral("ConnectType"), stored.toInt());
        make();
        QCOMPARE(LinkConnection::storedType(), type);
        QCOMPARE(m_connection->connectionType(), type);

        QVERIFY(m_connection->setConnectionType(1 - type));
        QCOMPARE(m_connection->connectionType(), 1 - type);
        QCOMPARE(CSettingsSection(QStringLiteral("SavedConnectionType")).readInt(QStringLiteral("ConnectType"), -1),
                 1 - type);
    }

    void registersTransportsAndTiming()
    {
        SerialSettings s;
        s.baud = QStringLiteral("19.2k");
        QVERIFY(s.save());
        make();
        QCOMPARE(m_link->serialPort(), &m_connection->serialPort());
        QVERIFY(m_connection->lanSocket());
        QCOMPARE(m_link->lanConnection(), m_connection->lanSocket());
        QCOMPARE(m_link->framePeriod(), 520);
        QCOMPARE(m_connection->serialPort().pacingMaxWrite(), 3);
        QVERIFY(!m_connection->isOpen(LinkConnection::Serial));
        QVERIFY(!m_connection->isOpen(LinkConnection::Lan));
    }

    void serialOpensAtOnce()
    {
        make();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Serial);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toBool(), true);
        QVERIFY(m_connection->isOpen(LinkConnection::Serial));
        // The link sends on the serial port while it is open.
        QVERIFY(m_link->sendDataPacket(QByteArray("\x00\x0b", 2)));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), QByteArray::fromHex("baec90c2000ba6bc"));
        m_connection->close(LinkConnection::Serial);
        QVERIFY(!m_connection->isOpen(LinkConnection::Serial));
        QVERIFY(m_ui->shown.isEmpty());
    }

    void serialFailureIsShown()
    {
        m_line->failOpen = true;
        make();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Serial);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toBool(), false);
        QCOMPARE(m_ui->shown.size(), 1);
        QCOMPARE(m_ui->shown.first().text, QStringLiteral("#:comport_connect_fail"));
        QCOMPARE(m_ui->shown.first().title, QStringLiteral("#:comport_info"));
        QCOMPARE(m_ui->shown.first().style, 48);
    }

    void lanOpensAsynchronously()
    {
        QVERIFY(CLanSocket::saveHistory({QStringLiteral("127.0.0.1")}));
        make();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Lan);
        QCOMPARE(opened.count(), 0);
        QVERIFY(m_connection->isConnecting());
        m_connection->open(LinkConnection::Lan);
        QVERIFY(opened.wait(5000));
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toBool(), true);
        QVERIFY(m_connection->isOpen(LinkConnection::Lan));
        QVERIFY(m_server->hasPendingConnections() || m_server->waitForNewConnection(5000));
        QTcpSocket *peer = m_server->nextPendingConnection();
        QVERIFY(peer);

        QSignalSpy gone(m_connection.get(), &LinkConnection::lanDisconnected);
        peer->disconnectFromHost();
        QVERIFY(gone.wait(5000));
        QVERIFY(!m_connection->isOpen(LinkConnection::Lan));
        QVERIFY(m_ui->shown.isEmpty());
    }

    void lanFailures_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("closedPort");
        QTest::addColumn<QString>("fixedText");
        QTest::newRow("no address") << QString() << false << "IPAddress is not exist!!";
        QTest::newRow("refused") << "127.0.0.1" << true
                                 << QStringLiteral("Connection is failed Error Code is %1")
                                        .arg(int(QAbstractSocket::ConnectionRefusedError));
    }
    void lanFailures()
    {
        QFETCH(QString, address);
        QFETCH(bool, closedPort);
        QFETCH(QString, fixedText);
        QVERIFY(CLanSocket::saveHistory({address}));
        make();
        if (closedPort)
            m_server->close();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Lan);
        QTRY_COMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toBool(), false);
        QCOMPARE(m_ui->texts(), (QStringList{fixedText, QStringLiteral("#:lanport_connect_fail")}));
        QVERIFY(m_ui->shown.at(0).fixed);
        QCOMPARE(m_ui->shown.at(1).title, QStringLiteral("#:lanport_info"));
        QCOMPARE(m_ui->shown.at(1).style, 48);
    }

    void lanCloseDestroysTheSocket()
    {
        QVERIFY(CLanSocket::saveHistory({QStringLiteral("127.0.0.1")}));
        make();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Lan);
        QVERIFY(opened.wait(5000));
        QPointer<CLanSocket> first = m_connection->lanSocket();

        m_connection->close(LinkConnection::Lan);
        QCOMPARE(m_connection->lanSocket(), nullptr);
        QCOMPARE(m_link->lanConnection(), nullptr);
        QVERIFY(!m_connection->isOpen(LinkConnection::Lan));
        QVERIFY(!m_link->sendDataPacket(QByteArray("\x00\x0b", 2)));
        QTRY_VERIFY(first.isNull());

        // A later open creates a new one.
        m_connection->open(LinkConnection::Lan);
        QVERIFY(opened.wait(5000));
        QVERIFY(m_connection->lanSocket());
        QCOMPARE(m_link->lanConnection(), m_connection->lanSocket());
        QVERIFY(m_connection->isOpen(LinkConnection::Lan));
    }

    void closeFromInsideTheDispatch()
    {
        QVERIFY(CLanSocket::saveHistory({QStringLiteral("127.0.0.1")}));
        make();
        QSignalSpy opened(m_connection.get(), &LinkConnection::opened);
        m_connection->open(LinkConnection::Lan);
        QVERIFY(opened.wait(5000));
        QVERIFY(m_server->hasPendingConnections() || m_server->waitForNewConnection(5000));
        QTcpSocket *peer = m_server->nextPendingConnection();

        int dispatched = 0;
        connect(m_link.get(), &CLinkPort::dataReceived, this, [&] {
            ++dispatched;
            m_connection->close(LinkConnection::Lan);
        });
        QByteArray frames;
        for (const char *p : {"log off", "more", "and more"}) {
            QByteArray f;
            Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, QByteArray(p), f);
            frames += f;
        }
        peer->write(frames);
        QTRY_VERIFY(dispatched > 0);
        QVERIFY(!m_connection->isOpen(LinkConnection::Lan));
        QCOMPARE(m_connection->lanSocket(), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestLinkConnection)
#include "tst_link_connection.moc"
