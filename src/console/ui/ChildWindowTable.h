#pragma once

#include "base/WindowKindSettings.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <vector>

// The main window's table of open child windows, one slot per kind. A window
// enters itself when it opens and leaves when it closes; a window that is
// destroyed without leaving frees its slot all the same (the slots are
// guarded pointers).
//
// It also remembers, when the main window closes, which windows were open,
// and reopens them once log-on has completed and all system information has
// arrived. Each kind of window joins that with one registration.
class ChildWindowTable
{
public:
    // How one kind of window is remembered and reopened.
    struct Reopening
    {
        CWindowKindSettings::Kind kind = CWindowKindSettings::Kind::MainFrame;
        // The slot of the kind's window; for a kind of a station and a CO
        // window (status buttons, directories) the station window's. A kind
        // without a slot (several trace windows) counts its windows itself
        // with CWindowKindSettings::windowOpened() and windowClosed().
        int slot = -1;
        // The CO window's slot of a station/CO kind; such a kind also keeps
        // which of the two was open in "LastActiveWindow".
        int coSlot = -1;
        // Its count is written also when the position is logged off (the
        // speed-bin directory); other kinds only while logged on.
        bool rememberedWhenLoggedOff = false;
        // Opens the window of a slot. Empty for a kind that is remembered but
        // reopened in its own way (trace, speed-bin directory).
        std::function<void(int slot)> open;
    };

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


    // The title key is looked up again whenever the titles are renewed.
    void enter(int slot, QWidget *window, const QString &titleKey);
    void leave(int slot);
    QWidget *window(int slot) const;
    bool isOpen(int slot) const { return window(slot) != nullptr; }
    QString titleKey(int slot) const;

    // Looks the title of every open child window up again.
    void retitleAll() const;

    // A later registration of the same kind replaces the earlier one.
    void registerReopening(const Reopening &reopening);
    // When the main window closes: each kind writes its open-window count as
    // "Active Window", a station/CO kind also its "LastActiveWindow" mask.
    void rememberOpenWindows(bool loggedOn) const;
    // After log-on and the download (and once at start-up, where it opens
    // nothing): a kind none of whose windows is open reopens the windows its
    // section remembers. Nothing opens while logged off.
    void reopenWindows(bool loggedOn) const;


private:
    struct Entry
    {
        QPointer<QWidget> window;
        QString titleKey;
    };
    static bool valid(int slot) { return slot >= 0 && slot < SlotCount; }

    int openCount(const Reopening &r) const;

    std::array<Entry, SlotCount> m_slots;
    std::vector<Reopening> m_reopenings;
};
