#include "link/Frame.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QByteArray frame(const QByteArray &payload)
{
    QByteArray out;
    Zemra1::buildFrame(Zemra1::ORLO_PTYPE_DATA, payload, out);
    return out;
}

// Data payloads in a byte stream.
QList<QByteArray> payloads(const QByteArray &bytes)
{
    struct Collect : Zemra1::FrameParser::Listener
    {
        QList<QByteArray> out;
        void frameStarted() override {}
        void frameAbandoned() override {}
        void frameReceived(quint16 type, const char *p, int n) override
        {
            if (type == Zemra1::ORLO_PTYPE_DATA)
                out.append(QByteArray(p, n));
        }
    } collect;
    Zemra1::FrameParser parser(&collect);
    parser.feed(bytes.constData(), int(bytes.size()));
    return collect.out;
}

bool holds(const QByteArray &bytes, const char *hexPayload)
{
    return payloads(bytes).contains(QByteArray::fromHex(hexPayload));
}

// The program on a free loopback port, with its log and control socket.
struct Program
{
    QTemporaryDir dir;
    QProcess process;
    quint16 port = 0;
    QString ptyTarget;

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }

    bool start(const QStringList &extra)
    {
        process.setProgram(QStringLiteral(PBXSIM_BINARY));
        process.setArguments(QStringList{QStringLiteral("--no-stdin"), QStringLiteral("--ping"), QStringLiteral("0"),
                                         QStringLiteral("--log"), path("pbx.log"), QStringLiteral("--control"), path("ctl")}
                             + extra);
        process.start();
        if (!process.waitForStarted(10000))
            return false;
        QByteArray out;
        static const QRegularExpression listening(QStringLiteral("listening on [0-9.]+:(\\d+)"));
        static const QRegularExpression pty(QStringLiteral("pty \\S+ -> (\\S+)"));
        for (int i = 0; i < 100 && !out.contains('\n'); ++i) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput();
        }
        const QString text = QString::fromLocal8Bit(out);
        if (const auto m = listening.match(text); m.hasMatch())
            port = quint16(m.captured(1).toUInt());
        if (const auto m = pty.match(text); m.hasMatch())
            ptyTarget = m.captured(1);
        return port != 0 || !ptyTarget.isEmpty();
    }

    QString control(const QString &command)
    {
        QLocalSocket socket;
        socket.connectToServer(path("ctl"));
        if (!socket.waitForConnected(5000))
            return QStringLiteral("no control socket");
        socket.write(command.toUtf8() + '\n');
        socket.flush();
        for (int i = 0; i < 50 && !socket.canReadLine(); ++i)
            socket.waitForReadyRead(100);
        return QString::fromUtf8(socket.readLine()).trimmed();
    }

    QString log() const
    {
        QFile f(dir.filePath(QStringLiteral("pbx.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(2000);
        }
    }
};

} // namespace

class TestPbxProcess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void logOnAndOffOverTcp()
    {
        Program pbx;
        QVERIFY(pbx.start({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")}));
        QTcpSocket socket;
        QByteArray in;
        connect(&socket, &QTcpSocket::readyRead, &socket, [&] { in += socket.readAll(); });
        socket.connectToHost(QStringLiteral("127.0.0.1"), pbx.port);
        QVERIFY(socket.waitForConnected(5000));

        socket.write(frame(QByteArray::fromHex("000b")));
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "0001"), 5000);
        socket.write(frame(QByteArray::fromHex("0101")));
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "01010030"), 5000);
        socket.write(frame(QByteArray::fromHex("0202030114")));
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "854000"), 5000);

        QCOMPARE(pbx.control(QStringLiteral("station 5 busy")), QStringLiteral("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "8303000510"), 5000);
        QVERIFY(pbx.control(QStringLiteral("status")).contains(QStringLiteral("logged-on=1")));
        QVERIFY(pbx.control(QStringLiteral("station 99 busy")).startsWith(QStringLiteral("error:")));

        socket.write(frame(QByteArray::fromHex("0003")));
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "0003"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(pbx.log().contains(QStringLiteral("TX LOG_OFF_ACK [ba ec 90 c2 00 03 ae bc]")), 5000);
        const QString log = pbx.log();
        QVERIFY(log.contains(QStringLiteral("RX LOG_ON_Request [ba ec 90 c2 00 0b a6 bc]")));
        QVERIFY(log.contains(QStringLiteral("RX MESKPARA_STATUSTIME period=3 min=1 max=20")));
        QVERIFY(!log.contains(QStringLiteral("protocol error")));
    }

    void aNewConsoleReplacesTheOld()
    {
        Program pbx;
        QVERIFY(pbx.start({QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")}));
        QTcpSocket first;
        first.connectToHost(QStringLiteral("127.0.0.1"), pbx.port);
        QVERIFY(first.waitForConnected(5000));
        first.write(frame(QByteArray::fromHex("000b")));
        QVERIFY(first.waitForReadyRead(5000));
        QSignalSpy gone(&first, &QTcpSocket::disconnected);
        QTcpSocket second;
        second.connectToHost(QStringLiteral("127.0.0.1"), pbx.port);
        QVERIFY(second.waitForConnected(5000));
        QVERIFY(gone.wait(5000));
        QByteArray in;
        second.write(frame(QByteArray::fromHex("0005")));
        for (int i = 0; i < 50 && !holds(in, "0007"); ++i) {
            second.waitForReadyRead(100);
            in += second.readAll();
        }
        // The new session starts logged off.
        QVERIFY(holds(in, "0007"));
    }

    void servesAPty()
    {
        Program pbx;
        const QString link = pbx.path("ttyPBX");
        QVERIFY(pbx.start({QStringLiteral("--pty"), link}));
        QCOMPARE(QFileInfo(link).symLinkTarget(), pbx.ptyTarget);
        const int fd = ::open(link.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios t{};
        QCOMPARE(::tcgetattr(fd, &t), 0);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
        const QByteArray logOn = frame(QByteArray::fromHex("000b"));
        QCOMPARE(::write(fd, logOn.constData(), size_t(logOn.size())), ssize_t(logOn.size()));
        QByteArray in;
        QSocketNotifier notifier(fd, QSocketNotifier::Read);
        connect(&notifier, &QSocketNotifier::activated, &notifier, [&] {
            char buffer[512];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0)
                in.append(buffer, int(n));
        });
        QTRY_VERIFY_WITH_TIMEOUT(holds(in, "0001"), 5000);
        notifier.setEnabled(false);
        ::close(fd);
        pbx.process.terminate();
        QVERIFY(pbx.process.waitForFinished(5000));
        QCOMPARE(pbx.process.exitCode(), 0);
        QVERIFY(!QFileInfo(link).isSymLink());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("--refuse-logon");
        QTest::newRow("bad option") << QStringList{QStringLiteral("--stations"), QStringLiteral("0")} << 2 << QStringLiteral("1 to 2000");
        QTest::newRow("missing scenario") << QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                                                         QStringLiteral("--scenario"), QStringLiteral("/nonexistent/s.txt")}
                                          << 1 << QStringLiteral("cannot read");
    }

    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QProcess p;
        p.start(QStringLiteral(PBXSIM_BINARY), args + QStringList{QStringLiteral("--no-stdin")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), exitCode);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError()).contains(output));
    }
};

QTEST_GUILESS_MAIN(TestPbxProcess)
#include "tst_pbxsim_process.moc"
