#include "Harness.h"

#include "base/TimerIds.h"

#include <QTest>

#include <algorithm>

namespace {
struct Step
{
    QString label;
    int bar;
};
} // namespace

class TestDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void immediatePeerRunsStepsBackToBack()
    {
        Harness h;
        QList<Step> steps;
        QObject::connect(&h.status, &LogStatusModel::changed, &h.status,
                         [&] { steps.append({h.status.labelKey(), h.status.bar()}); });
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 2);
        QVERIFY(h.loader().isDone());
        QCOMPARE(h.stations.count(), quint16(48));
        QCOMPARE(h.lines.count(), quint16(16));
        QVERIFY(h.stations.allInfoReceived());
        QVERIFY(h.lines.allInfoReceived());
        QVERIFY(h.lines.allCoNamesReceived());
        QCOMPARE(h.timers.isActive(TimerId::SysInfoNextStep), false);
        QCOMPARE(h.timers.isActive(TimerId::SysInfoWatchdog), false);

        QList<int> bars;
        for (const Step &s : steps) {
            if (bars.isEmpty() || bars.last() != s.bar)
                bars.append(s.bar);
        }
        // 0, 4, 9, 14, 18, then stations 21..60, names 60..70, lines 70..100.
        QCOMPARE(bars.mid(0, 6), (QList<int>{0, 4, 0, 9, 0, 14}));
        const int at18 = int(bars.indexOf(18));
        QVERIFY(at18 > 0);
        QCOMPARE(bars.at(at18 + 1), 21);
        int prev = 18;
        for (int i = at18 + 1; i < bars.size(); ++i) {
            QVERIFY2(bars.at(i) >= prev, qPrintable(QString("bar went back at %1").arg(i)));
            prev = bars.at(i);
        }
        // Each stage stays within its part of the bar.
        auto anyIn = [&](int lo, int hi) {
            return std::any_of(bars.begin(), bars.end(), [&](int b) { return b >= lo && b <= hi; });
        };
        QVERIFY(anyIn(50, 59));
        QVERIFY(anyIn(61, 69));
        QVERIFY(anyIn(90, 99));
        QCOMPARE(bars.last(), 100);
        QCOMPARE(steps.last().label, QStringLiteral("#:LogStatusAllDone"));
        QVERIFY(h.status.speedBinStage());
        QCOMPARE(h.status.speedBinFirst(), 2000);
        QCOMPARE(h.status.speedBinLast(), 2099);
        QCOMPARE(h.loader().longVersion(), QStringLiteral("Z1.0A"));

        // The status reporting is set up last.
        const int clear = int(h.pbx.sent.indexOf(QByteArray::fromHex("0201")));
        QVERIFY(clear > 0);
        QCOMPARE(h.pbx.sent.at(clear + 1), QByteArray::fromHex("0202030114"));
        // The own station is restarted once it is known.
        QVERIFY(h.pbx.sent.contains(QByteArray::fromHex("0B010001")));
    }

    void requestOrder()
    {
        Harness h;
        h.logOn();
        QList<QByteArray> codes;
        for (const QByteArray &p : h.pbx.sent) {
            const QByteArray c = p.left(2);
            if (codes.isEmpty() || codes.last() != c)
                codes.append(c);
        }
        const QList<QByteArray> head = {QByteArray::fromHex("000B"), QByteArray::fromHex("0105"),
                                        QByteArray::fromHex("0008"), QByteArray::fromHex("0108"),
                                        QByteArray::fromHex("0B01"), QByteArray::fromHex("0101"),
                                        QByteArray::fromHex("0102"), QByteArray::fromHex("010C"),
                                        QByteArray::fromHex("010B"), QByteArray::fromHex("010A"),
                                        QByteArray::fromHex("0104"), QByteArray::fromHex("0309"),
                                        QByteArray::fromHex("0404"), QByteArray::fromHex("0405"),
                                        QByteArray::fromHex("0201"), QByteArray::fromHex("0202")};
        QCOMPARE(codes, head);
        // Station information in batches of at most ten stations, CO lines of at most fifteen items.
        for (const QByteArray &p : h.pbx.sent) {
            if (p.startsWith(QByteArray::fromHex("0309")))
                QVERIFY(p.size() <= 40);
            if (p.startsWith(QByteArray::fromHex("0405")))
                QVERIFY(p.size() <= 60);
        }
    }

    void oldPbxUsesMulti1()
    {
        Harness h;
        h.pbx.version = 0x00000102;
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 2);
        QVERIFY(h.pbx.countSent(QByteArray::fromHex("0305")) > 0);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0309")), 0);
    }

    void stationMaskAlsoFetchesCount()
    {
        Harness h;
        h.session().setLogState(true, QString());
        h.pbx.pump();
        h.pbx.sent.clear();
        h.loader().start(0x004);
        QCOMPARE(h.loader().pending(), quint16(0x005));
        QCOMPARE(h.pbx.sent.first(), QByteArray::fromHex("0101"));
        h.pbx.pump();
        QVERIFY(h.loader().isDone());
        QVERIFY(h.stations.allInfoReceived());
    }

    void lineMaskFetchesCountCodesAndInfo()
    {
        Harness h;
        h.session().setLogState(true, QString());
        h.pbx.pump();
        h.loader().start(0x002);
        QCOMPARE(h.loader().pending(), quint16(0x20A));
    }

    void unansweredRequestIsAskedAgainUntilSerialWatchdogGivesUp()
    {
        Harness h(false);
        h.pbx.silentCodes.insert(0x0102);
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 1);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0102")), 1);
        h.ui.clear();
        // Asked again every 1.6 s...
        h.advance(1600);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0102")), 2);
        h.advance(1600 * 4);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0102")), 6);
        // The first check at 10 s sees the items completed since the start and
        // looks again; the next 10 s bring nothing, so the download gives up.
        h.advance(20000 - 1600 * 5 - 1);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0102")), 13);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0003")), 0);
        h.pbx.answering = false;
        h.advance(1);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0003")), 1);
        QCOMPARE(h.ui.texts(), QStringList{"#:sysinfo_no_response"});
        QCOMPARE(h.ui.shown.first().title, QStringLiteral("#:critical_error"));
        QVERIFY(!h.timers.isActive(TimerId::SysInfoNextStep));
        // Then the log-off runs its course.
        h.advance(3000 + 1000);
        QCOMPARE(h.attendant.positionState(), 0);
    }

    void lanWatchdogDisconnects()
    {
        Harness h(true);
        h.pbx.silentCodes.insert(0x0102);
        h.logOn();
        h.ui.clear();
        // The link is closed before the operator hears of it.
        qsizetype shownAtDisconnect = -1;
        QObject::connect(&h.attendant, &CAttendantState::lanDisconnectRequested, &h.link,
                         [&] { shownAtDisconnect = h.ui.shown.size(); });
        h.advance(9999);
        QVERIFY(h.ui.shown.isEmpty());
        h.advance(1);
        QCOMPARE(shownAtDisconnect, 0);
        QCOMPARE(h.ui.texts(), QStringList{"#:sysinfo_no_response"});
        QCOMPARE(h.lanDisconnects, 1);
        QVERIFY(!h.session().isLoggedOn());
        QVERIFY(!h.timers.isActive(TimerId::SysInfoNextStep));
    }

    void slowButMovingStageOutlastsTheWatchdog_data()
    {
        QTest::addColumn<quint16>("slowCode");
        QTest::newRow("station information") << quint16(0x0309);
        QTest::newRow("CO names") << quint16(0x0404);
        QTest::newRow("CO line information") << quint16(0x0405);
    }

    // Each answer of a stage restarts the watchdog: a stage whose answers come
    // every 1.5 s runs for far longer than the two 10 s checks and still completes.
    void slowButMovingStageOutlastsTheWatchdog()
    {
        QFETCH(quint16, slowCode);
        Harness h(false);
        h.pbx.stations = 30;
        h.pbx.coNames = 30;
        h.pbx.lines = 30;
        h.pbx.slowCodes.insert(slowCode);
        h.logOn();
        const qint64 started = h.timers.now();
        do
            h.advance(1500);
        while (h.pbx.deliverSlowReply());
        QCOMPARE(h.ui.texts(), QStringList());
        QVERIFY(h.timers.now() - started > 40000);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0003")), 0);
        QVERIFY(h.loader().isDone());
        QCOMPARE(h.attendant.positionState(), 2);
    }

    void versionBeforeOwnStationWaits()
    {
        Harness h;
        h.pbx.answering = false;
        h.request().LOG_ON_Request();
        h.pbx.inject(QByteArray::fromHex("0001"));
        h.pbx.sent.clear();
        h.pbx.inject(QByteArray::fromHex("000800010103"));
        h.pbx.inject(QByteArray::fromHex("0108025A31"));
        QVERIFY(h.pbx.sent.isEmpty());
        h.pbx.inject(QByteArray::fromHex("01050003"));
        QCOMPARE(h.attendant.ownStationIndex(), 2);
        // The own station restarts, then the next step asks for the station count.
        QCOMPARE(h.pbx.sent, (QList<QByteArray>{QByteArray::fromHex("0B010003"), QByteArray::fromHex("0101")}));
    }

    void versionOutsideDownloadStartsNothing()
    {
        Harness h;
        h.logOn();
        h.pbx.sent.clear();
        h.pbx.inject(QByteArray::fromHex("000800010103"));
        h.pbx.inject(QByteArray::fromHex("01010030"));
        QVERIFY(h.pbx.sent.isEmpty());
        QCOMPARE(h.attendant.positionState(), 2);
    }

    void zeroStationsLogsOff()
    {
        Harness h;
        h.pbx.stations = 0;
        h.logOn();
        QVERIFY(h.pbx.countSent(QByteArray::fromHex("0003")) >= 1);
        h.advance(1000);
        QCOMPARE(h.attendant.positionState(), 0);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_off_ok"});
    }

    void largePbxDownload()
    {
        Harness h;
        h.pbx.stations = 2000;
        h.pbx.lines = 400;
        h.pbx.coNames = 40;
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 2);
        QCOMPARE(h.stations.count(), quint16(2000));
        QCOMPARE(h.lines.count(), quint16(400));
        QCOMPARE(h.stations.record(1999)->name, QStringLiteral("STY"));
        QCOMPARE(h.lines.coNameText(h.lines.record(399)->coNameNumber), QStringLiteral("CO1"));
    }

    void administrationReplies()
    {
        Harness h;
        h.logOn();
        h.ui.clear();
        h.pbx.inject(QByteArray::fromHex("0601060206030604 0605"));
        QCOMPARE(h.ui.texts(), QStringList({"#:admin_disable", "#:admin_fail", "#:admin_invalid_stano"}));
        for (const auto &s : h.ui.shown)
            QCOMPARE(s.title, QStringLiteral("#:warning_title"));
    }

    void resetClearsResults()
    {
        Harness h;
        h.logOn();
        int resets = 0;
        QObject::connect(&h.loader(), &CSysInfoLoader::resetDone, &h.link, [&] { ++resets; });
        h.request().LOG_OFF_REQ();
        h.pbx.pump();
        h.advance(1000);
        QCOMPARE(resets, 1);
        QVERIFY(!h.loader().isDone());
        QVERIFY(h.loader().longVersion().isEmpty());
        QVERIFY(h.loader().versionLine().endsWith(QStringLiteral("#:unknown")));
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
