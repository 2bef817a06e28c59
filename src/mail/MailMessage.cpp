#include "MailMessage.h"

#include <QLocale>

MailRecipients parseRecipients(const QString &text)
{
    MailRecipients out;
    const QStringList pieces = text.split(QLatin1Char(';'));
    for (const QString &piece : pieces) {
        if (piece.isEmpty())
            continue;
        const qsizetype open = piece.indexOf(QLatin1Char('<'));
        if (open < 0) {
            out.append({QString(), piece});
            continue;
        }
        const qsizetype close = piece.indexOf(QLatin1Char('>'));
        if (close >= 0 && close < open)
            break;
        const qsizetype end = close < 0 ? piece.size() : close;
        out.append({piece.left(open), piece.mid(open + 1, end - open - 1)});
    }
    return out;
}

QString headerSafe(const QString &text)
{
    QString out = text;
    out.remove(QLatin1Char('\r'));
    out.remove(QLatin1Char('\n'));
    return out;
}

QString mailToText(const MailRecipients &recipients)
{
    QStringList parts;
    for (const MailRecipient &r : recipients)
        parts.append(r.name + QLatin1Char('<') + r.address + QLatin1Char('>'));
    return parts.join(QLatin1Char(','));
}

QString mailDateText(const QDateTime &when)
{
    return QLocale::c().toString(when.toUTC(), QStringLiteral("ddd, dd MMM yy HH:mm:ss")) + QStringLiteral(" GMT");
}

QByteArray mailHeader(const MailMessage &message, const QDateTime &when, const QString &mailer)
{
    const QString header = QStringLiteral("Date: %1\r\nFrom: %2\r\nTo: %3\r\nSubject: %4\r\nX-Mailer: <%5>\r\n\r\n")
                               .arg(mailDateText(when), headerSafe(message.sender),
                                    headerSafe(mailToText(message.recipients)), headerSafe(message.subject),
                                    headerSafe(mailer));
    return header.toUtf8();
}

QByteArray mailBodyData(const QString &body)
{
    // A lone CR or LF is not a line end in the mail data, and a server that
    // takes one for a line end would read "\n.\n" as the end of the data.
    QString text = body;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            line.prepend(QLatin1Char('.'));
    }
    QByteArray out = lines.join(QStringLiteral("\r\n")).toUtf8();
    if (!out.endsWith("\r\n"))
        out.append("\r\n");
    return out;
}
