#include "directories/DirectoryExport.h"

#include "base/OperatorUi.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryRecords.h"
#include "directories/DirectoryRecordset.h"
#include "directories/FileCopy.h"
#include "directories/SylkWriter.h"
#include "directories/TextExport.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <memory>

namespace {
const QString DatabaseError = QStringLiteral("#:database_error");

QString baseName(int directory)
{
    return directory == DirectoryExport::SpeedBins      ? QStringLiteral("SpeedDB")
           : directory == DirectoryExport::PhoneNumbers ? QStringLiteral("PhoneDB")
                                                        : QStringLiteral("*");
}
} // namespace

QString DirectoryExport::targetFileName(int directory, int format)
{
    const QString ext = format == Sylk ? QStringLiteral("slk") : format == Text ? QStringLiteral("txt") : QStringLiteral("*");
    return baseName(directory) + QLatin1Char('.') + ext;
}

QString DirectoryExport::backupFileName(int directory, int format)
{
    return baseName(directory) + (format == Sylk ? QStringLiteral(".sl_") : QStringLiteral(".tx_"));
}

DirectoryExport::DirectoryExport(OperatorUi &ui, const Clock &clock, QString folder)
    : m_ui(ui)
    , m_clock(clock)
    , m_folder(std::move(folder))
{
}

bool DirectoryExport::run(const Settings &s)
{
    m_records = 0;
    if ((s.directory != SpeedBins && s.directory != PhoneNumbers) || (s.format != Sylk && s.format != Text)) {
        m_ui.showMessage(QStringLiteral("#:xp_select_db_target"), QStringLiteral("#:input_error"), MessageStyle::Stop);
        return false;
    }
    const QDir dir(s.targetFolder);
    m_target = dir.filePath(targetFileName(s.directory, s.format));
    const QString backup = dir.filePath(backupFileName(s.directory, s.format));

    bool backedUp = false;
    if (s.backup && QFile::exists(m_target)) {
        backedUp = FileCopy::copyOver(m_target, backup);
        if (!backedUp)
            m_ui.showMessage(QStringLiteral("#:xp_cannot_create_target_backup_file"), DatabaseError, MessageStyle::Stop);
    }

    const bool speed = s.directory == SpeedBins;
    const DirectoryTable &table = speed ? DirectoryTable::speedBin() : DirectoryTable::phoneNo();
    // The directory is read before the target is touched, so a directory that
    // cannot be opened leaves the previous export in place.
    std::unique_ptr<DirectoryFileBuilder> builder;
    QSqlDatabase db = m_db;
    if (!db.isValid() || !db.isOpen()) {
        builder = std::make_unique<DirectoryFileBuilder>(
            table, DirectoryFileBuilder::localeForLanguage(DirectoryFileBuilder::languageIdOf(QLocale::system())),
            m_clock);
        const QString file = QDir(m_folder).filePath(speed ? QStringLiteral("SpeedDB.mdb") : QStringLiteral("PhoneDB.mdb"));
        if (builder->OpenOrCreate(file) == DirectoryFileBuilder::Result::Failed) {
            m_ui.showMessage(speed ? QStringLiteral("#:pbe_cannot_create_speed_db")
                                   : QStringLiteral("#:pne_cannot_create_phone_no_db"),
                             DatabaseError, MessageStyle::Stop);
            return false;
        }
        db = builder->database();
    }
    QByteArray bytes;
    {
        DirectoryRecordset set(db, table);
        set.setSort(s.sorting ? (speed ? QStringLiteral("SpdNo ASC") : QStringLiteral("Name ASC")) : QString());
        if (!set.open()) {
            m_ui.showMessage(speed ? QStringLiteral("#:pbe_cannot_create_speed_db")
                                   : QStringLiteral("#:pne_cannot_create_phone_no_db"),
                             DatabaseError, MessageStyle::Stop);
            return false;
        }
        if (speed) {
            const auto records = DirectoryRecords::speedBins(set);
            m_records = int(records.size());
            bytes = s.format == Sylk ? SylkWriter::speedBins(records) : TextExport::speedBins(records);
        } else {
            const auto records = DirectoryRecords::phoneNumbers(set);
            m_records = int(records.size());
            bytes = s.format == Sylk ? SylkWriter::phoneNumbers(records) : TextExport::phoneNumbers(records);
        }
    }

    QFile::remove(m_target);
    QFile out(m_target);
    const bool written = out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
    out.close();
    if (!written) {
        m_ui.showMessage(QStringLiteral("#:xp_cannot_create_target_file"), DatabaseError, MessageStyle::Stop);
        if (backedUp && FileCopy::copyOver(backup, m_target))
            QFile::remove(backup);
        return false;
    }
    m_ui.showMessage(QStringLiteral("#:xp_db_export_finished"), QStringLiteral("#:information"),
                     MessageStyle::Information);
    return true;
}
