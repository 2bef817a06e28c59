#pragma once

#include <QString>

#include <functional>

// The mail address of a station, read from the station directory (its
// record with "Port = <port>", field Mail). errorKey names the failure when
// the directory cannot be created or opened ("#:cannot_create_sta_db",
// "#:cannot_open_sta_database", "#:cannot_open_sta_db_recordset"); it is
// shown under "#:database_error".
struct StationMailAddress
{
    QString mail;
    QString errorKey;
};

using StationMailLookup = std::function<StationMailAddress(int port)>;
