#pragma once

#include <QObject>
#include <QString>

#include <memory>

class CallerNameIndex;
class Clock;
class CoDirectory;
class CPhoneBookDB;
class DirectoryFileBuilder;
class OperatorUi;
class PhoneNoDirectory;
class StationDirectory;
class TimerHost;

// The directory files of a run, in the "Database" folder of the program
// directory. open() creates the folder and opens the files in their order
// (speed bins, stations, CO lines, phone numbers); a directory that cannot
// be opened or created is absent for the run, and its commands say so.
class DirectoryFiles : public QObject
{
    Q_OBJECT
public:
    DirectoryFiles(OperatorUi &ui, const Clock &clock, QObject *parent = nullptr);
    // With the timers the speed-bin directory keeps itself in step with the
    // PBX; without them it is not opened.
    DirectoryFiles(OperatorUi &ui, const Clock &clock, TimerHost &timers, QObject *parent = nullptr);
    ~DirectoryFiles() override;

    // folder: the "Database" folder. Shows "#:database_error" with the
    // directory's "cannot create" text for each one that fails.
    void open(const QString &folder);
    // An import replaces the file of the speed-bin (0) or phone-number (1)
    // directory: its connection is closed first and the directory opened
    // anew afterwards, so nothing reads or writes the replaced file.
    void closeForImport(int directory);
    void reopenAfterImport(int directory);
    bool isOpened() const { return m_opened; }
    const QString &folder() const { return m_folder; }

    // The index of callers' names the phone-number, speed-bin and station
    // directories keep current from the time they open; a source whose file
    // is absent or being replaced is empty.
    void setCallerNames(CallerNameIndex *index) { m_callerNames = index; }

    // The locale new files are created with (from the system language).
    void setLocale(const QString &locale) { m_locale = locale; }

    // nullptr when absent.
    StationDirectory *stations() const;
    CoDirectory *coLines() const;
    PhoneNoDirectory *phoneNumbers() const;
    CPhoneBookDB *speedBins() const;

Q_SIGNALS:
    // A directory was opened anew after an import.
    void reopened(int directory);

private:
    void openSpeedBins();
    void openPhoneNumbers();

    OperatorUi &m_ui;
    const Clock &m_clock;
    TimerHost *m_timers = nullptr;
    QString m_folder;
    bool m_opened = false;
    QString m_locale;
    CallerNameIndex *m_callerNames = nullptr;
    // Declared before the directories: a connection outlives its users.
    std::unique_ptr<DirectoryFileBuilder> m_speedFile;
    std::unique_ptr<DirectoryFileBuilder> m_stationFile;
    std::unique_ptr<DirectoryFileBuilder> m_coFile;
    std::unique_ptr<CPhoneBookDB> m_speedBins;
    std::unique_ptr<StationDirectory> m_stations;
    std::unique_ptr<CoDirectory> m_coLines;
    std::unique_ptr<DirectoryFileBuilder> m_phoneNoFile;
    std::unique_ptr<PhoneNoDirectory> m_phoneNumbers;
};
