#include "base/DataDirectories.h"
#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "console/ui/MainWindow.h"
#include "console/ui/SingleInstance.h"
#include "base/OperatorUi.h"
#include "base/SystemClock.h"
#include "directories/DirectoryExport.h"
#include "directories/DirectoryImport.h"
#include "directories/DirectoryListing.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
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

const char *const DirectoryUsage =
    "usage: zarto --export speedbins|phonenumbers sylk|text DIR\n"
    "       zarto --import speedbins|phonenumbers FILE.xls [--auto-correct] [--no-backup]\n"
    "       zarto --listing speedbins|phonenumbers|stations|colines DIR\n"
    "The directory files are those of the Database folder of the working directory.\n";

void describeOptions(QCommandLineParser &parser, const QCommandLineOption &logOn)
{
    parser.setApplicationDescription(QStringLiteral("Attendant console for Varo and Mesk PBXs.\n\n") + QString::fromLatin1(DirectoryUsage));
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

// What a directory job shows, written to the terminal: the looked-up title
// and text, failures on stderr.
class TerminalOperatorUi : public OperatorUi
{
public:
    void showMessage(const QString &textKey, const QString &titleKey, int style) override
    {
        const MessageCatalogue catalogue;
        showFixedMessage(catalogue.text(textKey), catalogue.text(titleKey), style);
    }
    void showFixedMessage(const QString &text, const QString &title, int style) override
    {
        const bool failure = style == MessageStyle::Stop || style == MessageStyle::Exclamation;
        QString line = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
        std::fprintf(failure ? stderr : stdout, "%s\n", line.toLocal8Bit().constData());
    }
    int ask(const QString &, const QString &, int) override { return 0; }
};

bool isDirectoryJob(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--export" || arg == "--import" || arg == "--listing")
            return true;
    }
    return false;
}

// Export, import and listing without a window; the same jobs the dialogs run.
int runDirectoryJob(const QStringList &args)
{
    const QString folder = QDir::current().filePath(QStringLiteral("Database"));
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "zarto: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    SystemClock clock;
    TerminalOperatorUi ui;
    const QString job = args.value(1);
    const QString what = args.value(2);
    const int directory = what == QLatin1String("speedbins") ? 0 : what == QLatin1String("phonenumbers") ? 1 : -1;
    if (job == QLatin1String("--export") && args.size() == 5 && directory >= 0) {
        const QString format = args.value(3);
        const int f = format == QLatin1String("sylk") ? DirectoryExport::Sylk
                      : format == QLatin1String("text") ? DirectoryExport::Text
                                                        : DirectoryExport::NoFormat;
        if (f != DirectoryExport::NoFormat) {
            DirectoryExport exporter(ui, clock, folder);
            if (!exporter.run({directory, f, args.value(4), true, true}))
                return 1;
            std::printf("%d records written to %s\n", exporter.recordCount(),
                        qPrintable(QDir::toNativeSeparators(exporter.targetPath())));
            return 0;
        }
    } else if (job == QLatin1String("--import") && args.size() >= 4 && directory >= 0) {
        DirectoryImport::Settings settings{directory, 0, args.value(3), true, false};
        bool known = true;
        for (const QString &option : args.mid(4)) {
            if (option == QLatin1String("--auto-correct"))
                settings.autoCorrect = true;
            else if (option == QLatin1String("--no-backup"))
                settings.backup = false;
            else
                known = false;
        }
        if (known) {
            DirectoryImport importer(ui, clock, folder);
            if (!importer.run(settings))
                return 1;
            std::printf("%d rows imported, %d rejected\n", importer.writtenRows(), int(importer.rejectedRows().size()));
            return 0;
        }
    } else if (job == QLatin1String("--listing") && args.size() == 4) {
        const int kind = what == QLatin1String("speedbins")      ? DirectoryListing::SpeedBins
                         : what == QLatin1String("phonenumbers") ? DirectoryListing::PhoneNumbers
                         : what == QLatin1String("stations")     ? DirectoryListing::Stations
                         : what == QLatin1String("colines")      ? DirectoryListing::CoLines
                                                                 : 0;
        if (kind) {
            DirectoryListing listing(clock, folder, args.value(3));
            if (!listing.write(kind)) {
                const MessageCatalogue catalogue;
                if (!listing.errorKey().isEmpty())
                    ui.showMessage(listing.errorKey(), QStringLiteral("#:database_error"), MessageStyle::Stop);
                else
                    std::fprintf(stderr, "zarto: cannot write %s\n", qPrintable(listing.listingPath()));
                return 1;
            }
            std::printf("%d lines written to %s\n", listing.lineCount(),
                        qPrintable(QDir::toNativeSeparators(listing.listingPath())));
            return 0;
        }
    }
    std::fputs(DirectoryUsage, stderr);
    return 2;
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

    if (isDirectoryJob(argc, argv)) {
        QCoreApplication app(argc, argv);
        setIdentity();
        MessageCatalogue::setFallbackDirectory(catalogueFallbackDirectory());
        MessageCatalogue::readLanguageMode();
        return runDirectoryJob(QCoreApplication::arguments());
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
