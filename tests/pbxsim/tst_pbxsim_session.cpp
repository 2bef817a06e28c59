#include "PbxHarness.h"

#include "FrameLog.h"

#include "link/SpeedBinRecord.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>

using namespace pbxsim;

using Setup = std::function<void(PbxHarness &)>;
Q_DECLARE_METATYPE(Setup)

namespace {
SpeedBinRecord record(quint16 bin, const char *number, const char *name, quint8 coType = 0, quint8 coNumber = 0)
{
    SpeedBinRecord r;
    r.bin = bin;
    r.number = QLatin1String(number);
    r.name = QLatin1String(name);
    r.coType = coType;
    r.coNumber = coNumber;
    return r;
}
} // namespace

class TestPbxSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Whole frames as they leave the PBX, so the framing is checked too.
    void logExchanges_data()
    {
        QTest::addColumn<bool>("loggedOn");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("log-on") << false << hexBytes("00 0B") << hexBytes("BA EC 90 C2 00 01 AC BC");
        QTest::newRow("log-on again") << true << hexBytes("00 0B") << hexBytes("BA EC 90 C2 00 01 AC BC");
        QTest::newRow("log-off") << true << hexBytes("00 03") << hexBytes("BA EC 90 C2 00 03 AE BC");
        QTest::newRow("state, logged on") << true << hexBytes("00 05") << hexBytes("BA EC 90 C2 00 06 AB BC");
        QTest::newRow("state, logged off") << false << hexBytes("00 05") << hexBytes("BA EC 90 C2 00 07 AA BC");
        QTest::newRow("version") << false << hexBytes("00 08") << hexBytes("BA EC 90 C6 00 08 00 01 01 04 A5 BC");
        QTest::newRow("life time") << true << hexBytes("00 0C") << hexBytes("BA EC 90 C6 00 0C 00 00 00 00 A5 BC");
        QTest::newRow("alive is not answered") << true << hexBytes("00 06") << QByteArray();
        QTest::newRow("packet-miss ack is not answered") << true << hexBytes("00 0A") << QByteArray();
        QTest::newRow("no system information before log-on") << false << hexBytes("01 01") << QByteArray();
        QTest::newRow("no key events before log-on") << false << hexBytes("80 6B") << QByteArray();
    }

    void logExchanges()
    {
        QFETCH(bool, loggedOn);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        PbxHarness h;
        if (loggedOn)
            h.logOn();
        h.session->receive(PbxHarness::frame(request));
        QCOMPARE(h.wire.left(reply.size()).toHex(' '), reply.toHex(' '));
        QCOMPARE(h.session->protocolErrors(), 0);
    }

    void logOnShowsDateAndTime()
    {
        PbxHarness h;
        h.request(hexBytes("00 0B"));
        const QList<QByteArray> m = h.takeMessages();
        QVERIFY(m.size() >= 6);
        QCOMPARE(m.at(0), hexBytes("00 01"));
        // 5 March 2026, 2:07 p.m., as the key telephone commands carry them.
        QVERIFY(m.contains(hexBytes("82 50 00 26")));
        QVERIFY(m.contains(hexBytes("82 51 03 05")));
        QVERIFY(m.contains(hexBytes("82 53 02 07")));
        QVERIFY(m.contains(hexBytes("82 54 70 6D")));
        QVERIFY(h.session->isLoggedOn());
    }

    void logOffEndsTheSession()
    {
        PbxHarness h;
        h.logOn();
        h.startReporting();
        h.request(hexBytes("00 03"));
        QVERIFY(!h.session->isLoggedOn());
        QVERIFY(!h.session->isReporting());
        h.takeFrames();
        h.model->coRing(0, 1, QStringLiteral("123"));
        QVERIFY(h.takeFrames().isEmpty());
    }

    void oldVersion()
    {
        PbxConfig c = PbxHarness::testConfig();
        c.version = PbxConfig::kOldVersion;
        PbxHarness h(c);
        h.request(hexBytes("00 08"));
        QCOMPARE(h.wire.toHex(' '), hexBytes("BA EC 90 C6 00 08 00 01 01 02 A3 BC").toHex(' '));
    }

    void echoIsAnsweredWithItsPayload()
    {
        PbxHarness h;
        h.session->receive(PbxHarness::frame("beep", Zemra1::ORLO_PTYPE_ECHO));
        QCOMPARE(h.wire.toHex(' '), hexBytes("BA EC 8F C4 62 65 65 70 A6 BC").toHex(' '));
        h.wire.clear();
        h.session->sendEcho("popup");
        const auto frames = h.takeFrames();
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames.at(0).first, quint16(Zemra1::ORLO_PTYPE_ECHO));
        QCOMPARE(frames.at(0).second, QByteArray("popup"));
    }

    void pingWantsAnAnswer()
    {
        PbxConfig c = PbxHarness::testConfig();
        c.pingIntervalMs = 5000;
        c.pingTimeoutMs = 2000;
        PbxHarness h(c);
        h.logOn();
        h.scheduler.advance(5000);
        QCOMPARE(h.takePayloads(), QList<QByteArray>{hexBytes("00 0E")});
        h.request(hexBytes("00 0F"));
        h.scheduler.advance(2500);
        QCOMPARE(h.session->protocolErrors(), 0);
        h.scheduler.advance(2500);
        QCOMPARE(h.takePayloads(), QList<QByteArray>{hexBytes("00 0E")});
        h.scheduler.advance(2000);
        QCOMPARE(h.session->protocolErrors(), 1);
        QCOMPARE(h.session->lastProtocolError(), QStringLiteral("ping not answered"));
    }

    void sendsOnRequest()
    {
        PbxHarness h;
        h.logOn();
        h.session->sendPacketMissReport();
        h.session->sendDebugText(QStringLiteral("hi"));
        h.session->sendLogOffState();
        QCOMPARE(h.takePayloads(), (QList<QByteArray>{hexBytes("00 09"), hexBytes("86 02 68 69"), hexBytes("00 07")}));
        QVERIFY(!h.session->isLoggedOn());
    }

    void systemInformation_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        const auto text = [](const char *head, const char *t) { return hexBytes(head) + QByteArray(t); };
        QTest::newRow("stations") << hexBytes("01 01") << hexBytes("01 01 00 30");
        QTest::newRow("lines") << hexBytes("01 02") << hexBytes("01 02 00 10");
        QTest::newRow("code bases 81 and 71") << hexBytes("01 04") << hexBytes("01 04 00 00 81 00 10 00 00 71 00 10");
        QTest::newRow("own station") << hexBytes("01 05") << hexBytes("01 05 00 01");
        QTest::newRow("short version") << hexBytes("01 07") << text("01 07", "ZS0104");
        QTest::newRow("long version") << hexBytes("01 08") << text("01 08 17", "ZS-KTS 1.04 (simulated)");
        QTest::newRow("nation") << hexBytes("01 09") << text("01 09 0F 00 01", "INTERNATIONAL");
        QTest::newRow("CO names") << hexBytes("01 0A") << hexBytes("01 0A 10");
        QTest::newRow("paging") << hexBytes("01 0B") << hexBytes("01 0B 04");
        QTest::newRow("speed range") << hexBytes("01 0C") << hexBytes("01 0C 07 D0 08 33");
        QTest::newRow("time") << hexBytes("01 0D") << hexBytes("01 0D 1A 03 05 04 0E 07 00");
        QTest::newRow("EXTI_Asc idle") << hexBytes("03 01 00 02") << hexBytes("03 01 00 02 FF 00 00");
        QTest::newRow("EXTI_MeskState") << hexBytes("03 02 00 02") << hexBytes("03 02 00 02 01");
        QTest::newRow("EXTI_Number") << hexBytes("03 03 00 02") << hexBytes("03 03 00 02 01 A1");
        QTest::newRow("EXTI_Name") << hexBytes("03 04 00 02") << text("03 04 0B 00 02", "BAKER 101");
        QTest::newRow("EXTI_Multi1") << hexBytes("03 05 00 02") << text("03 05 0D 00 02 01 A1", "BAKER 101");
        QTest::newRow("EXTI_Multi3") << hexBytes("03 09 00 02") << text("03 09 0E 00 02 00 01 A1", "BAKER 101");
        QTest::newRow("EXTI_Multi2") << hexBytes("03 08 00 02") << hexBytes("03 08 00 02 00 00 00 00");
        QTest::newRow("EXTI_Wakeup") << hexBytes("09 06 00 02") << hexBytes("03 08 00 02 00 00 00 00");
        QTest::newRow("TRKI_Asc idle") << hexBytes("04 01 00 03") << hexBytes("04 01 00 03 FF 00 00");
        QTest::newRow("TRKI_MeskState") << hexBytes("04 02 00 03") << hexBytes("04 02 00 03 80");
        QTest::newRow("TRKI_CallerID none") << hexBytes("04 03 00 03") << hexBytes("04 03 02 00 03");
        QTest::newRow("TRKI_Coname") << hexBytes("04 04 00 01") << text("04 04 0D 00 01", "EXCHANGE 01");
        QTest::newRow("TRKI_CoNameBin") << hexBytes("04 05 00 03") << hexBytes("04 05 00 03 00 03");
        QTest::newRow("day/night") << hexBytes("09 01") << hexBytes("09 01 08 00 12 00");
        QTest::newRow("music") << hexBytes("09 02") << hexBytes("09 02 01");
        QTest::newRow("wake-up of a station") << hexBytes("09 03 00 02") << hexBytes("09 03 00 02 00 00 00");
        QTest::newRow("temporary COS") << hexBytes("09 04 00 02") << hexBytes("09 04 00 02 00");
        QTest::newRow("two requests, two answers") << hexBytes("01 01 01 02") << hexBytes("01 01 00 30 01 02 00 10");
    }

    void systemInformation()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        PbxHarness h;
        h.logOn();
        h.request(request);
        QByteArray all;
        for (const QByteArray &m : h.takeMessages())
            all += m;
        QCOMPARE(all.toHex(' '), reply.toHex(' '));
        QCOMPARE(h.session->protocolErrors(), 0);
    }

    void badRequests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("error");
        QTest::newRow("station 0") << hexBytes("03 03 00 00") << QStringLiteral("station 0 out of range 1-48");
        QTest::newRow("station 49") << hexBytes("03 09 00 31") << QStringLiteral("station 49 out of range 1-48");
        QTest::newRow("line 17") << hexBytes("04 05 00 11") << QStringLiteral("CO line 17 out of range 1-16");
        QTest::newRow("CO name 0") << hexBytes("04 04 00 00") << QStringLiteral("CO name 0 out of range 1-16");
        QTest::newRow("unknown code") << hexBytes("01 06") << QStringLiteral("unknown request 01 06");
        QTest::newRow("truncated port") << hexBytes("03 03 00") << QStringLiteral("truncated request 03 03 00");
        QTest::newRow("key sequence longer than its payload") << hexBytes("81 05 90 91") << QStringLiteral("truncated request 81 05 90 91");
        QTest::newRow("speed write cut short") << hexBytes("0A 02 09 07 D0") << QStringLiteral("truncated request 0a 02 09 07 d0");
    }

    void badRequests()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, error);
        PbxHarness h;
        h.logOn();
        h.request(request);
        QVERIFY(h.takeEvents().isEmpty());
        QCOMPARE(h.session->protocolErrors(), 1);
        QCOMPARE(h.session->lastProtocolError(), error);
    }

    void statusReports()
    {
        PbxHarness h;
        h.logOn();
        h.request(hexBytes("02 01"));
        QVERIFY(h.takeEvents().isEmpty());
        h.request(hexBytes("02 02 03 01 14"));
        const QList<QByteArray> m = h.takeEvents();
        QCOMPARE(m.size(), 5);
        QByteArray first = hexBytes("83 3C");
        for (int port = 1; port <= 20; ++port)
            first += QByteArray(1, 0) + char(port) + char(0x40);
        QCOMPARE(m.at(0).toHex(' '), first.toHex(' '));
        QCOMPARE(m.at(1).left(5), hexBytes("83 3C 00 15 40"));
        QCOMPARE(m.at(2).left(2), hexBytes("83 18"));
        QCOMPARE(m.at(3).left(5), hexBytes("84 30 00 01 80"));
        QCOMPARE(m.at(4), hexBytes("85 40 00"));
        QVERIFY(h.session->isReporting());

        h.model->setStationStatus(4, Status::Busy);
        h.model->setLineStatus(1, Status::TrkIdleDisabled);
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("83 03 00 05 10"), hexBytes("84 03 00 02 83")}));
    }

    void statusListsHoldAtMostTheAskedEntries()
    {
        PbxHarness h;
        h.logOn();
        h.request(hexBytes("02 02 03 01 05"));
        const QList<QByteArray> m = h.takeEvents();
        // 48 stations in lists of 5, 16 lines in lists of 5, the own status.
        QCOMPARE(m.size(), 10 + 4 + 1);
        QCOMPARE(m.at(9), hexBytes("83 09 00 2E 40 00 2F 40 00 30 40"));
    }

    void identityChangesAreReported()
    {
        PbxHarness h;
        h.logOn();
        h.startReporting();
        h.model->setStationName(2, QStringLiteral("NEW NAME"));
        h.model->setStationNumber(2, QStringLiteral("199"));
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("03 04 0A 00 03") + "NEW NAME", hexBytes("03 03 00 03 01 99")}));
    }

    void stationNumberChange_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("number");
        QTest::newRow("new number") << hexBytes("06 01 00 03 01 99") << hexBytes("06 03") << QStringLiteral("199");
        QTest::newRow("cleared") << hexBytes("06 01 00 03 FF FF") << hexBytes("06 03") << QString();
        QTest::newRow("in use") << hexBytes("06 01 00 03 01 A1") << hexBytes("06 04") << QStringLiteral("102");
        QTest::newRow("not digits") << hexBytes("06 01 00 03 01 B2") << hexBytes("06 05") << QStringLiteral("102");
        QTest::newRow("no such station") << hexBytes("06 01 00 99 01 99") << hexBytes("06 05") << QStringLiteral("102");
    }

    void stationNumberChange()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, number);
        PbxHarness h;
        h.logOn();
        h.request(request);
        QCOMPARE(h.takeEvents(), QList<QByteArray>{reply});
        QCOMPARE(h.model->station(2).number, number);
        h.request(hexBytes("03 03 00 03"));
        QCOMPARE(h.takeEvents().value(0).mid(4), QByteArray(1, char(numberToNibbles(number) >> 8)) + char(numberToNibbles(number) & 0xFF));
    }

    void speedBins_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<quint16>("bin");
        QTest::addColumn<QString>("stored"); // number now held, empty when the bin is empty
        const QByteArray headOffice = record(2000, "0301234567", "HEAD OFFICE").encode();
        QTest::newRow("read a seeded bin") << hexBytes("0A 01 07 D0") << headOffice << quint16(2000) << QStringLiteral("0301234567");
        QTest::newRow("read an empty bin") << hexBytes("0A 01 07 D3") << hexBytes("0A 01 07 D3") << quint16(2003) << QString();
        const QByteArray write = record(2010, "0123", "AB", 1, 3).encode();
        QTest::newRow("write stores and echoes") << write << write << quint16(2010) << QStringLiteral("0123");
        QTest::newRow("write is stored upper case")
            << record(2011, "555", "taxi").encode() << record(2011, "555", "TAXI").encode() << quint16(2011) << QStringLiteral("555");
        QTest::newRow("empty number clears")
            << record(2000, "", "").encode() << hexBytes("0A 01 07 D0") << quint16(2000) << QString();
        QTest::newRow("outside the range is not stored")
            << record(3000, "123", "X").encode() << hexBytes("0A 01 0B B8") << quint16(3000) << QString();
        QTest::newRow("CO type of none drops the CO number")
            << record(2012, "77", "", 0, 9).encode() << record(2012, "77", "", 0, 0).encode() << quint16(2012) << QStringLiteral("77");
    }

    void speedBins()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(quint16, bin);
        QFETCH(QString, stored);
        PbxHarness h;
        h.logOn();
        h.request(request);
        QCOMPARE(h.takeEvents().value(0).toHex(' '), reply.toHex(' '));
        const auto held = h.model->speedBin(bin);
        QCOMPARE(held ? held->number : QString(), stored);
    }

    void speedFileKeepsTheBins()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bins.txt"));
        {
            PbxHarness h;
            QString error;
            QVERIFY(h.model->loadSpeedFile(path, &error));
            h.logOn();
            h.request(record(2050, "0800*99#", "NIGHT LINE", 2, 4).encode());
            h.request(record(2000, "", "").encode());
        }
        PbxHarness h;
        QString error;
        QVERIFY2(h.model->loadSpeedFile(path, &error), qPrintable(error));
        QVERIFY(!h.model->speedBin(2000));
        const auto r = h.model->speedBin(2050);
        QVERIFY(r);
        QCOMPARE(r->number, QStringLiteral("0800*99#"));
        QCOMPARE(r->name, QStringLiteral("NIGHT LINE"));
        QCOMPARE(r->coType, quint8(2));
        QCOMPARE(r->coNumber, quint8(4));
    }

    void speedFileThatIsBrokenIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bins.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2000\t0\t0\t123\tOK\n9999\t0\t0\t1\tOUTSIDE\n");
        f.close();
        PbxHarness h;
        QString error;
        QVERIFY(!h.model->loadSpeedFile(path, &error));
        QVERIFY(error.contains(QStringLiteral(":2:")));
    }

    void keysetChangeIsReportedUnasked()
    {
        PbxHarness h;
        h.logOn();
        QVERIFY(h.model->keysetSpeedChange(record(2020, "4711", "PIZZA")));
        QCOMPARE(h.takeEvents(), QList<QByteArray>{record(2020, "4711", "PIZZA").encode()});
        QVERIFY(!h.model->keysetSpeedChange(record(1999, "1", "")));
    }

    // Faults that swallow the answer to a request.
    void faultsThatSilence_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("drop all sent") << Setup([](PbxHarness &h) { h.faults.dropPercent = 100; }) << hexBytes("00 08");
        QTest::newRow("drop all received") << Setup([](PbxHarness &h) { h.faults.dropRxPercent = 100; }) << hexBytes("00 08");
        QTest::newRow("silent") << Setup([](PbxHarness &h) { h.faults.silent = true; }) << hexBytes("00 08");
        QTest::newRow("ignored request") << Setup([](PbxHarness &h) { h.faults.ignored.insert(0x0102); }) << hexBytes("01 02");
    }

    void faultsThatSilence()
    {
        QFETCH(Setup, setup);
        QFETCH(QByteArray, request);
        PbxHarness h;
        h.logOn();
        setup(h);
        h.request(request);
        h.scheduler.advance(10000);
        QVERIFY(h.takeFrames().isEmpty());
        // Without the fault the same request is answered.
        h.faults = FaultSettings();
        h.request(request);
        QCOMPARE(h.takeFrames().size(), 1);
    }

    void ignoringOneRequestAnswersTheOthers()
    {
        PbxHarness h;
        h.faults.ignored.insert(0x0102);
        h.logOn();
        h.request(hexBytes("01 01 01 02 01 05"));
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("01 01 00 30"), hexBytes("01 05 00 01")}));
    }

    void flipChangesOneBit()
    {
        PbxHarness h;
        h.faults.flipPercent = 100;
        h.request(hexBytes("00 08"));
        const QByteArray good = hexBytes("BA EC 90 C6 00 08 00 01 01 04 A5 BC");
        QCOMPARE(h.wire.size(), good.size());
        int bits = 0;
        for (int i = 0; i < good.size(); ++i)
            bits += qPopulationCount(quint8(h.wire.at(i) ^ good.at(i)));
        QCOMPARE(bits, 1);
    }

    void noiseComesBeforeTheFrame()
    {
        PbxHarness h;
        h.faults.noisePercent = 100;
        for (int round = 0; round < 20; ++round) {
            h.wire.clear();
            h.request(hexBytes("00 08"));
            const QByteArray good = hexBytes("BA EC 90 C6 00 08 00 01 01 04 A5 BC");
            QVERIFY(h.wire.endsWith(good));
            const QByteArray noise = h.wire.left(h.wire.size() - good.size());
            QVERIFY(noise.size() >= 1 && noise.size() <= 8);
            QVERIFY(!noise.contains(char(0xBA)));
            QCOMPARE(h.takePayloads(), QList<QByteArray>{hexBytes("00 08 00 01 01 04")});
        }
    }

    void delayHoldsAnswersBackInOrder()
    {
        PbxHarness h;
        h.faults.delayMs = 500;
        h.request(hexBytes("00 08"));
        h.faults.delayMs = 100; // a shorter delay must not overtake the first answer
        h.request(hexBytes("00 05"));
        h.scheduler.advance(499);
        QVERIFY(h.wire.isEmpty());
        h.scheduler.advance(1);
        QCOMPARE(h.takePayloads(), (QList<QByteArray>{hexBytes("00 08 00 01 01 04"), hexBytes("00 07")}));
        QCOMPARE(h.session->pendingOutput(), 0);
    }

    void closeAfterFrames()
    {
        PbxHarness h;
        h.faults.closeAfterFrames = 2;
        h.request(hexBytes("00 0B"));
        h.scheduler.runPending();
        QCOMPARE(h.closes, 0);
        h.request(hexBytes("00 08"));
        QCOMPARE(h.closes, 0); // never from inside the receive call
        h.scheduler.runPending();
        QCOMPARE(h.closes, 1);
    }

    void refusedLogOn()
    {
        PbxHarness h;
        h.faults.refuseLogOn = true;
        h.faults.nakReason = 5;
        h.request(hexBytes("00 0B"));
        QCOMPARE(h.wire.toHex(' '), hexBytes("BA EC 90 83 00 02 05 EB BC").toHex(' '));
        QVERIFY(!h.session->isLoggedOn());
    }

    void refusedLogOff()
    {
        PbxHarness h;
        h.faults.refuseLogOff = true;
        h.logOn();
        h.request(hexBytes("00 03"));
        QCOMPARE(h.takePayloads(), QList<QByteArray>{hexBytes("00 04")});
        QVERIFY(h.session->isLoggedOn());
    }

    void zeroStations()
    {
        PbxHarness h;
        h.faults.zeroStations = true;
        h.logOn();
        h.request(hexBytes("01 01"));
        QCOMPARE(h.takePayloads(), QList<QByteArray>{hexBytes("01 01 00 00")});
    }

    void administrationFaults_data()
    {
        QTest::addColumn<int>("adm");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("disable") << int(FaultSettings::Adm::Disable) << hexBytes("06 02");
        QTest::newRow("fail") << int(FaultSettings::Adm::Fail) << hexBytes("06 04");
        QTest::newRow("invalid") << int(FaultSettings::Adm::Invalid) << hexBytes("06 05");
    }

    void administrationFaults()
    {
        QFETCH(int, adm);
        QFETCH(QByteArray, reply);
        PbxHarness h;
        h.faults.adm = FaultSettings::Adm(adm);
        h.logOn();
        h.request(hexBytes("06 01 00 03 01 99"));
        QCOMPARE(h.takePayloads(), QList<QByteArray>{reply});
        QCOMPARE(h.model->station(2).number, QStringLiteral("102"));
    }

    void baudRatePacesTheBytes()
    {
        PbxHarness h;
        h.logOn();
        h.session->setBaud(9600); // 960 bytes a second
        for (int i = 0; i < 40; ++i)
            h.request(hexBytes("00 08")); // 40 answers of 12 bytes
        QVERIFY(h.wire.size() <= 2);
        h.scheduler.advance(250);
        QVERIFY2(h.wire.size() >= 230 && h.wire.size() <= 250, QByteArray::number(h.wire.size()));
        h.scheduler.advance(300);
        QCOMPARE(h.takePayloads().size(), 40);
        QCOMPARE(h.session->pendingOutput(), 0);
    }

    void partialFrameIsGivenUp()
    {
        PbxHarness h;
        h.session->receive(hexBytes("BA EC 90 C2 00"));
        h.scheduler.advance(1000);
        QCOMPARE(h.session->framesDiscarded(), 1);
        h.request(hexBytes("00 08"));
        QCOMPARE(h.takePayloads().size(), 1);
        QCOMPARE(h.session->framesDiscarded(), 1);
    }

    void packingSharesFrames()
    {
        PbxHarness h;
        h.session->setPacking(true);
        h.logOn();
        h.startReporting();
        h.model->coRing(2, 1, QStringLiteral("0123456"));
        const QList<QByteArray> payloads = h.takePayloads();
        QVERIFY(!payloads.isEmpty());
        QVERIFY(payloads.first().startsWith(hexBytes("84 03 00 03 12 08 03 07 00 03 01 A1 23 45 60")));
        for (const QByteArray &p : payloads)
            QVERIFY(p.size() <= 63);
    }

    void logLines()
    {
        PbxHarness h;
        QStringList lines;
        FrameLog log;
        log.setSink([&lines](const QString &l) { lines << l; });
        log.setClock([&h] { return h.scheduler.now(); });
        PbxSession session(*h.model, h.faults, &log);
        h.scheduler.advance(1500);
        session.receive(PbxHarness::frame(hexBytes("00 0B")));
        QCOMPARE(lines.value(0), QStringLiteral("     1.500 RX LOG_ON_Request [ba ec 90 c2 00 0b a6 bc]"));
        QCOMPARE(lines.value(1), QStringLiteral("     1.500 TX LOG_ON_ACK [ba ec 90 c2 00 01 ac bc]"));
        session.receive(PbxHarness::frame(hexBytes("05 02 00 2D 00 0A")));
        QVERIFY(lines.join(u'\n').contains(QStringLiteral("RX DYNBTN_DSS seq=45 station=10 [")));
    }
};

QTEST_GUILESS_MAIN(TestPbxSession)
#include "tst_pbxsim_session.moc"
