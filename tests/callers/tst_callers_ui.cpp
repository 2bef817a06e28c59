#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/ui/CQueueView.h"
#include "callstate/ui/CallInfoDialog.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

// The queue row and the incoming call window name a caller the directories know.
class TestCallersUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void queueAndPopUpShowTheName()
    {
        ManualTimerHost timers;
        ManualClock clock;
        OperatorUiRecorder ui;
        FakeTransport transport;
        CLinkPort link(timers);
        CLinkRequest request(link);
        CExtStatusList stations(link, clock, ui);
        CTrkStatusList lines(link, clock, ui);
        link.setLanConnection(&transport);
        lines.setCount(24);
        CQueueView::Context context;
        context.stations = &stations;
        context.lines = &lines;
        context.request = &request;
        context.clock = &clock;
        context.callerInfoEnabled = [] { return true; };
        CQueueView view(context);

        CQueueEvent ring;
        ring.type = QueueType::QLTN_TRK_INCOMING;
        ring.index = 2;
        ring.add = true;
        ring.description = QStringLiteral("0301234");
        ring.callerName = QStringLiteral("Dentist");
        view.post(ring);
        QCOMPARE(view.topLevelItem(0)->text(3), QStringLiteral("Dentist (0301234)"));
        QCOMPARE(view.popup()->descriptionField()->text(), QStringLiteral("Dentist (0301234)"));
        // A caller no directory knows: the digits alone.
        ring.index = 3;
        ring.description = QStringLiteral("0899");
        ring.callerName.clear();
        view.post(ring);
        QCOMPARE(view.topLevelItem(1)->text(3), QStringLiteral("0899"));
        QTest::mouseClick(view.popup()->ignoreButton(), Qt::LeftButton);
        QCOMPARE(view.popup()->descriptionField()->text(), QStringLiteral("0899"));
    }
};

QTEST_MAIN(TestCallersUi)
#include "tst_callers_ui.moc"
