#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/MessageBox.h"
#include "callstate/ui/CDLOFrame.h"
#include "callstate/ui/CQueueFrame.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallKeys.h"
#include "callstate/ui/FindBar.h"
#include "callstate/ui/StatusWindowKeys.h"
#include "console/Console.h"
#include "console/ui/LogStatusWindow.h"
#include "console/ui/MainWindow.h"
#include "session/LogStatusModel.h"
#include "link/Frame.h"
#include "transport/LinkConnection.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <QShortcut>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The PBX end of a LAN link, enough to be logged on.
class Peer : public QObject
{
public:
    Peer()
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            m_socket = m_server.nextPendingConnection();
            connect(m_socket, &QTcpSocket::readyRead, this, [this] { received += m_socket->readAll().size(); });
        });
    }
    quint16 port() const { return m_server.serverPort(); }
    bool connected() const { return m_socket != nullptr; }
    void send(const QByteArray &payload)
    {
        QByteArray frame;
        Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, payload, frame);
        m_socket->write(frame);
    }
    qint64 received = 0;

private:
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
};

// Every key that works anywhere in the main window, with how often it is bound.
QMap<QString, int> windowWideKeys(const MainWindow &w)
{
    QMap<QString, int> keys;
    for (const QAction *a : w.findChildren<QAction *>()) {
        if (a->shortcutContext() == Qt::WidgetShortcut)
            continue;
        for (const QKeySequence &k : a->shortcuts())
            ++keys[k.toString()];
    }
    for (const QShortcut *s : w.findChildren<QShortcut *>()) {
        if (s->context() != Qt::WidgetShortcut)
            ++keys[s->key().toString()];
    }
    return keys;
}

} // namespace

class TestMainWindowKeys : public QObject
{
    Q_OBJECT
private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<MessageBoxAnswerer> m_boxes;

private Q_SLOTS:
    void initTestCase() { m_startDir = QDir::currentPath(); }
    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        MessageCatalogue::resetProcessStateForTests();
        CWindowKindSettings::resetAllForTests();
        DefaultLayout::current() = DefaultLayout::initial();
        m_work = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(m_work->path()));
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
        m_boxes = std::make_unique<MessageBoxAnswerer>();
    }
    void cleanup()
    {
        m_boxes.reset();
        QDir::setCurrent(m_startDir);
        m_work.reset();
    }

    void keysAreBoundOnce()
    {
        MainWindow w;
        const QMap<QString, int> keys = windowWideKeys(w);
        for (auto it = keys.begin(); it != keys.end(); ++it)
            QVERIFY2(it.value() == 1, qPrintable(it.key() + QStringLiteral(" is bound more than once")));
        for (const CallKeys::Binding &b : CallKeys::windowKeys())
            QVERIFY2(keys.contains(b.key.toString()), qPrintable(b.key.toString()));
        // A window-wide key would take the call operation keys before the station window sees them.
        for (const CallKeys::Binding &b : CallKeys::operationKeys())
            QVERIFY2(!keys.contains(b.key.toString()), qPrintable(b.key.toString()));
    }

    void windowKeysWhileLoggedOn()
    {
        Peer pbx;
        CSettingsSection(QStringLiteral("Server")).writeString(QStringLiteral("History 0"), QStringLiteral("127.0.0.1"));
        QVERIFY(LinkConnection::storeType(LinkConnection::Lan));
        MainWindow w;
        w.console().linkConnection()->setLanServerPort(pbx.port());
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Logged off, the keys open nothing.
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(&w, Qt::Key_F3);
        QVERIFY(!w.childWindows().window(ChildWindowTable::StationStatus));
        QVERIFY(!w.childWindows().window(ChildWindowTable::Queue));

        w.action(Command::LogOn)->trigger();
        QTRY_VERIFY(pbx.connected() && pbx.received > 0);
        pbx.send(QByteArray::fromHex("0001"));
        QTRY_VERIFY(w.console().isLoggedOn());
        // The log-on status window takes the activation; the keys are the main window's.
        QTRY_VERIFY(w.logStatusWindow() && w.logStatusWindow()->isVisible());
        w.console().logStatus().close();
        QTRY_VERIFY(!w.logStatusWindow());
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        auto *stations = qobject_cast<CDLOFrame *>(w.childWindows().window(ChildWindowTable::StationStatus));
        QVERIFY(stations);
        QVERIFY(stations->keys()->findBar()->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(stations->keys()->findBar()->edit()));

        QTest::keyClick(&w, Qt::Key_F3);
        auto *queue = qobject_cast<CQueueFrame *>(w.childWindows().window(ChildWindowTable::Queue));
        QVERIFY(queue);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(queue->view()));
        // Pressed again, the queue stays open (Alt+7 would close it).
        QTest::keyClick(&w, Qt::Key_F3);
        QVERIFY(w.childWindows().window(ChildWindowTable::Queue));

        QTest::keyClick(&w, Qt::Key_F5);
        QVERIFY(w.childWindows().window(ChildWindowTable::CoStatus));
        QTest::keyClick(&w, Qt::Key_F4);
        QCOMPARE(w.mdiArea()->activeSubWindow(), static_cast<QMdiSubWindow *>(stations));
        // Ctrl+F in the active CO window finds among the lines.
        auto *lines = qobject_cast<CDLOFrame *>(w.childWindows().window(ChildWindowTable::CoStatus));
        w.mdiArea()->setActiveSubWindow(lines);
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(lines->keys()->findBar()->isVisible());
    }
};

QTEST_MAIN(TestMainWindowKeys)
#include "tst_MainWindowKeys.moc"
