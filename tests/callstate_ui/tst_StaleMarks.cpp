// Stale marks in the windows: the status button grid, its tool-tips, the
// call queue and the key telephone, while the PBX's state is unknown.
#include "../session/Harness.h"

#include "base/MessageCatalogue.h"
#include "callstate/StatusFreshness.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueFrame.h"
#include "callstate/ui/CQueueView.h"
#include "keyset/KeyTelephone.h"
#include "keyset/ui/KeyTelephoneWindow.h"
#include "keyset/ui/LampKeyButton.h"

#include <QApplication>
#include <QImage>
#include <QSettings>
#include <QTest>

namespace {

const QDateTime NineFortyOne(QDate(2026, 1, 1), QTime(9, 41, 30));

// The two tables with a freshness of their own, stale from the start.
struct Tables
{
    Tables()
        : link(timers)
        , request(link)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , freshness(clock)
        , tips(stations, lines, clock)
    {
        stations.setFreshness(&freshness);
        lines.setFreshness(&freshness);
        stations.setCount(24);
        lines.setCount(8);
        for (quint16 i = 0; i < 24; ++i) {
            stations.setStatus(i, Status::STEXT_IDLE);
            stations.setPresence(i, 0);
        }
        stations.setStatus(1, Status::STEXT_IDLE_WITH_DND);
        stations.setStatus(2, Status::ST_BUSY);
        stations.setStatus(3, Status::ST_RING);
        context.stations = &stations;
        context.lines = &lines;
        context.tips = &tips;
        context.request = &request;
        context.ui = &ui;
    }

    ManualTimerHost timers;
    ManualClock clock{NineFortyOne};
    OperatorUiRecorder ui;
    CLinkPort link;
    CLinkRequest request;
    CExtStatusList stations;
    CTrkStatusList lines;
    StatusFreshness freshness;
    StatusToolTip tips;
    CDLOView::Context context;
};

void logOnHeld(Harness &h)
{
    h.pbx.slowCodes = {0x0305, 0x0309};
    h.console.logOnCommand();
    h.pbx.pump();
    for (int i = 0; i < 20; ++i)
        h.advance(100);
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::Downloading));
}

void finishDownload(Harness &h)
{
    for (int i = 0; i < 400 && h.attendant.positionState() != CAttendantState::Ready; ++i) {
        while (h.pbx.deliverSlowReply()) {
        }
        h.advance(100);
    }
    QCOMPARE(h.attendant.positionState(), int(CAttendantState::Ready));
}

QPoint rowCentre(CQueueView &view, int row)
{
    return view.visualItemRect(view.topLevelItem(row)).center();
}

} // namespace

