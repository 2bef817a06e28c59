#pragma once

#include "mail/MailRecipient.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One e-mail as the operator wrote it. The header is built when the mail is
// sent, from the date of sending.
struct MailMessage
{
    QString sender;
    QString subject;
    QString body;
    MailRecipients recipients;
};

// The recipient text of the mail dialog, split at each ';': a piece without
// '<' is an address alone; otherwise the name is the text before '<' and the
// address the text up to the next '>' (or the end). A piece whose '>' comes
// before its '<' ends the list; the recipients before it stay. Blanks are
// kept as typed; empty pieces (a trailing ';') give no recipient.
MailRecipients parseRecipients(const QString &text);

// A text as it may stand in a header line or an SMTP command: CR and LF are
// removed, so no field can start a line of its own.
QString headerSafe(const QString &text);

// "name<address>" for each recipient, joined by ",".
QString mailToText(const MailRecipients &recipients);

// "%a, %d %b %y %H:%M:%S GMT" of the time in UTC, with English names.
QString mailDateText(const QDateTime &when);

// Date, From, To, Subject and X-Mailer lines and the empty line that ends
// the header; every field is made header-safe.
QByteArray mailHeader(const MailMessage &message, const QDateTime &when, const QString &mailer);

// The body as sent after DATA: every line break becomes CR LF, every line
// that begins with '.' gets one more '.', and the text ends with CR LF. The
// end-of-data line ("\r\n.\r\n") is not part of it.
QByteArray mailBodyData(const QString &body);
