#pragma once

#include <QMetaType>
#include <QString>

class MessageCatalogue;

// How one mail ended. The client runs on the mail thread, where the catalogue
// is not read, so it reports what happened and the user-interface thread
// turns that into the text the operator sees.
struct SmtpOutcome
{
    enum Result {
        Sent,               // greeting, HELO, the message and QUIT all answered as expected
        ServerInvalid,      // the server name or address cannot be used
        ServerNotResponding,// refused, or no greeting before the connection ended
        ReceiveError,       // the connection failed while a reply was awaited
        UnexpectedReply,    // a reply with another code than the one expected
        NoRecipients,
        Aborted,            // ended from outside (time-out, shut-down); not reported
    };

    Result result = Aborted;
    int code = 0;     // the received code of an UnexpectedReply
    int replyRow = 0; // the row of the reply table that was expected

    bool operator==(const SmtpOutcome &other) const = default;

    // The reply table: the code expected and the key of its text.
    enum Row { Ok = 0, Greeting = 1, StartData = 2, Closing = 3 };
    static int expectedCode(int row);
    static QString replyKey(int row);

    // The text of the result message, looked up in catalogue.
    QString text(const MessageCatalogue &catalogue) const;
};

Q_DECLARE_METATYPE(SmtpOutcome)
