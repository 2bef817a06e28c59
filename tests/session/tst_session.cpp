#include "Harness.h"

#include "base/TimerIds.h"

#include <QTest>

class TestSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void logOnUnanswered_data()
    {
        QTest::addColumn<bool>("lan");
        QTest::newRow("lan closes") << true;
        QTest::newRow("serial stays") << false;
    }
    void logOnUnanswered()
    {
        QFETCH(bool, lan);
        Harness h(lan);
        h.pbx.answering = false;
        h.request().LOG_ON_Request();
        h.advance(29999);
        QVERIFY(h.ui.shown.isEmpty());
        h.advance(1);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_on_no_response"});
        QCOMPARE(h.ui.shown.first().title, QStringLiteral("#:log_info"));
        QCOMPARE(h.ui.shown.first().style, 48);
        QCOMPARE(h.lanDisconnects, lan ? 1 : 0);
        QVERIFY(!h.session().isLoggedOn());
        // The wait fires once.
        h.advance(60000);
        QCOMPARE(h.ui.shown.size(), 1);
    }

    void logOnAckStartsDownload()
    {
        Harness h;
        h.pbx.answering = false;
        h.request().LOG_ON_Request();
        h.pbx.inject(QByteArray::fromHex("0001"));
        QVERIFY(h.session().isLoggedOn());
        QCOMPARE(h.attendant.positionState(), 1);
        QVERIFY(h.status.isOpen());
        QVERIFY(!h.timers.isActive(TimerId::LogOnWait));
        QVERIFY(h.timers.isActive(TimerId::SysInfoWatchdog));
        // The first step asks for the own station, the version and the long MPB version.
        QCOMPARE(h.pbx.sent.mid(1), (QList<QByteArray>{QByteArray::fromHex("0105"), QByteArray::fromHex("0008"),
                                                      QByteArray::fromHex("0108")}));
    }

    void logOnNakShowsAtOnce()
    {
        Harness h;
        h.pbx.answering = false;
        h.request().LOG_ON_Request();
        h.pbx.inject(QByteArray::fromHex("000205"));
        QCOMPARE(h.ui.texts(), QStringList{"#:log_on_denied"});
        QVERIFY(!h.timers.isActive(TimerId::LogOnWait));
        QVERIFY(!h.timers.isActive(TimerId::LogOffCompletion));
    }

    void logOffAckCompletesAfterDialogsEnded()
    {
        Harness h;
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 2);
        h.ui.clear();
        int ended = 0;
        h.ui.dialogs().enter([&] { ++ended; });
        h.request().LOG_OFF_REQ();
        h.pbx.pump();
        QVERIFY(!h.session().isLoggedOn());
        QVERIFY(!h.status.isOpen());
        QCOMPARE(h.attendant.positionState(), 2); // the state returns to 0 only at the completion
        h.advance(999);
        QCOMPARE(ended, 0);
        h.advance(1);
        QCOMPARE(ended, 1);
        QVERIFY(h.ui.shown.isEmpty());
        QCOMPARE(h.attendant.positionState(), 2);
        h.advance(1000);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_off_ok"});
        QCOMPARE(h.attendant.positionState(), 0);
        QVERIFY(!h.timers.isActive(TimerId::LogOffCompletion));
        QCOMPARE(h.session().versionValue(), quint32(0));
    }

    // A log-on within the second a log-off needs to complete: the old
    // completion must neither reset the new download nor forget its version.
    void logOnAckWhileLogOffCompletes()
    {
        Harness h;
        h.logOn();
        h.ui.clear();
        h.pbx.inject(QByteArray::fromHex("0007"));
        h.advance(300);
        h.pbx.inject(QByteArray::fromHex("0001"));
        QCOMPARE(h.session().versionValue(), quint32(0));
        QVERIFY(h.loader().longVersion().isEmpty());
        QCOMPARE(h.status.versionLine(), h.loader().versionLine());
        h.pbx.pump();
        QCOMPARE(h.attendant.positionState(), 2);
        h.advance(5000);
        QCOMPARE(h.attendant.positionState(), 2);
        QVERIFY(h.status.isOpen());
        QCOMPARE(h.session().versionValue(), h.pbx.version);
        QVERIFY(h.ui.shown.isEmpty());
    }

    // The operator logs on again before the completion ran: it runs at once,
    // so it cannot mark the console not connected under the new log-on.
    void logOnCommandWhileLogOffCompletes()
    {
        Harness h;
        h.logOn();
        h.ui.clear();
        h.pbx.inject(QByteArray::fromHex("0007"));
        h.advance(300);
        h.pbx.answering = false;
        h.console.logOnCommand();
        QCOMPARE(h.attendant.positionState(), 0);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_off_by_varo"});
        h.advance(1000);
        QVERIFY(h.console.isConnected());
        QCOMPARE(h.pbx.sent.last(), QByteArray::fromHex("000b"));
        h.pbx.answering = true;
        h.pbx.inject(QByteArray::fromHex("0001"));
        h.pbx.pump();
        QCOMPARE(h.attendant.positionState(), 2);
    }

    // The version line reads "unknown" until the long version arrives, also
    // at the log-on after a PBX that had one.
    void versionLineUnknownUntilItArrives()
    {
        Harness h;
        const QString unknown = h.loader().versionLine();
        h.logOn();
        QVERIFY(h.status.versionLine() != unknown);
        h.request().LOG_OFF_REQ();
        h.pbx.pump();
        h.advance(1000);
        QCOMPARE(h.attendant.positionState(), 0);
        h.pbx.answering = false;
        h.request().LOG_ON_Request();
        h.pbx.inject(QByteArray::fromHex("0001"));
        QCOMPARE(h.status.versionLine(), unknown);
    }

    void logOffRows_data()
    {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<qint64>("wait");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("staysLoggedOn");
        QTest::newRow("nak") << QByteArray::fromHex("0004") << qint64(0) << "#:log_off_denied" << true;
        QTest::newRow("no answer") << QByteArray() << qint64(3000 + 1000) << "#:log_off_no_response" << false;
        QTest::newRow("by pbx") << QByteArray::fromHex("0007") << qint64(1000) << "#:log_off_by_varo" << false;
    }
    void logOffRows()
    {
        QFETCH(QByteArray, event);
        QFETCH(qint64, wait);
        QFETCH(QString, message);
        QFETCH(bool, staysLoggedOn);
        Harness h;
        h.logOn();
        h.ui.clear();
        h.pbx.answering = false;
        if (event != QByteArray::fromHex("0007"))
            h.request().LOG_OFF_REQ();
        if (!event.isEmpty())
            h.pbx.inject(event);
        h.advance(wait);
        QCOMPARE(h.ui.texts(), QStringList{message});
        QCOMPARE(h.session().isLoggedOn(), staysLoggedOn);
        QCOMPARE(h.attendant.positionState(), staysLoggedOn ? 2 : 0);
    }

    void logOnStateWhileLoggedOffSendsLogOff()
    {
        Harness h;
        h.pbx.answering = false;
        h.pbx.inject(QByteArray::fromHex("0006"));
        QCOMPARE(h.pbx.sent, QList<QByteArray>{QByteArray::fromHex("0003")});
    }

    void silentPbx_data()
    {
        QTest::addColumn<bool>("lan");
        QTest::newRow("serial") << false;
        QTest::newRow("lan") << true;
    }
    void silentPbx()
    {
        QFETCH(bool, lan);
        Harness h(lan);
        h.logOn();
        h.ui.clear();
        h.pbx.answering = false;
        h.pbx.sent.clear();
        h.advance(17767);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0005")), 0);
        h.advance(1);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0005")), 1);
        h.advance(29999);
        QVERIFY(h.session().isLoggedOn());
        h.advance(1);
        QVERIFY(!h.session().isLoggedOn());
        h.advance(1000);
        QCOMPARE(h.attendant.positionState(), 0);
        if (lan) {
            QCOMPARE(h.lanDisconnects, 1);
            QVERIFY(h.ui.shown.isEmpty());
        } else {
            QCOMPARE(h.lanDisconnects, 0);
            QCOMPARE(h.ui.texts(), QStringList{"#:log_nomore_response"});
        }
    }

    void anyPayloadKeepsTheLinkAlive()
    {
        Harness h;
        h.logOn();
        h.pbx.answering = false;
        h.pbx.sent.clear();
        for (int i = 0; i < 10; ++i) {
            h.advance(10000);
            h.pbx.inject(QByteArray::fromHex("000E")); // a ping
        }
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0005")), 0);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("000F")), 10);
        // LOG_ON_STATE stops the confirmation wait.
        h.advance(17768);
        QVERIFY(h.timers.isActive(TimerId::ReceiveConfirm));
        h.pbx.inject(QByteArray::fromHex("0006"));
        QVERIFY(!h.timers.isActive(TimerId::ReceiveConfirm));
        QVERIFY(h.session().isLoggedOn());
    }

    void aliveEveryIdlePeriod()
    {
        Harness h;
        h.logOn();
        h.pbx.sent.clear();
        // The PBX keeps talking (so the receive watch stays quiet); the console sends nothing.
        for (int t = 0; t < 5 * 17768; t += 8000) {
            h.advance(8000);
            h.pbx.inject(QByteArray::fromHex("000C00000001"));
        }
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0006")), 5);
        QCOMPARE(h.pbx.countSent(QByteArray::fromHex("0005")), 0);
    }

    void packetMissIsAcknowledged()
    {
        Harness h;
        h.logOn();
        h.ui.clear();
        h.pbx.sent.clear();
        h.pbx.inject(QByteArray::fromHex("0009"));
        QCOMPARE(h.pbx.sent, QList<QByteArray>{QByteArray::fromHex("000A")});
        QCOMPARE(h.ui.texts(), QStringList{"#:log_packet_miss"});
    }

    void beforeLogOnStationEventsAreIgnored()
    {
        Harness h;
        h.stations.setCount(4);
        h.pbx.inject(QByteArray::fromHex("8303000110"));
        QCOMPARE(int(h.stations.record(0)->status), 0x01);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
