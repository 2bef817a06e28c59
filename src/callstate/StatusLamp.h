#pragma once

#include <QtGlobal>

#include <optional>

// What a status button's lamp shows: a colour, a blink pattern and the
// alternate colour shown in the pattern's dark phases.
struct LampState
{
    int colour = 0;
    int pattern = 1;
    int alternate = 0;
    bool operator==(const LampState &) const = default;
};

// The three colours a lamp is drawn in, as 0xRRGGBB.
struct LampColours
{
    quint32 face = 0;
    quint32 highlight = 0;
    quint32 shadow = 0;
};

// Lamp colours, blink patterns and the status-to-lamp table of the status buttons.
namespace StatusLamp {
constexpr int Grey = 0;
constexpr int Dark = 1;
constexpr int Red = 2;
constexpr int Green = 3;
constexpr int Blue = 4;
constexpr int ColourCount = 5;
constexpr int PatternCount = 15;
// The blink register's value after a lamp is set and after it runs out.
constexpr quint32 RegisterStart = 0x80000000u;

// The lamp of a status code; none for a code that leaves the lamp as it is.
std::optional<LampState> forStatus(quint8 status);
// Tick period in ms of a blink pattern; 0 for the steady ones and unknown patterns.
int period(int pattern);
quint32 mask(int pattern);
// True while the pattern shows the colour, false while it shows the alternate.
bool lit(int pattern, quint32 blinkRegister);
// One blink tick: the register shifts right and starts again when it runs out.
quint32 nextRegister(quint32 blinkRegister);
// deep: the display has more than 12 bits per pixel. Unknown indexes give grey.
LampColours colours(int index, bool deep);
// The own-station frame: inner highlight, inner shadow and outer edge in .face.
LampColours ownStationFrame(bool deep);
} // namespace StatusLamp
