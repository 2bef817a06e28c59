#include "directories/DirectoryListing.h"

#include "base/MessageCatalogue.h"
#include "callstate/FullName.h"
#include "directories/CharacterCut.h"
#include "directories/DirectoryFileBuilder.h"
#include "directories/DirectoryRecords.h"
#include "directories/DirectoryRecordset.h"
#include "directories/FileCopy.h"
#include "directories/TextExport.h"

#include <QDir>
#include <QFile>
#include <QLocale>

namespace {
const QString CrLf = QStringLiteral("\r\n");

const char *const Base[] = {"", "SpeedDB", "PhoneDB", "ExtDB", "TrkDB"};

bool validKind(int kind)
{
    return kind >= DirectoryListing::SpeedBins && kind <= DirectoryListing::CoLines;
}

const DirectoryTable &tableOf(int kind)
{
    switch (kind) {
    case DirectoryListing::SpeedBins:
        return DirectoryTable::speedBin();
    case DirectoryListing::PhoneNumbers:
        return DirectoryTable::phoneNo();
    case DirectoryListing::Stations:
        return DirectoryTable::extension();
    default:
        return DirectoryTable::trunk();
    }
}

QString sortOf(int kind)
{
    static const char *const sorts[] = {"", "SpdNo ASC", "Name ASC", "Port ASC", "LineNo ASC"};
    return QString::fromLatin1(sorts[kind]);
}

QString text(const DirectoryRecordset &set, const char *field)
{
    return set.value(QString::fromLatin1(field)).toString();
}
} // namespace

QString DirectoryListing::listingFileName(int kind)
{
    return validKind(kind) ? QString::fromLatin1(Base[kind]) + QStringLiteral(".txt") : QString();
}

QString DirectoryListing::backupFileName(int kind)
{
    return validKind(kind) ? QString::fromLatin1(Base[kind]) + QStringLiteral(".tx_") : QString();
}

QString DirectoryListing::documentName(int kind)
{
    return validKind(kind) ? QString::fromLatin1(Base[kind]) + QStringLiteral("-Zarto") : QString();
}

QString DirectoryListing::databaseFileName(int kind)
{
    return validKind(kind) ? QString::fromLatin1(Base[kind]) + QStringLiteral(".mdb") : QString();
}

QString DirectoryListing::cannotOpenKey(int kind)
{
    static const char *const keys[] = {"", "#:pbe_cannot_create_speed_db", "#:pne_cannot_create_phone_no_db",
                                       "#:cannot_create_sta_db", "#:cannot_create_co_db"};
    return validKind(kind) ? QString::fromLatin1(keys[kind]) : QString();
}

DirectoryListing::DirectoryListing(const Clock &clock, QString databaseFolder, QString listingFolder)
    : m_clock(clock)
    , m_databaseFolder(std::move(databaseFolder))
    , m_listingFolder(std::move(listingFolder))
    , m_translate([](const QString &key) { return MessageCatalogue().text(key); })
{
}

QStringList DirectoryListing::labelKeys()
{
    return {"#:sd_first_name", "#:sd_middle_name", "#:sd_last_name", "#:sd_home", "#:sd_cellular", "#:sd_pager",
            "#:sd_email",      "#:sd_picture",     "#:sd_inform1",    "#:sd_inform2", "#:sd_inform3",  "#:sd_memo",
            "#:cd_tel_no",     "#:cd_inform1",     "#:cd_inform2",    "#:cd_memo"};
}

QString DirectoryListing::labelledField(const QString &label, const QString &value)
{
    const QString head = QLatin1Char(' ') + label + QStringLiteral(" : ");
    const qsizetype headWidth = CharacterCut::count(head);
    const qsizetype width = qMax<qsizetype>(1, 79 - headWidth);
    QString out;
    qsizetype pos = 0;
    bool first = true;
    do {
        const qsizetype end = CharacterCut::advance(value, pos, width);
        const qsizetype lf = value.indexOf(QLatin1Char('\n'), pos);
        const bool atLineFeed = lf >= 0 && lf < end;
        const QString piece = value.mid(pos, (atLineFeed ? lf : end) - pos);
        pos = atLineFeed ? lf + 1 : end;
        out += (first ? head : QString(headWidth, QLatin1Char(' '))) + piece + CrLf;
        first = false;
    } while (pos < value.size());
    return out;
}

