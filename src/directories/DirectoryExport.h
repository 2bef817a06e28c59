#pragma once

#include <QSqlDatabase>
#include <QString>

class Clock;
class OperatorUi;

// One export of the speed-bin or phone-number directory to a SYLK or text
// file in a target folder, with the backup of an existing target. The
// dialog and the command line both run it.
class DirectoryExport
{
public:
    enum Directory { NoDirectory = -1, SpeedBins = 0, PhoneNumbers = 1 };
    enum Format { NoFormat = -1, Sylk = 0, Text = 1 };

    struct Settings
    {
        int directory = NoDirectory;
        int format = NoFormat;
        QString targetFolder;
        bool backup = true;
        bool sorting = true;
    };

    // "SpeedDB.slk" and so on; "*" for what is not chosen yet.
    static QString targetFileName(int directory, int format);
    static QString backupFileName(int directory, int format);

    // folder: the directory-files folder whose .mdb is read when no open
    // database is given.
    DirectoryExport(OperatorUi &ui, const Clock &clock, QString folder);

    // The database the directory window has open; otherwise the file is opened.
    void setDatabase(QSqlDatabase db) { m_db = std::move(db); }

    // Shows every failure and the closing information; true when written.
    bool run(const Settings &settings);
    // The target file of the last run.
    const QString &targetPath() const { return m_target; }
    int recordCount() const { return m_records; }

private:
    OperatorUi &m_ui;
    const Clock &m_clock;
    QString m_folder;
    QSqlDatabase m_db;
    QString m_target;
    int m_records = 0;
};
