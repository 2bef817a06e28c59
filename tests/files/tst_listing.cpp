#include "FileTestSupport.h"
#include "ManualClock.h"

#include "directories/DirectoryListing.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestListing : public QObject
{
    Q_OBJECT

private:
    static QByteArray heavy() { return QByteArray(80, '=') + "\r\n"; }
    static QByteArray light() { return QByteArray(80, '-') + "\r\n"; }

private slots:
    void bytes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("lines");

        const QByteArray pad61(61, ' ');
        QTest::newRow("speed bins")
            << 1
            << QList<QVariantList>{{2001, "B", "9", "None", 3, ""},
                                   {2000, "A", "1", "Line", 2, QString(17, 'm') + QChar(0xe9) + "xx"}}
            << (QByteArray(29, ' ') + "< Speed Bin Database >\r\n\r\n" + heavy()
                + " SpdNo Name             Number                   COType CONo Memo\r\n" + light()
                + " 2000  A                1                        Line   3    " + QByteArray(17, 'm') + "\r\n" + pad61 + "\xc3\xa9xx\r\n"
                + " 2001  B                9                        None        \r\n" + heavy())
            << 9;
        QTest::newRow("phone numbers: an empty record prints nothing")
            << 2 << QList<QVariantList>{{"", "", ""}, {"N", "1", QString(17, 'x') + "\n" + "y"}}
            << (QByteArray(28, ' ') + "< Phone Number Database >\r\n\r\n" + heavy()
                + " Name                       PhoneNo                    Memo\r\n" + light()
                + " N                          1                          xxxxxxxxxxxxxxxxx\r\n"
                + " " + QByteArray(25, ' ') + "  " + QByteArray(25, ' ') + "  y\r\n" + heavy())
            << 8;
        QTest::newRow("CO lines")
            << 4 << QList<QVariantList>{{3, "TRK", "9", "8", "555", "", "", "a\nb"}}
            << (QByteArray(33, ' ') + "< CO Database >\r\n\r\n" + heavy()
                + " LineNo    TrkName             AccessCode    RetrieveCode\r\n" + light()
                + " 3         TRK                 9             8           \r\n" + light()
                + " #:cd_tel_no : 555\r\n #:cd_inform1 : \r\n #:cd_inform2 : \r\n #:cd_memo : a\r\n"
                + "             b\r\n" + heavy() + "\r\n")
            << 14;
    }

    void bytes()
    {
        QFETCH(int, kind);
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QByteArray, expected);
        QFETCH(int, lines);
        QTemporaryDir dir;
        const DirectoryTable *tables[] = {nullptr, &DirectoryTable::speedBin(), &DirectoryTable::phoneNo(),
                                          &DirectoryTable::extension(), &DirectoryTable::trunk()};
        QVERIFY(fillDirectory(dir.path(), *tables[kind], DirectoryListing::databaseFileName(kind), rows));
        ManualClock clock;
        DirectoryListing listing(clock, dir.path(), dir.path());
        listing.setTranslator([](const QString &key) { return key; });
        QVERIFY(listing.write(kind));
        QFile f(listing.listingPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), expected);
        QCOMPARE(listing.lineCount(), lines);
    }

    void stationFullNameSlices()
    {
        QTemporaryDir dir;
        const QString first(30, 'F'), last(20, 'L');
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::extension(), "ExtDB.mdb",
                              {{5, 105, "ST", first, "", last, "", "", "", "", "", "", "", "", ""},
                               {6, 0, "", "", "", "", "", "", "", "", "", "", "", "", ""}}));
        ManualClock clock;
        DirectoryListing listing(clock, dir.path(), dir.path());
        listing.setTranslator([](const QString &key) { return key.mid(2); });
        QVERIFY(listing.write(DirectoryListing::Stations));
        QFile f(listing.listingPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        const QString full = first + " " + last;
        QCOMPARE(lines[5], " 5       105          ST                  " + full.left(37).toLatin1() + "\r");
        QCOMPARE(lines[6], QByteArray(42, ' ') + full.mid(37).toLatin1() + "\r");
        QCOMPARE(lines[8], " sd_first_name : " + first.toLatin1() + "\r");
        // The second station: an empty full name and no continuation line.
        const int second = lines.indexOf(" 6       0" + QByteArray(8 + 4 + 16 + 4, ' ') + "\r");
        QVERIFY(second > 0);
        QVERIFY(lines[second + 1].startsWith("---"));
    }

    // A slice of a full name or a labelled field never ends inside a
    // character of several bytes.
    void multiByteCharactersAtTheCut()
    {
        const QString smiley = QStringLiteral("\U0001F600");
        QCOMPARE(DirectoryListing::labelledField("L", QString(73, 'a') + smiley + QStringLiteral("\u20acb")),
                 QStringLiteral(" L : ") + QString(73, 'a') + smiley + QStringLiteral("\r\n     \u20acb\r\n"));

        QTemporaryDir dir;
        const QString middle = QString(15, 'M') + smiley;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::extension(), "ExtDB.mdb",
                              {{5, 105, "ST", QString(20, 'F'), middle, "\u4e2d", "", "", "", "", "", "", "", "", ""}}));
        ManualClock clock;
        DirectoryListing listing(clock, dir.path(), dir.path());
        listing.setTranslator([](const QString &key) { return key.mid(2); });
        QVERIFY(listing.write(DirectoryListing::Stations));
        QFile f(listing.listingPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines[5], QStringLiteral(" 5       105          ST                  ") + QString(20, 'F') + ' ' + middle);
        QCOMPARE(lines[6], QString(42, ' ') + QStringLiteral(" \u4e2d"));
    }

    void backupAndUnwritableListing()
    {
        QTemporaryDir dir;
        ManualClock clock;
        QVERIFY(QDir(dir.path()).mkdir("SpeedDB.txt")); // a folder where the listing should go
        DirectoryListing listing(clock, dir.path(), dir.path());
        QVERIFY(!listing.write(DirectoryListing::SpeedBins));
        QVERIFY(listing.errorKey().isEmpty());

        DirectoryListing other(clock, dir.path(), dir.path());
        QFile old(dir.filePath("PhoneDB.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous");
        old.close();
        QVERIFY(other.write(DirectoryListing::PhoneNumbers));
        QFile backup(dir.filePath("PhoneDB.tx_"));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), QByteArray("previous"));

        // A directory that cannot be opened leaves the listing as it was.
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("kept");
        old.close();
        DirectoryListing unreadable(clock, dir.filePath("no/such/folder"), dir.path());
        QVERIFY(!unreadable.write(DirectoryListing::PhoneNumbers));
        QCOMPARE(unreadable.errorKey(), QString("#:pne_cannot_create_phone_no_db"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("kept"));
    }
};

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
