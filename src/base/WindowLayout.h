#pragma once

#include "SettingsSection.h"

// The default window rectangles, in the main window's client
// coordinates (left, top, right, bottom; right and bottom exclusive).
struct DefaultLayout
{
    WinRect keyTelephone;
    WinRect stationButtons;
    WinRect queue;
    WinRect coButtons;
    WinRect stationDirectory;
    WinRect coDirectory;
    WinRect speedBinDirectory;
    WinRect phoneNumberDirectory;

    friend bool operator==(const DefaultLayout &, const DefaultLayout &) = default;

    // The table's defaults.
    static DefaultLayout initial();
    // The layout the main window uses (starts as initial(); the log-on command
    // replaces it with recomputeLayout()). User-interface thread only.
    static DefaultLayout &current();
};

// The recomputation made at each log-on command, from the main window's
// client rectangle, in eight steps (integer division
// truncates as in C).
DefaultLayout recomputeLayout(const DefaultLayout &current, const WinRect &client);

// What restoring a stored placement does.
struct RestoreDecision
{
    // False when rcNormalPosition has left and right both 0: the window goes to
    // its default rectangle (and the main window shows itself maximized).
    bool stored = false;
    // The showCmd to apply. When nothing is stored: Maximized (3) for the main
    // window, Normal (1) otherwise.
    int showCmd = ShowCmd::Normal;

    friend bool operator==(const RestoreDecision &, const RestoreDecision &) = default;
};

// Non-main windows, and a minimized (2) main window, come back as normal (1);
// any other showCmd of the main window is kept.
RestoreDecision decideRestore(const WindowPlacement &stored, bool isMainWindow);
