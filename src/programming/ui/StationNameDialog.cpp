#include "StationNameDialog.h"

#include "programming/AttendantProgramming.h"

#include <QLineEdit>

StationNameDialog::StationNameDialog(AttendantProgramming &programming, const QString &station, QWidget *parent)
    : ProgrammingDialog(programming, QStringLiteral("#:atdpgm_sn_stationname"), parent)
    , m_station(station)
    , m_name(addTextField(QStringLiteral("name"), QStringLiteral("#:atdpgm_name"), 7))
{
    keepUpperCase(m_name);
    finish(m_name);
}

bool StationNameDialog::run()
{
    return programming().runStationName(m_station, m_name->text());
}
