#pragma once

#include <QString>

// The name columns of one row of the station directory, as the station table
// takes them for the full names (Port is 1-based; 0 marks a broken row).
struct StationNameRow
{
    qint32 port = 0;
    QString firstName;
    QString middleName;
    QString lastName;
};
