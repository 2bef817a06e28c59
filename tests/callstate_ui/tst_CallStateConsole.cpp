// The status windows and the queue window over the real console and a small
// PBX: what a click on a button or a queue row puts on the link, and what the
// pop-up menus of the buttons offer.
#include "Harness.h"

#include "base/MessageCatalogue.h"
#include "callstate/CAttendantCalls.h"
#include "callstate/CQueueEvent.h"
#include "callstate/StatusToolTip.h"
#include "callstate/ui/CDLOView.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallInfoDialog.h"
#include "callstate/ui/StationCallMenu.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// The request code and its port (the sequence number between them is the link's).
QString requestOf(const QByteArray &payload)
{
    if (payload.size() < 6)
        return QString::fromLatin1(payload.toHex(' '));
    return QString::fromLatin1((payload.left(2) + payload.mid(4, 2)).toHex(' '));
}

// The console logged on to the small PBX, with the attendant idle.
struct LoggedOn : Harness
{
    LoggedOn()
        : tips(console.stations(), console.coLines(), console.clock())
    {
        logOn();
        pbx.inject(hex("85 40 00"));
        pbx.pump();
        pbx.sent.clear();
    }
    CDLOView::Context statusContext()
    {
        CDLOView::Context c;
        c.stations = &console.stations();
        c.lines = &console.coLines();
        c.tips = &tips;
        c.request = &console.request();
        c.ui = &ui;
        c.attendantIdle = [this] { return console.calls().canMakeCall(); };
        return c;
    }
    CQueueView::Context queueContext()
    {
        CQueueView::Context c;
        c.stations = &console.stations();
        c.lines = &console.coLines();
        c.request = &console.request();
        c.clock = &console.clock();
        c.callerInfoEnabled = [] { return false; };
        return c;
    }
    QStringList requests() const
    {
        QStringList out;
        for (const QByteArray &p : pbx.sent)
            out.append(requestOf(p));
        return out;
    }

    StatusToolTip tips;
};

