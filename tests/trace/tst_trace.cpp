#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"

#include "base/Trace.h"
#include "console/Console.h"
#include "console/ui/AboutDialog.h"
#include "console/ui/MainMenu.h"
#include "console/ui/MainWindow.h"
#include "console/ui/TestSheet.h"
#include "console/ui/TraceFrame.h"
#include "console/ui/TraceView.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

// Trace windows: the line format, the key-telephone switches, trimming and
// fan-out to every window; the test sheet's echo counters and switches.
class TestTrace : public QObject
{
    Q_OBJECT

private:
    ManualClock m_clock{QDateTime::fromSecsSinceEpoch(1700012345)};

private Q_SLOTS:
    void cleanup()
    {
        Trace::switches().clearAll();
        QCoreApplication::sendPostedEvents();
    }

    void nothingIsPostedWithoutAWindow()
    {
        QCOMPARE(Trace::instance().viewCount(), 0);
        QSignalSpy posted(&Trace::instance(), &Trace::linePosted);
        // Not even the arguments are worked out.
        int formatted = 0;
        const auto argument = [&formatted] { return ++formatted; };
        ZTRACE(1, "LOG_ON_Request %d", argument());
        QCoreApplication::sendPostedEvents();
        QCOMPARE(posted.count(), 0);
        QCOMPARE(formatted, 0);
        {
            TraceView view(m_clock);
            ZTRACE(1, "LOG_ON_Request");
            QCoreApplication::sendPostedEvents();
            QCOMPARE(posted.count(), 1);
        }
        QCOMPARE(Trace::instance().viewCount(), 0);
    }

    void everyWindowShowsTheLineWithTimeAndTag()
    {
        TraceView first(m_clock);
        TraceView second(m_clock);
        Trace::instance().write(2, QStringLiteral("EXTI_Multi1:5"));
        Trace::instance().write(0, QStringLiteral("All system info received"));
        Trace::instance().write(9, QStringLiteral("odd"));
        QCoreApplication::sendPostedEvents();
        const QString expected = QStringLiteral("2345[.R.]EXTI_Multi1:5\n2345[..D]All system info received\n2345[   ]odd\n");
        QCOMPARE(first.toPlainText(), expected);
        QCOMPARE(second.toPlainText(), first.toPlainText());
    }

    void keyTelephoneLinesFollowTheirSwitches()
    {
        TraceView view(m_clock);
        view.addLine(4, QStringLiteral("command"));
        view.addLine(5, QStringLiteral("key"));
        QCOMPARE(view.length(), 0);
        Trace::switches().pktuCommand = true;
        view.addLine(4, QStringLiteral("command"));
        view.addLine(5, QStringLiteral("key"));
        QCOMPARE(view.toPlainText(), QStringLiteral("2345[.P.]command\n"));
        Trace::switches().pktuEvent = true;
        view.addLine(5, QStringLiteral("key"));
        QVERIFY(view.toPlainText().endsWith(QStringLiteral("2345[S..]key\n")));
    }

    void theOldestTextGoesPastTheLimit()
    {
        TraceView view(m_clock);
        // 100 characters a line with its end.
        const QString text(90, QLatin1Char('x'));
        int lines = 0;
        while (view.length() + 100 <= TraceView::MaxLength) {
            view.addLine(1, text);
            ++lines;
        }
        QCOMPARE(view.length(), lines * 100);
        const QString before = view.toPlainText();
        view.addLine(1, QStringLiteral("%1").arg(lines, 90, 10, QLatin1Char('0')));
        QCOMPARE(view.length(), (lines + 1) * 100 - TraceView::TrimLength);
        QCOMPARE(view.toPlainText().left(100), before.mid(TraceView::TrimLength, 100));
        QVERIFY(view.toPlainText().endsWith(QStringLiteral("%1\n").arg(lines, 90, 10, QLatin1Char('0'))));
        QCOMPARE(view.textCursor().position(), (lines + 1) * 100 - TraceView::CaretBack);
        view.addLine(1, QStringLiteral("next"));
        QVERIFY(view.toPlainText().endsWith(QStringLiteral("[S..]next\n")));
        QVERIFY(view.length() <= TraceView::MaxLength);
    }

