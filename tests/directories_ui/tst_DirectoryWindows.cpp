#include "ManualClock.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"
#include "base/ui/MessageBox.h"
#include "console/ui/MainWindow.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryFiles.h"
#include "directories/StationDirectory.h"
#include "directories/ui/CoInfoDialog.h"
#include "directories/ui/DirectoryFrame.h"
#include "directories/ui/DirectoryListModel.h"
#include "directories/ui/DirectoryView.h"
#include "directories/ui/PicturePreview.h"
#include "directories/ui/StationInfoDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

StationFields station(int port, int number, const QString &name, const QString &first = {},
                      const QString &middle = {}, const QString &last = {})
{
    StationFields f(StationFieldCount);
    f[0] = QString::number(port);
    f[1] = QString::number(number);
    f[2] = name;
    f[3] = first;
    f[4] = middle;
    f[5] = last;
    return f;
}

QStringList column(const DirectoryListModel &model, int c)
{
    QStringList out;
    for (int r = 0; r < model.rowCount(); ++r)
        out.append(model.cell(r, c));
    return out;
}

void clickHeader(DirectoryView &view, int section)
{
    QHeaderView *head = view.header();
    const QPoint at(head->sectionViewportPosition(section) + head->sectionSize(section) / 2, head->height() / 2);
    QTest::mouseClick(head->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class TestDirectoryWindows : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    ManualClock m_clock;
    OperatorUiRecorder m_ui;
    std::unique_ptr<DirectoryFiles> m_files;

    StationDirectory &stations() { return *m_files->stations(); }
    CoDirectory &coLines() { return *m_files->coLines(); }

    DirectoryView::Context context()
    {
        DirectoryView::Context c;
        c.ui = &m_ui;
        c.loggedOn = [] { return false; };
        return c;
    }

    std::unique_ptr<DirectoryView> stationView()
    {
        auto view = std::make_unique<DirectoryView>(&stations(), context());
        view->resize(700, 300);
        view->show();
        return view;
    }

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_files = std::make_unique<DirectoryFiles>(m_ui, m_clock);
        m_files->open(m_dir->path());
        QVERIFY(m_files->stations());
        QVERIFY(m_files->coLines());
        m_ui.clear();
        DirectorySortFlags::forKind(DirectoryKind::Station).reset();
        DirectorySortFlags::forKind(DirectoryKind::Co).reset();
    }

    void cleanup()
    {
        m_files.reset();
        m_dir.reset();
    }

    // ------------------------------------------------------------ the list

    void headersWidthsAndRows()
    {
        QVERIFY(stations().WriteRecord(station(2, 0, "LOBBY")));
        QVERIFY(stations().WriteRecord(station(1, 201, "RECEPTION", "Anna", "", "Berg")));
        auto view = stationView();
        QVERIFY(view->load());
        const DirectoryListModel &model = *view->listModel();
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Port"));
        QCOMPARE(model.headerData(3, Qt::Horizontal).toString(), QStringLiteral("Full name"));
        QCOMPARE(view->header()->sectionSize(0), 60);
        QCOMPARE(view->header()->sectionSize(12), 150);
        // Stored order, the number 0 as "....", the full name by the rule.
        QCOMPARE(column(model, 0), (QStringList{"2", "1"}));
        QCOMPARE(column(model, 1), (QStringList{"....", "201"}));
        QCOMPARE(column(model, 3), (QStringList{"", "Anna Berg"}));
        QVERIFY(m_ui.shown.isEmpty());

        DirectoryView co(&coLines(), context());
        QVERIFY(co.load());
        QCOMPARE(co.listModel()->columnCount(), 8);
        QCOMPARE(co.header()->sectionSize(1), 120);
    }

    void missingDirectoryIsReported()
    {
        DirectoryView view(static_cast<StationDirectory *>(nullptr), context());
        QVERIFY(!view.load());
        DirectoryView co(static_cast<CoDirectory *>(nullptr), context());
        QVERIFY(!co.load());
        QCOMPARE(m_ui.texts(), (QStringList{"#:cannot_create_sta_db", "#:cannot_create_co_db"}));
        QCOMPARE(m_ui.shown.at(0).title, QStringLiteral("#:database_error"));
    }

    void headerClicksSortUpThenDown()
    {
        QVERIFY(stations().WriteRecord(station(1, 0, "B")));
        QVERIFY(stations().WriteRecord(station(2, 0, "c")));
        QVERIFY(stations().WriteRecord(station(3, 0, "A")));
        auto view = stationView();
        QVERIFY(view->load());
        clickHeader(*view, 2);
        QCOMPARE(view->sortText(), QStringLiteral("StaName ASC"));
        QCOMPARE(column(*view->listModel(), 2), (QStringList{"A", "B", "c"}));
        clickHeader(*view, 2);
        QCOMPARE(view->sortText(), QStringLiteral("StaName DESC"));
        QCOMPARE(column(*view->listModel(), 2), (QStringList{"c", "B", "A"}));
        clickHeader(*view, 0);
        QCOMPARE(column(*view->listModel(), 0), (QStringList{"1", "2", "3"}));
        // After another column the first one starts ascending again.
        clickHeader(*view, 2);
        QCOMPARE(view->sortText(), QStringLiteral("StaName ASC"));
    }

    void ascendingSortScrollsPastEmptyNames()
    {
        for (int port = 1; port <= 60; ++port) {
            const bool named = port > 20;
            QVERIFY(stations().WriteRecord(station(port, 100 + port, "S", named ? QStringLiteral("N%1").arg(port) : "")));
        }
        auto view = stationView();
        QVERIFY(view->load());
        QVERIFY(view->pageRows() > 2 && view->pageRows() < 40);
        view->sortByColumn(3);
        const QModelIndex top = view->indexAt(QPoint(2, 2));
        QCOMPARE(top.row(), 20);
        QCOMPARE(view->listModel()->cell(top.row(), 3), QStringLiteral("N21"));
        // Descending: nothing to pass over, the list starts at the top.
        view->sortByColumn(3);
        QCOMPARE(view->indexAt(QPoint(2, 2)).row(), 0);
    }

    void followsTheWrites()
    {
        QVERIFY(stations().WriteRecord(station(1, 201, "RECEPTION")));
        auto view = stationView();
        QVERIFY(view->load());
        const DirectoryListModel &model = *view->listModel();

        QVERIFY(stations().WriteRecord(station(2, 202, "OFFICE")));
        QTRY_COMPARE(model.rowCount(), 2);

        // The operator's write changes the personal columns only.
        StationFields edited = station(1, 999, "OTHER", "Anna", "", "Berg");
        edited[6] = QStringLiteral("0301");
        QVERIFY(stations().WriteRecord(edited, StationDirectory::Origin::Operator));
        QCOMPARE(model.row(model.findKey("1")).mid(0, 5), (QStringList{"1", "201", "RECEPTION", "Anna Berg", "0301"}));

        // The PBX's write changes the columns it reports.
        StationFields fromPbx = edited;
        fromPbx[1] = QStringLiteral("0");
        fromPbx[2] = QStringLiteral("FRONT");
        fromPbx[6] = QStringLiteral("ignored");
        QVERIFY(stations().WriteRecord(fromPbx, StationDirectory::Origin::Pbx));
        QCOMPARE(model.row(model.findKey("1")).mid(0, 5), (QStringList{"1", "....", "FRONT", "Anna Berg", "0301"}));
    }

    void deletedRowLeavesTheList()
    {
        QVERIFY(stations().WriteRecord(station(1, 201, "A")));
        QVERIFY(stations().WriteRecord(station(2, 202, "B")));
        auto view = stationView();
        QVERIFY(view->load());
        Q_EMIT stations().written(StationDirectory::Deleted, station(1, 201, "A"), StationDirectory::Origin::Pbx);
        QCOMPARE(column(*view->listModel(), 0), (QStringList{"2"}));
    }

    void twoThousandRowsFillAtOnce()
    {
        // As the download writes them: one transaction for the lot.
        for (int port = 1; port <= 2000; ++port)
            QVERIFY(stations().writeStation(quint16(port), QString::number(1000 + port), QStringLiteral("S%1").arg(port)));
        stations().commitBatch();
        auto view = stationView();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(view->load());
        view->sortByColumn(2);
        qInfo() << "2000 rows filled and sorted in" << timer.elapsed() << "ms";
        QCOMPARE(view->listModel()->rowCount(), 2000);
    }

    void doubleClickOpensTheRowsDialog()
    {
        QVERIFY(stations().WriteRecord(station(1, 201, "A")));
        QVERIFY(stations().WriteRecord(station(2, 0, "B")));
        auto view = stationView();
        QVERIFY(view->load());
        const QRect second = view->visualRect(view->listModel()->index(1, 1));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center());
        auto *dialog = view->findChild<StationInfoDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->port(), 2);
        QCOMPARE(dialog->field("number")->text(), QStringLiteral("...."));
        QCOMPARE(dialog->field("stationName")->text(), QStringLiteral("B"));
        QCOMPARE(view->currentIndex().row(), 1);
        dialog->close();
    }

    // ------------------------------------------------------------ dialogs

    void stationDialogCreatesItsRecordAndSaves()
    {
        QVERIFY(!stations().find(5));
        StationInfoDialog dialog(m_ui, stations(), {5, QStringLiteral("...."), QStringLiteral("DESK")}, false);
        // Opening writes the record of the port, the number "...." as 0.
        const std::optional<StationFields> created = stations().find(5);
        QVERIFY(created);
        QCOMPARE(created->mid(0, 3), (QStringList{"5", "0", "DESK"}));
        QVERIFY(!dialog.button("callHome")->isEnabled());
        QCOMPARE(dialog.field("firstName")->maxLength(), 32);
        QCOMPARE(dialog.field("home")->maxLength(), 48);
        QCOMPARE(dialog.field("memo")->maxLength(), 255);
        QVERIFY(dialog.field("port")->isReadOnly());
        QVERIFY(dialog.field("fullName")->isReadOnly());

        // The full name follows every keystroke.
        QTest::keyClicks(dialog.field("firstName"), QStringLiteral("  Anna "));
        QCOMPARE(dialog.field("fullName")->text(), QStringLiteral("  Anna "));
        QTest::keyClicks(dialog.field("lastName"), QStringLiteral("Berg"));
        QCOMPARE(dialog.field("fullName")->text(), QStringLiteral("  Anna  Berg"));
        QTest::keyClicks(dialog.field("memo"), QStringLiteral(" note  "));

        QList<QPair<int, QString>> told;
        dialog.setFullNameSavedHook([&told](int port, const QString &name) { told.append({port, name}); });
        m_ui.clear();
        QTest::mouseClick(dialog.button("save"), Qt::LeftButton);
        const StationFields saved = *stations().find(5);
        QCOMPARE(saved.value(1), QStringLiteral("0"));
        QCOMPARE(saved.value(3), QStringLiteral("Anna"));
        QCOMPARE(saved.value(5), QStringLiteral("Berg"));
        QCOMPARE(saved.value(14), QStringLiteral("note"));
        QCOMPARE(told, (QList<QPair<int, QString>>{{5, QStringLiteral("Anna Berg")}}));
        QCOMPARE(m_ui.shown.size(), 1);
        QCOMPARE(m_ui.shown[0].text, QStringLiteral("The station entry has been saved (Port : 5)"));
        QCOMPARE(m_ui.shown[0].title, QStringLiteral("Information"));
        QCOMPARE(m_ui.shown[0].style, int(MessageStyle::Information));

        // Clear empties the operator's texts; nothing is written until Save.
        QTest::mouseClick(dialog.button("clear"), Qt::LeftButton);
        QCOMPARE(dialog.field("firstName")->text(), QString());
        QCOMPARE(dialog.field("fullName")->text(), QString());
        QCOMPARE(stations().find(5)->value(3), QStringLiteral("Anna"));
    }

    void stationDialogShowsTheStoredRecord()
    {
        StationFields stored = station(7, 207, "SALES", "Jo", "", "");
        stored[10] = QStringLiteral("/nonexistent.bmp");
        QVERIFY(stations().WriteRecord(stored));
        StationInfoDialog dialog(m_ui, stations(), {7, QStringLiteral("207"), QStringLiteral("SALES")}, true);
        QCOMPARE(dialog.field("firstName")->text(), QStringLiteral("Jo"));
        QCOMPARE(dialog.field("fullName")->text(), QStringLiteral("Jo"));
        QVERIFY(dialog.button("callHome")->isEnabled());
        // A picture that cannot be loaded shows the placeholder.
        QVERIFY(!dialog.pictureView()->pixmap().isNull());
        dialog.setPictureFile(QString());
        QCOMPARE(dialog.field("picture")->text(), QString());
    }

    void callButtonsUseTheirHooks()
    {
        StationInfoDialog dialog(m_ui, stations(), {3, QStringLiteral("203"), QStringLiteral("X")}, true);
        dialog.field("home")->setText(QStringLiteral("(030) 12-34"));
        m_ui.clear();
        // Without a hook the call cannot be made.
        QTest::mouseClick(dialog.button("callHome"), Qt::LeftButton);
        QCOMPARE(m_ui.texts(), QStringList{"#:cannot_exe_call_op"});
        QString dialled;
        dialog.setCallNumberHook([&dialled](const QString &digits) {
            dialled = digits;
            return true;
        });
        dialog.show();
        QTest::mouseClick(dialog.button("callHome"), Qt::LeftButton);
        QCOMPARE(dialled, QStringLiteral("0301234"));
        QVERIFY(!dialog.isVisible());
    }

    void coDialogTrimsAndSaves()
    {
        CoInfoDialog dialog(m_ui, coLines(), {4, QStringLiteral("CITY"), QStringLiteral("9"), QStringLiteral("8")});
        QVERIFY(coLines().find(4));
        QVERIFY(dialog.field("coName")->isReadOnly());
        QCOMPARE(dialog.field("fullName")->maxLength(), 64);
        QTest::keyClicks(dialog.field("telNo"), QStringLiteral(" 0301 555 "));
        QTest::keyClicks(dialog.field("fullName"), QStringLiteral("Main line "));
        m_ui.clear();
        QVERIFY(dialog.save());
        QCOMPARE(*coLines().find(4), (CoFields{"4", "CITY", "9", "8", "0301 555", "Main line", "", ""}));
        QCOMPARE(m_ui.shown.at(0).text, QStringLiteral("The CO line entry has been saved (CO line : 4)"));
        dialog.clear();
        QCOMPARE(dialog.field("telNo")->text(), QString());
        QCOMPARE(dialog.field("coName")->text(), QStringLiteral("CITY"));
    }

    // ------------------------------------------------------------ pictures

    void previewOfABitmap()
    {
        const QString path = m_dir->filePath(QStringLiteral("wide.bmp"));
        QImage image(200, 100, QImage::Format_RGB888);
        image.fill(Qt::red);
        QVERIFY(image.save(path, "BMP"));
        PicturePreview::setShowPreviewRemembered(true);
        PicturePreview preview;
        preview.setFile(path);
        QCOMPARE(preview.widthLabel()->text(), QStringLiteral("Width: 200 pixels"));
        QCOMPARE(preview.heightLabel()->text(), QStringLiteral("Height: 100 pixels"));
        QCOMPARE(preview.colorsLabel()->text(), QStringLiteral("Colors: 16 millions"));
        QCOMPARE(preview.sizeLabel()->text(), QStringLiteral("Size: %1 Kb").arg(QFileInfo(path).size() / 1024));
        // Unchecking empties it, and the choice holds for the next browser of the run.
        preview.showPreviewBox()->setChecked(false);
        QVERIFY(preview.image().isNull());
        QCOMPARE(preview.widthLabel()->text(), QString());
        QVERIFY(!PicturePreview::showPreviewRemembered());
        PicturePreview next;
        QVERIFY(!next.showPreviewBox()->isChecked());
        PicturePreview::setShowPreviewRemembered(true);
        // A file that is no picture empties the preview.
        preview.showPreviewBox()->setChecked(true);
        QVERIFY(!preview.image().isNull());
        preview.setFile(m_dir->filePath(QStringLiteral("missing.bmp")));
        QVERIFY(preview.image().isNull());
    }

    void previewGeometryAndColours()
    {
        QCOMPARE(previewRect(QSize(200, 100), QRect(0, 0, 100, 100)), QRect(0, 25, 100, 50));
        QCOMPARE(previewRect(QSize(50, 100), QRect(0, 0, 100, 100)), QRect(25, 0, 50, 100));
        QCOMPARE(previewRect(QSize(0, 0), QRect(0, 0, 100, 100)), QRect());
        QCOMPARE(colorsText(1), QStringLiteral("Colors: 2 (monocromatic)"));
        QCOMPARE(colorsText(16), QStringLiteral("Colors: 65,536"));
        QCOMPARE(colorsText(32), QString());
    }

    // Set ZARTO_SCREENSHOT_DIR to keep pictures of the window and the dialog.
    void screenshots()
    {
        const QStringList first{"Anna", "", "Jon", "Maria", "", "Paul", "Ute", ""};
        const QStringList last{"Berg", "", "Smith", "Lopez", "", "Klein", "Wagner", ""};
        for (int port = 1; port <= 24; ++port) {
            StationFields f = station(port, port % 5 == 0 ? 0 : 200 + port, QStringLiteral("STA %1").arg(port),
                                      first[port % 8], "", last[port % 8]);
            f[6] = port % 3 ? QStringLiteral("030 5550%1").arg(port) : QString();
            f[9] = first[port % 8].isEmpty() ? QString() : first[port % 8].toLower() + QStringLiteral("@example.org");
            QVERIFY(stations().WriteRecord(f));
        }
        auto view = stationView();
        auto frame = std::make_unique<DirectoryFrame>(view.release());
        frame->resize(760, 320);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->view()->sortByColumn(3);
        const QImage image = frame->grab().toImage();
        QVERIFY(!image.isNull());
        StationInfoDialog dialog(m_ui, stations(), {3, QStringLiteral("203"), QStringLiteral("STA 3")}, true);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage dialogImage = dialog.grab().toImage();
        QVERIFY(!dialogImage.isNull());
        const QString dir = qEnvironmentVariable("ZARTO_SCREENSHOT_DIR");
        if (!dir.isEmpty()) {
            QVERIFY(image.save(dir + QStringLiteral("/station-directory.png")));
            QVERIFY(dialogImage.save(dir + QStringLiteral("/station-info.png")));
        }
    }

    // ------------------------------------------------------------ main window

    void mainWindowOpensAndClosesTheWindows()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        CWindowKindSettings::resetAllForTests();
        DefaultLayout::current() = DefaultLayout::initial();
        MessageBoxAnswerer boxes;
        QTemporaryDir work;
        const QString start = QDir::currentPath();
        QVERIFY(QDir::setCurrent(work.path()));
        {
            MainWindow w;
            w.show();
            ChildWindowTable &table = w.childWindows();
            // Both were open at the end of the last run (the default).
            table.reopenWindows(true);
            QWidget *stationWindow = table.window(ChildWindowTable::StationDirectory);
            QWidget *coWindow = table.window(ChildWindowTable::CoDirectory);
            QVERIFY(stationWindow && coWindow);
            QCOMPARE(stationWindow->windowTitle(), QStringLiteral("Station directory"));
            QCOMPARE(coWindow->windowTitle(), QStringLiteral("CO line directory"));
            QCOMPARE(stationWindow->geometry(), QRect(0, 321, 263, 179));
            QCOMPARE(w.mdiArea()->subWindowList().size(), 2);
            w.refreshCommands();
            QVERIFY(w.action(Command::ViewStationDirectory)->isChecked());

            table.rememberOpenWindows(true);
            QCOMPARE(CWindowKindSettings::directoryFrame().lastActiveWindow(), 3);
            stationWindow->move(10, 20);
            stationWindow->close();
            QTRY_VERIFY(!table.isOpen(ChildWindowTable::StationDirectory));
            QCOMPARE(CSettingsSection(QStringLiteral("DB Frame - Station")).readPlacement().rcNormal.left, 10);
            table.rememberOpenWindows(true);
            QCOMPARE(CWindowKindSettings::directoryFrame().lastActiveWindow(), 2);
        }
        QDir::setCurrent(start);
    }
};

QTEST_MAIN(TestDirectoryWindows)
#include "tst_DirectoryWindows.moc"
