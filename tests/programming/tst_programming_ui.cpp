#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "base/ui/MessageBox.h"
#include "callstate/CExtStatusList.h"
#include "callstate/PortStatus.h"
#include "link/CLinkPort.h"
#include "link/CLinkRequest.h"
#include "programming/AttendantProgramming.h"
#include "programming/ClockSetting.h"
#include "programming/ui/ClockSettingDialog.h"
#include "programming/ui/CustomMessageDialog.h"
#include "programming/ui/DayNightDialog.h"
#include "programming/ui/MusicSelectionDialog.h"
#include "programming/ui/ProgrammingDialogs.h"
#include "programming/ui/WakeUpDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

template <typename T>
T *child(QWidget *dialog, const char *name)
{
    auto *w = dialog->findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no child %s", name);
    return w;
}

QString text(QWidget *dialog, const char *name)
{
    return child<QLineEdit>(dialog, name)->text();
}

void type(QWidget *dialog, const char *name, const QString &keys)
{
    QLineEdit *edit = child<QLineEdit>(dialog, name);
    edit->clear();
    QTest::keyClicks(edit, keys);
}

void click(QWidget *dialog, const char *name)
{
    QTest::mouseClick(child<QAbstractButton>(dialog, name), Qt::LeftButton);
}

} // namespace

