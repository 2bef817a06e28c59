#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "console/ui/LogStatusWindow.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryTable.h"
#include "directories/SpeedBinEditor.h"
#include "directories/SpeedBinPage.h"
#include "directories/ui/CPhoneBookView.h"
#include "directories/ui/SpeedBinEditDialog.h"
#include "session/LogStatusModel.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The speed-bin window, its edit dialog and the log-on status window's
// speed-bin group, driven as the operator drives them.
class TestSpeedBinsUi : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void windowSearchesEditsAndCalls()
    {
        QTemporaryDir dir;
        ManualClock clock;
        ManualTimerHost timers;
        OperatorUiRecorder ui;
        DirectoryFileBuilder builder(DirectoryTable::speedBin(), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"),
                                     clock);
        builder.OpenOrCreate(dir.filePath(QStringLiteral("SpeedDB.mdb")));
        CPhoneBookDB db(builder.database(), timers, ui);
        db.setRange(10, 40);
        for (int bin = 10; bin < 30; ++bin)
            db.StoreBin(bin, QStringLiteral("N%1").arg(bin), QString::number(bin), 0, 0);

        QStringList calls;
        bool canCall = false;
        CPhoneBookView::Context context;
        context.ui = &ui;
        context.canCall = [&] { return canCall; };
        context.call = [&](const QString &keys) {
            calls << keys;
            return true;
        };
        CPhoneBookView view(db, context);
        view.show();
        QVERIFY(db.isWindowOpen());
        QVERIFY(view.load());
        QCOMPARE(view.list()->model()->rowCount(), 15);

        QTest::mouseClick(view.callButton(), Qt::LeftButton);
        QCOMPARE(ui.texts(), QStringList{"#:pbe_bin_must_be_selected_b4_call"});
        view.list()->setCurrentIndex(view.list()->model()->index(2, 0));
        QTest::mouseClick(view.callButton(), Qt::LeftButton);
        QCOMPARE(ui.texts().last(), QStringLiteral("#:cannot_exe_call_op"));
        // Paging clears the selection.
        QTest::mouseClick(view.pagingButton(3), Qt::LeftButton);
        QCOMPARE(view.page().start(), 1);
        QVERIFY(view.list()->selectionModel()->selectedRows().isEmpty());

        view.searchField()->setCurrentIndex(SpeedBinPage::SearchName);
        QTest::keyClicks(view.keyword(), QStringLiteral("N2"));
        QCOMPARE(view.page().total(), 10);
        view.searchField()->setCurrentIndex(SpeedBinPage::SearchNumber);
        QVERIFY(view.keyword()->text().isEmpty());
        QCOMPARE(view.page().total(), 20);

        // The edit dialog: a change written at once while not in step.
        QTest::mouseClick(view.editButton(), Qt::LeftButton);
        auto *dialog = view.findChild<SpeedBinEditDialog *>();
        QVERIFY(dialog);
        QCOMPARE(ui.dialogs().openCount(), 1);
        QVERIFY(!dialog->addButton()->isEnabled());
        QVERIFY(!dialog->coNumberEdit()->isEnabled());
        QTest::keyClicks(dialog->binEdit(), QStringLiteral("35"));
        QVERIFY(!dialog->addButton()->isEnabled());
        QTest::keyClicks(dialog->numberEdit(), QStringLiteral("p1"));
        QVERIFY(dialog->addButton()->isEnabled());
        QTest::keyClicks(dialog->nameEdit(), QStringLiteral("new"));
        QTest::mouseClick(dialog->addButton(), Qt::LeftButton);
        QCOMPARE(dialog->numberEdit()->text(), QStringLiteral("P1"));
        QCOMPARE(dialog->nameEdit()->text(), QStringLiteral("NEW"));
        QCOMPARE(view.page().total(), 21);
        QVERIFY(dialog->modifyButton()->isEnabled());
        QTest::mouseClick(dialog->clearButton(), Qt::LeftButton);
        QVERIFY(dialog->binEdit()->text().isEmpty());
        QCOMPARE(dialog->coTypeEdit()->text(), QStringLiteral("None"));
        QVERIFY(!dialog->modifyButton()->isEnabled() && !dialog->deleteButton()->isEnabled());
        dialog->close();
        QTRY_COMPARE(ui.dialogs().openCount(), 0);
    }

    void logStatusGroupStartsAndShowsProgress()
    {
        LogStatusModel model;
        model.open();
        model.setSpeedBinRange(100, 199);
        LogStatusWindow window(model);
        window.show();
        QVERIFY(!window.startButton()->isEnabled());
        model.switchToSpeedBinStage();
        QVERIFY(window.startButton()->isEnabled());
        QSignalSpy start(&model, &LogStatusModel::speedBinStartRequested);
        window.uploadChoice()->setChecked(true);
        QTest::mouseClick(window.startButton(), Qt::LeftButton);
        QCOMPARE(start.count(), 1);
        QCOMPARE(start[0][0].toBool(), true);
        QVERIFY(!window.startButton()->isEnabled());
        QVERIFY(!window.skipButton()->isEnabled());
        QVERIFY(!window.downloadChoice()->isEnabled());
        model.setSpeedBinProgress(150);
        QCOMPARE(window.speedBinBar()->value(), 150);
        QCOMPARE(window.speedBinLabel()->text(), trKey(QStringLiteral("#:pb_now_processing_bin_no")) + " 150");
        model.speedBinStepEnded();
        QVERIFY(!window.startButton()->isEnabled());
        model.reopenForSpeedBins();
        QVERIFY(window.startButton()->isEnabled());
    }
};

QTEST_MAIN(TestSpeedBinsUi)
#include "tst_speedbins_ui.moc"
