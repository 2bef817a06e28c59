#pragma once

#include <QString>

// Section "Mail" of the settings store: "SMTP server" (name or address of the
// mail server) and "email" (the sender's address), both empty by default.
struct MailSettings
{
    static constexpr const char *Section = "Mail";
    static constexpr const char *ServerName = "SMTP server";
    static constexpr const char *SenderName = "email";

    QString server;
    QString sender;

    static MailSettings load();
    // False when either value did not reach the store.
    bool store() const;
};
