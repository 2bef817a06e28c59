#pragma once

#include <QDateTime>
#include <QString>

class CExtStatusList;
class CTrkStatusList;
class Clock;

// The tool-tip texts of the station and CO line buttons: lines separated by
// CR LF, captions from the message catalogue, the time in the current status
// from the console's clock. The PBX state line follows the trace window's
// "station state view" and "CO state view" switches.
class StatusToolTip
{
public:
    StatusToolTip(const CExtStatusList &stations, const CTrkStatusList &lines, const Clock &clock);

    // Empty text for an index beyond the table.
    QString station(quint16 index) const;
    QString coLine(quint16 index) const;

    // "%H:%M:%S" of the time from start to now, hours counted within a day.
    static QString elapsed(const QDateTime &start, const QDateTime &now);

private:
    // "Status unknown since hh:mm" while the tables are stale, else empty;
    // a stale tool-tip begins with it and tells no time in the status.
    QString unknownLine() const;

    const CExtStatusList &m_stations;
    const CTrkStatusList &m_lines;
    const Clock &m_clock;
};
