#include "KeyTelephoneKeys.h"

#include <array>

namespace {

constexpr std::array<KeyTelephoneKeys::Key, 12> kDial{{
    {"1", 0x90, 0},
    {"2", 0x91, 0},
    {"3", 0x92, 0},
    {"4", 0x93, 0},
    {"5", 0x94, 0},
    {"6", 0x95, 0},
    {"7", 0x96, 0},
    {"8", 0x97, 0},
    {"9", 0x98, 0},
    {"0", 0x99, 0},
    {"*", 0x9A, 0},
    {"#", 0x9B, 0},
}};

// The codes are those of the key-string letters R, T, S, O, K, U, N, F, I, M, H.
constexpr std::array<KeyTelephoneKeys::Key, 11> kFunction{{
    {"#:redialK", 0x62, 25},
    {"#:transK", 0x63, 26},
    {"#:speedK", 0x64, 0},
    {"#:confK", 0x65, 27},
    {"#:callbkK", 0x66, 28},
    {"#:muteK", 0x67, 29},
    {"#:dndK", 0x68, 30},
    {"#:flashK", 0x69, 0},
    {"#:icmK", 0x6A, 31},
    {"#:monK", 0x6B, 32},
    {"#:holdK", 0x6C, 33},
}};

} // namespace

std::span<const KeyTelephoneKeys::Key> KeyTelephoneKeys::dialKeys()
{
    return kDial;
}

std::span<const KeyTelephoneKeys::Key> KeyTelephoneKeys::functionKeys()
{
    return kFunction;
}

KeyTelephoneKeys::Key KeyTelephoneKeys::flexibleKey(int n)
{
    return Key{"", quint8(0x1F + n), n};
}

QString KeyTelephoneKeys::flexibleLabel(int n)
{
    return QStringLiteral("Btn %1").arg(n);
}

int KeyTelephoneKeys::functionKeyOfLamp(int lamp)
{
    if (lamp < FirstFunctionLamp || lamp > LastFunctionLamp)
        return -1;
    for (size_t i = 0; i < kFunction.size(); ++i) {
        if (kFunction[i].lamp == lamp)
            return int(i);
    }
    return -1;
}

bool KeyTelephoneKeys::sendsOn(Group group, MouseAction action)
{
    if (group == Group::Dial)
        return action == MouseAction::Release;
    return action == MouseAction::Press || action == MouseAction::DoubleClick;
}
