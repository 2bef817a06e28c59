// The operator's message boxes of the real main window, offscreen: a box
// raised by a link event never holds up the link, boxes come one after the
// other, and nothing is shown once the window has closed.
#include "link/Frame.h"
#include "transport/LinkConnection.h"
#include "console/Console.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "console/ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// The PBX end of a LAN link: keeps the payloads it receives.
class PbxPeer : public QObject, Zemra1::FrameParser::Listener
{
public:
    PbxPeer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            connect(m_socket, &QTcpSocket::readyRead, this, [this] {
                const QByteArray bytes = m_socket->readAll();
                m_parser.feed(bytes.constData(), int(bytes.size()));
            });
        });
        m_parser.setListener(this);
    }
    quint16 port() const { return m_server.serverPort(); }
    bool received(const char *hex) const { return m_payloads.contains(QByteArray::fromHex(hex)); }
    void send(std::initializer_list<const char *> payloads)
    {
        QByteArray bytes;
        for (const char *hex : payloads) {
            QByteArray frame;
            Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, QByteArray::fromHex(hex), frame);
            bytes += frame;
        }
        m_socket->write(bytes);
    }

private:
    void frameStarted() override {}
    void frameAbandoned() override {}
    void frameReceived(quint16, const char *p, int n) override { m_payloads.append(QByteArray(p, n)); }

    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    QList<QByteArray> m_payloads;
    Zemra1::FrameParser m_parser;
};

QList<QMessageBox *> visibleBoxes()
{
    QList<QMessageBox *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible())
            out.append(box);
    }
    return out;
}

} // namespace

class TestOperatorMessages : public QObject
{
    Q_OBJECT

private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;

    std::unique_ptr<MainWindow> loggedOffWindow(PbxPeer &pbx)
    {
        CSettingsSection(QStringLiteral("Server")).writeString(QStringLiteral("History 0"), QStringLiteral("127.0.0.1"));
        LinkConnection::storeType(LinkConnection::Lan);
        auto w = std::make_unique<MainWindow>();
        w->console().linkConnection()->setLanServerPort(pbx.port());
        w->show();
        w->action(Command::LogOn)->trigger();
        return w;
    }

private Q_SLOTS:
    void initTestCase() { m_startDir = QDir::currentPath(); }

    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        MessageCatalogue::resetProcessStateForTests();
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_work->path()));
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::Symbol);
    }

    void cleanup()
    {
        qDeleteAll(visibleBoxes());
        QDir::setCurrent(m_startDir);
        m_work.reset();
    }

    void refusedLogOnBoxLeavesTheLinkRunning()
    {
        PbxPeer pbx;
        auto w = loggedOffWindow(pbx);
        QTRY_VERIFY(pbx.received("000b"));
        // A box with an event loop of its own would hold the test here; it
        // is closed after a while so that the checks below fail instead.
        QTimer::singleShot(3000, this, [] { qDeleteAll(visibleBoxes()); });
        pbx.send({"000205"});
        QTRY_COMPARE(visibleBoxes().size(), 1);
        QCOMPARE(visibleBoxes().first()->text(), QStringLiteral("#:log_on_denied"));

        pbx.send({"000e", "0006"});
        QTRY_VERIFY(pbx.received("000f") && pbx.received("0003"));
        QCOMPARE(visibleBoxes().size(), 1);
    }

    void boxesComeOneAfterTheOther()
    {
        auto w = std::make_unique<MainWindow>();
        w->show();
        w->showMessage(QStringLiteral("#:log_packet_miss"), QStringLiteral("#:log_info"), 48);
        w->showFixedMessage(QStringLiteral("Lan's already connected"), QStringLiteral("Zarto"), 48);
        QVERIFY(visibleBoxes().isEmpty());
        QTRY_COMPARE(visibleBoxes().size(), 1);
        QMessageBox *first = visibleBoxes().first();
        QCOMPARE(first->text(), QStringLiteral("#:log_packet_miss"));
        QCOMPARE(first->windowModality(), Qt::WindowModal);
        // A message is not a dialog that the log-off completion ends.
        QVERIFY(!w->endModalDialog());
        QTest::mouseClick(first->button(QMessageBox::Ok), Qt::LeftButton);
        QTRY_COMPARE(visibleBoxes().size(), 1);
        QCOMPARE(visibleBoxes().first()->text(), QStringLiteral("Lan's already connected"));
    }

    // Exit while logged on: the log-off completes, the window closes, and the
    // message of the log-off has no window to show over.
    void nothingShownOnceTheWindowHasGone()
    {
        PbxPeer pbx;
        auto w = loggedOffWindow(pbx);
        QTRY_VERIFY(pbx.received("000b"));
        pbx.send({"0001"});
        QTRY_VERIFY(w->console().isLoggedOn());
        QVERIFY(!w->close());
        QTRY_VERIFY(pbx.received("0003"));
        pbx.send({"0003"});
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
        QTest::qWait(100);
        QVERIFY(visibleBoxes().isEmpty());
    }
};

QTEST_MAIN(TestOperatorMessages)
#include "tst_OperatorMessages.moc"
