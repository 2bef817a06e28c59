#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// zarto's directory jobs run as a process, as a script would run them.
class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int code;
        QString out;
        QString err;
    };
    Run zarto(const QString &workDir, const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(workDir);
        p.start(QStringLiteral(ZARTO_EXECUTABLE), args);
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
                QString::fromLocal8Bit(p.readAllStandardError())};
    }

private slots:
    void importExportListing()
    {
        QTemporaryDir work;
        const QString xls = qEnvironmentVariable("ZARTO_TEST_DATA") + "/import/SpeedDB-biff8.xls";
        Run r = zarto(work.path(), {"--import", "speedbins", xls, "--auto-correct"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.out.contains("5 rows imported, 2 rejected"), qPrintable(r.out + r.err));
        QVERIFY(QFile::exists(work.filePath("Database/SpeedDB.mdb")));

        QVERIFY(QDir(work.path()).mkdir("out"));
        r = zarto(work.path(), {"--export", "speedbins", "sylk", work.filePath("out")});
        QCOMPARE(r.code, 0);
        QFile sylk(work.filePath("out/SpeedDB.slk"));
        QVERIFY(sylk.open(QIODevice::ReadOnly));
        const QByteArray bytes = sylk.readAll();
        QVERIFY(bytes.startsWith("ID;ZARTO\r\nB;Y5;X6\r\n"));
        QVERIFY(bytes.contains("C;X2;Y3;K\"BETA\"\r\n"));
        QVERIFY(bytes.contains("C;X5;Y2;K\"5\"\r\n")); // line 5 stored as 4, shown as 5 again
        QVERIFY(bytes.contains("C;X6;Y4;K\"memo;; with semicolon\"\r\n"));
        QVERIFY(bytes.endsWith("\r\nE"));

        r = zarto(work.path(), {"--listing", "speedbins", work.filePath("out")});
        QCOMPARE(r.code, 0);
        QVERIFY(QFile::exists(work.filePath("out/SpeedDB.txt")));
    }

    void failuresExitNonZero()
    {
        QTemporaryDir work;
        Run r = zarto(work.path(), {"--import", "phonenumbers", work.filePath("missing.xls")});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains("Database error") || r.err.contains("#:xl_excel_file_not_exist"), qPrintable(r.err));
        r = zarto(work.path(), {"--export", "phonenumbers", "sylk", work.filePath("no/such")});
        QCOMPARE(r.code, 1);
        r = zarto(work.path(), {"--export", "phonebook", "sylk", work.path()});
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains("usage:"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_cmdline.moc"
