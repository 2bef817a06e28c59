#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class Clock;
class OperatorUi;
class SpreadsheetReader;

// Replaces the whole speed-bin or phone-number directory with the rows of a
// spreadsheet: checks the columns, keeps a temporary copy (and, when asked,
// a backup) of the previous file, creates the file anew, checks each row
// (correcting it when asked) and writes the good ones; the rejected rows are
// reported by number. The dialog and the command line both run it.
class DirectoryImport
{
public:
    enum Directory { NoDirectory = -1, SpeedBins = 0, PhoneNumbers = 1 };

    struct Settings
    {
        int directory = NoDirectory;
        int version = -1; // 0 Excel 5.0/95, 1 Excel 4.0, 2 Excel 3.0
        QString file;
        bool backup = true;
        bool autoCorrect = false;
    };

    // folder: the directory-files folder holding SpeedDB.mdb and PhoneDB.mdb.
    DirectoryImport(OperatorUi &ui, const Clock &clock, QString folder);

    // Whoever holds the directory open closes it before its file is replaced
    // and opens it again afterwards (argument: SpeedBins or PhoneNumbers).
    void setDirectoryHooks(std::function<void(int)> close, std::function<void(int)> reopen)
    {
        m_close = std::move(close);
        m_reopen = std::move(reopen);
    }

    // Shows every failure, the rejected rows and the closing information.
    bool run(const Settings &settings);

    const QList<int> &rejectedRows() const { return m_rejected; }
    int writtenRows() const { return m_written; }

    // The checks of one row, in column order (SpdNo, Name, Number, COType,
    // CONo, Memo / Name, PhoneNo, Memo); the fields are left as they are to be
    // written. False: the row is rejected.
    static bool checkSpeedBinRow(QStringList &fields, bool autoCorrect);
    static bool checkPhoneNoRow(QStringList &fields, bool autoCorrect);

    // The text of a cell: a number as its whole part, a text as it is.
    static QString cellText(const QVariant &value);

private:
    bool importInto(const Settings &s, SpreadsheetReader &reader, const QList<int> &columns);
    void fail(const char *key);

    OperatorUi &m_ui;
    const Clock &m_clock;
    QString m_folder;
    std::function<void(int)> m_close;
    std::function<void(int)> m_reopen;
    QList<int> m_rejected;
    int m_written = 0;
};
