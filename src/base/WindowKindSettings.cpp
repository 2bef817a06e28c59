#include "WindowKindSettings.h"

#include <array>

namespace {

const char *sectionOf(CWindowKindSettings::Kind kind)
{
    using K = CWindowKindSettings::Kind;
    switch (kind) {
    case K::MainFrame:
        return "MainFrame";
    case K::DirectoryFrame:
        return "DB Frame";
    case K::StatusButtonFrame:
        return "DLO Frame";
    case K::SpeedBinFrame:
        return "PhoneBook Frame";
    case K::PhoneNumberFrame:
        return "PhoneNo Frame";
    case K::KeyTelephoneFrame:
        return "PKTU Frame";
    case K::QueueFrame:
        return "Queue Frame";
    case K::TraceFrame:
        return "Trace Frame";
    case K::StatusButton:
        return "DLOButton";
    case K::DialButton:
        return "PktuDialButton";
    case K::FixedButton:
        return "PktuFixedButton";
    case K::FlexibleButton:
        return "PktuFlexibleButton";
    }
    return "";
}

const QString TitleFont = QStringLiteral("Title");
const QString ActiveWindow = QStringLiteral("Active Window");
const QString LastActiveWindow = QStringLiteral("LastActiveWindow");

} // namespace

CWindowKindSettings::CWindowKindSettings(Kind kind, QString section)
    : m_kind(kind)
    , m_section(std::move(section))
{
}

CWindowKindSettings &CWindowKindSettings::forKind(Kind kind)
{
    static std::array<CWindowKindSettings *, KindCount> all = [] {
        std::array<CWindowKindSettings *, KindCount> a{};
        for (int i = 0; i < KindCount; ++i) {
            const auto k = static_cast<Kind>(i);
            a[i] = new CWindowKindSettings(k, QString::fromLatin1(sectionOf(k)));
        }
        return a;
    }();
    return *all[static_cast<int>(kind)];
}

CWindowKindSettings &CWindowKindSettings::mainFrame() { return forKind(Kind::MainFrame); }
CWindowKindSettings &CWindowKindSettings::directoryFrame() { return forKind(Kind::DirectoryFrame); }
CWindowKindSettings &CWindowKindSettings::statusButtonFrame() { return forKind(Kind::StatusButtonFrame); }
CWindowKindSettings &CWindowKindSettings::speedBinFrame() { return forKind(Kind::SpeedBinFrame); }
CWindowKindSettings &CWindowKindSettings::phoneNumberFrame() { return forKind(Kind::PhoneNumberFrame); }
CWindowKindSettings &CWindowKindSettings::keyTelephoneFrame() { return forKind(Kind::KeyTelephoneFrame); }
CWindowKindSettings &CWindowKindSettings::queueFrame() { return forKind(Kind::QueueFrame); }
CWindowKindSettings &CWindowKindSettings::traceFrame() { return forKind(Kind::TraceFrame); }
CWindowKindSettings &CWindowKindSettings::statusButton() { return forKind(Kind::StatusButton); }
CWindowKindSettings &CWindowKindSettings::dialButton() { return forKind(Kind::DialButton); }
CWindowKindSettings &CWindowKindSettings::fixedButton() { return forKind(Kind::FixedButton); }
CWindowKindSettings &CWindowKindSettings::flexibleButton() { return forKind(Kind::FlexibleButton); }

QString CWindowKindSettings::sectionName(Kind kind)
{
    return QString::fromLatin1(sectionOf(kind));
}

QString CWindowKindSettings::placementSection(Kind kind, const QString &part)
{
    return sectionName(kind) + QStringLiteral(" - ") + part;
}

QString CWindowKindSettings::placementSection(const CWindowKindSettings &kind, const QString &part)
{
    return kind.m_section + QStringLiteral(" - ") + part;
}

QString CWindowKindSettings::placementSection(const QString &part) const
{
    return placementSection(*this, part);
}

const LogFont &CWindowKindSettings::titleFont()
{
    if (!m_font)
        m_font = section().readFont(TitleFont);
    return *m_font;
}

void CWindowKindSettings::dropFont()
{
    m_font.reset();
    ++m_fontGeneration;
}

bool CWindowKindSettings::writeTitleFont(const LogFont &font)
{
    const bool ok = section().writeFont(TitleFont, font);
    dropFont();
    return ok;
}

bool CWindowKindSettings::windowOpened()
{
    return ++m_openCount == 1;
}

bool CWindowKindSettings::windowClosed()
{
    if (m_openCount <= 0) {
        m_openCount = 0;
        return false;
    }
    return --m_openCount == 0;
}

bool CWindowKindSettings::activeWindowFlag() const
{
    return section().readFlag(ActiveWindow, true);
}

bool CWindowKindSettings::writeActiveWindow(int count)
{
    return section().writeInt(ActiveWindow, count);
}

int CWindowKindSettings::lastActiveWindow() const
{
    return section().readInt(LastActiveWindow, LastActiveWindowDefault);
}

bool CWindowKindSettings::writeLastActiveWindow(int mask)
{
    return section().writeInt(LastActiveWindow, mask);
}

void CWindowKindSettings::resetAllForTests()
{
    for (int i = 0; i < KindCount; ++i) {
        CWindowKindSettings &k = forKind(static_cast<Kind>(i));
        k.m_openCount = 0;
        k.dropFont();
    }
}
