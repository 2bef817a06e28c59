#include "base/DataDirectories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void touch(const QString &path)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

} // namespace

class TestDataDirectories : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // An install moved to any prefix reads its own data and never the
    // checkout it was built from, even when its own copy is missing.
    void installedConsoleReadsItsOwnData()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QString bin = prefix.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString data = prefix.filePath(QStringLiteral("share/zarto"));
        QCOMPARE(dataDirectories(bin), QStringList{data});
        QCOMPARE(dataDirectories(bin + QStringLiteral("/")), QStringList{data});
        QCOMPARE(findDataFile(QStringLiteral("ZARTOLLS.TXT"), bin), QString());

        touch(data + QStringLiteral("/ZARTOLLS.TXT"));
        touch(data + QStringLiteral("/manual/index.html"));
        QCOMPARE(findDataFile(QStringLiteral("ZARTOLLS.TXT"), bin), data + QStringLiteral("/ZARTOLLS.TXT"));
        QCOMPARE(findDataFile(QStringLiteral("manual/index.html"), bin), data + QStringLiteral("/manual/index.html"));
    }

    // This test runs from the build tree, like a console that was never installed.
    void buildTreeFallsBackToTheSource()
    {
        const QString appDir = QCoreApplication::applicationDirPath();
        const QString source = qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data");
        const QStringList dirs = dataDirectories(appDir);
        QCOMPARE(dirs.size(), 2);
        QCOMPARE(QDir(dirs.last()).canonicalPath(), QDir(source).canonicalPath());
        QCOMPARE(QFileInfo(findDataFile(QStringLiteral("ZARTOLLS.TXT"), appDir)).canonicalFilePath(),
                 QFileInfo(source + QStringLiteral("/ZARTOLLS.TXT")).canonicalFilePath());
    }
};

QTEST_GUILESS_MAIN(TestDataDirectories)
#include "tst_DataDirectories.moc"
