#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class Clock;

// The plain-text listing of one directory that printing goes through: a
// centred title, framed by rules of "=" and "-", one or more lines a record,
// CR LF line ends. Every line but an empty one starts with " ", "=" or "-";
// the graphic printer relies on it.
//
// A job opens its own connection to the directory file, so it may run on a
// worker thread while the directory windows use theirs.
class DirectoryListing
{
public:
    enum Kind { SpeedBins = 1, PhoneNumbers = 2, Stations = 3, CoLines = 4 };

    static QString listingFileName(int kind); // "SpeedDB.txt", ...
    static QString backupFileName(int kind);  // "SpeedDB.tx_", ...
    static QString documentName(int kind);    // "SpeedDB-Zarto", ...
    static QString databaseFileName(int kind);
    // The "cannot create" message of the kind's directory.
    static QString cannotOpenKey(int kind);

    // databaseFolder holds the .mdb files; the listing is written into
    // listingFolder (the same folder when printing).
    DirectoryListing(const Clock &clock, QString databaseFolder, QString listingFolder);

    // The keys of the labels of the station and CO line listings.
    static QStringList labelKeys();
    // Texts of the labels ("#:sd_first_name", ...); by default the catalogue's.
    void setTranslator(std::function<QString(const QString &)> translate) { m_translate = std::move(translate); }

    // Makes the listing file, backing up a previous one. False with
    // errorKey() set when the directory cannot be read, with it empty when
    // the file cannot be written (the previous listing is then restored).
    bool write(int kind);

    const QString &listingPath() const { return m_path; }
    // Lines written, blank lines included.
    int lineCount() const { return m_lines; }
    const QString &errorKey() const { return m_errorKey; }

    // The labelled-field form: " label : " and the value in pieces of
    // 79 - label length characters, further lines indented by the label.
    static QString labelledField(const QString &label, const QString &value);

private:
    bool readDirectory(int kind, QString &text);

    const Clock &m_clock;
    QString m_databaseFolder;
    QString m_listingFolder;
    std::function<QString(const QString &)> m_translate;
    QString m_path;
    QString m_errorKey;
    int m_lines = 0;
};
