#include "FakeSmtpServer.h"
#include "ManualClock.h"
#include "ManualTimerHost.h"
#include "Recorders.h"

#include "mail/MailJob.h"
#include "mail/MailMessage.h"
#include "mail/MailSettings.h"
#include "mail/SmtpClient.h"
#include "base/MessageCatalogue.h"
#include "base/TimerIds.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QDateTime kDate(QDate(2026, 3, 5), QTime(14, 7, 9), Qt::UTC);

MailMessage message(const QString &to, const QString &subject = QStringLiteral("Hello"),
                    const QString &body = QStringLiteral("Line one"))
{
    MailMessage m;
    m.sender = QStringLiteral("desk@pbx.test");
    m.subject = subject;
    m.body = body;
    m.recipients = parseRecipients(to);
    return m;
}

struct Run
{
    std::unique_ptr<SmtpClient> client;
    std::unique_ptr<QSignalSpy> finished;
    std::unique_ptr<QSignalSpy> closed;

    SmtpOutcome outcome() const { return finished->first().first().value<SmtpOutcome>(); }
};

// Runs one client on this thread to its end against the server.
Run runClient(quint16 port, const MailMessage &m, const QString &server = QStringLiteral("127.0.0.1"))
{
    SmtpClient::Job job;
    job.server = server;
    job.port = port;
    job.heloName = QStringLiteral("desk01");
    job.message = m;
    job.date = kDate;
    Run run;
    run.client = std::make_unique<SmtpClient>(job);
    run.finished = std::make_unique<QSignalSpy>(run.client.get(), &SmtpClient::finished);
    run.closed = std::make_unique<QSignalSpy>(run.client.get(), &SmtpClient::closed);
    run.client->start();
    [&] { QTRY_COMPARE_WITH_TIMEOUT(run.closed->size(), 1, 5000); }();
    return run;
}


} // namespace