    void echoCountersCountRequestsAndReplies()
    {
        ManualTimerHost timers;
        CLinkPort link(timers);
        FakeTransport lan;
        link.setLanConnection(&lan);
        CLinkRequest request(link);
        TestSheet sheet(link, request);
        sheet.echoText()->setText(QStringLiteral("ping"));
        sheet.sendEcho();
        QCOMPARE(lan.payloads(), QList<QByteArray>{QByteArray("ping")});
        QCOMPARE(sheet.echoesSent(), 1);
        sheet.echoReplyReceived("ping");
        QCOMPARE(sheet.echoRepliesReceived(), 1);
        QCOMPARE(sheet.receivedBar()->value(), sheet.receivedBar()->maximum());

        sheet.setMultiple(true);
        sheet.sendEcho();
        QCOMPARE(lan.frames.size(), 1 + TestSheet::MultipleEchoes);
        QCOMPARE(sheet.echoesSent(), TestSheet::MultipleEchoes);
        QCOMPARE(sheet.echoRepliesReceived(), 0);
        for (int i = 0; i < 5; ++i)
            sheet.echoReplyReceived("ping");
        QCOMPARE(sheet.receivedBar()->value(), 5);
        QCOMPARE(sheet.sentBar()->value(), TestSheet::MultipleEchoes);

        // Requests the link refuses are not counted as sent.
        lan.accept = false;
        sheet.sendEcho();
        QCOMPARE(sheet.echoesSent(), 0);
    }

    void optionsPageSetsTheSwitches()
    {
        ManualTimerHost timers;
        CLinkPort link(timers);
        CLinkRequest request(link);
        TestSheet sheet(link, request);
        sheet.switchBox(2)->setChecked(true);
        sheet.switchBox(5)->setChecked(true);
        QVERIFY(Trace::switches().pktuCommand);
        QVERIFY(Trace::switches().txAll);
        QVERIFY(!Trace::switches().pktuEvent);
        QTest::mouseClick(sheet.findChild<QPushButton *>(QStringLiteral("allClear")), Qt::LeftButton);
        QVERIFY(!Trace::switches().pktuCommand && !Trace::switches().txAll);
        QVERIFY(!sheet.switchBox(2)->isChecked());
        QCOMPARE(sheet.viewTraceButton()->text(), QStringLiteral("Open Trace"));
        QSignalSpy toggle(&sheet, &TestSheet::viewTraceRequested);
        QTest::mouseClick(sheet.viewTraceButton(), Qt::LeftButton);
        QCOMPARE(toggle.count(), 1);
    }

    void mainWindowOpensTheSheetTheTraceAndThePhoneNumbers()
    {
        MainWindow window;
        window.runCommand(Command::About);
        auto *about = window.findChild<AboutDialog *>();
        QVERIFY(about);
        for (const QChar key : QString::fromLatin1(AboutDialog::TestSheetCode) + QLatin1Char('#'))
            QTest::mouseClick(about->keyButton(key), Qt::LeftButton);
        TestSheet *sheet = window.findChild<TestSheet *>();
        QVERIFY(sheet);
        QCOMPARE(window.openTestSheet(), sheet);
        QTest::mouseClick(sheet->viewTraceButton(), Qt::LeftButton);
        QCOMPARE(window.traceWindows().size(), 1);
        QCOMPARE(sheet->viewTraceButton()->text(), QStringLiteral("Close Trace"));
        window.openTraceWindow();
        QCOMPARE(Trace::instance().viewCount(), 2);
        QTest::mouseClick(sheet->viewTraceButton(), Qt::LeftButton);
        QTRY_COMPARE(Trace::instance().viewCount(), 0);
        QCOMPARE(window.traceWindows().size(), 0);
        QCOMPARE(sheet->viewTraceButton()->text(), QStringLiteral("Open Trace"));

        // The console hands each echo reply to the sheet.
        Q_EMIT window.console().echoReplyReceived("x");
        QCOMPARE(sheet->echoRepliesReceived(), 1);

        window.runCommand(Command::ViewPhoneNumberDirectory);
        QMdiSubWindow *phone = window.openPhoneNoWindow();
        QVERIFY(phone);
        window.runCommand(Command::ViewPhoneNumberDirectory);
        QCOMPARE(window.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(window.mdiArea()->activeSubWindow(), phone);
    }
};

QTEST_MAIN(TestTrace)
#include "tst_trace.moc"
