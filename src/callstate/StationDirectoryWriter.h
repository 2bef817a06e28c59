#pragma once

#include <QString>

#include <optional>

// Write-through of what the PBX reports into the station directory.
class StationDirectoryWriter
{
public:
    virtual ~StationDirectoryWriter();
    // Only the given fields replace the stored ones. False when the
    // directory's recordset cannot be opened: nothing was written.
    virtual bool writeStation(quint16 port, const std::optional<QString> &number, const std::optional<QString> &name) = 0;
};
