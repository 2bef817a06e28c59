#include "FakeConnection.h"
#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "callstate/CExtStatusList.h"
#include "console/Console.h"
#include "link/LinkDispatcher.h"
#include "session/CSysInfoLoader.h"
#include "callstate/PortStatus.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "programming/AttendantProgramming.h"
#include "programming/ClockSetting.h"
#include "programming/LimitedNumberField.h"
#include "programming/ProgrammingKeys.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using Run = std::function<bool(AttendantProgramming &)>;
Q_DECLARE_METATYPE(Run)

class TestProgramming : public QObject
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
        m_ui = std::make_unique<OperatorUiRecorder>();
        m_stations = std::make_unique<CExtStatusList>(*m_link, m_clock, *m_ui);
        m_stations->setCount(8);
        const char *numbers[] = {"100", "101", "102", "105", "200", "2000", "23", "99"};
        for (int i = 0; i < 8; ++i)
            m_stations->setNumber(quint16(i), Nibbles::toNumber16(QString::fromLatin1(numbers[i])));
        m_programming = std::make_unique<AttendantProgramming>(*m_request, *m_stations, *m_ui);
        m_programming->setAllowedQuery([this] { return m_allowed; });
        m_allowed = true;
    }

    void cleanup()
    {
        m_programming.reset();
        m_stations.reset();
        m_request.reset();
        m_link.reset();
        m_lan.reset();
        m_timers.reset();
    }

    // Each command's keys for typical input, as key codes on the wire.
    void keyStrings_data()
    {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("keys");
        QTest::newRow("wake-up, one-time") << Run([](auto &p) { return p.runWakeUp(" 100", "105 ", "6", "30", false); })
                                           << "T0421001050630H";
        QTest::newRow("wake-up, daily") << Run([](auto &p) { return p.runWakeUp("100", "105", "06", "30", true); })
                                        << "T0421001050630#H";
        QTest::newRow("wake-up, one station")
            << Run([](auto &p) { return p.runStationWakeUp("23", "7", "5", false); }) << "T042232307" "05H";
        QTest::newRow("cancel wake-up") << Run([](auto &p) { return p.runCancelWakeUp("100", "2000"); })
                                        << "T0431002000H";
        QTest::newRow("music") << Run([](auto &p) { return p.runMusicSelection(3); }) << "T07503H";
        QTest::newRow("custom message")
            << Run([](auto &p) { return p.runCustomMessage("12", "Back soon"); }) << "T05312{BACK SOON}HM";
        QTest::newRow("custom message, cleared") << Run([](auto &p) { return p.runCustomMessage("20", ""); })
                                                 << "T05320{}HM";
        QTest::newRow("greetings") << Run([](auto &p) { return p.runSystemGreetings("7"); }) << "T06007";
        QTest::newRow("greetings 100") << Run([](auto &p) { return p.runSystemGreetings("100"); }) << "T06100";
        QTest::newRow("temporary COS on") << Run([](auto &p) { return p.runTemporaryCos("101", "102", true); })
                                          << "T021101102H";
        QTest::newRow("temporary COS off") << Run([](auto &p) { return p.runTemporaryCos("101", "101", false); })
                                           << "T022101101H";
        QTest::newRow("attendant cancel") << Run([](auto &p) { return p.runAttendantCancel("99", "200"); })
                                          << "T07199200H";
        QTest::newRow("station name, lower case taken")
            << Run([](auto &p) { return p.runStationName("105", "kitchen"); }) << "T072105{KITCHEN}HM";
        QTest::newRow("authorisation code") << Run([](auto &p) { return p.runAuthorisationCode("105", "01234"); })
                                            << "T03110501234H";
        QTest::newRow("day and night")
            << Run([](auto &p) { return p.runDayNight(true, "8", "0", true, "18", "30"); }) << "T#908001830H";
        QTest::newRow("day only") << Run([](auto &p) { return p.runDayNight(true, "7", "45", false, "", ""); })
                                  << "T#90745*H";
        QTest::newRow("night only") << Run([](auto &p) { return p.runDayNight(false, "", "", true, "22", "5"); })
                                    << "T#9*2205H";
    }
    void keyStrings()
    {
        QFETCH(Run, run);
        QFETCH(QString, keys);
        QVERIFY(run(*m_programming));
        QCOMPARE(m_ui->shown.size(), 0);
        QCOMPARE(sent(), QList<QByteArray>{keyRequest(keys)});
    }

    void clockKeyString()
    {
        QCOMPARE(ProgrammingKeys::clockSetting(3, 5, 1, ClockSetting::hour24(2, true), 7), "T041030501H1407H");
        QCOMPARE(ClockSetting::hour24(12, false), 0);
        QCOMPARE(ClockSetting::hour24(12, true), 12);
        QCOMPARE(ClockSetting::hour24(11, false), 11);
    }

    // Refusals: the message, nothing sent, the dialog stays.
    void refusals_data()
    {
        QTest::addColumn<Run>("run");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        const QString input = QStringLiteral("#:input_error");
        const QString empty = QStringLiteral("#:empty_field_not_allowed");
        const QString directive = QStringLiteral("#:input_error_directive\r\n");
        QTest::newRow("wake-up, blank hour") << Run([](auto &p) { return p.runWakeUp("100", "105", "  ", "30", false); })
                                             << empty << input;
        QTest::newRow("wake-up, one station, no minute")
            << Run([](auto &p) { return p.runStationWakeUp("23", "7", "", false); }) << empty << input;
        QTest::newRow("cancel wake-up, no last") << Run([](auto &p) { return p.runCancelWakeUp("100", ""); })
                                                 << empty << input;
        QTest::newRow("range, both unknown") << Run([](auto &p) { return p.runAttendantCancel("300", "301"); })
                                             << directive + "\r\n#:first_stn_no_invalid\r\n#:last_stn_no_invalid"
                                             << input;
        QTest::newRow("range, last unknown and smaller")
            << Run([](auto &p) { return p.runTemporaryCos("105", "104", true); })
            << directive + "\r\n#:last_stn_no_invalid\r\n#:first_stn_greater_than_last_stn" << input;
        QTest::newRow("range, reversed only") << Run([](auto &p) { return p.runWakeUp("200", "105", "6", "0", false); })
                                              << directive + "\r\n#:first_stn_greater_than_last_stn" << input;
        QTest::newRow("range is numeric, not textual")
            << Run([](auto &p) { return p.runCancelWakeUp("2000", "99"); })
            << directive + "\r\n#:first_stn_greater_than_last_stn" << input;
        QTest::newRow("custom message, no number")
            << Run([](auto &p) { return p.runCustomMessage(" ", "HELLO"); }) << "#:msg_no_must_be_entered" << input;
        QTest::newRow("custom message, characters kept in order")
            << Run([](auto &p) { return p.runCustomMessage("11", "a-b!c-"); }) << "-!-#:not_in_varo_char_set"
            << input;
        QTest::newRow("station name, hyphen") << Run([](auto &p) { return p.runStationName("105", "X-RAY"); })
                                              << "-#:not_in_varo_char_set" << input;
        QTest::newRow("station name, empty") << Run([](auto &p) { return p.runStationName("105", " "); })
                                             << empty << input;
        QTest::newRow("greetings, empty") << Run([](auto &p) { return p.runSystemGreetings(""); }) << empty << input;
        QTest::newRow("code of six digits") << Run([](auto &p) { return p.runAuthorisationCode("105", "123456"); })
                                            << "#:input_error_content" << input;
        QTest::newRow("code with a letter") << Run([](auto &p) { return p.runAuthorisationCode("105", "12a4"); })
                                            << "#:input_error_content" << input;
        QTest::newRow("code empty") << Run([](auto &p) { return p.runAuthorisationCode("105", ""); })
                                    << "#:input_error_content" << input;
        QTest::newRow("day/night, checked time without minute")
            << Run([](auto &p) { return p.runDayNight(true, "8", "", false, "", ""); }) << empty << input;
        QTest::newRow("day/night, none checked")
            << Run([](auto &p) { return p.runDayNight(false, "8", "0", false, "18", "0"); })
            << "#:daynight_check_one_or_both" << input;
    }
    void refusals()
    {
        QFETCH(Run, run);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QVERIFY(!run(*m_programming));
        QCOMPARE(m_ui->texts(), QStringList{text});
        QCOMPARE(m_ui->shown.front().title, title);
        QCOMPARE(m_ui->shown.front().style, int(MessageStyle::Stop));
        QVERIFY(sent().isEmpty());
    }

    void notAllowed()
    {
        m_allowed = false;
        QVERIFY(!m_programming->runMusicSelection(1));
        QVERIFY(!m_programming->runSystemGreetings(""));
        QCOMPARE(m_ui->texts(), (QStringList{"#:cannot_exe_atd_pgm", "#:cannot_exe_atd_pgm"}));
        QCOMPARE(m_ui->shown.front().title, QStringLiteral("#:warning_title"));
        QCOMPARE(m_ui->shown.front().style, int(MessageStyle::Exclamation));
        QVERIFY(sent().isEmpty());
    }

    // The PBX confirms nothing, so a command whose keys could not leave must not
    // look done: the operator is told, the dialog stays, nothing is on the wire.
    void unsentCommandIsReported_data()
    {
        QTest::addColumn<Run>("run");
        QTest::newRow("wake-up") << Run([](auto &p) { return p.runWakeUp("100", "105", "6", "30", false); });
        QTest::newRow("greetings") << Run([](auto &p) { return p.runSystemGreetings("7"); });
        QTest::newRow("station name") << Run([](auto &p) { return p.runStationName("105", "KITCHEN"); });
        QTest::newRow("day/night") << Run([](auto &p) { return p.runDayNight(true, "8", "0", false, "", ""); });
    }
    void unsentCommandIsReported()
    {
        QFETCH(Run, run);
        m_lan->open = false;
        QVERIFY(!run(*m_programming));
        QCOMPARE(m_ui->texts(), QStringList{"#:atdpgm_not_sent"});
        QCOMPARE(m_ui->shown.front().title, QStringLiteral("#:warning_title"));
        QCOMPARE(m_ui->shown.front().style, int(MessageStyle::Exclamation));
        QVERIFY(sent().isEmpty());
        // Once the link is back, the same command goes out and closes the dialog.
        m_lan->open = true;
        QVERIFY(run(*m_programming));
        QCOMPARE(sent().size(), 1);
    }

    void unsentClockSettingKeepsAsking()
    {
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        clock.selectPbxTime();
        m_lan->accept = false;
        QVERIFY(!clock.run());
        QCOMPARE(m_ui->texts(), QStringList{"#:atdpgm_not_sent"});
        QVERIFY(clock.waitingForPbx());
        // The pop-up commands have no dialog, but the operator hears of them too.
        m_programming->cancelWakeUpOf(6);
        QCOMPARE(m_ui->texts(), (QStringList{"#:atdpgm_not_sent", "#:atdpgm_not_sent"}));
        QCOMPARE(sent().size(), 1); // only the time request of selectPbxTime()
    }

    void popupCommandsForAStation()
    {
        m_programming->cancelWakeUpOf(6);
        m_programming->attendantCancelOf(3);
        QCOMPARE(sent(), (QList<QByteArray>{keyRequest("T0432323H"), keyRequest("T071105105H")}));
    }

    void repliesPrefill()
    {
        QSignalSpy dayNight(m_programming.get(), &AttendantProgramming::dayNightDialogWanted);
        QSignalSpy music(m_programming.get(), &AttendantProgramming::musicDialogWanted);
        QSignalSpy wakeUp(m_programming.get(), &AttendantProgramming::wakeUpDialogWanted);

        // Without a query that wants it, a reply only stores.
        QCOMPARE(m_programming->handleEvent(0x0902, hex("09 02 04"), 0), quint16(3));
        QCOMPARE(m_programming->musicChannel(), quint8(4));
        QCOMPARE(music.size(), 0);

        m_programming->queryMusic();
        QCOMPARE(sent().last(), hex("09 02"));
        QCOMPARE(m_programming->handleEvent(0x0902, hex("00 01 09 02 07"), 2), quint16(3));
        QCOMPARE(m_programming->musicChannel(), quint8(7));
        QCOMPARE(music.size(), 1);
        QVERIFY(!m_programming->dialogWanted());

        m_programming->queryDayNight();
        QCOMPARE(m_programming->handleEvent(0x0901, hex("09 01 08 1e ff ff"), 0), quint16(6));
        QCOMPARE(dayNight.size(), 1);
        QCOMPARE(m_programming->dayNight().dayHour, quint8(8));
        QCOMPARE(m_programming->dayNight().dayMinute, quint8(30));
        QCOMPARE(m_programming->dayNight().nightHour, quint8(0xFF));

        m_programming->queryWakeUp(3);
        QCOMPARE(sent().last(), hex("09 03 00 04"));
        QCOMPARE(m_programming->handleEvent(0x0903, hex("09 03 00 04 06 1e 02"), 0), quint16(7));
        QCOMPARE(wakeUp.size(), 1);
        QCOMPARE(wakeUp.front().front().toString(), QStringLiteral("105"));
        QCOMPARE(m_programming->wakeUp().station, quint16(4));
        QCOMPARE(m_programming->wakeUp().hour, quint8(6));
        QCOMPARE(m_programming->wakeUp().minute, quint8(30));
        QCOMPARE(m_programming->wakeUp().alarm, quint8(2));
    }

    void shortRepliesAreNotTaken_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("day/night") << hex("09 01 08 1e ff");
        QTest::newRow("music") << hex("09 02");
        QTest::newRow("wake-up") << hex("09 03 00 04 06 1e");
        QTest::newRow("temporary COS") << hex("09 04 00 04");
        QTest::newRow("other code") << hex("09 05 00 04 00 00 00");
    }
    void shortRepliesAreNotTaken()
    {
        QFETCH(QByteArray, payload);
        m_programming->queryMusic();
        QCOMPARE(m_programming->handleEvent(codeOf(payload), payload, 0), kNotMine);
        QVERIFY(m_programming->dialogWanted());
    }

    void temporaryCosReplySendsTheCommand_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("keys");
        QTest::newRow("set") << hex("09 04 00 05 01") << "T021200200H";
        QTest::newRow("clear") << hex("09 04 00 05 00") << "T022200200H";
    }
    void temporaryCosReplySendsTheCommand()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, keys);
        QSignalSpy any(m_programming.get(), &AttendantProgramming::wakeUpDialogWanted);
        m_programming->queryTemporaryCos(4);
        QCOMPARE(sent(), QList<QByteArray>{hex("09 04 00 05")});
        QCOMPARE(m_programming->handleEvent(0x0904, reply, 0), quint16(5));
        QCOMPARE(sent().last(), keyRequest(keys));
        // A second, unasked reply programs nothing.
        m_programming->handleEvent(0x0904, reply, 0);
        QCOMPARE(sent().size(), 2);
        QVERIFY(!m_programming->dialogWanted());
    }

    void musicWraps_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("delta");
        QTest::addColumn<int>("result");
        QTest::newRow("up") << 3 << 1 << 4;
        QTest::newRow("9 up to 0") << 9 << 1 << 0;
        QTest::newRow("0 down to 9") << 0 << -1 << 9;
    }
    void musicWraps()
    {
        QFETCH(int, channel);
        QFETCH(int, delta);
        QFETCH(int, result);
        QCOMPARE(AttendantProgramming::stepChannel(channel, delta), result);
    }

    void limitedNumberField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<bool>("beep");
        QTest::addColumn<int>("last"); // -1: none
        QTest::newRow("inside") << "12" << "12" << -1 << false << 12;
        QTest::newRow("leading zeros go, caret to start") << "007" << "7" << 0 << false << 7;
        QTest::newRow("zeros only become 0") << "000" << "0" << 0 << false << 5;
        QTest::newRow("above the limit puts the last back") << "60" << "5" << 1 << true << 5;
        QTest::newRow("not a number") << "1x" << "5" << 1 << true << 5;
        QTest::newRow("empty has no last") << "" << "" << -1 << false << -1;
    }
    void limitedNumberField()
    {
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(bool, beep);
        QFETCH(int, last);
        LimitedNumberField field(1, 59);
        QCOMPARE(field.lastValid(), std::optional<int>(1));
        field.textChanged(QStringLiteral("5"));
        const LimitedNumberField::Outcome out = field.textChanged(typed);
        QCOMPARE(out.text, text);
        QCOMPARE(out.caret, caret);
        QCOMPARE(out.beep, beep);
        QCOMPARE(field.lastValid(), last < 0 ? std::nullopt : std::optional<int>(last));
        // With no last value an out-of-range number leaves the field empty.
        field.setLastValid(std::nullopt);
        QCOMPARE(field.textChanged(QStringLiteral("99")).text, QString());
    }

    // With a lower limit of two digits the first digit typed is kept, but is
    // put back before use when no second digit follows.
    void limitedNumberFieldOfTwoDigitLimits()
    {
        LimitedNumberField field(11, 20);
        QCOMPARE(field.textChanged(QStringLiteral("1")).text, QStringLiteral("1"));
        QCOMPARE(field.lastValid(), std::optional<int>(11));
        QCOMPARE(field.textChanged(QStringLiteral("12")).text, QStringLiteral("12"));
        QCOMPARE(field.textChanged(QStringLiteral("3")).text, QStringLiteral("3"));
        const LimitedNumberField::Outcome out = field.settle(QStringLiteral("3"));
        QCOMPARE(out.text, QStringLiteral("12"));
        QVERIFY(out.beep);
        QVERIFY(!field.settle(QStringLiteral("15")).beep);
        QCOMPARE(field.textChanged(QStringLiteral("21")).text, QStringLiteral("12"));
    }

    void clockFieldsFromTime_data()
    {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("label");
        QTest::newRow("midnight is 12 a.m.") << QDateTime(QDate(2001, 3, 5), QTime(0, 7)) << "1/3/5 12:7 a.m";
        QTest::newRow("noon is 12 p.m.") << QDateTime(QDate(2026, 12, 8), QTime(12, 0)) << "26/12/8 12:0 p.m.";
        QTest::newRow("afternoon") << QDateTime(QDate(1999, 1, 31), QTime(23, 59)) << "99/1/31 11:59 p.m.";
    }
    void clockFieldsFromTime()
    {
        QFETCH(QDateTime, time);
        QFETCH(QString, label);
        m_clock.set(time);
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        QCOMPARE(clock.source(), ClockSetting::Source::Pc);
        QCOMPARE(clock.label(), label);
    }

    void monthLengths()
    {
        QCOMPARE(ClockSetting::monthLength(2, 24), 29);
        QCOMPARE(ClockSetting::monthLength(2, 0), 29);
        QCOMPARE(ClockSetting::monthLength(2, 25), 28);
        QCOMPARE(ClockSetting::monthLength(4, 25), 30);
        QCOMPARE(ClockSetting::monthLength(12, 25), 31);
    }

    void clockRunSends()
    {
        m_clock.set(QDateTime(QDate(2001, 3, 5), QTime(14, 7)));
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        QVERIFY(clock.run());
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T041030501H1407H")});
        m_allowed = false;
        QVERIFY(!clock.run());
        QCOMPARE(m_ui->texts(), QStringList{"#:cannot_exe_atd_pgm"});
    }

    // The PBX answers within 500 ms: its time fills the fields, the timer stops.
    void clockPbxTimeArrives()
    {
        std::function<void(const QDateTime &)> receiver;
        m_programming->setTimeRegistrar([&](auto r) { receiver = std::move(r); });
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        clock.selectPbxTime();
        QCOMPARE(sent(), QList<QByteArray>{hex("01 0d")});
        QVERIFY(m_timers->isActive(ClockSetting::kTimerId));
        QCOMPARE(m_timers->period(ClockSetting::kTimerId), 500);
        m_timers->advance(499);
        receiver(QDateTime(QDate(2027, 2, 1), QTime(13, 4)));
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
        QCOMPARE(clock.label(), QStringLiteral("27/2/1 1:4 p.m."));
        m_timers->advance(5000);
        QCOMPARE(sent().size(), 1);
    }

    // Two expiries: one more request, then the operator is asked.
    void clockPbxSilent_data()
    {
        QTest::addColumn<bool>("askAgain");
        QTest::newRow("Yes asks again") << true;
        QTest::newRow("No takes this computer's time") << false;
    }
    void clockPbxSilent()
    {
        QFETCH(bool, askAgain);
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        QSignalSpy asked(&clock, &ClockSetting::noResponse);
        clock.selectPbxTime();
        m_timers->advance(500);
        QCOMPARE(sent().size(), 2);
        QCOMPARE(asked.size(), 0);
        m_timers->advance(500);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(sent().size(), 2);
        // Nothing more happens while the question is open.
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
        m_timers->advance(5000);
        QCOMPARE(asked.size(), 1);

        clock.answerNoResponse(askAgain);
        if (askAgain) {
            QCOMPARE(sent().size(), 3);
            QCOMPARE(clock.source(), ClockSetting::Source::Pbx);
            // The count starts anew: one silent period sends once more, the second asks.
            m_timers->advance(500);
            QCOMPARE(sent().size(), 4);
            QCOMPARE(asked.size(), 1);
            m_timers->advance(500);
            QCOMPARE(asked.size(), 2);
        } else {
            QCOMPARE(clock.source(), ClockSetting::Source::Pc);
            QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
            QCOMPARE(sent().size(), 2);
        }
    }

    // The time that comes while the operator is asked settles the question.
    void clockPbxTimeWhileAsking()
    {
        std::function<void(const QDateTime &)> receiver;
        m_programming->setTimeRegistrar([&](auto r) { receiver = std::move(r); });
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        clock.selectPbxTime();
        m_timers->advance(1000);
        receiver(QDateTime(QDate(2027, 2, 1), QTime(13, 4)));
        clock.answerNoResponse(true);
        QCOMPARE(sent().size(), 2);
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
        QCOMPARE(clock.label(), QStringLiteral("27/2/1 1:4 p.m."));
    }

    void clockCancelStopsTheTimer()
    {
        ClockSetting clock(*m_programming, *m_timers, m_clock);
        clock.selectPbxTime();
        clock.cancel();
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
    }

    // The console hands class 0x09 to its programming model and the PBX's
    // time to the clock setting's request.
    void consoleWiring()
    {
        OperatorUiRecorder ui;
        Console console(*m_timers, ui, m_clock,
                        [](CLinkPort &link, OperatorUi &) { return std::make_unique<FakeConnection>(link); });
        QCOMPARE(console.dispatcher().routeEvent(0x09, 0x0902, hex("09 02 05"), 0), quint16(3));
        QCOMPARE(console.programming().musicChannel(), quint8(5));
        QDateTime received;
        console.programming().registerTimeReceiver([&](const QDateTime &t) { received = t; });
        const QDateTime time(QDate(2027, 5, 6), QTime(7, 8));
        console.loader().onPbxTime(time);
        QCOMPARE(received, time);
        // Logged off, nothing may be programmed.
        QVERIFY(!console.programming().allowed());
    }

private:
    static quint16 codeOf(const QByteArray &p) { return quint16((quint8(p.at(0)) << 8) | quint8(p.at(1))); }

    QByteArray keyRequest(const QString &keys) const
    {
        QByteArray codes;
        if (!CLinkRequest::expandKeyString(keys, codes))
            return QByteArray("bad key string");
        return QByteArray(1, char(0x81)) + char(codes.size()) + codes;
    }
    QList<QByteArray> sent() const { return m_lan->payloads(); }

    ManualClock m_clock;
    bool m_allowed = true;
    std::unique_ptr<ManualTimerHost> m_timers;
    std::unique_ptr<CLinkPort> m_link;
    std::unique_ptr<FakeTransport> m_lan;
    std::unique_ptr<CLinkRequest> m_request;
    std::unique_ptr<OperatorUiRecorder> m_ui;
    std::unique_ptr<CExtStatusList> m_stations;
    std::unique_ptr<AttendantProgramming> m_programming;
};

QTEST_GUILESS_MAIN(TestProgramming)
#include "tst_programming.moc"
