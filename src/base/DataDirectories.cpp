#include "DataDirectories.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The path with symbolic links resolved where it exists, so a build tree
// reached through a link is still recognised.
QString resolved(const QString &path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
}

bool isWithin(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(folder + QLatin1Char('/'));
}

} // namespace

QStringList dataDirectories(const QString &appDir)
{
    const QString exeDir = resolved(appDir);
    QStringList dirs{QDir::cleanPath(exeDir + QLatin1Char('/') + QStringLiteral(ZARTO_DATA_FROM_BIN))};
    if (isWithin(exeDir, resolved(QStringLiteral(ZARTO_BUILD_DIR))))
        dirs.append(QStringLiteral(ZARTO_SOURCE_DATA_DIR));
    return dirs;
}

QString findDataFile(const QString &name, const QString &appDir)
{
    for (const QString &dir : dataDirectories(appDir)) {
        const QString path = QDir(dir).filePath(name);
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}
