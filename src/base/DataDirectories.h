#pragma once

#include <QString>
#include <QStringList>

// The folders that may hold the console's data files (message catalogue,
// manual), in the order they are tried, for an executable in appDir.
//
// An installed console keeps its data beside its executable, in the
// install's own relative layout (<appDir>/../share/zarto), so an install under
// any prefix runs from anywhere. Only an executable inside the build tree also
// gets the source tree's data folder, so a fresh build shows its texts without
// being installed; an installed console never reads the checkout it was built
// from.
QStringList dataDirectories(const QString &appDir);

// <dir>/<name> of the first data folder that holds the file, or empty.
QString findDataFile(const QString &name, const QString &appDir);
