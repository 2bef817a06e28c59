#include "directories/DirectoryImport.h"

#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "directories/CharacterCut.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryRecordset.h"
#include "directories/DirectoryUpsert.h"
#include "directories/FileCopy.h"
#include "directories/SpreadsheetReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cmath>
#include <memory>
#include <optional>

Q_LOGGING_CATEGORY(lcImport, "zarto.directories.import")

namespace {
const QString DatabaseError = QStringLiteral("#:database_error");

const QStringList SpeedColumns{"SpdNo", "Name", "Number", "COType", "CONo", "Memo"};
const QStringList PhoneColumns{"Name", "PhoneNo", "Memo"};

bool onlyOf(const QString &text, QLatin1String allowed)
{
    for (QChar c : text) {
        if (c.unicode() > 127 || !QLatin1String(allowed).contains(c))
            return false;
    }
    return true;
}

QString keepOnly(const QString &text, QLatin1String allowed)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() <= 127 && allowed.contains(c))
            out.append(c);
    }
    return out;
}

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A number of 1 to 3 digits within first..last.
bool inRange(const QString &text, int first, int last)
{
    if (text.isEmpty() || text.size() > 3 || !allDigits(text))
        return false;
    const int v = text.toInt();
    return v >= first && v <= last;
}

const QLatin1String NameChars("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890 .,:");
const QLatin1String NumberChars("1234567890PSF*#");

// Brings every committed write into the main file, so that a plain copy of
// it holds the whole directory.
void checkpoint(const QString &path)
{
    if (!QFile::exists(path + QStringLiteral("-wal")))
        return;
    const QString name = QStringLiteral("import-checkpoint-") + QUuid::createUuid().toString(QUuid::Id128);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
}

bool removeDatabaseFile(const QString &path)
{
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    return !QFile::exists(path) || QFile::remove(path);
}
} // namespace

DirectoryImport::DirectoryImport(OperatorUi &ui, const Clock &clock, QString folder)
    : m_ui(ui)
    , m_clock(clock)
    , m_folder(std::move(folder))
{
}

void DirectoryImport::fail(const char *key)
{
    m_ui.showMessage(QString::fromLatin1(key), DatabaseError, MessageStyle::Stop);
}

QString DirectoryImport::cellText(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
            return QStringLiteral("0");
        return QString::number(qint64(d));
    }
    return value.isValid() ? value.toString() : QString();
}

bool DirectoryImport::checkSpeedBinRow(QStringList &f, bool autoCorrect)
{
    if (f.size() != 6)
        return false;
    f[0] = f[0].trimmed();
    if (f[0].isEmpty() || f[0].size() > 4 || !allDigits(f[0]) || f[0].toInt() < 2000 || f[0].toInt() > 4999)
        return false;

    f[1] = f[1].trimmed().toUpper();
    if (autoCorrect)
        f[1] = keepOnly(f[1], NameChars).left(16);
    else if (f[1].size() > 16 || !onlyOf(f[1], NameChars))
        return false;

    f[2] = f[2].toUpper();
    if (autoCorrect)
        f[2] = keepOnly(f[2], NumberChars);
    if (f[2].isEmpty() || f[2].size() > 24 || !onlyOf(f[2], NumberChars))
        return false;

    f[3] = f[3].trimmed();
    if (autoCorrect) {
        const QString t = f[3].toUpper();
        f[3] = t == "NONE" || t == "N"   ? QStringLiteral("None")
               : t == "LINE" || t == "L" ? QStringLiteral("Line")
               : t == "GROUP" || t == "G" ? QStringLiteral("Group")
                                          : f[3];
    }
    f[4] = f[4].trimmed();
    if (f[3] == "Line") {
        if (!inRange(f[4], 1, 200))
            return false;
    } else if (f[3] == "Group") {
        if (!inRange(f[4], 1, 72))
            return false;
    } else if (f[3] == "None") {
        if (!f[4].isEmpty() && f[4] != "0") {
            if (!autoCorrect)
                return false;
            f[4] = QStringLiteral("0");
        }
    } else {
        return false;
    }

    f[5] = f[5].trimmed();
    if (autoCorrect)
        f[5] = CharacterCut::fitUnits(f[5], 255);
    return f[5].size() < 256;
}

