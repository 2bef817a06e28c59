#include "StatusLamp.h"

#include "callstate/PortStatus.h"

namespace {

struct Pattern
{
    int period;
    quint32 mask;
};

constexpr Pattern Patterns[StatusLamp::PatternCount] = {
    {0, 0x00000000u},    {0, 0xFFFFFFFFu},    {1000, 0xAAAAAAAAu}, {500, 0xAAAAAAAAu}, {250, 0xE8E8E8E8u},
    {125, 0xAAAAAAAAu},  {125, 0xA800A800u},  {62, 0xAAAAAAAAu},   {62, 0xA800A800u},  {2000, 0xAAAAAAAAu},
    {250, 0xAAAAAAAAu},  {250, 0xA800A800u},  {250, 0xD8D8D8D8u},  {62, 0xE8E8E8E8u},  {62, 0xD8D8D8D8u},
};

constexpr LampColours Shallow[StatusLamp::ColourCount] = {
    {0xC0C0C0, 0xFFFFFF, 0x808080}, {0x808080, 0xFFFFFF, 0x000000}, {0xFF0000, 0xFF00FF, 0x800000},
    {0x00FF00, 0xFFFF00, 0x008000}, {0x0000FF, 0x00FFFF, 0x000080},
};
constexpr LampColours Deep[StatusLamp::ColourCount] = {
    {0xC0C0C0, 0xFFFFFF, 0x808080}, {0x808080, 0xE0E0E0, 0x404040}, {0xFF8080, 0xFFC0C0, 0xC04040},
    {0x80E080, 0xC0FFC0, 0x408040}, {0x8080FF, 0xC0C0FF, 0x4040C0},
};

} // namespace

namespace StatusLamp {

std::optional<LampState> forStatus(quint8 status)
{
    using namespace Status;
    switch (status) {
    case ST_INVALID:
        return LampState{Dark, 1, Grey};
    case ST_BUSY:
    case STEXT_ICM:
    case STEXT_COL:
    case STEXT_PGM:
        return LampState{Red, 1, Grey};
    case ST_HOLD:
        return LampState{Red, 10, Grey};
    case ST_RING:
        return LampState{Blue, 3, Grey};
    case STEXT_IDLE:
    case STTRK_IDLE:
        return LampState{Green, 1, Grey};
    case STEXT_IDLE_WITH_DND:
    case STTRK_IDLE_WITH_DISABLE:
        return LampState{Dark, 3, Green};
    case STEXT_IDLE_WITH_RING:
        return LampState{Blue, 3, Green};
    case STTRK_HOLD_RECALL:
        return LampState{Blue, 10, Grey};
    case STTRK_HOLD_ATDRECALL:
        return LampState{Blue, 5, Grey};
    default:
        return std::nullopt;
    }
}

int period(int pattern)
{
    return pattern >= 0 && pattern < PatternCount ? Patterns[pattern].period : 0;
}

quint32 mask(int pattern)
{
    return pattern >= 0 && pattern < PatternCount ? Patterns[pattern].mask : 0xFFFFFFFFu;
}

bool lit(int pattern, quint32 blinkRegister)
{
    if (pattern == 0)
        return false;
    if (pattern == 1)
        return true;
    return (mask(pattern) & blinkRegister) != 0;
}

quint32 nextRegister(quint32 blinkRegister)
{
    blinkRegister >>= 1;
    return blinkRegister == 0 ? RegisterStart : blinkRegister;
}

LampColours colours(int index, bool deep)
{
    if (index < 0 || index >= ColourCount)
        index = Grey;
    return deep ? Deep[index] : Shallow[index];
}

LampColours ownStationFrame(bool deep)
{
    return deep ? LampColours{0x8080FF, 0xC0C0FF, 0x4040C0} : LampColours{0x0000FF, 0x00FFFF, 0x000080};
}

} // namespace StatusLamp
