#pragma once

#include "Faults.h"
#include "PbxConfig.h"

#include <QString>
#include <QStringList>

namespace pbxsim {

struct PbxOptions
{
    PbxConfig config;
    FaultSettings faults;
    QString listen = QStringLiteral("127.0.0.1:5627");
    QString pty;
    QString serial;
    int baud = 0;
    bool pack = false;
    // TCP_NODELAY stays off: the PBX's stack delays small segments as small embedded stacks do.
    bool nagle = false;
    QString log;
    QString control;
    bool noStdin = false;
    QString scenario;
    bool scenarioFromStart = false;
    double traffic = 0;
    QString speedFile;
    bool seedSet = false;
    quint32 seed = 0;

    enum class Outcome { Run, Help, Version, Error };
    // args as QCoreApplication::arguments(), the program name first.
    static Outcome parse(const QStringList &args, PbxOptions *out, QString *message);
    static QString helpText();
};

} // namespace pbxsim
