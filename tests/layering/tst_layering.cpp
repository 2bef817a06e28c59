// Keeps the folders of src/ layered: a folder includes its own files and those
// of lower ranks only, core never includes a ui/ folder, and a ui/ folder
// includes any core folder and the ui/ of its own or a lower rank.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

namespace {

const QMap<QString, int> &ranks()
{
    static const QMap<QString, int> table{
        {QStringLiteral("base"), 0},        {QStringLiteral("link"), 1},
        {QStringLiteral("transport"), 2},   {QStringLiteral("callstate"), 2},
        {QStringLiteral("directories"), 3}, {QStringLiteral("keyset"), 3},
        {QStringLiteral("programming"), 3}, {QStringLiteral("mail"), 3},
        {QStringLiteral("session"), 4},     {QStringLiteral("console"), 5},
        {QStringLiteral("app"), 6},
    };
    return table;
}

struct Place {
    QString folder;  // first component below src/
    bool ui = false; // inside that folder's ui/
};

// "console/ui/MainWindow.cpp" -> {console, ui}; empty folder when unknown.
Place placeOf(const QString &relativePath)
{
    const QStringList parts = relativePath.split(QLatin1Char('/'));
    Place p;
    if (parts.size() < 2)
        return p;
    p.folder = parts.at(0);
    p.ui = parts.size() >= 3 && parts.at(1) == QLatin1String("ui");
    return p;
}

// Returns an empty text when `file` (relative to src/) may include `target`
// (as written in the include, relative to src/ or bare for the same folder).
QString violation(const QString &file, const QString &target)
{
    const Place from = placeOf(file);
    if (!ranks().contains(from.folder))
        return QStringLiteral("%1: folder '%2' has no rank in the layer table").arg(file, from.folder);
    if (!target.contains(QLatin1Char('/')))
        return {};
    const Place to = placeOf(target);
    if (!ranks().contains(to.folder))
        return QStringLiteral("%1: includes '%2' of a folder without a rank").arg(file, target);
    if (from.folder == QLatin1String("app"))
        return {};
    const int fromRank = ranks().value(from.folder);
    const int toRank = ranks().value(to.folder);
    const bool sameFolder = from.folder == to.folder;
    if (!from.ui) {
        if (to.ui)
            return QStringLiteral("%1: core includes the widgets '%2'").arg(file, target);
        if (!sameFolder && toRank >= fromRank)
            return QStringLiteral("%1 (rank %2): includes '%3' (rank %4)")
                .arg(file).arg(fromRank).arg(target).arg(toRank);
        return {};
    }
    if (!to.ui)
        return {};
    if (!sameFolder && toRank >= fromRank)
        return QStringLiteral("%1 (ui, rank %2): includes the widgets '%3' (rank %4)")
            .arg(file).arg(fromRank).arg(target).arg(toRank);
    return {};
}

} // namespace

class TestLayering : public QObject
{
    Q_OBJECT

private slots:
    void rule_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("same folder, bare") << "link/CLinkPort.cpp" << "CLinkPort.h" << true;
        QTest::newRow("same folder, full") << "session/CLogSession.cpp" << "session/CAttendantState.h" << true;
        QTest::newRow("down") << "session/CLogSession.cpp" << "link/CLinkPort.h" << true;
        QTest::newRow("up") << "link/CLinkPort.cpp" << "session/CLogSession.h" << false;
        QTest::newRow("up from base") << "base/Trace.cpp" << "link/Frame.h" << false;
        QTest::newRow("sideways") << "callstate/StatusTables.cpp" << "transport/CLanSocket.h" << false;
        QTest::newRow("core into ui") << "console/Console.cpp" << "console/ui/MainWindow.h" << false;
        QTest::newRow("core into lower ui") << "session/CLogSession.cpp" << "base/ui/MessageBox.h" << false;
        QTest::newRow("ui into any core") << "base/ui/Translate.cpp" << "session/LogStatusModel.h" << true;
        QTest::newRow("ui into lower ui") << "console/ui/MainWindow.cpp" << "base/ui/MessageBox.h" << true;
        QTest::newRow("ui into own ui") << "console/ui/MainWindow.cpp" << "console/ui/MainMenu.h" << true;
        QTest::newRow("ui into higher ui") << "transport/ui/ServerDialog.cpp" << "console/ui/MainWindow.h" << false;
        QTest::newRow("ui sideways ui") << "transport/ui/ServerDialog.cpp" << "callstate/ui/Grid.h" << false;
        QTest::newRow("app anything") << "app/main.cpp" << "console/ui/MainWindow.h" << true;
        QTest::newRow("unranked folder") << "shell/Console.cpp" << "base/Trace.h" << false;
        QTest::newRow("unranked target") << "console/Console.cpp" << "shell/Trace.h" << false;
    }

    void rule()
    {
        QFETCH(QString, file);
        QFETCH(QString, target);
        QFETCH(bool, allowed);
        QCOMPARE(violation(file, target).isEmpty(), allowed);
    }

    void sourceTreeKeepsTheLayers()
    {
        const QString srcDir = qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/src");
        QVERIFY2(QDir(srcDir).exists(), qPrintable(srcDir));
        static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""),
                                                QRegularExpression::MultilineOption);
        QStringList faults;
        int files = 0;
        QDirIterator it(srcDir, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = QDir(srcDir).relativeFilePath(path);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(f.readAll());
            ++files;
            auto m = include.globalMatch(text);
            while (m.hasNext()) {
                const QString target = m.next().captured(1);
                if (target.endsWith(QLatin1String(".moc")))
                    continue;
                if (!target.contains(QLatin1Char('/'))
                    && !QFileInfo::exists(QFileInfo(path).dir().filePath(target))) {
                    faults << QStringLiteral("%1: '%2' is not in its folder").arg(relative, target);
                    continue;
                }
                const QString fault = violation(relative, target);
                if (!fault.isEmpty())
                    faults << fault;
            }
        }
        QVERIFY(files > 50);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    }
};

QTEST_APPLESS_MAIN(TestLayering)
#include "tst_layering.moc"
