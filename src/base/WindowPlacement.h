#pragma once

#include <QPoint>
#include <QSize>

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
