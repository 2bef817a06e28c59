#pragma once

#include <QtGlobal>

// The lamp of one lamp button: colour, alternate colour, blink pattern and the
// 32-bit blink register. The owner runs a timer of period() and calls tick();
// the lamp shows its colour while the register's bit is set in the pattern's
// mask and the alternate colour otherwise.
class KeyLamp
{
public:
    enum Colour { Grey = 0, Dark = 1, Red = 2, Green = 3, Blue = 4 };
    // Pattern 0 shows the alternate colour, 1 the colour, steadily.
    static constexpr int PatternOff = 0;
    static constexpr int PatternOn = 1;
    static constexpr int LastBlinkPattern = 14;
    // Key-telephone lamp commands only: 15 keeps the pattern; 16 turns a lamp
    // that is steadily on off and leaves any other as it is.
    static constexpr int PatternKeep = 15;
    static constexpr int PatternOnToOff = 16;

    // Tick period in ms of a pattern, 0 for a steady one or an unknown one.
    static int periodOf(int pattern);
    static quint32 maskOf(int pattern);

    // Stores colour, alternate and pattern and restarts the blink register.
    void set(int colour, int pattern, int alternate);
    // A lamp command of the key telephone: the alternate colour becomes grey.
    void applyKeyCommand(int colour, int pattern);
    void tick();

    int colour() const { return m_colour; }
    int alternate() const { return m_alternate; }
    int pattern() const { return m_pattern; }
    quint32 blinkRegister() const { return m_register; }
    int period() const { return periodOf(m_pattern); }
    bool isLit() const;
    int shownColour() const { return isLit() ? m_colour : m_alternate; }

private:
    static constexpr quint32 RegisterStart = 0x80000000u;

    int m_colour = Grey;
    int m_alternate = Grey;
    int m_pattern = PatternOff;
    quint32 m_register = RegisterStart;
};
