#pragma once

#include <QString>

#include <optional>

// Write-through of what the PBX reports into the CO line directory.
class CoDirectoryWriter
{
public:
    virtual ~CoDirectoryWriter();
    // Only the given fields replace the stored ones. False when the
    // directory's recordset cannot be opened: nothing was written.
    virtual bool writeCoLine(quint16 line, const std::optional<QString> &name, const std::optional<QString> &accessCode,
                             const std::optional<QString> &retrieveCode) = 0;
};
