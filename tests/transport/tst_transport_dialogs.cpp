#include "FakeSerialDevice.h"
#include "Recorders.h"

#include "transport/CLanSocket.h"
#include "transport/CSerialPort.h"
#include "link/CLinkPort.h"
#include "transport/LinkConnection.h"
#include "transport/SerialSettings.h"
#include "transport/ui/ConnectionMethodDialog.h"
#include "transport/ui/SerialSettingsDialog.h"
#include "transport/ui/ServerDialog.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "ManualTimerHost.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

template <typename T> T *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<T *>(QString::fromLatin1(name));
}

void click(QWidget *dialog, const char *name)
{
    QAbstractButton *button = child<QAbstractButton>(dialog, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

int storedConnectType()
{
    return CSettingsSection(QStringLiteral("SavedConnectionType")).readInt(QStringLiteral("ConnectType"), -1);
}

} // namespace

class TestTransportDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<LinkConnection> m_connection;
    std::shared_ptr<FakeSerialLine> m_line;

private Q_SLOTS:
    void initTestCase()
    {
        // The console's own catalogue, so captions are looked up as in the console.
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        m_timers = std::make_unique<ManualTimerHost>();
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_link = std::make_unique<CLinkPort>(*m_timers, m_ui.get());
        m_connection = std::make_unique<LinkConnection>(*m_link, m_ui.get());
        m_line = std::make_shared<FakeSerialLine>();
        m_connection->setSerialDeviceFactory(fakeFactory(m_line));
    }

    void cleanup()
    {
        m_connection.reset();
        m_link.reset();
        QCOMPARE(m_ui->dialogs().openCount(), 0);
    }

    void serialDialogShowsAndStoresTheChoices()
    {
        SerialSettings before;
        before.port = QStringLiteral("COM3");
        before.baud = QStringLiteral("56k");
        before.parity = QStringLiteral("Even");
        before.xonXoff = true;
        QVERIFY(before.save());

        SerialSettingsDialog dialog(m_ui->dialogs(), m_connection->serialPort());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(m_ui->dialogs().openCount(), 1);
        QCOMPARE(dialog.windowTitle(), MessageCatalogue().text(QStringLiteral("#:portDlg_title")));
        QVERIFY(!dialog.windowTitle().startsWith(QStringLiteral("#:")));

        auto *port = child<QComboBox>(&dialog, "port");
        auto *baud = child<QComboBox>(&dialog, "baud");
        auto *parity = child<QComboBox>(&dialog, "parity");
        auto *stop = child<QComboBox>(&dialog, "stopBits");
        QVERIFY(port && baud && parity && stop);
        QCOMPARE(port->itemText(0), QStringLiteral("COM1"));
        QCOMPARE(port->itemText(3), QStringLiteral("COM4"));
        QVERIFY(port->isEnabled());
        QCOMPARE(port->currentText(), QStringLiteral("COM3"));
        QCOMPARE(baud->count(), 13);
        QCOMPARE(baud->currentText(), QStringLiteral("56k"));
        QCOMPARE(parity->count(), 5);
        QCOMPARE(parity->currentText(), QStringLiteral("Even"));
        QCOMPARE(stop->count(), 3);
        QCOMPARE(stop->currentText(), QStringLiteral("1"));
        QCOMPARE(child<QLabel>(&dialog, "dataBits")->text(), QStringLiteral("8"));
        QVERIFY(child<QCheckBox>(&dialog, "xonXoff")->isChecked());
        QVERIFY(!child<QCheckBox>(&dialog, "rtsCts")->isChecked());
        // Where DSR output flow control is missing, the dialog says so instead of pretending.
        auto *dsrNote = child<QLabel>(&dialog, "dsrNote");
        QCOMPARE(dsrNote != nullptr, !CSerialPort::dsrFlowControlAvailable());
        if (dsrNote) {
            QVERIFY(dsrNote->isVisible());
            QCOMPARE(dsrNote->text(), MessageCatalogue().text(QStringLiteral("#:portDlg_dsr_unavailable")));
            QVERIFY(!dsrNote->text().startsWith(QStringLiteral("#:")));
        }

        port->setCurrentIndex(1);
        baud->setCurrentIndex(SerialSettings::baudChoices().indexOf(QStringLiteral("19.2k")));
        parity->setCurrentIndex(2);
        stop->setCurrentIndex(2);
        click(&dialog, "rtsCts");
        click(&dialog, "xonXoff");
        click(&dialog, "ok");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.settingsApplied());
        const SerialSettings after = SerialSettings::load();
        QCOMPARE((QStringList{after.port, after.baud, after.parity, after.stopBits}),
                 (QStringList{"COM2", "19.2k", "Odd", "2"}));
        QVERIFY(!after.dtrDsr);
        QVERIFY(after.rtsCts);
        QVERIFY(!after.xonXoff);
        // The link's frame timing follows the stored rate also while the port is closed.
        QCOMPARE(m_link->framePeriod(), 520);
    }

    void serialDialogCancelChangesNothing()
    {
        SerialSettingsDialog dialog(m_ui->dialogs(), m_connection->serialPort());
        dialog.show();
        child<QComboBox>(&dialog, "baud")->setCurrentIndex(0);
        click(&dialog, "cancel");
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(SerialSettings::load(), SerialSettings());
        QVERIFY(!CSettingsSection(QStringLiteral("COM(Varo) port")).contains(QStringLiteral("Baud Rate")));
    }

    void serialDialogWhileThePortIsOpen_data()
    {
        QTest::addColumn<bool>("deviceRefuses");
        QTest::newRow("applied at once") << false;
        QTest::newRow("device refuses") << true;
    }
    void serialDialogWhileThePortIsOpen()
    {
        QFETCH(bool, deviceRefuses);
        m_connection->open(LinkConnection::Serial);
        QVERIFY(m_connection->isOpen(LinkConnection::Serial));

        SerialSettingsDialog dialog(m_ui->dialogs(), m_connection->serialPort());
        dialog.show();
        QVERIFY(!child<QComboBox>(&dialog, "port")->isEnabled());
        child<QComboBox>(&dialog, "baud")->setCurrentIndex(
            SerialSettings::baudChoices().indexOf(QStringLiteral("38.4k")));
        m_line->failConfigure = deviceRefuses;
        click(&dialog, "ok");

        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.settingsApplied(), !deviceRefuses);
        QCOMPARE(SerialSettings::load().baud, QStringLiteral("38.4k"));
        const QList<SerialSettings> configured = m_line->get(&FakeSerialLine::configured);
        QCOMPARE(configured.size(), 2);
        QCOMPARE(configured.last().baudRate(), 38400);
    }

    void serverDialogMovesTheAddressToTheTop_data()
    {
        QTest::addColumn<QString>("typed"); // empty: keep the selected one
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("selected entry") << QString() << QStringList{"10.0.0.1", "10.0.0.2", "pbx", "", "", ""};
        QTest::newRow("known entry") << "pbx" << QStringList{"pbx", "10.0.0.1", "10.0.0.2", "", "", ""};
        QTest::newRow("new entry") << " 192.168.1.9 "
                                   << QStringList{"192.168.1.9", "10.0.0.1", "10.0.0.2", "pbx", "", ""};
    }
    void serverDialogMovesTheAddressToTheTop()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QVERIFY(CLanSocket::saveHistory({"10.0.0.1", "10.0.0.2", "pbx"}));

        ServerDialog dialog(m_ui->dialogs(), CLanSocket::ServerPort);
        dialog.show();
        auto *address = child<QComboBox>(&dialog, "address");
        QVERIFY(address);
        QCOMPARE(address->count(), 3);
        QCOMPARE(address->currentText(), QStringLiteral("10.0.0.1"));
        QCOMPARE(child<QLineEdit>(&dialog, "portNumber")->text(), QStringLiteral("5627"));
        QVERIFY(child<QLineEdit>(&dialog, "portNumber")->isReadOnly());
        if (!typed.isEmpty()) {
            address->lineEdit()->selectAll();
            QTest::keyClicks(address->lineEdit(), typed);
        }
        click(&dialog, "ok");
        QVERIFY(dialog.settingsStored());
        QCOMPARE(CLanSocket::loadHistory(), expected);
    }

    void serverDialogCancel()
    {
        QVERIFY(CLanSocket::saveHistory({"a", "b"}));
        ServerDialog dialog(m_ui->dialogs(), CLanSocket::ServerPort);
        dialog.show();
        QTest::keyClicks(child<QComboBox>(&dialog, "address")->lineEdit(), "zzz");
        click(&dialog, "cancel");
        QCOMPARE(CLanSocket::loadHistory(), (QStringList{"a", "b", "", "", "", ""}));
    }

    void logOffEndsTheDialogAsIfOk()
    {
        QVERIFY(CLanSocket::saveHistory({"a", "b"}));
        ServerDialog dialog(m_ui->dialogs(), CLanSocket::ServerPort);
        dialog.show();
        child<QComboBox>(&dialog, "address")->setCurrentIndex(1);
        QCOMPARE(m_ui->dialogs().endAll(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(CLanSocket::loadHistory(), (QStringList{"b", "a", "", "", "", ""}));
    }

    void connectionDialogStoresTheType()
    {
        QVERIFY(m_connection->setConnectionType(LinkConnection::Lan));
        ConnectionMethodDialog dialog(m_ui->dialogs(), *m_connection, m_ui.get());
        dialog.show();
        auto *serial = child<QRadioButton>(&dialog, "serial");
        auto *lan = child<QRadioButton>(&dialog, "lan");
        QVERIFY(serial && lan);
        QVERIFY(lan->isChecked());

        // A click stores the choice at once; the current type changes only with OK.
        click(&dialog, "serial");
        QCOMPARE(storedConnectType(), 0);
        QCOMPARE(m_connection->connectionType(), 1);
        click(&dialog, "lan");
        QCOMPARE(storedConnectType(), 1);
        // The arrow keys choose as well.
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        lan->setFocus();
        QTest::keyClick(lan, Qt::Key_Up);
        QVERIFY(serial->isChecked());
        QCOMPARE(storedConnectType(), 0);
        click(&dialog, "ok");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(m_connection->connectionType(), 0);
        QCOMPARE(storedConnectType(), 0);
        QVERIFY(m_ui->shown.isEmpty());
    }

    void connectionDialogSettingsButton_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("shown");
        const int accepted = int(ConfigureResult::Accepted);
        const int cancelled = int(ConfigureResult::Cancelled);
        const int failed = int(ConfigureResult::Failed);
        QTest::newRow("serial accepted") << 0 << accepted << QStringList();
        QTest::newRow("serial cancelled") << 0 << cancelled << QStringList();
        QTest::newRow("serial failed") << 0 << failed << QStringList{"#:comport_setting_fail", "#:comport_info"};
        QTest::newRow("LAN accepted") << 1 << accepted << QStringList();
        QTest::newRow("LAN failed") << 1 << failed << QStringList{"#:lanport_setting_fail", "#:lanport_info"};
    }
    void connectionDialogSettingsButton()
    {
        QFETCH(int, type);
        QFETCH(int, result);
        QFETCH(QStringList, shown);
        ConnectionMethodDialog dialog(m_ui->dialogs(), *m_connection, m_ui.get());
        QList<int> asked;
        dialog.setConfigure([&](int t, const ConfigureDone &done) {
            asked.append(t);
            done(ConfigureResult(result));
        });
        dialog.show();
        click(&dialog, type == 1 ? "lan" : "serial");
        CSettingsSection(QStringLiteral("SavedConnectionType")).writeInt(QStringLiteral("ConnectType"), 1 - type);
        click(&dialog, "settings");
        QCOMPARE(asked, QList<int>{type});
        // The settings button stores the selected type before it opens the settings.
        QCOMPARE(storedConnectType(), type);
        QStringList seen;
        for (const auto &s : m_ui->shown) {
            seen << s.text << s.title;
            QCOMPARE(s.style, 48);
        }
        QCOMPARE(seen, shown);
        QVERIFY(dialog.isVisible());
        click(&dialog, "cancel");
    }

    void settingsDialogsOpenWithoutBlocking()
    {
        // ConfigureLink returns at once; the result comes when the dialog ends.
        // A log-off ends it as if OK had been pressed.
        QVERIFY(CLanSocket::saveHistory({"a"}));
        QWidget owner;
        owner.show();
        QList<ConfigureResult> results;
        const auto note = [&results](ConfigureResult r) { results.append(r); };
        configureLink(m_ui->dialogs(), *m_connection, LinkConnection::Lan, &owner, note);
        auto *server = owner.findChild<ServerDialog *>();
        QVERIFY(server && server->isVisible() && server->isModal());
        QVERIFY(results.isEmpty());
        QCOMPARE(m_ui->dialogs().endAll(), 1);
        QCOMPARE(results, QList<ConfigureResult>{ConfigureResult::Accepted});

        configureLink(m_ui->dialogs(), *m_connection, LinkConnection::Serial, &owner, note);
        QTRY_VERIFY(owner.findChild<SerialSettingsDialog *>());
        click(owner.findChild<SerialSettingsDialog *>(), "cancel");
        QCOMPARE(results.last(), ConfigureResult::Cancelled);
        // Each dialog goes once it has ended.
        QTRY_VERIFY(!owner.findChild<QDialog *>());
    }
};

QTEST_MAIN(TestTransportDialogs)
#include "tst_transport_dialogs.moc"
