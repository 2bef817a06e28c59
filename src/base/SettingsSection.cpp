#include "SettingsSection.h"

#include <QSettings>

namespace {

QString joined(const QString &name, const char *suffix)
{
    return name + QLatin1String(suffix);
}

// One batch of writes to a section: each single write is refused when the
// store is not writable; the batch fails if any write failed or the final
// sync did not reach the store.
class SectionWriter
{
public:
    explicit SectionWriter(const QString &section)
        : m_settings(QString::fromLatin1(CSettingsSection::Organisation),
                     QString::fromLatin1(CSettingsSection::Application))
    {
        m_settings.beginGroup(section);
    }

    void set(const QString &name, const QVariant &value)
    {
        if (!m_settings.isWritable()) {
            m_ok = false;
            return;
        }
        m_settings.setValue(name, value);
    }

    bool finish()
    {
        m_settings.endGroup();
        m_settings.sync();
        if (m_settings.status() != QSettings::NoError || !m_settings.isWritable())
            m_ok = false;
        return m_ok;
    }

private:
    QSettings m_settings;
    bool m_ok = true;
};

class SectionReader
{
public:
    explicit SectionReader(const QString &section)
        : m_settings(QString::fromLatin1(CSettingsSection::Organisation),
                     QString::fromLatin1(CSettingsSection::Application))
    {
        m_settings.beginGroup(section);
    }

    int readInt(const QString &name, int def) const
    {
        const QVariant v = m_settings.value(name);
        if (!v.isValid())
            return def;
        bool ok = false;
        const int value = v.toInt(&ok);
        return ok ? value : def;
    }

    QString readString(const QString &name, const QString &def) const
    {
        const QVariant v = m_settings.value(name);
        return v.isValid() ? v.toString() : def;
    }

    bool contains(const QString &name) const { return m_settings.contains(name); }

private:
    QSettings m_settings;
};

} // namespace

CSettingsSection::CSettingsSection(const QString &section)
    : m_section(section)
{
}

int CSettingsSection::readInt(const QString &name, int def) const
{
    return SectionReader(m_section).readInt(name, def);
}

bool CSettingsSection::writeInt(const QString &name, int value)
{
    SectionWriter w(m_section);
    w.set(name, value);
    return w.finish();
}

QString CSettingsSection::readString(const QString &name, const QString &def) const
{
    return SectionReader(m_section).readString(name, def);
}

bool CSettingsSection::writeString(const QString &name, const QString &value)
{
    SectionWriter w(m_section);
    w.set(name, value);
    return w.finish();
}

bool CSettingsSection::readFlag(const QString &name, bool def) const
{
    return readInt(name, def ? 1 : 0) != 0;
}

bool CSettingsSection::contains(const QString &name) const
{
    return SectionReader(m_section).contains(name);
}

WinRect CSettingsSection::readRect(const QString &name, const WinRect &def) const
{
    const SectionReader r(m_section);
    WinRect rect;
    rect.left = r.readInt(joined(name, ".left"), def.left);
    rect.right = r.readInt(joined(name, ".right"), def.right);
    rect.top = r.readInt(joined(name, ".top"), def.top);
    rect.bottom = r.readInt(joined(name, ".bottom"), def.bottom);
    return rect;
}

bool CSettingsSection::writeRect(const QString &name, const WinRect &rect)
{
    SectionWriter w(m_section);
    w.set(joined(name, ".left"), rect.left);
    w.set(joined(name, ".right"), rect.right);
    w.set(joined(name, ".top"), rect.top);
    w.set(joined(name, ".bottom"), rect.bottom);
    return w.finish();
}

QPoint CSettingsSection::readPoint(const QString &name, const QPoint &def) const
{
    const SectionReader r(m_section);
    return QPoint(r.readInt(joined(name, ".x"), def.x()), r.readInt(joined(name, ".y"), def.y()));
}

bool CSettingsSection::writePoint(const QString &name, const QPoint &point)
{
    SectionWriter w(m_section);
    w.set(joined(name, ".x"), point.x());
    w.set(joined(name, ".y"), point.y());
    return w.finish();
}

