#pragma once

// What the benchmarks against the simulated PBX share: an operator who is
// never there, a free loopback port, and a wait that keeps the event loop
// running.
#include "base/OperatorUi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>

#include <cstdio>
#include <functional>

namespace pbxbench {

// Prints every message and question instead of showing it; answers Yes.
struct SilentUi : OperatorUi
{
    void showMessage(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
    }
    int ask(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "question: %s\n", qPrintable(text));
        return 6;
    }
    void showFixedMessage(const QString &text, const QString &, int) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++messages;
    }
    int messages = 0;
};

inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

inline bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

} // namespace pbxbench
