#pragma once

#include "ManualClock.h"

#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryRecordset.h"

#include <QDir>
#include <QVariantList>

// Fills a directory file of a folder the way the directory windows would.
inline bool fillDirectory(const QString &folder, const DirectoryTable &table, const QString &file,
                          const QList<QVariantList> &rows)
{
    ManualClock clock;
    DirectoryFileBuilder builder(table, DirectoryFileBuilder::localeForLanguage(0x0409), clock);
    if (builder.OpenOrCreate(QDir(folder).filePath(file)) == DirectoryFileBuilder::Result::Failed)
        return false;
    DirectoryRecordset set(builder.database(), table);
    if (!set.open())
        return false;
    for (const QVariantList &row : rows) {
        if (!set.addNew(row))
            return false;
    }
    return true;
}

// Every record of a directory file as texts, in the given sort.
inline QList<QStringList> readDirectory(const QString &folder, const DirectoryTable &table, const QString &file,
                                        const QString &sort)
{
    ManualClock clock;
    DirectoryFileBuilder builder(table, DirectoryFileBuilder::localeForLanguage(0x0409), clock);
    QList<QStringList> out;
    if (builder.OpenOrCreate(QDir(folder).filePath(file)) == DirectoryFileBuilder::Result::Failed)
        return out;
    DirectoryRecordset set(builder.database(), table);
    set.setSort(sort);
    if (!set.open())
        return out;
    for (bool ok = set.moveFirst(); ok; ok = set.moveNext()) {
        QStringList row;
        for (int i = 1; i < table.fields.size(); ++i)
            row.append(set.value(i).toString());
        out.append(row);
    }
    return out;
}
