#include "SmtpClient.h"

#include <QLoggingCategory>
#include <QTcpSocket>

Q_LOGGING_CATEGORY(lcMail, "zarto.mail", QtInfoMsg)

namespace {

// The code of a reply: its first three characters read as a decimal number,
// as far as they are digits.
int replyCode(const QByteArray &line)
{
    int code = 0;
    for (int i = 0; i < 3 && i < line.size() && line.at(i) >= '0' && line.at(i) <= '9'; ++i)
        code = code * 10 + (line.at(i) - '0');
    return code;
}

} // namespace

SmtpClient::SmtpClient(Job job, QObject *parent)
    : QObject(parent)
    , m_job(std::move(job))
{
    if (m_job.message.sender.isEmpty())
        m_job.message.sender = QString::fromLatin1(DefaultSender);
    m_job.heloName = headerSafe(m_job.heloName).left(MaxHeloName);
}

SmtpClient::~SmtpClient() = default;

void SmtpClient::start()
{
    if (m_step != Step::Idle)
        return;
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &SmtpClient::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &SmtpClient::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &SmtpClient::onError);
    connect(m_socket, &QTcpSocket::disconnected, this, &SmtpClient::onDisconnected);
    m_step = Step::Connecting;
    qCDebug(lcMail) << "connecting to" << m_job.server << m_job.port;
    m_socket->connectToHost(m_job.server, m_job.port);
}

void SmtpClient::abort()
{
    if (m_step == Step::Closed)
        return;
    report({SmtpOutcome::Aborted, 0, 0});
    if (m_socket)
        m_socket->abort();
    markClosed();
}

void SmtpClient::onConnected()
{
    if (m_step == Step::Connecting)
        m_step = Step::Greeting;
}

void SmtpClient::onReadyRead()
{
    m_buffer.append(m_socket->readAll());
    // A reply is complete with the line whose code is not followed by '-'.
    while (m_step != Step::Closing && m_step != Step::Closed) {
        qsizetype start = 0;
        int code = -1;
        while (true) {
            const qsizetype end = m_buffer.indexOf('\n', start);
            if (end < 0)
                break;
            const QByteArray line = m_buffer.mid(start, end - start);
            start = end + 1;
            if (line.size() < 4 || line.at(3) != '-') {
                code = replyCode(line);
                break;
            }
        }
        if (code < 0) {
            if (m_buffer.size() > MaxReplyBytes)
                fail(SmtpOutcome::ReceiveError);
            return;
        }
        const QByteArray reply = m_buffer.left(start);
        m_buffer.remove(0, start);
        qCDebug(lcMail) << "<<" << reply.trimmed();
        onReply(code);
    }
}

void SmtpClient::onError(QAbstractSocket::SocketError error)
{
    qCDebug(lcMail) << "socket error" << error << m_socket->errorString();
    // The connection is gone or going: no QUIT on it.
    m_connected = false;
    switch (m_step) {
    case Step::Connecting:
        fail(error == QAbstractSocket::HostNotFoundError ? SmtpOutcome::ServerInvalid
                                                         : SmtpOutcome::ServerNotResponding);
        break;
    case Step::Greeting:
        fail(SmtpOutcome::ServerNotResponding);
        break;
    case Step::Idle:
    case Step::Closing:
    case Step::Closed:
        break;
    default:
        fail(SmtpOutcome::ReceiveError);
        break;
    }
}

void SmtpClient::onDisconnected()
{
    // A server that closes while a reply is awaited is a failure of that step.
    if (!m_reported)
        onError(QAbstractSocket::RemoteHostClosedError);
    markClosed();
}

void SmtpClient::onReply(int code)
{
    switch (m_step) {
    case Step::Greeting:
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Greeting))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::Greeting);
        m_step = Step::Helo;
        sendLine(QStringLiteral("HELO %1\r\n").arg(m_job.heloName));
        return;
    case Step::Helo:
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Ok))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::Ok);
        m_connected = true;
        if (m_job.message.recipients.isEmpty())
            return fail(SmtpOutcome::NoRecipients);
        m_step = Step::MailFrom;
        sendLine(QStringLiteral("MAIL From: <%1>\r\n").arg(headerSafe(m_job.message.sender)));
        return;
    case Step::MailFrom:
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Ok))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::Ok);
        m_step = Step::Recipient;
        m_recipient = 0;
        sendRecipient();
        return;
    case Step::Recipient:
        // A refused recipient does not stop the mail to the others.
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Ok))
            qCDebug(lcMail) << "recipient refused" << code;
        ++m_recipient;
        if (m_recipient < m_job.message.recipients.size())
            return sendRecipient();
        m_step = Step::Data;
        sendLine(QStringLiteral("DATA\r\n"));
        return;
    case Step::Data:
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::StartData))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::StartData);
        m_step = Step::EndOfData;
        m_socket->write(mailHeader(m_job.message, m_job.date, QString::fromLatin1(MailerName)));
        m_socket->write(mailBodyData(m_job.message.body));
        m_socket->write("\r\n.\r\n");
        return;
    case Step::EndOfData:
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Ok))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::Ok);
        m_step = Step::Quit;
        sendLine(QStringLiteral("QUIT\r\n"));
        return;
    case Step::Quit:
        m_connected = false;
        if (code != SmtpOutcome::expectedCode(SmtpOutcome::Closing))
            return fail(SmtpOutcome::UnexpectedReply, code, SmtpOutcome::Closing);
        report({SmtpOutcome::Sent, 0, 0});
        close();
        return;
    case Step::Idle:
    case Step::Connecting:
    case Step::Closing:
    case Step::Closed:
        return;
    }
}

void SmtpClient::sendLine(const QString &line)
{
    qCDebug(lcMail) << ">>" << line.trimmed();
    m_socket->write(line.toUtf8());
}

void SmtpClient::sendRecipient()
{
    const MailRecipient &r = m_job.message.recipients.at(m_recipient);
    sendLine(QStringLiteral("RCPT TO: <%1>\r\n").arg(headerSafe(r.address)));
}

void SmtpClient::fail(SmtpOutcome::Result result, int code, int row)
{
    report({result, code, row});
    if (m_connected && m_socket->state() == QAbstractSocket::ConnectedState) {
        m_connected = false;
        sendLine(QStringLiteral("QUIT\r\n"));
    }
    close();
}

void SmtpClient::report(const SmtpOutcome &outcome)
{
    if (m_reported)
        return;
    m_reported = true;
    Q_EMIT finished(outcome);
}

void SmtpClient::close()
{
    if (m_step == Step::Closing || m_step == Step::Closed)
        return;
    m_step = Step::Closing;
    // Sends what is still buffered (a last QUIT), then closes.
    m_socket->disconnectFromHost();
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        markClosed();
}

void SmtpClient::markClosed()
{
    if (m_step == Step::Closed)
        return;
    m_step = Step::Closed;
    Q_EMIT closed();
}