class TestProgrammingUi : public QObject
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
        m_stations->setCount(4);
        const char *numbers[] = {"100", "101", "102", "105"};
        for (int i = 0; i < 4; ++i)
            m_stations->setNumber(quint16(i), Nibbles::toNumber16(QString::fromLatin1(numbers[i])));
        m_programming = std::make_unique<AttendantProgramming>(*m_request, *m_stations, *m_ui);
        m_allowed = true;
        m_programming->setAllowedQuery([this] { return m_allowed; });
        m_window = std::make_unique<QWidget>();
        m_dialogs = &ProgrammingDialogs::of(m_window.get(), *m_programming, *m_timers, m_clock);
    }

    void cleanup()
    {
        m_window.reset();
        m_programming.reset();
        m_stations.reset();
        m_request.reset();
        m_link.reset();
        m_lan.reset();
        m_timers.reset();
    }

    void okSendsAndCloses()
    {
        QWidget *dialog = m_dialogs->openWakeUp();
        QVERIFY(dialog->isVisible());
        type(dialog, "first", "100");
        type(dialog, "last", "105");
        type(dialog, "hour", "6");
        type(dialog, "minute", "30");
        click(dialog, "daily");
        click(dialog, "ok");
        QCOMPARE(m_ui->shown.size(), 0);
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T0421001050630#H")});
        QVERIFY(!dialog->isVisible());
    }

    void unsentCommandKeepsTheDialogOpen()
    {
        QWidget *dialog = m_dialogs->openWakeUp();
        type(dialog, "first", "100");
        type(dialog, "last", "105");
        type(dialog, "hour", "6");
        type(dialog, "minute", "30");
        m_lan->open = false;
        click(dialog, "ok");
        QCOMPARE(m_ui->texts(), QStringList{"#:atdpgm_not_sent"});
        QVERIFY(sent().isEmpty());
        QVERIFY(dialog->isVisible());
        m_lan->open = true;
        click(dialog, "ok");
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T0421001050630H")});
        QVERIFY(!dialog->isVisible());
    }

    void refusalKeepsTheDialogOpen()
    {
        QWidget *dialog = m_dialogs->openWakeUp();
        type(dialog, "first", "100");
        click(dialog, "ok");
        QCOMPARE(m_ui->texts(), QStringList{"#:empty_field_not_allowed"});
        QVERIFY(dialog->isVisible());

        m_allowed = false;
        type(dialog, "last", "101");
        type(dialog, "hour", "6");
        type(dialog, "minute", "0");
        click(dialog, "ok");
        QCOMPARE(m_ui->texts().last(), QStringLiteral("#:cannot_exe_atd_pgm"));
        QVERIFY(dialog->isVisible());
        QVERIFY(sent().isEmpty());
    }

    // A log-off ends the open dialogs as if OK was pressed: nothing goes out.
    void logOffSendsNothing()
    {
        QWidget *dialog = m_dialogs->openSystemGreetings();
        type(dialog, "number", "7");
        QCOMPARE(m_ui->dialogs().endAll(), 1);
        QVERIFY(!dialog->isVisible());
        QVERIFY(sent().isEmpty());
    }

    void numberFieldsKeepTheirLimits()
    {
        QWidget *dialog = m_dialogs->openWakeUp();
        type(dialog, "minute", "07");
        QCOMPARE(text(dialog, "minute"), QStringLiteral("7"));
        type(dialog, "minute", "45");
        QTest::keyClick(child<QLineEdit>(dialog, "minute"), Qt::Key_Backspace);
        QTest::keyClicks(child<QLineEdit>(dialog, "minute"), "9");
        QCOMPARE(text(dialog, "minute"), QStringLiteral("49"));
        type(dialog, "hour", "2");
        QTest::keyClicks(child<QLineEdit>(dialog, "hour"), "5");
        QCOMPARE(text(dialog, "hour"), QStringLiteral("2"));
    }

    void customMessageIsUpperCaseAndCleared()
    {
        QWidget *dialog = m_dialogs->openCustomMessage();
        type(dialog, "text", "back soon");
        QCOMPARE(text(dialog, "text"), QStringLiteral("BACK SOON"));
        click(dialog, "clear");
        QCOMPARE(text(dialog, "text"), QString());
        // A number short of its lower limit does not go out.
        type(dialog, "number", "1");
        click(dialog, "ok");
        QCOMPARE(text(dialog, "number"), QStringLiteral("11"));
        QVERIFY(sent().isEmpty());
        QVERIFY(dialog->isVisible());
        type(dialog, "number", "12");
        type(dialog, "text", "Back soon");
        click(dialog, "ok");
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T05312{BACK SOON}HM")});
    }

    // The music menu asks the PBX; its reply opens the dialog on its channel.
    void musicReplyOpensTheDialog()
    {
        m_dialogs->musicSelection();
        QCOMPARE(sent(), QList<QByteArray>{hex("09 02")});
        QVERIFY(!m_window->findChild<MusicSelectionDialog *>());
        m_programming->handleEvent(0x0902, hex("09 02 09"), 0);
        auto *dialog = m_window->findChild<MusicSelectionDialog *>();
        QVERIFY(dialog);
        QCOMPARE(text(dialog, "channel"), QStringLiteral("#:atdpgm_ms_channel9"));
        click(dialog, "up");
        QCOMPARE(text(dialog, "channel"), QStringLiteral("#:atdpgm_ms_channel0"));
        click(dialog, "down");
        click(dialog, "down");
        QCOMPARE(dialog->channel(), 8);
        click(dialog, "ok");
        QCOMPARE(sent().last(), keyRequest("T07508H"));
        // A later reply that nobody asked for opens nothing.
        delete dialog;
        m_programming->handleEvent(0x0902, hex("09 02 01"), 0);
        QVERIFY(!m_window->findChild<MusicSelectionDialog *>());
    }

    void dayNightReplyPrefills()
    {
        m_programming->queryDayNight();
        m_programming->handleEvent(0x0901, hex("09 01 08 1e ff ff"), 0);
        auto *dialog = m_window->findChild<DayNightDialog *>();
        QVERIFY(dialog);
        QVERIFY(child<QCheckBox>(dialog, "day")->isChecked());
        QCOMPARE(text(dialog, "dayHour"), QStringLiteral("8"));
        QCOMPARE(text(dialog, "dayMinute"), QStringLiteral("30"));
        QVERIFY(!child<QCheckBox>(dialog, "night")->isChecked());
        QCOMPARE(text(dialog, "nightHour"), QString());
        QVERIFY(!child<QLineEdit>(dialog, "nightHour")->isEnabled());
        click(dialog, "ok");
        QCOMPARE(sent().last(), keyRequest("T#90830*H"));
    }

    void stationWakeUpReplyPrefills()
    {
        m_programming->queryWakeUp(3);
        m_programming->handleEvent(0x0903, hex("09 03 00 04 06 1e 02"), 0);
        auto *dialog = m_window->findChild<WakeUpDialog *>();
        QVERIFY(dialog);
        QCOMPARE(dialog->station(), QStringLiteral("105"));
        QVERIFY(!dialog->findChild<QLineEdit *>(QStringLiteral("first")));
        QCOMPARE(text(dialog, "hour"), QStringLiteral("6"));
        QCOMPARE(text(dialog, "minute"), QStringLiteral("30"));
        QVERIFY(child<QRadioButton>(dialog, "daily")->isChecked());
        click(dialog, "ok");
        QCOMPARE(sent().last(), keyRequest("T0421051050630#H"));
    }

    void clockFromThisComputer()
    {
        m_clock.set(QDateTime(QDate(2001, 3, 5), QTime(14, 7)));
        QWidget *dialog = m_dialogs->openClockSetting();
        QCOMPARE(text(dialog, "year"), QStringLiteral("1"));
        QCOMPARE(text(dialog, "hour"), QStringLiteral("2"));
        QVERIFY(child<QRadioButton>(dialog, "pm")->isChecked());
        QVERIFY(child<QRadioButton>(dialog, "pcTime")->isChecked());
        click(dialog, "ok");
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T041030501H1407H")});
        QVERIFY(!dialog->isVisible());
    }

    void clockDayFollowsTheMonth()
    {
        m_clock.set(QDateTime(QDate(2025, 1, 31), QTime(9, 0)));
        QWidget *dialog = m_dialogs->openClockSetting();
        type(dialog, "month", "2");
        QCOMPARE(text(dialog, "day"), QStringLiteral("28"));
        type(dialog, "year", "24");
        type(dialog, "day", "29");
        QCOMPARE(text(dialog, "day"), QStringLiteral("29"));
        type(dialog, "minute", "");
        click(dialog, "adapt");
        click(dialog, "ok");
        QCOMPARE(m_ui->texts(), QStringList{"#:empty_field_not_allowed"});
        QVERIFY(dialog->isVisible());
        type(dialog, "minute", "5");
        click(dialog, "adapt");
        QCOMPARE(child<QLabel>(dialog, "setting")->text(), QStringLiteral("24/2/29 9:5 a.m"));
        click(dialog, "ok");
        QCOMPARE(sent(), QList<QByteArray>{keyRequest("T041022924H0905H")});
    }

    // The PBX stays silent: the question comes without holding up the timer,
    // and No goes back to this computer's time.
    void clockPbxSilentAsks()
    {
        MessageBoxAnswerer answerer;
        answerer.setAnswer(MessageBoxResult::No);
        auto *dialog = static_cast<ClockSettingDialog *>(m_dialogs->openClockSetting());
        click(dialog, "pbxTime");
        QCOMPARE(sent(), QList<QByteArray>{hex("01 0d")});
        m_timers->advance(1000);
        QCOMPARE(answerer.texts(), QStringList{"#:atdpgm_no_response_msg"});
        QCOMPARE(answerer.boxes().front().style, int(MessageStyle::YesNoExclamation));
        QVERIFY(child<QRadioButton>(dialog, "pcTime")->isChecked());
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
        // Cancel while the PBX is asked stops the timer.
        click(dialog, "pbxTime");
        click(dialog, "cancel");
        QVERIFY(!m_timers->isActive(ClockSetting::kTimerId));
    }

private:
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
    std::unique_ptr<QWidget> m_window;
    ProgrammingDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(TestProgrammingUi)
#include "tst_programming_ui.moc"
