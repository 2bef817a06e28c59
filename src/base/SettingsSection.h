#pragma once

#include <QPoint>
#include <QSize>
#include <QString>


// A rectangle as the settings store keeps it: right and bottom are exclusive
// (width = right - left), unlike QRect::right().
struct WinRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const WinRect &, const WinRect &) = default;
};

// The font composite of a settings section. A default-constructed LogFont holds the read
// defaults of the table ("MS Sans Serif", height -13, weight 400, pitch and family 34).
struct LogFont
{
    static constexpr int MaxFaceNameLength = 31;

    int height = -13;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int charSet = 0;
    int outPrecision = 1;
    int clipPrecision = 2;
    int quality = 1;
    int pitchAndFamily = 34;
    QString faceName = QStringLiteral("MS Sans Serif");

    friend bool operator==(const LogFont &, const LogFont &) = default;

    // Cuts a face name to 31 characters (never inside a surrogate pair).
    static QString cutFaceName(const QString &name);
};

// showCmd values of a window placement.
namespace ShowCmd {
constexpr int Hide = 0;
constexpr int Normal = 1;
constexpr int Minimized = 2;
constexpr int Maximized = 3;
} // namespace ShowCmd

// The window placement composite. rcNormal is the window's normal (restored)
// rectangle; left and right both 0 means "nothing stored".
struct WindowPlacement
{
    int flags = 0;
    int showCmd = ShowCmd::Normal;
    QPoint ptMin{0, 0};
    QPoint ptMax{0, 0};
    WinRect rcNormal;

    friend bool operator==(const WindowPlacement &, const WindowPlacement &) = default;
};

// One section of the per-user settings store, QSettings("Varo PC Applications",
// "Zarto") in native format: the section is a group, a value name a key.
// Every write syncs the store and reports whether it reached it.
class CSettingsSection
{
public:
    static constexpr const char *Organisation = "Varo PC Applications";
    static constexpr const char *Application = "Zarto";

    explicit CSettingsSection(const QString &section);

    const QString &section() const { return m_section; }

    int readInt(const QString &name, int def) const;
    bool writeInt(const QString &name, int value);
    QString readString(const QString &name, const QString &def = {}) const;
    bool writeString(const QString &name, const QString &value);
    // Integer read; non-zero means true.
    bool readFlag(const QString &name, bool def) const;
    bool contains(const QString &name) const;

    // ".left", ".right", ".top", ".bottom" (written in this order).
    WinRect readRect(const QString &name, const WinRect &def) const;
    bool writeRect(const QString &name, const WinRect &rect);
    // ".x", ".y".
    QPoint readPoint(const QString &name, const QPoint &def) const;
    bool writePoint(const QString &name, const QPoint &point);
    // ".width", ".height".
    QSize readSize(const QString &name, const QSize &def) const;
    bool writeSize(const QString &name, const QSize &size);
    // ".Height" ... ".PitchAndFamily" and ".FaceName"; missing values take the
    // LogFont defaults; the face name is cut to 31 characters.
    LogFont readFont(const QString &name) const;
    bool writeFont(const QString &name, const LogFont &font);
    // "flags", "showCmd", "ptMinPosition", "ptMaxPosition", "rcNormalPosition",
    // without a prefix. Missing values take those of def (flags 0, showCmd 1).
    WindowPlacement readPlacement(const WindowPlacement &def = {}) const;
    bool writePlacement(const WindowPlacement &placement);

private:
    QString m_section;
};
