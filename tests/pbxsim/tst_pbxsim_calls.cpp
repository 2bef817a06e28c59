#include "PbxHarness.h"

#include "link/CLinkRequest.h"

#include <QTest>

#include <functional>

using namespace pbxsim;

using Check = std::function<void(const PbxModel &)>;
Q_DECLARE_METATYPE(Check)

namespace {
QByteArray keySequence(const QString &text)
{
    QByteArray codes;
    if (!CLinkRequest::expandKeyString(text, codes))
        return QByteArray();
    return QByteArray(1, char(0x81)) + char(codes.size()) + codes;
}

QByteArray dss(int port)
{
    return hexBytes("05 02 00 2D 00") + char(port);
}

QByteArray dls(int line)
{
    return hexBytes("05 03 00 2D 00") + char(line);
}

const QByteArray kHold = hexBytes("80 6C");
const QByteArray kMonitor = hexBytes("80 6B");
const QByteArray kTransfer = hexBytes("80 63");
} // namespace

class TestPbxCalls : public QObject
{
    Q_OBJECT

private:
    // A logged-on console that has asked for live status.
    static void ready(PbxHarness &h)
    {
        h.logOn();
        h.startReporting();
    }

private Q_SLOTS:
    void incomingCallAnsweredHeldAndRecalled()
    {
        PbxHarness h;
        ready(h);
        QVERIFY(h.model->coRing(2, 1, QStringLiteral("0123456")));
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("84 03 00 03 12"), hexBytes("08 03 07 00 03 01 A1 23 45 60"),
                                                   hexBytes("83 03 00 01 42"), hexBytes("85 42 00")}));
        h.request(dls(3));
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("08 04 00 03"), hexBytes("83 03 00 01 44"),
                                                   hexBytes("84 03 00 03 10"), hexBytes("85 44 00")}));
        QCOMPARE(h.model->lamp(3).colour, PbxModel::kGreen);
        QCOMPARE(h.model->lamp(3).pattern, quint8(1));
        QCOMPARE(h.model->upperDisplay(), QStringLiteral("T:CO 03 0123456"));

        h.request(kHold);
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("83 03 00 01 40"), hexBytes("84 03 00 03 11"), hexBytes("85 40 00")}));
        QCOMPARE(h.model->lamp(3).pattern, quint8(10));
        QCOMPARE(h.model->lamp(33).pattern, quint8(10));

        h.scheduler.advance(h.model->config().recallMs);
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("84 03 00 03 82"), hexBytes("08 03 07 00 03 04 A1 23 45 60"),
                                                   hexBytes("83 03 00 01 42"), hexBytes("85 42 00")}));
        h.request(dls(3));
        QCOMPARE(h.model->line(2).status, Status::Busy);
        QCOMPARE(h.model->attendant().status, Status::ExtCol);
        h.request(kMonitor);
        QCOMPARE(h.model->line(2).status, Status::TrkIdle);
        QCOMPARE(h.model->attendant().status, Status::ExtIdle);
        QCOMPARE(h.session->protocolErrors(), 0);
    }

    void unansweredCallerGivesUp()
    {
        PbxHarness h;
        ready(h);
        h.model->coRing(0, 1, QStringLiteral("555"));
        h.takeEvents();
        h.scheduler.advance(h.model->config().ringTimeoutMs);
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("08 04 00 01"), hexBytes("83 03 00 01 40"),
                                                   hexBytes("84 03 00 01 80"), hexBytes("85 40 00")}));
    }

    void callsRingingBeforeReadyAreOffered()
    {
        PbxHarness h;
        h.model->coRing(4, 2, QStringLiteral("99"));
        h.model->icmRing(7);
        h.logOn();
        h.request(hexBytes("02 02 03 01 14"));
        const QList<QByteArray> m = h.takeEvents();
        QVERIFY(m.contains(hexBytes("08 03 04 00 05 02 99")));
        QVERIFY(m.contains(hexBytes("08 01 00 08")));
    }

    void transferOfACoCall()
    {
        PbxHarness h;
        ready(h);
        h.model->coRing(0, 1, QStringLiteral("777"));
        h.request(dls(1));
        h.request(kTransfer);
        QCOMPARE(h.model->line(0).status, Status::Hold);
        h.request(dss(5));
        QCOMPARE(h.model->station(4).status, Status::Ring);
        QCOMPARE(h.model->lamp(26).pattern, quint8(1));
        h.request(kMonitor);
        QCOMPARE(h.model->attendant().status, Status::ExtIdle);
        h.scheduler.advance(h.model->config().answerDelayMs * 2);
        QCOMPARE(h.model->station(4).status, Status::ExtCol);
        QCOMPARE(h.model->line(0).status, Status::Busy);
        h.takeEvents();
        h.request(hexBytes("04 01 00 01"));
        QCOMPARE(h.takeEvents(), QList<QByteArray>{hexBytes("04 01 00 01 01 00 05")});
        h.scheduler.advance(h.model->config().talkMaxMs);
        QCOMPARE(h.model->station(4).status, Status::ExtIdle);
        QCOMPARE(h.model->line(0).status, Status::TrkIdle);
    }

    // The console's call operations, as the requests and keys it sends.
    void callOperations_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<int>("waitMs");
        QTest::addColumn<Check>("check");
        const auto st = [](int port, quint8 status) {
            return Check([port, status](const PbxModel &m) { QCOMPARE(m.station(port - 1).status, status); });
        };
        QTest::newRow("make a call, station answers") << QString() << QList<QByteArray>{dss(5)} << 4000
                                                    << Check([](const PbxModel &m) {
                                                           QCOMPARE(m.station(4).status, Status::ExtIcm);
                                                           QCOMPARE(m.attendant().status, Status::ExtIcm);
                                                           QCOMPARE(m.upperDisplay(), QStringLiteral("S:104"));
                                                       });
        QTest::newRow("make a call, then hang up") << QString() << QList<QByteArray>{dss(5), kMonitor} << 0 << st(5, Status::ExtIdle);
        QTest::newRow("do not disturb overridden with *") << QStringLiteral("dnd 5 on")
                                                         << QList<QByteArray>{dss(5), keySequence(QStringLiteral("*"))} << 0
                                                         << st(5, Status::Ring);
        QTest::newRow("camp on a busy station, called back when free")
            << QStringLiteral("station 5 busy") << QList<QByteArray>{dss(5), keySequence(QStringLiteral("K"))} << 0
            << Check([](const PbxModel &m) {
                   QCOMPARE(m.attendant().status, Status::ExtIdle);
                   QVERIFY(m.attendant().ringing.isEmpty());
               });
        QTest::newRow("pick up a ringing station") << QStringLiteral("call 6 5")
                                                  << QList<QByteArray>{hexBytes("82 00 00"), dss(5)} << 0
                                                  << Check([](const PbxModel &m) {
                                                         QCOMPARE(m.station(4).status, Status::ExtIdle);
                                                         QCOMPARE(m.attendant().party.index, 5);
                                                         QCOMPARE(m.attendant().status, Status::ExtIcm);
                                                     });
        QTest::newRow("intrusion into a busy station's call")
            << QStringLiteral("call-out 5 2") << QList<QByteArray>{dss(5), hexBytes("05 05 00 2E 01")} << 0
            << Check([](const PbxModel &m) {
                   QCOMPARE(m.attendant().state, PbxModel::AtdState::Talking);
                   QCOMPARE(m.station(4).status, Status::ExtCol);
               });
        QTest::newRow("answer an intercom call with M") << QStringLiteral("icm-ring 7") << QList<QByteArray>{kMonitor} << 0
                                                       << Check([](const PbxModel &m) {
                                                              QCOMPARE(m.attendant().status, Status::ExtIcm);
                                                              QVERIFY(m.attendant().ringing.isEmpty());
                                                          });
        QTest::newRow("dial a station number") << QString()
                                              << QList<QByteArray>{hexBytes("05 05 00 2D 00"), keySequence(QStringLiteral("105"))}
                                              << 0 << st(6, Status::Ring);
        QTest::newRow("dial out through a CO access code")
            << QString() << QList<QByteArray>{keySequence(QStringLiteral("830123"))} << 4000 << Check([](const PbxModel &m) {
                   QCOMPARE(m.line(2).status, Status::Busy);
                   QCOMPARE(m.line(2).callerId, QStringLiteral("0123"));
                   QCOMPARE(m.attendant().state, PbxModel::AtdState::Talking);
               });
        QTest::newRow("speed dial") << QString() << QList<QByteArray>{keySequence(QStringLiteral("S2000"))} << 0
                                    << Check([](const PbxModel &m) {
                                           QCOMPARE(m.attendant().party.kind, PbxModel::Party::Line);
                                           QCOMPARE(m.line(m.attendant().party.index).callerId, QStringLiteral("0301234567"));
                                       });
        QTest::newRow("seize with a flexible key") << QString() << QList<QByteArray>{hexBytes("80 21")} << 0
                                                  << Check([](const PbxModel &m) { QCOMPARE(m.line(1).status, Status::Busy); });
        QTest::newRow("page all") << QString() << QList<QByteArray>{hexBytes("82 08 00")} << 0
                                  << Check([](const PbxModel &m) { QCOMPARE(m.attendant().status, Status::Busy); });
        QTest::newRow("page ends by itself") << QString() << QList<QByteArray>{hexBytes("82 01 02")} << 25000
                                             << Check([](const PbxModel &m) { QCOMPARE(m.attendant().status, Status::ExtIdle); });
        QTest::newRow("do not disturb key") << QString() << QList<QByteArray>{hexBytes("80 68")} << 0
                                            << Check([](const PbxModel &m) {
                                                   QCOMPARE(m.attendant().status, Status::ExtIdleDnd);
                                                   QCOMPARE(m.lamp(30).pattern, quint8(1));
                                               });
        QTest::newRow("restart of a station ends its call") << QStringLiteral("call 6 7")
                                                           << QList<QByteArray>{hexBytes("0B 01 00 06")} << 0
                                                           << Check([](const PbxModel &m) {
                                                                  QCOMPARE(m.station(5).status, Status::ExtIdle);
                                                                  QCOMPARE(m.station(6).status, Status::ExtIdle);
                                                              });
    }

    void callOperations()
    {
        QFETCH(QString, setup);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(int, waitMs);
        QFETCH(Check, check);
        PbxHarness h;
        ready(h);
        if (setup.startsWith(u"dnd"))
            h.model->setStationDnd(4, true);
        else if (setup.startsWith(u"station 5 busy"))
            h.model->setStationStatus(4, Status::Busy);
        else if (setup == u"call 6 5")
            h.model->stationCall(5, 4);
        else if (setup == u"call 6 7")
            h.model->stationCall(5, 6);
        else if (setup == u"call-out 5 2")
            h.model->stationOutgoing(4, 1);
        else if (setup == u"icm-ring 7")
            h.model->icmRing(6);
        for (const QByteArray &r : requests) {
            QVERIFY(!r.isEmpty());
            h.request(r);
        }
        h.scheduler.advance(waitMs);
        check(*h.model);
        QCOMPARE(h.session->protocolErrors(), 0);
    }

    void callBackRingsWhenTheStationIsFree()
    {
        PbxHarness h;
        ready(h);
        h.model->setStationStatus(4, Status::Busy);
        h.request(dss(5));
        h.request(keySequence(QStringLiteral("K")));
        h.takeEvents();
        h.model->setStationStatus(4, Status::ExtIdle);
        const QList<QByteArray> m = h.takeEvents();
        QVERIFY(m.contains(hexBytes("08 01 00 05")));
    }

    void stationHoldRecallsToTheAttendant()
    {
        PbxHarness h;
        ready(h);
        QVERIFY(h.model->stationOutgoing(9, 3));
        QVERIFY(h.model->stationHold(9));
        QCOMPARE(h.model->line(3).status, Status::Hold);
        h.scheduler.advance(h.model->config().recallMs);
        QCOMPARE(h.model->line(3).status, Status::TrkHoldRecall);
        h.takeEvents();
        h.scheduler.advance(h.model->config().ringTimeoutMs / 2);
        const QList<QByteArray> m = h.takeEvents();
        QVERIFY(!m.isEmpty());
        QVERIFY(m.first().startsWith(hexBytes("08 03")));
        QCOMPARE(quint8(m.first().at(5)), quint8(3));
    }

    void keyTelephoneCommands()
    {
        PbxHarness h;
        ready(h);
        h.model->coRing(2, 1, QString());
        h.request(dls(3));
        QList<QByteArray> kt;
        for (const QByteArray &m : h.takeMessages())
            if (quint8(m.at(0)) == 0x82)
                kt << m;
        // Lamp 3 green, steady: command 0x20 with the third nibble set.
        QVERIFY(kt.contains(hexBytes("82 20 F1 FF")));
        // Monitor lamp 32 green: command 0x27, fourth nibble.
        QVERIFY(kt.contains(hexBytes("82 27 1F FF")));
        // The call timer starts at 00:00.
        QVERIFY(kt.contains(hexBytes("82 55 00 00")));
        h.scheduler.advance(60000);
        bool minute = false;
        for (const QByteArray &m : h.takeMessages())
            minute = minute || m == hexBytes("82 55 01 00");
        QVERIFY(minute);
        h.request(kMonitor);
        kt.clear();
        for (const QByteArray &m : h.takeMessages())
            if (quint8(m.at(0)) == 0x82)
                kt << m;
        QVERIFY(kt.contains(hexBytes("82 42 00 00")));
        QVERIFY(kt.contains(hexBytes("82 00 F0 FF"))); // off
    }

    void resendKeyTelephoneClearsEveryLamp()
    {
        PbxHarness h;
        ready(h);
        h.request(hexBytes("0B 01 00 01"));
        QList<QByteArray> banks;
        for (const QByteArray &m : h.takeMessages())
            if (m.startsWith(hexBytes("82 4E")))
                banks << m;
        QCOMPARE(banks.size(), 16);
        QCOMPARE(banks.last(), hexBytes("82 4E 0F 00"));
    }

    void programming_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<Check>("check");
        QTest::newRow("wake-up once") << QStringLiteral("T0421001050630H") << Check([](const PbxModel &m) {
            for (int i = 0; i <= 5; ++i) {
                QCOMPARE(m.station(i).wakeMode, quint8(1));
                QCOMPARE(m.station(i).wakeHour, quint8(6));
                QCOMPARE(m.station(i).wakeMinute, quint8(30));
            }
            QCOMPARE(m.station(6).wakeMode, quint8(0));
        });
        QTest::newRow("wake-up daily") << QStringLiteral("T0421021020715#H")
                                       << Check([](const PbxModel &m) { QCOMPARE(m.station(2).wakeMode, quint8(2)); });
        QTest::newRow("temporary COS on") << QStringLiteral("T021110112H") << Check([](const PbxModel &m) {
            QCOMPARE(m.station(10).tempCos, quint8(1));
            QCOMPARE(m.station(12).tempCos, quint8(1));
            QCOMPARE(m.station(13).tempCos, quint8(0));
        });
        QTest::newRow("custom message") << QStringLiteral("T05312{BACK SOON}HM")
                                        << Check([](const PbxModel &m) { QCOMPARE(m.customMessage(12), QStringLiteral("BACK SOON")); });
        QTest::newRow("station name") << QStringLiteral("T072105{ANNA}HM")
                                      << Check([](const PbxModel &m) { QCOMPARE(m.station(5).name, QStringLiteral("ANNA")); });
        QTest::newRow("music channel") << QStringLiteral("T07503H")
                                       << Check([](const PbxModel &m) { QCOMPARE(m.musicChannel(), quint8(3)); });
        QTest::newRow("greeting") << QStringLiteral("T06007") << Check([](const PbxModel &m) { QCOMPARE(m.lastGreeting(), 7); });
        QTest::newRow("day and night") << QStringLiteral("T#907301945H") << Check([](const PbxModel &m) {
            QCOMPARE(m.dayHour(), quint8(7));
            QCOMPARE(m.dayMinute(), quint8(30));
            QCOMPARE(m.nightHour(), quint8(19));
            QCOMPARE(m.nightMinute(), quint8(45));
        });
        QTest::newRow("night time only") << QStringLiteral("T#9*2000H")
                                         << Check([](const PbxModel &m) { QCOMPARE(m.dayHour(), quint8(0xFF)); });
        QTest::newRow("clock") << QStringLiteral("T041030501H1407H") << Check([](const PbxModel &m) {
            QCOMPARE(m.now().date(), QDate(2001, 3, 5));
            QCOMPARE(m.now().time().hour(), 14);
        });
        QTest::newRow("date format") << QStringLiteral("T044") << Check([](const PbxModel &m) { QVERIFY(m.dateFormatDayFirst()); });
        QTest::newRow("reversed range changes nothing") << QStringLiteral("T021105100H") << Check([](const PbxModel &m) {
            QCOMPARE(m.station(0).tempCos, quint8(0));
            QVERIFY(m.programmingLog().last().contains(QStringLiteral("not valid")));
        });
        QTest::newRow("unknown string is recorded") << QStringLiteral("T0991H")
                                                    << Check([](const PbxModel &m) {
                                                           QCOMPARE(m.programmingLog().last(), QStringLiteral("T0991H: recorded, not understood"));
                                                       });
    }

    void programming()
    {
        QFETCH(QString, keys);
        QFETCH(Check, check);
        PbxHarness h;
        ready(h);
        const QByteArray request = keySequence(keys);
        QVERIFY(!request.isEmpty());
        h.request(request);
        check(*h.model);
        QCOMPARE(h.model->attendant().status, Status::ExtIdle);
        QVERIFY(!h.model->programmingLog().isEmpty());
    }

    void programmingAnswersTheQueries()
    {
        PbxHarness h;
        ready(h);
        h.request(keySequence(QStringLiteral("T#907301945H")));
        h.request(keySequence(QStringLiteral("T0421041040630H")));
        h.request(keySequence(QStringLiteral("T021104104H")));
        h.takeEvents();
        h.request(hexBytes("09 01 09 03 00 05 09 04 00 05"));
        QCOMPARE(h.takeEvents(), (QList<QByteArray>{hexBytes("09 01 07 1E 13 2D"), hexBytes("09 03 00 05 06 1E 01"),
                                                   hexBytes("09 04 00 05 01")}));
    }
};

QTEST_GUILESS_MAIN(TestPbxCalls)
#include "tst_pbxsim_calls.moc"
