#include "Recorders.h"
#include "base/MessageCatalogue.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestMessageCatalogue : public QObject
{
    Q_OBJECT

private:
    QString m_startDir;
    std::unique_ptr<QTemporaryDir> m_work;     // the working directory of one test
    std::unique_ptr<QTemporaryDir> m_fallback; // an empty fallback directory
    OperatorUiRecorder m_ui;

    static QString dataFile(const QString &name)
    {
        return QStringLiteral(ZARTO_CATALOGUE_TEST_DATA "/") + name;
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
        QCOMPARE(f.write(bytes), bytes.size());
    }

    void writeCatalogue(const QByteArray &bytes) { writeFile(m_work->filePath("ZARTOLLS.TXT"), bytes); }

    void installCatalogue(const QString &name)
    {
        QFile src(dataFile(name));
        QVERIFY2(src.open(QIODevice::ReadOnly), qPrintable(src.fileName()));
        writeCatalogue(src.readAll());
    }

    int warnings() const { return int(m_ui.shown.size()); }

private Q_SLOTS:
    void initTestCase() { m_startDir = QDir::currentPath(); }

    void init()
    {
        QSettings(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto")).clear();
        MessageCatalogue::resetProcessStateForTests();
        m_work = std::make_unique<QTemporaryDir>();
        m_fallback = std::make_unique<QTemporaryDir>();
        QVERIFY(m_work->isValid() && m_fallback->isValid());
        QVERIFY(QDir::setCurrent(m_work->path()));
        MessageCatalogue::setFallbackDirectory(m_fallback->path());
        m_ui.clear();
        MessageCatalogue::setOperatorUi(&m_ui);
    }

    void cleanup()
    {
        MessageCatalogue::setOperatorUi(nullptr);
        QDir::setCurrent(m_startDir);
        m_work.reset();
        m_fallback.reset();
    }

    void cleanupTestCase() { MessageCatalogue::resetProcessStateForTests(); }

    void lookup_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");

        auto row = [](const char *name, const QString &key, int mode, bool found, const QString &expected) {
            QTest::newRow(name) << key << mode << found << expected;
        };
        const QString both = QStringLiteral("#:both_texts");
        row("mode 1 first text", both, 1, true, QStringLiteral("First A"));
        row("mode 2 second text", both, 2, true, QStringLiteral("Second B"));
        row("mode 0 key", both, 0, false, both);
        row("second empty -> first", QStringLiteral("#:second_empty"), 2, true, QStringLiteral("First only"));
        row("second missing -> first", QStringLiteral("#:one_text"), 2, true, QStringLiteral("Only first"));
        row("both empty mode 2 -> key", QStringLiteral("#:both_empty"), 2, false, QStringLiteral("#:both_empty"));
        row("both empty mode 1 -> key", QStringLiteral("#:both_empty"), 1, false, QStringLiteral("#:both_empty"));
        row("escaped quote first", QStringLiteral("#:escape_quote"), 1, true, QStringLiteral("x\"y"));
        row("escaped quote second", QStringLiteral("#:escape_quote"), 2, true, QStringLiteral("zweites\"z"));
        row("escaped hash first", QStringLiteral("#:escape_hash"), 1, true, QStringLiteral("a#b"));
        row("escaped hash second", QStringLiteral("#:escape_hash"), 2, true, QStringLiteral("c#d"));
        row("two hashes and colon", QStringLiteral("#:escape_pair"), 1, true, QStringLiteral("p#:q"));
        row("escaped multi-byte", QStringLiteral("#:escape_mb"), 1, true, QStringLiteral("a\u00dfb"));
        row("multi-line first", QStringLiteral("#:multi_line"), 1, true, QStringLiteral("line one\nline two"));
        row("multi-line second", QStringLiteral("#:multi_line"), 2, true,
            QStringLiteral("Zeile eins\nZeile zwei"));
        row("longer key first", QStringLiteral("#:abc_def"), 2, true,
            QStringLiteral("l\u00e4ngerer Schl\u00fcssel"));
        row("shorter key trap mode 1", QStringLiteral("#:abc"), 1, false, QStringLiteral("#:abc"));
        row("shorter key trap mode 2", QStringLiteral("#:abc"), 2, false, QStringLiteral("#:abc"));
        row("utf-8 second text", QStringLiteral("#:umlaut"), 2, true, QStringLiteral("Gr\u00f6\u00dfe"));
        row("menu key mode 1", QStringLiteral("#:file_MENU(&F)"), 1, true, QStringLiteral("&File"));
        row("menu key mode 2", QStringLiteral("#:file_MENU(&F)"), 2, true, QStringLiteral("&Datei"));
        row("menu key without mnemonic", QStringLiteral("#:file_MENU"), 1, false, QStringLiteral("#:file_MENU"));
        row("tab delimiter", QStringLiteral("#:tab_key"), 1, true, QStringLiteral("tabbed"));
        row("no delimiter", QStringLiteral("#:glued"), 1, false, QStringLiteral("#:glued"));
        row("entry without text", QStringLiteral("#:at_end"), 2, false, QStringLiteral("#:at_end"));
        row("unknown key", QStringLiteral("#:not_there"), 1, false, QStringLiteral("#:not_there"));
        row("case-sensitive", QStringLiteral("#:BOTH_TEXTS"), 1, false, QStringLiteral("#:BOTH_TEXTS"));

        const QStringList unchanged = {QStringLiteral("#:a"), QStringLiteral("#:"), QStringLiteral("abc"),
                                       QString(), QStringLiteral("DATE FORMAT"), QStringLiteral("First A"),
                                       QStringLiteral(" #:both_texts"), QStringLiteral("Language Setting")};
        for (int mode = 0; mode <= 2; ++mode) {
            for (const QString &text : unchanged) {
                QTest::addRow("unchanged '%s' mode %d", qPrintable(text), mode) << text << mode << false << text;
            }
        }
    }

    void lookup()
    {
        QFETCH(QString, key);
        QFETCH(int, mode);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        installCatalogue(QStringLiteral("basic.txt"));
        MessageCatalogue::setLanguageMode(mode);
        const MessageCatalogue cat;
        QVERIFY(cat.isValid());
        QString text = key;
        QCOMPARE(cat.Lookup(text), found);
        QCOMPARE(text, expected);
        QCOMPARE(cat.text(key), expected);
        QCOMPARE(warnings(), 0);
        QCOMPARE(MessageCatalogue::languageMode(), mode);
    }

    void explicitLanguageArgument()
    {
        installCatalogue(QStringLiteral("basic.txt"));
        MessageCatalogue::setLanguageMode(1);
        const MessageCatalogue cat;
        QString text = QStringLiteral("#:both_texts");
        QVERIFY(cat.Lookup(text, 2));
        QCOMPARE(text, QStringLiteral("Second B"));
        text = QStringLiteral("#:both_texts");
        QVERIFY(!cat.Lookup(text, 0));
        QCOMPARE(text, QStringLiteral("#:both_texts"));
        // Mode -1 refuses every language.
        MessageCatalogue::setLanguageMode(-1);
        QVERIFY(!cat.Lookup(text, 1));
        QCOMPARE(text, QStringLiteral("#:both_texts"));
    }

    void crlfMultiLine()
    {
        writeCatalogue("LLS\r\n#:crlf \"one\r\ntwo\" \"eins\r\nzwei\"\r\n#:next \"N\"\r\n");
        MessageCatalogue::setLanguageMode(2);
        QCOMPARE(trKey(QStringLiteral("#:crlf")), QStringLiteral("eins\r\nzwei"));
        MessageCatalogue::setLanguageMode(1);
        QCOMPARE(trKey(QStringLiteral("#:crlf")), QStringLiteral("one\r\ntwo"));
    }

    void scanStopsAtNextKey()
    {
        // The second quoted text belongs to the next entry: not taken.
        writeCatalogue("LLS\n#:first \"A\"\n#:second \"B\" \"C\"\n");
        MessageCatalogue::setLanguageMode(2);
        QCOMPARE(trKey(QStringLiteral("#:first")), QStringLiteral("A"));
        QCOMPARE(trKey(QStringLiteral("#:second")), QStringLiteral("C"));
    }

    void unclosedTextFails()
    {
        writeCatalogue("LLS\n#:open \"never closed");
        MessageCatalogue::setLanguageMode(1);
        QCOMPARE(trKey(QStringLiteral("#:open")), QStringLiteral("#:open"));
        writeCatalogue("LLS\n#:last");
        QCOMPARE(trKey(QStringLiteral("#:last")), QStringLiteral("#:last"));
    }

    void onlyFirstOccurrenceCounts()
    {
        // The first occurrence of the key lies inside a text and is not delimited:
        // the lookup fails, the real entry further down is never reached.
        writeCatalogue("LLS\n#:x1 \"see #:target_x\"\n#:target \"T\"\n");
        QCOMPARE(trKey(QStringLiteral("#:target")), QStringLiteral("#:target"));
        // A delimited first occurrence in comment text is taken as the entry.
        writeCatalogue("LLS\n; example: #:target \"from comment\"\n#:target \"T\"\n");
        QCOMPARE(trKey(QStringLiteral("#:target")), QStringLiteral("from comment"));
        writeCatalogue("LLS\n#:one \"A\"\n#:one \"B\"\n");
        QCOMPARE(trKey(QStringLiteral("#:one")), QStringLiteral("A"));
    }

    void editedCatalogueTakesEffectOnNextLoad()
    {
        writeCatalogue("LLS\n#:key_a \"old\"\n");
        const MessageCatalogue before;
        writeCatalogue("LLS\n#:key_a \"new\"\n");
        QCOMPARE(before.text(QStringLiteral("#:key_a")), QStringLiteral("old"));
        QCOMPARE(trKey(QStringLiteral("#:key_a")), QStringLiteral("new"));
    }

    void lowerCaseStartIsInvalid()
    {
        installCatalogue(QStringLiteral("lowercase_lls.txt"));
        const MessageCatalogue cat;
        QVERIFY(!cat.isValid());
        QCOMPARE(MessageCatalogue::languageMode(), -1);
        QCOMPARE(cat.text(QStringLiteral("#:both_texts")), QStringLiteral("#:both_texts"));
        QCOMPARE(warnings(), 1);
        QCOMPARE(m_ui.shown[0].text, MessageCatalogue::notValidText());
        QCOMPARE(m_ui.shown[0].text,
                 QStringLiteral("ZARTOLLS.TXT is not valid. You can run this program only SYMBOL mode."));
        QCOMPARE(m_ui.shown[0].title, QStringLiteral("Zarto : CriticalError"));
        QCOMPARE(m_ui.shown[0].style, 16);
        QVERIFY(m_ui.shown[0].fixed);
        QCOMPARE(MessageCatalogue::warnedFlag(), 2);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!MessageCatalogue().isValid());
        QCOMPARE(warnings(), 1);
    }

    void tooShortIsInvalid_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("LL") << QByteArray("LL") << false;
        QTest::newRow("LLS") << QByteArray("LLS") << true;
        QTest::newRow("LLX") << QByteArray("LLX...") << false;
        QTest::newRow("Lls") << QByteArray("Lls\n") << false;
    }

    void tooShortIsInvalid()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        writeCatalogue(bytes);
        const MessageCatalogue cat;
        QCOMPARE(cat.isValid(), valid);
        QCOMPARE(MessageCatalogue::languageMode(), valid ? 1 : -1);
        QCOMPARE(warnings(), valid ? 0 : 1);
    }

    void tooShortFile()
    {
        installCatalogue(QStringLiteral("too_short.txt"));
        QVERIFY(!MessageCatalogue().isValid());
        QCOMPARE(MessageCatalogue::languageMode(), -1);
        QCOMPARE(m_ui.texts(), QStringList{MessageCatalogue::notValidText()});
    }

    void missingFileWarnsOnce()
    {
        for (int i = 0; i < 5; ++i) {
            const MessageCatalogue cat;
            QVERIFY(!cat.isValid());
            QCOMPARE(cat.text(QStringLiteral("#:file_MENU(&F)")), QStringLiteral("#:file_MENU(&F)"));
        }
        QCOMPARE(trKey(QStringLiteral("#:main_window_WINTITLE")), QStringLiteral("#:main_window_WINTITLE"));
        QCOMPARE(MessageCatalogue::languageMode(), -1);
        QCOMPARE(warnings(), 1);
        QCOMPARE(m_ui.shown[0].text,
                 QStringLiteral("Cannot find ZARTOLLS.TXT. You can run this program only SYMBOL mode."));
        QCOMPARE(m_ui.shown[0].title, QStringLiteral("Zarto : CriticalError"));
        QCOMPARE(m_ui.shown[0].style, 16);
        QVERIFY(m_ui.shown[0].fixed);
        QCOMPARE(MessageCatalogue::warnedFlag(), 1);

        // Choosing a language while the file is missing: the next load sets -1 again, silently.
        MessageCatalogue::setLanguageMode(2);
        QCOMPARE(trKey(QStringLiteral("#:both_texts")), QStringLiteral("#:both_texts"));
        QCOMPARE(MessageCatalogue::languageMode(), -1);
        // An invalid file later in the run: no further warning either.
        writeCatalogue("xyz");
        QVERIFY(!MessageCatalogue().isValid());
        QCOMPARE(warnings(), 1);
        QCOMPARE(MessageCatalogue::warnedFlag(), 1);

        // A good file and a chosen mode: translation works again (a good load keeps the mode).
        installCatalogue(QStringLiteral("basic.txt"));
        MessageCatalogue::setLanguageMode(1);
        QCOMPARE(trKey(QStringLiteral("#:both_texts")), QStringLiteral("First A"));
        QCOMPARE(MessageCatalogue::languageMode(), 1);
        QCOMPARE(warnings(), 1);
    }

    void warningWithoutOperatorUiWaitsForOne()
    {
        MessageCatalogue::setOperatorUi(nullptr);
        QTest::ignoreMessage(QtWarningMsg, qPrintable(MessageCatalogue::notFoundText()));
        QVERIFY(!MessageCatalogue().isValid());
        QVERIFY(!MessageCatalogue().isValid()); // logged once only
        QCOMPARE(MessageCatalogue::warnedFlag(), 0);
        MessageCatalogue::setOperatorUi(&m_ui);
        QVERIFY(!MessageCatalogue().isValid());
        QVERIFY(!MessageCatalogue().isValid());
        QCOMPARE(warnings(), 1);
        QCOMPARE(MessageCatalogue::warnedFlag(), 1);
    }

    void symbolModeShowsKeysWithoutWarning()
    {
        installCatalogue(QStringLiteral("basic.txt"));
        MessageCatalogue::setLanguageMode(0);
        const MessageCatalogue cat;
        QVERIFY(cat.isValid());
        QCOMPARE(cat.text(QStringLiteral("#:file_MENU(&F)")), QStringLiteral("#:file_MENU(&F)"));
        QCOMPARE(cat.text(QStringLiteral("#:both_texts")), QStringLiteral("#:both_texts"));
        QCOMPARE(warnings(), 0);
        QCOMPARE(MessageCatalogue::languageMode(), 0);
    }

    void pathFixedByFirstLoad()
    {
        writeCatalogue("LLS\n#:which \"A\"\n");
        QCOMPARE(MessageCatalogue::filePath(), QString());
        QCOMPARE(trKey(QStringLiteral("#:which")), QStringLiteral("A"));
        const QString fixed = QDir(m_work->path()).filePath(QStringLiteral("ZARTOLLS.TXT"));
        QCOMPARE(MessageCatalogue::filePath(), fixed);

        QTemporaryDir other;
        writeFile(QDir(other.path()).filePath(QStringLiteral("ZARTOLLS.TXT")), "LLS\n#:which \"B\"\n");
        QVERIFY(QDir::setCurrent(other.path()));
        QCOMPARE(trKey(QStringLiteral("#:which")), QStringLiteral("A"));
        QCOMPARE(MessageCatalogue::filePath(), fixed);
        QCOMPARE(warnings(), 0);
    }

    void fallbackDirectoryWhenMissing()
    {
        QCOMPARE(MessageCatalogue::fallbackDirectory(), m_fallback->path());
        writeFile(QDir(m_fallback->path()).filePath(QStringLiteral("ZARTOLLS.TXT")), "LLS\n#:where \"fallback\"\n");
        const MessageCatalogue cat;
        QVERIFY(cat.isValid());
        QCOMPARE(cat.text(QStringLiteral("#:where")), QStringLiteral("fallback"));
        // The fallback is not remembered: the path stays the working-directory one.
        QCOMPARE(MessageCatalogue::filePath(), QDir(m_work->path()).filePath(QStringLiteral("ZARTOLLS.TXT")));
        writeCatalogue("LLS\n#:where \"working dir\"\n");
        QCOMPARE(trKey(QStringLiteral("#:where")), QStringLiteral("working dir"));
        QCOMPARE(warnings(), 0);
    }

    void defaultFallbackIsDataDir()
    {
        MessageCatalogue::resetProcessStateForTests();
        QCOMPARE(MessageCatalogue::fallbackDirectory(), QStringLiteral(ZARTO_DATA_DIR));
        QCOMPARE(MessageCatalogue::languageMode(), 1);
        QCOMPARE(MessageCatalogue::warnedFlag(), 0);
        QCOMPARE(MessageCatalogue::filePath(), QString());
    }

    void languageModeSettings()
    {
        MessageCatalogue::setLanguageMode(0);
        MessageCatalogue::readLanguageMode();
        QCOMPARE(MessageCatalogue::languageMode(), 1); // default
        QVERIFY(MessageCatalogue::storeLanguageMode(2));
        QCOMPARE(MessageCatalogue::languageMode(), 2);
        QSettings raw(QStringLiteral("Varo PC Applications"), QStringLiteral("Zarto"));
        QCOMPARE(raw.value(QStringLiteral("Language/Mode")).toInt(), 2);
        MessageCatalogue::setLanguageMode(0);
        MessageCatalogue::readLanguageMode();
        QCOMPARE(MessageCatalogue::languageMode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestMessageCatalogue)
#include "tst_MessageCatalogue.moc"
