#include "ManualClock.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "callstate/FullName.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryFiles.h"
#include "directories/DirectoryRecordset.h"
#include "directories/SqliteFunctions.h"
#include "directories/StationDirectory.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>

namespace {

StationFields station(int port, const QString &number = {}, const QString &name = {}, const QString &first = {},
                      const QString &mail = {})
{
    StationFields f(StationFieldCount);
    f[0] = QString::number(port);
    f[1] = number;
    f[2] = name;
    f[3] = first;
    f[9] = mail;
    return f;
}

// The directory files of one folder, as the console opens them at start.
struct Files
{
    explicit Files(const QString &folder)
        : files(ui, clock)
    {
        files.open(folder);
    }
    OperatorUiRecorder ui;
    ManualClock clock;
    DirectoryFiles files;
};

QStringList ports(DirectoryRecordset &set)
{
    QStringList out;
    for (bool more = set.moveFirst(); more; more = set.moveNext())
        out << set.value(QStringLiteral("Port")).toString();
    return out;
}

} // namespace

class TestDirectories : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }
    // Every test starts with an empty folder.
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void writeRecordUpsertsAndDeletes()
    {
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        QSignalSpy written(&d, &StationDirectory::written);
        QVERIFY(d.WriteRecord(station(5, QStringLiteral("...."), QStringLiteral("Hall"))));
        QCOMPARE(d.LastWrite(), int(StationDirectory::Added));
        QCOMPARE(d.find(5)->at(1), QStringLiteral("0")); // "...." is no number

        QVERIFY(d.WriteRecord(station(5, QStringLiteral("205"), QStringLiteral("Hall"), QStringLiteral("Ann"))));
        QCOMPARE(d.LastWrite(), int(StationDirectory::Edited));
        QCOMPARE(d.find(5)->at(3), QStringLiteral("Ann"));

        // Nothing but the port: the row goes.
        QVERIFY(d.WriteRecord(station(5)));
        QCOMPARE(d.LastWrite(), int(StationDirectory::Deleted));
        QVERIFY(!d.find(5));
        QCOMPARE(written.count(), 3);

        // With no row nothing is written, and LastWrite keeps its value.
        QVERIFY(d.WriteRecord(station(6, QStringLiteral("206"))));
        QVERIFY(d.WriteRecord(station(9)));
        QVERIFY(!d.find(9));
        QCOMPARE(d.LastWrite(), int(StationDirectory::Added));
        QCOMPARE(written.count(), 4);

        CoDirectory &c = *f.files.coLines();
        CoFields line(CoFieldCount);
        line[0] = QStringLiteral("3");
        line[1] = QStringLiteral("City");
        QVERIFY(c.WriteRecord(line));
        line[1].clear();
        QVERIFY(c.WriteRecord(line));
        QCOMPARE(c.LastWrite(), int(StationDirectory::Deleted));
        QVERIFY(!c.find(3));
    }

    void textsAreStoredAndFoundAsTyped_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quote") << QStringLiteral("O'Brien");
        QTest::newRow("star") << QStringLiteral("A*B");
        QTest::newRow("question") << QStringLiteral("Who?");
        QTest::newRow("percent") << QStringLiteral("100%");
        QTest::newRow("underscore") << QStringLiteral("a_b");
        QTest::newRow("injection") << QStringLiteral("x' OR 1=1 --");
        QTest::newRow("brackets") << QStringLiteral("[x]#1");
    }
    void textsAreStoredAndFoundAsTyped()
    {
        QFETCH(QString, name);
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        QVERIFY(d.WriteRecord(station(1, QStringLiteral("100"), QStringLiteral("plain"), QStringLiteral("plain"))));
        QVERIFY(d.WriteRecord(station(2, QStringLiteral("101"), QStringLiteral("x"), name)));
        QCOMPARE(d.find(2)->at(3), name);

        DirectoryRecordset *rs = d.OpenRecordset();
        QVERIFY(rs);
        const QString like = DirectoryRecordset::likeLiteral(name);
        for (const QString &filter : {QStringLiteral("FirstName Like '%1'").arg(like),
                                      QStringLiteral("FirstName Like '*%1*'").arg(like),
                                      QStringLiteral("FirstName = ") + DirectoryRecordset::quoted(name)}) {
            rs->close();
            rs->setFilter(filter);
            QVERIFY2(rs->open(), qPrintable(rs->filter()));
            QCOMPARE(ports(*rs), QStringList{QStringLiteral("2")});
        }
    }

    void filterTextsTranslate_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("all") << QString() << QStringList{"1", "2", "3", "4"};
        QTest::newRow("equal") << "Port = 3" << QStringList{"3"};
        QTest::newRow("greater") << "Port > 2" << QStringList{"3", "4"};
        QTest::newRow("start") << "LastName Like 'sm*'" << QStringList{"1", "2"};
        QTest::newRow("anywhere, any case") << "LastName Like '*TH'" << QStringList{"1", "2"};
        QTest::newRow("one character") << "LastName Like 'Sm?th'" << QStringList{"1", "2"};
        QTest::newRow("accented letters fold") << "LastName Like 'éclair'" << QStringList{"3"};
        QTest::newRow("equal folds") << "LastName = 'ÉCLAIR'" << QStringList{"3"};
        QTest::newRow("percent is no wildcard") << "LastName Like '%'" << QStringList{};
        QTest::newRow("underscore is no wildcard") << "LastName Like 'Sm_th'" << QStringList{};
        QTest::newRow("number as text") << "StaNumber Like '2*'" << QStringList{"2"};
        QTest::newRow("and, or, brackets")
            << "(LastName = 'Smith' AND Port = 1) OR ([Port] = 4)" << QStringList{"1", "4"};
        QTest::newRow("quote doubled") << "LastName = 'O''Neil'" << QStringList{"4"};
    }
    void filterTextsTranslate()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, found);
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        const QStringList last{"Smith", "SMYTH", "Éclair", "O'Neil"};
        for (int i = 0; i < last.size(); ++i) {
            StationFields s = station(i + 1, QString::number(100 * (i + 1)));
            s[5] = last[i];
            QVERIFY(d.WriteRecord(s));
        }
        DirectoryRecordset *rs = d.OpenRecordset();
        rs->close();
        rs->setFilter(filter);
        QVERIFY2(rs->open(), qPrintable(rs->errorText()));
        QCOMPARE(ports(*rs), found);
    }

    void badTextsOpenNothing_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("sort");
        QTest::newRow("unknown field") << "Nobody = 1" << QString();
        QTest::newRow("open quote") << "LastName = 'x" << QString();
        QTest::newRow("statement") << "Port = 1; DROP TABLE Extension" << QString();
        QTest::newRow("comment") << "Port = 1 --" << QString();
        QTest::newRow("sort field") << QString() << "Port; DROP";
        QTest::newRow("sort unknown") << QString() << "Nobody ASC";
    }
    void badTextsOpenNothing()
    {
        QFETCH(QString, filter);
        QFETCH(QString, sort);
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        QVERIFY(d.WriteRecord(station(1, QStringLiteral("100"))));
        DirectoryRecordset *rs = d.OpenRecordset();
        rs->close();
        rs->setFilter(filter);
        rs->setSort(sort);
        QVERIFY(!rs->open());
        rs->setFilter(QString());
        rs->setSort(QString());
        QVERIFY(rs->open());
        QCOMPARE(rs->count(), 1); // the table is still there
    }

    void sortTexts()
    {
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        const QStringList first{"bob", "", "Álvaro", "Carl"};
        for (int i = 0; i < first.size(); ++i) {
            StationFields s = station(i + 1, QString::number(i + 1));
            s[3] = first[i];
            QVERIFY(d.WriteRecord(s));
        }
        DirectoryRecordset *rs = d.OpenRecordset();
        rs->close();
        rs->setSort(QStringLiteral("FirstName ASC, MiddleName ASC, LastName ASC"));
        QVERIFY(rs->open());
        QCOMPARE(ports(*rs), (QStringList{"2", "3", "1", "4"})); // empty first, case and accent folded
        rs->close();
        rs->setSort(QStringLiteral("Port DESC"));
        QVERIFY(rs->open());
        QCOMPARE(ports(*rs), (QStringList{"4", "3", "2", "1"}));
    }

    void textsAreCutToTheirField()
    {
        Files f(m_dir.path());
        StationDirectory &d = *f.files.stations();
        QVERIFY(d.WriteRecord(station(1, QStringLiteral("1"), QString(20, QLatin1Char('n')), QString(40, QChar(0xE9)))));
        QCOMPARE(d.find(1)->at(2).size(), 16);
        QCOMPARE(d.find(1)->at(3), QString(32, QChar(0xE9)));
        // A character of two UTF-16 units that would pass the size stays out whole.
        const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
        QVERIFY(d.WriteRecord(station(2, QStringLiteral("2"), QString(15, QLatin1Char('n')) + clef)));
        QCOMPARE(d.find(2)->at(2), QString(15, QLatin1Char('n')));
    }

    void trimAboveTheCount()
    {
        Files f(m_dir.path());
        for (int port = 1; port <= 30; ++port)
            QVERIFY(f.files.stations()->WriteRecord(station(port, QString::number(100 + port))));
        QVERIFY(f.files.stations()->TrimToPortCount(24));
        DirectoryRecordset *rs = f.files.stations()->OpenRecordset();
        rs->close();
        rs->setFilter(QString());
        QVERIFY(rs->open());
        QCOMPARE(rs->count(), 24);
        QVERIFY(!f.files.stations()->find(25));
        QVERIFY(f.files.stations()->find(24));

        for (int line = 1; line <= 10; ++line)
            QVERIFY(f.files.coLines()->writeCoLine(quint16(line), QStringLiteral("CO"), std::nullopt, std::nullopt));
        QVERIFY(f.files.coLines()->TrimToLineCount(8));
        QVERIFY(!f.files.coLines()->find(9));
        QVERIFY(f.files.coLines()->find(8));
    }

    void writeThroughKeepsTheOperatorsFieldsAcrossRuns()
    {
        {
            Files f(m_dir.path());
            QVERIFY(f.files.stations()->writeStation(7, QStringLiteral("207"), QStringLiteral("Desk")));
            QVERIFY(f.files.stations()->WriteRecord(station(7, QStringLiteral("207"), QStringLiteral("Desk"),
                                                            QStringLiteral("Ann"), QStringLiteral("ann@example.org"))));
            // The PBX renames the station: the operator's entries stay.
            QVERIFY(f.files.stations()->writeStation(7, std::nullopt, QStringLiteral("Front desk")));
            const StationFields s = *f.files.stations()->find(7);
            QCOMPARE(s[2], QStringLiteral("Front desk"));
            QCOMPARE(s[1], QStringLiteral("207"));
            QCOMPARE(s[3], QStringLiteral("Ann"));

            CoFields line(CoFieldCount);
            line[0] = QStringLiteral("2");
            line[4] = QStringLiteral("555 0100");
            QVERIFY(f.files.coLines()->WriteRecord(line));
            QVERIFY(f.files.coLines()->writeCoLine(2, QStringLiteral("City"), QStringLiteral("82"), QString()));
            f.files.stations()->commitBatch();
            f.files.coLines()->commitBatch();
        }
        // The next morning: the files are opened, not recreated, and a new
        // download refreshes only what the PBX reports.
        Files f(m_dir.path());
        QVERIFY(f.ui.shown.isEmpty());
        QVERIFY(f.files.stations()->writeStation(7, QStringLiteral("307"), QStringLiteral("Desk")));
        const StationFields s = *f.files.stations()->find(7);
        QCOMPARE(s[1], QStringLiteral("307"));
        QCOMPARE(s[3], QStringLiteral("Ann"));
        QCOMPARE(s[9], QStringLiteral("ann@example.org"));
        const CoFields c = *f.files.coLines()->find(2);
        QCOMPARE(c[1], QStringLiteral("City"));
        QCOMPARE(c[2], QStringLiteral("82"));
        QCOMPARE(c[4], QStringLiteral("555 0100"));

        // The PBX clears the line's name and codes: the row stays while the
        // operator's number is in it, and goes once nothing is left.
        QVERIFY(f.files.coLines()->writeCoLine(2, QString(), QString(), QString()));
        QCOMPARE(f.files.coLines()->find(2)->at(4), QStringLiteral("555 0100"));
        QVERIFY(f.files.coLines()->writeCoLine(3, QStringLiteral("Fax"), QString(), QString()));
        QVERIFY(f.files.coLines()->writeCoLine(3, QString(), QString(), QString()));
        QVERIFY(!f.files.coLines()->find(3));
        QCOMPARE(f.files.coLines()->LastWrite(), int(KeyedDirectory::Deleted));
    }

    void damagedFileIsSetAside()
    {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("ExtDB.mdb"));
        QFile bad(path);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write(QByteArray(4096, 'x'));
        bad.close();
        Files f(m_dir.path());
        QVERIFY(f.files.stations());
        QCOMPARE(f.ui.shown.size(), 1);
        QVERIFY(f.ui.shown[0].fixed);
        const QString aside = path + QStringLiteral(".bad-20260101-080000");
        QVERIFY(f.ui.shown[0].text.contains(QDir::toNativeSeparators(aside)));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray(4096, 'x'));
        QVERIFY(f.files.stations()->WriteRecord(station(1, QStringLiteral("101"))));
    }

    void fileOfAnotherLayoutIsSetAside()
    {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("TrkDB.mdb"));
        {
            ManualClock clock;
            DirectoryFileBuilder other(DirectoryTable::extension(), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"),
                                       clock);
            QCOMPARE(other.OpenOrCreate(path), DirectoryFileBuilder::Result::Created);
        }
        Files f(m_dir.path());
        QVERIFY(f.files.coLines());
        QVERIFY(QFile::exists(path + QStringLiteral(".bad-20260101-080000")));
    }

    void unwritableFolderDropsTheDirectories()
    {
        const QString file = QDir(m_dir.path()).filePath(QStringLiteral("plain-file"));
        QFile(file).open(QIODevice::WriteOnly);
        Files f(file + QStringLiteral("/Database"));
        QVERIFY(!f.files.stations());
        QVERIFY(!f.files.coLines());
        QVERIFY(f.ui.shown.isEmpty()); // no folder: dropped without a message
    }

    void localeOfNewFiles_data()
    {
        QTest::addColumn<int>("languageId");
        QTest::addColumn<QString>("locale");
        QTest::newRow("Chinese simplified") << 0x0804 << ";LANGID=0x0804;CP=936;COUNTRY=0";
        QTest::newRow("Chinese traditional") << 0x0404 << ";LANGID=0x0404;CP=950;COUNTRY=0";
        QTest::newRow("Chinese, Hong Kong") << 0x0C04 << ";LANGID=0x0409;CP=1252;COUNTRY=0";
        QTest::newRow("Norwegian as Danish") << 0x0414 << ";LANGID=0x0414;CP=1252;COUNTRY=0";
        QTest::newRow("Swedish as Finnish") << 0x041D << ";LANGID=0x040B;CP=1252;COUNTRY=0";
        QTest::newRow("Spanish, modern sort") << 0x0C0A << ";LANGID=0x0409;CP=1252;COUNTRY=0";
        QTest::newRow("Spanish, Mexico") << 0x080A << ";LANGID=0x040A;CP=1252;COUNTRY=0";
        QTest::newRow("Slovenian") << 0x0424 << ";LANGID=0x0424;CP=1250;COUNTRY=0";
        QTest::newRow("German: general") << 0x0407 << ";LANGID=0x0409;CP=1252;COUNTRY=0";
    }
    void localeOfNewFiles()
    {
        QFETCH(int, languageId);
        QFETCH(QString, locale);
        QCOMPARE(DirectoryFileBuilder::localeForLanguage(quint16(languageId)), locale);
    }

    void languageOfTheSystemLocale()
    {
        QCOMPARE(DirectoryFileBuilder::languageIdOf(QLocale(QLocale::Chinese, QLocale::China)), quint16(0x0804));
        QCOMPARE(DirectoryFileBuilder::languageIdOf(QLocale(QLocale::Chinese, QLocale::Taiwan)), quint16(0x0404));
        QCOMPARE(DirectoryFileBuilder::languageIdOf(QLocale(QLocale::Chinese, QLocale::HongKong)), quint16(0x0C04));
        QCOMPARE(DirectoryFileBuilder::languageIdOf(QLocale(QLocale::Russian, QLocale::Russia)), quint16(0x0419));
        QCOMPARE(DirectoryFileBuilder::languageIdOf(QLocale(QLocale::Swahili)), quint16(0x0409));
    }

    void fullNameRule_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QString>("full");
        QTest::newRow("all") << QStringList{"Ann", "B", "Cole"} << "Ann B Cole";
        QTest::newRow("no middle") << QStringList{"Ann", "", "Cole"} << "Ann Cole";
        QTest::newRow("first only") << QStringList{"Ann", "", ""} << "Ann";
        QTest::newRow("middle only") << QStringList{"", "B", ""} << "B";
        QTest::newRow("last only") << QStringList{"", "", "Cole"} << "Cole";
        QTest::newRow("none") << QStringList{"", "", ""} << "";
    }
    void fullNameRule()
    {
        QFETCH(QStringList, parts);
        QFETCH(QString, full);
        QCOMPARE(fullName(parts[0], parts[1], parts[2]), full);
    }

    void jetPatterns()
    {
        QVERIFY(jetLikeMatch(QStringLiteral("Straße 12"), QStringLiteral("STRASSE*")) == false);
        QVERIFY(jetLikeMatch(QStringLiteral("room 12"), QStringLiteral("room ##")));
        QVERIFY(!jetLikeMatch(QStringLiteral("room 1a"), QStringLiteral("room ##")));
        QVERIFY(jetLikeMatch(QStringLiteral("b"), QStringLiteral("[a-c]")));
        QVERIFY(!jetLikeMatch(QStringLiteral("b"), QStringLiteral("[!a-c]")));
        QVERIFY(jetLikeMatch(QStringLiteral("a*b"), QStringLiteral("a[*]b")));
        QVERIFY(!jetLikeMatch(QStringLiteral("axb"), QStringLiteral("a[*]b")));
        QVERIFY(jetLikeMatch(QStringLiteral("aXbXc"), QStringLiteral("*x*x*")));
        QVERIFY(!jetLikeMatch(QStringLiteral("abc"), QStringLiteral("*x*")));
        QVERIFY(jetLikeMatch(QString(), QStringLiteral("*")));
        QVERIFY(jetLikeMatch(QStringLiteral("["), QStringLiteral("[")));
    }

    // A console killed while it writes: the file opens again and holds every
    // row whose write had returned.
    void killedWriterLosesNothingCommitted()
    {
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--killed-writer"), m_dir.path()});
        QVERIFY(writer.waitForStarted());
        QStringList committed;
        while (committed.size() < 300 && writer.state() == QProcess::Running) {
            writer.waitForReadyRead(5000);
            while (writer.canReadLine())
                committed << QString::fromLatin1(writer.readLine()).trimmed();
        }
        ::kill(pid_t(writer.processId()), SIGKILL);
        writer.waitForFinished();
        QVERIFY(committed.size() >= 300);

        Files f(m_dir.path());
        QVERIFY(f.ui.shown.isEmpty()); // opened as it was, not set aside
        DirectoryRecordset *rs = f.files.stations()->OpenRecordset();
        rs->close();
        rs->setFilter(QString());
        QVERIFY(rs->open());
        const QStringList stored = ports(*rs);
        for (const QString &port : committed)
            QVERIFY2(stored.contains(port), qPrintable(port));
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    struct
    {
        std::unique_ptr<QTemporaryDir> *folder;
        QString path() const { return (*folder)->path(); }
    } m_dir{&m_folder};
};

// The writer of the kill test: writes stations one by one and prints each
// port once its write has returned, until it is killed.
static int runKilledWriter(const QString &folder)
{
    OperatorUiRecorder ui;
    ManualClock clock;
    DirectoryFiles files(ui, clock);
    files.open(folder);
    if (!files.stations())
        return 2;
    for (int port = 1; port < 100000; ++port) {
        StationFields s(StationFieldCount);
        s[0] = QString::number(port);
        s[1] = QString::number(port);
        s[3] = QStringLiteral("Owner %1").arg(port);
        if (!files.stations()->WriteRecord(s))
            return 3;
        std::printf("%d\n", port);
        std::fflush(stdout);
    }
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--killed-writer") == 0)
        return runKilledWriter(QString::fromLocal8Bit(argv[2]));
    TestDirectories test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_directories.moc"
