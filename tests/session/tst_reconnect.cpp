// Logging on again by itself after a loss the operator did not ask for.
#include "Harness.h"

#include "base/TimerIds.h"
#include "console/Reconnector.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTest>

namespace {
const QByteArray LogOnRequest = QByteArray::fromHex("000b");
const QByteArray LogOffState = QByteArray::fromHex("0007");

// The operator logs on; the download runs to its end.
void logOnByOperator(Harness &h)
{
    h.console.logOnCommand();
    h.pbx.pump();
    for (int i = 0; i < 200 && h.attendant.positionState() != CAttendantState::Ready; ++i)
        h.advance(100);
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::Ready));
}

// The PBX drops the position; the log-off completes a second later.
void loseThePosition(Harness &h)
{
    h.pbx.inject(LogOffState);
    h.advance(1000);
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::LoggedOff));
}
} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    // Attempts at 2, 4, 8, 16, 32, 60, 60 s; the failures are traced, the
    // loss was shown once; the first answered attempt runs the whole download.
    void attemptsDoubleUpToAMinute()
    {
        Harness h;
        logOnByOperator(h);
        h.ui.clear();
        h.pbx.answering = false;
        QSignalSpy status(&h.console, &Console::reconnectStatusChanged);
        loseThePosition(h);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_off_by_varo"});

        // Each attempt opens the link anew.
        const int lan = PbxConnection::Lan;
        for (const int delay : {2000, 4000, 8000, 16000, 32000, 60000, 60000}) {
            h.advance(delay - 1);
            const int before = h.connection->opens[lan];
            h.advance(1);
            QCOMPARE(h.connection->opens[lan], before + 1);
            QCOMPARE(h.pbx.sent.last(), LogOnRequest);
        }
        QCOMPARE(h.console.isReconnecting(), true);
        QVERIFY(status.last().at(0).toString().contains(QStringLiteral("60")));
        // Refused or unanswered attempts raise no further boxes.
        h.advance(30000);
        QCOMPARE(h.ui.texts(), QStringList{"#:log_off_by_varo"});
        QVERIFY(!h.ui.suppressed.isEmpty());

        // The PBX is back: the next attempt logs on and downloads afresh.
        h.pbx.answering = true;
        h.pbx.open = true;
        h.pbx.stations = 24;
        for (int i = 0; i < 100 && h.attendant.positionState() != CAttendantState::Ready; ++i)
            h.advance(1000);
        QCOMPARE(h.attendant.positionState(), int(CAttendantState::Ready));
        QCOMPARE(h.stations.count(), quint16(24));
        QVERIFY(!h.console.isReconnecting());
        QVERIFY(status.last().at(0).toString().isEmpty());
        QVERIFY(!h.ui.messagesSuppressed());
        const int sent = h.pbx.countSent(LogOnRequest);
        h.advance(120000);
        QCOMPARE(h.pbx.countSent(LogOnRequest), sent);
    }

    void operatorEndsIt()
    {
        Harness h;
        logOnByOperator(h);
        h.pbx.answering = false;
        loseThePosition(h);
        h.advance(2000);
        QVERIFY(h.console.isReconnecting());
        h.console.disconnectCommand();
        QVERIFY(!h.console.isReconnecting());
        const int opens = h.connection->opens[PbxConnection::Lan];
        h.advance(120000);
        QCOMPARE(h.connection->opens[PbxConnection::Lan], opens);

        // A log-off the operator asked for is no loss.
        h.pbx.answering = true;
        h.pbx.open = true;
        logOnByOperator(h);
        h.ui.nextAnswer = MessageStyle::ResultYes;
        h.console.logOffCommand();
        h.pbx.pump();
        h.advance(2000);
        QCOMPARE(h.attendant.positionState(), int(CAttendantState::LoggedOff));
        QVERIFY(!h.console.isReconnecting());
    }

    void switchedOffKeepsThePositionLoggedOff()
    {
        Reconnector::setEnabled(false);
        Harness h;
        logOnByOperator(h);
        loseThePosition(h);
        const int sent = h.pbx.countSent(LogOnRequest);
        h.advance(120000);
        QCOMPARE(h.pbx.countSent(LogOnRequest), sent);
        QVERIFY(!h.console.isReconnecting());
    }
};

QTEST_GUILESS_MAIN(TestReconnect)
#include "tst_reconnect.moc"
