#include "PbxHarness.h"

#include "Traffic.h"

#include "link/CLinkRequest.h"

#include <QMap>
#include <QSet>
#include <QTest>

using namespace pbxsim;

namespace {
QByteArray u16(int v)
{
    QByteArray out;
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
    return out;
}
} // namespace

// A bounded run of heavy random traffic with a console that keeps operating:
// no protocol error, a status picture that stays in step, and nothing that grows.
class TestPbxSoak : public QObject
{
    Q_OBJECT

private:
    // What the console believes, rebuilt from the events alone.
    struct Shadow
    {
        QMap<int, int> stations;
        QMap<int, int> lines;
        int own = -1;
        QSet<int> ringingLines;
        QSet<int> ringingStations;
        int unknown = 0;
        int events = 0;
    };

    static void apply(const QByteArray &m, Shadow &s)
    {
        ++s.events;
        const quint8 c = quint8(m.at(0));
        const auto at16 = [&m](int i) { return (quint8(m.at(i)) << 8) | quint8(m.at(i + 1)); };
        if (c == 0x83 || c == 0x84) {
            for (int i = 2; i + 3 <= m.size(); i += 3)
                (c == 0x83 ? s.stations : s.lines)[at16(i)] = quint8(m.at(i + 2));
        } else if (c == 0x85) {
            s.own = quint8(m.at(1));
        } else if (m.startsWith(QByteArray::fromHex("0803"))) {
            s.ringingLines.insert(at16(3));
        } else if (m.startsWith(QByteArray::fromHex("0804"))) {
            s.ringingLines.remove(at16(2));
        } else if (m.startsWith(QByteArray::fromHex("0801"))) {
            s.ringingStations.insert(at16(2));
        } else if (m.startsWith(QByteArray::fromHex("0802"))) {
            s.ringingStations.remove(at16(2));
        } else if (m.startsWith("?")) {
            ++s.unknown;
        }
    }

private Q_SLOTS:
    void trafficAtFiftyEventsASecond()
    {
        PbxConfig config = PbxHarness::testConfig();
        config.pingIntervalMs = 20000;
        config.talkMinMs = 5000;
        config.talkMaxMs = 60000;
        PbxHarness h(config);
        TrafficGenerator traffic(*h.model);
        Shadow shadow;
        const auto drain = [&] {
            for (const QByteArray &m : h.takeMessages()) {
                if (m == QByteArray::fromHex("000e"))
                    h.request(QByteArray::fromHex("000f"));
                apply(m, shadow);
            }
        };

        h.request(QByteArray::fromHex("000b"));
        h.request(QByteArray::fromHex("01050008010801010102010c010b010a0104"));
        QByteArray batch;
        for (int port = 1; port <= h.model->stationCount(); ++port) {
            batch += QByteArray::fromHex("0309") + u16(port);
            if (batch.size() >= 60 || port == h.model->stationCount()) {
                h.request(batch);
                batch.clear();
            }
        }
        h.request(QByteArray::fromHex("0201"));
        h.request(QByteArray::fromHex("0202030114"));
        drain();
        traffic.setRate(50);

        QRandomGenerator rng(99);
        const int seconds = 1200;
        int peakTimers = 0;
        for (int tick = 0; tick < seconds * 4; ++tick) {
            h.scheduler.advance(250);
            drain();
            QByteArray r;
            const int port = int(rng.bounded(2, h.model->stationCount() + 1));
            const int line = int(rng.bounded(1, h.model->lineCount() + 1));
            switch (rng.bounded(12)) {
            case 0:
                if (!shadow.ringingLines.isEmpty())
                    r = QByteArray::fromHex("05030030") + u16(*shadow.ringingLines.begin());
                break;
            case 1: r = QByteArray::fromHex("806b"); break;
            case 2: r = QByteArray::fromHex("806c"); break;
            case 3: r = QByteArray::fromHex("05020030") + u16(port); break;
            case 4: r = QByteArray::fromHex("8063") + QByteArray::fromHex("05020030") + u16(port) + QByteArray::fromHex("806b"); break;
            case 5: r = QByteArray::fromHex("0a01") + u16(int(rng.bounded(2000, 2100))); break;
            case 6: r = QByteArray::fromHex("0301") + u16(port) + QByteArray::fromHex("0308") + u16(port); break;
            case 7: r = QByteArray::fromHex("0401") + u16(line) + QByteArray::fromHex("0403") + u16(line); break;
            case 8: r = QByteArray::fromHex("0005"); break;
            case 9: {
                QByteArray codes;
                CLinkRequest::expandKeyString(QStringLiteral("T0421001050630H"), codes);
                r = QByteArray(1, char(0x81)) + char(codes.size()) + codes;
                break;
            }
            case 10: r = QByteArray::fromHex("0006"); break;
            default: r = QByteArray::fromHex("05030030") + u16(line); break;
            }
            if (!r.isEmpty())
                h.request(r);
            drain();
            peakTimers = qMax(peakTimers, h.scheduler.pendingCount());
            if (tick % 400 == 0)
                QVERIFY2(h.scheduler.pendingCount() <= h.model->stationCount() + h.model->lineCount() + 12,
                         qPrintable(QStringLiteral("%1 timers at %2 s").arg(h.scheduler.pendingCount()).arg(tick / 4)));
        }
        traffic.setRate(0);
        drain();
        qInfo("%d traffic events, %d events to the console, %d frames, peak %d timers", traffic.events(), shadow.events,
              h.session->framesSent(), peakTimers);

        QVERIFY(traffic.events() > seconds * 40);
        QCOMPARE(h.session->protocolErrors(), 0);
        QCOMPARE(h.session->framesDiscarded(), 0);
        QCOMPARE(shadow.unknown, 0);
        QCOMPARE(h.session->pendingOutput(), 0);
        QVERIFY(h.model->programmingLog().size() <= 500);
        // The console's picture agrees with the PBX.
        for (int i = 0; i < h.model->stationCount(); ++i)
            QCOMPARE(shadow.stations.value(i + 1), int(h.model->station(i).status));
        for (int i = 0; i < h.model->lineCount(); ++i)
            QCOMPARE(shadow.lines.value(i + 1), int(h.model->line(i).status));
        QCOMPARE(shadow.own, int(h.model->attendant().status));
        QSet<int> ringingLines;
        QSet<int> ringingStations;
        for (const PbxModel::Party &p : h.model->attendant().ringing)
            (p.kind == PbxModel::Party::Line ? ringingLines : ringingStations).insert(p.index + 1);
        QCOMPARE(shadow.ringingLines, ringingLines);
        QCOMPARE(shadow.ringingStations, ringingStations);
    }
};

QTEST_GUILESS_MAIN(TestPbxSoak)
#include "tst_pbxsim_soak.moc"
