#include "PbxHost.h"
#include "PbxOptions.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zarto-pbxsim"));

    pbxsim::PbxOptions options;
    QString message;
    switch (pbxsim::PbxOptions::parse(QCoreApplication::arguments(), &options, &message)) {
    case pbxsim::PbxOptions::Outcome::Help:
    case pbxsim::PbxOptions::Outcome::Version:
        std::fprintf(stdout, "%s\n", message.toLocal8Bit().constData());
        return 0;
    case pbxsim::PbxOptions::Outcome::Error:
        std::fprintf(stderr, "zarto-pbxsim: %s\n(see --help)\n", message.toLocal8Bit().constData());
        return 2;
    case pbxsim::PbxOptions::Outcome::Run:
        break;
    }

    // A terminal read from the background fails instead of stopping the program.
    std::signal(SIGTTIN, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

    pbxsim::PbxHost host(options);
    if (!host.start(&message)) {
        std::fprintf(stderr, "zarto-pbxsim: %s\n", message.toLocal8Bit().constData());
        return 1;
    }
    return app.exec();
}