bool DirectoryListing::readDirectory(int kind, QString &out)
{
    const DirectoryTable &table = tableOf(kind);
    DirectoryFileBuilder builder(
        table, DirectoryFileBuilder::localeForLanguage(DirectoryFileBuilder::languageIdOf(QLocale::system())), m_clock);
    if (builder.OpenOrCreate(QDir(m_databaseFolder).filePath(databaseFileName(kind)))
        == DirectoryFileBuilder::Result::Failed)
        return false;
    DirectoryRecordset set(builder.database(), table);
    set.setSort(sortOf(kind));
    if (!set.open())
        return false;

    static const char *const titles[] = {"", "< Speed Bin Database >", "< Phone Number Database >",
                                         "< Station Database >", "< CO Database >"};
    out = TextExport::titleLines(QString::fromLatin1(titles[kind]));
    const QString heavy = TextExport::heavyRule();
    const QString light = TextExport::lightRule();
    const auto left = TextExport::left;
    switch (kind) {
    case SpeedBins:
        out += heavy + QString::fromLatin1(TextExport::speedBinHeading()) + CrLf + light;
        for (const auto &r : DirectoryRecords::speedBins(set))
            TextExport::appendSpeedBinLines(out, r, 18, true);
        out += heavy;
        break;
    case PhoneNumbers:
        out += heavy + QString::fromLatin1(TextExport::phoneNoHeading()) + CrLf + light;
        for (const auto &r : DirectoryRecords::phoneNumbers(set))
            TextExport::appendPhoneNoLines(out, r, 24, true);
        out += heavy;
        break;
    case Stations:
        for (bool ok = set.moveFirst(); ok; ok = set.moveNext()) {
            const QString full = fullName(text(set, "FirstName"), text(set, "MiddleName"), text(set, "LastName"));
            out += heavy + QStringLiteral(" Port    StaNumber    StaName             FullName") + CrLf + light;
            out += QLatin1Char(' ') + left(text(set, "Port"), 4) + QStringLiteral("    ")
                   + left(text(set, "StaNumber"), 9) + QStringLiteral("    ") + left(text(set, "StaName"), 16)
                   + QStringLiteral("    ") + CharacterCut::mid(full, 0, 37) + CrLf;
            for (qsizetype i = CharacterCut::advance(full, 0, 37); i < full.size(); i = CharacterCut::advance(full, i, 37))
                out += QLatin1Char(' ') + left(QStringLiteral(" "), 40) + QLatin1Char(' ') + CharacterCut::mid(full, i, 37)
                       + CrLf;
            out += light;
            static const std::pair<const char *, const char *> fields[] = {
                {"#:sd_first_name", "FirstName"}, {"#:sd_middle_name", "MiddleName"}, {"#:sd_last_name", "LastName"},
                {"#:sd_home", "HomeNo"},          {"#:sd_cellular", "Cellular"},      {"#:sd_pager", "Pager"},
                {"#:sd_email", "Mail"},           {"#:sd_picture", "FileName"},       {"#:sd_inform1", "Inform1"},
                {"#:sd_inform2", "Inform2"},      {"#:sd_inform3", "Inform3"},        {"#:sd_memo", "Memo"}};
            for (const auto &[key, field] : fields)
                out += labelledField(m_translate(QString::fromLatin1(key)), text(set, field));
            out += heavy + CrLf;
        }
        break;
    case CoLines:
        for (bool ok = set.moveFirst(); ok; ok = set.moveNext()) {
            out += heavy + QStringLiteral(" LineNo    TrkName             AccessCode    RetrieveCode") + CrLf + light;
            out += QLatin1Char(' ') + left(text(set, "LineNo"), 6) + QStringLiteral("    ")
                   + left(text(set, "TrkName"), 16) + QStringLiteral("    ") + left(text(set, "AccessCode"), 10)
                   + QStringLiteral("    ") + left(text(set, "RetrieveCode"), 12) + CrLf + light;
            static const std::pair<const char *, const char *> fields[] = {{"#:cd_tel_no", "TelNo"},
                                                                           {"#:cd_inform1", "FullName"},
                                                                           {"#:cd_inform2", "Inform1"},
                                                                           {"#:cd_memo", "Memo"}};
            for (const auto &[key, field] : fields)
                out += labelledField(m_translate(QString::fromLatin1(key)), text(set, field));
            out += heavy + CrLf;
        }
        break;
    }
    return true;
}

bool DirectoryListing::write(int kind)
{
    m_errorKey.clear();
    m_lines = 0;
    if (!validKind(kind))
        return false;
    const QDir dir(m_listingFolder);
    m_path = dir.filePath(listingFileName(kind));
    const QString backup = dir.filePath(backupFileName(kind));
    // The directory is read before the previous listing is touched, so a
    // directory that cannot be opened leaves that listing as it was.
    QString listing;
    if (!readDirectory(kind, listing)) {
        m_errorKey = cannotOpenKey(kind);
        return false;
    }
    const bool backedUp = QFile::exists(m_path) && FileCopy::copyOver(m_path, backup);

    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (backedUp && FileCopy::copyOver(backup, m_path))
            QFile::remove(backup);
        return false;
    }
    m_lines = int(listing.count(QLatin1Char('\n')));
    const QByteArray bytes = listing.toUtf8();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        if (backedUp && FileCopy::copyOver(backup, m_path))
            QFile::remove(backup);
        return false;
    }
    return true;
}
