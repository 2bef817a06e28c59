#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/ButtonSizeDialog.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallInfoDialog.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QToolTip>

namespace {

struct Tables
{
    Tables()
        : link(timers)
        , request(link)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , tips(stations, lines, clock)
    {
        link.setLanConnection(&transport);
        stations.setCount(200);
        lines.setCount(24);
        for (quint16 i = 0; i < 200; ++i) {
            stations.setStatus(i, Status::STEXT_IDLE);
            stations.setPresence(i, i >= 180 ? 0xFF : 0);
        }
        context.stations = &stations;
        context.lines = &lines;
        context.tips = &tips;
        context.request = &request;
        context.ui = &ui;
        context.attendantIdle = [this] { return idle; };
    }
    QList<int> codes() const
    {
        QList<int> out;
        for (const QByteArray &p : transport.payloads())
            out.append((quint8(p.at(0)) << 8) | quint8(p.at(1)));
        return out;
    }

    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CLinkRequest request;
    CExtStatusList stations;
    CTrkStatusList lines;
    StatusToolTip tips;
    CDLOView::Context context;
    bool idle = false;
};

} // namespace

class TestStatusWindows : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gridFollowsTheWidth()
    {
        Tables t;
        CDLOView view(PORT_KIND_EXT, t.context);
        view.resize(4 * 76 + 40 + view.frameWidth() * 2 + 20, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const int columns = view.grid().columns();
        QCOMPARE(columns, view.viewport()->width() / 76);
        QCOMPARE(view.grid().placedCount(), 180);
        // Only the present stations take cells.
        QVERIFY(view.grid().rect(185).isNull());
        // A width of the same column count does not lay out again; a wider one does.
        t.stations.setPresence(3, 0xFF);
        view.resize(view.width() + 5, 300);
        QCoreApplication::processEvents();
        QCOMPARE(view.grid().placedCount(), 180);
        view.resize(view.width() + 200, 300);
        QCoreApplication::processEvents();
        QVERIFY(view.grid().columns() > columns);
        QCOMPARE(view.grid().placedCount(), 179);
    }

    void hintsRepaintOneButton()
    {
        Tables t;
        CDLOView view(PORT_KIND_EXT, t.context);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resetButtonRepaints();
        t.stations.setStatus(2, Status::ST_BUSY);
        QCOMPARE(view.buttonRepaints(), 1);
        QCOMPARE(view.lamp(2), (LampState{StatusLamp::Red, 1, StatusLamp::Grey}));
        t.stations.setName(2, QStringLiteral("LOBBY"));
        QCOMPARE(view.buttonTitle(2), QStringLiteral("LOBBY"));
        QCOMPARE(view.buttonRepaints(), 2);
        // Beyond the buttons: ignored.
        view.onUpdate((quint32(500) << 16) | HINT_STATUS);
        QCOMPARE(view.buttonRepaints(), 2);
    }

    void lampsBlinkOnSharedClocks()
    {
        Tables t;
        CDLOView stations(PORT_KIND_EXT, t.context);
        stations.resize(600, 400);
        stations.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stations));
        QVERIFY(!stations.blinkClockRunning(500));
        t.stations.setStatus(4, Status::STEXT_IDLE_WITH_DND);
        t.stations.setStatus(5, Status::STEXT_IDLE_WITH_DND);
        QVERIFY(stations.blinkClockRunning(500));
        stations.resetButtonRepaints();
        QString phases;
        for (int i = 0; i < 4; ++i) {
            phases += stations.lampLit(4) ? QLatin1Char('D') : QLatin1Char('G');
            stations.blinkStep(500);
        }
        // Dark and green in turn; both lamps change on every tick.
        QCOMPARE(phases, QStringLiteral("DGDG"));
        QCOMPARE(stations.buttonRepaints(), 8);
        t.stations.setStatus(4, Status::STEXT_IDLE);
        t.stations.setStatus(5, Status::STEXT_IDLE);
        QVERIFY(!stations.blinkClockRunning(500));

        CDLOView lines(PORT_KIND_TRK, t.context);
        t.lines.setStatus(3, Status::STTRK_HOLD_ATDRECALL);
        QCOMPARE(lines.lamp(3), (LampState{StatusLamp::Blue, 5, StatusLamp::Grey}));
        QVERIFY(lines.blinkClockRunning(125));
        QCOMPARE(lines.buttonTitle(3), QStringLiteral("#:co_title_DLO04"));
    }

    void toolTipAndHover()
    {
        Tables t;
        t.stations.setNumber(0, 0x1A1);
        CDLOView view(PORT_KIND_EXT, t.context);
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QPoint centre = view.buttonRect(0).center();
        QHelpEvent help(QEvent::ToolTip, centre, view.viewport()->mapToGlobal(centre));
        QApplication::sendEvent(view.viewport(), &help);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(QStringLiteral("101")), qPrintable(QToolTip::text()));
        QToolTip::hideText();
        // Resting on a button asks the PBX for its details after 300 ms.
        QTest::mouseMove(view.viewport(), centre);
        QCOMPARE(view.hoveredIndex(), 0);
        QVERIFY(view.hoverTimerActive());
        t.transport.frames.clear();
        QTRY_VERIFY(!view.hoverTimerActive());
        QVERIFY(!t.transport.frames.isEmpty());
    }

    void contextCommands()
    {
        Tables t;
        t.stations.setNumber(6, 0x27);
        CDLOView view(PORT_KIND_EXT, t.context);
        std::unique_ptr<QMenu> menu(view.createContextMenu(6));
        QCOMPARE(menu->objectName(), QStringLiteral("DLO_STA"));
        QCOMPARE(menu->actions().size() - 4, 16); // four separators
        // An idle-only command while the attendant is not idle: refused, nothing sent.
        view.runCommand(6, CDLOView::CancelWakeUp);
        QCOMPARE(t.ui.texts(), QStringList({"#:cannot_exe_atd_pgm"}));
        QVERIFY(t.transport.frames.isEmpty());
        t.idle = true;
        view.runCommand(6, CDLOView::AttendantCancel);
        // The station's number is the first and the last station of the range.
        const QList<QByteArray> sent = t.transport.payloads();
        t.transport.frames.clear();
        QVERIFY(t.request.keySequence(QStringLiteral("T0712727H")));
        QCOMPARE(sent, t.transport.payloads());
        // A title mode is stored and every title follows.
        view.runCommand(6, CDLOView::TitleNumber);
        QCOMPARE(view.buttonTitle(6), QStringLiteral("27"));
        view.runCommand(6, CDLOView::TitleFullName);

        CDLOView lines(PORT_KIND_TRK, t.context);
        std::unique_ptr<QMenu> coMenu(lines.createContextMenu(1));
        QCOMPARE(coMenu->objectName(), QStringLiteral("DLO_TRK"));
        t.transport.frames.clear();
        lines.runCommand(1, CDLOView::CoDrop);
        QCOMPARE(t.codes(), QList<int>({0x0B02}));
    }

    void buttonSizeDialog()
    {
        Tables t;
        ButtonSizeDialog dialog(t.ui, QSize(75, 23));
        dialog.show();
        dialog.widthBox()->setValue(30);
        dialog.heightBox()->setValue(60);
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QCOMPARE(t.ui.shown.size(), 1);
        QCOMPARE(t.ui.shown.first().style, 48);
        QCOMPARE(t.ui.shown.first().text.split(QLatin1Char('\n')).size(), 2);
        dialog.heightBox()->setValue(50);
        dialog.accept();
        QCOMPARE(t.ui.shown.size(), 2);
        QVERIFY(dialog.isVisible());
        dialog.widthBox()->setValue(200);
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.chosenSize(), QSize(200, 50));

        CDLOView view(PORT_KIND_TRK, t.context);
        view.resize(500, 300);
        view.applyButtonSize(QSize(100, 20));
        QCOMPARE(view.grid().buttonSize(), QSize(100, 20));
        view.applyButtonSize(QSize(75, 23));
    }

    void queueWindow()
    {
        Tables t;
        CQueueView::Context context;
        context.stations = &t.stations;
        context.lines = &t.lines;
        context.request = &t.request;
        context.clock = &t.clock;
        context.callerInfoEnabled = [] { return true; };
        CQueueView view(context);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        t.lines.setStatus(2, Status::ST_RING);
        CQueueEvent ring;
        ring.type = QueueType::QLTN_TRK_INCOMING;
        ring.index = 2;
        ring.add = true;
        ring.description = QStringLiteral("0301 555 1234");
        view.post(ring);
        QCOMPARE(view.topLevelItemCount(), 1);
        QCOMPARE(view.topLevelItem(0)->text(0), QStringLiteral("CO 03"));
        QCOMPARE(view.topLevelItem(0)->text(3), QStringLiteral("0301 555 1234"));
        // The pop-up shows the call with the default picture, pick-up focused.
        QVERIFY(view.popup()->isVisible());
        QCOMPARE(view.popup()->numberField()->text(), QStringLiteral("CO 03"));
        QVERIFY(view.popup()->defaultPicture());
        // The waiting time advances.
        t.clock.advanceMs(5000);
        view.queue().tick();
        QCOMPARE(view.topLevelItem(0)->text(1), QStringLiteral("00:05"));
        // The minutes count on past the hour, and the column makes room for them.
        t.clock.advanceMs((125 * 60 + 25) * 1000);
        view.queue().tick();
        QCOMPARE(view.topLevelItem(0)->text(1), QStringLiteral("125:30"));
        t.clock.advanceMs((874 * 60 + 30) * 1000);
        view.queue().tick();
        QCOMPARE(view.topLevelItem(0)->text(1), QStringLiteral("1000:00"));
        const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
        QVERIFY(view.header()->sectionSize(1)
                >= view.fontMetrics().horizontalAdvance(QStringLiteral("1000:00")) + 2 * margin);
        // A click on the row answers the call.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(view.topLevelItem(0)).center());
        QCOMPARE(t.codes(), QList<int>({0x0503}));
        // Ignored: the pop-up goes.
        QTest::mouseClick(view.popup()->ignoreButton(), Qt::LeftButton);
        QVERIFY(!view.popup()->isVisible());
        // The ring stops: the row goes.
        ring.add = false;
        view.post(ring);
        QCOMPARE(view.topLevelItemCount(), 0);
    }
};

QTEST_MAIN(TestStatusWindows)
#include "tst_StatusWindows.moc"
