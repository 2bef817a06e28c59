#include "KeyLamp.h"

#include <array>

namespace {

struct Blink
{
    int period;
    quint32 mask;
};

constexpr std::array<Blink, KeyLamp::LastBlinkPattern + 1> kBlinks{{
    {0, 0x00000000u},
    {0, 0xFFFFFFFFu},
    {1000, 0xAAAAAAAAu},
    {500, 0xAAAAAAAAu},
    {250, 0xE8E8E8E8u},
    {125, 0xAAAAAAAAu},
    {125, 0xA800A800u},
    {62, 0xAAAAAAAAu},
    {62, 0xA800A800u},
    {2000, 0xAAAAAAAAu},
    {250, 0xAAAAAAAAu},
    {250, 0xA800A800u},
    {250, 0xD8D8D8D8u},
    {62, 0xE8E8E8E8u},
    {62, 0xD8D8D8D8u},
}};

bool known(int pattern)
{
    return pattern >= 0 && pattern <= KeyLamp::LastBlinkPattern;
}

} // namespace

int KeyLamp::periodOf(int pattern)
{
    return known(pattern) ? kBlinks[size_t(pattern)].period : 0;
}

quint32 KeyLamp::maskOf(int pattern)
{
    return known(pattern) ? kBlinks[size_t(pattern)].mask : 0;
}

void KeyLamp::set(int colour, int pattern, int alternate)
{
    m_colour = colour;
    m_alternate = alternate;
    m_pattern = pattern;
    m_register = RegisterStart;
}

void KeyLamp::applyKeyCommand(int colour, int pattern)
{
    int next = m_pattern;
    if (pattern == PatternOnToOff) {
        if (m_pattern == PatternOn)
            next = PatternOff;
    } else if (known(pattern)) {
        next = pattern;
    }
    set(colour, next, Grey);
}

void KeyLamp::tick()
{
    m_register >>= 1;
    if (m_register == 0)
        m_register = RegisterStart;
}

bool KeyLamp::isLit() const
{
    return (maskOf(m_pattern) & m_register) != 0;
}
