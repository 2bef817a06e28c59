#include "base/OpenDialogRegistry.h"
#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "transport/LinkConnection.h"
#include "session/LogStatusModel.h"
#include "transport/SerialSettings.h"
#include "console/Console.h"
#include "base/MessageCatalogue.h"
#include "base/OpenDialogRegistry.h"
#include "base/SettingsSection.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "console/ui/AboutDialog.h"
#include "console/ui/HelpWindow.h"
#include "console/ui/LanguageDialog.h"
#include "console/ui/LcdBar.h"
#include "console/ui/LogStatusWindow.h"
#include "console/ui/MainWindow.h"
#include "base/ui/MessageBox.h"
#include "console/ui/SingleInstance.h"
#include "transport/CSerialPort.h"
#include "transport/CLanSocket.h"
#include "transport/ui/ConnectionMethodDialog.h"
#include "transport/ui/SerialSettingsDialog.h"
#include "transport/ui/ServerDialog.h"

#include <QAction>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QSysInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <memory>

namespace {

QVariant stored(const QString &key)
{
    return QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).value(key);
}

void store(const QString &key, const QVariant &value)
{
    QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).setValue(key, value);
}

// The texts of a menu in order, pop-ups followed by their items; separators skipped.
void collectTexts(const QList<QAction *> &actions, QStringList &out)
{
    for (QAction *a : actions) {
        if (a->isSeparator())
            continue;
        out.append(a->text());
        if (a->menu())
            collectTexts(a->menu()->actions(), out);
    }
}

template<class Dialog>
Dialog *openDialog(QWidget *owner)
{
    Dialog *dialog = nullptr;
    const auto visible = [&] {
        dialog = owner->findChild<Dialog *>();
        return dialog && dialog->isVisible();
    };
    if (!QTest::qWaitFor(visible))
        return nullptr;
    return dialog;
}

void clickKeys(AboutDialog *about, const QString &keys)
{
    for (const QChar key : keys)
        QTest::mouseClick(about->keyButton(key), Qt::LeftButton);
}

QByteArray dataFrame(const QByteArray &payload)
{
    QByteArray frame;
    Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, payload, frame);
    return frame;
}

// The PBX end of a LAN link: keeps the payloads it receives.
class PbxPeer : public QObject
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
        m_parser.setListener(&m_collect);
    }
    quint16 port() const { return m_server.serverPort(); }
    bool received(const QByteArray &payload) const { return m_collect.payloads.contains(payload); }
    void send(const QByteArray &payload) { m_socket->write(dataFrame(payload)); }

private:
    struct Collect : Zemra1::FrameParser::Listener
    {
        QList<QByteArray> payloads;
        void frameStarted() override {}
        void frameAbandoned() override {}
        void frameReceived(quint16, const char *p, int n) override { payloads.append(QByteArray(p, n)); }
    };
    QTcpServer m_server;
    QTcpSocket *m_socket = nullptr;
    Collect m_collect;
    Zemra1::FrameParser m_parser;
};

