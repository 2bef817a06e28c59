#include "MailJob.h"

#include "mail/SmtpClient.h"
#include "base/Clock.h"
#include "base/MessageCatalogue.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"

#include <QHostInfo>
#include <QThread>

#include <tuple>

namespace {

const QString kTitle = QStringLiteral("#:email_msgbox_title");

// At shut-down a mail thread gets this long to close its socket.
constexpr int kJoinMs = 3000;

} // namespace

MailJob::MailJob(TimerHost &timers, OperatorUi &ui, const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_timers(timers)
    , m_ui(ui)
    , m_clock(clock)
    , m_heloName(QHostInfo::localHostName())
{
    qRegisterMetaType<SmtpOutcome>();
    m_timers.setHandler(TimerId::MailTimeout, [this](int) { onTimeout(); });
}

MailJob::~MailJob()
{
    m_timers.clearHandler(TimerId::MailTimeout);
    m_timers.stop(TimerId::MailTimeout);
    Q_EMIT abortRequested();
    for (const QPointer<QThread> &thread : std::as_const(m_threads)) {
        if (!thread)
            continue;
        thread->quit();
        // A thread that does not end in time is left alone rather than
        // deleted while it runs.
        if (thread->wait(kJoinMs))
            delete thread.data();
    }
}

int MailJob::threadCount() const
{
    int count = 0;
    for (const QPointer<QThread> &thread : m_threads) {
        if (thread && !thread->isFinished())
            ++count;
    }
    return count;
}

std::pair<QString, quint16> MailJob::serverAddress(const QString &server, quint16 fallback)
{
    const QString text = server.trimmed();
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    // A colon that is not the only one belongs to an IPv6 address, unless
    // the address is bracketed.
    const bool bracketed = text.startsWith(QLatin1Char('[')) && colon > 0 && text.at(colon - 1) == QLatin1Char(']');
    if (colon <= 0 || (!bracketed && text.indexOf(QLatin1Char(':')) != colon))
        return {text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']')) ? text.mid(1, text.size() - 2) : text,
                fallback};
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return {text, fallback};
    const QString host = text.left(colon);
    return {bracketed ? host.mid(1, host.size() - 2) : host, quint16(port)};
}

void MailJob::send(const QString &server, const MailMessage &message)
{
    m_threads.removeAll(QPointer<QThread>());

    SmtpClient::Job job;
    std::tie(job.server, job.port) = serverAddress(server, m_port);
    job.heloName = m_heloName;
    job.message = message;
    job.date = m_clock.now();

    const quint64 id = m_nextId++;
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("mail"));
    auto *client = new SmtpClient(std::move(job));
    client->moveToThread(thread);

    connect(thread, &QThread::started, client, &SmtpClient::start);
    connect(client, &SmtpClient::finished, this,
            [this, id](const SmtpOutcome &outcome) { onFinished(id, outcome); }, Qt::QueuedConnection);
    connect(client, &SmtpClient::closed, thread, &QThread::quit, Qt::DirectConnection);
    connect(this, &MailJob::abortRequested, client, &SmtpClient::abort, Qt::QueuedConnection);
    // The client and its socket end with the thread, on the thread.
    connect(thread, &QThread::finished, client, &QObject::deleteLater, Qt::DirectConnection);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater, Qt::QueuedConnection);

    m_pending.append(id);
    m_threads.append(thread);
    m_timers.start(TimerId::MailTimeout, TimeoutMs);
    thread->start();
}

void MailJob::onFinished(quint64 id, const SmtpOutcome &outcome)
{
    // Ended by the time-out, which told the operator already.
    if (!m_pending.removeOne(id))
        return;
    if (m_pending.isEmpty())
        m_timers.stop(TimerId::MailTimeout);
    if (outcome.result != SmtpOutcome::Aborted) {
        const MessageCatalogue catalogue;
        m_ui.showFixedMessage(outcome.text(catalogue), catalogue.text(kTitle), MessageStyle::Deferred);
    }
    Q_EMIT mailEnded(outcome);
}

void MailJob::onTimeout()
{
    m_timers.stop(TimerId::MailTimeout);
    if (m_pending.isEmpty())
        return;
    m_pending.clear();
    Q_EMIT abortRequested();
    m_ui.showMessage(QStringLiteral("#:Time_Out_MSG"), kTitle, MessageStyle::Stop);
    Q_EMIT mailEnded({SmtpOutcome::Aborted, 0, 0});
}
