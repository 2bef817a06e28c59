#include "FileTestSupport.h"
#include "ManualClock.h"
#include "Recorders.h"

#include "directories/DirectoryExport.h"
#include "directories/TextExport.h"

#include <QFile>
#include <QMap>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
// Reads the text cells of a SYLK file the way a strict spreadsheet program
// does: ";;" inside a text is one ";", a lone ";" ends the text, a quote is
// taken as it stands and the last one closes the text.
QMap<QPair<int, int>, QString> readSylk(const QByteArray &file)
{
    QMap<QPair<int, int>, QString> cells;
    for (const QByteArray &raw : file.split('\n')) {
        const QByteArray line = raw.endsWith('\r') ? raw.chopped(1) : raw;
        if (!line.startsWith("C;"))
            continue;
        int x = 0, y = 0;
        qsizetype i = 2;
        while (i < line.size()) {
            const char field = line.at(i);
            if (field == 'K') {
                QByteArray text;
                for (++i; i < line.size(); ++i) {
                    if (line.at(i) == ';') {
                        if (i + 1 < line.size() && line.at(i + 1) == ';')
                            ++i;
                        else
                            break;
                    }
                    text += line.at(i);
                }
                if (text.startsWith('"') && text.endsWith('"') && text.size() >= 2)
                    text = text.mid(1, text.size() - 2);
                cells[{x, y}] = QString::fromUtf8(text);
                continue;
            }
            const qsizetype end = line.indexOf(';', i);
            const QByteArray value = line.mid(i + 1, (end < 0 ? line.size() : end) - i - 1);
            if (field == 'X')
                x = value.toInt();
            else if (field == 'Y')
                y = value.toInt();
            i = end < 0 ? line.size() : end + 1;
        }
    }
    return cells;
}

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    return !decoder.hasError() && !text.contains(QChar::ReplacementCharacter);
}
} // namespace