QStringList menuTexts(const QMenu &menu)
{
    QStringList out;
    for (const QAction *a : menu.actions())
        out.append(a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QStringList looked(const QStringList &keys)
{
    const MessageCatalogue catalogue;
    QStringList out;
    for (const QString &k : keys)
        out.append(k == QLatin1String("-") ? k : catalogue.text(k));
    return out;
}

} // namespace

class TestCallStateConsole : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stationAndLineButtonsAtTheLink()
    {
        LoggedOn h;
        QVERIFY(h.console.calls().canMakeCall());
        // Station 5 idle, station 7 busy, line 3 idle.
        h.pbx.inject(hex("83 06 0005 40 0007 10"));
        h.pbx.inject(hex("84 03 0003 80"));
        h.pbx.pump();
        h.pbx.sent.clear();

        CDLOView stations(PORT_KIND_EXT, h.statusContext());
        // As the main window wires it: a station button runs the attendant's call operation.
        connect(&stations, &CDLOView::buttonPressed, &stations, [&](quint32, int index) {
            StationCallMenu::buttonPressed(h.console.calls(), quint16(index), QPoint(), &stations);
        });
        stations.resize(600, 400);
        stations.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stations));
        QTest::mouseClick(stations.viewport(), Qt::LeftButton, {}, stations.buttonRect(4).center());
        QCOMPARE(h.requests(), QStringList({"05 02 00 05"})); // DYNBTN_DSS, station 5
        // A busy station offers its menu and sends nothing yet.
        h.pbx.sent.clear();
        QTest::mouseClick(stations.viewport(), Qt::LeftButton, {}, stations.buttonRect(6).center());
        QVERIFY(h.pbx.sent.isEmpty());
        auto *menu = stations.findChild<StationCallMenu *>();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), CAttendantCalls::menuName(CAttendantCalls::MenuBusy));
        menu->close();

        CDLOView lines(PORT_KIND_TRK, h.statusContext());
        lines.resize(600, 400);
        lines.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lines));
        QSignalSpy keyPad(&lines, &CDLOView::smallKeyPadRequested);
        h.pbx.sent.clear();
        QTest::mouseClick(lines.viewport(), Qt::LeftButton, {}, lines.buttonRect(2).center());
        QCOMPARE(h.requests(), QStringList({"05 03 00 03"})); // DYNBTN_DLS, line 3
        // The line was idle: the mini dial pad is asked for.
        QCOMPARE(keyPad.count(), 1);
        QCOMPARE(keyPad.at(0).at(0).toInt(), 2);
        // A line in use: seized all the same, but no dial pad.
        h.pbx.inject(hex("84 03 0003 10"));
        h.pbx.pump();
        h.pbx.sent.clear();
        QTest::mouseClick(lines.viewport(), Qt::LeftButton, {}, lines.buttonRect(2).center());
        QCOMPARE(h.requests(), QStringList({"05 03 00 03"}));
        QCOMPARE(keyPad.count(), 1);
        // The right button sends nothing.
        h.pbx.sent.clear();
        QTest::mousePress(lines.viewport(), Qt::RightButton, {}, lines.buttonRect(2).center());
        QVERIFY(h.pbx.sent.isEmpty());
        QTest::mouseRelease(lines.viewport(), Qt::RightButton, {}, lines.buttonRect(2).center());
        QMenu *coMenu = lines.findChild<QMenu *>(QStringLiteral("DLO_TRK"));
        QVERIFY(coMenu);
        coMenu->close();
    }

    void queueRowsAnswerAtTheLink()
    {
        LoggedOn h;
        CQueueView view(h.queueContext());
        connect(&h.console, &Console::queueEvent, &view, &CQueueView::post);
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        // Line 2 rings at the position with the caller's digits; station 5 calls; line 4 is gone.
        h.pbx.inject(hex("84 06 0002 12 0004 01"));
        h.pbx.inject(hex("83 03 0005 40"));
        h.pbx.inject(hex("0803 06 0002 01 A1 23 45"));
        h.pbx.inject(hex("0801 0005"));
        h.pbx.inject(hex("0803 03 0004 01"));
        h.pbx.pump();
        h.pbx.sent.clear();
        QCOMPARE(view.topLevelItemCount(), 3);
        QCOMPARE(view.topLevelItem(0)->text(0), QStringLiteral("CO 02"));
        QCOMPARE(view.topLevelItem(0)->text(1), QStringLiteral("00:00"));
        QCOMPARE(view.topLevelItem(0)->text(3), QStringLiteral("012345"));
        QCOMPARE(view.topLevelItem(1)->text(0), QStringLiteral("STA ") + h.console.stations().record(4)->numberText());
        QCOMPARE(view.topLevelItem(2)->text(0), QStringLiteral("CO 04"));

        auto click = [&view](int row) {
            QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualItemRect(view.topLevelItem(row)).center());
        };
        click(0);
        QCOMPARE(h.requests(), QStringList({"05 03 00 02"})); // DYNBTN_DLS, line 2
        h.pbx.sent.clear();
        click(1);
        QCOMPARE(h.requests(), QStringList({"05 02 00 05"})); // DYNBTN_DSS, station 5
        // Right of the last column the row is still found.
        view.header()->setStretchLastSection(false);
        h.pbx.sent.clear();
        const QRect first = view.visualItemRect(view.topLevelItem(0));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(view.viewport()->width() - 2, first.center().y()));
        QCOMPARE(h.requests(), QStringList({"05 03 00 02"}));
        // A line that is not there: the row goes, nothing is sent.
        h.pbx.sent.clear();
        click(2);
        QVERIFY(h.pbx.sent.isEmpty());
        QCOMPARE(view.topLevelItemCount(), 2);
        // The rings stop: the rows go.
        h.pbx.inject(hex("0804 0002"));
        h.pbx.inject(hex("0802 0005"));
        h.pbx.pump();
        QCOMPARE(view.topLevelItemCount(), 0);
        QVERIFY(h.pbx.sent.isEmpty());
    }

    void popupPickUpAtTheLink()
    {
        LoggedOn h;
        CQueueView::Context context = h.queueContext();
        context.callerInfoEnabled = [] { return true; };
        context.attendantInCall = [&h] { return h.console.calls().isInCall(); };
        CQueueView view(context);
        connect(&h.console, &Console::queueEvent, &view, &CQueueView::post);
        view.show();
        h.pbx.inject(hex("84 03 0006 12"));
        h.pbx.inject(hex("0803 03 0006 01"));
        // The attendant talks on another call: the pick-up first hangs it up.
        h.pbx.inject(hex("85 43 00"));
        h.pbx.pump();
        h.pbx.sent.clear();
        QVERIFY(view.popup()->isVisible());
        QTest::mouseClick(view.popup()->pickUpButton(), Qt::LeftButton);
        QCOMPARE(h.pbx.sent.size(), 2);
        QCOMPARE(h.requests().last(), QStringLiteral("05 03 00 06"));
        QVERIFY(!view.popup()->isVisible());
    }

    void buttonMenusHoldTheirItems()
    {
        LoggedOn h;
        CDLOView stations(PORT_KIND_EXT, h.statusContext());
        std::unique_ptr<QMenu> menu(stations.createContextMenu(3));
        QCOMPARE(menuTexts(*menu),
                 looked({"#:open_database_MENU(&D)", "#:send_mail_MENU(&M)", "-", "#:wake_up_alarm_MENU(&W)",
                         "#:cancel_wakeup_MENU(&U)", "#:atd_cancel_MENU(&A)", "#:change_authocode_MENU(&H)",
                         "#:temp_cos_MENU(&O)", "#:station_name_MENU(&N)", "#:sta_no_change_MENU(&C)", "-",
                         "#:port_no_title_MENU(&P)", "#:sta_no_title_MENU(&T)", "#:sta_name_title_MENU(&N)",
                         "#:full_name_title_MENU(&U)", "-", "#:font_MENU(&F)", "#:button_size_MENU(&S)", "-",
                         "#:quit_MENU(&Q)"}));
        // The title mode in use is checked: the station window's default is the full name.
        QStringList checked;
        for (const QAction *a : menu->actions())
            if (a->isChecked())
                checked.append(a->text());
        QCOMPARE(checked, looked({"#:full_name_title_MENU(&U)"}));

        CDLOView lines(PORT_KIND_TRK, h.statusContext());
        std::unique_ptr<QMenu> coMenu(lines.createContextMenu(0));
        QCOMPARE(menuTexts(*coMenu), looked({"#:open_database_MENU(&D)", "#:outgo_disable_MENU(&O)",
                                             "#:co_drop_MENU(&L)", "-", "#:font_MENU(&F)",
                                             "#:button_size_MENU(&S)", "-", "#:quit_MENU(&Q)"}));
        // Through the menu: dropping line 1 restarts it at the PBX.
        h.pbx.sent.clear();
        coMenu->actions().at(2)->trigger();
        QCOMPARE(h.pbx.sent.size(), 1);
        QCOMPARE(h.pbx.sent.first().left(2), hex("0B02"));
        // Outgoing disable while idle: "T073", the line, then "M".
        h.pbx.sent.clear();
        coMenu->actions().at(1)->trigger();
        QCOMPARE(h.pbx.sent.size(), 3);
        QCOMPARE(requestOf(h.pbx.sent.at(1)), QStringLiteral("05 03 00 01"));
    }
};

QTEST_MAIN(TestCallStateConsole)
#include "tst_CallStateConsole.moc"
