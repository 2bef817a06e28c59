#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CAttendantCalls.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/Paging.h"
#include "callstate/ui/PagingDialog.h"
#include "callstate/ui/StationCallMenu.h"
#include "callstate/ui/StationNumberDialog.h"
#include "base/MessageCatalogue.h"
#include "link/CLinkPort.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using Payloads = QList<QByteArray>;

namespace {
struct Fixture
{
    Fixture()
        : link(timers)
        , stations(link, clock, ui)
        , lines(link, clock, ui)
        , calls(link, stations, lines, ui)
        , paging(link)
    {
        link.setLanConnection(&transport);
        stations.setCount(3);
        calls.setLoggedOnQuery([] { return true; });
        paging.setZoneCountQuery([this] { return zones; });
    }
    ManualTimerHost timers;
    ManualClock clock;
    OperatorUiRecorder ui;
    FakeTransport transport;
    CLinkPort link;
    CExtStatusList stations;
    CTrkStatusList lines;
    CAttendantCalls calls;
    Paging paging;
    int zones = 4;
};
} // namespace

class TestCallsDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagingButtonPagesOnceAndCloses()
    {
        Fixture f;
        PagingDialog dialog(f.paging, f.ui);
        dialog.show();
        const MessageCatalogue catalogue;
        QCOMPARE(dialog.windowTitle(), catalogue.text(QStringLiteral("#:Paging")));
        QCOMPARE(dialog.button(Paging::External2)->text(), catalogue.text(QStringLiteral("#:Ext2_btn")));
        QCOMPARE(dialog.button(Paging::External1)->toolTip(),
                 QStringLiteral("External zone one\nLift handset to page"));
        QVERIFY(dialog.button(Paging::External3)->toolTip().isEmpty());
        QTest::mouseClick(dialog.button(Paging::InternalAll), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.transport.payloads(), Payloads{hex("82 02 00")});
    }

    void zoneListPagesTheZoneByItsPlace()
    {
        Fixture f;
        PagingDialog dialog(f.paging, f.ui);
        dialog.show();
        QListWidget *list = dialog.zoneList();
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(2)->text(), QStringLiteral("Internal Zone 3"));
        const QRect third = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
        // Activation may come with the click on some styles; still one page.
        Q_EMIT list->itemActivated(list->item(2));
        QCOMPARE(f.transport.payloads(), Payloads{hex("82 01 02")});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void pagingClosedOtherwiseSendsNothing()
    {
        Fixture f;
        f.zones = 0;
        PagingDialog dialog(f.paging, f.ui);
        dialog.show();
        QCOMPARE(dialog.zoneList()->count(), 0);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QVERIFY(f.transport.frames.isEmpty());
    }

    void stationNumberChange()
    {
        Fixture f;
        StationNumberDialog dialog(f.calls, f.ui, 1, QStringLiteral("12"));
        dialog.show();
        QTest::keyClicks(dialog.newNumber(), QStringLiteral("3a4"));
        QCOMPARE(dialog.newNumber()->text(), QStringLiteral("34"));
        dialog.clearOption()->setChecked(true);
        QCOMPARE(dialog.newNumber()->text(), QStringLiteral("...."));
        QVERIFY(dialog.newNumber()->isReadOnly());
        dialog.clearOption()->setChecked(false);
        QCOMPARE(dialog.newNumber()->text(), QStringLiteral("34"));
        dialog.clearOption()->setChecked(true);
        // A dialog ended by a log-off sends nothing.
        dialog.accept();
        QVERIFY(f.transport.frames.isEmpty());
        dialog.show();
        auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("ok"));
        QVERIFY(ok);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(f.transport.payloads(), (Payloads{hex("0601 0002 ffff"), hex("0303 0002")}));
    }

    void stationMenuRunsItsOperation()
    {
        Fixture f;
        auto *menu = new StationCallMenu(f.calls, 2, CAttendantCalls::MenuIcmCol);
        QCOMPARE(menu->objectName(), QStringLiteral("DLO_STAICMCOL"));
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(actions.size(), 4);
        QCOMPARE(actions.at(2)->text(), MessageCatalogue().text(QStringLiteral("#:intrusion_MENU(&I)")));
        actions.at(3)->trigger(); // quit
        QVERIFY(f.transport.frames.isEmpty());
        actions.at(1)->trigger(); // call back
        QCOMPARE(f.transport.payloads(), (Payloads{hex("0502 002d 0003"), hex("81 01 66")}));
        delete menu;
    }
};

QTEST_MAIN(TestCallsDialogs)
#include "tst_calls_dialogs.moc"
