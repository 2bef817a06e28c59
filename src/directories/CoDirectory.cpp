#include "directories/CoDirectory.h"

CoDirectory::CoDirectory(QSqlDatabase db, QObject *parent)
    : KeyedDirectory(std::move(db), DirectoryTable::trunk(), 1, parent)
{
}

bool CoDirectory::writeCoLine(quint16 line, const std::optional<QString> &name,
                              const std::optional<QString> &accessCode, const std::optional<QString> &retrieveCode)
{
    return writeThrough(line, [&](CoFields &fields) {
        if (name)
            fields[1] = *name;
        if (accessCode)
            fields[2] = *accessCode;
        if (retrieveCode)
            fields[3] = *retrieveCode;
    });
}
