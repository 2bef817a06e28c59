#include "Harness.h"

#include "callstate/CAttendantCalls.h"
#include "callstate/CQueueEvent.h"
#include "callstate/Paging.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(CQueueEvent)

// The attendant calls inside the real console: routed events, the own station
// from the download, the paging zones, the signals the windows take.
class TestConsoleCalls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<CQueueEvent>(); }

    void wiredIntoTheConsole()
    {
        Harness h;
        CAttendantCalls &calls = h.console.calls();
        QVERIFY(!calls.canMakeCall());
        h.logOn();
        QCOMPARE(h.attendant.positionState(), 2);
        QCOMPARE(calls.ownStation(), 0);
        QCOMPARE(h.console.paging().zoneCount(), 3);

        QSignalSpy queue(&h.console, &Console::queueEvent);
        QSignalSpy popups(&h.console, &Console::popupRequested);
        QSignalSpy states(&h.console, &Console::stateChanged);
        // Two events in one payload: the own status, then a station ringing the attendant.
        h.pbx.inject(QByteArray::fromHex("854000" "08010005"));
        QVERIFY(calls.canMakeCall());
        QCOMPARE(calls.ownStateChar(), QChar('@'));
        QCOMPARE(h.stations.record(0)->status, Status::STEXT_IDLE);
        QVERIFY(states.count() > 0);
        QCOMPARE(queue.count(), 1);
        const CQueueEvent e = queue.at(0).at(0).value<CQueueEvent>();
        QCOMPARE(e.type, QueueType::QLTN_EXT_RING);
        QCOMPARE(e.index, quint16(4));
        QVERIFY(e.add);

        h.pbx.inject(QByteArray::fromHex("854300"));
        QVERIFY(calls.isInCall());
        QCOMPARE(popups.count(), 1);

        // After the log-off the own status is not known until the PBX tells it again.
        h.request().LOG_OFF_REQ();
        h.pbx.pump();
        h.advance(5000);
        QCOMPARE(h.attendant.positionState(), 0);
        QVERIFY(calls.ownStateChar().isNull());
        QVERIFY(!calls.isInCall());
    }
};

QTEST_GUILESS_MAIN(TestConsoleCalls)
#include "tst_console_calls.moc"
