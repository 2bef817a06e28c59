#include "FakeTransport.h"
#include "ManualTimerHost.h"

#include "base/TimerIds.h"
#include "keyset/KeyDisplay.h"
#include "keyset/KeyLamp.h"
#include "keyset/KeyTelephone.h"
#include "keyset/KeyTelephoneKeys.h"
#include "keyset/SmallKeyPad.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "link/LinkDispatcher.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using Lamps = QList<QList<int>>; // index, colour, pattern
using Commands = QList<QByteArray>; // each: command, d1, d2

Q_DECLARE_METATYPE(SmallKeyPad::Button)

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

QByteArray text(const char *s)
{
    return QByteArray(s);
}

QString blanks(int n)
{
    return QString(n, QLatin1Char(' '));
}

} // namespace

class TestKeyset : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_timers = std::make_unique<ManualTimerHost>();
        m_link = std::make_unique<CLinkPort>(*m_timers);
        m_lan = std::make_unique<FakeTransport>();
        m_link->setLanConnection(m_lan.get());
        m_request = std::make_unique<CLinkRequest>(*m_link);
        m_phone = std::make_unique<KeyTelephone>(*m_request, *m_timers);
    }

    void cleanup()
    {
        m_phone.reset();
        m_request.reset();
        m_link.reset();
        m_lan.reset();
        m_timers.reset();
    }

    void lampCommands_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<Lamps>("lamps");
        QTest::newRow("single, only the nibbles not 0xF") << bytes({0x21, 0xFF, 0xF3}) << Lamps{{5, 3, 3}};
        QTest::newRow("single, nibble order d2 low first, red")
            << bytes({0x00, 0x12, 0x34}) << Lamps{{1, 2, 4}, {2, 2, 3}, {3, 2, 2}, {4, 2, 1}};
        QTest::newRow("single, last group") << bytes({0x2F, 0x0F, 0xFF}) << Lamps{{64, 3, 0}};
        QTest::newRow("0x10 to 0x1F are not lamps") << bytes({0x11, 0x00, 0x00}) << Lamps{};
        QTest::newRow("0x30 to 0x3F are not lamps") << bytes({0x31, 0x00, 0x00}) << Lamps{};
        QTest::newRow("bulk bits, green")
            << bytes({0x4E, 0x82, 0x05})
            << Lamps{{17, 3, 16}, {18, 3, 0}, {19, 3, 16}, {20, 3, 0}, {21, 3, 0}, {22, 3, 0}, {23, 3, 0}, {24, 3, 0}};
        QTest::newRow("bulk bits, last row red")
            << bytes({0x4E, 0x0F, 0x80})
            << Lamps{{121, 2, 0}, {122, 2, 0}, {123, 2, 0}, {124, 2, 0}, {125, 2, 0}, {126, 2, 0}, {127, 2, 0}, {128, 2, 16}};
        QTest::newRow("bulk one lamp") << bytes({0x4E, 0x93, 0x45}) << Lamps{{0x35, 3, 5}};
        QTest::newRow("bulk one lamp, pattern 0xF sets nothing") << bytes({0x4E, 0x13, 0x4F}) << Lamps{};
        QTest::newRow("bulk one lamp beyond 128") << bytes({0x4E, 0x1F, 0xF1}) << Lamps{};
        QTest::newRow("bulk other kind") << bytes({0x4E, 0xA0, 0x12}) << Lamps{};
        QTest::newRow("ignored 0x40") << bytes({0x40, 0x00, 0x00}) << Lamps{};
        QTest::newRow("ignored 0x60") << bytes({0x60, 0x12, 0x34}) << Lamps{};
        QTest::newRow("ignored 0x80") << bytes({0x80, 0x12, 0x34}) << Lamps{};
    }

    void lampCommands()
    {
        QFETCH(QByteArray, command);
        QFETCH(Lamps, lamps);
        QSignalSpy set(&m_phone->lamps(), &LampTable::lampSet);
        m_phone->displayCommand(quint8(command[0]), quint8(command[1]), quint8(command[2]));
        Lamps got;
        for (const QList<QVariant> &args : set)
            got.append({args[0].toInt(), args[1].toInt(), args[2].toInt()});
        QCOMPARE(got, lamps);
        for (const QList<int> &l : lamps)
            QCOMPARE(m_phone->lamps().lamp(l[0]), (LampTable::Lamp{l[1], l[2]}));
    }

    void lampTableKeepsLampsUntilOwnStation()
    {
        LampTable &table = m_phone->lamps();
        table.set(0, 3, 1);
        table.set(129, 3, 1);
        QCOMPARE(table.lamp(0), LampTable::Lamp{});
        m_phone->displayCommand(0x24, 0xFF, 0xF1); // lamp 17, flexible key 17: no window needed
        QCOMPARE(table.lamp(17), (LampTable::Lamp{3, 1}));
        QSignalSpy cleared(&table, &LampTable::cleared);
        m_phone->ownStationKnown();
        QCOMPARE(cleared.count(), 1);
        QCOMPARE(table.lamp(17), LampTable::Lamp{});
    }

    void lampBlinkStates_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("lit"); // shown over the first ticks, 1 the colour
        QTest::newRow("0 steady off") << 0 << 0 << "00000000";
        QTest::newRow("1 steady on") << 1 << 0 << "11111111";
        QTest::newRow("3 even") << 3 << 500 << "10101010";
        QTest::newRow("4") << 4 << 250 << "11101000";
        QTest::newRow("6") << 6 << 125 << "1010100000000000";
        QTest::newRow("12") << 12 << 250 << "11011000";
        QTest::newRow("14") << 14 << 62 << "11011000";
    }

    void lampBlinkStates()
    {
        QFETCH(int, pattern);
        QFETCH(int, period);
        QFETCH(QString, lit);
        KeyLamp lamp;
        lamp.applyKeyCommand(KeyLamp::Red, pattern);
        QCOMPARE(lamp.period(), period);
        QCOMPARE(lamp.alternate(), int(KeyLamp::Grey));
        QString got;
        for (int i = 0; i < lit.size(); ++i) {
            got += lamp.isLit() ? QLatin1Char('1') : QLatin1Char('0');
            QCOMPARE(lamp.shownColour(), lamp.isLit() ? int(KeyLamp::Red) : int(KeyLamp::Grey));
            lamp.tick();
        }
        QCOMPARE(got, lit);
    }

    void lampRegisterWrapsAfter32Ticks()
    {
        KeyLamp lamp;
        lamp.applyKeyCommand(KeyLamp::Green, 2);
        for (int i = 0; i < 32; ++i)
            lamp.tick();
        QCOMPARE(lamp.blinkRegister(), 0x80000000u);
        QVERIFY(lamp.isLit());
    }

    void lampPatternsOfKeyCommands_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("after");
        QTest::newRow("16 turns a steady lamp off") << 1 << 16 << 0;
        QTest::newRow("16 leaves a blinking lamp") << 3 << 16 << 3;
        QTest::newRow("16 leaves an off lamp") << 0 << 16 << 0;
        QTest::newRow("15 keeps the pattern") << 4 << 15 << 4;
        QTest::newRow("plain pattern") << 1 << 10 << 10;
    }

    void lampPatternsOfKeyCommands()
    {
        QFETCH(int, before);
        QFETCH(int, command);
        QFETCH(int, after);
        KeyLamp lamp;
        lamp.set(KeyLamp::Blue, before, KeyLamp::Green);
        lamp.tick();
        lamp.applyKeyCommand(KeyLamp::Red, command);
        QCOMPARE(lamp.pattern(), after);
        QCOMPARE(lamp.colour(), int(KeyLamp::Red));
        QCOMPARE(lamp.alternate(), int(KeyLamp::Grey));
        QCOMPARE(lamp.blinkRegister(), 0x80000000u);
    }

    void argumentConversion_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("converted");
        QTest::newRow("digits") << 0x07 << "07";
        QTest::newRow("0xE is nothing") << 0xE5 << "5";
        QTest::newRow("0xB star, 0xA zero") << 0xBA << "*0";
        QTest::newRow("hash and blank") << 0xCD << "# ";
        QTest::newRow("dot and nothing") << 0xFE << ".";
    }

    void argumentConversion()
    {
        QFETCH(int, byte);
        QFETCH(QString, converted);
        QCOMPARE(KeyDisplay::convertArgument(quint8(byte)), converted);
    }

    // Display characters fed one by one; the three fields afterwards.
    void displayCharacters_data()
    {
        QTest::addColumn<QByteArray>("chars");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lowerLeft");
        QTest::addColumn<QString>("lowerRight");
        QTest::addColumn<int>("dateFormat");
        QTest::addColumn<int>("timeFormat");
        QTest::newRow("date, day first") << bytes({0xC1, 0x07, 0x12, 0x01, 201}) << "" << " DEC 07 01" << "" << 2 << 0;
        QTest::newRow("date, month first") << bytes({0xC1, 0x07, 0x12, 0x01, 202}) << "" << " 07 DEC 01" << "" << 1 << 0;
        QTest::newRow("month out of range shows nothing")
            << bytes({0xC1, 0x07, 0x13, 0x01, 202}) << "" << "" << "" << 1 << 0;
        QTest::newRow("whole display in slices of 12") << bytes({209}) + text("ABCDEFGHIJKLMN") << "ABCDEFGHIJKL"
                                                       << "MN" << blanks(12) << 0 << 0;
        QTest::newRow("text and blank runs") << bytes({0xFF}) + text("A") + bytes({0x82}) + text("B")
                                             << "A    B" << "" << "" << 0 << 0;
        QTest::newRow("0x88 to 0xBF are not shown") << bytes({0xFF, 'A', 0x88, 0xBF, 'B'}) << "AB" << "" << "" << 0 << 0;
        QTest::newRow("text before a reset is dropped") << bytes({'A', 'B'}) << "" << "" << "" << 0 << 0;
        QTest::newRow("lower left runs into lower right")
            << bytes({207}) + text("0123456789ABCD") << "" << "0123456789AB" << "CD" << 0 << 0;
        QTest::newRow("escape 0xC4 takes every byte up to a reset")
            << bytes({0xFF, 0xC4, 0x12, 0xC9, 0xFE, 0xAB, 0x80}) << "12#9.0*80" << "" << "" << 0 << 0;
        QTest::newRow("reset ends escape 0xC4") << bytes({0xC4, 0x12, 0xFF, 'X'}) << "X" << "" << "" << 0 << 0;
        QTest::newRow("station") << bytes({0xC5, 0x12, 0x34, 200}) << "    STATION 1234  ( )" << "" << "" << 0 << 0;
        QTest::newRow("time, 24 hours") << bytes({0xC2, 0x10, 0x30, 'p', 'm', 203}) << "" << ""
                                        << "   10:30 pm" << 0 << 1;
        QTest::newRow("time, 12 hours") << bytes({0xC2, 0x09, 0x05, ' ', ' ', 203}) << "" << ""
                                        << "      09:05   " << 0 << 2;
        QTest::newRow("minute escape") << bytes({0xC2, 0x10, 0x30, 'p', 'm', 0xC3, 0x45, 203}) << "" << ""
                                       << "   10:45 pm" << 0 << 1;
        QTest::newRow("surplus arguments change nothing")
            << bytes({0xC1, 0x07, 0x12, 0x01, 0x05, 0x09, 201}) << "" << " DEC 07 01" << "" << 2 << 0;
        QTest::newRow("escape 0xC0 swallows its arguments") << bytes({0xFF, 0xC0, 'A', 0x12, 'B'}) << "" << "" << ""
                                                           << 0 << 0;
        QTest::newRow("cursor in the upper line") << bytes({0xFF}) + text("HELLO") + bytes({0xC7, 2}) + text("Y")
                                                  << "HEY" << "" << "" << 0 << 0;
        QTest::newRow("cursor beyond a short text pads it")
            << bytes({0xFF}) + text("AB") + bytes({0xC7, 5}) + text("Z") << "AB   Z" << "" << "" << 0 << 0;
        QTest::newRow("cursor in the lower left field")
            << bytes({207}) + text("WXYZ") + bytes({0xC7, 26}) + text("Q") << "" << "WXQ" << "" << 0 << 0;
        QTest::newRow("cursor in the lower right field")
            << bytes({208}) + bytes({0xC7, 40}) + text("Q") << "" << "" << "    Q" << 0 << 0;
        QTest::newRow("cursor beyond the display leaves it")
            << bytes({0xFF}) + text("AB") + bytes({0xC7, 48}) << "AB" << "" << "" << 0 << 0;
        QTest::newRow("screen command 206 empties the current part")
            << bytes({0xFF}) + text("AB") + bytes({206}) << "" << "" << "" << 0 << 0;
    }

    void displayCharacters()
    {
        QFETCH(QByteArray, chars);
        QFETCH(QString, upper);
        QFETCH(QString, lowerLeft);
        QFETCH(QString, lowerRight);
        QFETCH(int, dateFormat);
        QFETCH(int, timeFormat);
        KeyDisplay &d = m_phone->display();
        for (char c : chars)
            d.displayCharacter(quint8(c));
        QCOMPARE(d.upperLine(), upper);
        QCOMPARE(d.lowerLeft(), lowerLeft);
        QCOMPARE(d.lowerRight(), lowerRight);
        QCOMPARE(d.dateFormatState(), dateFormat);
        QCOMPARE(d.timeFormatState(), timeFormat);
    }

    void displayCommands_data()
    {
        QTest::addColumn<Commands>("commands");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lowerLeft");
        QTest::addColumn<QString>("lowerRight");
        QTest::addColumn<int>("timeFormat");
        QTest::newRow("0x4F carries two characters in order")
            << Commands{bytes({0x4F, 0xFF, 'O'}), bytes({0x4F, 'K', '!'})} << "OK!" << "" << "" << 0;
        QTest::newRow("clear the upper line") << Commands{bytes({0x41, 0, 1})} << blanks(24) << "" << "" << 0;
        QTest::newRow("clear the lower halves")
            << Commands{bytes({0x41, 0, 2}), bytes({0x41, 0, 3})} << "" << blanks(12) << blanks(12) << 0;
        QTest::newRow("0x41 with another d2") << Commands{bytes({0x41, 0, 4})} << "" << "" << "" << 0;
        QTest::newRow("time, am") << Commands{bytes({0x53, 0x11, 0x22}), bytes({0x54, 'a', 'm'})} << "" << ""
                                  << "   11:22 am" << 1;
        QTest::newRow("time without a/p") << Commands{bytes({0x53, 0x23, 0x59}), bytes({0x54, ' ', ' '})} << "" << ""
                                          << "      23:59   " << 2;
        QTest::newRow("date by unknown state")
            << Commands{bytes({0x50, 0x00, 0x03}), bytes({0x51, 0x10, 0x25})} << "" << " OCT 25 03" << "" << 0;
        QTest::newRow("date again on 0x41 0x0B")
            << Commands{bytes({0x51, 0x10, 0x25}), bytes({0x41, 0x00, 0x02}), bytes({0x41, 0x0B, 0x00})}
            << " OCT 25 01" << " OCT 25 01" << "" << 0;
        QTest::newRow("time again on 0x41 0x03") << Commands{bytes({0x53, 0x08, 0x15}), bytes({0x41, 0x03, 0x00})} << ""
                                                 << "" << "      08:15 " << 0;
        QTest::newRow("ignored commands")
            << Commands{bytes({0x52, 1, 2}), bytes({0x56, 1, 2}), bytes({0x41, 7, 0}), bytes({0x7F, 1, 2})} << "" << ""
            << "" << 0;
    }

    void displayCommands()
    {
        QFETCH(Commands, commands);
        QFETCH(QString, upper);
        QFETCH(QString, lowerLeft);
        QFETCH(QString, lowerRight);
        QFETCH(int, timeFormat);
        for (const QByteArray &c : commands)
            m_phone->displayCommand(quint8(c[0]), quint8(c[1]), quint8(c[2]));
        const KeyDisplay &d = m_phone->display();
        QCOMPARE(d.upperLine(), upper);
        QCOMPARE(d.lowerLeft(), lowerLeft);
        QCOMPARE(d.lowerRight(), lowerRight);
        QCOMPARE(d.timeFormatState(), timeFormat);
    }

    void fieldsChangedOnlyOnChange()
    {
        QSignalSpy changed(&m_phone->display(), &KeyDisplay::fieldsChanged);
        m_phone->displayCommand(0x41, 0, 1);
        m_phone->displayCommand(0x41, 0, 1);
        QCOMPARE(changed.count(), 1);
        m_phone->displayCommand(0x4F, 'A', 0x88);
        QCOMPARE(changed.count(), 2);
    }

    void callTimerCountsAndStopsAt59()
    {
        KeyDisplay &d = m_phone->display();
        m_phone->displayCommand(0x55, 0x05, 0x01);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:05:00"));
        QCOMPARE(m_timers->period(TimerId::CallTimer), 1000);
        m_timers->advance(999);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:05:00"));
        m_timers->advance(1);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:05:01"));
        m_timers->advance(58000);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:05:59"));
        m_timers->advance(5000);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:05:59"));
        m_phone->displayCommand(0x55, 0x06, 0x01);
        m_timers->advance(1000);
        QCOMPARE(d.lowerRight(), QStringLiteral("   01:06:01"));
    }

    void callTimerEscapeWritesIntoItsPart()
    {
        KeyDisplay &d = m_phone->display();
        for (int b : {205, 204, 0xC6, 0x30, 0x02})
            d.displayCharacter(quint8(b));
        QCOMPARE(d.upperLine(), QStringLiteral("02:30:00"));
        QVERIFY(m_timers->isActive(TimerId::CallTimer));
        m_timers->advance(2000);
        QCOMPARE(d.upperLine(), QStringLiteral("02:30:02"));
        // The pending flag is spent, so the text mode stays off.
        d.displayCharacter('A');
        QCOMPARE(d.upperLine(), QStringLiteral("02:30:02"));
        // Showing anything else in the timer's part stops it.
        d.displayCharacter(205);
        QVERIFY(!m_timers->isActive(TimerId::CallTimer));
        QVERIFY(!d.callTimerFlag());
    }

    void callTimerEscapeWithoutPendingTurnsTextOn()
    {
        KeyDisplay &d = m_phone->display();
        // The escape keeps the text it follows; the text goes on after it.
        for (int b : {207, int('X'), 0xC6, 0x00, 0x01, int('A')})
            d.displayCharacter(quint8(b));
        QCOMPARE(d.upperLine(), QStringLiteral("01:00:00"));
        QCOMPARE(d.lowerLeft(), QStringLiteral("XA"));
    }

    void screenCommandOverOtherPartKeepsCallTimer()
    {
        m_phone->displayCommand(0x55, 0x05, 0x01);
        m_phone->display().displayCharacter(205);
        QVERIFY(m_timers->isActive(TimerId::CallTimer));
        m_phone->display().displayCharacter(208);
        QVERIFY(!m_timers->isActive(TimerId::CallTimer));
    }

    void refusedCallTimerTicksAtOnce()
    {
        m_timers->setRefuseStarts(true);
        KeyDisplay &d = m_phone->display();
        for (int b : {205, 204, 0xC6})
            d.displayCharacter(quint8(b));
        d.displayCharacter(0x30);
        QCOMPARE(d.upperLine(), QStringLiteral("00:00:01"));
    }

    void timerControl()
    {
        KeyDisplay &d = m_phone->display();
        m_phone->displayCommand(0x55, 0x05, 0x01);
        m_phone->displayCommand(0x42, 0x11, 0);
        QVERIFY(d.blinkFlag());
        QVERIFY(m_timers->isActive(TimerId::CallTimer));
        d.displayCharacter(203);
        QVERIFY(m_timers->isActive(TimerId::Blink));
        m_phone->displayCommand(0x55, 0x05, 0x01);
        m_phone->displayCommand(0x42, 0x01, 0);
        QVERIFY(m_timers->isActive(TimerId::CallTimer));
        QVERIFY(!m_timers->isActive(TimerId::Blink));
        QVERIFY(!d.blinkFlag());
        m_phone->displayCommand(0x42, 0x10, 0);
        d.displayCharacter(203);
        m_phone->displayCommand(0x55, 0x05, 0x01);
        m_phone->displayCommand(0x42, 0x00, 0);
        QVERIFY(!m_timers->isActive(TimerId::CallTimer));
        QVERIFY(!m_timers->isActive(TimerId::Blink));
        QVERIFY(!d.blinkFlag());
    }

    void blinkMarksTheThirdCharacter()
    {
        KeyDisplay &d = m_phone->display();
        m_phone->displayCommand(0x53, 0x10, 0x30);
        m_phone->displayCommand(0x42, 0x10, 0);
        m_phone->displayCommand(0x54, 'p', 'm');
        QCOMPARE(m_timers->period(TimerId::Blink), 500);
        m_timers->advance(500);
        QCOMPARE(d.lowerRight(), QStringLiteral("  *10:30 pm"));
        m_timers->advance(500);
        QCOMPARE(d.lowerRight(), QStringLiteral("   10:30 pm"));
        m_timers->advance(500);
        QCOMPARE(d.lowerRight(), QStringLiteral("  *10:30 pm"));
        d.displayCharacter(208);
        QVERIFY(!m_timers->isActive(TimerId::Blink));
        // A field shorter than three characters is left alone.
        m_phone->displayCommand(0x41, 0x02, 0);
        d.displayCharacter(0xFF);
        d.displayCharacter(0xCE); // 206 empties the lower right field
        m_timers->advance(500);
        QCOMPARE(d.lowerRight(), QString());
    }

    void logOffStopsTimersAndClears()
    {
        KeyDisplay &d = m_phone->display();
        m_phone->displayCommand(0x42, 0x10, 0);
        m_phone->displayCommand(0x55, 0x05, 0x01);
        m_phone->displayCommand(0x41, 0x02, 0);
        QSignalSpy changed(&d, &KeyDisplay::fieldsChanged);
        m_phone->logOffReset();
        QVERIFY(!m_timers->isActive(TimerId::CallTimer));
        QVERIFY(!m_timers->isActive(TimerId::Blink));
        QVERIFY(!d.blinkFlag());
        QCOMPARE(d.lowerRight(), QString());
        QCOMPARE(changed.count(), 1);
    }

    void dispatchReachesTheKeyTelephone()
    {
        LinkDispatcher dispatch;
        dispatch.setLoggedOnQuery([] { return true; });
        dispatch.routes().keyTelephone = m_phone.get();
        dispatch.dispatch(bytes({0x82, 0x4F, 0xFF, 'H', 0x82, 0x4F, 'I', 0x00}));
        QCOMPARE(m_phone->display().upperLine(), QStringLiteral("HI"));
    }

    void keyTables()
    {
        const auto dial = KeyTelephoneKeys::dialKeys();
        QCOMPARE(dial.size(), size_t(12));
        QCOMPARE(dial[0].code, quint8(0x90));
        QCOMPARE(dial[9].code, quint8(0x99));
        QCOMPARE(dial[11].code, quint8(0x9B));
        // Each function key sends the key code of its key-string letter.
        const QString letters = QStringLiteral("RTSOKUNFIMH");
        const auto fn = KeyTelephoneKeys::functionKeys();
        QCOMPARE(fn.size(), size_t(letters.size()));
        for (size_t i = 0; i < fn.size(); ++i) {
            QByteArray code;
            QVERIFY(CLinkRequest::expandKeyString(letters.mid(qsizetype(i), 1), code));
            QCOMPARE(fn[i].code, quint8(code[0]));
            if (fn[i].lamp)
                QCOMPARE(KeyTelephoneKeys::functionKeyOfLamp(fn[i].lamp), int(i));
        }
        QCOMPARE(KeyTelephoneKeys::functionKeyOfLamp(24), -1);
        QCOMPARE(KeyTelephoneKeys::functionKeyOfLamp(34), -1);
        QCOMPARE(KeyTelephoneKeys::flexibleKey(1).code, quint8(0x20));
        QCOMPARE(KeyTelephoneKeys::flexibleKey(24).code, quint8(0x37));
        QCOMPARE(KeyTelephoneKeys::flexibleLabel(20), QStringLiteral("Btn 20"));
        using K = KeyTelephoneKeys;
        QVERIFY(K::sendsOn(K::Group::Dial, K::MouseAction::Release));
        QVERIFY(!K::sendsOn(K::Group::Dial, K::MouseAction::Press));
        QVERIFY(!K::sendsOn(K::Group::Dial, K::MouseAction::DoubleClick));
        QVERIFY(K::sendsOn(K::Group::Function, K::MouseAction::DoubleClick));
        QVERIFY(K::sendsOn(K::Group::Flexible, K::MouseAction::Press));
        QVERIFY(!K::sendsOn(K::Group::Flexible, K::MouseAction::Release));
    }

    void keyPressSendsSingleKeyEvent()
    {
        QVERIFY(m_phone->pressKey(0x6C));
        QCOMPARE(m_lan->payloads(), QList<QByteArray>{bytes({0x80, 0x6C})});
        m_lan->open = false;
        m_lan->accept = false;
        QVERIFY(!m_phone->pressKey(0x90));
    }

    void smallKeyPadSendsKeyStrings()
    {
        SmallKeyPad pad(*m_phone);
        using B = SmallKeyPad::Button;
        pad.press(SmallKeyPad::digit(1));
        pad.press(B::Star);
        pad.press(B::Hash);
        QCOMPARE(pad.dialled(), QStringLiteral("1*#"));
        pad.press(B::Trans);
        QCOMPARE(pad.dialled(), QString());
        pad.press(SmallKeyPad::digit(0));
        pad.press(B::Mon);
        pad.press(B::Hold);
        pad.press(B::Redial);
        QVERIFY(pad.press(B::Quit));
        const QList<QByteArray> sent{bytes({0x81, 1, 0x90}), bytes({0x81, 1, 0x9A}), bytes({0x81, 1, 0x9B}),
                                     bytes({0x81, 1, 0x63}), bytes({0x81, 1, 0x99}), bytes({0x81, 1, 0x6B}),
                                     bytes({0x81, 1, 0x6C}), bytes({0x81, 1, 0x62})};
        QCOMPARE(m_lan->payloads(), sent);
    }

    void smallKeyPadKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("button"); // -1 none
        using B = SmallKeyPad::Button;
        const int kp = Qt::KeypadModifier;
        QTest::newRow("main 5") << int(Qt::Key_5) << 0 << int(B::Digit5);
        QTest::newRow("pad 0") << int(Qt::Key_0) << kp << int(B::Digit0);
        QTest::newRow("shift main 8") << int(Qt::Key_8) << int(Qt::ShiftModifier) << -1;
        QTest::newRow("shift pad 8") << int(Qt::Key_8) << int(kp | Qt::ShiftModifier) << int(B::Digit8);
        QTest::newRow("main asterisk") << int(Qt::Key_Asterisk) << int(Qt::ShiftModifier) << -1;
        QTest::newRow("pad asterisk") << int(Qt::Key_Asterisk) << kp << int(B::Trans);
        QTest::newRow("pad plus") << int(Qt::Key_Plus) << kp << int(B::Hold);
        QTest::newRow("main plus") << int(Qt::Key_Plus) << int(Qt::ShiftModifier) << -1;
        QTest::newRow("equal") << int(Qt::Key_Equal) << 0 << int(B::Hold);
        QTest::newRow("pad minus") << int(Qt::Key_Minus) << kp << int(B::Mon);
        QTest::newRow("main minus") << int(Qt::Key_Minus) << 0 << int(B::Mon);
        QTest::newRow("period") << int(Qt::Key_Period) << 0 << int(B::Redial);
        QTest::newRow("pad slash") << int(Qt::Key_Slash) << kp << int(B::Hash);
        QTest::newRow("num lock") << int(Qt::Key_NumLock) << 0 << int(B::Star);
        QTest::newRow("enter") << int(Qt::Key_Enter) << kp << int(B::Quit);
        QTest::newRow("return") << int(Qt::Key_Return) << 0 << int(B::Quit);
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << -1;
    }

    void smallKeyPadKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, button);
        const auto got = SmallKeyPad::buttonForKey(key, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(got ? int(*got) : -1, button);
    }

private:
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<FakeTransport> m_lan;
    std::unique_ptr<CLinkRequest> m_request;
    std::unique_ptr<KeyTelephone> m_phone;
};

QTEST_GUILESS_MAIN(TestKeyset)
#include "tst_keyset.moc"