void click(QWidget *dialog, const char *name)
{
    auto *button = dialog->findChild<QAbstractButton *>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

const QByteArray LogOnRequest = QByteArray::fromHex("000b");
const QByteArray LogOnAck = QByteArray::fromHex("0001");
const QByteArray LogOffRequest = QByteArray::fromHex("0003");
const QByteArray LogOffAck = QByteArray::fromHex("0003");

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;
    std::unique_ptr<MessageBoxAnswerer> m_boxes;

    std::unique_ptr<MainWindow> makeWindow(int mode = LanguageMode::First)
    {
        MessageCatalogue::setLanguageMode(mode);
        return std::make_unique<MainWindow>();
    }

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
        m_boxes = std::make_unique<MessageBoxAnswerer>();
    }

    void cleanup()
    {
        m_boxes.reset();
        QDir::setCurrent(m_startDir);
        m_work.reset();
    }

    // ------------------------------------------------------------ menus

    void menuItemTexts_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("text");
        QTest::newRow("english log on") << 1 << int(Command::LogOn) << "Log on to &PBX";
        QTest::newRow("english small key pad") << 1 << int(Command::SmallKeyPad) << "Small key pad (&U)";
        QTest::newRow("english call info") << 1 << int(Command::CallInfo) << "&Disable caller information";
        QTest::newRow("english date format unknown")
            << 1 << int(Command::DateFormat) << "Read date and time format from the PBX";
        QTest::newRow("time format unknown keeps its text") << 1 << int(Command::TimeFormat) << "TIME FORMAT";
        QTest::newRow("local exit") << 2 << int(Command::Exit) << "&Beenden";
        QTest::newRow("symbol log on") << 0 << int(Command::LogOn) << "#:zarto_log_on_MENU(&P)";
        QTest::newRow("symbol call info") << 0 << int(Command::CallInfo) << "#:disable_call_info(&D)";
        QTest::newRow("symbol date format") << 0 << int(Command::DateFormat) << "#:dtf_initialize_dt_MENU";
    }

    void menuItemTexts()
    {
        QFETCH(int, mode);
        QFETCH(int, command);
        QFETCH(QString, text);
        auto w = makeWindow(mode);
        QCOMPARE(w->action(Command(command))->text(), text);
        QVERIFY(m_boxes->boxes().isEmpty());
    }

    void englishMenuTitlesAndWindowTitle()
    {
        auto w = makeWindow(LanguageMode::First);
        QStringList titles;
        for (QAction *a : w->menuBar()->actions())
            titles.append(a->text());
        QCOMPARE(titles, (QStringList{"&File", "&Connection", "&Programming", "&Options", "&View", "&Window", "&Help"}));
        QCOMPARE(w->windowTitle(), QStringLiteral("Zarto for Varo"));
    }

    void symbolModeShowsEveryKeyInOrder()
    {
        auto w = makeWindow(LanguageMode::Symbol);
        QStringList texts;
        collectTexts(w->menuBar()->actions(), texts);
        const QStringList expected{
            "#:file_MENU(&F)", "#:excel_import_MENU(&E)", "#:db_export_MENU(&D)", "#:print_MENU(&P)",
            "#:exit_MENU(&X)", "#:connection_MENU(&C)", "#:zarto_log_on_MENU(&P)", "#:zarto_log_off_MENU(&C)",
            "#:varo_connect_MENU(&L)", "#:varo_disconnect_MENU(&D)", "#:varo_connect_settings_MENU(&K)",
            "#:atd_program_MENU(&P)", "#:atd_clock_setting_MENU(&C)", "#:atd_wake_up_MENU(&W)",
            "#:atd_cancel_wake_up_MENU(&U)", "#:atd_music_selection_MENU(&I)", "#:atd_custom_msg_MENU(&M)",
            "#:atd_sys_greetings_MENU(&G)", "#:atd_temp_COS_MENU(&O)", "#:atd_atd_cancel_MENU(&A)",
            "#:atd_date_time_format_MENU(&D)", "#:dtf_initialize_dt_MENU", "TIME FORMAT", "#:option_MENU(&O)",
            "#:language_MENU(&L)", "#:Server_Name_Menu(&S)", "#:disable_call_info(&D)", "#:reconnect_MENU(&R)",
            "#:view_MENU(&V)",
            "#:view_toolbar_MENU(&T)", "#:view_statusbar_MENU(&S)", "#:view_lcdscreen_MENU(&L)",
            "#:view_pktu_MENU(&K)", "#:view_station_MENU(&A)", "#:view_trunk_MENU(&C)", "#:view_queue_MENU(&Q)",
            "#:view_ext_db_MENU(&D)", "#:view_trk_db_MENU(&O)", "#:view_spd_db_MENU(&B)",
            "#:view_phoneno_db_MENU(&P)", "#:view_mini_pktu_MENU(&U)", "#:paging_MENU(&M)",
            // the keys of the queue and the windows
            "#:key_find_station", "#:key_answer_oldest", "#:key_focus_queue", "#:key_focus_stations",
            "#:key_focus_lines", "#:window_MENU(&W)",
            "#:cascade_MENU(&C)", "#:tile_MENU(&T)", "#:arrange_icon_MENU(&A)", "#:help_MENU(&H)",
            "#:help_topics_MENU(&H)", "#:about_zarto_MENU(&A)"};
        QCOMPARE(texts, expected);
        QCOMPARE(w->windowTitle(), QStringLiteral("#:main_window_WINTITLE"));
    }

    void toolBarOrder()
    {
        auto w = makeWindow();
        QList<QAction *> expected;
        for (Command c : {Command::LogOn, Command::LogOff, Command::Connect, Command::Disconnect})
            expected.append(w->action(c));
        expected.append(nullptr);
        for (Command c : {Command::ViewKeyTelephone, Command::ViewStationWindow, Command::ViewCoWindow,
                          Command::ViewQueue, Command::ViewStationDirectory, Command::ViewCoDirectory,
                          Command::ViewSpeedBinDirectory, Command::ViewPhoneNumberDirectory})
            expected.append(w->action(c));
        expected.append(nullptr);
        expected.append(w->action(Command::Paging));
        expected.append(w->action(Command::About));
        QList<QAction *> actual;
        for (QAction *a : w->mainToolBar()->actions())
            actual.append(a->isSeparator() ? nullptr : a);
        QCOMPARE(actual, expected);
    }

    void acceleratorsToggleTheBars()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QVERIFY(w->action(Command::ViewLcdBar)->isChecked());
        QTest::keyClick(w.get(), Qt::Key_3, Qt::AltModifier);
        QVERIFY(w->lcdToolBar()->isHidden());
        QVERIFY(!w->action(Command::ViewLcdBar)->isChecked());
        QTest::keyClick(w.get(), Qt::Key_1, Qt::AltModifier);
        QVERIFY(w->mainToolBar()->isHidden());
        QTest::keyClick(w.get(), Qt::Key_2, Qt::AltModifier);
        QVERIFY(w->statusBar()->isHidden());
        QTest::keyClick(w.get(), Qt::Key_3, Qt::AltModifier);
        QVERIFY(!w->lcdToolBar()->isHidden());
        QVERIFY(w->action(Command::ViewLcdBar)->isChecked());
    }

    void commandsWhileLoggedOff()
    {
        auto w = makeWindow();
        QVERIFY(!w->console().isLoggedOn());
        for (Command c : {Command::DateFormat, Command::TimeFormat, Command::LogOff, Command::Disconnect})
            QVERIFY2(!w->action(c)->isEnabled(), qPrintable(w->action(c)->text()));
        for (Command c : {Command::LogOn, Command::Connect, Command::ConnectionSettings, Command::Exit,
                          Command::Language, Command::CallInfo, Command::HelpTopics, Command::About})
            QVERIFY2(w->action(c)->isEnabled(), qPrintable(w->action(c)->text()));
    }

    void disconnectFollowsConnect()
    {
        // A serial port that cannot open still sets the connected flag.
        store(QStringLiteral("SavedConnectionType/ConnectType"), 0);
        store(SerialSettings::sectionName() + QStringLiteral("/Port Number"),
              m_work->filePath(QStringLiteral("no-such-tty")));
        auto w = makeWindow();
        w->action(Command::Connect)->trigger();
        QVERIFY(w->console().isConnected());
        QVERIFY(!w->action(Command::Connect)->isEnabled());
        QVERIFY(w->action(Command::Disconnect)->isEnabled());
        w->action(Command::Disconnect)->trigger();
        QVERIFY(!w->console().isConnected());
        QVERIFY(w->action(Command::Connect)->isEnabled());
        QVERIFY(!w->action(Command::Disconnect)->isEnabled());
    }

    // ------------------------------------------------------------ connection settings

    void connectionSettingsFromTheMenu_data()
    {
        QTest::addColumn<QString>("choice"); // "serial", "lan" or "cancel"
        QTest::newRow("serial port") << "serial";
        QTest::newRow("LAN") << "lan";
        QTest::newRow("cancelled") << "cancel";
    }

    void connectionSettingsFromTheMenu()
    {
        QFETCH(QString, choice);
        QVERIFY(LinkConnection::storeType(LinkConnection::Serial));
        auto w = makeWindow();
        w->show();
        w->action(Command::ConnectionSettings)->trigger();
        auto *method = openDialog<ConnectionMethodDialog>(w.get());
        QVERIFY(method);
        QCOMPARE(method->windowTitle(), QStringLiteral("Connection settings"));
        if (choice == QLatin1String("cancel")) {
            click(method, "lan");
            click(method, "cancel");
            QTRY_VERIFY(!w->findChild<ConnectionMethodDialog *>());
            QVERIFY(!w->findChild<ServerDialog *>());
            QVERIFY(!w->findChild<SerialSettingsDialog *>());
            // The click stored the choice; the console's current type stays.
            QCOMPARE(w->console().connectionType(), int(LinkConnection::Serial));
            return;
        }
        const bool lan = choice == QLatin1String("lan");
        click(method, lan ? "lan" : "serial");
        click(method, "ok");

        if (lan) {
            auto *server = openDialog<ServerDialog>(w.get());
            QVERIFY(server);
            auto *address = server->findChild<QComboBox *>(QStringLiteral("address"));
            QTest::keyClicks(address->lineEdit(), QStringLiteral("10.1.2.3"));
            click(server, "ok");
            QCOMPARE(stored(QStringLiteral("Server/History 0")).toString(), QStringLiteral("10.1.2.3"));
        } else {
            auto *serial = openDialog<SerialSettingsDialog>(w.get());
            QVERIFY(serial);
            auto *baud = serial->findChild<QComboBox *>(QStringLiteral("baud"));
            baud->setCurrentIndex(SerialSettings::baudChoices().indexOf(QStringLiteral("19.2k")));
            click(serial, "rtsCts");
            click(serial, "ok");
            QCOMPARE(stored(SerialSettings::sectionName() + QStringLiteral("/Baud Rate")).toString(),
                     QStringLiteral("19.2k"));
            QCOMPARE(stored(SerialSettings::sectionName() + QStringLiteral("/RTS/CTS")).toInt(), 1);
            QCOMPARE(w->console().link().framePeriod(), 520);
        }
        QCOMPARE(stored(QStringLiteral("SavedConnectionType/ConnectType")).toInt(), lan ? 1 : 0);
        QCOMPARE(w->console().connectionType(), lan ? 1 : 0);
        QTRY_VERIFY(!w->findChild<QDialog *>());
        QVERIFY(m_boxes->boxes().isEmpty());
    }

    void logOffEndingTheMethodDialogOpensNoSettings()
    {
        auto w = makeWindow();
        w->show();
        w->action(Command::ConnectionSettings)->trigger();
        auto *method = openDialog<ConnectionMethodDialog>(w.get());
        QVERIFY(method);
        click(method, "lan");
        QCOMPARE(w->dialogs().endAll(), 1);
        QCOMPARE(w->console().connectionType(), int(LinkConnection::Lan));
        QCoreApplication::processEvents();
        QVERIFY(!w->findChild<ServerDialog *>());
    }

    void waitCursorWhileTheSerialPortOpensAndCloses()
    {
        store(QStringLiteral("SavedConnectionType/ConnectType"), 0);
        store(SerialSettings::sectionName() + QStringLiteral("/Port Number"),
              m_work->filePath(QStringLiteral("no-such-tty")));
        auto w = makeWindow();
        QList<int> shapes;
        // Connected after the main window's own handler, so it sees the cursor that handler set.
        connect(&w->console().linkConnection()->serialPort(), &CSerialPort::busyChanged, this, [&shapes](bool busy) {
            if (busy)
                shapes.append(QApplication::overrideCursor() ? int(QApplication::overrideCursor()->shape()) : -1);
        });
        w->runCommand(Command::Connect);
        QCOMPARE(shapes, QList<int>{int(Qt::WaitCursor)});
        QVERIFY(!QApplication::overrideCursor());
    }

    // ------------------------------------------------------------ help

    void helpOpensTheManual()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(w.get(), Qt::Key_F1);
        HelpWindow *help = w->helpWindow();
        QVERIFY(help && help->isVisible());
        QVERIFY(!help->isModal());
        QCOMPARE(help->windowTitle(), QStringLiteral("Zarto operator's manual"));
        QCOMPARE(help->browser()->source().fileName(), QStringLiteral("index.html"));
        QVERIFY(!help->browser()->toPlainText().isEmpty());
        // A chapter name never leads out of the manual folder.
        help->showChapter(QStringLiteral("../ZARTOLLS.TXT"));
        QCOMPARE(help->browser()->source().fileName(), QStringLiteral("index.html"));
        // The Help menu reaches the same window.
        help->close();
        QTRY_VERIFY(!w->helpWindow());
        w->action(Command::HelpTopics)->trigger();
        QVERIFY(w->helpWindow() && w->helpWindow()->isVisible());
    }

    void manualInTheWorkingDirectoryComesFirst()
    {
        QVERIFY(QDir(m_work->path()).mkpath(QStringLiteral("manual")));
        QFile page(m_work->filePath(QStringLiteral("manual/index.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<p>Local copy</p>");
        page.close();
        HelpWindow help;
        help.showChapter(QStringLiteral("index.html"));
        QCOMPARE(help.browser()->toPlainText(), QStringLiteral("Local copy"));
    }

    void everyManualChapterIsReachable()
    {
        // Each chapter is linked from the contents page, and each link names a chapter that exists.
        const QDir manual(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data/manual"));
        QFile index(manual.filePath(QStringLiteral("index.html")));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QString contents = QString::fromUtf8(index.readAll());
        QSet<QString> linked;
        static const QRegularExpression href(QStringLiteral("href=\"([^\"#]+\\.html)"));
        for (auto it = href.globalMatch(contents); it.hasNext();)
            linked.insert(it.next().captured(1));
        const QStringList files = manual.entryList({QStringLiteral("*.html")}, QDir::Files);
        QSet<QString> chapters(files.begin(), files.end());
        chapters.remove(QStringLiteral("index.html"));
        QVERIFY(!chapters.isEmpty());
        QCOMPARE(linked, chapters);
    }

    // ------------------------------------------------------------ windows of the last run

    void nothingIsRememberedOrReopenedWhileLoggedOff()
    {
        CSettingsSection(QStringLiteral("Queue Frame")).writeInt(QStringLiteral("Active Window"), 1);
        ChildWindowTable table;
        QWidget queue;
        QWidget speedBins;
        int opened = 0;
        table.registerReopening({CWindowKindSettings::Kind::QueueFrame, ChildWindowTable::Queue, -1, false,
                                 [&](int) { ++opened; }});
        table.registerReopening({CWindowKindSettings::Kind::SpeedBinFrame, ChildWindowTable::SpeedBinDirectory, -1,
                                 true, {}});
        table.reopenWindows(false);
        QCOMPARE(opened, 0);
        table.enter(ChildWindowTable::SpeedBinDirectory, &speedBins, QString());
        table.rememberOpenWindows(false);
        QCOMPARE(stored(QStringLiteral("Queue Frame/Active Window")).toInt(), 1);
        // The speed-bin directory's count is written in every case.
        QCOMPARE(stored(QStringLiteral("PhoneBook Frame/Active Window")).toInt(), 1);
        // An open window of the kind is not opened a second time.
        table.enter(ChildWindowTable::Queue, &queue, QString());
        table.reopenWindows(true);
        QCOMPARE(opened, 0);
    }

    void windowsOfTheLastRunReopenAfterTheDownload()
    {
        PbxPeer pbx;
        CSettingsSection(QStringLiteral("Server")).writeString(QStringLiteral("History 0"), QStringLiteral("127.0.0.1"));
        QVERIFY(LinkConnection::storeType(LinkConnection::Lan));
        CSettingsSection(QStringLiteral("PKTU Frame")).writeInt(QStringLiteral("Active Window"), 0);
        CSettingsSection(QStringLiteral("DLO Frame")).writeInt(QStringLiteral("LastActiveWindow"), 2);
        auto w = makeWindow();
        w->console().linkConnection()->setLanServerPort(pbx.port());
        QList<int> opened;
        const auto opener = [&w, &opened](int slot) {
            opened.append(slot);
            auto *sub = w->mdiArea()->addSubWindow(new QWidget);
            sub->setAttribute(Qt::WA_DeleteOnClose);
            sub->show();
            w->childWindows().enter(slot, sub, QString());
        };
        using K = CWindowKindSettings::Kind;
        ChildWindowTable &table = w->childWindows();
        table.registerReopening({K::KeyTelephoneFrame, ChildWindowTable::KeyTelephone, -1, false, opener});
        table.registerReopening({K::QueueFrame, ChildWindowTable::Queue, -1, false, opener});
        table.registerReopening({K::StatusButtonFrame, ChildWindowTable::StationStatus, ChildWindowTable::CoStatus,
                                 false, opener});
        w->showAtStoredPlacement();
        QVERIFY(opened.isEmpty());

        w->action(Command::LogOn)->trigger();
        QTRY_VERIFY(pbx.received(LogOnRequest));
        pbx.send(LogOnAck);
        QTRY_VERIFY(w->console().isLoggedOn());
        QVERIFY(opened.isEmpty());
        Q_EMIT w->console().allSystemInfoReceived();
        // The queue's flag defaults to open; the key telephone was closed; of the status windows only CO.
        QCOMPARE(opened, (QList<int>{ChildWindowTable::Queue, ChildWindowTable::CoStatus}));

        // Closing the main window while logged on remembers what is open now.
        // A window leaves its slot when it closes.
        table.window(ChildWindowTable::CoStatus)->close();
        table.leave(ChildWindowTable::CoStatus);
        opener(ChildWindowTable::StationStatus);
        QVERIFY(!w->close());
        QCOMPARE(stored(QStringLiteral("Queue Frame/Active Window")).toInt(), 1);
        QCOMPARE(stored(QStringLiteral("PKTU Frame/Active Window")).toInt(), 0);
        QCOMPARE(stored(QStringLiteral("DLO Frame/Active Window")).toInt(), 1);
        QCOMPARE(stored(QStringLiteral("DLO Frame/LastActiveWindow")).toInt(), 1);
        QTRY_VERIFY(pbx.received(LogOffRequest));
        pbx.send(LogOffAck);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
        // The second close, logged off, leaves what the first one wrote.
        QCOMPARE(stored(QStringLiteral("DLO Frame/LastActiveWindow")).toInt(), 1);
    }

    // ------------------------------------------------------------ caller info

    void callerInfoFirstStartStoresOne()
    {
        QVERIFY(!stored(QStringLiteral("CallerInfo/Enable")).isValid());
        auto w = makeWindow();
        QCOMPARE(stored(QStringLiteral("CallerInfo/Enable")).toInt(), 1);
        QVERIFY(w->callerInfoEnabled());
    }

    void callInfoTogglesAndIsKept()
    {
        auto w = makeWindow();
        w->action(Command::CallInfo)->trigger();
        QVERIFY(!w->callerInfoEnabled());
        QCOMPARE(stored(QStringLiteral("CallerInfo/Enable")).toInt(), 0);
        QCOMPARE(w->action(Command::CallInfo)->text(), QStringLiteral("&Enable caller information"));
        w.reset();

        // A stored 0 is read, not replaced by the first-start default.
        auto again = makeWindow();
        QVERIFY(!again->callerInfoEnabled());
        QCOMPARE(stored(QStringLiteral("CallerInfo/Enable")).toInt(), 0);
        again->action(Command::CallInfo)->trigger();
        QCOMPARE(stored(QStringLiteral("CallerInfo/Enable")).toInt(), 1);
        QCOMPARE(again->action(Command::CallInfo)->text(), QStringLiteral("&Disable caller information"));
    }

    // ------------------------------------------------------------ About

    void aboutVersionText_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("pbxVersion");
        QTest::addColumn<uint>("protocol");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing known") << 1 << QString() << 0u
                                       << "Program version 1.0Ad\nVaro Version : unknown\n\n"
                                          "Zemra1(PC) Version : 1.3\nZemra1(Varo) Version : unknown";
        QTest::newRow("both known") << 1 << "MPB 4.21b" << 0x0103u
                                    << "Program version 1.0Ad\nVaro Version : MPB 4.21b\n\n"
                                       "Zemra1(PC) Version : 1.3\nZemra1(Varo) Version : 1.3\n";
        QTest::newRow("high and low byte") << 1 << "X" << 0x00020Au
                                           << "Program version 1.0Ad\nVaro Version : X\n\n"
                                              "Zemra1(PC) Version : 1.3\nZemra1(Varo) Version : 2.10\n";
        QTest::newRow("local") << 2 << QString() << 0u
                               << "Programmversion 1.0Ad\nVaro Version : unbekannt\n\n"
                                  "Zemra1(PC) Version : 1.3\nZemra1(Varo) Version : unbekannt";
        QTest::newRow("symbol") << 0 << QString() << 0u
                                << "#:pgm_ver1.0Ad\nVaro #:version : #:unknown\n\n"
                                   "Zemra1(PC) #:version : 1.3\nZemra1(Varo) #:version : #:unknown";
    }

    void aboutVersionText()
    {
        QFETCH(int, mode);
        QFETCH(QString, pbxVersion);
        QFETCH(uint, protocol);
        QFETCH(QString, text);
        MessageCatalogue::setLanguageMode(mode);
        QCOMPARE(AboutDialog::versionText(pbxVersion, protocol), text);
    }

    void aboutKeyPadCodes()
    {
        auto w = makeWindow();
        w->show();
        w->action(Command::About)->trigger();
        AboutDialog *about = openDialog<AboutDialog>(w.get());
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("About Zarto"));
        QVERIFY(about->shownVersionText().startsWith(QStringLiteral("Program version 1.0Ad\n")));
        for (const QChar key : QStringLiteral("1234567890*#"))
            QVERIFY(about->keyButton(key));

        QSignalSpy logOn(&w->console().link(), &CLinkPort::logOnRequested);
        QSignalSpy sheet(about, &AboutDialog::testSheetRequested);
        QSignalSpy mail(about, &AboutDialog::mailRequested);

        clickKeys(about, QString::fromLatin1(AboutDialog::LogOnCode) + QLatin1Char('#'));
        QCOMPARE(logOn.count(), 1);
        QCOMPARE(about->bufferLength(), 0);

        clickKeys(about, QString::fromLatin1(AboutDialog::TestSheetCode) + QLatin1Char('#'));
        QCOMPARE(sheet.count(), 1);
        clickKeys(about, QString::fromLatin1(AboutDialog::MailCode) + QLatin1Char('#'));
        QCOMPARE(mail.count(), 1);

        // A code with anything before it is another buffer and does nothing.
        clickKeys(about, QStringLiteral("1") + QString::fromLatin1(AboutDialog::MailCode) + QLatin1Char('#'));
        clickKeys(about, QStringLiteral("#"));
        QCOMPARE(mail.count(), 1);
        QCOMPARE(logOn.count(), 1);
        QCOMPARE(sheet.count(), 1);

        // Past 1024 characters the buffer starts afresh, so a code typed then still works.
        for (int i = 0; i < AboutDialog::BufferLimit; ++i)
            QTest::mouseClick(about->keyButton(QLatin1Char('7')), Qt::LeftButton);
        QCOMPARE(about->bufferLength(), AboutDialog::BufferLimit);
        QTest::mouseClick(about->keyButton(QLatin1Char('7')), Qt::LeftButton);
        QCOMPARE(about->bufferLength(), 0);
        clickKeys(about, QString::fromLatin1(AboutDialog::MailCode) + QLatin1Char('#'));
        QCOMPARE(mail.count(), 2);

        QTest::mouseClick(about->findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);
        QTRY_VERIFY(!w->findChild<AboutDialog *>());
    }

    // ------------------------------------------------------------ language

    void languageDialogPreselects_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("checked");
        QTest::newRow("symbol") << 0 << "symbol";
        QTest::newRow("poor english") << 1 << "poorEnglish";
        QTest::newRow("local") << 2 << "local";
        QTest::newRow("unusable catalogue") << -1 << "poorEnglish";
    }

    void languageDialogPreselects()
    {
        QFETCH(int, mode);
        QFETCH(QString, checked);
        OpenDialogRegistry dialogs;
        LanguageDialog dialog(dialogs, mode);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Language Setting"));
        auto *radio = dialog.findChild<QRadioButton *>(checked);
        QVERIFY(radio);
        QVERIFY(radio->isChecked());
        QCOMPARE(dialog.chosenMode(), mode < 0 ? 1 : mode);
    }

    void languageOkRetitlesEverything()
    {
        auto w = makeWindow(LanguageMode::First);
        w->show();
        auto *queue = w->mdiArea()->addSubWindow(new QWidget);
        queue->setWindowTitle(QStringLiteral("Call queue"));
        w->childWindows().enter(ChildWindowTable::Queue, queue, QStringLiteral("#:queue_window_WINTITLE"));
        QSignalSpy changed(w.get(), &MainWindow::languageChanged);

        w->action(Command::Language)->trigger();
        LanguageDialog *dialog = openDialog<LanguageDialog>(w.get());
        QVERIFY(dialog);
        QCOMPARE(dialog->findChild<QPushButton *>(QStringLiteral("cancelButton"))->text(), QStringLiteral("Cancel"));
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("local")), Qt::LeftButton);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("okButton")), Qt::LeftButton);

        QCOMPARE(MessageCatalogue::languageMode(), 2);
        QCOMPARE(stored(QStringLiteral("Language/Mode")).toInt(), 2);
        QCOMPARE(w->windowTitle(), QStringLiteral("Zarto für Varo"));
        QCOMPARE(queue->windowTitle(), QStringLiteral("Anrufwarteschlange"));
        QCOMPARE(w->menuBar()->actions().first()->text(), QStringLiteral("&Datei"));
        QCOMPARE(w->action(Command::CallInfo)->text(), QStringLiteral("Anrufer&info ausschalten"));
        QCOMPARE(changed.count(), 1);

        // Symbol mode shows the keys again, code-set items included.
        w->applyLanguage(LanguageMode::Symbol);
        QCOMPARE(w->menuBar()->actions().first()->text(), QStringLiteral("#:file_MENU(&F)"));
        QCOMPARE(w->action(Command::DateFormat)->text(), QStringLiteral("#:dtf_initialize_dt_MENU"));
        QCOMPARE(queue->windowTitle(), QStringLiteral("#:queue_window_WINTITLE"));
        QCOMPARE(w->menuBar()->actions().size(), 7);
    }

    void languageCancelChangesNothing()
    {
        auto w = makeWindow(LanguageMode::First);
        w->show();
        w->action(Command::Language)->trigger();
        LanguageDialog *dialog = openDialog<LanguageDialog>(w.get());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("symbol")), Qt::LeftButton);
        QCOMPARE(dialog->chosenMode(), 0);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("cancelButton")), Qt::LeftButton);
        QCOMPARE(MessageCatalogue::languageMode(), 1);
        QVERIFY(!stored(QStringLiteral("Language/Mode")).isValid());
        QCOMPARE(w->windowTitle(), QStringLiteral("Zarto for Varo"));
        QCOMPARE(w->action(Command::Exit)->text(), QStringLiteral("E&xit"));
    }

    void logOffCompletionEndsTheOpenDialogAsOk()
    {
        auto w = makeWindow(LanguageMode::First);
        w->show();
        QVERIFY(!w->endModalDialog());
        w->action(Command::Language)->trigger();
        LanguageDialog *dialog = openDialog<LanguageDialog>(w.get());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->findChild<QRadioButton *>(QStringLiteral("local")), Qt::LeftButton);
        QVERIFY(w->endModalDialog());
        QCOMPARE(MessageCatalogue::languageMode(), 2);
        QTRY_VERIFY(!w->findChild<LanguageDialog *>());
        QVERIFY(!w->endModalDialog());
    }

    // ------------------------------------------------------------ messages

    void messagesOpenFromTheEventLoop()
    {
        auto w = makeWindow();
        w->showMessage(QStringLiteral("#:log_off_ok"), QStringLiteral("#:log_info"), 0);
        QVERIFY(m_boxes->boxes().isEmpty());
        QTRY_COMPARE(m_boxes->boxes().size(), 1);
        const MessageBoxAnswerer::Box box = m_boxes->boxes().first();
        QCOMPARE(box.text, QStringLiteral("The console has been logged off from the PBX."));
        QCOMPARE(box.title, QStringLiteral("Log-on information"));
        QCOMPARE(box.style, 0);
    }

    void questionsAnswerAtOnce_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::newRow("yes/no, yes") << 4 << 6 << 6;
        QTest::newRow("yes/no, no") << 4 << 7 << 7;
        QTest::newRow("yes/no exclamation") << 52 << 6 << 6;
        QTest::newRow("stop icon") << 16 << 6 << 1;
        QTest::newRow("exclamation") << 48 << 6 << 1;
        QTest::newRow("information") << 64 << 6 << 1;
    }

    void questionsAnswerAtOnce()
    {
        QFETCH(int, style);
        QFETCH(int, answer);
        QFETCH(int, result);
        auto w = makeWindow(LanguageMode::Symbol);
        m_boxes->setAnswer(answer);
        QCOMPARE(w->ask(QStringLiteral("#:Exit_to_logoff"), QStringLiteral("#:log_info"), style), result);
        QCOMPARE(m_boxes->boxes().size(), 1);
        QCOMPARE(m_boxes->boxes().first().text, QStringLiteral("#:Exit_to_logoff"));
        QCOMPARE(m_boxes->boxes().first().style, style);
    }

    // ------------------------------------------------------------ placement

    void maximisedWithoutStoredPlacement()
    {
        auto w = makeWindow();
        w->showAtStoredPlacement();
        QVERIFY(w->isVisible());
        QVERIFY(w->isMaximized());
    }

    void placementRoundTrip()
    {
        auto w = makeWindow();
        w->showAtStoredPlacement();
        w->showNormal();
        w->setGeometry(100, 120, 640, 480);
        QTRY_COMPARE(w->normalGeometry(), QRect(100, 120, 640, 480));
        w->action(Command::ViewToolBar)->trigger();
        QVERIFY(w->close());
        QCOMPARE(stored(QStringLiteral("MainFrame/rcNormalPosition.left")).toInt(), 100);
        QCOMPARE(stored(QStringLiteral("MainFrame/rcNormalPosition.bottom")).toInt(), 600);
        QCOMPARE(stored(QStringLiteral("MainFrame/showCmd")).toInt(), 1);
        w.reset();

        auto again = makeWindow();
        again->showAtStoredPlacement();
        QVERIFY(!again->isMaximized());
        QTRY_COMPARE(again->normalGeometry(), QRect(100, 120, 640, 480));
        QVERIFY(again->mainToolBar()->isHidden());
        QVERIFY(!again->action(Command::ViewToolBar)->isChecked());
        QVERIFY(!again->statusBar()->isHidden());
    }

    void minimisedComesBackNormal()
    {
        CSettingsSection section(QStringLiteral("MainFrame"));
        WindowPlacement p;
        p.showCmd = ShowCmd::Minimized;
        p.rcNormal = WinRect{50, 60, 850, 660};
        QVERIFY(section.writePlacement(p));
        auto w = makeWindow();
        w->showAtStoredPlacement();
        QVERIFY(!w->isMinimized());
        QVERIFY(!w->isMaximized());
        QTRY_COMPARE(w->normalGeometry(), QRect(50, 60, 800, 600));
    }

    // ------------------------------------------------------------ start-up

    void databaseFolderIsCreated()
    {
        const QString folder = QDir(m_work->path()).filePath(QStringLiteral("Database"));
        QVERIFY(!QFileInfo::exists(folder));
        auto w = makeWindow();
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(w->databaseFolderReady());
        QCOMPARE(QDir(w->databaseFolder()).canonicalPath(), QDir(folder).canonicalPath());
        w.reset();
        // An existing folder is simply used.
        auto again = makeWindow();
        QVERIFY(again->databaseFolderReady());
    }

    void databaseFolderBlockedDropsSilently()
    {
        QFile blocker(QDir(m_work->path()).filePath(QStringLiteral("Database")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto w = makeWindow();
        QVERIFY(!w->databaseFolderReady());
        QCoreApplication::processEvents();
        QVERIFY(m_boxes->boxes().isEmpty());
    }

    void popupRestoresMinimisedWindow()
    {
        auto w = makeWindow();
        w->show();
        w->showMinimized();
        QTRY_VERIFY(w->isMinimized());
        Q_EMIT w->console().popupRequested();
        QTRY_VERIFY(!w->isMinimized());
        QVERIFY(w->isVisible());
    }

    void displayResetClearsLcd()
    {
        auto w = makeWindow();
        w->lcdBar()->setUpperLine(QStringLiteral("ATD 200"));
        w->lcdBar()->setLowerLeft(QStringLiteral("12:00"));
        w->lcdBar()->setLowerRight(QStringLiteral("MON 01"));
        Q_EMIT w->console().displayReset();
        QVERIFY(w->lcdBar()->upperLine().isEmpty());
        QVERIFY(w->lcdBar()->lowerLeft().isEmpty());
        QVERIFY(w->lcdBar()->lowerRight().isEmpty());
    }

    // ------------------------------------------------------------ log-on status window

    void logStatusWindowShowsModel()
    {
        MessageCatalogue::setLanguageMode(LanguageMode::First);
        LogStatusModel model;
        model.open();
        LogStatusWindow window(model);
        QCOMPARE(window.windowTitle(), QStringLiteral("Log-on status"));
        QCOMPARE(window.findChildren<QGroupBox *>().first()->title(), QStringLiteral("System information download"));
        QCOMPARE(window.progressLabel()->text(), QStringLiteral("System Information"));
        QCOMPARE(window.downloadBar()->value(), 0);
        QCOMPARE(window.logOffButton()->text(), QStringLiteral("Log off"));
        QVERIFY(window.logOffButton()->isEnabled());
        QCOMPARE(window.speedBinGroup()->title(), QStringLiteral("Speed-bin initialisation"));
        for (QWidget *w : {static_cast<QWidget *>(window.uploadChoice()), static_cast<QWidget *>(window.downloadChoice()),
                           static_cast<QWidget *>(window.speedBinLabel()), static_cast<QWidget *>(window.startButton()),
                           static_cast<QWidget *>(window.skipButton())})
            QVERIFY(!w->isEnabled());

        model.setVersionLine(QStringLiteral("Varo Version : MPB 4.21b"));
        model.setProgress(QStringLiteral("#:LogStatusStaInfo"), 40);
        QCOMPARE(window.versionLabel()->text(), QStringLiteral("Varo Version : MPB 4.21b"));
        QCOMPARE(window.progressLabel()->text(), QStringLiteral("Station information"));
        QCOMPARE(window.downloadBar()->value(), 40);
        model.setSpeedBinRange(100, 299);
        QCOMPARE(window.speedBinBar()->minimum(), 100);
        QCOMPARE(window.speedBinBar()->maximum(), 299);
        QCOMPARE(window.speedBinBar()->value(), 100);

        model.switchToSpeedBinStage();
        QCOMPARE(window.downloadBar()->value(), 100);
        QVERIFY(!window.downloadBar()->isEnabled());
        QVERIFY(!window.progressLabel()->isEnabled());
        QVERIFY(!window.logOffButton()->isEnabled());
        QVERIFY(window.uploadChoice()->isEnabled());
        QVERIFY(window.startButton()->isEnabled());
        QVERIFY(window.skipButton()->isEnabled());
    }

    void logStatusWindowKeepsItsPlace()
    {
        LogStatusModel model;
        {
            LogStatusWindow first(model);
            first.show();
            first.setGeometry(140, 90, 420, 300);
            QTRY_COMPARE(first.normalGeometry(), QRect(140, 90, 420, 300));
            first.hide();
        }
        QCOMPARE(stored(QStringLiteral("LogStatus Frame/rcNormalPosition.left")).toInt(), 140);
        LogStatusWindow again(model);
        again.show();
        QTRY_COMPARE(again.normalGeometry(), QRect(140, 90, 420, 300));
    }

    void logStatusLogOffButtonSendsOnce()
    {
        LogStatusModel model;
        model.open();
        LogStatusWindow window(model);
        window.show();
        QSignalSpy asked(&window, &LogStatusWindow::logOffRequested);
        QTest::mouseClick(window.logOffButton(), Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QVERIFY(!window.logOffButton()->isEnabled());
        QTest::mouseClick(window.logOffButton(), Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
    }

    void logStatusWindowFollowsConsoleModel()
    {
        auto w = makeWindow();
        w->show();
        QVERIFY(!w->logStatusWindow());
        w->console().logStatus().open();
        QTRY_VERIFY(w->logStatusWindow() && w->logStatusWindow()->isVisible());
        QVERIFY(!w->logStatusWindow()->isModal());

        QSignalSpy logOff(&w->console().link(), &CLinkPort::logOffRequested);
        QTest::mouseClick(w->logStatusWindow()->logOffButton(), Qt::LeftButton);
        QCOMPARE(logOff.count(), 1);

        w->console().logStatus().close();
        QTRY_VERIFY(!w->logStatusWindow());
    }

    // ------------------------------------------------------------ a session over the LAN

    void logOnAndExitThroughTheLan()
    {
        PbxPeer pbx;
        CSettingsSection(QStringLiteral("Server")).writeString(QStringLiteral("History 0"), QStringLiteral("127.0.0.1"));
        QVERIFY(LinkConnection::storeType(LinkConnection::Lan));
        auto w = makeWindow();
        w->console().linkConnection()->setLanServerPort(pbx.port());
        w->show();

        const DefaultLayout before = DefaultLayout::current();
        w->action(Command::LogOn)->trigger();
        const QRect client = w->mdiArea()->viewport()->rect();
        QCOMPARE(DefaultLayout::current(),
                 recomputeLayout(before, WinRect{0, 0, client.width(), client.height()}));
        QTRY_VERIFY(pbx.received(LogOnRequest));
        pbx.send(LogOnAck);
        QTRY_VERIFY(w->console().isLoggedOn());

        QTRY_VERIFY(w->action(Command::LogOff)->isEnabled());
        QVERIFY(!w->action(Command::LogOn)->isEnabled());
        // The attendant's own station state is not known yet.
        QVERIFY(!w->action(Command::ClockSetting)->isEnabled());
        QVERIFY(!w->action(Command::DateFormat)->isEnabled());
        QTRY_VERIFY(w->logStatusWindow() && w->logStatusWindow()->isVisible());

        // The log-on code of the About box does nothing while logged on.
        QSignalSpy logOnAgain(&w->console().link(), &CLinkPort::logOnRequested);
        w->action(Command::About)->trigger();
        AboutDialog *about = openDialog<AboutDialog>(w.get());
        QVERIFY(about);
        clickKeys(about, QString::fromLatin1(AboutDialog::LogOnCode) + QLatin1Char('#'));
        QCOMPARE(logOnAgain.count(), 0);
        about->accept();

        // The key telephone: its window opens from the menu, and the PBX's
        // display characters reach the LCD bar.
        w->action(Command::ViewKeyTelephone)->trigger();
        QVERIFY(w->childWindows().isOpen(ChildWindowTable::KeyTelephone));
        QVERIFY(w->action(Command::ViewKeyTelephone)->isChecked());
        pbx.send(QByteArray::fromHex("824fff48824f4900"));
        QTRY_COMPARE(w->lcdBar()->upperLine().trimmed(), QStringLiteral("HI"));
        w->action(Command::ViewKeyTelephone)->trigger();
        QTRY_VERIFY(!w->childWindows().isOpen(ChildWindowTable::KeyTelephone));

        // The status button windows and the call queue open from the View menu;
        // the status windows close from it again.
        for (Command c : {Command::ViewStationWindow, Command::ViewCoWindow, Command::ViewQueue}) {
            w->action(c)->trigger();
            QVERIFY(w->action(c)->isChecked());
        }
        QVERIFY(w->childWindows().isOpen(ChildWindowTable::StationStatus));
        QVERIFY(w->childWindows().isOpen(ChildWindowTable::CoStatus));
        QVERIFY(w->childWindows().isOpen(ChildWindowTable::Queue));
        QCOMPARE(w->childWindows().window(ChildWindowTable::Queue)->windowTitle(), QStringLiteral("Call queue"));
        for (Command c : {Command::ViewStationWindow, Command::ViewCoWindow}) {
            w->action(c)->trigger();
            QTRY_VERIFY(!w->action(c)->isChecked());
        }
        QVERIFY(!w->childWindows().isOpen(ChildWindowTable::StationStatus));

        // Exit while logged on: the log-off goes out and the window stays.
        QVERIFY(!w->close());
        QVERIFY(w->isVisible());
        QVERIFY(w->console().exitPending());
        QTRY_VERIFY(pbx.received(LogOffRequest));
        pbx.send(LogOffAck);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 10000);
        QVERIFY(!w->logStatusWindow());
        QVERIFY(stored(QStringLiteral("MainFrame/rcNormalPosition.right")).isValid());
    }

    // ------------------------------------------------------------ single instance

    void secondStartRaisesTheFirst()
    {
        const QString dir = m_work->path();
        SingleInstance first(SingleInstance::instanceName(), dir);
        QCOMPARE(first.tryBecomePrimary(), SingleInstance::Start::Primary);
        QSignalSpy raise(&first, &SingleInstance::raiseRequested);

        SingleInstance second(SingleInstance::instanceName(), dir);
        QCOMPARE(second.tryBecomePrimary(), SingleInstance::Start::Secondary);
        QVERIFY(second.askPrimaryToRaise(2000));
        QTRY_COMPARE(raise.count(), 1);
    }

    void lockOfAVanishedInstanceIsTakenOver()
    {
        const QString dir = m_work->path();
        {
            SingleInstance gone(SingleInstance::instanceName(), dir);
            QFile lock(gone.lockFilePath());
            QVERIFY(lock.open(QIODevice::WriteOnly));
            // A process id that does not run, on this host.
            lock.write("2147483646\nzarto\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        SingleInstance next(SingleInstance::instanceName(), dir);
        QCOMPARE(next.tryBecomePrimary(), SingleInstance::Start::Primary);
        SingleInstance third(SingleInstance::instanceName(), dir);
        QCOMPARE(third.tryBecomePrimary(), SingleInstance::Start::Secondary);
    }

    // ------------------------------------------------------------ looks

    void screenshot()
    {
        auto w = makeWindow();
        w->resize(900, 600);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->lcdBar()->setUpperLine(QStringLiteral("ATD  200"));
        w->lcdBar()->setLowerLeft(QStringLiteral("MON 12 MAY"));
        w->lcdBar()->setLowerRight(QStringLiteral("10:42"));
        const QImage image = w->grab().toImage();
        QVERIFY(!image.isNull());
        // The bars sit below the menu and above the client area.
        QVERIFY(w->lcdToolBar()->geometry().top() >= w->mainToolBar()->geometry().bottom());
        QVERIFY(w->lcdBar()->width() > w->width() / 2);
        const QString path = qEnvironmentVariable("ZARTO_SCREENSHOT");
        if (!path.isEmpty())
            QVERIFY(image.save(path));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
