#pragma once

#include "base/LogFont.h"
#include "base/WindowPlacement.h"

#include <QString>

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
