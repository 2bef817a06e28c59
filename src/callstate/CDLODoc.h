#pragma once

#include <QSize>
#include <QString>

class CExtStatusList;
class CTrkStatusList;
class CPortStatus;

// One status button window's document: the kind of its ports, its settings
// ("EXTDLO" or "TRKDLO": "Button Title", "Button Size", "Button Distance")
// and the button titles.
class CDLODoc
{
public:
    static constexpr int TitlePortNumber = 0;
    static constexpr int TitleNumber = 1;
    static constexpr int TitleCoNumber = 2;
    static constexpr int TitleName = 3;
    static constexpr int TitleFullName = 4;
    static constexpr int MinWidth = 40;
    static constexpr int MaxWidth = 200;
    static constexpr int MinHeight = 10;
    static constexpr int MaxHeight = 50;

    CDLODoc(quint32 kind, const CExtStatusList &stations, const CTrkStatusList &lines);

    quint32 kind() const { return m_kind; }
    bool isStation() const;
    QString settingsKey() const;
    static QString settingsKey(quint32 kind);

    int titleMode() const;
    bool setTitleMode(int mode);
    QSize buttonSize() const;
    bool setButtonSize(QSize size);
    QSize distance() const;

    int count() const;
    const CPortStatus *record(int index) const;
    // The button's text in the window's title mode.
    QString title(int index) const;
    // The text of one title mode, with its fallbacks.
    static QString title(int mode, const CPortStatus &record);

private:
    quint32 m_kind;
    const CExtStatusList &m_stations;
    const CTrkStatusList &m_lines;
};
