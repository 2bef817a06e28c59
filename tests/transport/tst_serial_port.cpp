#include "FakeSerialDevice.h"
#include "Recorders.h"

#include "link/CLinkPort.h"
#include "transport/CSerialPort.h"
#include "link/Frame.h"
#include "transport/SerialSettings.h"
#include "base/SettingsSection.h"
#include "ManualTimerHost.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

namespace {

QByteArray frameOf(const QByteArray &payload)
{
    QByteArray out;
    Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, payload, out);
    return out;
}

QByteArray pattern(int size, char seed)
{
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char(seed + i % 23);
    return out;
}

void storeBaud(const QString &text)
{
    SerialSettings s = SerialSettings::load();
    s.baud = text;
    QVERIFY(s.save());
}

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<CSerialPort> m_port;
    std::shared_ptr<FakeSerialLine> m_line;

    void openFake()
    {
        QVERIFY(m_port->open());
        QVERIFY(m_port->isOpen());
    }

private Q_SLOTS:
    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        m_timers = std::make_unique<ManualTimerHost>();
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_link = std::make_unique<CLinkPort>(*m_timers, m_ui.get());
        m_port = std::make_unique<CSerialPort>(*m_link);
        m_link->setSerialPort(m_port.get());
        m_line = std::make_shared<FakeSerialLine>();
        m_port->setDeviceFactory(fakeFactory(m_line));
    }

    void cleanup()
    {
        m_port.reset();
        m_link.reset();
        QVERIFY(m_ui->shown.isEmpty());
    }

    void storedSettings_data()
    {
        QTest::addColumn<QStringList>("stored"); // port, baud, parity, stop bits; empty = not stored
        QTest::addColumn<int>("flags");          // DTR/DSR, RTS/CTS, XON/XOFF as bits 0..2
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QString>("device");

        QTest::newRow("nothing stored") << QStringList() << 0 << QStringList{"COM1", "9600", "None", "1"}
                                        << "/dev/ttyS0";
        QTest::newRow("listed choices") << QStringList{"COM3", "19.2k", "Even", "1.5"} << 5
                                        << QStringList{"COM3", "19.2k", "Even", "1.5"} << "/dev/ttyS2";
        QTest::newRow("COM4, last rate") << QStringList{"COM4", "256k", "Space", "2"} << 2
                                         << QStringList{"COM4", "256k", "Space", "2"} << "/dev/ttyS3";
        QTest::newRow("device path") << QStringList{"/dev/ttyUSB0", "110", "Mark", "1"} << 0
                                     << QStringList{"/dev/ttyUSB0", "110", "Mark", "1"} << "/dev/ttyUSB0";
        QTest::newRow("unlisted texts fall back") << QStringList{"COM5", "19200", "none", "3"} << 0
                                                  << QStringList{"COM1", "9600", "None", "1"} << "/dev/ttyS0";
        QTest::newRow("bare slash is no path") << QStringList{"/", "14.4K", "", " 1"} << 7
                                               << QStringList{"COM1", "9600", "None", "1"} << "/dev/ttyS0";
    }
    void storedSettings()
    {
        QFETCH(QStringList, stored);
        QFETCH(int, flags);
        QFETCH(QStringList, loaded);
        QFETCH(QString, device);

        CSettingsSection section(QStringLiteral("COM(Varo) port"));
        if (!stored.isEmpty()) {
            section.writeString(QStringLiteral("Port Number"), stored[0]);
            section.writeString(QStringLiteral("Baud Rate"), stored[1]);
            section.writeString(QStringLiteral("Parity"), stored[2]);
            section.writeString(QStringLiteral("Stop Bits"), stored[3]);
        }
        section.writeInt(QStringLiteral("DTR/DSR"), flags & 1);
        section.writeInt(QStringLiteral("RTS/CTS"), (flags >> 1) & 1);
        section.writeInt(QStringLiteral("XON/XOFF"), (flags >> 2) & 1);

        const SerialSettings s = SerialSettings::load();
        QCOMPARE((QStringList{s.port, s.baud, s.parity, s.stopBits}), loaded);
        QCOMPARE(s.dtrDsr, bool(flags & 1));
        QCOMPARE(s.rtsCts, bool(flags & 2));
        QCOMPARE(s.xonXoff, bool(flags & 4));
        QCOMPARE(s.deviceName(), device);

        // What is saved reads back the same.
        QVERIFY(s.save());
        QCOMPARE(SerialSettings::load(), s);
    }

    void choiceValues()
    {
        const QList<int> rates{110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 128000, 256000};
        QCOMPARE(SerialSettings::baudChoices().size(), rates.size());
        for (int i = 0; i < rates.size(); ++i) {
            SerialSettings s;
            s.baud = SerialSettings::baudChoices().at(i);
            QCOMPARE(s.baudRate(), rates.at(i));
        }
        const QList<QSerialPort::Parity> parities{QSerialPort::NoParity, QSerialPort::EvenParity,
                                                  QSerialPort::OddParity, QSerialPort::MarkParity,
                                                  QSerialPort::SpaceParity};
        for (int i = 0; i < parities.size(); ++i) {
            SerialSettings s;
            s.parity = SerialSettings::parityChoices().at(i);
            QCOMPARE(s.parityValue(), parities.at(i));
        }
        const QList<QSerialPort::StopBits> stops{QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                 QSerialPort::TwoStop};
        for (int i = 0; i < stops.size(); ++i) {
            SerialSettings s;
            s.stopBits = SerialSettings::stopBitsChoices().at(i);
            QCOMPARE(s.stopBitsValue(), stops.at(i));
        }
    }

    void openProgramsDeviceAndTiming_data()
    {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("framePeriod");
        QTest::addColumn<bool>("paced");
        QTest::newRow("110") << "110" << 110 << 1000 << false;
        QTest::newRow("9600") << "9600" << 9600 << 1000 << false;
        QTest::newRow("14.4k") << "14.4k" << 14400 << 694 << true;
        QTest::newRow("19.2k") << "19.2k" << 19200 << 520 << true;
        QTest::newRow("56k") << "56k" << 56000 << 178 << true;
        QTest::newRow("256k") << "256k" << 256000 << 39 << true;
    }
    void openProgramsDeviceAndTiming()
    {
        QFETCH(QString, baud);
        QFETCH(int, rate);
        QFETCH(int, framePeriod);
        QFETCH(bool, paced);
        storeBaud(baud);

        QSignalSpy busy(m_port.get(), &CSerialPort::busyChanged);
        openFake();
        QCOMPARE(m_line->get(&FakeSerialLine::openedName), QStringLiteral("/dev/ttyS0"));
        const QList<SerialSettings> configured = m_line->get(&FakeSerialLine::configured);
        QCOMPARE(configured.size(), 1);
        QCOMPARE(configured.first().baudRate(), rate);
        QCOMPARE(m_link->framePeriod(), framePeriod);
        QCOMPARE(m_port->pacingPause(), paced ? 2 : 0);
        QCOMPARE(m_port->pacingMaxWrite(), paced ? 3 : 0);
        // The fake has no modem lines: DTR fails and the port is open all the same.
        QCOMPARE(m_line->get(&FakeSerialLine::dtr), QList<bool>{true});

        m_port->close();
        QVERIFY(!m_port->isOpen());
        QCOMPARE(m_line->get(&FakeSerialLine::dtr), (QList<bool>{true, false}));
        QCOMPARE(m_line->get(&FakeSerialLine::closeCount), 1);
        // The wait cursor is shown while opening and again while closing.
        QList<bool> busyStates;
        for (const QList<QVariant> &args : busy)
            busyStates.append(args.first().toBool());
        QCOMPARE(busyStates, (QList<bool>{true, false, true, false}));
        QCOMPARE(m_line->get(&FakeSerialLine::destroyedCount), 1);
    }

    void openFailures_data()
    {
        QTest::addColumn<bool>("failOpen");
        QTest::addColumn<int>("closes");
        QTest::newRow("device does not open") << true << 0;
        QTest::newRow("device refuses the settings") << false << 1;
    }
    void openFailures()
    {
        QFETCH(bool, failOpen);
        QFETCH(int, closes);
        m_line->failOpen = failOpen;
        m_line->failConfigure = !failOpen;

        QVERIFY(!m_port->open());
        QVERIFY(!m_port->isOpen());
        QVERIFY(!m_port->sendFrame(QByteArray("abc")));
        QCOMPARE(m_line->get(&FakeSerialLine::closeCount), closes);
        QCOMPARE(m_line->get(&FakeSerialLine::destroyedCount), 1);

        // A later open with a working device succeeds.
        m_line->failOpen = false;
        m_line->failConfigure = false;
        openFake();
    }

    void applySettingsWhileOpen()
    {
        openFake();
        storeBaud(QStringLiteral("38.4k"));
        QVERIFY(m_port->applySettings());
        QCOMPARE(m_line->get(&FakeSerialLine::configured).last().baudRate(), 38400);
        QCOMPARE(m_link->framePeriod(), 260);

        m_line->failConfigure = true;
        QVERIFY(!m_port->applySettings());
        QVERIFY(m_port->isOpen());
    }

    void frameThatDoesNotFitIsRefusedWhole()
    {
        m_line->stallWrites = true;
        m_line->stallMs = 10000;
        openFake();

        QByteArray accepted = pattern(70, 'A');
        QVERIFY(m_port->sendFrame(accepted));
        // The writer holds the first frame in a write that does not complete.
        QTRY_VERIFY(m_line->get(&FakeSerialLine::writeInProgress));
        for (int i = 1; i < 58; ++i) {
            const QByteArray frame = pattern(70, char('a' + i % 20));
            QVERIFY(m_port->sendFrame(frame));
            accepted += frame;
        }
        QCOMPARE(m_port->freeSpace(), CSerialPort::RingCapacity - 58 * 70);
        QCOMPARE(m_port->freeSpace(), 35);

        QVERIFY(!m_port->sendFrame(pattern(36, '0')));
        QCOMPARE(m_port->freeSpace(), 35);
        const QByteArray exact = pattern(35, 'x');
        QVERIFY(m_port->sendFrame(exact));
        accepted += exact;
        QCOMPARE(m_port->freeSpace(), 0);
        QVERIFY(!m_port->sendFrame(QByteArray(1, 'z')));

        {
            QMutexLocker l(&m_line->lock);
            m_line->stallWrites = false;
        }
        m_line->releaseWrite();
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written).size(), accepted.size());
        QCOMPARE(m_line->get(&FakeSerialLine::written), accepted);
        QTRY_COMPARE(m_port->freeSpace(), CSerialPort::RingCapacity);

        // The write position has wrapped: a frame across the end goes out whole and in order.
        const QByteArray across = pattern(10, 'q');
        QVERIFY(m_port->sendFrame(across));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), accepted + across);
    }

    void writerPacing_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<QList<int>>("writes");
        QTest::newRow("9600: one write") << 9600 << QList<int>{10};
        QTest::newRow("14.4k: three bytes at a time") << 14400 << QList<int>{3, 3, 3, 1};
        QTest::newRow("256k: three bytes at a time") << 256000 << QList<int>{3, 3, 3, 1};
    }
    void writerPacing()
    {
        QFETCH(int, baud);
        QFETCH(QList<int>, writes);
        openFake();
        m_link->setTiming(baud);

        const QByteArray frame = pattern(10, 'k');
        QVERIFY(m_port->sendFrame(frame));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), frame);
        QCOMPARE(m_line->get(&FakeSerialLine::writeSizes), writes);
        const QList<qint64> starts = m_line->get(&FakeSerialLine::writeStartNs);
        for (int i = 1; i < starts.size(); ++i)
            QVERIFY2(starts[i] - starts[i - 1] >= 1'500'000, "the writer pauses 2 ms before each write");
    }

    void failedWriteEndsTheDrainRound()
    {
        m_line->failDtr = false;
        m_line->failWrites = 1;
        openFake();
        const int clearedAtOpen = m_line->get(&FakeSerialLine::clearErrorCount);

        const QByteArray first = frameOf("first");
        QVERIFY(m_port->sendFrame(first));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::clearErrorCount), clearedAtOpen + 1);
        QCOMPARE(m_line->get(&FakeSerialLine::written), QByteArray());

        // The frame stayed queued and goes out, in order, with the next wake-up.
        const QByteArray second = frameOf("second");
        QVERIFY(m_port->sendFrame(second));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), first + second);
    }

    void receivedBlocksReachTheLinkInOrder()
    {
        openFake();
        QList<QByteArray> payloads;
        QList<QThread *> threads;
        connect(m_link.get(), &CLinkPort::dataReceived, this, [&](const QByteArray &payload) {
            payloads.append(payload);
            threads.append(QThread::currentThread());
        });

        const QList<QByteArray> sent{pattern(63, 'a'), pattern(40, 'b'), QByteArray("\x01", 1), pattern(63, 'c'),
                                     QByteArray()};
        QByteArray stream;
        for (const QByteArray &p : sent)
            stream += frameOf(p);
        m_line->feed(stream.left(100));
        m_line->feed(stream.mid(100));

        QTRY_COMPARE(payloads.size(), sent.size());
        QCOMPARE(payloads, sent);
        for (QThread *t : threads)
            QCOMPARE(t, QThread::currentThread());
        const QList<int> reads = m_line->get(&FakeSerialLine::readSizes);
        int total = 0;
        for (int n : reads) {
            QVERIFY(n > 0 && n <= CSerialPort::ReadBlock);
            total += n;
        }
        QCOMPARE(total, stream.size());
        QCOMPARE(m_line->get(&FakeSerialLine::deviceThread) == QThread::currentThreadId(), false);
    }

    void closeWhileTheWriterIsMidWrite()
    {
        m_line->stallWrites = true;
        m_line->stallMs = 300;
        openFake();
        QVERIFY(m_port->sendFrame(frameOf("slow")));
        QTRY_VERIFY(m_line->get(&FakeSerialLine::writeInProgress));

        m_port->close();
        // close() returned only after the write had completed and the worker
        // had shut the device and ended.
        QCOMPARE(m_line->get(&FakeSerialLine::writesFinished), 1);
        QCOMPARE(m_line->get(&FakeSerialLine::closeCount), 1);
        QCOMPARE(m_line->get(&FakeSerialLine::destroyedCount), 1);
        QVERIFY(!m_port->isOpen());
        QVERIFY(!m_port->sendFrame(frameOf("late")));
    }

    void waitingForTheWorkerRunsThePendingDispatch_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("close") << true;
        QTest::newRow("apply settings") << false;
    }
    void waitingForTheWorkerRunsThePendingDispatch()
    {
        QFETCH(bool, close);
        openFake();
        QSignalSpy spy(m_link.get(), &CLinkPort::dataReceived);
        m_line->feed(frameOf("one") + frameOf("two"));
        // The worker has read the block and now waits for this thread to
        // dispatch; this thread does not run its event loop.
        QVERIFY(m_line->readDone.tryAcquire(1, 5000));
        if (close) {
            m_port->close();
            // A close may drop what the reader parsed, never reorder it.
            QVERIFY(spy.count() <= 2);
        } else {
            QVERIFY(m_port->applySettings());
            QCOMPARE(spy.count(), 2);
        }
        const QList<QByteArray> expected{"one", "two"};
        for (int i = 0; i < spy.count(); ++i)
            QCOMPARE(spy.at(i).at(0).toByteArray(), expected.at(i));
    }

    void closeFromInsideTheDispatchOfAPayload()
    {
        openFake();
        QList<QByteArray> seen;
        connect(m_link.get(), &CLinkPort::dataReceived, this, [&](const QByteArray &payload) {
            seen.append(payload);
            if (m_port->isOpen())
                m_port->close();
        });
        m_line->feed(frameOf("log off") + frameOf("after the close"));
        QTRY_VERIFY(!seen.isEmpty());
        QVERIFY(!m_port->isOpen());
        QCOMPARE(seen.first(), QByteArray("log off"));
        QCOMPARE(m_line->get(&FakeSerialLine::destroyedCount), 1);

        // The link takes payloads of a later open again.
        openFake();
        m_line->feed(frameOf("again"));
        QTRY_COMPARE(seen.last(), QByteArray("again"));
    }

    void reopenAfterClose()
    {
        openFake();
        QVERIFY(m_port->sendFrame(frameOf("a")));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), frameOf("a"));
        m_port->close();
        m_port->close();
        openFake();
        QCOMPARE(m_port->freeSpace(), CSerialPort::RingCapacity);
        QVERIFY(m_port->sendFrame(frameOf("b")));
        QTRY_COMPARE(m_line->get(&FakeSerialLine::written), frameOf("a") + frameOf("b"));
        QCOMPARE(m_line->get(&FakeSerialLine::openCount), 2);
    }

    void overAPseudoTerminal()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0)
            QSKIP("no pseudo terminals here");
        QVERIFY(::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(::ptsname(master));
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        auto closeMaster = qScopeGuard([master] { ::close(master); });

        SerialSettings s;
        s.port = slave;
        s.baud = QStringLiteral("19.2k");
        QVERIFY(s.save());
        m_port->setDeviceFactory({});
        QVERIFY2(m_port->open(), qPrintable(slave));

        QByteArray fromConsole;
        auto readMaster = [&] {
            char buf[256];
            for (;;) {
                const ssize_t n = ::read(master, buf, sizeof buf);
                if (n <= 0)
                    break;
                fromConsole.append(buf, int(n));
            }
            return fromConsole;
        };
        QVERIFY(m_link->sendDataPacket(QByteArray("\x00\x0b", 2)));
        QTRY_COMPARE(readMaster(), QByteArray::fromHex("baec90c2000ba6bc"));

        QSignalSpy spy(m_link.get(), &CLinkPort::dataReceived);
        const QByteArray frame = frameOf("from the PBX");
        QCOMPARE(::write(master, frame.constData(), size_t(frame.size())), ssize_t(frame.size()));
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toByteArray(), QByteArray("from the PBX"));

        m_port->close();
        QVERIFY(!m_port->isOpen());
    }
};

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serial_port.moc"
