#include "FileTestSupport.h"
#include "ManualClock.h"
#include "Recorders.h"

#include "directories/ui/CDBExportFileDlg.h"
#include "directories/ui/ImportDialog.h"
#include "directories/ui/PrintDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

class TestFileDialogs : public QObject
{
    Q_OBJECT

private slots:
    void exportDialogNamesTheFileAndExports()
    {
        QTemporaryDir dir;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb", {{2000, "A", "1", "None", 0, ""}}));
        OperatorUiRecorder ui;
        ManualClock clock;
        CDBExportFileDlg dialog(ui, clock, dir.path());
        QCOMPARE(dialog.fileName(), QString("*.*"));
        auto *start = dialog.findChild<QPushButton *>("start");
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(ui.texts(), QStringList{"#:xp_select_db_target"});

        dialog.directoryBox()->setCurrentIndex(0);
        dialog.formatBox()->setCurrentIndex(1);
        QCOMPARE(dialog.fileName(), QString("SpeedDB.txt"));
        ui.clear();
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(ui.texts(), QStringList{"#:xp_db_export_finished"});
        QVERIFY(QFile::exists(dir.filePath("SpeedDB.txt")));
        QVERIFY(!QApplication::overrideCursor());
    }

    void importDialogStaysOpenAndImports()
    {
        QTemporaryDir dir;
        OperatorUiRecorder ui;
        ManualClock clock;
        ImportDialog dialog(ui, clock, dir.path());
        QVERIFY(dialog.fileEdit()->text().endsWith("*.xls"));
        dialog.directoryBox()->setCurrentIndex(1);
        dialog.versionBox()->setCurrentIndex(0);
        dialog.fileEdit()->setText(qEnvironmentVariable("ZARTO_TEST_DATA") + "/import/PhoneDB-biff8.xls");
        dialog.show();
        QTest::mouseClick(dialog.findChild<QPushButton *>("start"), Qt::LeftButton);
        QCOMPARE(ui.texts(), QStringList{"#:xl_excel_import_finished"});
        QVERIFY(dialog.isVisible());
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", {}).size(), 4);
    }

    void printDialogArgument()
    {
        OpenDialogRegistry dialogs;
        PrintDialog dialog(dialogs, 3);
        QCOMPARE(dialog.argument(), 3);
        dialog.findChild<QRadioButton *>("graphic")->setChecked(true);
        dialog.findChild<QRadioButton *>("kind2")->setChecked(true);
        QCOMPARE(dialog.argument(), 12);
        QCOMPARE(PrintDialog(dialogs, 0).kind(), 1);
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_file_dialogs.moc"
