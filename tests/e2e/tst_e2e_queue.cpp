// The whole console (main window, queue window) against the simulated PBX
// process: a call from outside rings at the position, waits in the queue with
// the caller's digits, is answered with a click on its row and leaves the
// queue; a caller who gives up leaves it too. A station calling the position
// is answered the same way.
#include "PbxProcess.h"

#include "base/SettingsSection.h"
#include "callstate/CAttendantCalls.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/PortStatus.h"
#include "callstate/ui/CQueueFrame.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallInfoDialog.h"
#include "console/Console.h"
#include "console/ui/MainWindow.h"
#include "transport/LinkConnection.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTest>

namespace {
constexpr int kLogOnTimeout = 20000;
constexpr int kEventTimeout = 5000;
} // namespace

class TestE2eQueue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    void incomingCallIsAnsweredFromTheQueue()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--stations", "48", "--lines", "16", "--ring-timeout", "120"}));
        CSettingsSection(QStringLiteral("Server")).writeString(QStringLiteral("History 0"), QStringLiteral("127.0.0.1"));
        QVERIFY(LinkConnection::storeType(LinkConnection::Lan));
        MainWindow w;
        w.console().linkConnection()->setLanServerPort(pbx.port());
        w.resize(1000, 700);
        w.show();
        w.action(Command::LogOn)->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.console().positionState(), 2, kLogOnTimeout);

        // The queue window comes back with the windows of the last run
        // (by default all of them); otherwise it is opened from the menu.
        QCoreApplication::processEvents();
        if (!w.childWindows().isOpen(ChildWindowTable::Queue))
            w.action(Command::ViewQueue)->trigger();
        auto *frame = qobject_cast<CQueueFrame *>(w.childWindows().window(ChildWindowTable::Queue));
        QVERIFY(frame);
        CQueueView *view = frame->view();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QCOMPARE(view->topLevelItemCount(), 0);

        // A station calls the position: its row carries the station's number
        // and name; a click answers it.
        pbx.command(QStringLiteral("icm-ring 12"));
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 1, kEventTimeout);
        QCOMPARE(view->topLevelItem(0)->text(0), QStringLiteral("STA 111"));
        QCOMPARE(view->topLevelItem(0)->text(3), w.console().stations().record(11)->name);
        QVERIFY(!view->topLevelItem(0)->text(3).isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->topLevelItem(0)).center());
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 0, kEventTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(w.console().calls().isInCall(), kEventTimeout);
        pbx.command(QStringLiteral("hang-up 12"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.console().calls().isInCall(), kEventTimeout);
        // The pop-up has nothing left to show.
        QTRY_VERIFY_WITH_TIMEOUT(!view->popup()->isVisible(), kEventTimeout);

        pbx.command(QStringLiteral("co-ring 3 incoming 0123456"));
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 1, kEventTimeout);
        QTreeWidgetItem *row = view->topLevelItem(0);
        QCOMPARE(row->text(0), QStringLiteral("CO 03"));
        QCOMPARE(row->text(3), QStringLiteral("0123456"));
        QCOMPARE(w.console().coLines().record(2)->status, Status::ST_RING);
        // The caller-information pop-up presents the same call.
        QTRY_VERIFY_WITH_TIMEOUT(view->popup()->isVisible(), kEventTimeout);
        QCOMPARE(view->popup()->numberField()->text(), QStringLiteral("CO 03"));
        // The waiting time runs.
        QTRY_VERIFY_WITH_TIMEOUT(row->text(1) != QLatin1String("00:00"), 3000);
        QVERIFY(row->text(1).startsWith(QLatin1String("00:")));

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(row).center());
        // The PBX connects the position to the line and stops the ring: the row goes.
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 0, kEventTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(w.console().calls().isInCall(), kEventTimeout);
        QCOMPARE(w.console().coLines().record(2)->status, Status::ST_BUSY);
        QVERIFY(!view->popup()->isVisible());

        // A second caller gives up before anyone answers.
        pbx.command(QStringLiteral("co-ring 5 incoming 0309876"));
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 1, kEventTimeout);
        QCOMPARE(view->topLevelItem(0)->text(0), QStringLiteral("CO 05"));
        QCOMPARE(view->topLevelItem(0)->text(3), QStringLiteral("0309876"));
        pbx.command(QStringLiteral("co-stop 5"));
        QTRY_COMPARE_WITH_TIMEOUT(view->topLevelItemCount(), 0, kEventTimeout);
    }
};

QTEST_MAIN(TestE2eQueue)
#include "tst_e2e_queue.moc"