class TestSmtp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        MessageCatalogue::resetProcessStateForTests();
        MessageCatalogue::setFallbackDirectory(qEnvironmentVariable("ZARTO_SOURCE_DIR") + QStringLiteral("/data"));
    }

    void serverAddress_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("name") << "mail.x.test" << "mail.x.test" << 25;
        QTest::newRow("name and port") << " mail.x.test:2525 " << "mail.x.test" << 2525;
        QTest::newRow("address and port") << "127.0.0.1:1025" << "127.0.0.1" << 1025;
        QTest::newRow("bare IPv6") << "::1" << "::1" << 25;
        QTest::newRow("bracketed IPv6 and port") << "[::1]:587" << "::1" << 587;
        QTest::newRow("bracketed IPv6") << "[fe80::1]" << "fe80::1" << 25;
        QTest::newRow("port 0") << "host:0" << "host:0" << 25;
        QTest::newRow("port too big") << "host:65536" << "host:65536" << 25;
        QTest::newRow("not a port") << "host:smtp" << "host:smtp" << 25;
    }
    void serverAddress()
    {
        QFETCH(QString, setting);
        QFETCH(QString, host);
        QFETCH(int, port);
        QCOMPARE(MailJob::serverAddress(setting, 25), (std::pair<QString, quint16>{host, quint16(port)}));
    }

    void recipients_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<MailRecipients>("expected");
        QTest::newRow("address alone") << "a@x.test" << MailRecipients{{"", "a@x.test"}};
        QTest::newRow("name keeps its blank")
            << "Anna Berg <anna@x.test>" << MailRecipients{{"Anna Berg ", "anna@x.test"}};
        QTest::newRow("two, blanks kept")
            << "a@x.test; Bo<bo@x.test>" << MailRecipients{{"", "a@x.test"}, {" Bo", "bo@x.test"}};
        QTest::newRow("no closing bracket") << "Cy<cy@x.test" << MailRecipients{{"Cy", "cy@x.test"}};
        QTest::newRow("'>' before '<' ends the list")
            << "a@x.test;b>c<d@x.test;e@x.test" << MailRecipients{{"", "a@x.test"}};
        QTest::newRow("trailing ';'") << "a@x.test;" << MailRecipients{{"", "a@x.test"}};
    }
    void recipients()
    {
        QFETCH(QString, text);
        QFETCH(MailRecipients, expected);
        QCOMPARE(parseRecipients(text), expected);
    }

    void bodyData_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("single dot") << "." << QByteArray("..\r\n");
        QTest::newRow("dot lines anywhere")
            << ".a\r\nb\r\n..c\r\n" << QByteArray("..a\r\nb\r\n...c\r\n");
        QTest::newRow("LF and CR become CR LF, dot after LF stuffed")
            << "a\n.\rb" << QByteArray("a\r\n..\r\nb\r\n");
        QTest::newRow("empty") << "" << QByteArray("\r\n");
        QTest::newRow("UTF-8") << QStringLiteral("Grüße") << QByteArray("Gr\xc3\xbc\xc3\x9f" "e\r\n");
    }
    void bodyData()
    {
        QFETCH(QString, body);
        QFETCH(QByteArray, sent);
        QCOMPARE(mailBodyData(body), sent);
    }

    void outcomeTexts()
    {
        const MessageCatalogue catalogue;
        QCOMPARE((SmtpOutcome{SmtpOutcome::UnexpectedReply, 554, SmtpOutcome::Greeting}.text(catalogue)),
                 QStringLiteral("554:") + catalogue.text(QStringLiteral("#:response_connect_msg")));
        QStringList six;
        for (int i = 1; i <= 6; ++i)
            six << catalogue.text(QStringLiteral("#:send_mail_message_box%1").arg(i));
        QCOMPARE(SmtpOutcome{SmtpOutcome::ServerInvalid}.text(catalogue),
                 six[0] + "\n" + six[1] + "\n\n" + six[2] + "\n" + six[3] + "\n" + six[4] + "\n" + six[5]);
    }

    // The whole exchange, byte for byte: multi-line replies, two recipients,
    // the date in GMT, dot-stuffing and the end of the data.
    void exchange()
    {
        FakeSmtpServer server;
        server.replies["greeting"] = "220-fake.test first line\r\n220-second line\r\n220 ready\r\n";
        server.replies["HELO"] = "250-fake.test\r\n250 HELP\r\n";
        const Run run = runClient(server.port(), message(QStringLiteral("Anna <anna@x.test>;bo@x.test"),
                                                         QStringLiteral("Lunch"),
                                                         QStringLiteral("Hi\r\n.\r\n.. end")));
        QCOMPARE(run.outcome(), (SmtpOutcome{SmtpOutcome::Sent}));
        QCOMPARE(run.finished->size(), 1);
        const QByteArray expected = "HELO desk01\r\n"
                                    "MAIL From: <desk@pbx.test>\r\n"
                                    "RCPT TO: <anna@x.test>\r\n"
                                    "RCPT TO: <bo@x.test>\r\n"
                                    "DATA\r\n"
                                    "Date: Thu, 05 Mar 26 14:07:09 GMT\r\n"
                                    "From: desk@pbx.test\r\n"
                                    "To: Anna <anna@x.test>,<bo@x.test>\r\n"
                                    "Subject: Lunch\r\n"
                                    "X-Mailer: <Zarto for Mesk>\r\n"
                                    "\r\n"
                                    "Hi\r\n"
                                    "..\r\n"
                                    "... end\r\n"
                                    "\r\n.\r\n"
                                    "QUIT\r\n";
        QCOMPARE(server.received, expected);
    }

    void emptySenderIsPembaMailer()
    {
        FakeSmtpServer server;
        MailMessage m = message(QStringLiteral("a@x.test"));
        m.sender.clear();
        const Run run = runClient(server.port(), m);
        QCOMPARE(run.outcome().result, SmtpOutcome::Sent);
        QVERIFY(server.received.contains("MAIL From: <PembaMailer>\r\n"));
        QVERIFY(server.received.contains("From: PembaMailer\r\n"));
    }

    // CR and LF in a field would start header lines or commands of their own.
    void headerInjection()
    {
        FakeSmtpServer server;
        MailMessage m = message(QStringLiteral("Eve\r\nBcc: x@evil.test <a@x.test\r\nRSET>"),
                                QStringLiteral("Hi\r\nBcc: y@evil.test\nX-Evil: 1"));
        m.sender = QStringLiteral("desk@pbx.test\r\nRCPT TO: <z@evil.test>");
        const Run run = runClient(server.port(), m);
        QCOMPARE(run.outcome().result, SmtpOutcome::Sent);
        const QList<QByteArray> lines = server.received.split('\n');
        for (const QByteArray &line : lines) {
            QVERIFY2(!line.startsWith("Bcc") && !line.startsWith("X-Evil") && !line.startsWith("RSET"),
                     line.constData());
        }
        QVERIFY(server.received.contains("RCPT TO: <a@x.testRSET>\r\n"));
        QVERIFY(server.received.contains("MAIL From: <desk@pbx.testRCPT TO: <z@evil.test>>\r\n"));
        QVERIFY(server.received.contains("Subject: HiBcc: y@evil.testX-Evil: 1\r\n"));
        QVERIFY(server.received.contains("To: EveBcc: x@evil.test <a@x.testRSET>\r\n"));
        QCOMPARE(std::count_if(lines.begin(), lines.end(), [](const QByteArray &l) { return l.startsWith("RCPT"); }), 1);
    }

    // Each reply that is not the one expected ends the mail with "code:text";
    // after HELO was answered the client still says QUIT.
    void failureReplies_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("lastSent");
        QTest::newRow("greeting 554") << QByteArray("greeting") << QByteArray("554 go away\r\n") << 554
                                      << int(SmtpOutcome::Greeting) << QByteArray();
        QTest::newRow("HELO 501") << QByteArray("HELO") << QByteArray("501 syntax\r\n") << 501
                                  << int(SmtpOutcome::Ok) << QByteArray("HELO desk01\r\n");
        QTest::newRow("MAIL 550") << QByteArray("MAIL") << QByteArray("550-no\r\n550 no\r\n") << 550
                                  << int(SmtpOutcome::Ok) << QByteArray("QUIT\r\n");
        QTest::newRow("RCPT 550, DATA 503") << QByteArray("RCPT") << QByteArray("550 unknown\r\n") << 503
                                            << int(SmtpOutcome::StartData) << QByteArray("QUIT\r\n");
        QTest::newRow("DATA 451") << QByteArray("DATA") << QByteArray("451 later\r\n") << 451
                                  << int(SmtpOutcome::StartData) << QByteArray("QUIT\r\n");
        QTest::newRow("end of data 552") << QByteArray(".") << QByteArray("552 too big\r\n") << 552
                                         << int(SmtpOutcome::Ok) << QByteArray("QUIT\r\n");
        QTest::newRow("QUIT 500") << QByteArray("QUIT") << QByteArray("500 eh\r\n") << 500
                                  << int(SmtpOutcome::Closing) << QByteArray("QUIT\r\n");
        QTest::newRow("garbage greeting") << QByteArray("greeting") << QByteArray("hello\r\n") << 0
                                          << int(SmtpOutcome::Greeting) << QByteArray();
    }
    void failureReplies()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, reply);
        QFETCH(int, code);
        QFETCH(int, row);
        QFETCH(QByteArray, lastSent);
        FakeSmtpServer server;
        server.replies[verb] = reply;
        if (verb == "RCPT")
            server.replies["DATA"] = "503 no valid recipients\r\n";
        const Run run = runClient(server.port(), message(QStringLiteral("a@x.test")));
        QCOMPARE(run.finished->size(), 1);
        QCOMPARE(run.outcome(), (SmtpOutcome{SmtpOutcome::UnexpectedReply, code, row}));
        if (lastSent.isEmpty()) {
            QVERIFY(server.received.isEmpty());
        } else {
            QTRY_VERIFY(server.received.endsWith(lastSent));
            QCOMPARE(server.received.count("QUIT"), lastSent == "QUIT\r\n" ? 1 : 0);
        }
    }

    // A refused recipient does not stop the mail to the others.
    void refusedRecipient()
    {
        FakeSmtpServer server;
        server.replies["RCPT"] = "550 unknown\r\n";
        server.replies["DATA"] = "354 go ahead\r\n";
        const Run run = runClient(server.port(), message(QStringLiteral("a@x.test")));
        QCOMPARE(run.outcome().result, SmtpOutcome::Sent);
    }

    void noRecipients()
    {
        FakeSmtpServer server;
        const Run run = runClient(server.port(), message(QStringLiteral("x>y<z@x.test")));
        QCOMPARE(run.outcome().result, SmtpOutcome::NoRecipients);
        QTRY_COMPARE(server.received, QByteArray("HELO desk01\r\nQUIT\r\n"));
    }

    void connectionEnds_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<int>("result");
        QTest::newRow("closed before greeting") << QByteArray("greeting") << int(SmtpOutcome::ServerNotResponding);
        QTest::newRow("closed after MAIL") << QByteArray("MAIL") << int(SmtpOutcome::ReceiveError);
        QTest::newRow("closed after end of data") << QByteArray(".") << int(SmtpOutcome::ReceiveError);
    }
    void connectionEnds()
    {
        QFETCH(QByteArray, verb);
        QFETCH(int, result);
        FakeSmtpServer server;
        server.replies[verb] = QByteArray();
        const Run run = runClient(server.port(), message(QStringLiteral("a@x.test")));
        QCOMPARE(run.finished->size(), 1);
        QCOMPARE(int(run.outcome().result), result);
    }

    void unreachableServer()
    {
        quint16 port = 0;
        {
            FakeSmtpServer gone;
            port = gone.port();
        }
        QCOMPARE(runClient(port, message(QStringLiteral("a@x.test"))).outcome().result,
                 SmtpOutcome::ServerNotResponding);
        QCOMPARE(runClient(port, message(QStringLiteral("a@x.test")), QString()).outcome().result,
                 SmtpOutcome::ServerInvalid);
    }

    // A reply that never ends is not collected without bound.
    void endlessReply()
    {
        FakeSmtpServer server;
        server.replies["greeting"] = QByteArray(SmtpClient::MaxReplyBytes + 10, 'x');
        QCOMPARE(runClient(server.port(), message(QStringLiteral("a@x.test"))).outcome().result,
                 SmtpOutcome::ReceiveError);
    }

    // The job runs the client on a thread of its own and tells the operator.
    void jobReportsResult()
    {
        FakeSmtpServer server;
        ManualTimerHost timers;
        OperatorUiRecorder ui;
        ManualClock clock(kDate);
        MailJob job(timers, ui, clock);
        job.setPort(server.port());
        job.setHeloName(QStringLiteral("desk01"));
        QSignalSpy ended(&job, &MailJob::mailEnded);

        job.send(QStringLiteral("127.0.0.1"), message(QStringLiteral("a@x.test")));
        QVERIFY(timers.isActive(TimerId::MailTimeout));
        QCOMPARE(timers.period(TimerId::MailTimeout), MailJob::TimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 5000);
        QVERIFY(!timers.isActive(TimerId::MailTimeout));
        QCOMPARE(ui.shown.size(), 1);
        const MessageCatalogue catalogue;
        QCOMPARE(ui.shown[0].text, catalogue.text(QStringLiteral("#:Success_information_msg")));
        QCOMPARE(ui.shown[0].title, catalogue.text(QStringLiteral("#:email_msgbox_title")));
        QCOMPARE(ui.shown[0].style, MessageStyle::Deferred);
        QVERIFY(server.received.contains("Date: Thu, 05 Mar 26 14:07:09 GMT\r\n"));
        QTRY_COMPARE(job.threadCount(), 0);
    }

    // A server that never answers: 10 s of the mail timer end the mail; the
    // client closes its socket and the thread ends by itself.
    void timeout()
    {
        FakeSmtpServer server;
        server.silent << "greeting";
        ManualTimerHost timers;
        OperatorUiRecorder ui;
        ManualClock clock(kDate);
        MailJob job(timers, ui, clock);
        job.setPort(server.port());
        QSignalSpy ended(&job, &MailJob::mailEnded);

        job.send(QStringLiteral("127.0.0.1"), message(QStringLiteral("a@x.test")));
        QTRY_VERIFY(server.connected());
        timers.advance(MailJob::TimeoutMs - 1);
        QVERIFY(ui.shown.isEmpty());
        QCOMPARE(job.threadCount(), 1);

        timers.advance(1);
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ui.shown[0].text, QStringLiteral("#:Time_Out_MSG"));
        QCOMPARE(ui.shown[0].title, QStringLiteral("#:email_msgbox_title"));
        QCOMPARE(ui.shown[0].style, MessageStyle::Stop);
        QVERIFY(!timers.isActive(TimerId::MailTimeout));
        QCOMPARE(job.pendingCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(job.threadCount(), 0, 5000);
        QTRY_VERIFY(server.peerClosed);
        // The aborted client's own end is not shown a second time.
        QCoreApplication::processEvents();
        QCOMPARE(ui.shown.size(), 1);
        QCOMPARE(ended.size(), 1);
    }

    // Leaving with a mail on its way ends its thread without waiting for the server.
    void shutDownWhileSending()
    {
        FakeSmtpServer server;
        server.silent << "greeting";
        ManualTimerHost timers;
        OperatorUiRecorder ui;
        ManualClock clock(kDate);
        {
            MailJob job(timers, ui, clock);
            job.setPort(server.port());
            job.send(QStringLiteral("127.0.0.1"), message(QStringLiteral("a@x.test")));
            QTRY_VERIFY(server.connected());
        }
        QVERIFY(ui.shown.isEmpty());
        QTRY_VERIFY(server.peerClosed);
    }

    // A real SMTP server receives the mail.
    void realServer()
    {
        if (QProcess::execute(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QStringLiteral("import aiosmtpd")}) != 0)
            QSKIP("/usr/bin/python3 cannot import aiosmtpd");
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        QTemporaryDir temp;
        // The handler makes the maildir and its folders itself.
        const QDir maildir(temp.filePath(QStringLiteral("box")));
        QProcess smtpd;
        smtpd.setProcessChannelMode(QProcess::ForwardedChannels);
        smtpd.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral("-m"), QStringLiteral("aiosmtpd"), QStringLiteral("-n"), QStringLiteral("-l"),
                     QStringLiteral("127.0.0.1:%1").arg(port), QStringLiteral("-c"),
                     QStringLiteral("aiosmtpd.handlers.Mailbox"), maildir.path()});
        QVERIFY(smtpd.waitForStarted());
        auto stop = qScopeGuard([&] {
            smtpd.terminate();
            if (!smtpd.waitForFinished(3000))
                smtpd.kill();
            smtpd.waitForFinished(3000);
        });
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            }(),
            10000);

        ManualTimerHost timers;
        OperatorUiRecorder ui;
        ManualClock clock(kDate);
        MailJob job(timers, ui, clock);
        QSignalSpy ended(&job, &MailJob::mailEnded);
        // The server's port is given with the setting.
        job.send(QStringLiteral("127.0.0.1:%1").arg(port),
                 message(QStringLiteral("Anna Berg <anna@x.test>"), QStringLiteral("Visitor at the gate"),
                         QStringLiteral("Please come down.\n.\nThanks")));
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
        QCOMPARE(ended[0][0].value<SmtpOutcome>().result, SmtpOutcome::Sent);

        const QDir fresh(maildir.filePath(QStringLiteral("new")));
        QTRY_COMPARE_WITH_TIMEOUT(fresh.entryList(QDir::Files).size(), 1, 5000);
        QFile file(fresh.filePath(fresh.entryList(QDir::Files).first()));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray mail = file.readAll();
        QVERIFY2(mail.contains("Subject: Visitor at the gate"), mail.constData());
        QVERIFY(mail.contains("To: Anna Berg <anna@x.test>"));
        QVERIFY(mail.contains("Please come down.\n.\nThanks"));
    }
};

QTEST_GUILESS_MAIN(TestSmtp)
#include "tst_smtp.moc"
