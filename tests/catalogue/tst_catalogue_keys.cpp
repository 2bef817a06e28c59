// Guards data/ZARTOLLS.TXT: every key the program uses must resolve to an entry
// with both a first and a second text, and the file must keep the shape the
// console's lookup depends on. The reader here is deliberately separate from
// the program's own catalogue class, so a fault in either one shows up.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QtTest>

namespace {

enum class Found { Missing, NotDelimited, Entry };

struct EntryTexts {
    Found found = Found::Missing;
    qsizetype position = -1;
    bool hasFirst = false;
    bool hasSecond = false;
    QByteArray first;
    QByteArray second;
};

struct ParsedEntry {
    QByteArray key;
    qsizetype position = -1;
};

bool isDelimiter(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Reads the entry exactly as the console finds it: only the first occurrence
// of the key counts, it must be followed by a blank or a line break, and the
// entry's extent ends at the first unescaped "#:".
EntryTexts readEntry(const QByteArray &catalogue, const QByteArray &key)
{
    EntryTexts t;
    const qsizetype at = catalogue.indexOf(key);
    if (at < 0)
        return t;
    t.position = at;
    const qsizetype p = at + key.size();
    if (p < catalogue.size() && !isDelimiter(catalogue.at(p))) {
        t.found = Found::NotDelimited;
        return t;
    }
    t.found = Found::Entry;

    int quotes = 0;
    bool escape = false;
    QByteArray current;
    for (qsizetype i = p; i < catalogue.size() && quotes < 4; ++i) {
        const char ch = catalogue.at(i);
        const bool insideText = quotes % 2 == 1;
        if (escape) {
            escape = false;
            if (ch == ':')
                break;
            if (insideText)
                current.append(ch);
        } else if (ch == '#') {
            escape = true;
        } else if (ch == '"') {
            ++quotes;
            if (quotes == 2) {
                t.first = current;
                t.hasFirst = true;
            } else if (quotes == 4) {
                t.second = current;
                t.hasSecond = true;
            }
            current.clear();
        } else if (insideText) {
            current.append(ch);
        }
    }
    return t;
}

// Splits the catalogue into entries the way the console bounds them: every
// unescaped "#:" starts one. The key runs up to the single blank that precedes
// its first quoted text, because a few keys themselves hold blanks.
QList<ParsedEntry> parseEntries(const QByteArray &catalogue)
{
    QList<ParsedEntry> entries;
    bool insideEntry = false;
    for (qsizetype i = 3; i + 1 < catalogue.size(); ++i) {
        if (catalogue.at(i) != '#')
            continue;
        if (catalogue.at(i + 1) != ':') {
            // Within an entry "#x" is one escaped character; outside, "#" is plain text.
            if (insideEntry)
                ++i;
            continue;
        }
        qsizetype end = i + 2;
        while (end < catalogue.size() && catalogue.at(end) != '"' && catalogue.at(end) != '\r'
               && catalogue.at(end) != '\n')
            ++end;
        if (end < catalogue.size() && catalogue.at(end) == '"') {
            if (isDelimiter(catalogue.at(end - 1)))
                --end;
        } else {
            end = i + 2;
            while (end < catalogue.size() && !isDelimiter(catalogue.at(end)))
                ++end;
        }
        entries.append({catalogue.mid(i, end - i), i});
        insideEntry = true;
        i = end - 1;
    }
    return entries;
}

QStringList entryProblems(const QByteArray &catalogue)
{
    QStringList problems;
    for (const ParsedEntry &e : parseEntries(catalogue)) {
        const QString name = QString::fromUtf8(e.key);
        const EntryTexts t = readEntry(catalogue, e.key);
        if (t.found != Found::Entry)
            problems << QStringLiteral("%1: first occurrence is not followed by a blank").arg(name);
        else if (t.position != e.position)
            problems << QStringLiteral("%1: an earlier text or entry hides this entry").arg(name);
        else if (t.first.isEmpty() || t.second.isEmpty())
            problems << QStringLiteral("%1: needs two non-empty quoted texts").arg(name);
    }
    return problems;
}

// What is wrong with a key literal of the code, or empty when it names a
// whole entry with two texts. Only the bare marker "#:" (a prefix test in the
// code) is no key; a literal that merely starts a key is as wrong as a missing one.
QString literalProblem(const QByteArray &catalogue, const QSet<QByteArray> &keys, const QByteArray &literal)
{
    if (literal == "#:")
        return {};
    if (!keys.contains(literal)) {
        for (const QByteArray &key : keys) {
            if (key.startsWith(literal))
                return QStringLiteral("only starts the key %1").arg(QString::fromUtf8(key));
        }
        return QStringLiteral("is not in the catalogue");
    }
    const EntryTexts t = readEntry(catalogue, literal);
    if (t.found != Found::Entry || t.position < 0)
        return QStringLiteral("is hidden by a longer key or a text");
    if (t.first.isEmpty() || t.second.isEmpty())
        return QStringLiteral("lacks two non-empty texts");
    return {};
}

QSet<QByteArray> entryKeys(const QByteArray &catalogue)
{
    QSet<QByteArray> keys;
    for (const ParsedEntry &e : parseEntries(catalogue))
        keys.insert(e.key);
    return keys;
}

QStringList formatProblems(const QByteArray &catalogue)
{
    QStringList problems;
    if (!catalogue.startsWith("LLS\n") && !catalogue.startsWith("LLS\r\n"))
        problems << QStringLiteral("does not start with LLS and a line break");
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(catalogue);
    if (utf8.hasError())
        problems << QStringLiteral("is not valid UTF-8");
    return problems;
}

QString sourceRoot()
{
    return qEnvironmentVariable("ZARTO_SOURCE_DIR");
}

QByteArray readCatalogue()
{
    QFile file(sourceRoot() + QStringLiteral("/data/ZARTOLLS.TXT"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestCatalogueKeys : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void readerFindsFaults_data();
    void readerFindsFaults();
    void readerDecodesEscapes();
    void headerIsChecked_data();
    void headerIsChecked();

    void literalMustBeWholeKey_data();
    void literalMustBeWholeKey();

    void catalogueHasValidHeader();
    void catalogueEntriesAreReachable();
    void sourceKeysAreCatalogued();

private:
    QByteArray m_catalogue;
};

void TestCatalogueKeys::initTestCase()
{
    QVERIFY2(!sourceRoot().isEmpty(), "ZARTO_SOURCE_DIR is not set");
    QVERIFY2(QFile::exists(sourceRoot() + QStringLiteral("/data/ZARTOLLS.TXT")),
             "data/ZARTOLLS.TXT is missing");
    m_catalogue = readCatalogue();
    QVERIFY(!m_catalogue.isEmpty());
}

void TestCatalogueKeys::readerFindsFaults_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<int>("problems");

    QTest::newRow("sound entries") << QByteArray("LLS\n; heading\n#:a \"A\" \"B\"\n#:a_b \"C\" \"D\"\n") << 0;
    QTest::newRow("tab and CRLF") << QByteArray("LLS\r\n#:a\t\"A\" \"B\"\r\n#:b \"C\" \"D\"\r\n") << 0;
    QTest::newRow("blank inside the key") << QByteArray("LLS\n#:in use \"A\" \"B\"\n") << 0;
    QTest::newRow("longer key before its prefix")
        << QByteArray("LLS\n#:key_long \"A\" \"B\"\n#:key \"C\" \"D\"\n") << 1;
    QTest::newRow("key inside an earlier text")
        << QByteArray("LLS\n#:x \"see ##:y\" \"Z\"\n#:y \"A\" \"B\"\n") << 1;
    QTest::newRow("same key twice") << QByteArray("LLS\n#:k \"A\" \"B\"\n#:k \"C\" \"D\"\n") << 1;
    QTest::newRow("second text missing") << QByteArray("LLS\n#:m \"A\"\n#:n \"C\" \"D\"\n") << 1;
    QTest::newRow("empty first text") << QByteArray("LLS\n#:e \"\" \"B\"\n") << 1;
    QTest::newRow("empty second text") << QByteArray("LLS\n#:e \"A\" \"\"\n") << 1;
    QTest::newRow("no blank after the key") << QByteArray("LLS\n#:q\"A\" \"B\"\n") << 1;
    // An unescaped marker inside a text cuts the entry short and starts a bogus one.
    QTest::newRow("lone marker in a text") << QByteArray("LLS\n#:t \"a#:b\" \"c\"\n") << 2;
}

void TestCatalogueKeys::readerFindsFaults()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(int, problems);
    const QStringList found = entryProblems(catalogue);
    QVERIFY2(found.size() == problems, qPrintable(found.join(QLatin1Char('\n'))));
}

void TestCatalogueKeys::readerDecodesEscapes()
{
    const QByteArray catalogue("LLS\n#:q \"x#\"y\" \"a##b\"\n#:r \"two\nlines\" \"2\"\n");
    const EntryTexts q = readEntry(catalogue, "#:q");
    QCOMPARE(q.first, QByteArray("x\"y"));
    QCOMPARE(q.second, QByteArray("a#b"));
    const EntryTexts r = readEntry(catalogue, "#:r");
    QCOMPARE(r.first, QByteArray("two\nlines"));
    QVERIFY(entryProblems(catalogue).isEmpty());
}

void TestCatalogueKeys::headerIsChecked_data()
{
    QTest::addColumn<QByteArray>("catalogue");
    QTest::addColumn<bool>("valid");

    QTest::newRow("LLS") << QByteArray("LLS\n") << true;
    QTest::newRow("LLS CRLF") << QByteArray("LLS\r\n; x\r\n") << true;
    QTest::newRow("lower case") << QByteArray("lls\n") << false;
    QTest::newRow("too short") << QByteArray("LL") << false;
    QTest::newRow("no line break") << QByteArray("LLS #:a \"A\" \"B\"") << false;
    QTest::newRow("umlaut as Latin-1") << QByteArray("LLS\n#:a \"A\" \"\xfc\"\n") << false;
    QTest::newRow("umlaut as UTF-8") << QByteArray("LLS\n#:a \"A\" \"\xc3\xbc\"\n") << true;
}

void TestCatalogueKeys::headerIsChecked()
{
    QFETCH(QByteArray, catalogue);
    QFETCH(bool, valid);
    QCOMPARE(formatProblems(catalogue).isEmpty(), valid);
}

void TestCatalogueKeys::literalMustBeWholeKey_data()
{
    QTest::addColumn<QByteArray>("literal");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("whole key") << QByteArray("#:log_on") << true;
    QTest::newRow("whole longer key") << QByteArray("#:log_on_denied") << true;
    QTest::newRow("key with a blank") << QByteArray("#:in use") << true;
    QTest::newRow("bare marker") << QByteArray("#:") << true;
    QTest::newRow("start of a key") << QByteArray("#:log_on_den") << false;
    QTest::newRow("one letter of a key") << QByteArray("#:l") << false;
    QTest::newRow("key with more behind") << QByteArray("#:log_on_denied_x") << false;
    QTest::newRow("only inside a text") << QByteArray("#:ghost") << false;
    QTest::newRow("one text only") << QByteArray("#:half") << false;
}

void TestCatalogueKeys::literalMustBeWholeKey()
{
    QFETCH(QByteArray, literal);
    QFETCH(bool, accepted);
    const QByteArray catalogue("LLS\n#:log_on \"C\" \"D\"\n#:log_on_denied \"A\" \"B\"\n"
                               "#:in use \"E\" \"F\"\n#:see \"the ##:ghost key\" \"G\"\n#:half \"H\"\n");
    const QString problem = literalProblem(catalogue, entryKeys(catalogue), literal);
    QVERIFY2(problem.isEmpty() == accepted, qPrintable(problem));
}

void TestCatalogueKeys::catalogueHasValidHeader()
{
    const QStringList problems = formatProblems(m_catalogue);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestCatalogueKeys::catalogueEntriesAreReachable()
{
    QVERIFY(!parseEntries(m_catalogue).isEmpty());
    const QStringList problems = entryProblems(m_catalogue);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestCatalogueKeys::sourceKeysAreCatalogued()
{
    const QSet<QByteArray> keys = entryKeys(m_catalogue);

    // Blanks are allowed inside the literal because a few keys carry them.
    static const QRegularExpression literalPattern(QStringLiteral("\"(#:[^\"\\\\\r\n]*)\""));
    QStringList problems;
    int scanned = 0;
    for (const QString &area : {QStringLiteral("src"), QStringLiteral("tools")}) {
        const QString dir = sourceRoot() + QLatin1Char('/') + area;
        QVERIFY2(QDir(dir).exists(), qPrintable(dir + QStringLiteral(" is missing")));
        QDirIterator it(dir, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
            const QString source = QString::fromUtf8(file.readAll());
            ++scanned;
            const QString shown = QDir(sourceRoot()).relativeFilePath(path);
            auto matches = literalPattern.globalMatch(source);
            while (matches.hasNext()) {
                const QRegularExpressionMatch m = matches.next();
                const QString problem = literalProblem(m_catalogue, keys, m.captured(1).toUtf8());
                if (problem.isEmpty())
                    continue;
                const int line = int(QStringView(source).left(m.capturedStart()).count(QLatin1Char('\n'))) + 1;
                problems << QStringLiteral("%1:%2: \"%3\" %4").arg(shown).arg(line).arg(m.captured(1), problem);
            }
        }
    }
    QVERIFY(scanned > 0);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestCatalogueKeys)
#include "tst_catalogue_keys.moc"
