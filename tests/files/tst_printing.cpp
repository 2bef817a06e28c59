#include "FileTestSupport.h"
#include "ManualClock.h"

#include "directories/ui/ListingPrinter.h"
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

    // A listing that fills its last page exactly still gets that page's
    // number, and no empty page follows.
    void listingEndingAtAPageBoundary()
    {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir.filePath("out.pdf");
        printer.setOutputFileName(pdf);
        const int perPage = ListingPrinter::linesPerPage(printer);
        QVERIFY(perPage > 10);
        QFile listing(dir.filePath("PhoneDB.txt"));
        QVERIFY(listing.open(QIODevice::WriteOnly));
        for (int i = 1; i <= 2 * perPage; ++i)
            listing.write(QStringLiteral(" line %1\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1());
        listing.close();

        ListingPrinter printing(printer, 2);
        QList<int> begun;
        QVERIFY(printing.print(listing.fileName(), 2 * perPage, [&](int page) { begun.append(page); }));
        QCOMPARE(printing.pageCount(), 2);
        QCOMPARE(begun, (QList<int>{1, 2}));
        const QStringList pages = pdfText(pdf).split(QChar('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        const auto number = [](int n) { return QStringLiteral("line %1").arg(n, 3, 10, QLatin1Char('0')); };
        QVERIFY(pages[0].contains(number(perPage)));
        QVERIFY(!pages[0].contains(number(perPage + 1)));
        QVERIFY(pages[1].contains(number(perPage + 1)));
        QVERIFY(pages[1].contains(number(2 * perPage)));
        QCOMPARE(pages[1].trimmed().split('\n').last().trimmed(), QStringLiteral("2"));
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
