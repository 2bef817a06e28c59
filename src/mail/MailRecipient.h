#pragma once

#include <QList>
#include <QString>

// One recipient of a mail: the display name (may be empty) and the address.
struct MailRecipient
{
    QString name;
    QString address;

    bool operator==(const MailRecipient &other) const = default;
};

using MailRecipients = QList<MailRecipient>;
