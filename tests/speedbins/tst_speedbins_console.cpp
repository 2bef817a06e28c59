#include "../session/Harness.h"

#include "base/MessageCatalogue.h"
#include "base/TimerIds.h"
#include "directories/CPhoneBookDB.h"
#include "directories/DirectoryRecordset.h"
#include "directories/SpeedBinEditor.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
QByteArray be16(quint16 v)
{
    return QByteArray() + char(v >> 8) + char(v & 0xFF);
}
// SPDI_Rep of a bin: no CO line, number 12, name AB.
QByteArray reply(quint16 bin)
{
    return QByteArray::fromHex("0A0208") + be16(bin) + QByteArray::fromHex("0000120041") + QByteArray("B");
}
} // namespace

// The speed-bin directory inside the console: the range and the replies come
// through the download and the link dispatch, the log-on status window's
// group drives it, and its trim runs when all system information is in.
class TestSpeedBinsConsole : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void downloadAfterLogOn()
    {
        QTemporaryDir dir;
        Harness h;
        h.console.openDirectories(dir.path() + QStringLiteral("/Database"));
        CPhoneBookDB *db = h.console.speedBins();
        QVERIFY(db);
        // A bin above the PBX's range (2000 to 2099) is dropped after the download.
        db->setRange(2000, 4999);
        db->StoreBin(2100, QStringLiteral("GONE"), QStringLiteral("1"), 0, 0);

        h.logOn();
        for (int i = 0; i < 100 && !h.status.speedBinStage(); ++i)
            h.advance(1600);
        QVERIFY(h.status.speedBinStage());
        QCOMPARE(db->firstBin(), 2000);
        QCOMPARE(db->lastBin(), 2099);
        QVERIFY(h.status.speedBinChoicesEnabled());
        auto set = db->newRecordset();
        QVERIFY(set->open());
        QCOMPARE(set->count(), 0);

        h.pbx.sent.clear();
        h.status.startSpeedBins(false);
        QVERIFY(!h.status.speedBinChoicesEnabled());
        QCOMPARE(h.pbx.sent, QList<QByteArray>{QByteArray::fromHex("0A0107D0")});
        QVERIFY(db->isBusy());
        h.pbx.inject(reply(2000));
        QCOMPARE(h.pbx.sent.last(), QByteArray::fromHex("0A0107D1"));
        QCOMPARE(h.status.speedBinPosition(), 2000);
        QCOMPARE(h.status.speedBinLabelKey(), QStringLiteral("#:pb_now_processing_bin_no"));
        h.pbx.inject(reply(2099));
        QVERIFY(!db->isBusy());
        QVERIFY(db->isInitialised());
        QVERIFY(h.status.speedBinEnded());
        QCOMPARE(h.status.speedBinPosition(), 2099);
        QVERIFY(set->requery());
        QCOMPARE(set->count(), 2);
        QVERIFY(!h.timers.isActive(TimerId::SpeedSyncStep));
    }

    void skipAndEditThroughThePbx()
    {
        QTemporaryDir dir;
        Harness h;
        h.console.openDirectories(dir.path() + QStringLiteral("/Database"));
        CPhoneBookDB *db = h.console.speedBins();
        QVERIFY(db);
        h.logOn();
        for (int i = 0; i < 100 && !h.status.speedBinStage(); ++i)
            h.advance(1600);
        h.status.skipSpeedBins();
        QVERIFY(db->isInitialised());
        QVERIFY(db->downloadFailed() && db->uploadFailed());
        QVERIFY(h.status.speedBinEnded());

        h.pbx.sent.clear();
        SpeedBinEditor &e = db->editor();
        e.clear();
        e.edit({"2001", "ab", "12", "None", "", ""});
        e.add();
        QCOMPARE(h.pbx.sent.size(), 1);
        QVERIFY(h.pbx.sent[0].startsWith(QByteArray::fromHex("0A02")));
        h.pbx.inject(reply(2001));
        auto set = db->newRecordset();
        set->setFilter(QStringLiteral("SpdNo = 2001"));
        QVERIFY(set->open());
        QCOMPARE(set->count(), 1);
        QCOMPARE(db->mode(), int(CPhoneBookDB::Idle));
    }
};

QTEST_GUILESS_MAIN(TestSpeedBinsConsole)
#include "tst_speedbins_console.moc"
