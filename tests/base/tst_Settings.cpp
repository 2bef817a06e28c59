#include "base/SettingsSection.h"
#include "base/WindowKindSettings.h"
#include "base/WindowLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTest>

namespace {

QSettings rawSettings()
{
    return QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"));
}

} // namespace

// QSettings is not copyable; a small helper gives a fresh view of the store.
#define RAW QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"))

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QSettings s(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"));
        s.clear();
        s.sync();
        CWindowKindSettings::resetAllForTests();
    }

    void storeIsTheProjectsOne()
    {
        QSettings s(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"));
        QCOMPARE(s.format(), QSettings::NativeFormat);
        // The test runner gives each test its own XDG_CONFIG_HOME.
        const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (!home.isEmpty())
            QVERIFY2(s.fileName().startsWith(home), qPrintable(s.fileName()));
        QVERIFY(s.fileName().endsWith(QStringLiteral("Varo PC Applications/Zarto.conf")));
    }

    void integersStringsFlags()
    {
        CSettingsSection sec(QStringLiteral("Test Section"));
        QCOMPARE(sec.readInt(QStringLiteral("Number"), 42), 42);
        QVERIFY(!sec.contains(QStringLiteral("Number")));
        QVERIFY(sec.writeInt(QStringLiteral("Number"), -7));
        QCOMPARE(sec.readInt(QStringLiteral("Number"), 42), -7);
        QVERIFY(sec.contains(QStringLiteral("Number")));
        QCOMPARE(RAW.value(QStringLiteral("Test Section/Number")).toInt(), -7);

        QCOMPARE(sec.readString(QStringLiteral("Text"), QStringLiteral("def")), QStringLiteral("def"));
        QCOMPARE(sec.readString(QStringLiteral("Text")), QString());
        QVERIFY(sec.writeString(QStringLiteral("Text"), QStringLiteral("Gr\u00fc\u00dfe, COM1")));
        QCOMPARE(sec.readString(QStringLiteral("Text")), QStringLiteral("Gr\u00fc\u00dfe, COM1"));
        QCOMPARE(RAW.value(QStringLiteral("Test Section/Text")).toString(), QStringLiteral("Gr\u00fc\u00dfe, COM1"));

        QCOMPARE(sec.readFlag(QStringLiteral("Flag"), true), true);
        QCOMPARE(sec.readFlag(QStringLiteral("Flag"), false), false);
        QVERIFY(sec.writeInt(QStringLiteral("Flag"), 0));
        QCOMPARE(sec.readFlag(QStringLiteral("Flag"), true), false);
        QVERIFY(sec.writeInt(QStringLiteral("Flag"), 3));
        QCOMPARE(sec.readFlag(QStringLiteral("Flag"), false), true);

        // A value that is not a number reads as the default.
        RAW.setValue(QStringLiteral("Test Section/Bad"), QStringLiteral("abc"));
        QCOMPARE(sec.readInt(QStringLiteral("Bad"), 5), 5);
    }

    void rectangle()
    {
        CSettingsSection sec(QStringLiteral("MainFrame"));
        const WinRect def{1, 2, 3, 4};
        QCOMPARE(sec.readRect(QStringLiteral("r"), def), def);
        const WinRect r{10, 20, 300, 400};
        QVERIFY(sec.writeRect(QStringLiteral("rcNormalPosition"), r));
        QCOMPARE(sec.readRect(QStringLiteral("rcNormalPosition"), def), r);
        QSettings raw = rawSettings();
        QCOMPARE(raw.value(QStringLiteral("MainFrame/rcNormalPosition.left")).toInt(), 10);
        QCOMPARE(raw.value(QStringLiteral("MainFrame/rcNormalPosition.top")).toInt(), 20);
        QCOMPARE(raw.value(QStringLiteral("MainFrame/rcNormalPosition.right")).toInt(), 300);
        QCOMPARE(raw.value(QStringLiteral("MainFrame/rcNormalPosition.bottom")).toInt(), 400);
        raw.beginGroup(QStringLiteral("MainFrame"));
        QCOMPARE(raw.childKeys().size(), 4);
        raw.endGroup();
        // A partly stored rectangle takes the caller's values for the rest.
        RAW.remove(QStringLiteral("MainFrame/rcNormalPosition.bottom"));
        QCOMPARE(sec.readRect(QStringLiteral("rcNormalPosition"), def), (WinRect{10, 20, 300, 4}));
    }

    void pointAndSize()
    {
        CSettingsSection sec(QStringLiteral("Queue Frame"));
        QCOMPARE(sec.readPoint(QStringLiteral("pos"), QPoint(-1, -2)), QPoint(-1, -2));
        QVERIFY(sec.writePoint(QStringLiteral("pos"), QPoint(15, -30)));
        QCOMPARE(sec.readPoint(QStringLiteral("pos"), QPoint()), QPoint(15, -30));
        QCOMPARE(RAW.value(QStringLiteral("Queue Frame/pos.x")).toInt(), 15);
        QCOMPARE(RAW.value(QStringLiteral("Queue Frame/pos.y")).toInt(), -30);

        QCOMPARE(sec.readSize(QStringLiteral("size"), QSize(7, 8)), QSize(7, 8));
        QVERIFY(sec.writeSize(QStringLiteral("size"), QSize(640, 480)));
        QCOMPARE(sec.readSize(QStringLiteral("size"), QSize()), QSize(640, 480));
        QCOMPARE(RAW.value(QStringLiteral("Queue Frame/size.width")).toInt(), 640);
        QCOMPARE(RAW.value(QStringLiteral("Queue Frame/size.height")).toInt(), 480);
    }

    void fontDefaults()
    {
        const LogFont f = CSettingsSection(QStringLiteral("DLOButton")).readFont(QStringLiteral("Title"));
        QCOMPARE(f.height, -13);
        QCOMPARE(f.width, 0);
        QCOMPARE(f.escapement, 0);
        QCOMPARE(f.orientation, 0);
        QCOMPARE(f.weight, 400);
        QCOMPARE(f.italic, 0);
        QCOMPARE(f.underline, 0);
        QCOMPARE(f.strikeOut, 0);
        QCOMPARE(f.charSet, 0);
        QCOMPARE(f.outPrecision, 1);
        QCOMPARE(f.clipPrecision, 2);
        QCOMPARE(f.quality, 1);
        QCOMPARE(f.pitchAndFamily, 34);
        QCOMPARE(f.faceName, QStringLiteral("MS Sans Serif"));
        QVERIFY(f == LogFont());
    }

    void fontRoundTrip()
    {
        CSettingsSection sec(QStringLiteral("PKTU Frame"));
        LogFont f;
        f.height = -20;
        f.width = 3;
        f.escapement = 4;
        f.orientation = 5;
        f.weight = 700;
        f.italic = 1;
        f.underline = 1;
        f.strikeOut = 1;
        f.charSet = 238;
        f.outPrecision = 3;
        f.clipPrecision = 4;
        f.quality = 5;
        f.pitchAndFamily = 49;
        f.faceName = QStringLiteral("DejaVu Sans Mono");
        QVERIFY(sec.writeFont(QStringLiteral("Title"), f));
        QCOMPARE(sec.readFont(QStringLiteral("Title")), f);

        const QList<QPair<const char *, int>> ints = {
            {".Height", -20},      {".Width", 3},        {".Escapement", 4},    {".Orientation", 5},
            {".Weight", 700},      {".Italic", 1},       {".Underline", 1},     {".StrikeOut", 1},
            {".CharSet", 238},     {".OutPrecision", 3}, {".ClipPrecision", 4}, {".Quality", 5},
            {".PitchAndFamily", 49},
        };
        QSettings raw = rawSettings();
        for (const auto &[suffix, value] : ints) {
            const QString key = QStringLiteral("PKTU Frame/Title") + QLatin1String(suffix);
            QVERIFY2(raw.contains(key), qPrintable(key));
            QCOMPARE(raw.value(key).toInt(), value);
        }
        QCOMPARE(raw.value(QStringLiteral("PKTU Frame/Title.FaceName")).toString(), QStringLiteral("DejaVu Sans Mono"));
        raw.beginGroup(QStringLiteral("PKTU Frame"));
        QCOMPARE(raw.childKeys().size(), 14);
    }

    void faceNameCutTo31()
    {
        const QString longName = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdef"); // 42
        RAW.setValue(QStringLiteral("Trace Frame/Title.FaceName"), longName);
        const LogFont f = CSettingsSection(QStringLiteral("Trace Frame")).readFont(QStringLiteral("Title"));
        QCOMPARE(f.faceName, longName.left(31));
        QCOMPARE(f.faceName.size(), 31);
        // The other values keep their defaults.
        QCOMPARE(f.height, -13);
        QCOMPARE(f.pitchAndFamily, 34);

        // Exactly 31 is kept; a surrogate pair is never split.
        QCOMPARE(LogFont::cutFaceName(longName.left(31)), longName.left(31));
        const QString withPair = QString(30, QLatin1Char('x')) + QString::fromUtf8("\xf0\x9f\x98\x80") + QStringLiteral("y");
        QCOMPARE(LogFont::cutFaceName(withPair), QString(30, QLatin1Char('x')));

        // A written face name never holds more than 31 either.
        LogFont w;
        w.faceName = longName;
        QVERIFY(CSettingsSection(QStringLiteral("Trace Frame")).writeFont(QStringLiteral("Title"), w));
        QCOMPARE(RAW.value(QStringLiteral("Trace Frame/Title.FaceName")).toString(), longName.left(31));
    }

    void placementDefaults()
    {
        const WindowPlacement p = CSettingsSection(QStringLiteral("MainFrame")).readPlacement();
        QCOMPARE(p.flags, 0);
        QCOMPARE(p.showCmd, 1);
        QCOMPARE(p.rcNormal, WinRect());
        QVERIFY(!decideRestore(p, true).stored);
    }

    void placementRoundTrip()
    {
        CSettingsSection sec(CWindowKindSettings::placementSection(CWindowKindSettings::Kind::DirectoryFrame,
                                                                   QStringLiteral("Station")));
        QCOMPARE(sec.section(), QStringLiteral("DB Frame - Station"));
        WindowPlacement p;
        p.flags = 2;
        p.showCmd = 3;
        p.ptMin = QPoint(-1, -1);
        p.ptMax = QPoint(-8, -9);
        p.rcNormal = WinRect{5, 6, 505, 406};
        QVERIFY(sec.writePlacement(p));
        QCOMPARE(sec.readPlacement(), p);

        const QString g = QStringLiteral("DB Frame - Station/");
        QSettings raw = rawSettings();
        QCOMPARE(raw.value(g + QStringLiteral("flags")).toInt(), 2);
        QCOMPARE(raw.value(g + QStringLiteral("showCmd")).toInt(), 3);
        QCOMPARE(raw.value(g + QStringLiteral("ptMinPosition.x")).toInt(), -1);
        QCOMPARE(raw.value(g + QStringLiteral("ptMinPosition.y")).toInt(), -1);
        QCOMPARE(raw.value(g + QStringLiteral("ptMaxPosition.x")).toInt(), -8);
        QCOMPARE(raw.value(g + QStringLiteral("ptMaxPosition.y")).toInt(), -9);
        QCOMPARE(raw.value(g + QStringLiteral("rcNormalPosition.left")).toInt(), 5);
        QCOMPARE(raw.value(g + QStringLiteral("rcNormalPosition.top")).toInt(), 6);
        QCOMPARE(raw.value(g + QStringLiteral("rcNormalPosition.right")).toInt(), 505);
        QCOMPARE(raw.value(g + QStringLiteral("rcNormalPosition.bottom")).toInt(), 406);
        raw.beginGroup(QStringLiteral("DB Frame - Station"));
        QCOMPARE(raw.childKeys().size(), 10);
    }

    void failedWriteIsReported()
    {
        const QString file = rawSettings().fileName();
        QFile::remove(file);
        // A directory where the settings file should be: no write can reach the store.
        QVERIFY(QDir().mkpath(file));
        CSettingsSection sec(QStringLiteral("MainFrame"));
        const bool intOk = sec.writeInt(QStringLiteral("x"), 1);
        const bool rectOk = sec.writeRect(QStringLiteral("r"), WinRect{1, 2, 3, 4});
        const bool placementOk = sec.writePlacement(WindowPlacement());
        QVERIFY(QDir(file).removeRecursively());
        QVERIFY(!intOk);
        QVERIFY(!rectOk);
        QVERIFY(!placementOk);
        // Writes work again once the store is reachable.
        init();
        QVERIFY(sec.writeInt(QStringLiteral("x"), 1));
    }

    void windowKindSections()
    {
        using K = CWindowKindSettings::Kind;
        QCOMPARE(CWindowKindSettings::mainFrame().sectionName(), QStringLiteral("MainFrame"));
        QCOMPARE(CWindowKindSettings::directoryFrame().sectionName(), QStringLiteral("DB Frame"));
        QCOMPARE(CWindowKindSettings::statusButtonFrame().sectionName(), QStringLiteral("DLO Frame"));
        QCOMPARE(CWindowKindSettings::speedBinFrame().sectionName(), QStringLiteral("PhoneBook Frame"));
        QCOMPARE(CWindowKindSettings::phoneNumberFrame().sectionName(), QStringLiteral("PhoneNo Frame"));
        QCOMPARE(CWindowKindSettings::keyTelephoneFrame().sectionName(), QStringLiteral("PKTU Frame"));
        QCOMPARE(CWindowKindSettings::queueFrame().sectionName(), QStringLiteral("Queue Frame"));
        QCOMPARE(CWindowKindSettings::traceFrame().sectionName(), QStringLiteral("Trace Frame"));
        QCOMPARE(CWindowKindSettings::statusButton().sectionName(), QStringLiteral("DLOButton"));
        QCOMPARE(CWindowKindSettings::dialButton().sectionName(), QStringLiteral("PktuDialButton"));
        QCOMPARE(CWindowKindSettings::fixedButton().sectionName(), QStringLiteral("PktuFixedButton"));
        QCOMPARE(CWindowKindSettings::flexibleButton().sectionName(), QStringLiteral("PktuFlexibleButton"));
        QCOMPARE(&CWindowKindSettings::forKind(K::QueueFrame), &CWindowKindSettings::queueFrame());
        QCOMPARE(CWindowKindSettings::queueFrame().kind(), K::QueueFrame);

        QCOMPARE(CWindowKindSettings::placementSection(K::DirectoryFrame, QStringLiteral("Station")),
                 QStringLiteral("DB Frame - Station"));
        QCOMPARE(CWindowKindSettings::placementSection(K::DirectoryFrame, QStringLiteral("CO")),
                 QStringLiteral("DB Frame - CO"));
        QCOMPARE(CWindowKindSettings::placementSection(CWindowKindSettings::statusButtonFrame(),
                                                       QStringLiteral("Station")),
                 QStringLiteral("DLO Frame - Station"));
        QCOMPARE(CWindowKindSettings::statusButtonFrame().placementSection(QStringLiteral("CO")),
                 QStringLiteral("DLO Frame - CO"));
    }

    void openCount()
    {
        CWindowKindSettings &k = CWindowKindSettings::statusButtonFrame();
        QCOMPARE(k.openCount(), 0);
        QVERIFY(k.windowOpened());  // first
        QVERIFY(!k.windowOpened()); // second
        QCOMPARE(k.openCount(), 2);
        QVERIFY(!k.windowClosed());
        QVERIFY(k.windowClosed()); // last
        QCOMPARE(k.openCount(), 0);
        QVERIFY(!k.windowClosed()); // never below 0
        QCOMPARE(k.openCount(), 0);
        // Kinds count separately.
        QVERIFY(CWindowKindSettings::queueFrame().windowOpened());
        QCOMPARE(k.openCount(), 0);
    }

    void sharedTitleFont()
    {
        CWindowKindSettings &k = CWindowKindSettings::statusButton();
        QCOMPARE(k.titleFont(), LogFont());
        // Created on first use: a later change of the store is not seen until dropFont().
        LogFont big;
        big.height = -30;
        big.faceName = QStringLiteral("DejaVu Sans");
        QVERIFY(CSettingsSection(QStringLiteral("DLOButton")).writeFont(QStringLiteral("Title"), big));
        QCOMPARE(k.titleFont().height, -13);
        const int generation = k.fontGeneration();
        k.dropFont();
        QVERIFY(k.fontGeneration() != generation);
        QCOMPARE(k.titleFont(), big);

        LogFont other;
        other.weight = 700;
        QVERIFY(k.writeTitleFont(other));
        QCOMPARE(k.titleFont(), other);
        QCOMPARE(RAW.value(QStringLiteral("DLOButton/Title.Weight")).toInt(), 700);
    }

    void activeWindowValues()
    {
        CWindowKindSettings &k = CWindowKindSettings::keyTelephoneFrame();
        QVERIFY(k.activeWindowFlag()); // default 1
        QVERIFY(k.writeActiveWindow(0));
        QVERIFY(!k.activeWindowFlag());
        QCOMPARE(RAW.value(QStringLiteral("PKTU Frame/Active Window")).toInt(), 0);
        QVERIFY(k.writeActiveWindow(2));
        QVERIFY(k.activeWindowFlag());

        CWindowKindSettings &dir = CWindowKindSettings::directoryFrame();
        QCOMPARE(dir.lastActiveWindow(), 0xFFFF);
        QVERIFY(dir.writeLastActiveWindow(CWindowKindSettings::CoWindowBit));
        QCOMPARE(dir.lastActiveWindow(), 2);
        QCOMPARE(RAW.value(QStringLiteral("DB Frame/LastActiveWindow")).toInt(), 2);
    }

    void defaultLayoutInitial()
    {
        const DefaultLayout d = DefaultLayout::initial();
        QCOMPARE(d.keyTelephone, (WinRect{0, 0, 277, 320}));
        QCOMPARE(d.stationButtons, (WinRect{278, 0, 790, 160}));
        QCOMPARE(d.queue, (WinRect{278, 161, 790, 320}));
        QCOMPARE(d.coButtons, (WinRect{550, 161, 790, 320}));
        QCOMPARE(d.stationDirectory, (WinRect{0, 321, 263, 500}));
        QCOMPARE(d.coDirectory, (WinRect{264, 321, 526, 500}));
        QCOMPARE(d.speedBinDirectory, (WinRect{0, 0, 493, 370}));
        QCOMPARE(d.phoneNumberDirectory, (WinRect{0, 0, 494, 370}));
        QCOMPARE(DefaultLayout::current(), d);
    }

    void defaultLayoutRecomputed()
    {
        // Client 1023 x 711 (odd sizes to check the truncating divisions).
        const WinRect client{0, 0, 1023, 711};
        const DefaultLayout d = recomputeLayout(DefaultLayout::initial(), client);
        // 1. (0, 0, 277, 320)
        QCOMPARE(d.keyTelephone, (WinRect{0, 0, 277, 320}));
        // 2. (277, 0, 1023, 320 / 2 = 160)
        QCOMPARE(d.stationButtons, (WinRect{277, 0, 1023, 160}));
        // 3. (277, 160, 1023 / 2 + 277 / 2 = 511 + 138 = 649, 320)
        QCOMPARE(d.queue, (WinRect{277, 160, 649, 320}));
        // 4. (649, 160, 1023, 320)
        QCOMPARE(d.coButtons, (WinRect{649, 160, 1023, 320}));
        // 5. 493 x 370 at (50, 50)
        QCOMPARE(d.speedBinDirectory, (WinRect{50, 50, 543, 420}));
        // 6. 494 x 370 at (150, 100)
        QCOMPARE(d.phoneNumberDirectory, (WinRect{150, 100, 644, 470}));
        // 7. (0, 320, 1023 * 3 / 5 = 613, 711)
        QCOMPARE(d.stationDirectory, (WinRect{0, 320, 613, 711}));
        // 8. (613, 320, 1023, 711)
        QCOMPARE(d.coDirectory, (WinRect{613, 320, 1023, 711}));

        // Recomputing again from the result is stable (sizes kept, positions fixed).
        QCOMPARE(recomputeLayout(d, client), d);
    }

    void defaultLayoutKeepsKeyTelephoneCorner()
    {
        DefaultLayout cur = DefaultLayout::initial();
        cur.keyTelephone = WinRect{40, 30, 301, 401};
        cur.speedBinDirectory = WinRect{300, 300, 400, 350};
        const DefaultLayout d = recomputeLayout(cur, WinRect{0, 0, 800, 600});
        QCOMPARE(d.keyTelephone, (WinRect{0, 0, 301, 401}));
        QCOMPARE(d.stationButtons, (WinRect{301, 0, 800, 200}));
        QCOMPARE(d.queue, (WinRect{301, 200, 400 + 150, 401}));
        QCOMPARE(d.coButtons, (WinRect{550, 200, 800, 401}));
        QCOMPARE(d.speedBinDirectory, (WinRect{50, 50, 150, 100}));
        QCOMPARE(d.stationDirectory, (WinRect{0, 401, 480, 600}));
        QCOMPARE(d.coDirectory, (WinRect{480, 401, 800, 600}));
    }

    void restoreDecision_data()
    {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("showCmd");
        QTest::addColumn<bool>("isMain");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("result");

        QTest::newRow("nothing stored, main") << 0 << 0 << 3 << true << false << 3;
        QTest::newRow("nothing stored, child") << 0 << 0 << 3 << false << false << 1;
        QTest::newRow("left 0, right set") << 0 << 100 << 1 << false << true << 1;
        QTest::newRow("left set, right 0") << 10 << 0 << 1 << true << true << 1;
        QTest::newRow("main normal") << 10 << 500 << 1 << true << true << 1;
        QTest::newRow("main minimized -> normal") << 10 << 500 << 2 << true << true << 1;
        QTest::newRow("main maximized kept") << 10 << 500 << 3 << true << true << 3;
        QTest::newRow("child minimized -> normal") << 10 << 500 << 2 << false << true << 1;
        QTest::newRow("child maximized -> normal") << 10 << 500 << 3 << false << true << 1;
    }

    void restoreDecision()
    {
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(int, showCmd);
        QFETCH(bool, isMain);
        QFETCH(bool, stored);
        QFETCH(int, result);
        WindowPlacement p;
        p.showCmd = showCmd;
        p.rcNormal = WinRect{left, 20, right, 300};
        const RestoreDecision d = decideRestore(p, isMain);
        QCOMPARE(d.stored, stored);
        QCOMPARE(d.showCmd, result);
    }

    void restoreFromStore()
    {
        // A stored minimized main window comes back as normal.
        CSettingsSection sec(QStringLiteral("MainFrame"));
        WindowPlacement p;
        p.showCmd = 2;
        p.rcNormal = WinRect{10, 10, 810, 610};
        QVERIFY(sec.writePlacement(p));
        const RestoreDecision d = decideRestore(sec.readPlacement(), true);
        QVERIFY(d.stored);
        QCOMPARE(d.showCmd, 1);
        // A section without placement: default rectangle.
        QVERIFY(!decideRestore(CSettingsSection(QStringLiteral("Queue Frame")).readPlacement(), false).stored);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
