#include "directories/DirectoryFiles.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "callstate/CallerNameIndex.h"
#include "directories/CPhoneBookDB.h"
#include "directories/CoDirectory.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/PhoneNoDirectory.h"
#include "directories/StationDirectory.h"

#include <QDir>
#include <QLocale>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDirectoryFiles, "zarto.directories")

DirectoryFiles::DirectoryFiles(OperatorUi &ui, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_clock(clock)
    , m_locale(DirectoryFileBuilder::localeForLanguage(DirectoryFileBuilder::languageIdOf(QLocale::system())))
{
}

DirectoryFiles::DirectoryFiles(OperatorUi &ui, const Clock &clock, TimerHost &timers, QObject *parent)
    : DirectoryFiles(ui, clock, parent)
{
    m_timers = &timers;
}

DirectoryFiles::~DirectoryFiles()
{
    m_speedBins.reset();
    m_stations.reset();
    m_coLines.reset();
    m_phoneNumbers.reset();
}

StationDirectory *DirectoryFiles::stations() const
{
    return m_stations.get();
}

CoDirectory *DirectoryFiles::coLines() const
{
    return m_coLines.get();
}

PhoneNoDirectory *DirectoryFiles::phoneNumbers() const
{
    return m_phoneNumbers.get();
}

CPhoneBookDB *DirectoryFiles::speedBins() const
{
    return m_speedBins.get();
}

namespace {
// Opens one directory file; on failure shows its message and gives nullptr.
// The operator's entries are kept from one run to the next: the file is
// opened, not recreated; a damaged file is set aside, with a message.
std::unique_ptr<DirectoryFileBuilder> openFile(const DirectoryTable &table, const QString &path,
                                               const QString &locale, const Clock &clock, OperatorUi &ui,
                                               const char *cannotCreateKey)
{
    auto builder = std::make_unique<DirectoryFileBuilder>(table, locale, clock);
    const auto result = builder->OpenOrCreate(path);
    if (result == DirectoryFileBuilder::Result::Failed) {
        qCWarning(lcDirectoryFiles) << "cannot open or create" << path << builder->errorText();
        ui.showMessage(QString::fromLatin1(cannotCreateKey), QStringLiteral("#:database_error"), MessageStyle::Stop);
        return nullptr;
    }
    if (result == DirectoryFileBuilder::Result::SetAside) {
        const MessageCatalogue catalogue;
        QString text = catalogue.text(QStringLiteral("#:db_file_set_aside"));
        if (!text.contains(QLatin1String("%2")))
            text += QStringLiteral(" (%1 -> %2)"); // the key alone still names the files
        ui.showFixedMessage(text.arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(builder->setAsidePath())),
                            catalogue.text(QStringLiteral("#:database_error")), MessageStyle::Exclamation);
    }
    return builder;
}
} // namespace

void DirectoryFiles::open(const QString &folder)
{
    m_folder = folder;
    m_opened = false;
    m_speedBins.reset();
    m_speedFile.reset();
    m_stations.reset();
    m_coLines.reset();
    m_phoneNumbers.reset();
    m_stationFile.reset();
    m_coFile.reset();
    m_phoneNoFile.reset();
    if (m_callerNames) {
        for (int source = 0; source < CallerNameIndex::SourceCount; ++source)
            m_callerNames->clear(CallerNameIndex::Source(source));
    }
    if (!QDir().mkpath(folder)) {
        // Without the folder every directory is absent for the run, silently.
        qCWarning(lcDirectoryFiles) << "cannot create" << folder << "- no directory this run";
        return;
    }
    const QDir dir(folder);
    openSpeedBins();
    m_stationFile = openFile(DirectoryTable::extension(), dir.filePath(QStringLiteral("ExtDB.mdb")), m_locale,
                             m_clock, m_ui, "#:cannot_create_sta_db");
    if (m_stationFile)
        m_stations = std::make_unique<StationDirectory>(m_stationFile->database());
    if (m_callerNames && m_stations)
        m_stations->setCallerNames(m_callerNames);
    m_coFile = openFile(DirectoryTable::trunk(), dir.filePath(QStringLiteral("TrkDB.mdb")), m_locale, m_clock, m_ui,
                        "#:cannot_create_co_db");
    if (m_coFile)
        m_coLines = std::make_unique<CoDirectory>(m_coFile->database());
    openPhoneNumbers();
    m_opened = true;
}

void DirectoryFiles::openSpeedBins()
{
    if (!m_timers)
        return;
    m_speedFile = openFile(DirectoryTable::speedBin(), QDir(m_folder).filePath(QStringLiteral("SpeedDB.mdb")), m_locale,
                           m_clock, m_ui, "#:pbe_cannot_create_speed_db");
    if (m_speedFile)
        m_speedBins = std::make_unique<CPhoneBookDB>(m_speedFile->database(), *m_timers, m_ui);
    if (m_callerNames && m_speedBins)
        m_speedBins->setCallerNames(m_callerNames);
}

void DirectoryFiles::openPhoneNumbers()
{
    // The operator's phone numbers survive from run to run: opened, created only when missing.
    m_phoneNoFile = openFile(DirectoryTable::phoneNo(), QDir(m_folder).filePath(QStringLiteral("PhoneDB.mdb")), m_locale,
                             m_clock, m_ui, "#:pne_cannot_create_phone_no_db");
    if (m_phoneNoFile)
        m_phoneNumbers = std::make_unique<PhoneNoDirectory>(m_phoneNoFile->database());
    if (m_callerNames && m_phoneNumbers)
        m_phoneNumbers->setCallerNames(m_callerNames);
}

void DirectoryFiles::closeForImport(int directory)
{
    if (directory == 0) {
        m_speedBins.reset();
        m_speedFile.reset();
    } else if (directory == 1) {
        m_phoneNumbers.reset();
        m_phoneNoFile.reset();
    }
    // Until the new file is open its callers are unknown.
    if (m_callerNames && (directory == 0 || directory == 1))
        m_callerNames->clear(directory == 0 ? CallerNameIndex::SpeedBins : CallerNameIndex::PhoneNumbers);
}

void DirectoryFiles::reopenAfterImport(int directory)
{
    if (!m_opened)
        return;
    if (directory == 0 && !m_speedBins)
        openSpeedBins();
    else if (directory == 1 && !m_phoneNumbers)
        openPhoneNumbers();
    Q_EMIT reopened(directory);
}