bool DirectoryImport::checkPhoneNoRow(QStringList &f, bool autoCorrect)
{
    if (f.size() != 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        f[i] = f[i].trimmed();
        const int limit = i < 2 ? 64 : 255;
        if (autoCorrect)
            f[i] = CharacterCut::fitUnits(f[i], limit);
        if (f[i].size() > limit || (i < 2 && f[i].isEmpty()))
            return false;
    }
    return true;
}

bool DirectoryImport::run(const Settings &s)
{
    m_rejected.clear();
    m_written = 0;
    if ((s.directory != SpeedBins && s.directory != PhoneNumbers) || s.version < 0 || s.version > 2) {
        m_ui.showMessage(QStringLiteral("#:xl_select_db_excel"), QStringLiteral("#:input_error"), MessageStyle::Stop);
        return false;
    }
    if (m_close)
        m_close(s.directory);
    const bool ok = [&] {
        if (!QFileInfo(s.file).isFile()) {
            fail("#:xl_excel_file_not_exist");
            return false;
        }
        auto reader = SpreadsheetReader::forFile(s.file);
        if (!reader->open(s.file)) {
            qCWarning(lcImport) << s.file << reader->errorText();
            fail("#:xl_cannot_open_excel_db");
            return false;
        }
        const bool speed = s.directory == SpeedBins;
        if (!reader->selectSheet(speed ? QStringLiteral("SpeedDB") : QStringLiteral("PhoneDB"))
            && !reader->selectSheet(QStringLiteral("Sheet1"))) {
            fail("#:xl_cannot_open_excel_set");
            return false;
        }
        const QStringList &required = speed ? SpeedColumns : PhoneColumns;
        QList<int> columns(required.size(), -1);
        QList<bool> doubled(required.size(), false);
        for (int c = 0; c < reader->columnCount(); ++c) {
            QVariant v;
            if (!reader->cell(0, c, v))
                continue;
            const qsizetype i = required.indexOf(cellText(v));
            if (i < 0)
                continue;
            if (columns[i] >= 0)
                doubled[i] = true;
            else
                columns[i] = c;
        }
        if (columns.contains(-1)) {
            fail("#:xl_field_name_not_exist_or_wrong");
            return false;
        }
        if (doubled.contains(true)) {
            fail("#:xl_duplicate_field_name_exist");
            return false;
        }
        return importInto(s, *reader, columns);
    }();
    if (m_reopen)
        m_reopen(s.directory);
    if (ok)
        m_ui.showMessage(QStringLiteral("#:xl_excel_import_finished"), QStringLiteral("#:information"),
                         MessageStyle::Information);
    return ok;
}

