#pragma once

#include "mail/MailMessage.h"
#include "mail/SmtpOutcome.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <utility>

class Clock;
class OperatorUi;
class QThread;
class TimerHost;

// Sends the console's mails, each on a mail thread of its own with its own
// SmtpClient, and tells the operator the result under "#:email_msgbox_title"
// as a deferred box. Lives on the user-interface thread.
//
// The mail timer (TimerId::MailTimeout) runs while a mail is on its way; when
// it fires, 10 s after the last mail started, every mail still on its way is
// ended: its client closes its socket and its thread ends by itself, and the
// operator is shown "#:Time_Out_MSG" once, with a stop icon. A result that
// arrives after the time-out is not shown.
class MailJob : public QObject
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 10000;
    static constexpr quint16 SmtpPort = 25;

    MailJob(TimerHost &timers, OperatorUi &ui, const Clock &clock, QObject *parent = nullptr);
    // Ends the mails still on their way and waits a bounded time for their threads.
    ~MailJob() override;

    // The port of the mail server; 25 unless a test or a site says otherwise.
    void setPort(quint16 port) { m_port = port; }
    // The name given with HELO; this computer's host name by default.
    void setHeloName(const QString &name) { m_heloName = name; }

    // The host and port of a mail-server setting: "host", "host:port",
    // "[address]:port" or a bare IPv6 address; without a valid port (1 to
    // 65535) the port is fallback and the whole text the host.
    static std::pair<QString, quint16> serverAddress(const QString &server, quint16 fallback);

    // Starts the mail to server (a setting as above); returns at once.
    void send(const QString &server, const MailMessage &message);

    // Mails whose result has not been shown (or ended by the time-out).
    int pendingCount() const { return m_pending.size(); }
    // Mail threads that have not ended yet.
    int threadCount() const;

Q_SIGNALS:
    // A mail ended and its result was shown (Aborted: ended by the time-out).
    void mailEnded(const SmtpOutcome &outcome);
    // Asks every client to end (queued to the mail threads).
    void abortRequested();

private:
    void onFinished(quint64 id, const SmtpOutcome &outcome);
    void onTimeout();

    TimerHost &m_timers;
    OperatorUi &m_ui;
    const Clock &m_clock;
    quint16 m_port = SmtpPort;
    QString m_heloName;
    quint64 m_nextId = 1;
    QList<quint64> m_pending;
    QList<QPointer<QThread>> m_threads;
};
