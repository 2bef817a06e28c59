#include "FileTestSupport.h"
#include "ManualClock.h"
#include "Recorders.h"

#include "directories/DirectoryImport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString fixture(const QString &name)
{
    return qEnvironmentVariable("ZARTO_TEST_DATA") + QStringLiteral("/import/") + name;
}

using Rows = QList<QStringList>;
} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void speedBins_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("autoCorrect");
        QTest::addColumn<QList<int>>("rejected");
        QTest::addColumn<Rows>("records");

        const QStringList alpha{"2000", "ALPHA", "123", "Line", "4", "first bin"};
        const QStringList beta{"2001", "BETA", "*44#", "Group", "3", ""};
        const QStringList gamma{"2002", "GAMMA ONE", "5551234", "None", "0", "memo; with semicolon"};
        const QStringList repeat{"2003", "REPEAT", "999", "None", "0", "later row for the same bin"};
        for (const char *file : {"SpeedDB-biff8.xls", "SpeedDB-biff5.xls"}) {
            QTest::addRow("%s as it is", file) << file << false << QList<int>{4, 5, 6} << Rows{alpha, beta, gamma, repeat};
            QTest::addRow("%s corrected", file) << file << true << QList<int>{4, 5} << Rows{alpha, beta, gamma, repeat};
        }
    }

    void speedBins()
    {
        QFETCH(QString, file);
        QFETCH(bool, autoCorrect);
        QFETCH(QList<int>, rejected);
        QFETCH(Rows, records);

        QTemporaryDir dir;
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QVERIFY(job.run({DirectoryImport::SpeedBins, 0, fixture(file), true, autoCorrect}));
        QCOMPARE(job.rejectedRows(), rejected);
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb", "SpdNo ASC"), records);
        QCOMPARE(ui.shown.size(), 2);
        QVERIFY(ui.shown[0].text.endsWith(autoCorrect ? " : 4, 5" : " : 4, 5, 6"));
        QCOMPARE(ui.shown[1].text, QString("#:xl_excel_import_finished"));
        QVERIFY(!QFile::exists(dir.filePath("SpeedDB.tmp")));
    }

    void correctedRowBecomesLine()
    {
        // The later row of bin 2003 overwrites the corrected one; without it
        // the corrected row stores CO line 7 as 6.
        QStringList row{"2003", "bad-name", "12a3", "l", "7", " memo "};
        QVERIFY(!DirectoryImport::checkSpeedBinRow(row, false));
        row = QStringList{"2003", "bad-name", "12a3", "l", "7", " memo "};
        QVERIFY(DirectoryImport::checkSpeedBinRow(row, true));
        QCOMPARE(row, (QStringList{"2003", "BADNAME", "123", "Line", "7", "memo"}));
        for (const auto &[bin, good] : {std::pair{"1999", false}, {"2000", true}, {"4999", true}, {"5000", false}}) {
            QStringList r{bin, "", "1", "None", "", ""};
            QCOMPARE(DirectoryImport::checkSpeedBinRow(r, false), good);
        }
        QStringList group{"2000", "", "1", "Group", "73", ""};
        QVERIFY(!DirectoryImport::checkSpeedBinRow(group, true));
        QStringList none{"2000", "", "1", "None", "5", ""};
        QVERIFY(!DirectoryImport::checkSpeedBinRow(none, false));
        none = QStringList{"2000", "", "1", "None", "5", ""};
        QVERIFY(DirectoryImport::checkSpeedBinRow(none, true));
        QCOMPARE(none[4], QString("0"));
        QCOMPARE(DirectoryImport::cellText(QVariant(2001.7)), QString("2001"));
    }

    // A cut to the field's size keeps whole characters.
    void correctionCutsWholeCharacters()
    {
        const QString smiley = QStringLiteral("\U0001F600");
        QStringList row{QString(63, 'n') + smiley, QString(62, '1') + smiley + "9", QString(254, 'm') + smiley};
        QVERIFY(DirectoryImport::checkPhoneNoRow(row, true));
        QCOMPARE(row, (QStringList{QString(63, 'n'), QString(62, '1') + smiley, QString(254, 'm')}));
    }

    void phoneNumbers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Rows>("records");
        const QStringList wild{"100% * ? _", "1", "wildcards"};
        const QStringList mueller{"Müller", "555 12 34", ""};
        const QStringList obrien{"O'Brien", "123", "quote \" inside"};
        const QStringList smith{"Smith; John", "+44 (20) 7946-0018", "two\nlines"};
        QTest::newRow("biff8") << "PhoneDB-biff8.xls" << Rows{wild, mueller, obrien, smith};
        QTest::newRow("sheet1") << "Sheet1-biff8.xls" << Rows{wild, mueller, obrien, smith};
        QTest::newRow("biff5") << "PhoneDB-biff5.xls" << Rows{wild, obrien, smith};
    }

    void phoneNumbers()
    {
        QFETCH(QString, file);
        QFETCH(Rows, records);
        QTemporaryDir dir;
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QVERIFY(job.run({DirectoryImport::PhoneNumbers, 0, fixture(file), false, false}));
        QCOMPARE(ui.texts(), QStringList{"#:xl_excel_import_finished"});
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", "Name ASC"), records);
    }

    void failuresKeepThePreviousDirectory_data()
    {
        QTest::addColumn<int>("directory");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << 0 << "none.xls" << "#:xl_excel_file_not_exist";
        QTest::newRow("random bytes") << 0 << "random-bytes.xls" << "#:xl_cannot_open_excel_db";
        QTest::newRow("truncated") << 0 << "truncated.xls" << "#:xl_cannot_open_excel_db";
        QTest::newRow("no such sheet") << 1 << "SpeedDB-biff8.xls" << "#:xl_cannot_open_excel_set";
        QTest::newRow("two Name columns") << 1 << "TwoNames-biff8.xls" << "#:xl_duplicate_field_name_exist";
        QTest::newRow("no Memo column") << 1 << "NoMemo-biff8.xls" << "#:xl_field_name_not_exist_or_wrong";
    }

    void failuresKeepThePreviousDirectory()
    {
        QFETCH(int, directory);
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const bool speed = directory == 0;
        const DirectoryTable &table = speed ? DirectoryTable::speedBin() : DirectoryTable::phoneNo();
        const char *name = speed ? "SpeedDB.mdb" : "PhoneDB.mdb";
        const QVariantList row = speed ? QVariantList{2500, "OLD", "1", "None", 0, ""} : QVariantList{"Old", "1", ""};
        QVERIFY(fillDirectory(dir.path(), table, name, {row}));
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QVERIFY(!job.run({directory, 0, fixture(file), true, false}));
        QCOMPARE(ui.texts(), QStringList{message});
        QCOMPARE(ui.shown.first().title, QString("#:database_error"));
        QCOMPARE(readDirectory(dir.path(), table, name, {}).size(), 1);
    }

    // Columns are found by name in any order; "l" becomes "Line" and its CO
    // number 5 is stored as 4, "g" a "Group" keeping 4, "n" a "None" with 0.
    void correctedTypesAndColumnsByName()
    {
        QTemporaryDir dir;
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QVERIFY(job.run({DirectoryImport::SpeedBins, 0, fixture("Corrections-biff8.xls"), false, true}));
        QCOMPARE(ui.texts(), QStringList{"#:xl_excel_import_finished"});
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb", "SpdNo ASC"),
                 (Rows{{"2100", "LOWER", "0123", "Line", "4", ""},
                       {"2101", "", "456", "Group", "4", ""},
                       {"2102", "", "7", "None", "0", ""}}));
    }

    // The new file cannot be made after the old one was deleted: the old
    // directory comes back from the temporary copy.
    void failureAfterTheDeleteRestoresThePreviousDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb",
                              {{2500, "OLD", "1", "None", 0, "kept"}}));
        // SQLite cannot make its write-ahead log where a folder stands.
        QVERIFY(QDir(dir.path()).mkdir("SpeedDB.mdb-wal"));
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QList<int> reopened;
        job.setDirectoryHooks({}, [&](int d) { reopened.append(d); });
        QVERIFY(!job.run({DirectoryImport::SpeedBins, 0, fixture("SpeedDB-biff8.xls"), false, false}));
        QCOMPARE(ui.texts(), QStringList{"#:pbe_cannot_create_speed_db"});
        QCOMPARE(reopened, QList<int>{0});
        QVERIFY(!QFile::exists(dir.filePath("SpeedDB.tmp")));
        QVERIFY(QDir(dir.path()).rmdir("SpeedDB.mdb-wal"));
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb", {}),
                 (Rows{{"2500", "OLD", "1", "None", "0", "kept"}}));
    }

    void choicesAndBackup()
    {
        QTemporaryDir dir;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", {{"Old", "1", ""}}));
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryImport job(ui, clock, dir.path());
        QList<int> closed, reopened;
        job.setDirectoryHooks([&](int d) { closed.append(d); }, [&](int d) { reopened.append(d); });
        QVERIFY(!job.run({DirectoryImport::PhoneNumbers, -1, fixture("PhoneDB-biff8.xls"), true, false}));
        QCOMPARE(ui.texts(), QStringList{"#:xl_select_db_excel"});
        QCOMPARE(ui.shown.first().title, QString("#:input_error"));

        QVERIFY(job.run({DirectoryImport::PhoneNumbers, 0, fixture("PhoneDB-biff8.xls"), true, false}));
        QCOMPARE(closed, QList<int>{1});
        QCOMPARE(reopened, QList<int>{1});
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.bak", {}),
                 (Rows{{"Old", "1", ""}}));
        QCOMPARE(readDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", {}).size(), 4);
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "tst_import.moc"
