#pragma once

#include "mail/MailMessage.h"
#include "mail/SmtpOutcome.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

class QTcpSocket;

// The SMTP exchange of one mail: greeting, HELO, MAIL From, one RCPT TO per
// recipient, DATA, the header and the body, QUIT. It is driven by its socket's
// notifications on the thread it lives on (the mail thread) and never blocks.
//
// finished() comes exactly once with the outcome; closed() follows when the
// socket is closed, after which the client does nothing more. A failure after
// HELO was answered still sends QUIT before the socket closes.
class SmtpClient : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *MailerName = "Zarto for Mesk";
    static constexpr const char *DefaultSender = "PembaMailer";
    static constexpr int MaxHeloName = 80;
    // A reply longer than this is not a reply of a mail server.
    static constexpr int MaxReplyBytes = 64 * 1024;

    struct Job
    {
        QString server;
        quint16 port = 25;
        QString heloName;  // this computer's host name
        MailMessage message;
        QDateTime date;    // the Date of the header
    };

    explicit SmtpClient(Job job, QObject *parent = nullptr);
    ~SmtpClient() override;

    // Connects and runs the exchange.
    void start();
    // Ends the mail at once: the socket is closed without another command,
    // finished() reports Aborted unless it came already, then closed().
    void abort();

    bool isClosed() const { return m_step == Step::Closed; }

Q_SIGNALS:
    void finished(const SmtpOutcome &outcome);
    void closed();

private:
    enum class Step { Idle, Connecting, Greeting, Helo, MailFrom, Recipient, Data, EndOfData, Quit, Closing, Closed };

    void onConnected();
    void onReadyRead();
    void onError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onReply(int code);
    void sendLine(const QString &line);
    void sendRecipient();
    void fail(SmtpOutcome::Result result, int code = 0, int row = 0);
    void report(const SmtpOutcome &outcome);
    void close();
    void markClosed();

    Job m_job;
    QTcpSocket *m_socket = nullptr;
    Step m_step = Step::Idle;
    // HELO was answered: a failure from here on still says QUIT.
    bool m_connected = false;
    bool m_reported = false;
    int m_recipient = 0;
    QByteArray m_buffer;
};
