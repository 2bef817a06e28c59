// Who is calling, at full size: 2000 stations, 3000 speed bins and 100,000
// phone numbers. Prints how long the start takes to read the directory files
// into the caller-name index, what one write through a directory costs, and
// how long the look-up of one ringing caller takes (known in each source,
// and unknown).

#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CallerNameIndex.h"
#include "directories/CPhoneBookDB.h"
#include "directories/CallerNameReader.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryFiles.h"
#include "directories/DirectoryTable.h"
#include "directories/PhoneNoDirectory.h"
#include "directories/StationDirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int PhoneNumbers = 100000;
constexpr int Stations = 2000;
constexpr int FirstBin = 2000;
constexpr int LastBin = 4999;
const QString Locale = QStringLiteral(";LANGID=0x0409;CP=1252;COUNTRY=0");

QString phoneNumber(int i)
{
    return QStringLiteral("+49 (30) %1-%2").arg(5000 + i / 100).arg(i % 100, 2, 10, QLatin1Char('0'));
}
QString phoneDigits(int i)
{
    return CallerNameIndex::digitsOf(phoneNumber(i));
}
QString binNumber(int bin)
{
    return QStringLiteral("0711%1").arg(bin * 7);
}

// The files as an earlier run left them, written in one transaction each.
void fillFiles(const QString &folder, const Clock &clock)
{
    QDir().mkpath(folder);
    {
        DirectoryFileBuilder phone(DirectoryTable::phoneNo(), Locale, clock);
        phone.OpenOrCreate(QDir(folder).filePath(QStringLiteral("PhoneDB.mdb")));
        QSqlDatabase db = phone.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO PhoneNo (Name, PhoneNo, Memo) VALUES (?, ?, ?)"));
        for (int i = 0; i < PhoneNumbers; ++i) {
            q.addBindValue(QStringLiteral("Customer %1").arg(i));
            q.addBindValue(phoneNumber(i));
            q.addBindValue(QStringLiteral(""));
            if (!q.exec())
                std::printf("insert: %s\n", qPrintable(q.lastError().text()));
        }
        db.commit();
    }
    {
        DirectoryFileBuilder speed(DirectoryTable::speedBin(), Locale, clock);
        speed.OpenOrCreate(QDir(folder).filePath(QStringLiteral("SpeedDB.mdb")));
        QSqlDatabase db = speed.database();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO SpeedBin (SpdNo, Name, Number, COType, CONo, Memo) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int bin = FirstBin; bin <= LastBin; ++bin) {
            q.addBindValue(bin);
            q.addBindValue(QStringLiteral("BIN %1").arg(bin));
            q.addBindValue(binNumber(bin));
            q.addBindValue(QStringLiteral("None"));
            q.addBindValue(255);
            q.addBindValue(QStringLiteral(""));
            q.exec();
        }
        db.commit();
    }
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Average microseconds of one look-up of each caller of the list.
double lookUpUs(const CallerNameIndex &index, const QStringList &callers, int rounds, int *found)
{
    *found = 0;
    QElapsedTimer t;
    t.start();
    for (int r = 0; r < rounds; ++r) {
        for (const QString &caller : callers)
            *found += index.nameFor(caller).isEmpty() ? 0 : 1;
    }
    return double(t.nsecsElapsed()) / 1e3 / (double(rounds) * double(callers.size()));
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Database"));
    ManualClock clock;
    ManualTimerHost timers;
    OperatorUiRecorder ui;

    QElapsedTimer t;
    t.start();
    fillFiles(folder, clock);
    std::printf("files written: %d phone numbers, %d speed bins (%.0f ms)\n", PhoneNumbers, LastBin - FirstBin + 1,
                msSince(t));

    // The start: the files opened without the index, then with it.
    {
        DirectoryFiles files(ui, clock, timers);
        t.restart();
        files.open(folder);
        std::printf("open the directory files without the index: %.1f ms\n", msSince(t));
    }
    CallerNameIndex index;
    DirectoryFiles files(ui, clock, timers);
    files.setCallerNames(&index);
    t.restart();
    files.open(folder);
    std::printf("open the directory files with the index:    %.1f ms (phone numbers %d, speed bins %d)\n", msSince(t),
                index.size(CallerNameIndex::PhoneNumbers), index.size(CallerNameIndex::SpeedBins));
    t.restart();
    const QList<CallerNameIndex::Entry> entries = CallerNameReader::phoneNumbers(files.phoneNumbers()->database());
    const double readMs = msSince(t);
    CallerNameIndex scratch;
    t.restart();
    scratch.replace(CallerNameIndex::PhoneNumbers, entries);
    std::printf("  of it: one query for %lld phone numbers %.1f ms, building their index %.1f ms\n",
                qint64(entries.size()), readMs, msSince(t));

    // The stations as the PBX reports them after log-on: one write each.
    StationDirectory &stations = *files.stations();
    t.restart();
    for (int port = 1; port <= Stations; ++port)
        stations.writeStation(quint16(port), QString::number(1000 + port), QStringLiteral("EXT%1").arg(1000 + port));
    stations.commitBatch();
    std::printf("%d station write-throughs with the index kept current: %.1f ms (%.1f us each)\n", Stations,
                msSince(t), msSince(t) * 1000.0 / Stations);

    // An operator's edit of one phone number.
    PhoneNoDirectory &phone = *files.phoneNumbers();
    t.restart();
    const std::optional<PhoneNoEntry> entry = phone.findByName(QStringLiteral("Customer 4711"));
    const double findMs = msSince(t);
    if (entry) {
        t.restart();
        phone.modifyEntry({entry->index, entry->name, QStringLiteral("0800 4711"), QString()}, *entry, ui);
        std::printf("modify one phone number: %.2f ms (its look-up by name before: %.2f ms)\n", msSince(t), findMs);
    }

    // One look-up per ring.
    QStringList phoneCallers, binCallers, stationCallers, unknown;
    for (int i = 0; i < 1000; ++i) {
        phoneCallers << phoneDigits((i * 97) % PhoneNumbers);
        binCallers << binNumber(FirstBin + (i * 7) % (LastBin - FirstBin + 1));
        stationCallers << QString::number(1001 + (i * 13) % Stations);
        unknown << QStringLiteral("089%1").arg(100000 + i);
    }
    int found = 0;
    const int rounds = 200;
    double us = lookUpUs(index, phoneCallers, rounds, &found);
    std::printf("look-up, caller in the phone numbers: %.3f us (%d of %lld found)\n", us, found / rounds,
                qint64(phoneCallers.size()));
    us = lookUpUs(index, binCallers, rounds, &found);
    std::printf("look-up, caller in the speed bins:    %.3f us (%d of %lld found)\n", us, found / rounds,
                qint64(binCallers.size()));
    us = lookUpUs(index, stationCallers, rounds, &found);
    std::printf("look-up, caller a station:            %.3f us (%d of %lld found)\n", us, found / rounds,
                qint64(stationCallers.size()));
    us = lookUpUs(index, unknown, rounds, &found);
    std::printf("look-up, caller unknown:              %.3f us (%d of %lld found)\n", us, found / rounds,
                qint64(unknown.size()));
    return 0;
}