bool DirectoryImport::importInto(const Settings &s, SpreadsheetReader &reader, const QList<int> &columns)
{
    const bool speed = s.directory == SpeedBins;
    const QDir dir(m_folder);
    const QString base = speed ? QStringLiteral("SpeedDB") : QStringLiteral("PhoneDB");
    const QString live = dir.filePath(base + QStringLiteral(".mdb"));
    const QString temporary = dir.filePath(base + QStringLiteral(".tmp"));
    const QString backup = dir.filePath(base + QStringLiteral(".bak"));
    const DirectoryTable &table = speed ? DirectoryTable::speedBin() : DirectoryTable::phoneNo();

    const bool hadFile = QFile::exists(live);
    bool haveTemporary = false;
    if (hadFile) {
        checkpoint(live);
        haveTemporary = FileCopy::copyOver(live, temporary);
        // Without a previous file there is nothing to back up.
        if (s.backup && !FileCopy::copyOver(live, backup)) {
            fail("#:xl_cannot_create_db_backup_file");
            QFile::remove(temporary);
            return false;
        }
    }
    const auto restore = [&] {
        if (haveTemporary)
            FileCopy::copyOver(temporary, live);
        else if (s.backup && hadFile)
            FileCopy::copyOver(backup, live);
    };
    if (!removeDatabaseFile(live)) {
        fail("#:xl_cannot_delete_existing_db_file");
        restore();
        QFile::remove(temporary);
        return false;
    }

    std::optional<DirectoryFileBuilder> builder;
    builder.emplace(
        table, DirectoryFileBuilder::localeForLanguage(DirectoryFileBuilder::languageIdOf(QLocale::system())), m_clock);
    if (builder->OpenOrCreate(live) != DirectoryFileBuilder::Result::Created) {
        fail(speed ? "#:pbe_cannot_create_speed_db" : "#:pne_cannot_create_phone_no_db");
        // The previous directory is still in the temporary copy: put it back
        // rather than leave the operator with none.
        removeDatabaseFile(live);
        restore();
        QFile::remove(temporary);
        return false;
    }

    // All rows go into the new file in one transaction.
    QSqlDatabase db = builder->database();
    const bool transaction = db.transaction();
    {
        DirectoryRecordset set(db, table);
        for (int row = 1; row < reader.rowCount(); ++row) {
            QStringList fields;
            bool readable = true;
            for (qsizetype i = 0; i < columns.size() && readable; ++i) {
                QVariant v;
                readable = reader.cell(row, columns[i], v);
                if (!readable && speed && i == 2)
                    m_ui.showFixedMessage(reader.errorText(), QString(), MessageStyle::Deferred);
                fields.append(cellText(v));
            }
            const bool good = readable
                              && (speed ? checkSpeedBinRow(fields, s.autoCorrect) : checkPhoneNoRow(fields, s.autoCorrect));
            if (!good) {
                m_rejected.append(row);
                continue;
            }
            bool written;
            if (speed) {
                const int shown = fields[4].toInt();
                const int coNo = fields[3] == "Line" ? shown - 1 : fields[3] == "Group" ? shown : 0;
                const QVariantList values{fields[0].toInt(), fields[1], keepOnly(fields[2].toUpper(), NumberChars),
                                          fields[3], coNo, fields[5]};
                written = DirectoryUpsert::write(set, QStringLiteral("SpdNo = ") + fields[0], values, false)
                          != DirectoryUpsert::Failed;
            } else {
                const QVariantList values{fields[0], fields[1], fields[2]};
                written = DirectoryUpsert::write(set, QStringLiteral("Name = ") + DirectoryRecordset::quoted(fields[0]),
                                                 values, fields[1].isEmpty() && fields[2].isEmpty())
                          != DirectoryUpsert::Failed;
            }
            if (written)
                ++m_written;
            else
                m_rejected.append(row);
        }
    }
    if (transaction && !db.commit()) {
        qCWarning(lcImport) << "cannot commit the import:" << db.lastError().text();
        db.rollback();
        fail(speed ? "#:pbe_cannot_create_speed_db" : "#:pne_cannot_create_phone_no_db");
        db = QSqlDatabase();
        builder.reset();
        removeDatabaseFile(live);
        restore();
        QFile::remove(temporary);
        return false;
    }
    reader.close();
    QFile::remove(temporary);

    if (!m_rejected.isEmpty()) {
        const MessageCatalogue catalogue;
        QStringList rows;
        for (int r : m_rejected)
            rows.append(QString::number(r));
        const QString text = catalogue.text(s.autoCorrect ? QStringLiteral("#:xl_list_of_excel_line_not_corrected")
                                                          : QStringLiteral("#:xl_list_of_discarded_excel_line"))
                             + QStringLiteral("\n\n") + catalogue.text(QStringLiteral("#:xl_line_number"))
                             + QStringLiteral(" : ") + rows.join(QStringLiteral(", "));
        m_ui.showFixedMessage(text, catalogue.text(QStringLiteral("#:information")), MessageStyle::Information);
    }
    return true;
}
