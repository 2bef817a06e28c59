#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "base/TimerIds.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryRecordset.h"
#include "directories/DirectoryTable.h"
#include "directories/SpeedBinEditor.h"
#include "directories/SpeedBinPage.h"
#include "link/SpeedBinRecord.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString text(const char *key)
{
    return MessageCatalogue().text(QString::fromLatin1(key));
}

// A speed-bin file on a small range (10 to 14) and a PBX that only records
// what the console sends; the test answers in its place.
struct Fixture
{
    explicit Fixture(const QString &folder)
        : builder(DirectoryTable::speedBin(), QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0"), clock)
    {
        builder.OpenOrCreate(folder + QStringLiteral("/SpeedDB.mdb"));
        db = std::make_unique<CPhoneBookDB>(builder.database(), timers, ui);
        db->setRange(10, 14);
        db->setSenders([this](quint16 bin) { requests.append(bin); return true; },
                       [this](const SpeedBinRecord &r) { writes.append(r); return true; });
    }
    ~Fixture() { db.reset(); }

    // Bin -> "name|number|type|co|memo" of every stored record.
    QMap<int, QString> rows()
    {
        auto set = db->newRecordset();
        set->setSort(QStringLiteral("SpdNo ASC"));
        QMap<int, QString> out;
        if (!set->open())
            return out;
        for (bool more = set->moveFirst(); more; more = set->moveNext())
            out.insert(set->value(QStringLiteral("SpdNo")).toInt(),
                       QStringList{set->value(QStringLiteral("Name")).toString(),
                                   set->value(QStringLiteral("Number")).toString(),
                                   set->value(QStringLiteral("COType")).toString(),
                                   set->value(QStringLiteral("CONo")).toString(),
                                   set->value(QStringLiteral("Memo")).toString()}
                           .join(QLatin1Char('|')));
        return out;
    }
    void setMemo(int bin, const QString &memo)
    {
        auto set = db->newRecordset();
        set->setFilter(QStringLiteral("SpdNo = %1").arg(bin));
        QVERIFY(set->open());
        QVERIFY(set->moveFirst());
        QVariantList v;
        for (int i = 1; i < 6; ++i)
            v << set->value(i);
        v << memo;
        QVERIFY(set->editCurrent(v));
    }
    QStringList writeTexts() const
    {
        QStringList out;
        for (const SpeedBinRecord &r : writes)
            out << QStringLiteral("%1:%2:%3:%4:%5").arg(r.bin).arg(r.name, r.number).arg(r.coType).arg(r.coNumber);
        return out;
    }

    ManualClock clock;
    ManualTimerHost timers;
    OperatorUiRecorder ui;
    DirectoryFileBuilder builder;
    std::unique_ptr<CPhoneBookDB> db;
    QList<quint16> requests;
    QList<SpeedBinRecord> writes;
};

} // namespace

