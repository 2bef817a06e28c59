#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>

// The main window's table of open child windows, one slot per kind. A window
// enters itself when it opens and leaves when it closes; a window that is
// destroyed without leaving frees its slot all the same (the slots are
// guarded pointers). The table also keeps the date-format and time-format
// states learned from the display of the key telephone.
class ChildWindowTable
{
public:
    enum Slot {
        StationStatus = 0,
        CoStatus = 1,
        KeyTelephone = 2,
        Queue = 3,
        StationDirectory = 4,
        CoDirectory = 5,
        SpeedBinDirectory = 6,
        PhoneNumberDirectory = 7,
        SlotCount = 9,
    };

    // Format states: 0 unknown, 1 or 2.
    static constexpr int FormatUnknown = 0;

    // The title key is looked up again whenever the titles are renewed.
    void enter(int slot, QWidget *window, const QString &titleKey);
    void leave(int slot);
    QWidget *window(int slot) const;
    bool isOpen(int slot) const { return window(slot) != nullptr; }
    QString titleKey(int slot) const;

    // Looks the title of every open child window up again.
    void retitleAll() const;

    int dateFormatState() const { return m_dateFormat; }
    int timeFormatState() const { return m_timeFormat; }
    void setDateFormatState(int state) { m_dateFormat = state; }
    void setTimeFormatState(int state) { m_timeFormat = state; }

private:
    struct Entry
    {
        QPointer<QWidget> window;
        QString titleKey;
    };
    static bool valid(int slot) { return slot >= 0 && slot < SlotCount; }

    std::array<Entry, SlotCount> m_slots;
    int m_dateFormat = FormatUnknown;
    int m_timeFormat = FormatUnknown;
};
