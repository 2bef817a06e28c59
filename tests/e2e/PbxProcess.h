#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTest>

// The simulated PBX as a child process on loopback (or a pty), driven through
// its standard input.
class PbxProcess
{
public:
    ~PbxProcess() { stop(); }

    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

    bool startLan(const QStringList &extra = {})
    {
        m_port = freePort();
        return start(QStringList{"--listen", QStringLiteral("127.0.0.1:%1").arg(m_port)} + extra);
    }

    bool startPty(const QString &path, const QStringList &extra = {})
    {
        m_ptyPath = path;
        if (!start(QStringList{"--pty", path} + extra))
            return false;
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(path) && t.elapsed() < 5000)
            QTest::qWait(20);
        return QFileInfo::exists(path);
    }

    bool start(const QStringList &args)
    {
        m_process.setProgram(QStringLiteral(ZARTO_PBXSIM));
        m_process.setArguments(args + QStringList{"--seed", "7"});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        if (m_port) {
            // Ready once it accepts connections.
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 5000) {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, m_port);
                if (probe.waitForConnected(200)) {
                    probe.disconnectFromHost();
                    // Let the PBX see the probe go before the console connects.
                    QTest::qWait(50);
                    return true;
                }
                QTest::qWait(20);
            }
            return false;
        }
        return true;
    }

    void command(const QString &line)
    {
        m_process.write((line + QLatin1Char('\n')).toUtf8());
        m_process.waitForBytesWritten(1000);
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        command(QStringLiteral("quit"));
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // The PBX dies at once, as on a power cut: no log-off, the socket just closes.
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    // A new PBX on the port of the last one.
    bool restartLan(const QStringList &extra = {})
    {
        return start(QStringList{"--listen", QStringLiteral("127.0.0.1:%1").arg(m_port)} + extra);
    }

    quint16 port() const { return m_port; }

private:
    QProcess m_process;
    quint16 m_port = 0;
    QString m_ptyPath;
};
