#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StationFinder.h"
#include "link/CLinkPort.h"

#include <QTest>

namespace {

QList<StationFinder::Entry> sample()
{
    return {
        {0, QStringLiteral("100"), QStringLiteral("RECEPTION"), QStringLiteral("Anna Berg")},
        {1, QStringLiteral("101"), QStringLiteral("KITCHEN"), QStringLiteral("Éclair Dupont")},
        {4, QStringLiteral("1100"), QStringLiteral("LOBBY"), QString()},
        {7, QStringLiteral("200"), QStringLiteral("Sales 10"), QStringLiteral("Bernd Müller")},
    };
}

QList<int> ports(StationFinder &finder, const QString &text)
{
    QList<int> out;
    for (int position : finder.find(text))
        out.append(finder.entry(position).index);
    return out;
}

} // namespace

// Find-as-you-type: which ports a typed text finds, and that narrowing at
// each key never loses or keeps a port that a fresh search would not.
class TestStationFinder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matches_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("number prefix") << "10" << QList<int>{0, 1, 7};
        QTest::newRow("number not in the middle") << "00" << QList<int>{};
        QTest::newRow("longer prefix") << "110" << QList<int>{4};
        QTest::newRow("name part") << "itch" << QList<int>{1};
        QTest::newRow("name in another case") << "Recep" << QList<int>{0};
        QTest::newRow("owner part") << "berg" << QList<int>{0};
        QTest::newRow("owner or name") << "ber" << QList<int>{0, 7};
        QTest::newRow("accents ignored") << "eclair" << QList<int>{1};
        QTest::newRow("accents typed") << "MÜLL" << QList<int>{7};
        QTest::newRow("blank finds all") << "  " << QList<int>{0, 1, 4, 7};
        QTest::newRow("nothing") << "zz" << QList<int>{};
    }
    void matches()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, expected);
        StationFinder finder;
        finder.setEntries(sample());
        QCOMPARE(ports(finder, text), expected);
    }

    void narrowingAndWideningAgreeWithAFreshSearch()
    {
        StationFinder typed;
        typed.setEntries(sample());
        // Typing, correcting, and typing something else, key by key.
        const QStringList keys = {"b", "be", "ber", "berg", "ber", "be", "b", "", "1", "10", "101", "10", "1", "e",
                                  "ec", "ecl"};
        for (const QString &text : keys) {
            StationFinder fresh;
            fresh.setEntries(sample());
            QCOMPARE(ports(typed, text), ports(fresh, text));
        }
        // New entries forget the last search.
        typed.find(QStringLiteral("kit"));
        typed.setEntries({{9, QStringLiteral("300"), QStringLiteral("KITCHEN 2"), QString()}});
        QCOMPARE(ports(typed, QStringLiteral("kit")), QList<int>{9});
    }

    void entriesOfTheTables()
    {
        ManualTimerHost timers;
        ManualClock clock;
        OperatorUiRecorder ui;
        FakeTransport transport;
        CLinkPort link(timers);
        link.setLanConnection(&transport);
        CExtStatusList stations(link, clock, ui);
        CTrkStatusList lines(link, clock, ui);
        stations.setCount(3);
        for (quint16 i = 0; i < 3; ++i) {
            stations.setPresence(i, 0);
            stations.setNumber(i, Nibbles::toNumber16(QString::number(20 + i)));
            stations.setName(i, QStringLiteral("EXT%1").arg(i));
        }
        stations.setFullName(1, QStringLiteral("Clara Ode"));
        stations.setPresence(2, 0xFF);
        StationFinder finder;
        finder.setEntries(StationFinder::stationEntries(stations));
        // An absent station has no button, so nothing finds it.
        QCOMPARE(finder.entryCount(), 2);
        QCOMPARE(ports(finder, QStringLiteral("ode")), QList<int>{1});
        QCOMPARE(ports(finder, QStringLiteral("2")), QList<int>({0, 1}));

        lines.setCount(12);
        finder.setEntries(StationFinder::lineEntries(lines, QStringLiteral("CO ")));
        // The line number from its start, or the text on the button.
        QCOMPARE(ports(finder, QStringLiteral("1")), QList<int>({0, 9, 10, 11}));
        QCOMPARE(ports(finder, QStringLiteral("co 07")), QList<int>{6});
    }
};

QTEST_GUILESS_MAIN(TestStationFinder)
#include "tst_StationFinder.moc"
