#include "../session/Harness.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "callstate/CQueueEvent.h"
#include "callstate/CallQueue.h"
#include "callstate/CallerNameIndex.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryFiles.h"
#include "directories/DirectoryTable.h"
#include "directories/PhoneNoDirectory.h"
#include "directories/SpeedBinEditor.h"
#include "directories/StationDirectory.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
using Index = CallerNameIndex;

StationFields station(int port, const QString &number, const QString &staName, const QString &first = {},
                      const QString &last = {})
{
    StationFields f(StationFieldCount);
    f[0] = QString::number(port);
    f[1] = number;
    f[2] = staName;
    f[3] = first;
    f[5] = last;
    return f;
}
// Bin 2010, "taxi", with a number.
SpeedBinEditor::Fields bin(const QString &number)
{
    SpeedBinEditor::Fields fields;
    fields.bin = QStringLiteral("2010");
    fields.name = QStringLiteral("taxi");
    fields.number = number;
    return fields;
}
} // namespace

// Who is calling: the caller-name index, the directories that keep it
// current, and the console that names a ringing line's caller.
class TestCallers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ManualClock m_clock;
    ManualTimerHost m_timers;
    OperatorUiRecorder m_ui;
    Index m_index;
    std::unique_ptr<DirectoryFiles> m_files;

    void openFiles()
    {
        m_files = std::make_unique<DirectoryFiles>(m_ui, m_clock, m_timers);
        m_files->setCallerNames(&m_index);
        m_files->open(m_dir.path());
        QVERIFY(m_files->phoneNumbers() && m_files->speedBins() && m_files->stations());
    }

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.path()).removeRecursively();
        m_index = Index();
        openFiles();
        m_ui.clear();
    }
    void cleanup() { m_files.reset(); }

    void digits_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("digits");
        QTest::newRow("plus, blanks, brackets, dash") << "+49 (30) 1234-567" << "49301234567";
        QTest::newRow("blanks around the plus") << "  +49 30 12" << "493012";
        QTest::newRow("square brackets, tab, en dash") << "[030]\t12\u201334" << "0301234";
        QTest::newRow("only one leading plus goes") << "++49" << "+49";
        QTest::newRow("a plus inside stays") << "030+1" << "030+1";
        QTest::newRow("other characters stay") << "030/1234 P" << "030/1234P";
        QTest::newRow("nothing but blanks") << " - ( ) " << "";
    }
    void digits()
    {
        QFETCH(QString, number);
        QFETCH(QString, digits);
        QCOMPARE(Index::digitsOf(number), digits);
    }

    void phoneNumbersBeforeSpeedBinsBeforeStations()
    {
        Index index;
        index.set(Index::Stations, 3, QStringLiteral("0301234"), QStringLiteral("Station"));
        index.set(Index::SpeedBins, 2001, QStringLiteral("030-1234"), QStringLiteral("BIN"));
        index.set(Index::PhoneNumbers, 7, QStringLiteral("(030) 1234"), QStringLiteral("Phone"));
        QCOMPARE(index.nameFor(QStringLiteral("0301234")), QStringLiteral("Phone"));
        index.remove(Index::PhoneNumbers, 7);
        QCOMPARE(index.nameFor(QStringLiteral("0301234")), QStringLiteral("BIN"));
        index.set(Index::SpeedBins, 2001, QString(), QStringLiteral("BIN")); // the bin emptied
        QCOMPARE(index.nameFor(QStringLiteral("0301234")), QStringLiteral("Station"));
        index.clear(Index::Stations);
        QCOMPARE(index.nameFor(QStringLiteral("0301234")), QString());
        // The caller's digits are compared the same way.
        index.set(Index::PhoneNumbers, 8, QStringLiteral("+49 (30) 1234-567"), QStringLiteral("Berlin"));
        QCOMPARE(index.nameFor(QStringLiteral("49301234567")), QStringLiteral("Berlin"));
        QCOMPARE(index.nameFor(QStringLiteral("+49 30 1234567")), QStringLiteral("Berlin"));
        QCOMPARE(index.nameFor(QStringLiteral("4930123456")), QString()); // a prefix is no match
        QCOMPARE(index.nameFor(QString()), QString());
    }

    void recordsChangeAndShareNumbers()
    {
        Index index;
        index.set(Index::PhoneNumbers, 5, QStringLiteral("111"), QStringLiteral("Later"));
        index.set(Index::PhoneNumbers, 3, QStringLiteral("111"), QStringLiteral("Earlier"));
        QCOMPARE(index.nameFor(QStringLiteral("111")), QStringLiteral("Earlier"));
        // A changed number no longer names the caller of the old one.
        index.set(Index::PhoneNumbers, 3, QStringLiteral("222"), QStringLiteral("Earlier"));
        QCOMPARE(index.nameFor(QStringLiteral("111")), QStringLiteral("Later"));
        QCOMPARE(index.nameFor(QStringLiteral("222")), QStringLiteral("Earlier"));
        index.remove(Index::PhoneNumbers, 5);
        QCOMPARE(index.nameFor(QStringLiteral("111")), QString());
        index.set(Index::PhoneNumbers, 9, QStringLiteral("333"), QString()); // no name: nothing to show
        QCOMPARE(index.size(Index::PhoneNumbers), 1);
        // A whole source replaced: what it held before is gone.
        index.replace(Index::PhoneNumbers, {{1, QStringLiteral("444"), QStringLiteral("New")},
                                            {2, QStringLiteral("444"), QStringLiteral("Twin")}});
        QCOMPARE(index.nameFor(QStringLiteral("222")), QString());
        QCOMPARE(index.nameFor(QStringLiteral("444")), QStringLiteral("New"));
        QCOMPARE(index.size(Index::PhoneNumbers), 2);
        QCOMPARE(Index::shown(QStringLiteral("444"), QStringLiteral("New")), QStringLiteral("New (444)"));
        QCOMPARE(Index::shown(QStringLiteral("444"), QString()), QStringLiteral("444"));
    }

    void phoneNumberEditsFollowAndReopenReads()
    {
        PhoneNoDirectory &phone = *m_files->phoneNumbers();
        QVERIFY(phone.addEntry({-1, QStringLiteral("Dentist"), QStringLiteral("+49 (30) 555-1"), QString()}, m_ui));
        QVERIFY(phone.addEntry({-1, QStringLiteral("Garage"), QStringLiteral("030 777"), QString()}, m_ui));
        QCOMPARE(m_index.nameFor(QStringLiteral("49305551")), QStringLiteral("Dentist"));
        auto garage = phone.findByName(QStringLiteral("Garage"));
        QVERIFY(garage);
        QVERIFY(phone.modifyEntry({garage->index, QStringLiteral("Garage"), QStringLiteral("030 778"), QString()},
                                  *garage, m_ui));
        QCOMPARE(m_index.nameFor(QStringLiteral("030777")), QString());
        QCOMPARE(m_index.nameFor(QStringLiteral("030778")), QStringLiteral("Garage"));
        auto dentist = phone.findByName(QStringLiteral("Dentist"));
        QVERIFY(phone.deleteEntry(*dentist, m_ui));
        QCOMPARE(m_index.nameFor(QStringLiteral("49305551")), QString());

        // The next start reads the file: the modified entry is there.
        m_files.reset();
        m_index = Index();
        openFiles();
        QCOMPARE(m_index.size(Index::PhoneNumbers), 1);
        QCOMPARE(m_index.nameFor(QStringLiteral("030778")), QStringLiteral("Garage"));
    }

    void importReplacesTheSource()
    {
        QVERIFY(m_files->phoneNumbers()->addEntry({-1, QStringLiteral("Old"), QStringLiteral("123"), QString()}, m_ui));
        m_files->closeForImport(1);
        QCOMPARE(m_index.nameFor(QStringLiteral("123")), QString());
        // The import wrote a new file of its own.
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("PhoneDB.mdb"));
        QVERIFY(QFile::remove(path));
        {
            DirectoryFileBuilder builder(DirectoryTable::phoneNo(), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), m_clock);
            QVERIFY(builder.OpenOrCreate(path) != DirectoryFileBuilder::Result::Failed);
            PhoneNoDirectory imported(builder.database());
            QVERIFY(imported.addEntry({-1, QStringLiteral("New"), QStringLiteral("456"), QString()}, m_ui));
        }
        m_files->reopenAfterImport(1);
        QCOMPARE(m_index.nameFor(QStringLiteral("123")), QString());
        QCOMPARE(m_index.nameFor(QStringLiteral("456")), QStringLiteral("New"));
    }

    void speedBinWritesFollow()
    {
        CPhoneBookDB &bins = *m_files->speedBins();
        bins.setRange(2000, 2099);
        QVERIFY(bins.StoreBin(2005, QStringLiteral("PIZZA"), QStringLiteral("0301111"), 0, 255));
        QVERIFY(bins.StoreBin(2150, QStringLiteral("ABOVE"), QStringLiteral("0302222"), 0, 255));
        QCOMPARE(m_index.nameFor(QStringLiteral("030 1111")), QStringLiteral("PIZZA"));
        QVERIFY(bins.StoreBin(2005, QStringLiteral("PIZZA"), QString(), 0, 255)); // the PBX emptied it
        QCOMPARE(m_index.nameFor(QStringLiteral("0301111")), QString());
        QVERIFY(bins.TrimToRange());
        QCOMPARE(m_index.nameFor(QStringLiteral("0302222")), QString());

        // The operator's edits while the directory is not in step with the PBX.
        SpeedBinEditor &editor = bins.editor();
        editor.edit(bin(QStringLiteral("0303333")));
        editor.add();
        QCOMPARE(m_index.nameFor(QStringLiteral("0303333")), QStringLiteral("TAXI"));
        editor.edit(bin(QStringLiteral("0304444")));
        editor.modify();
        QCOMPARE(m_index.nameFor(QStringLiteral("0303333")), QString());
        QCOMPARE(m_index.nameFor(QStringLiteral("0304444")), QStringLiteral("TAXI"));
        editor.remove();
        QCOMPARE(m_index.nameFor(QStringLiteral("0304444")), QString());
        QCOMPARE(m_index.size(Index::SpeedBins), 0);
    }

    void stationWritesFollow()
    {
        StationDirectory &stations = *m_files->stations();
        QVERIFY(stations.writeStation(3, QStringLiteral("203"), QStringLiteral("RECEPT")));
        QCOMPARE(m_index.nameFor(QStringLiteral("203")), QStringLiteral("RECEPT"));
        // The owner's full name goes before the PBX's station name.
        QVERIFY(stations.WriteRecord(station(3, QStringLiteral("203"), QStringLiteral("RECEPT"),
                                             QStringLiteral("Eva"), QStringLiteral("Berg"))));
        QCOMPARE(m_index.nameFor(QStringLiteral("203")), QStringLiteral("Eva Berg"));
        // A station without a number names no caller.
        QVERIFY(stations.writeStation(4, std::nullopt, QStringLiteral("LOBBY")));
        QCOMPARE(m_index.nameFor(QStringLiteral("0")), QString());
        QVERIFY(stations.WriteRecord(station(3, QString(), QString()))); // all empty: the row goes
        QCOMPARE(m_index.nameFor(QStringLiteral("203")), QString());
        QVERIFY(stations.writeStation(30, QStringLiteral("230"), QStringLiteral("FAR")));
        QVERIFY(stations.TrimToPortCount(24));
        QCOMPARE(m_index.nameFor(QStringLiteral("230")), QString());
    }

    void consoleNamesTheRingingCaller()
    {
        QTemporaryDir dir;
        Harness h;
        h.console.openDirectories(dir.path() + QStringLiteral("/Database"));
        QVERIFY(h.console.directories().phoneNumbers()->addEntry(
            {-1, QStringLiteral("Dentist"), QStringLiteral("030 1234"), QString()}, h.ui));
        h.logOn();
        CLinkRequest request = h.request();
        CallQueue queue(h.stations, h.lines, request, h.clock);
        queue.setCallerInfoEnabled([] { return true; });
        QList<CQueueEvent> events;
        connect(&h.console, &Console::queueEvent, this, [&](const CQueueEvent &e) {
            events.append(e);
            queue.post(e);
        });
        // CO line 2 rings with caller 0301234 (digit 0 is nibble A).
        h.pbx.inject(QByteArray::fromHex("0803070002" "01" "A3A12340"));
        QCOMPARE(events.size(), 1);
        QCOMPARE(events[0].description, QStringLiteral("0301234"));
        QCOMPARE(events[0].callerName, QStringLiteral("Dentist"));
        // The row and the pop-up keep the digits and the name.
        QCOMPARE(queue.rows().size(), 1);
        QCOMPARE(queue.rows()[0].description, QStringLiteral("0301234"));
        QCOMPARE(queue.rows()[0].callerName, QStringLiteral("Dentist"));
        QVERIFY(queue.popup().shown());
        QCOMPARE(queue.popup().shown()->callerName, QStringLiteral("Dentist"));
        // An unknown caller has no name.
        h.pbx.inject(QByteArray::fromHex("0803070003" "01" "A3A12350"));
        QCOMPARE(events.size(), 2);
        QCOMPARE(events[1].callerName, QString());
    }
};

QTEST_GUILESS_MAIN(TestCallers)
#include "tst_callers.moc"
