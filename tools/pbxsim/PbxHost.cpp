#include "PbxHost.h"

#include "Transports.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <unistd.h>

namespace pbxsim {

namespace {
void say(const QString &text)
{
    std::fprintf(stdout, "zarto-pbxsim: %s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}
} // namespace

PbxHost::PbxHost(const PbxOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_random(options.seedSet ? options.seed : QRandomGenerator::global()->generate())
    , m_faults(options.faults)
    , m_model(options.config, m_scheduler, m_random)
    , m_traffic(m_model)
    , m_player(m_scheduler, [this](const ScenarioStep &step) {
        const CommandResult r = runCommand(step.command, this);
        m_log.note(QStringLiteral("scenario line %1: %2 -> %3").arg(step.line).arg(step.command, r.text));
    })
{
    m_log.setClock([this] { return m_scheduler.now(); });
}

PbxHost::~PbxHost()
{
    m_traffic.setRate(0);
    m_player.stop();
    m_session.reset();
    if (m_connection)
        delete m_connection.data();
}

bool PbxHost::start(QString *error)
{
    if (!m_options.log.isEmpty() && !m_log.open(m_options.log, error))
        return false;
    if (!m_options.speedFile.isEmpty() && !m_model.loadSpeedFile(m_options.speedFile, error))
        return false;
    if (!m_options.scenario.isEmpty() && !m_scenario.load(m_options.scenario, error))
        return false;
    m_player.setScenario(m_scenario);

    if (!m_options.pty.isEmpty()) {
        auto *pty = new PtyConnection(this);
        if (!pty->open(m_options.pty, error)) {
            delete pty;
            return false;
        }
        say(QStringLiteral("pty %1 -> %2").arg(m_options.pty, pty->consolePath()));
        attach(pty);
    } else if (!m_options.serial.isEmpty()) {
        auto *serial = new SerialConnection(this);
        if (!serial->open(m_options.serial, m_options.baud, error)) {
            delete serial;
            return false;
        }
        say(QStringLiteral("serial %1").arg(m_options.serial));
        attach(serial);
    } else {
        const int colon = int(m_options.listen.lastIndexOf(u':'));
        const QString host = m_options.listen.left(colon);
        const quint16 port = quint16(m_options.listen.mid(colon + 1).toUInt());
        QHostAddress address;
        if (host == u"*" || host == u"0.0.0.0")
            address = QHostAddress::AnyIPv4;
        else if (host == u"localhost")
            address = QHostAddress::LocalHost;
        else if (!address.setAddress(host)) {
            *error = QStringLiteral("--listen: %1 is not an address").arg(host);
            return false;
        }
        m_server = new QTcpServer(this);
        if (!m_server->listen(address, port)) {
            *error = QStringLiteral("cannot listen on %1: %2").arg(m_options.listen, m_server->errorString());
            return false;
        }
        connect(m_server, &QTcpServer::newConnection, this, &PbxHost::newTcpConnection);
        say(QStringLiteral("listening on %1:%2").arg(m_server->serverAddress().toString()).arg(m_server->serverPort()));
    }

    if (!m_options.control.isEmpty()) {
        QLocalServer::removeServer(m_options.control);
        m_control = new QLocalServer(this);
        if (!m_control->listen(m_options.control)) {
            *error = QStringLiteral("cannot open the control socket %1: %2").arg(m_options.control, m_control->errorString());
            return false;
        }
        connect(m_control, &QLocalServer::newConnection, this, &PbxHost::newControlClient);
    }
    if (!m_options.noStdin) {
        m_stdin = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(m_stdin, &QSocketNotifier::activated, this, &PbxHost::stdinReadable);
    }
    if (m_options.traffic > 0)
        m_traffic.setRate(m_options.traffic);
    if (!m_options.scenario.isEmpty() && m_options.scenarioFromStart)
        m_player.start();
    m_log.note(QStringLiteral("PBX of %1 stations and %2 lines started").arg(m_model.stationCount()).arg(m_model.lineCount()));
    return true;
}

quint16 PbxHost::tcpPort() const
{
    return m_server ? m_server->serverPort() : 0;
}

void PbxHost::attach(Connection *connection)
{
    detach();
    m_connection = connection;
    ++m_connections;
    m_session = std::make_unique<PbxSession>(m_model, m_faults, &m_log);
    m_session->setBaud(m_options.baud);
    m_session->setPacking(m_options.pack);
    m_session->setWriter([this](const QByteArray &bytes) {
        if (m_connection)
            m_connection->write(bytes);
    });
    m_session->setCloseHandler([this] { closeConnection(); });
    m_session->setReportingStarted([this] {
        if (!m_options.scenario.isEmpty() && !m_player.isStarted())
            m_player.start();
    });
    connect(connection, &Connection::received, this, [this](const QByteArray &bytes) {
        if (m_session)
            m_session->receive(bytes);
    });
    connect(connection, &Connection::closed, this, [this, connection] {
        if (m_connection == connection) {
            m_log.note(QStringLiteral("console %1 disconnected").arg(connection->describe()));
            detach();
        }
    });
    m_log.note(QStringLiteral("console %1 connected").arg(connection->describe()));
}

void PbxHost::detach()
{
    m_session.reset();
    if (m_connection) {
        Connection *old = m_connection;
        m_connection = nullptr;
        old->disconnect(this);
        old->close();
        old->deleteLater();
    }
}

void PbxHost::newTcpConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_connection)
            m_log.note(QStringLiteral("a new console replaces %1").arg(m_connection->describe()));
        attach(new TcpConnection(socket, !m_options.nagle, this));
    }
}

void PbxHost::closeConnection()
{
    // A pty or serial device stays: only a TCP console can be sent away.
    if (!m_server || !m_connection)
        return;
    m_log.note(QStringLiteral("closing the connection of %1").arg(m_connection->describe()));
    detach();
}

void PbxHost::quit()
{
    QCoreApplication::quit();
}

QString PbxHost::statusText()
{
    const PbxSession *s = m_session.get();
    return QStringLiteral("stations=%1 lines=%2 connected=%3 logged-on=%4 reporting=%5 frames-in=%6 frames-out=%7 "
                          "discarded=%8 protocol-errors=%9 own-status=%10 ringing=%11 traffic=%12 connections=%13")
        .arg(m_model.stationCount())
        .arg(m_model.lineCount())
        .arg(m_connection ? 1 : 0)
        .arg(s && s->isLoggedOn() ? 1 : 0)
        .arg(s && s->isReporting() ? 1 : 0)
        .arg(s ? s->framesReceived() : 0)
        .arg(s ? s->framesSent() : 0)
        .arg(s ? s->framesDiscarded() : 0)
        .arg(s ? s->protocolErrors() : 0)
        .arg(QString::asprintf("%02X", m_model.attendant().status))
        .arg(m_model.attendant().ringing.size())
        .arg(m_traffic.rate())
        .arg(m_connections);
}

QString PbxHost::runLine(const QString &line)
{
    if (line.trimmed().isEmpty())
        return QString();
    const CommandResult r = runCommand(line, this);
    m_log.note(QStringLiteral("command: %1 -> %2").arg(line.trimmed(), r.ok ? QStringLiteral("ok") : r.text));
    return r.ok ? r.text : QStringLiteral("error: ") + r.text;
}

void PbxHost::newControlClient()
{
    while (QLocalSocket *client = m_control->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
            while (client->canReadLine()) {
                const QString reply = runLine(QString::fromUtf8(client->readLine()));
                if (!reply.isNull())
                    client->write(reply.toUtf8() + '\n');
            }
        });
    }
}

void PbxHost::stdinReadable()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n <= 0) {
        // End of input (or a terminal we may not read): commands come no more this way.
        m_stdin->setEnabled(false);
        return;
    }
    m_stdinBuffer.append(buffer, int(n));
    int nl;
    while ((nl = int(m_stdinBuffer.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(m_stdinBuffer.left(nl));
        m_stdinBuffer.remove(0, nl + 1);
        const QString reply = runLine(line);
        if (!reply.isNull()) {
            std::fprintf(stdout, "%s\n", reply.toUtf8().constData());
            std::fflush(stdout);
        }
    }
    if (m_stdinBuffer.size() > 65536)
        m_stdinBuffer.clear();
}

} // namespace pbxsim