class TestStaleMarks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
    }
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    // Stale: hatched, and not a lamp blinks, whatever the status events say;
    // live: the marks go and the blink clocks run; stale again looks as before.
    void stationGridHatchedAndStill()
    {
        Tables t;
        CDLOView view(PORT_KIND_EXT, t.context);
        view.resize(4 * 76 + 30, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.isStale());
        QVERIFY(!view.blinkClockRunning(500));
        t.stations.setStatus(4, Status::STEXT_IDLE_WITH_RING);
        QVERIFY(!view.blinkClockRunning(500));
        QVERIFY(view.lampLit(1));
        const QImage stale = view.grab().toImage();
        stale.save(QStringLiteral("stale-station-window.png"));

        t.freshness.markLive();
        QVERIFY(!view.isStale());
        QVERIFY(view.blinkClockRunning(500));
        const QImage live = view.grab().toImage();
        live.save(QStringLiteral("live-station-window.png"));
        QVERIFY(stale != live);
        // The hatch lies over the whole button of the busy station 2, lamp and face.
        const QRect busy = view.buttonRect(2);
        int hatchDots = 0;
        for (int x = busy.left() + 16; x < busy.right() - 4; ++x)
            hatchDots += stale.pixelColor(view.viewport()->pos() + QPoint(x, busy.center().y())) == QColor(0x60, 0x60, 0x60);
        QVERIFY2(hatchDots > 4, qPrintable(QString::number(hatchDots)));

        view.blinkStep(500);
        QVERIFY(!view.lampLit(1));
        t.freshness.markStale();
        QVERIFY(!view.blinkClockRunning(500));
        QVERIFY(view.lampLit(1));
        QCOMPARE(view.grab().toImage(), stale);
        t.freshness.markLive();
        QCOMPARE(view.grab().toImage(), live);
    }

    // A stale tool-tip begins with the time the status became unknown and
    // claims no time in the status; a live one has no such line.
    void toolTipsSayStatusUnknown()
    {
        Tables t;
        t.clock.set(NineFortyOne.addSecs(95));
        const QString unknown = QStringLiteral("Status unknown since 09:41");
        const QString stale = t.tips.station(3);
        QVERIFY2(stale.startsWith(unknown + QStringLiteral("\r\n")), qPrintable(stale));
        QVERIFY(!stale.contains(QStringLiteral("Ringing")));
        QVERIFY(t.tips.coLine(0).startsWith(unknown + QStringLiteral("\r\n")));

        t.freshness.markLive();
        const QString live = t.tips.station(3);
        QVERIFY(!live.contains(QStringLiteral("Status unknown")));
        QVERIFY2(live.contains(QStringLiteral("Ringing (00:01:35)")), qPrintable(live));
        QVERIFY(!t.tips.coLine(0).contains(QStringLiteral("Status unknown")));
    }

    // The queue over the real console: while the download runs its rows are
    // hatched, a click on one shows the message and sends nothing; the end
    // of the download clears the marks and a click answers.
    void staleQueueRowRefusedAtTheLink()
    {
        Harness h;
        CQueueView::Context context;
        context.stations = &h.stations;
        context.lines = &h.lines;
        context.request = &h.console.request();
        context.clock = &h.clock;
        auto *view = new CQueueView(context);
        CQueueFrame frame(view, h.ui, [&h] { return h.console.isLoggedOn(); });
        frame.resize(400, 200);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));

        logOnHeld(h);
        h.lines.setStatus(2, Status::ST_RING);
        view->post({QueueType::QLTN_TRK_INCOMING, 2, true, QStringLiteral("CO 3")});
        QCOMPARE(view->topLevelItemCount(), 1);
        QTreeWidgetItem *item = view->topLevelItem(0);
        QCOMPARE(item->background(3).style(), Qt::BDiagPattern);
        QVERIFY(item->toolTip(0).startsWith(QStringLiteral("Status unknown since")));

        h.ui.clear();
        const qsizetype sent = h.pbx.sent.size();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(*view, 0));
        QCOMPARE(h.pbx.sent.size(), sent);
        QCOMPARE(h.ui.texts(), QStringList{QStringLiteral("#:queue_answer_stale")});
        QCOMPARE(view->topLevelItemCount(), 1);

        finishDownload(h);
        item = view->topLevelItem(0);
        QCOMPARE(item->background(3).style(), Qt::NoBrush);
        QVERIFY(item->toolTip(0).isEmpty());
        h.lines.setStatus(2, Status::ST_RING);
        const qsizetype sentLive = h.pbx.sent.size();
        h.ui.clear();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rowCentre(*view, 0));
        QCOMPARE(h.pbx.sent.size(), sentLive + 1);
        QVERIFY(h.pbx.sent.last().startsWith(QByteArray::fromHex("0503")));
        QVERIFY(h.ui.texts().isEmpty());
        frame.closeNow();
    }

    // The key telephone's lamp keys: stale, hatched and still with the
    // tool-tip; live, blinking again; the dial keys carry no mark.
    void keyTelephoneLampsStill()
    {
        Tables t;
        KeyTelephone phone(t.request, t.timers);
        phone.displayCommand(0x24, 0x3F, 0xFF); // lamp 20 green, pattern 3
        KeyTelephoneWindow window(phone);
        LampKeyButton *key = window.keyOfLamp(20);
        QVERIFY(key);
        QVERIFY(key->isBlinking());
        window.setFreshness(&t.freshness);
        QVERIFY(key->isStale());
        QVERIFY(!key->isBlinking());
        QCOMPARE(key->toolTip(), QStringLiteral("Status unknown since 09:41"));
        QVERIFY(!window.dialKeys().front()->isStale());
        const QImage stale = key->grab().toImage();

        t.freshness.markLive();
        QVERIFY(!key->isStale());
        QVERIFY(key->isBlinking());
        QVERIFY(key->toolTip().isEmpty());
        QVERIFY(key->grab().toImage() != stale);
        t.freshness.markStale();
        QVERIFY(!key->isBlinking());
        // A lamp command while stale sets the lamp, but it does not blink yet.
        phone.lamps().set(20, 4, 5);
        QCOMPARE(key->lamp().pattern(), 5);
        QVERIFY(!key->isBlinking());
    }
};

QTEST_MAIN(TestStaleMarks)
#include "tst_StaleMarks.moc"
