#pragma once

#include "ProgrammingDialog.h"

class QLineEdit;

// Station name ("#:atdpgm_sn_stationname"): the name of up to 7 characters
// that the PBX shows for the station of the pop-up.
class StationNameDialog : public ProgrammingDialog
{
    Q_OBJECT
public:
    StationNameDialog(AttendantProgramming &programming, const QString &station, QWidget *parent = nullptr);

    QString station() const { return m_station; }

protected:
    bool run() override;

private:
    QString m_station;
    QLineEdit *m_name;
};
