// Export, listing and import benchmark: exports 100,000 phone numbers to SYLK
// and to text, writes their listing, and imports 10,000 speed-bin rows from a
// real .xls (written by python3-xlwt; skipped without it). Prints the figures;
// targets: each export and the listing under 1 s, the import under 2 s.
#include "ManualClock.h"
#include "Recorders.h"

#include "directories/DirectoryExport.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryImport.h"
#include "directories/DirectoryListing.h"
#include "directories/DirectoryRecords.h"
#include "directories/DirectoryRecordset.h"
#include "directories/SylkWriter.h"
#include "directories/TextExport.h"
#include "directories/DirectoryTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int PhoneNumbers = 100000;
constexpr int SpeedBinRows = 10000;

bool fillPhoneNumbers(const QString &folder, const ManualClock &clock)
{
    DirectoryFileBuilder builder(DirectoryTable::phoneNo(), DirectoryFileBuilder::localeForLanguage(0x0409), clock);
    if (builder.OpenOrCreate(QDir(folder).filePath(QStringLiteral("PhoneDB.mdb")))
        == DirectoryFileBuilder::Result::Failed)
        return false;
    QSqlDatabase db = builder.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO PhoneNo (Name, PhoneNo, Memo) VALUES (?, ?, ?)"));
    for (int i = 0; i < PhoneNumbers; ++i) {
        q.addBindValue(QStringLiteral("Name %1 M\u00fcller-%2").arg(i, 6, 10, QLatin1Char('0')).arg(PhoneNumbers - i));
        q.addBindValue(QStringLiteral("+49 (30) %1").arg(1000000 + i));
        q.addBindValue(i % 3 ? QStringLiteral("") : QStringLiteral("memo; with a second line\r\nand some more text %1").arg(i));
        if (!q.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return false;
        }
    }
    return db.commit();
}

// Runs f once and prints its time against the target.
bool timed(const char *what, double targetMs, const std::function<bool()> &f)
{
    QElapsedTimer t;
    t.start();
    const bool ok = f();
    const double ms = t.nsecsElapsed() / 1e6;
    std::printf("%-44s %9.1f ms  (target %5.0f ms)%s\n", what, ms, targetMs,
                !ok ? "  FAILED" : ms > targetMs ? "  over target" : "");
    return ok;
}

bool writeSpeedBinSheet(const QString &path)
{
    const QString script = QStringLiteral(
        "import sys, xlwt\n"
        "book = xlwt.Workbook()\n"
        "ws = book.add_sheet('SpeedDB')\n"
        "for c, h in enumerate(['SpdNo', 'Name', 'Number', 'COType', 'CONo', 'Memo']):\n"
        "    ws.write(0, c, h)\n"
        "types = ['Line', 'Group', 'None']\n"
        "for r in range(1, %1 + 1):\n"
        "    t = types[r % 3]\n"
        "    ws.write(r, 0, 2000 + r % 3000)\n"
        "    ws.write(r, 1, 'NAME %d' % r)\n"
        "    ws.write(r, 2, '0%d' % (3000000 + r))\n"
        "    ws.write(r, 3, t)\n"
        "    ws.write(r, 4, '' if t == 'None' else 1 + r % 72)\n"
        "    ws.write(r, 5, 'memo of row %d' % r)\n"
        "book.save(sys.argv[1])\n")
                               .arg(SpeedBinRows);
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), script, path});
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    ManualClock clock;
    OperatorUiRecorder ui;

    QElapsedTimer fill;
    fill.start();
    if (!fillPhoneNumbers(dir.path(), clock)) {
        std::fprintf(stderr, "cannot fill the phone-number directory\n");
        return 1;
    }
    std::printf("%d phone numbers stored in %.0f ms\n", PhoneNumbers, fill.nsecsElapsed() / 1e6);

    // Where the time of an export goes: reading the sorted directory, making the bytes.
    {
        DirectoryFileBuilder builder(DirectoryTable::phoneNo(), DirectoryFileBuilder::localeForLanguage(0x0409), clock);
        builder.OpenOrCreate(QDir(dir.path()).filePath(QStringLiteral("PhoneDB.mdb")));
        QList<DirectoryRecords::PhoneNo> records;
        for (const char *sort : {"", "Name ASC"}) {
            timed(*sort ? "  reading the records sorted by Name" : "  reading the records unsorted", 1000, [&] {
                DirectoryRecordset set(builder.database(), DirectoryTable::phoneNo());
                set.setSort(QString::fromLatin1(sort));
                if (!set.open())
                    return false;
                records = DirectoryRecords::phoneNumbers(set);
                return records.size() == PhoneNumbers;
            });
        }
        timed("  SYLK bytes of the records", 1000, [&] { return !SylkWriter::phoneNumbers(records).isEmpty(); });
        timed("  text bytes of the records", 1000, [&] { return !TextExport::phoneNumbers(records).isEmpty(); });
    }

    DirectoryExport exporter(ui, clock, dir.path());
    bool ok = true;
    ok &= timed("export of 100,000 phone numbers, SYLK", 1000, [&] {
        return exporter.run({DirectoryExport::PhoneNumbers, DirectoryExport::Sylk, dir.path(), true, true});
    });
    std::printf("%-44s %9.1f MB\n", "  SYLK file", QFileInfo(exporter.targetPath()).size() / 1e6);
    ok &= timed("export of 100,000 phone numbers, text", 1000, [&] {
        return exporter.run({DirectoryExport::PhoneNumbers, DirectoryExport::Text, dir.path(), true, true});
    });
    DirectoryListing listing(clock, dir.path(), dir.path());
    ok &= timed("listing of 100,000 phone numbers", 1000, [&] { return listing.write(DirectoryListing::PhoneNumbers); });
    std::printf("%-44s %9d lines\n", "  listing", listing.lineCount());

    const QString sheet = dir.filePath(QStringLiteral("bins.xls"));
    if (!writeSpeedBinSheet(sheet)) {
        std::printf("import: skipped (/usr/bin/python3 with xlwt cannot write the sheet)\n");
    } else {
        DirectoryImport importer(ui, clock, dir.path());
        ok &= timed("import of 10,000 speed-bin rows from .xls", 2000, [&] {
            return importer.run({DirectoryImport::SpeedBins, 0, sheet, true, false});
        });
        std::printf("%-44s %9d rows written, %lld rejected\n", "  import", importer.writtenRows(),
                    qint64(importer.rejectedRows().size()));
    }
    return ok ? 0 : 1;
}
