#include "FileTestSupport.h"
#include "ManualClock.h"

#include "directories/ui/PrintJob.h"

#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    void graphicPagesToPdf()
    {
        QTemporaryDir dir;
        QList<QVariantList> rows;
        for (int i = 0; i < 150; ++i)
            rows.append({2000 + i, QString("NAME%1").arg(i), QString::number(100 + i), "Line", 1, i == 0 ? "memo" : ""});
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::speedBin(), "SpeedDB.mdb", rows));

        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath("out.pdf");
        printer->setOutputFileName(pdf);
        ManualClock clock;
        PrintJob job(clock, dir.path(), 11, std::move(printer));
        QSignalSpy status(&job, &PrintJob::statusText);
        QVERIFY(job.run());

        const QString text = pdfText(pdf);
        QVERIFY2(text.contains("< Speed Bin Database >"), qPrintable(text.left(400)));
        QVERIFY(text.contains("2000   NAME0") || text.contains("2000  NAME0"));
        QVERIFY(text.contains("NAME149"));
        // Every page ends with its number: one form feed between pages.
        const QStringList pages = text.split(QChar('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 2);
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(pages[i].trimmed().split('\n').last().trimmed(), QString::number(i + 1));
        QCOMPARE(status.first().first().toString(), QString("#:pm_create_db_text_file"));
        QCOMPARE(status.at(1).first().toString(), QString("#:pm_print_db_file : 1"));
        QCOMPARE(status.last().first().toString(), QString());
    }

    void rawPrintThroughTheProgram()
    {
        QTemporaryDir dir;
        QVERIFY(fillDirectory(dir.path(), DirectoryTable::phoneNo(), "PhoneDB.mdb", {{"A", "1", ""}}));
        ManualClock clock;
        PrintJob job(clock, dir.path(), 2);
        job.setRawPrintProgram("true");
        QVERIFY(job.run());
        QVERIFY(QFile::exists(dir.filePath("PhoneDB.txt")));
        PrintJob refused(clock, dir.path(), 2);
        refused.setRawPrintProgram("false");
        QVERIFY(!refused.run());
    }

    void aWorkerAtATime()
    {
        QTemporaryDir dir;
        ManualClock clock;
        auto *job = new PrintJob(clock, dir.path(), 3);
        job->setRawPrintProgram("true");
        QSignalSpy done(job, &PrintJob::finished);
        QVERIFY(job->start());
        PrintJob second(clock, dir.path(), 3);
        QVERIFY(!second.start());
        QVERIFY(done.wait(10000));
        QTRY_VERIFY(!PrintJob::isRunning());
    }
};

QTEST_MAIN(TestPrinting)
#include "tst_printing.moc"
