#include "FakeTransport.h"
#include "Recorders.h"

#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "ManualTimerHost.h"
#include "base/TimerIds.h"

#include <QSignalSpy>
#include <QTest>

using Zemra1::FrameParser;

namespace {
struct Delivered
{
    quint16 type;
    QByteArray payload;
    bool operator==(const Delivered &o) const { return type == o.type && payload == o.payload; }
};

struct Collector : FrameParser::Listener
{
    QList<Delivered> frames;
    int started = 0;
    int abandoned = 0;
    void frameStarted() override { ++started; }
    void frameAbandoned() override { ++abandoned; }
    void frameReceived(quint16 type, const char *p, int n) override { frames.append({type, QByteArray(p, n)}); }
};

QByteArray frameOf(quint16 type, const QByteArray &payload)
{
    QByteArray out;
    Zemra1::buildFrame(type, payload, out);
    return out;
}
} // namespace

Q_DECLARE_METATYPE(QList<Delivered>)

class TestFrame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_timers = std::make_unique<ManualTimerHost>(); }

    void buildKnownFrames_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("empty data frame") << 16 << QByteArray() << hex("BA EC 90 C0 AF BC");
        QTest::newRow("log-on request") << 16 << hex("00 0B") << hex("BA EC 90 C2 00 0B A6 BC");
        QTest::newRow("type 127 two-byte form") << 127 << QByteArray() << hex("BA EC 00 7F C0 40 BC");
        QTest::newRow("type 300") << 300 << QByteArray() << hex("BA EC 01 2C C0 12 BC");
        QTest::newRow("type 126 one byte") << 126 << QByteArray() << hex("BA EC FE C0 C1 BC");
    }
    void buildKnownFrames()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QByteArray out;
        QVERIFY(Zemra1::buildFrame(quint16(type), payload, out));
        QCOMPARE(out.toHex(' '), frame.toHex(' '));
    }

    void lengthByte_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("byte");
        QTest::newRow("0") << 0 << 0xC0;
        QTest::newRow("1") << 1 << 0x81;
        QTest::newRow("32") << 32 << 0x60;
        QTest::newRow("33") << 33 << 0x21;
        QTest::newRow("63") << 63 << 0x3F;
    }
    void lengthByte()
    {
        QFETCH(int, length);
        QFETCH(int, byte);
        QCOMPARE(int(Zemra1::lengthByte(length)), byte);
        QVERIFY(Zemra1::lengthByteValid(quint8(byte)));
        // In the frame the length byte follows the one-byte type.
        QByteArray out;
        QVERIFY(Zemra1::buildFrame(16, QByteArray(length, 'x'), out));
        QCOMPARE(int(quint8(out.at(3))), byte);
        QCOMPARE(out.size(), length + 6);
    }

    void lengthCheckBitsAcceptExactlyTheEncodedBytes()
    {
        int valid = 0;
        for (int b = 0; b < 256; ++b) {
            if (Zemra1::lengthByteValid(quint8(b))) {
                ++valid;
                QCOMPARE(int(Zemra1::lengthByte(b & 0x3F)), b);
            }
        }
        QCOMPARE(valid, 64);
    }

    void buildRefusesWhatCannotBeSent()
    {
        QByteArray out("untouched");
        QVERIFY(!Zemra1::buildFrame(16, QByteArray(64, 'x'), out));
        QVERIFY(!Zemra1::buildFrame(0x8000, QByteArray(), out));
        QCOMPARE(out, QByteArray("untouched"));
        QVERIFY(Zemra1::buildFrame(0x7FFF, QByteArray(63, 'x'), out));
        QCOMPARE(out.size(), Zemra1::kMaxFrame);
    }

    void parseStreams_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<Delivered>>("expected");
        const QList<Delivered> one{{16, QByteArray()}};
        QTest::newRow("empty data frame") << hex("BA EC 90 C0 AF BC") << one;
        QTest::newRow("second start re-fed") << hex("BA BA EC 90 C0 AF BC") << one;
        QTest::newRow("BA EC BA EC is type 0x3A then bad length")
            << hex("BA EC BA EC 90 C0 AF BC") << QList<Delivered>();
        QTest::newRow("type byte FF discards") << (hex("BA EC FF") + hex("BA EC 90 C0 AF BC")) << one;
        QTest::newRow("bad check byte") << hex("BA EC 90 C0 AE BC") << QList<Delivered>();
        QTest::newRow("bad end byte") << hex("BA EC 90 C0 AF BD") << QList<Delivered>();
        QTest::newRow("end byte BA opens next frame")
            << (hex("BA EC 90 C0 AF") + hex("BA EC 90 C0 AF BC")) << one;
        QTest::newRow("noise between frames")
            << (hex("00 11 BC EC") + frameOf(16, hex("00 01")) + hex("FF BA 7F") + frameOf(31, hex("03 05")))
            << QList<Delivered>{{16, hex("00 01")}, {31, hex("03 05")}};
        QTest::newRow("two-byte types") << (frameOf(127, "a") + frameOf(300, "bc"))
                                        << QList<Delivered>{{127, "a"}, {300, "bc"}};
        QTest::newRow("largest payload") << frameOf(0x7FFF, QByteArray(63, '\xBA'))
                                         << QList<Delivered>{{0x7FFF, QByteArray(63, '\xBA')}};
        QTest::newRow("payload of start and end bytes")
            << frameOf(16, hex("BA EC BC BA")) << QList<Delivered>{{16, hex("BA EC BC BA")}};
    }
    void parseStreams()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<Delivered>, expected);
        Collector c;
        FrameParser parser(&c);
        parser.feed(stream.constData(), int(stream.size()));
        QCOMPARE(c.frames.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(c.frames.at(i).type, expected.at(i).type);
            QCOMPARE(c.frames.at(i).payload.toHex(' '), expected.at(i).payload.toHex(' '));
        }
        QCOMPARE(parser.state(), 0);
    }

    void roundTripEveryLengthAndTypeForm()
    {
        Collector c;
        FrameParser parser(&c);
        for (const quint16 type : {quint16(14), quint16(16), quint16(126), quint16(127), quint16(0x1234), quint16(0x7FFF)}) {
            for (int len = 0; len <= 63; ++len) {
                QByteArray payload(len, Qt::Uninitialized);
                for (int i = 0; i < len; ++i)
                    payload[i] = char((i * 37 + type) & 0xFF);
                const QByteArray f = frameOf(type, payload);
                parser.feed(f.constData(), int(f.size()));
                QCOMPARE(c.frames.size(), 1);
                QCOMPARE(c.frames.first().type, type);
                QCOMPARE(c.frames.first().payload, payload);
                c.frames.clear();
            }
        }
    }

    void parserTracksFrameTimer()
    {
        Collector c;
        FrameParser parser(&c);
        parser.feed(hex("00 01 02").constData(), 3);
        QCOMPARE(c.started, 0);
        parser.feed(hex("BA EC 90").constData(), 3);
        QCOMPARE(c.started, 1);
        QCOMPARE(c.abandoned, 0);
        parser.resync();
        QCOMPARE(c.abandoned, 1);
        QCOMPARE(parser.state(), 0);
    }

    // --- CLinkPort -----------------------------------------------------------

    void dataFramesAreDeliveredAtOnceEchoesArePosted()
    {
        OperatorUiRecorder ui;
        CLinkPort link(*m_timers, &ui);
        FakeTransport lan;
        link.setLanConnection(&lan);
        QSignalSpy data(&link, &CLinkPort::dataReceived);
        QSignalSpy echo(&link, &CLinkPort::echoReceived);
        QSignalSpy echoReply(&link, &CLinkPort::echoReplyReceived);

        const QByteArray stream = frameOf(16, hex("00 01")) + frameOf(14, "beep") + frameOf(15, "pong")
            + frameOf(20, "ignored") + frameOf(31, hex("03 05"));
        link.receivedBytes(&lan, stream.constData(), int(stream.size()));
        QCOMPARE(data.count(), 2);
        QCOMPARE(data.at(0).at(0).toByteArray(), hex("00 01"));
        QCOMPARE(data.at(1).at(0).toByteArray(), hex("03 05"));
        QCOMPARE(echo.count(), 0);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(echo.count(), 1);
        QCOMPARE(echo.at(0).at(0).toByteArray(), QByteArray("beep"));
        QCOMPARE(echoReply.count(), 1);
        QCOMPARE(echoReply.at(0).at(0).toByteArray(), QByteArray("pong"));
        QVERIFY(ui.shown.isEmpty());
    }

    void statusFrameTraceLines()
    {
        TraceRecorder trace;
        CLinkPort link(*m_timers);
        link.feedByte(0); // nothing
        const QByteArray f = frameOf(31, hex("03 05"));
        for (const char b : f)
            link.feedByte(quint8(b));
        QCOMPARE(trace.texts(), QStringList({"ORLO_PTYPE_STATUS : Packet processed",
                                             "ORLO_PTYPE_STATUS : Packet Bypassed to Subport"}));
    }

    void bytesFromUnknownSourceAreRefused()
    {
        OperatorUiRecorder ui;
        CLinkPort link(*m_timers, &ui);
        FakeTransport lan, stranger;
        link.setLanConnection(&lan);
        QSignalSpy data(&link, &CLinkPort::dataReceived);
        const QByteArray f = frameOf(16, hex("00 01"));
        link.receivedBytes(&stranger, f.constData(), int(f.size()));
        link.receivedBytes(nullptr, f.constData(), int(f.size()));
        QCOMPARE(data.count(), 0);
        QCOMPARE(ui.shown.size(), 2);
        QCOMPARE(ui.shown.first().text, QStringLiteral("Comport and Lanport is not created!!"));
        QVERIFY(ui.shown.first().fixed);
    }

    void frameTimerDiscardsAStalledFrame()
    {
        CLinkPort link(*m_timers);
        link.setTiming(19200);
        FakeTransport lan;
        link.setLanConnection(&lan);
        QSignalSpy data(&link, &CLinkPort::dataReceived);
        const QByteArray f = frameOf(16, hex("00 01"));
        link.receivedBytes(&lan, f.constData(), 4);
        QVERIFY(m_timers->isActive(TimerId::Frame));
        QCOMPARE(m_timers->period(TimerId::Frame), 520);
        m_timers->advance(519);
        QCOMPARE(link.parserState(), 5);
        m_timers->advance(1);
        QCOMPARE(link.parserState(), 0);
        QVERIFY(!m_timers->isActive(TimerId::Frame));
        link.receivedBytes(&lan, f.constData() + 4, int(f.size()) - 4);
        QCOMPARE(data.count(), 0);
        // A complete frame stops the timer.
        link.receivedBytes(&lan, f.constData(), int(f.size()));
        QCOMPARE(data.count(), 1);
        QVERIFY(!m_timers->isActive(TimerId::Frame));
    }

    void timingFollowsBaudRate_data()
    {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("pause");
        QTest::addColumn<int>("maxWrite");
        QTest::newRow("110") << 110 << 1000 << 0 << 0;
        QTest::newRow("9600") << 9600 << 1000 << 0 << 0;
        QTest::newRow("14.4k") << 14400 << 694 << 2 << 3;
        QTest::newRow("19.2k") << 19200 << 520 << 2 << 3;
        QTest::newRow("256k") << 256000 << 39 << 2 << 3;
    }
    void timingFollowsBaudRate()
    {
        QFETCH(int, baud);
        QFETCH(int, period);
        QFETCH(int, pause);
        QFETCH(int, maxWrite);
        CLinkPort link(*m_timers);
        FakeTransport serial;
        link.setSerialPort(&serial);
        link.setTiming(baud);
        QCOMPARE(link.framePeriod(), period);
        QCOMPARE(serial.pacingPause, pause);
        QCOMPARE(serial.pacingMax, maxWrite);
    }

    void refusedTimerStartRunsHandlerAtOnce()
    {
        CLinkPort link(*m_timers);
        FakeTransport lan;
        link.setLanConnection(&lan);
        m_timers->setRefuseStarts(true);
        // The frame timer cannot start, so its expiry runs at once and drops the start byte's frame.
        const QByteArray f = frameOf(16, hex("00 01"));
        QSignalSpy data(&link, &CLinkPort::dataReceived);
        link.receivedBytes(&lan, f.constData(), 1);
        QCOMPARE(link.parserState(), 1); // re-fed 0xBA opens a frame again
        m_timers->setRefuseStarts(false);
    }

    void sendChoosesTransport()
    {
        CLinkPort link(*m_timers);
        QVERIFY(!link.sendDataPacket(hex("00 0B")));
        FakeTransport serial, lan;
        serial.open = false;
        link.setSerialPort(&serial);
        link.setLanConnection(&lan);
        lan.open = false;
        QVERIFY(!link.sendDataPacket(hex("00 0B")));
        lan.open = true;
        QVERIFY(link.sendDataPacket(hex("00 0B")));
        QCOMPARE(lan.frames.size(), 1);
        QCOMPARE(lan.frames.first(), hex("BA EC 90 C2 00 0B A6 BC"));
        serial.open = true;
        QVERIFY(link.sendEcho("hi"));
        QCOMPARE(serial.frames.size(), 1);
        QCOMPARE(int(quint8(serial.frames.first().at(2))), 0x80 + 14);
        QVERIFY(link.sendEchoReply("hi"));
        QCOMPARE(int(quint8(serial.frames.at(1).at(2))), 0x80 + 15);
        serial.accept = false;
        QVERIFY(!link.sendDataPacket(hex("00 06")));
        QVERIFY(!link.sendFrame(16, QByteArray(64, 'x').constData(), 64));
        QCOMPARE(serial.frames.size(), 2);
        QCOMPARE(lan.frames.size(), 1);
    }

    void dataPacketRestartsTransmitIdleFirst()
    {
        CLinkPort link(*m_timers);
        QSignalSpy sending(&link, &CLinkPort::dataPacketSending);
        link.sendDataPacket(hex("00 06"));
        QCOMPARE(sending.count(), 1);
        link.sendEcho("x");
        QCOMPARE(sending.count(), 1);
    }

private:
    std::unique_ptr<ManualTimerHost> m_timers;
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
