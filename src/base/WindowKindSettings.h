#pragma once

#include "SettingsSection.h"

#include <QString>

#include <optional>

// The settings of one kind of window: its section, the "Title"
// font shared by all windows of the kind, and how many of them are open.
// One static object per kind; use from the user-interface thread.
class CWindowKindSettings
{
public:
    enum class Kind {
        MainFrame,          // "MainFrame"
        DirectoryFrame,     // "DB Frame" (station / CO directory)
        StatusButtonFrame,  // "DLO Frame" (station / CO status buttons)
        SpeedBinFrame,      // "PhoneBook Frame"
        PhoneNumberFrame,   // "PhoneNo Frame"
        KeyTelephoneFrame,  // "PKTU Frame"
        QueueFrame,         // "Queue Frame"
        TraceFrame,         // "Trace Frame"
        StatusButton,       // "DLOButton": buttons of the status button windows
        DialButton,         // "PktuDialButton": dial-pad buttons
        FixedButton,        // "PktuFixedButton": fixed keys
        FlexibleButton,     // "PktuFlexibleButton": programmable keys
    };
    static constexpr int KindCount = 12;

    // Bits of "LastActiveWindow".
    static constexpr int StationWindowBit = 1;
    static constexpr int CoWindowBit = 2;
    static constexpr int LastActiveWindowDefault = 0xFFFF;

    static CWindowKindSettings &forKind(Kind kind);
    static CWindowKindSettings &mainFrame();
    static CWindowKindSettings &directoryFrame();
    static CWindowKindSettings &statusButtonFrame();
    static CWindowKindSettings &speedBinFrame();
    static CWindowKindSettings &phoneNumberFrame();
    static CWindowKindSettings &keyTelephoneFrame();
    static CWindowKindSettings &queueFrame();
    static CWindowKindSettings &traceFrame();
    static CWindowKindSettings &statusButton();
    static CWindowKindSettings &dialButton();
    static CWindowKindSettings &fixedButton();
    static CWindowKindSettings &flexibleButton();

    // The section name of a kind, and "<section> - <part>" (part "Station" or
    // "CO") for the own placement of the DB Frame and DLO Frame windows.
    static QString sectionName(Kind kind);
    static QString placementSection(Kind kind, const QString &part);
    static QString placementSection(const CWindowKindSettings &kind, const QString &part);
    QString placementSection(const QString &part) const;

    Kind kind() const { return m_kind; }
    const QString &sectionName() const { return m_section; }
    CSettingsSection section() const { return CSettingsSection(m_section); }

    // The shared "Title" font, read from the store on first use.
    const LogFont &titleFont();
    // Makes the next titleFont() read the store again.
    void dropFont();
    // Writes the font as "Title" and drops the shared font.
    bool writeTitleFont(const LogFont &font);
    // Rises whenever the shared font is dropped (views can cache on it).
    int fontGeneration() const { return m_fontGeneration; }

    // Returns true for the first window of the kind.
    bool windowOpened();
    // Returns true for the last window of the kind (never goes below 0).
    bool windowClosed();
    int openCount() const { return m_openCount; }

    // "Active Window", read as a flag with default 1.
    bool activeWindowFlag() const;
    bool writeActiveWindow(int count);
    // "LastActiveWindow", default 0xFFFF.
    int lastActiveWindow() const;
    bool writeLastActiveWindow(int mask);

    // Open counts 0, shared fonts dropped, for every kind.
    static void resetAllForTests();

private:
    CWindowKindSettings(Kind kind, QString section);
    CWindowKindSettings(const CWindowKindSettings &) = delete;
    CWindowKindSettings &operator=(const CWindowKindSettings &) = delete;

    Kind m_kind;
    QString m_section;
    std::optional<LogFont> m_font;
    int m_fontGeneration = 0;
    int m_openCount = 0;
};
