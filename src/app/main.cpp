#include "base/DataDirectories.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "console/ui/MainWindow.h"
#include "console/ui/SingleInstance.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace {

const char *const ProgramVersion = "1.0Ad";

// The catalogue is looked for in the working directory first, then in the
// first data folder that holds one: the installed data beside the executable,
// or, for a run from the build tree, the source tree's.
QString catalogueFallbackDirectory()
{
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString found = findDataFile(QStringLiteral("ZARTOLLS.TXT"), appDir);
    return found.isEmpty() ? dataDirectories(appDir).value(0) : QFileInfo(found).path();
}

void setIdentity()
{
    QCoreApplication::setOrganizationName(QString::fromLatin1(CSettingsSection::Organisation));
    QCoreApplication::setApplicationName(QString::fromLatin1(CSettingsSection::Application));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(ProgramVersion));
}

void describeOptions(QCommandLineParser &parser, const QCommandLineOption &logOn)
{
    parser.setApplicationDescription(QStringLiteral("Attendant console for Varo and Mesk PBXs."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(logOn);
}

bool asksOnlyForText(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--version" || arg == "-v" || arg == "--help" || arg == "-h" || arg == "-?")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    const QCommandLineOption logOn(QStringLiteral("log-on"),
                                   QStringLiteral("Log on to the PBX once the main window is shown."));
    // The widget application aborts without a display; --version and --help
    // answer on a bare terminal (a package check, a script) all the same.
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        setIdentity();
        QCommandLineParser parser;
        describeOptions(parser, logOn);
        parser.parse(QCoreApplication::arguments());
        if (parser.isSet(QStringLiteral("version")))
            parser.showVersion();
        parser.showHelp();
    }

    QApplication app(argc, argv);
    setIdentity();
    QCommandLineParser parser;
    describeOptions(parser, logOn);
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
