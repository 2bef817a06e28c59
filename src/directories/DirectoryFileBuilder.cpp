#include "directories/DirectoryFileBuilder.h"

#include "base/Clock.h"
#include "directories/SqliteFunctions.h"

#include <QAtomicInt>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

Q_LOGGING_CATEGORY(lcDirectoryFile, "zarto.directories.file")

namespace {
QAtomicInt connectionCounter;

// The table that records the locale a file was created with.
const QString MetaTable = QStringLiteral("DirectoryInfo");

QString sqlType(const DirectoryField &field)
{
    return field.type == DirectoryField::Text ? QStringLiteral("TEXT COLLATE UNICASE NOT NULL DEFAULT ''")
                                              : QStringLiteral("INTEGER");
}

// A file and the journal files SQLite keeps beside it.
QStringList filesOf(const QString &path)
{
    return {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm"), path + QStringLiteral("-journal")};
}
} // namespace

DirectoryFileBuilder::DirectoryFileBuilder(const DirectoryTable &table, QString locale, const Clock &clock)
    : m_table(table)
    , m_locale(std::move(locale))
    , m_clock(clock)
    , m_connection(QStringLiteral("zarto-directory-%1").arg(connectionCounter.fetchAndAddRelaxed(1)))
{
}

DirectoryFileBuilder::~DirectoryFileBuilder()
{
    closeConnection();
}

void DirectoryFileBuilder::closeConnection()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

QSqlDatabase DirectoryFileBuilder::database() const
{
    return QSqlDatabase::contains(m_connection) ? QSqlDatabase::database(m_connection, false) : QSqlDatabase();
}

DirectoryFileBuilder::Result DirectoryFileBuilder::Recreate(const QString &path)
{
    closeConnection();
    for (const QString &file : filesOf(path))
        QFile::remove(file); // a failure to delete is not an error: the open below tells
    return OpenOrCreate(path);
}

DirectoryFileBuilder::Result DirectoryFileBuilder::OpenOrCreate(const QString &path)
{
    m_error.clear();
    m_setAside.clear();
    closeConnection();

    const bool existed = QFile::exists(path);
    if (existed) {
        if (openConnection(path) && hasLayout())
            return Result::Opened;
        // Damaged or of another layout: it is kept under another name, never deleted.
        const QString reason = m_error;
        closeConnection();
        const QString aside = path + QStringLiteral(".bad-") + m_clock.now().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        const QStringList from = filesOf(path);
        const QStringList to = filesOf(aside);
        for (int i = 0; i < from.size(); ++i) {
            if (QFile::exists(from[i]) && !QFile::rename(from[i], to[i])) {
                m_error = QStringLiteral("cannot rename %1 to %2").arg(from[i], to[i]);
                qCWarning(lcDirectoryFile) << m_error;
                return Result::Failed;
            }
        }
        m_setAside = aside;
        qCWarning(lcDirectoryFile) << path << "set aside as" << aside << ":" << reason;
    }
    if (!openConnection(path) || !createLayout()) {
        qCWarning(lcDirectoryFile) << "cannot create" << path << ":" << m_error;
        closeConnection();
        return Result::Failed;
    }
    return existed ? Result::SetAside : Result::Created;
}

bool DirectoryFileBuilder::openConnection(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    if (!registerSqliteFunctions(db)) {
        m_error = QStringLiteral("cannot register the text functions");
        return false;
    }
    QSqlQuery q(db);
    // A busy file (another console on the same folder) is waited for briefly,
    // not failed at once. WAL with synchronous=NORMAL: a killed console never
    // damages the file, and a write does not wait for the disk.
    for (const char *pragma : {"PRAGMA busy_timeout = 2000", "PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL"}) {
        if (!q.exec(QString::fromLatin1(pragma))) {
            m_error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool DirectoryFileBuilder::hasLayout()
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next() || q.value(0).toString() != QLatin1String("ok")) {
        m_error = q.lastError().isValid() ? q.lastError().text() : QStringLiteral("the file is damaged");
        return false;
    }
    QSet<QString> columns;
    if (!q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(m_table.name))) {
        m_error = q.lastError().text();
        return false;
    }
    while (q.next())
        columns.insert(q.value(1).toString().toLower());
    for (const DirectoryField &field : m_table.fields) {
        if (!columns.contains(field.name.toLower())) {
            m_error = QStringLiteral("table %1 has no field %2").arg(m_table.name, field.name);
            return false;
        }
    }
    if (!q.exec(QStringLiteral("SELECT Locale FROM %1").arg(MetaTable)) || !q.next()) {
        m_error = QStringLiteral("no locale table");
        return false;
    }
    m_locale = q.value(0).toString();
    return true;
}

bool DirectoryFileBuilder::createLayout()
{
    QSqlDatabase db = database();
    QStringList columns;
    for (const DirectoryField &field : m_table.fields) {
        if (columns.isEmpty())
            columns << QStringLiteral("%1 INTEGER PRIMARY KEY AUTOINCREMENT").arg(field.name);
        else
            columns << QStringLiteral("%1 %2").arg(field.name, sqlType(field));
    }
    if (!db.transaction()) {
        m_error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    const QStringList statements{
        QStringLiteral("CREATE TABLE %1 (%2)").arg(m_table.name, columns.join(QStringLiteral(", "))),
        QStringLiteral("CREATE INDEX %1_%2 ON %1 (%2)").arg(m_table.name, m_table.key),
        QStringLiteral("CREATE TABLE %1 (Locale TEXT NOT NULL)").arg(MetaTable),
    };
    for (const QString &statement : statements) {
        if (!q.exec(statement)) {
            m_error = q.lastError().text();
            db.rollback();
            return false;
        }
    }
    q.prepare(QStringLiteral("INSERT INTO %1 (Locale) VALUES (?)").arg(MetaTable));
    q.addBindValue(m_locale);
    if (!q.exec() || !db.commit()) {
        m_error = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

QString DirectoryFileBuilder::localeForLanguage(quint16 languageId)
{
    const int primary = languageId & 0x3FF;
    const int sub = languageId >> 10;
    const char *locale = nullptr;
    switch (primary) {
    case 1: locale = ";LANGID=0x0401;CP=1256;COUNTRY=0"; break;
    case 4:
        if (sub == 2)
            locale = ";LANGID=0x0804;CP=936;COUNTRY=0";
        else if (sub == 1)
            locale = ";LANGID=0x0404;CP=950;COUNTRY=0";
        break;
    case 5: locale = ";LANGID=0x0405;CP=1250;COUNTRY=0"; break;
    case 6:
    case 20: locale = ";LANGID=0x0414;CP=1252;COUNTRY=0"; break;
    case 8: locale = ";LANGID=0x0408;CP=1253;COUNTRY=0"; break;
    case 10: locale = sub == 3 ? ";LANGID=0x0409;CP=1252;COUNTRY=0" : ";LANGID=0x040A;CP=1252;COUNTRY=0"; break;
    case 11:
    case 29: locale = ";LANGID=0x040B;CP=1252;COUNTRY=0"; break;
    case 13: locale = ";LANGID=0x040D;CP=1255;COUNTRY=0"; break;
    case 14: locale = ";LANGID=0x040E;CP=1250;COUNTRY=0"; break;
    case 15: locale = ";LANGID=0x040F;CP=1252;COUNTRY=0"; break;
    case 17: locale = ";LANGID=0x0411;CP=932;COUNTRY=0"; break;
    case 18: locale = ";LANGID=0x0412;CP=949;COUNTRY=0"; break;
    case 19: locale = ";LANGID=0x0413;CP=1252;COUNTRY=0"; break;
    case 21: locale = ";LANGID=0x0415;CP=1250;COUNTRY=0"; break;
    case 25: locale = ";LANGID=0x0419;CP=1251;COUNTRY=0"; break;
    case 30: locale = ";LANGID=0x041E;CP=874;COUNTRY=0"; break;
    case 31: locale = ";LANGID=0x041F;CP=1254;COUNTRY=0"; break;
    case 36: locale = ";LANGID=0x0424;CP=1250;COUNTRY=0"; break;
    default: break;
    }
    return QString::fromLatin1(locale ? locale : ";LANGID=0x0409;CP=1252;COUNTRY=0");
}

quint16 DirectoryFileBuilder::languageIdOf(const QLocale &locale)
{
    struct Primary
    {
        QLocale::Language language;
        int id;
    };
    static const Primary primaries[] = {
        {QLocale::Arabic, 1},     {QLocale::Chinese, 4},    {QLocale::Czech, 5},      {QLocale::Danish, 6},
        {QLocale::German, 7},     {QLocale::Greek, 8},      {QLocale::English, 9},    {QLocale::Spanish, 10},
        {QLocale::Finnish, 11},   {QLocale::French, 12},    {QLocale::Hebrew, 13},    {QLocale::Hungarian, 14},
        {QLocale::Icelandic, 15}, {QLocale::Italian, 16},   {QLocale::Japanese, 17},  {QLocale::Korean, 18},
        {QLocale::Dutch, 19},     {QLocale::NorwegianBokmal, 20}, {QLocale::NorwegianNynorsk, 20},
        {QLocale::Polish, 21},    {QLocale::Portuguese, 22}, {QLocale::Russian, 25},  {QLocale::Swedish, 29},
        {QLocale::Thai, 30},      {QLocale::Turkish, 31},   {QLocale::Slovenian, 36},
    };
    int primary = 0;
    for (const Primary &p : primaries) {
        if (p.language == locale.language())
            primary = p.id;
    }
    if (primary == 0)
        return 0x0409; // the general locale
    int sub = 1;
    if (primary == 4) {
        switch (locale.territory()) {
        case QLocale::China: sub = 2; break;
        case QLocale::Taiwan: sub = 1; break;
        case QLocale::HongKong: sub = 3; break;
        case QLocale::Singapore: sub = 4; break;
        case QLocale::Macao: sub = 5; break;
        default: sub = locale.script() == QLocale::TraditionalChineseScript ? 1 : 2; break;
        }
    } else if (primary == 10 && locale.territory() == QLocale::Spain) {
        sub = 3; // modern sort
    } else if (primary == 10 && locale.territory() == QLocale::Mexico) {
        sub = 2;
    }
    return quint16(primary | (sub << 10));
}