class TestSpeedBins : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void storeBinWritesWhatThePbxHolds()
    {
        Fixture f(m_dir->path());
        QVERIFY(f.db->StoreBin(11, QStringLiteral("AB"), QStringLiteral("0123"), 1, 3));
        QVERIFY(f.db->StoreBin(12, QStringLiteral("X"), QString(), 0, 0)); // empty and absent: nothing
        QVERIFY(f.db->StoreBin(13, QStringLiteral("ODD"), QStringLiteral("5"), 7, 0));
        QCOMPARE(f.rows(), (QMap<int, QString>{{11, "AB|0123|Line|3|"}, {13, "ODD|5||0|"}}));

        f.setMemo(11, QStringLiteral("call before 9"));
        QVERIFY(f.db->StoreBin(11, QStringLiteral("AC"), QStringLiteral("0123"), 2, 4));
        QCOMPARE(f.rows().value(11), QStringLiteral("AC|0123|Group|4|call before 9"));
        QVERIFY(f.db->StoreBin(11, QStringLiteral("AC"), QStringLiteral("999"), 0, 255));
        QCOMPARE(f.rows().value(11), QStringLiteral("AC|999|None|255|"));
        QVERIFY(f.db->StoreBin(11, QString(), QString(), 0, 0));
        QVERIFY(!f.rows().contains(11));
        // Nothing runs: the window was closed, so nobody was told.
        QVERIFY(f.ui.shown.isEmpty());
        QVERIFY(f.requests.isEmpty());
    }

    void changeMadeElsewhereIsAnnouncedWhileTheWindowIsOpen()
    {
        Fixture f(m_dir->path());
        QSignalSpy reload(f.db.get(), &CPhoneBookDB::reloadRequested);
        f.db->setWindowOpen(true);
        f.db->OnSpeedBinReply(12, QStringLiteral("JO"), QStringLiteral("77"), 0, 0);
        f.db->OnSpeedBinReply(13, QStringLiteral("AL"), QStringLiteral("78"), 1, 5);
        QCOMPARE(f.ui.shown.size(), 2);
        QCOMPARE(f.ui.shown[0].text, text("#:speed_bin_input_by_keyset") + " (" + text("#:message_no") + " 1)\n\n"
                                         + text("#:pb_bin_no") + " [12]    " + text("#:pb_name") + " [JO]    "
                                         + text("#:pb_phone_no") + " [77]    " + text("#:pb_co_type") + " [None]    "
                                         + text("#:pb_co_no") + " []");
        QVERIFY(f.ui.shown[1].text.contains(" 2)\n\n"));
        QVERIFY(f.ui.shown[1].text.endsWith(text("#:pb_co_type") + " [Line]    " + text("#:pb_co_no") + " [5]"));
        QCOMPARE(reload.count(), 2);
    }

    void downloadOfTheRange()
    {
        Fixture f(m_dir->path());
        QSignalSpy progress(f.db.get(), &CPhoneBookDB::progress);
        QSignalSpy ended(f.db.get(), &CPhoneBookDB::stepEnded);
        f.db->StoreBin(12, QStringLiteral("OLD"), QStringLiteral("1"), 0, 0);
        f.db->StartDownload();
        QCOMPARE(f.requests, QList<quint16>{10});
        QCOMPARE(f.timers.remaining(TimerId::SpeedSyncStep), 700);
        QVERIFY(f.db->isBusy());
        f.db->OnSpeedBinReply(10, QStringLiteral("A"), QStringLiteral("10"), 0, 0);
        f.db->OnSpeedBinReply(11, QString(), QString(), 0, 0);
        f.db->OnSpeedBinReply(12, QString(), QString(), 0, 0);
        f.db->OnSpeedBinReply(13, QStringLiteral("C"), QStringLiteral("13"), 2, 7);
        QCOMPARE(f.requests, (QList<quint16>{10, 11, 12, 13, 14}));
        QVERIFY(!f.db->isInitialised());
        QCOMPARE(ended.count(), 0);
        f.db->OnSpeedBinReply(14, QStringLiteral("E"), QStringLiteral("14"), 1, 1);
        QVERIFY(!f.db->isBusy());
        QVERIFY(f.db->isInitialised());
        QCOMPARE(f.db->mode(), int(CPhoneBookDB::Idle));
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncStep));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(progress.count(), 5);
        QCOMPARE(progress.last().at(0).toInt(), 14);
        QCOMPARE(f.rows(), (QMap<int, QString>{{10, "A|10|None|0|"}, {13, "C|13|Group|7|"}, {14, "E|14|Line|1|"}}));
        QVERIFY(f.ui.shown.isEmpty());
    }

    void downloadEndsWhenTheLastBinIsAnswered()
    {
        Fixture f(m_dir->path());
        f.db->Skip();
        QVERIFY(f.db->downloadFailed() && f.db->uploadFailed());
        f.db->StartDownload();
        f.db->OnSpeedBinReply(14, QStringLiteral("E"), QStringLiteral("14"), 0, 0);
        QVERIFY(!f.db->isBusy());
        QVERIFY(!f.db->downloadFailed() && !f.db->uploadFailed());
        QCOMPARE(f.requests, QList<quint16>{10});
    }

    void lostDownloadReplyIsRepeatedThenFails()
    {
        Fixture f(m_dir->path());
        QSignalSpy failed(f.db.get(), &CPhoneBookDB::initFailed);
        QSignalSpy ended(f.db.get(), &CPhoneBookDB::stepEnded);
        f.db->StoreBin(10, QStringLiteral("KEPT"), QStringLiteral("1"), 0, 0);
        f.db->StartDownload();
        f.timers.advance(700);
        QCOMPARE(f.requests, (QList<quint16>{10, 10}));
        QCOMPARE(f.timers.remaining(TimerId::SpeedSyncStep), 1000);
        // An answer after a repeat goes on with the next bin and a fresh count.
        f.db->OnSpeedBinReply(10, QStringLiteral("KEPT"), QStringLiteral("1"), 0, 0);
        QCOMPARE(f.requests.last(), quint16(11));
        QCOMPARE(f.db->retryCount(), 0);
        f.timers.advance(700);
        f.timers.advance(1000);
        f.timers.advance(1000);
        QCOMPARE(f.requests, (QList<quint16>{10, 10, 11, 11, 11, 11}));
        QCOMPARE(failed.count(), 0);
        f.timers.advance(1000);
        QCOMPARE(f.requests.size(), 6);
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncStep));
        QVERIFY(f.db->downloadFailed());
        QVERIFY(!f.db->uploadFailed());
        QVERIFY(!f.db->isBusy());
        QVERIFY(!f.db->isInitialised());
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed[0], (QVariantList{QStringLiteral("#:pb_db_init_failed"), 10}));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(f.ui.texts(), QStringList{"#:pb_db_init_failed"});
        QCOMPARE(f.ui.shown[0].title, QString());
        // What was stored stays; a late reply for the last bin is a change made elsewhere.
        f.db->OnSpeedBinReply(14, QStringLiteral("LATE"), QStringLiteral("2"), 0, 0);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(f.rows().keys(), (QList<int>{10, 14}));
    }

    void logOffStopsTheSyncSilently()
    {
        Fixture f(m_dir->path());
        f.db->StartUpload();
        f.db->stopSync();
        QVERIFY(!f.db->isBusy());
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncStep));
        f.timers.advance(10000);
        QVERIFY(f.ui.shown.isEmpty());
        QCOMPARE(f.writes.size(), 1);
    }

    void uploadWritesEveryBin()
    {
        Fixture f(m_dir->path());
        QSignalSpy ended(f.db.get(), &CPhoneBookDB::stepEnded);
        f.db->StoreBin(10, QStringLiteral("A"), QStringLiteral("10"), 1, 4);
        f.db->StoreBin(12, QStringLiteral("C"), QStringLiteral("12*"), 2, 9);
        f.db->StartUpload();
        QCOMPARE(f.timers.remaining(TimerId::SpeedSyncStep), 700);
        for (int bin = 10; bin <= 14; ++bin) {
            const SpeedBinRecord &r = f.writes.last();
            f.db->OnSpeedBinReply(r.bin, r.name, r.number, r.coType, r.coNumber);
        }
        QCOMPARE(f.writeTexts(), (QStringList{"10:A:10:1:4", "11:::0:255", "12:C:12*:2:9", "13:::0:255", "14:::0:255"}));
        QVERIFY(!f.db->isBusy());
        QVERIFY(f.db->isInitialised());
        QCOMPARE(f.db->mode(), int(CPhoneBookDB::Idle));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncStep));
        QCOMPARE(f.rows().size(), 2);
    }

    void lostUploadReplyIsRepeatedThenFails()
    {
        Fixture f(m_dir->path());
        QSignalSpy ended(f.db.get(), &CPhoneBookDB::stepEnded);
        f.db->StartUpload();
        f.db->OnSpeedBinReply(10, QString(), QString(), 0, 0);
        // A change made elsewhere meanwhile is stored and the upload goes on.
        f.db->OnSpeedBinReply(13, QStringLiteral("K"), QStringLiteral("5"), 0, 0);
        QCOMPARE(f.rows().value(13), QStringLiteral("K|5|None|0|"));
        for (int i = 0; i < 3; ++i)
            f.timers.advance(700);
        // The first empty bin goes with CO number 0, the repeats of bin 11 with 255.
        QCOMPARE(f.writeTexts(), (QStringList{"10:::0:0", "11:::0:255", "11:::0:255", "11:::0:255", "11:::0:255"}));
        QVERIFY(f.ui.shown.isEmpty());
        f.timers.advance(700);
        QCOMPARE(f.writes.size(), 5);
        QVERIFY(f.db->uploadFailed());
        QVERIFY(!f.db->downloadFailed());
        QVERIFY(!f.db->isBusy());
        QCOMPARE(ended.count(), 1);
        QCOMPARE(f.ui.texts(), QStringList{"#:mesk_speed_bin_init_failed"});
    }

    void trimToRangeDropsBinsAboveIt()
    {
        Fixture f(m_dir->path());
        f.db->setRange(10, 20);
        for (int bin : {10, 14, 15, 20})
            f.db->StoreBin(bin, QString(), QStringLiteral("1"), 0, 0);
        f.db->setRange(10, 14);
        QVERIFY(f.db->TrimToRange());
        QCOMPARE(f.rows().keys(), (QList<int>{10, 14}));
    }

    void validation_data()
    {
        QTest::addColumn<QStringList>("fields"); // bin, name, number, type, CO number
        QTest::addColumn<QString>("message");    // a key, or the text of a fixed message
        QTest::addColumn<QStringList>("accepted");

        auto row = [](const char *name, QStringList fields, QString message, QStringList accepted = {}) {
            QTest::newRow(name) << fields << message << accepted;
        };
        row("no bin", {"  ", "A", "1", "None", ""}, "#:pbe_bin_phone_must_be_entered");
        row("no number", {"10", "A", " ", "None", ""}, "#:pbe_bin_phone_must_be_entered");
        // The bin is checked after the CO type.
        row("bad type", {"99", "A", "1", "line", ""}, "#:pbe_co_type_invalid");
        row("below range", {"9", "A", "1", "None", ""}, "#:pbe_bin_no_invalid");
        row("above range", {"15", "A", "1", "None", ""}, "#:pbe_bin_no_invalid");
        row("not a number", {"1x", "A", "1", "None", ""}, "#:pbe_bin_no_invalid");
        row("line without CO", {"10", "A", "1", "Line", " "}, "#:pbe_co_no_needed");
        row("line 201", {"10", "A", "1", "Line", "201"}, "#:pbe_co_no_invalid");
        row("group 73", {"10", "A", "1", "Group", "73"}, "#:pbe_co_no_invalid");
        row("group 0", {"10", "A", "1", "Group", "0"}, "#:pbe_co_no_invalid");
        row("lower-case a in the number", {"10", "A", "12a", "None", ""},
            "A " + text("#:pbe_not_in_speed_bin_char_set"));
        row("listed in order", {"10", "A", "1-2é+", "None", ""},
            "- <None ASCII> + " + text("#:pbe_not_in_speed_bin_char_set"));
        row("bad name", {"10", "a_b!", "1", "None", ""}, "_ ! " + text("#:not_in_varo_char_set"));
        // The number is checked before the name.
        row("both bad", {"10", "a_b", "1x", "None", ""}, "X " + text("#:pbe_not_in_speed_bin_char_set"));
        row("line 200", {" 14 ", " mr. x, jr: ", "p*#sf0", "Line", "200"}, "",
            {"14", "MR. X, JR:", "P*#SF0", "Line", "200"});
        row("group 72", {"10", "", "1", "Group", "72"}, "", {"10", "", "1", "Group", "72"});
    }
    void validation()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, message);
        QFETCH(QStringList, accepted);
        SpeedBinEditor::Fields f{fields[0], fields[1], fields[2], fields[3], fields[4], QStringLiteral(" memo ")};
        const auto failure = SpeedBinEditor::check(f, 10, 14);
        if (message.isEmpty()) {
            QVERIFY(!failure);
            QCOMPARE((QStringList{f.bin, f.name, f.number, f.coType, f.coNumber}), accepted);
            QCOMPARE(f.memo, QStringLiteral("memo"));
        } else {
            QVERIFY(failure);
            QCOMPARE(failure->text, message);
            QCOMPARE(failure->fixed, !message.startsWith(QLatin1String("#:")));
        }
    }

    void editorWritesAtOnceWhileNotInStep()
    {
        Fixture f(m_dir->path());
        SpeedBinEditor &e = f.db->editor();
        QSignalSpy written(&e, &SpeedBinEditor::recordWritten);
        e.clear();
        e.edit({"11", "ab", "123", "Group", "5", "note"});
        QVERIFY(e.addEnabled());
        QVERIFY(!e.modifyEnabled());
        e.add();
        QCOMPARE(f.rows().value(11), QStringLiteral("AB|123|Group|5|note"));
        QCOMPARE(e.fields().name, QStringLiteral("AB"));
        QCOMPARE(f.ui.shown.last().text, text("#:pbi_new_record_added") + " (" + text("#:pbi_bin_no") + " : 11)");
        QCOMPARE(f.ui.shown.last().style, int(MessageStyle::Information));
        QVERIFY(e.modifyEnabled() && e.deleteEnabled());
        e.add();
        QCOMPARE(f.ui.shown.last().text, text("#:pbi_bin_no") + " 11 : " + text("#:pbe_record_already exists"));
        QCOMPARE(f.ui.shown.last().title, text("#:input_error"));

        e.edit({"12", "AB", "123", "None", "5", "note"});
        QCOMPARE(e.fields().coNumber, QString()); // None empties the CO number
        e.modify();
        QCOMPARE(f.ui.shown.last().text, text("#:pbe_modified_bin_no_not_allowed") + "\n\n"
                                             + text("#:pbi_original_bin_no") + " : 11");
        e.edit({"11", "AB", "124", "None", "", "note"});
        e.modify();
        QCOMPARE(f.rows().value(11), QStringLiteral("AB|124|None|255|note"));
        e.remove();
        QVERIFY(f.rows().isEmpty());
        QCOMPARE(f.ui.shown.last().text, text("#:pbi_record_deleted") + " (" + text("#:pbi_bin_no") + " : 11)");
        QCOMPARE(written.count(), 3);
        QVERIFY(f.writes.isEmpty());
    }

    void editorWaitsForThePbx()
    {
        Fixture f(m_dir->path());
        f.db->Skip(); // initialised
        SpeedBinEditor &e = f.db->editor();
        e.clear();
        e.edit({"11", "ab", "1-2", "Line", "3", ""});
        e.edit({"11", "ab", "12", "Line", "3", ""});
        e.add();
        QCOMPARE(f.db->mode(), int(CPhoneBookDB::EditConfirmation));
        QCOMPARE(f.writeTexts(), QStringList{"11:AB:12:1:3"});
        QCOMPARE(f.timers.remaining(TimerId::SpeedSyncWatchdog), 500);
        QVERIFY(f.rows().isEmpty());
        f.timers.advance(500);
        QCOMPARE(f.writes.size(), 2);
        // The PBX sends back what it took: only now is it written.
        f.db->OnSpeedBinReply(11, QStringLiteral("AB"), QStringLiteral("12"), 1, 3);
        QCOMPARE(f.rows().value(11), QStringLiteral("AB|12|Line|3|"));
        QCOMPARE(f.db->mode(), int(CPhoneBookDB::Idle));
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncWatchdog));
        QCOMPARE(f.ui.shown.last().text, text("#:pbi_new_record_added") + " (" + text("#:pbi_bin_no") + " : 11)");

        // The PBX keeps its own version of a change it did not take as sent.
        e.load({"11", "AB", "12", "Line", "3", ""});
        e.remove();
        QCOMPARE(f.writeTexts().last(), QStringLiteral("11:::0:0"));
        f.db->OnSpeedBinReply(11, QStringLiteral("PBX"), QStringLiteral("99"), 0, 0);
        QCOMPARE(f.rows().value(11), QStringLiteral("PBX|99|None|0|"));
        QCOMPARE(f.db->mode(), int(CPhoneBookDB::Idle));

        // Unanswered: sent four times in all, then reported; nothing is written.
        f.ui.clear();
        f.writes.clear();
        e.load({"11", "PBX", "99", "None", "0", ""});
        e.edit({"11", "PBX", "98", "None", "", ""});
        e.modify();
        for (int i = 0; i < 4; ++i)
            f.timers.advance(500);
        QCOMPARE(f.writes.size(), 4);
        QCOMPARE(f.ui.texts(), QStringList{"#:pbe_pb_db_edit_failed"});
        QVERIFY(!f.timers.isActive(TimerId::SpeedSyncWatchdog));
        QCOMPARE(f.rows().value(11), QStringLiteral("PBX|99|None|0|"));
        // A reply that still comes completes it.
        f.db->OnSpeedBinReply(11, QStringLiteral("PBX"), QStringLiteral("98"), 0, 77);
        QCOMPARE(f.rows().value(11), QStringLiteral("PBX|98|None|255|"));
    }

    void searchFindsTheKeywordAsTyped_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<bool>("fromFirst");
        QTest::addColumn<QList<int>>("bins");
        QTest::newRow("quote") << int(SpeedBinPage::SearchName) << "O'H" << false << QList<int>{11};
        QTest::newRow("star") << int(SpeedBinPage::SearchName) << "*" << false << QList<int>{12};
        QTest::newRow("question mark") << int(SpeedBinPage::SearchName) << "?" << false << QList<int>{13};
        QTest::newRow("percent") << int(SpeedBinPage::SearchName) << "%" << false << QList<int>{14};
        QTest::newRow("underscore") << int(SpeedBinPage::SearchName) << "_" << false << QList<int>{15};
        QTest::newRow("anywhere, no case") << int(SpeedBinPage::SearchName) << "b" << false << QList<int>{12, 13, 15, 16};
        QTest::newRow("from the first") << int(SpeedBinPage::SearchName) << "a" << true << QList<int>{12, 13, 15, 16};
        QTest::newRow("bin") << int(SpeedBinPage::SearchBin) << "1" << true << QList<int>{11, 12, 13, 14, 15, 16};
        QTest::newRow("number") << int(SpeedBinPage::SearchNumber) << "#" << false << QList<int>{16};
        QTest::newRow("CO type") << int(SpeedBinPage::SearchCoType) << "gr" << true << QList<int>{12};
        // The line number may be typed with a leading zero; a group's number as typed.
        QTest::newRow("CO number 05") << int(SpeedBinPage::SearchCoNumber) << "05" << true << QList<int>{13, 15};
        QTest::newRow("CO number 5") << int(SpeedBinPage::SearchCoNumber) << "5" << true << QList<int>{12, 13, 15};
        QTest::newRow("empty") << int(SpeedBinPage::SearchName) << "" << true << QList<int>{11, 12, 13, 14, 15, 16};
    }
    void searchFindsTheKeywordAsTyped()
    {
        QFETCH(int, field);
        QFETCH(QString, keyword);
        QFETCH(bool, fromFirst);
        QFETCH(QList<int>, bins);
        Fixture f(m_dir->path());
        f.db->setRange(10, 20);
        f.db->StoreBin(11, QStringLiteral("O'HARA"), QStringLiteral("1"), 0, 0);
        f.db->StoreBin(12, QStringLiteral("A*B"), QStringLiteral("2"), 2, 5);
        f.db->StoreBin(13, QStringLiteral("A?B"), QStringLiteral("3"), 1, 5);
        f.db->StoreBin(14, QStringLiteral("100%"), QStringLiteral("4"), 0, 5);
        f.db->StoreBin(15, QStringLiteral("A_B"), QStringLiteral("5"), 1, 50);
        f.db->StoreBin(16, QStringLiteral("AXB"), QStringLiteral("6#"), 0, 0);
        SpeedBinPage page(*f.db);
        QVERIFY(page.search(field, keyword, fromFirst));
        QList<int> found;
        for (int row = 0; row < page.rowCount(); ++row)
            found << page.record(row)->bin;
        QCOMPARE(found, bins);
    }

    void searchTexts()
    {
        QCOMPARE(SpeedBinPage::searchFilter(SpeedBinPage::SearchCoNumber, "05", true),
                 QStringLiteral("(COType = 'Group' AND CONo Like '05*') OR (COType = 'Line' AND CONo Like '5*')"));
        QCOMPARE(SpeedBinPage::searchFilter(SpeedBinPage::SearchName, "it's", false),
                 QStringLiteral("Name Like '*it''s*'"));
        QCOMPARE(SpeedBinPage::sortText(SpeedBinPage::CoNumberColumn, false), QStringLiteral("COTYPE DESC, CONo DESC"));
    }

    void pagingAndSorting()
    {
        Fixture f(m_dir->path());
        f.db->setRange(1, 100);
        for (int bin = 1; bin <= 40; ++bin)
            f.db->StoreBin(bin, bin <= 3 ? QString() : QStringLiteral("N%1").arg(bin, 2, 10, QLatin1Char('0')),
                           QString::number(bin), bin <= 30 ? 0 : 1, quint8(bin <= 30 ? 255 : bin));
        SpeedBinPage page(*f.db);
        QSignalSpy changed(&page, &SpeedBinPage::pageChanged);
        QVERIFY(page.reload());
        QCOMPARE(page.rowCount(), 15);
        QCOMPARE(page.data(page.index(0, SpeedBinPage::CoNumberColumn), Qt::DisplayRole).toString(), QString());
        page.backOne();
        page.backPage();
        QCOMPARE(page.start(), 0);
        page.forwardPage();
        QCOMPARE(page.start(), 15);
        page.forwardPage(); // ten left: the last fifteen are shown
        QCOMPARE(page.start(), 25);
        page.forwardPage();
        QCOMPARE(page.start(), 25);
        page.forwardOne();
        QCOMPARE(page.start(), 26);
        QCOMPARE(page.rowCount(), 14);
        page.lastPage();
        page.backOne();
        QCOMPARE(page.start(), 24);
        page.backPage();
        QCOMPARE(page.start(), 9);
        page.backPage();
        QCOMPARE(page.start(), 0);
        page.forwardOne();
        page.firstPage();
        QCOMPARE(page.start(), 0);
        QCOMPARE(page.data(page.index(14, SpeedBinPage::BinColumn), Qt::DisplayRole).toString(), QStringLiteral("15"));

        // Name ascending skips the three records without a name.
        QVERIFY(page.sortBy(SpeedBinPage::NameColumn));
        QCOMPARE(page.sort(), QStringLiteral("Name ASC"));
        QCOMPARE(page.start(), 3);
        QVERIFY(page.sortBy(SpeedBinPage::NameColumn));
        QCOMPARE(page.sort(), QStringLiteral("Name DESC"));
        QCOMPARE(page.start(), 0);
        // CO number: the thirty of type None lead; only 15 may remain from the start.
        QVERIFY(page.sortBy(SpeedBinPage::CoNumberColumn));
        QCOMPARE(page.sort(), QStringLiteral("COTYPE DESC, CONo ASC"));
        QCOMPARE(page.start(), 25);
        QCOMPARE(page.record(5)->bin, 31);
        QCOMPARE(page.data(page.index(5, SpeedBinPage::CoNumberColumn), Qt::DisplayRole).toString(), QStringLiteral("31"));
        // The name column's flag went back to ascending.
        QVERIFY(page.sortBy(SpeedBinPage::NameColumn));
        QCOMPARE(page.sort(), QStringLiteral("Name ASC"));
        QVERIFY(changed.count() > 10);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestSpeedBins)
#include "tst_speedbins.moc"