class TestExport : public QObject
{
    Q_OBJECT

private:
    QByteArray exportOnce(int directory, int format, const QList<QVariantList> &rows, bool sorting = true)
    {
        QTemporaryDir dir;
        const bool speed = directory == DirectoryExport::SpeedBins;
        if (!fillDirectory(dir.path(), speed ? DirectoryTable::speedBin() : DirectoryTable::phoneNo(),
                           speed ? "SpeedDB.mdb" : "PhoneDB.mdb", rows))
            return "fill failed";
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryExport job(ui, clock, dir.path());
        if (!job.run({directory, format, dir.path(), true, sorting}))
            return "export failed";
        if (ui.texts() != QStringList{"#:xp_db_export_finished"})
            return ui.texts().join(',').toUtf8();
        QFile f(job.targetPath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

private slots:
    void bytes_data()
    {
        QTest::addColumn<int>("directory");
        QTest::addColumn<int>("format");
        QTest::addColumn<QList<QVariantList>>("rows");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray speedHead = "ID;ZARTO\r\nB;Y%1;X6\r\nF;W1 1 7\r\nF;W2 2 19\r\nF;W3 3 27\r\nF;W4 4 8\r\nF;W5 5 5\r\n"
                                     "F;W6 6 14\r\nC;X1;Y1;K\"SpdNo\"\r\nC;X2;Y1;K\"Name\"\r\nC;X3;Y1;K\"Number\"\r\n"
                                     "C;X4;Y1;K\"COType\"\r\nC;X5;Y1;K\"CONo\"\r\nC;X6;Y1;K\"Memo\"\r\n";
        QTest::newRow("sylk empty speed bins")
            << 0 << 0 << QList<QVariantList>{} << (QByteArray(speedHead).replace("%1", "1") + "E");
        QTest::newRow("sylk speed bins: CO numbers, memo cleaning, sort")
            << 0 << 0
            << QList<QVariantList>{{2002, "G", "3", "Group", 4, "a;b"},
                                   {2001, "L", "2", "Line", 4, "two\r\nlines"},
                                   {2003, "N", "4", "None", 4, ""},
                                   {2004, "Z", "5", "Line", 255, "\"q\""}}
            << (QByteArray(speedHead).replace("%1", "5")
                + "C;X1;Y2;K\"2001\"\r\nC;X2;Y2;K\"L\"\r\nC;X3;Y2;K\"2\"\r\nC;X4;Y2;K\"Line\"\r\nC;X5;Y2;K\"5\"\r\n"
                  "C;X6;Y2;K\"two  lines\"\r\n"
                  "C;X1;Y3;K\"2002\"\r\nC;X2;Y3;K\"G\"\r\nC;X3;Y3;K\"3\"\r\nC;X4;Y3;K\"Group\"\r\nC;X5;Y3;K\"4\"\r\n"
                  "C;X6;Y3;K\"a;;b\"\r\n"
                  "C;X1;Y4;K\"2003\"\r\nC;X2;Y4;K\"N\"\r\nC;X3;Y4;K\"4\"\r\nC;X4;Y4;K\"None\"\r\nC;X5;Y4;K\"\"\r\n"
                  "C;X6;Y4;K\"\"\r\n"
                  "C;X1;Y5;K\"2004\"\r\nC;X2;Y5;K\"Z\"\r\nC;X3;Y5;K\"5\"\r\nC;X4;Y5;K\"Line\"\r\nC;X5;Y5;K\"\"\r\n"
                  "C;X6;Y5;K\"\"q\"\"\r\nE");
        QTest::newRow("sylk empty phone numbers")
            << 1 << 0 << QList<QVariantList>{}
            << QByteArray("ID;ZARTO\r\nB;Y1;X3\r\nF;W1 1 25\r\nF;W2 2 25\r\nF;W3 3 25\r\nC;X1;Y1;K\"Name\"\r\n"
                          "C;X2;Y1;K\"PhoneNo\"\r\nC;X3;Y1;K\"Memo\"\r\nE");
        QTest::newRow("sylk phone numbers")
            << 1 << 0 << QList<QVariantList>{{"Müller", "0123", "x;\ny"}}
            << QByteArray("ID;ZARTO\r\nB;Y2;X3\r\nF;W1 1 25\r\nF;W2 2 25\r\nF;W3 3 25\r\nC;X1;Y1;K\"Name\"\r\n"
                          "C;X2;Y1;K\"PhoneNo\"\r\nC;X3;Y1;K\"Memo\"\r\nC;X1;Y2;K\"M\xc3\xbcller\"\r\n"
                          "C;X2;Y2;K\"0123\"\r\nC;X3;Y2;K\"x;; y\"\r\nE");

        const QByteArray heavy = QByteArray(80, '=') + "\r\n";
        const QByteArray light = QByteArray(80, '-') + "\r\n";
        QTest::newRow("text empty phone numbers")
            << 1 << 1 << QList<QVariantList>{}
            << (QByteArray(28, ' ') + "< Phone Number Database >\r\n\r\n" + heavy
                + " Name                       PhoneNo                    Memo\r\n" + light + heavy);
        QTest::newRow("text speed bins: memo pieces of 19 and at line feeds")
            << 0 << 1
            << QList<QVariantList>{{2000, "ALPHA", "0123", "Line", 4, "0123456789abcdefghiJKL\r\nend"},
                                   {2001, "", "9", "None", 0, ""}}
            << (QByteArray(29, ' ') + "< Speed Bin Database >\r\n\r\n" + heavy
                + " SpdNo Name             Number                   COType CONo Memo\r\n" + light
                + " 2000  ALPHA            0123                     Line   5    0123456789abcdefghi\r\n"
                + QByteArray(61, ' ') + "JKL\r\r\n" + QByteArray(61, ' ') + "end\r\n"
                + " 2001                   9                        None        \r\n" + heavy);
        QTest::newRow("text phone numbers: slices of 25")
            << 1 << 1
            << QList<QVariantList>{{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0", "1", "m"}}
            << (QByteArray(28, ' ') + "< Phone Number Database >\r\n\r\n" + heavy
                + " Name                       PhoneNo                    Memo\r\n" + light
                + " ABCDEFGHIJKLMNOPQRSTUVWXY  1                          m\r\n"
                + " Z0                                                    \r\n" + heavy);
    }

    void bytes()
    {
        QFETCH(int, directory);
        QFETCH(int, format);
        QFETCH(QList<QVariantList>, rows);
        QFETCH(QByteArray, expected);
        QCOMPARE(exportOnce(directory, format, rows), expected);
    }

    void sylkTextsReadBackUnchanged()
    {
        const QString name = QStringLiteral("Smith; \"Jo\" \u20ac");
        const QString number = QStringLiteral("+44 (20); 7946");
        const QByteArray phone = exportOnce(1, 0, {{name, number, "a;b\r\nc"}});
        const auto cells = readSylk(phone);
        QCOMPARE(cells.value({1, 2}), name);
        QCOMPARE(cells.value({2, 2}), number);
        QCOMPARE(cells.value({3, 2}), QStringLiteral("a;b  c"));

        const QByteArray speed = exportOnce(0, 0, {{2000, "A", "1", "None", 0, "say \"hi\"; twice;;"}});
        QCOMPARE(readSylk(speed).value({6, 2}), QStringLiteral("say \"hi\"; twice;;"));
    }

    // Fields and pieces are counted in characters; none is cut inside one,
    // however many bytes it takes ("\u20ac" 3, "\U0001F600" 4).
    void multiByteCharactersAtTheCut()
    {
        const QString euro = QStringLiteral("\u20ac");
        const QString smiley = QStringLiteral("\U0001F600");
        const QString cjk = QStringLiteral("\u4e2d");
        const QString name = QString(24, 'a') + smiley + QStringLiteral("\u00e4") + cjk;
        const QString number = QString(24, '1') + euro + QStringLiteral("2");
        const QString memo = QString(24, 'm') + smiley + cjk;
        const QByteArray text = exportOnce(1, 1, {{name, number, memo}});
        QVERIFY(validUtf8(text));
        const QStringList lines = QString::fromUtf8(text).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(5), QLatin1Char(' ') + QString(24, 'a') + smiley + QStringLiteral("  ") + QString(24, '1') + euro
                                  + QStringLiteral("  ") + QString(24, 'm') + smiley);
        QCOMPARE(lines.at(6), QStringLiteral(" \u00e4") + cjk + QString(23, ' ') + QStringLiteral("  2") + QString(24, ' ')
                                  + QStringLiteral("  ") + cjk);

        const QByteArray bins = exportOnce(0, 1, {{2000, "A", "1", "None", 0, QString(18, 'x') + smiley + "yz"}});
        QVERIFY(validUtf8(bins));
        QVERIFY(bins.contains(QString(18, 'x').toUtf8() + smiley.toUtf8() + "\r\n" + QByteArray(61, ' ') + "yz\r\n"));
    }

    void unsortedKeepsStoredOrder()
    {
        const QByteArray out = exportOnce(0, 0, {{2002, "B", "1", "None", 0, ""}, {2001, "A", "1", "None", 0, ""}}, false);
        QVERIFY(out.indexOf("K\"2002\"") < out.indexOf("K\"2001\""));
    }

    void memoPiecesOfListings()
    {
        // A full window with an odd count of printable ASCII characters is cut
        // one shorter; an even count is not.
        QCOMPARE(TextExport::memoPieces(QString(20, 'a'), 18, true), (QStringList{QString(18, 'a'), "aa"}));
        QCOMPARE(TextExport::memoPieces(QString(17, 'a') + QChar(0xe9) + "bb", 18, true),
                 (QStringList{QString(17, 'a'), QString(QChar(0xe9)) + "bb"}));
        QCOMPARE(TextExport::memoPieces(QString(16, 'a') + QChar(0xe9) + QChar(0xe9) + "b", 18, true),
                 (QStringList{QString(16, 'a') + QChar(0xe9) + QChar(0xe9), "b"}));
    }

    void backupAndFailures()
    {
        QTemporaryDir dir;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", {{"A", "1", ""}}));
        OperatorUiRecorder ui;
        ManualClock clock;
        DirectoryExport job(ui, clock, dir.path());

        QVERIFY(!job.run({DirectoryExport::NoDirectory, DirectoryExport::Text, dir.path(), true, true}));
        QCOMPARE(ui.texts(), QStringList{"#:xp_select_db_target"});
        QCOMPARE(ui.shown.first().title, QString("#:input_error"));

        QFile old(dir.filePath("PhoneDB.txt"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        ui.clear();
        QVERIFY(job.run({1, 1, dir.path(), true, true}));
        QFile backup(dir.filePath("PhoneDB.tx_"));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), QByteArray("old"));
        backup.close();

        // Without the option, the backup keeps what it had.
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("newer");
        old.close();
        QVERIFY(job.run({1, 1, dir.path(), false, true}));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE(backup.readAll(), QByteArray("old"));
        backup.close();
        QVERIFY(old.open(QIODevice::ReadOnly));
        QVERIFY(old.readAll().contains("< Phone Number Database >"));
        old.close();

        ui.clear();
        QVERIFY(!job.run({1, 1, dir.filePath("no/such/folder"), true, true}));
        QCOMPARE(ui.texts(), QStringList{"#:xp_cannot_create_target_file"});
        QCOMPARE(ui.shown.first().title, QString("#:database_error"));
    }
};

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
