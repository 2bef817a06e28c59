#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "console/ui/MainWindow.h"
#include "console/ui/SingleInstance.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

const char *const ProgramVersion = "1.0Ad";

// The catalogue is looked for in the working directory first. Run from the
// build tree, a working directory without one falls back to the source data
// directory, so a fresh build shows texts without being installed.
QString catalogueFallbackDirectory()
{
    const QString installed = QStringLiteral(ZARTO_DATA_DIR);
    const QString exeDir = QDir(QCoreApplication::applicationDirPath()).canonicalPath();
    const bool installedRun = exeDir == QDir(QStringLiteral(ZARTO_INSTALL_BIN_DIR)).canonicalPath();
    const bool inWorkingDir = QFileInfo::exists(QDir::current().filePath(QStringLiteral("ZARTOLLS.TXT")));
    if (!installedRun && !inWorkingDir)
        return QStringLiteral(ZARTO_SOURCE_DATA_DIR);
    return installed;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(CSettingsSection::Organisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(CSettingsSection::Application));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Attendant console for Varo and Mesk PBXs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption logOn(QStringLiteral("log-on"),
                                   QStringLiteral("Log on to the PBX once the main window is shown."));
    parser.addOption(logOn);
    parser.process(app);

    SingleInstance instance;
    switch (instance.tryBecomePrimary()) {
    case SingleInstance::Start::Primary:
        break;
    case SingleInstance::Start::Secondary:
        if (!instance.askPrimaryToRaise())
            std::fprintf(stderr, "zarto: %s\n", qPrintable(instance.errorString()));
        return 0;
    case SingleInstance::Start::Unguarded:
        std::fprintf(stderr, "zarto: %s; running without the single-instance guard\n",
                     qPrintable(instance.errorString()));
        break;
    }

    MessageCatalogue::setFallbackDirectory(catalogueFallbackDirectory());
    MessageCatalogue::readLanguageMode();

    MainWindow window;
    QObject::connect(&instance, &SingleInstance::raiseRequested, &window, &MainWindow::bringToFront);
    window.showAtStoredPlacement();
    if (parser.isSet(logOn))
        QTimer::singleShot(0, &window, [&window] { window.runCommand(Command::LogOn); });
    return app.exec();
}
