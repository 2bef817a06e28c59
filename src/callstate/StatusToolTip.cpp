#include "StatusToolTip.h"

#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"
#include "callstate/StatusFreshness.h"
#include "base/Clock.h"
#include "base/MessageCatalogue.h"
#include "base/Trace.h"

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

QString orDots(const QString &number)
{
    return number.isEmpty() ? QStringLiteral("....") : number;
}

// The marks, the time in the status and the connected party, alike for
// stations and CO lines.
void appendCommon(QString &text, const CPortStatus &r, quint8 partyKind, quint16 partyIndex,
                  const CExtStatusList &stations, const CTrkStatusList &lines, const MessageCatalogue &cat,
                  const QDateTime &now, bool stale)
{
    if (r.flags & CPortStatus::DND)
        text += kLineBreak + cat.text(QStringLiteral("#:dnd_status_DLO"));
    if (r.flags & CPortStatus::OutgoingDisabled)
        text += kLineBreak + cat.text(QStringLiteral("#:outgoing_disable_DLO"));

    // While the status is not known, how long a port has been in it is not known either.
    const QString label = stale ? QString() : Status::timeLabelKey(r.status);
    if (!label.isEmpty())
        text += kLineBreak + cat.text(label) + QLatin1Char('(') + StatusToolTip::elapsed(r.statusStart, now)
            + QLatin1Char(')');

    const QString title = cat.text(QStringLiteral("#:asc_title_DLO"));
    if (partyKind == 1 && partyIndex < stations.count()) {
        text += kLineBreak + title + QStringLiteral(": ") + cat.text(QStringLiteral("#:sta_title_DLO"))
            + QLatin1Char(' ') + stations.record(partyIndex)->numberText();
    } else if (partyKind == 2 && partyIndex < lines.count()) {
        text += kLineBreak + title + QStringLiteral(": ") + cat.text(QStringLiteral("#:co_title_DLO"))
            + QString::asprintf(" %02d", partyIndex + 1);
    } else if (partyKind == 3 && partyIndex < 255) {
        text += kLineBreak + title + QStringLiteral(": ") + cat.text(QStringLiteral("#:dvu_title_DLO"))
            + QString::asprintf(" %02d", partyIndex);
    }
}

} // namespace

StatusToolTip::StatusToolTip(const CExtStatusList &stations, const CTrkStatusList &lines, const Clock &clock)
    : m_stations(stations)
    , m_lines(lines)
    , m_clock(clock)
{
}

QString StatusToolTip::elapsed(const QDateTime &start, const QDateTime &now)
{
    qint64 secs = start.isValid() ? start.secsTo(now) : 0;
    if (secs < 0)
        secs = 0;
    secs %= 24 * 3600;
    return QString::asprintf("%02d:%02d:%02d", int(secs / 3600), int(secs / 60 % 60), int(secs % 60));
}

QString StatusToolTip::station(quint16 index) const
{
    const CExtStatus *r = m_stations.record(index);
    if (!r)
        return QString();
    const MessageCatalogue cat;
    const QString unknown = unknownLine();
    QString text = cat.text(QStringLiteral("#:port_no_DLO")) + QString::asprintf(" %03d", index + 1) + kLineBreak
        + cat.text(QStringLiteral("#:sta_no_DLO")) + QLatin1Char(' ') + orDots(r->numberText());
    if (!r->name.isEmpty())
        text += kLineBreak + cat.text(QStringLiteral("#:sta_name_DLO")) + QLatin1Char(' ') + r->name;
    if (!r->fullName.isEmpty())
        text += kLineBreak + cat.text(QStringLiteral("#:full_name_DLO")) + QLatin1Char(' ') + r->fullName;
    appendCommon(text, *r, r->associatedKind, r->associatedIndex, m_stations, m_lines, cat, m_clock.now(),
                 !unknown.isEmpty());
    if (r->wakeupMode != 0 && r->wakeupMode != 0xFF) {
        text += kLineBreak
            + cat.text(r->wakeupMode == 1 ? QStringLiteral("#:sta_wakeup_S_DLO") : QStringLiteral("#:sta_wakeup_C_DLO"))
            + QString::asprintf(" %02d:%02d", r->wakeupHour, r->wakeupMinute);
    }
    if (r->tempCos != 0 && r->tempCos != 0xFF)
        text += kLineBreak + cat.text(QStringLiteral("#:sta_temp_COS_DLO"));
    if (Trace::switches().stationState)
        text += QString::asprintf("\r\nMesk state: %02X", r->meskState);
    return unknown.isEmpty() ? text : unknown + kLineBreak + text;
}

QString StatusToolTip::coLine(quint16 index) const
{
    const CTrkStatus *r = m_lines.record(index);
    if (!r)
        return QString();
    const MessageCatalogue cat;
    const QString unknown = unknownLine();
    QString text = cat.text(QStringLiteral("#:line_no_DLO")) + QString::asprintf("%02d", index + 1) + kLineBreak
        + cat.text(QStringLiteral("#:acs_code_DLO")) + orDots(r->numberText()) + kLineBreak
        + cat.text(QStringLiteral("#:retreive_code_DLO")) + orDots(Nibbles::toText(r->retrieveCode));
    appendCommon(text, *r, r->associatedKind, r->associatedIndex, m_stations, m_lines, cat, m_clock.now(),
                 !unknown.isEmpty());
    if (!r->callerId.isEmpty() && r->status != Status::STTRK_IDLE)
        text += kLineBreak + cat.text(QStringLiteral("#:caller_id_DLO")) + r->callerId;
    if (Trace::switches().coState)
        text += QString::asprintf("\r\nMesk state: %02X", r->meskState);
    return unknown.isEmpty() ? text : unknown + kLineBreak + text;
}

QString StatusToolTip::unknownLine() const
{
    const StatusFreshness *freshness = m_stations.freshness();
    return freshness ? freshness->unknownLine() : QString();
}
