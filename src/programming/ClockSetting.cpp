#include "ClockSetting.h"

#include "AttendantProgramming.h"
#include "ProgrammingKeys.h"

#include "base/Clock.h"
#include "base/TimerHost.h"
#include "link/CLinkRequest.h"

#include <QPointer>

ClockSetting::ClockSetting(AttendantProgramming &programming, TimerHost &timers, const Clock &clock,
                           QObject *parent)
    : QObject(parent)
    , m_programming(programming)
    , m_timers(timers)
    , m_clock(clock)
{
    m_timers.setHandler(kTimerId, [this](int) { timerExpired(); });
    selectPcTime();
}

ClockSetting::~ClockSetting()
{
    m_timers.stop(kTimerId);
    m_timers.clearHandler(kTimerId);
}

bool ClockSetting::waitingForPbx() const
{
    return m_timers.isActive(kTimerId);
}

ClockSetting::Fields ClockSetting::fieldsFrom(const QDateTime &time)
{
    Fields f;
    const int year = time.date().year();
    // Two digits either way: the PBX reports full years as this computer does.
    f.year = year > 1999 ? year - 2000 : year - 1900;
    f.month = time.date().month();
    f.day = time.date().day();
    const int hour = time.time().hour();
    f.pm = hour >= 12;
    f.hour = hour % 12 == 0 ? 12 : hour % 12;
    f.minute = time.time().minute();
    return f;
}

int ClockSetting::hour24(int hour12, bool pm)
{
    if (hour12 == 12)
        return pm ? 12 : 0;
    return pm ? hour12 + 12 : hour12;
}

int ClockSetting::monthLength(int month, int year)
{
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 31;
    if (month == 2 && year % 4 == 0)
        return 29;
    return lengths[month - 1];
}

void ClockSetting::setSource(Source source)
{
    m_source = source;
    Q_EMIT sourceChanged(source);
}

void ClockSetting::selectPcTime()
{
    m_timers.stop(kTimerId);
    setSource(Source::Pc);
    m_fields = fieldsFrom(m_clock.now());
    Q_EMIT fieldsChanged();
}

void ClockSetting::selectPbxTime()
{
    setSource(Source::Pbx);
    m_expiries = 0;
    sendRequest();
}

void ClockSetting::sendRequest()
{
    QPointer<ClockSetting> self(this);
    m_programming.registerTimeReceiver([self](const QDateTime &time) {
        if (self)
            self->pbxTimeReceived(time);
    });
    m_programming.request().SYSI_MeskTime();
    m_timers.start(kTimerId, kRequestMs);
}

void ClockSetting::pbxTimeReceived(const QDateTime &time)
{
    // A late answer after the operator went back to this computer's time changes nothing.
    if (m_source != Source::Pbx || !time.isValid())
        return;
    m_timers.stop(kTimerId);
    m_expiries = 0;
    // An open question is answered by the time itself.
    m_asking = false;
    m_fields = fieldsFrom(time);
    Q_EMIT fieldsChanged();
}

void ClockSetting::timerExpired()
{
    ++m_expiries;
    if (m_expiries < 2) {
        sendRequest();
        return;
    }
    // The timer stays stopped while the operator is asked.
    m_timers.stop(kTimerId);
    m_expiries = 0;
    m_asking = true;
    Q_EMIT noResponse();
}

void ClockSetting::answerNoResponse(bool askAgain)
{
    if (!m_asking)
        return;
    m_asking = false;
    if (m_source != Source::Pbx)
        return;
    if (askAgain)
        sendRequest();
    else
        selectPcTime();
}

QString ClockSetting::label() const
{
    return QString::asprintf("%d/%d/%d %d:%d %s", m_fields.year, m_fields.month, m_fields.day, m_fields.hour,
                             m_fields.minute, m_fields.pm ? "p.m." : "a.m");
}

bool ClockSetting::run()
{
    if (!m_programming.checkAllowed())
        return false;
    if (!m_programming.sendKeys(ProgrammingKeys::clockSetting(m_fields.month, m_fields.day, m_fields.year,
                                                              hour24(m_fields.hour, m_fields.pm), m_fields.minute)))
        return false;
    m_timers.stop(kTimerId);
    m_asking = false;
    return true;
}

void ClockSetting::cancel()
{
    m_timers.stop(kTimerId);
    m_asking = false;
}
