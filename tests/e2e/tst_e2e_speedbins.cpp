// The console core against the simulated PBX process, after log-on: the
// speed-bin download into SpeedDB.mdb, an edit the PBX confirms and keeps, a
// change made at a keyset, and the date and time on the telephone's display.
#include "PbxProcess.h"
#include "Recorders.h"

#include "base/MessageCatalogue.h"
#include "base/QtTimerHost.h"
#include "base/SettingsSection.h"
#include "base/SystemClock.h"
#include "console/Console.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryRecordset.h"
#include "directories/SpeedBinEditor.h"
#include "keyset/KeyDisplay.h"
#include "keyset/KeyTelephone.h"
#include "session/LogStatusModel.h"
#include "transport/LinkConnection.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int kLogOnTimeout = 20000;

struct ConsoleUnderTest
{
    ConsoleUnderTest() { console = std::make_unique<Console>(timers, ui, clock); }
    void useLan(quint16 port)
    {
        CSettingsSection("Server").writeString("History 0", "127.0.0.1");
        console->setConnectionType(1);
        console->linkConnection()->setLanServerPort(port);
    }
    // Logged on, with the system information in and the speed-bin choice offered.
    bool loggedOn() const { return console->positionState() == 2 && console->logStatus().speedBinStage(); }

    QtTimerHost timers;
    OperatorUiRecorder ui;
    SystemClock clock;
    std::unique_ptr<Console> console;
};

// Bin -> "name|number|type|co" of every bin in the file.
QMap<int, QString> rows(const CPhoneBookDB &db)
{
    QMap<int, QString> out;
    auto set = db.newRecordset();
    if (!set->open())
        return out;
    for (bool more = set->moveFirst(); more; more = set->moveNext())
        out.insert(set->value(QStringLiteral("SpdNo")).toInt(),
                   QStringList{set->value(QStringLiteral("Name")).toString(),
                               set->value(QStringLiteral("Number")).toString(),
                               set->value(QStringLiteral("COType")).toString(),
                               set->value(QStringLiteral("CONo")).toString()}
                       .join(QLatin1Char('|')));
    return out;
}

QString fileLine(const QString &path, const QString &start)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(start.toUtf8()))
            return QString::fromUtf8(line);
    return QString();
}
} // namespace

class TestE2eSpeedBins : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }
    void init() { QSettings("Varo PC Applications", "Zarto").clear(); }

    void downloadEditAndKeysetChange()
    {
        QTemporaryDir dir;
        const QString speedFile = dir.filePath(QStringLiteral("speed.txt"));
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--speed-bins", "2000-2099", "--speed-file", speedFile}));
        ConsoleUnderTest c;
        c.console->openDirectories(dir.filePath(QStringLiteral("Database")));
        CPhoneBookDB *db = c.console->speedBins();
        QVERIFY(db);
        // A bin the PBX does not hold goes with the download.
        QVERIFY(db->StoreBin(2050, QStringLiteral("STALE"), QStringLiteral("999"), 0, 0));
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_VERIFY_WITH_TIMEOUT(c.loggedOn(), kLogOnTimeout);

        c.console->logStatus().startSpeedBins(false);
        QTRY_VERIFY_WITH_TIMEOUT(c.console->logStatus().speedBinEnded(), 10000);
        QVERIFY(db->isInitialised());
        QVERIFY(!db->downloadFailed());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Database/SpeedDB.mdb"))));
        const QMap<int, QString> downloaded = rows(*db);
        QCOMPARE(downloaded.keys(), (QList<int>{2000, 2001, 2002, 2005}));
        QVERIFY(downloaded.value(2000).startsWith(QStringLiteral("HEAD OFFICE|")));
        QVERIFY(downloaded.value(2002).startsWith(QStringLiteral("TAXI|")));
        QVERIFY(downloaded.value(2002).endsWith(QStringLiteral("|Group|1")));
        QVERIFY(c.ui.shown.isEmpty());

        // The operator's change goes to the PBX and is written once it is confirmed.
        SpeedBinEditor &editor = db->editor();
        editor.load({"2001", "SERVICE DESK", "0123", "None", "", ""});
        editor.edit({"2001", "night desk", "0800555p", "Line", "3", ""});
        editor.modify();
        QVERIFY2(editor.isWaiting(), qPrintable(c.ui.texts().join(QLatin1Char('/'))));
        QTRY_VERIFY_WITH_TIMEOUT(!editor.isWaiting(), 5000);
        QCOMPARE(rows(*db).value(2001), QStringLiteral("NIGHT DESK|0800555P|Line|3"));
        QTRY_COMPARE_WITH_TIMEOUT(fileLine(speedFile, QStringLiteral("2001\t")),
                                  QStringLiteral("2001\t1\t3\t0800555P\tNIGHT DESK"), 5000);
        QCOMPARE(c.ui.shown.size(), 1);
        QCOMPARE(c.ui.shown[0].title, MessageCatalogue().text(QStringLiteral("#:information")));

        // A change made at a keyset reaches the file and, with the directory
        // open, the operator.
        c.ui.clear();
        db->setWindowOpen(true);
        pbx.command(QStringLiteral("speed-change 2010 5551234 group:2 NEW BIN"));
        QTRY_COMPARE_WITH_TIMEOUT(c.ui.shown.size(), 1, 5000);
        const QString text = c.ui.shown[0].text;
        QVERIFY2(text.startsWith(MessageCatalogue().text(QStringLiteral("#:speed_bin_input_by_keyset"))),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("[2010]")));
        QVERIFY(text.contains(QStringLiteral("[5551234]")));
        QCOMPARE(rows(*db).value(2010), QStringLiteral("NEW BIN|5551234|Group|2"));

        // Emptied at the keyset: the bin goes from the file.
        pbx.command(QStringLiteral("speed-change 2010 -"));
        QTRY_VERIFY_WITH_TIMEOUT(!rows(*db).contains(2010), 5000);
    }

    // On log-on the PBX puts its date and time on the attendant's display.
    void displayShowsTheDateAndTime()
    {
        PbxProcess pbx;
        QVERIFY(pbx.startLan({"--clock", "2026-03-05T14:07:00"}));
        ConsoleUnderTest c;
        c.useLan(pbx.port());
        c.console->logOnCommand();
        QTRY_VERIFY_WITH_TIMEOUT(c.loggedOn(), kLogOnTimeout);
        const KeyDisplay &display = c.console->keyTelephone().display();
        QTRY_COMPARE_WITH_TIMEOUT(display.lowerLeft(), QStringLiteral(" MAR 05 26"), 5000);
        // The PBX's clock runs on from 14:07.
        QTRY_VERIFY_WITH_TIMEOUT(
            QRegularExpression(QStringLiteral("^   02:0[78] pm$")).match(display.lowerRight()).hasMatch(), 5000);
    }
};

QTEST_GUILESS_MAIN(TestE2eSpeedBins)
#include "tst_e2e_speedbins.moc"
