#pragma once

#include "directories/DirectoryTable.h"

#include <QSqlDatabase>
#include <QString>

class Clock;

// Opens or creates the SQLite file of one directory with its one table, the
// metadata table holding the locale, WAL journaling and synchronous=NORMAL.
class DirectoryFileBuilder
{
public:
    enum class Result {
        Opened,   // an existing file of the right layout
        Created,  // a new file
        SetAside, // the old file was damaged or of another layout: renamed aside, a new one created
        Failed,
    };

    // locale: the string stored in a new file (localeForLanguage()).
    DirectoryFileBuilder(const DirectoryTable &table, QString locale, const Clock &clock);
    ~DirectoryFileBuilder();

    // Deletes the file (a failure to delete is ignored), then openOrCreate().
    Result Recreate(const QString &path);
    // Opens the file if it holds this table with every field; a file that is
    // damaged or of another layout is renamed "<path>.bad-<yyyyMMdd-hhmmss>"
    // and created anew.
    Result OpenOrCreate(const QString &path);

    // The open database (its own connection name); invalid after Failed.
    QSqlDatabase database() const;
    // The name the damaged file was given after SetAside.
    const QString &setAsidePath() const { return m_setAside; }
    // What went wrong, for the trace.
    const QString &errorText() const { return m_error; }

    // ";LANGID=0x0409;CP=1252;COUNTRY=0" and the other locales of new files,
    // chosen by the primary language (low 10 bits) and sublanguage of a
    // language identifier.
    static QString localeForLanguage(quint16 languageId);
    // The language identifier of a QLocale (primary | sublanguage << 10).
    static quint16 languageIdOf(const class QLocale &locale);

    // The locale of the open file (read from an existing one).
    const QString &locale() const { return m_locale; }

private:
    bool openConnection(const QString &path);
    void closeConnection();
    bool hasLayout();
    bool createLayout();

    const DirectoryTable &m_table;
    QString m_locale;
    const Clock &m_clock;
    QString m_connection;
    QString m_setAside;
    QString m_error;
};
