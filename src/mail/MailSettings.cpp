#include "MailSettings.h"

#include "base/SettingsSection.h"

MailSettings MailSettings::load()
{
    const CSettingsSection section(QString::fromLatin1(Section));
    return {section.readString(QString::fromLatin1(ServerName)), section.readString(QString::fromLatin1(SenderName))};
}

bool MailSettings::store() const
{
    CSettingsSection section(QString::fromLatin1(Section));
    const bool serverStored = section.writeString(QString::fromLatin1(ServerName), server);
    const bool senderStored = section.writeString(QString::fromLatin1(SenderName), sender);
    return serverStored && senderStored;
}
