#include "CDLODoc.h"

#include "base/MessageCatalogue.h"
#include "base/SettingsSection.h"
#include "callstate/CExtStatusList.h"
#include "callstate/CTrkStatusList.h"

namespace {
const char *const TitleValue = "Button Title";
const char *const SizeValue = "Button Size";
const char *const DistanceValue = "Button Distance";
} // namespace

CDLODoc::CDLODoc(quint32 kind, const CExtStatusList &stations, const CTrkStatusList &lines)
    : m_kind(kind)
    , m_stations(stations)
    , m_lines(lines)
{
}

bool CDLODoc::isStation() const
{
    return m_kind == PORT_KIND_EXT;
}

QString CDLODoc::settingsKey() const
{
    return settingsKey(m_kind);
}

QString CDLODoc::settingsKey(quint32 kind)
{
    return kind == PORT_KIND_EXT ? QStringLiteral("EXTDLO") : QStringLiteral("TRKDLO");
}

int CDLODoc::titleMode() const
{
    return CSettingsSection(settingsKey())
        .readInt(QString::fromLatin1(TitleValue), isStation() ? TitleFullName : TitleCoNumber);
}

bool CDLODoc::setTitleMode(int mode)
{
    return CSettingsSection(settingsKey()).writeInt(QString::fromLatin1(TitleValue), mode);
}

QSize CDLODoc::buttonSize() const
{
    return CSettingsSection(settingsKey()).readSize(QString::fromLatin1(SizeValue), QSize(75, 23));
}

bool CDLODoc::setButtonSize(QSize size)
{
    CSettingsSection section(settingsKey());
    return section.writeSize(QString::fromLatin1(SizeValue), size);
}

QSize CDLODoc::distance() const
{
    return CSettingsSection(settingsKey()).readSize(QString::fromLatin1(DistanceValue), QSize(1, 1));
}

int CDLODoc::count() const
{
    return isStation() ? m_stations.count() : m_lines.count();
}

const CPortStatus *CDLODoc::record(int index) const
{
    if (index < 0 || index > 0xFFFF)
        return nullptr;
    if (isStation())
        return m_stations.record(quint16(index));
    return m_lines.record(quint16(index));
}

QString CDLODoc::title(int index) const
{
    const CPortStatus *r = record(index);
    return r ? title(titleMode(), *r) : QString();
}

QString CDLODoc::title(int mode, const CPortStatus &record)
{
    const MessageCatalogue catalogue;
    const int port = record.index + 1;
    const auto *station = record.kind == PORT_KIND_EXT ? static_cast<const CExtStatus *>(&record) : nullptr;
    QString text;
    switch (mode) {
    case TitleFullName:
        if (station && !station->fullName.isEmpty())
            return station->fullName;
        [[fallthrough]];
    case TitleName:
        if (station && !station->name.isEmpty())
            return station->name;
        if (!station && mode != TitleNumber)
            // A CO line has no names: its buttons carry the line number.
            return catalogue.text(QStringLiteral("#:co_title_DLO")) + QString::asprintf("%02d", port);
        [[fallthrough]];
    case TitleNumber:
        text = record.numberText();
        if (!text.isEmpty())
            return text;
        [[fallthrough]];
    case TitlePortNumber:
        return catalogue.text(QStringLiteral("#:port_title_DLO")) + QString::asprintf("%03d", port);
    case TitleCoNumber:
        return catalogue.text(QStringLiteral("#:co_title_DLO")) + QString::asprintf("%02d", port);
    default:
        return QStringLiteral("....");
    }
}
