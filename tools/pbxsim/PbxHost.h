#pragma once

#include "Commands.h"
#include "Faults.h"
#include "FrameLog.h"
#include "PbxModel.h"
#include "PbxOptions.h"
#include "PbxSession.h"
#include "Scenario.h"
#include "Scheduler.h"
#include "Traffic.h"

#include <QObject>
#include <QPointer>
#include <QRandomGenerator>

#include <memory>

class QLocalServer;
class QLocalSocket;
class QSocketNotifier;
class QTcpServer;

namespace pbxsim {

class Connection;

// The running program: the model on the real clock, the link to the console
// (TCP server, pty or serial device), the control channel, the scenario and
// the traffic.
class PbxHost : public QObject, public CommandTarget
{
    Q_OBJECT
public:
    explicit PbxHost(const PbxOptions &options, QObject *parent = nullptr);
    ~PbxHost() override;

    // Opens everything; the error tells what could not be opened.
    bool start(QString *error);
    quint16 tcpPort() const;

    // CommandTarget
    PbxModel &model() override { return m_model; }
    FaultSettings &faults() override { return m_faults; }
    PbxSession *session() override { return m_session.get(); }
    void closeConnection() override;
    void setTrafficRate(double rate) override { m_traffic.setRate(rate); }
    void quit() override;
    QString statusText() override;

private:
    void attach(Connection *connection);
    void detach();
    void newTcpConnection();
    void newControlClient();
    void stdinReadable();
    QString runLine(const QString &line);

    PbxOptions m_options;
    RealScheduler m_scheduler;
    QRandomGenerator m_random;
    FaultSettings m_faults;
    FrameLog m_log;
    PbxModel m_model;
    TrafficGenerator m_traffic;
    Scenario m_scenario;
    ScenarioPlayer m_player;
    std::unique_ptr<PbxSession> m_session;
    QPointer<Connection> m_connection;
    QTcpServer *m_server = nullptr;
    QLocalServer *m_control = nullptr;
    QSocketNotifier *m_stdin = nullptr;
    QByteArray m_stdinBuffer;
    int m_connections = 0;
};

} // namespace pbxsim
