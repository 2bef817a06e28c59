#pragma once

#include <QString>
#include <QStringList>

namespace pbxsim {

class PbxModel;
class PbxSession;
struct FaultSettings;

// What a command acts on: the running PBX.
class CommandTarget
{
public:
    virtual ~CommandTarget();
    virtual PbxModel &model() = 0;
    virtual FaultSettings &faults() = 0;
    // The session of the connected console, or none.
    virtual PbxSession *session() = 0;
    virtual void closeConnection() = 0;
    virtual void setTrafficRate(double rate) = 0;
    virtual void quit() = 0;
    virtual QString statusText() = 0;
};

struct CommandResult
{
    bool ok = false;
    QString text; // "ok", the answer of a query, or what is wrong
};

// Runs one command line (control channel, stdin or a scenario action). With no
// target the line is only checked, as a scenario is when it is read.
CommandResult runCommand(const QString &line, CommandTarget *target);
// One line per command: "name ARGS  what it does".
QStringList commandHelp();

} // namespace pbxsim