QSize CSettingsSection::readSize(const QString &name, const QSize &def) const
{
    const SectionReader r(m_section);
    return QSize(r.readInt(joined(name, ".width"), def.width()),
                 r.readInt(joined(name, ".height"), def.height()));
}

bool CSettingsSection::writeSize(const QString &name, const QSize &size)
{
    SectionWriter w(m_section);
    w.set(joined(name, ".width"), size.width());
    w.set(joined(name, ".height"), size.height());
    return w.finish();
}

LogFont CSettingsSection::readFont(const QString &name) const
{
    const SectionReader r(m_section);
    const LogFont d;
    LogFont f;
    f.height = r.readInt(joined(name, ".Height"), d.height);
    f.width = r.readInt(joined(name, ".Width"), d.width);
    f.escapement = r.readInt(joined(name, ".Escapement"), d.escapement);
    f.orientation = r.readInt(joined(name, ".Orientation"), d.orientation);
    f.weight = r.readInt(joined(name, ".Weight"), d.weight);
    f.italic = r.readInt(joined(name, ".Italic"), d.italic);
    f.underline = r.readInt(joined(name, ".Underline"), d.underline);
    f.strikeOut = r.readInt(joined(name, ".StrikeOut"), d.strikeOut);
    f.charSet = r.readInt(joined(name, ".CharSet"), d.charSet);
    f.outPrecision = r.readInt(joined(name, ".OutPrecision"), d.outPrecision);
    f.clipPrecision = r.readInt(joined(name, ".ClipPrecision"), d.clipPrecision);
    f.quality = r.readInt(joined(name, ".Quality"), d.quality);
    f.pitchAndFamily = r.readInt(joined(name, ".PitchAndFamily"), d.pitchAndFamily);
    f.faceName = LogFont::cutFaceName(r.readString(joined(name, ".FaceName"), d.faceName));
    return f;
}

bool CSettingsSection::writeFont(const QString &name, const LogFont &font)
{
    SectionWriter w(m_section);
    w.set(joined(name, ".Height"), font.height);
    w.set(joined(name, ".Width"), font.width);
    w.set(joined(name, ".Escapement"), font.escapement);
    w.set(joined(name, ".Orientation"), font.orientation);
    w.set(joined(name, ".Weight"), font.weight);
    w.set(joined(name, ".Italic"), font.italic);
    w.set(joined(name, ".Underline"), font.underline);
    w.set(joined(name, ".StrikeOut"), font.strikeOut);
    w.set(joined(name, ".CharSet"), font.charSet);
    w.set(joined(name, ".OutPrecision"), font.outPrecision);
    w.set(joined(name, ".ClipPrecision"), font.clipPrecision);
    w.set(joined(name, ".Quality"), font.quality);
    w.set(joined(name, ".PitchAndFamily"), font.pitchAndFamily);
    w.set(joined(name, ".FaceName"), LogFont::cutFaceName(font.faceName));
    return w.finish();
}

WindowPlacement CSettingsSection::readPlacement(const WindowPlacement &def) const
{
    WindowPlacement p;
    p.flags = readInt(QStringLiteral("flags"), def.flags);
    p.showCmd = readInt(QStringLiteral("showCmd"), def.showCmd);
    p.ptMin = readPoint(QStringLiteral("ptMinPosition"), def.ptMin);
    p.ptMax = readPoint(QStringLiteral("ptMaxPosition"), def.ptMax);
    p.rcNormal = readRect(QStringLiteral("rcNormalPosition"), def.rcNormal);
    return p;
}

bool CSettingsSection::writePlacement(const WindowPlacement &placement)
{
    bool ok = writeInt(QStringLiteral("flags"), placement.flags);
    ok = writeInt(QStringLiteral("showCmd"), placement.showCmd) && ok;
    ok = writePoint(QStringLiteral("ptMinPosition"), placement.ptMin) && ok;
    ok = writePoint(QStringLiteral("ptMaxPosition"), placement.ptMax) && ok;
    ok = writeRect(QStringLiteral("rcNormalPosition"), placement.rcNormal) && ok;
    return ok;
}
