#pragma once

#include <QString>
#include <QtGlobal>

#include <span>

// The keys of the virtual key telephone: the twelve dial keys and eleven
// function keys of the dial-pad pane and the 24 flexible keys, each with its
// label, the key code it sends and the lamp it shows (0 for none).
class KeyTelephoneKeys
{
public:
    enum class Group { Dial, Function, Flexible };
    enum class MouseAction { Press, Release, DoubleClick };

    struct Key
    {
        const char *label; // a catalogue key where it starts with "#:"
        quint8 code;
        int lamp;
    };

    static constexpr int FlexibleKeyCount = 24;
    // Lamps 1 to 24 belong to the flexible keys, 25 to 33 to function keys.
    static constexpr int FirstFunctionLamp = 25;
    static constexpr int LastFunctionLamp = 33;

    // In the order 1 to 9, 0, *, #.
    static std::span<const Key> dialKeys();
    // In the order of the pane, row by row: redial, transfer, speed, conference,
    // call back, mute, do not disturb, flash, intercom, monitor, hold.
    static std::span<const Key> functionKeys();
    // Key n of 1 to 24: "Btn n", code 0x1F + n, lamp n.
    static Key flexibleKey(int n);
    static QString flexibleLabel(int n);

    // The function key that shows a lamp, or -1.
    static int functionKeyOfLamp(int lamp);
    // Whether a key of the group sends its code on this mouse action: a dial
    // key on the release over it, the others on the press and on each double click.
    static bool sendsOn(Group group, MouseAction action);
};
