#include "SmtpOutcome.h"

#include "base/MessageCatalogue.h"

namespace {

struct ReplyRow
{
    int code;
    const char *key;
};

constexpr ReplyRow kReplies[] = {
    {250, "#:response_server_msg"},
    {220, "#:response_connect_msg"},
    {354, "#:response_data_msg"},
    {221, "#:responser_deadlock_msg"},
};

} // namespace

int SmtpOutcome::expectedCode(int row)
{
    return row >= 0 && row < int(std::size(kReplies)) ? kReplies[row].code : 0;
}

QString SmtpOutcome::replyKey(int row)
{
    return row >= 0 && row < int(std::size(kReplies)) ? QString::fromLatin1(kReplies[row].key) : QString();
}

QString SmtpOutcome::text(const MessageCatalogue &catalogue) const
{
    switch (result) {
    case Sent:
        return catalogue.text(QStringLiteral("#:Success_information_msg"));
    case ServerInvalid: {
        auto t = [&catalogue](const char *key) { return catalogue.text(QString::fromLatin1(key)); };
        return t("#:send_mail_message_box1") + QLatin1Char('\n') + t("#:send_mail_message_box2")
               + QStringLiteral("\n\n") + t("#:send_mail_message_box3") + QLatin1Char('\n')
               + t("#:send_mail_message_box4") + QLatin1Char('\n') + t("#:send_mail_message_box5")
               + QLatin1Char('\n') + t("#:send_mail_message_box6");
    }
    case ServerNotResponding:
        return catalogue.text(QStringLiteral("#:server_not_respond_message"));
    case ReceiveError:
        return QStringLiteral("Socket Error. Check NETWORK configuration in control pannel.");
    case UnexpectedReply:
        return QStringLiteral("%1:%2").arg(code).arg(catalogue.text(replyKey(replyRow)));
    case NoRecipients:
        return QStringLiteral("No Recipients");
    case Aborted:
        break;
    }
    return QString();
}
