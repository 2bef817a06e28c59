#include "base/MessageCatalogue.h"
#include "directories/DirectoryColumns.h"

#include <QTest>

class TestDirectoryColumns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
        MessageCatalogue::setLanguageMode(LanguageMode::First);
    }

    void init()
    {
        DirectorySortFlags::forKind(DirectoryKind::Station).reset();
        DirectorySortFlags::forKind(DirectoryKind::Co).reset();
    }

    void columnTables_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("ascending");
        QTest::addColumn<QString>("descending");
        const int s = int(DirectoryKind::Station);
        const int c = int(DirectoryKind::Co);
        QTest::newRow("station port") << s << 0 << "Port" << 60 << "Port ASC" << "Port DESC";
        QTest::newRow("station number") << s << 1 << "Station number" << 70 << "StaNumber ASC" << "StaNumber DESC";
        QTest::newRow("station full name") << s << 3 << "Full name" << 150
                                           << "FirstName ASC, MiddleName ASC, LastName ASC"
                                           << "FirstName DESC, MiddleName DESC, LastName DESC";
        QTest::newRow("station mail") << s << 10 << "E-mail" << 150 << "Mail ASC" << "Mail DESC";
        QTest::newRow("station memo") << s << 12 << "Memo" << 150 << "Memo ASC" << "Memo DESC";
        QTest::newRow("co line") << c << 0 << "CO line" << 70 << "LineNo ASC" << "LineNo DESC";
        QTest::newRow("co full name") << c << 5 << "Full name" << 100 << "FullName ASC" << "FullName DESC";
        QTest::newRow("co memo") << c << 7 << "Memo" << 150 << "Memo ASC" << "Memo DESC";
    }

    void columnTables()
    {
        QFETCH(int, kind);
        QFETCH(int, column);
        const auto k = DirectoryKind(kind);
        QTEST(DirectoryColumns::headerText(k, column), "header");
        QTEST(DirectoryColumns::of(k).at(column).width, "width");
        QTEST(DirectoryColumns::sortText(k, column, true), "ascending");
        QTEST(DirectoryColumns::sortText(k, column, false), "descending");
    }

    void countsAndColumnsOutOfRange()
    {
        QCOMPARE(DirectoryColumns::count(DirectoryKind::Station), 13);
        QCOMPARE(DirectoryColumns::count(DirectoryKind::Co), 8);
        QCOMPARE(DirectoryColumns::sortText(DirectoryKind::Station, 13, true), QString());
        QCOMPARE(DirectoryColumns::sortText(DirectoryKind::Co, -1, false), QString());
        QCOMPARE(DirectoryColumns::headerText(DirectoryKind::Co, 8), QString());
    }

    void stationRowTexts()
    {
        const QStringList fields{"7",    "0",     "RECEPTION", "Anna", "", "Berg", "0301", "0171", "",
                                 "a@b.c", "a.bmp", "i1",        "i2",   "i3", "memo"};
        const QStringList row = DirectoryColumns::rowTexts(DirectoryKind::Station, fields);
        QCOMPARE(row, (QStringList{"7", "....", "RECEPTION", "Anna Berg", "0301", "0171", "", "i1", "i2", "i3",
                                   "a@b.c", "a.bmp", "memo"}));
        QVERIFY(DirectoryColumns::isEmptyCell(DirectoryKind::Station, 1, row[1]));
        QVERIFY(!DirectoryColumns::isEmptyCell(DirectoryKind::Station, 3, row[3]));
        QVERIFY(DirectoryColumns::isEmptyCell(DirectoryKind::Station, 6, row[6]));

        QStringList numbered = fields;
        numbered[1] = QStringLiteral("201");
        numbered[3].clear();
        numbered[5].clear();
        const QStringList second = DirectoryColumns::rowTexts(DirectoryKind::Station, numbered);
        QCOMPARE(second[1], QStringLiteral("201"));
        QVERIFY(!DirectoryColumns::isEmptyCell(DirectoryKind::Station, 1, second[1]));
        QCOMPARE(second[3], QString());
        QVERIFY(DirectoryColumns::isEmptyCell(DirectoryKind::Station, 3, second[3]));
        // A short record gives empty cells, never a crash.
        QCOMPARE(DirectoryColumns::rowTexts(DirectoryKind::Station, {"3"}).size(), 13);
    }

    void coRowTexts()
    {
        const QStringList fields{"2", "CITY", "9", "8", "0301 555", "Main line", "info", "memo"};
        QCOMPARE(DirectoryColumns::rowTexts(DirectoryKind::Co, fields), fields);
        QCOMPARE(DirectoryColumns::rowTexts(DirectoryKind::Co, {"2"}).size(), 8);
    }

    void sortFlagsAreSharedPerKind()
    {
        DirectorySortFlags &stations = DirectorySortFlags::forKind(DirectoryKind::Station);
        QVERIFY(stations.click(3));
        QVERIFY(!stations.click(3));
        QVERIFY(stations.click(3));
        QVERIFY(!stations.click(3));
        // Another column starts ascending, and the first one is ascending again after it.
        QVERIFY(stations.click(5));
        QVERIFY(stations.click(3));
        // Every window of a kind sees the same flags; the other kind has its own.
        QVERIFY(!DirectorySortFlags::forKind(DirectoryKind::Station).nextIsAscending(3));
        QVERIFY(DirectorySortFlags::forKind(DirectoryKind::Co).nextIsAscending(3));
        // A column out of range sorts by the empty text and resets every flag.
        QVERIFY(stations.click(40));
        QVERIFY(stations.nextIsAscending(3));
    }

    void scrollPastEmpty_data()
    {
        QTest::addColumn<QList<bool>>("empty");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("rows");
        const bool E = true;
        const bool V = false;
        QTest::newRow("no empty rows") << QList<bool>{V, V, V} << 2 << 0;
        QTest::newRow("no rows") << QList<bool>{} << 2 << 0;
        QTest::newRow("two empty, enough rows") << QList<bool>{E, E, V, V, V, V, V} << 3 << 2;
        QTest::newRow("would leave less than a page") << QList<bool>{E, E, E, E, V, V} << 4 << 3;
        QTest::newRow("exactly a page left") << QList<bool>{E, E, V, V} << 2 << 2;
        QTest::newRow("all rows fit one page") << QList<bool>{E, V} << 5 << 0;
        QTest::newRow("all empty") << QList<bool>{E, E, E, E} << 2 << 3;
        QTest::newRow("empty after a value") << QList<bool>{V, E, E} << 1 << 0;
    }

    void scrollPastEmpty()
    {
        QFETCH(QList<bool>, empty);
        QFETCH(int, page);
        QTEST(rowsToScrollPastEmpty(empty, page), "rows");
    }
};

QTEST_GUILESS_MAIN(TestDirectoryColumns)
#include "tst_DirectoryColumns.moc"
