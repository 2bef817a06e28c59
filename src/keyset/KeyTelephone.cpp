#include "KeyTelephone.h"

#include "keyset/KeyLamp.h"
#include "link/CLinkRequest.h"

KeyTelephone::KeyTelephone(CLinkRequest &request, TimerHost &timers, QObject *parent)
    : QObject(parent)
    , m_request(request)
    , m_display(timers)
{
}

KeyTelephone::~KeyTelephone() = default;

void KeyTelephone::displayCommand(quint8 cmd, quint8 d1, quint8 d2)
{
    switch (cmd & 0xD0) {
    case 0x00:
        singleLamps(cmd, d1, d2);
        break;
    case 0x40:
        switch (cmd) {
        case 0x41:
            m_display.displayCommand(cmd, d1, d2);
            break;
        case 0x42:
            m_display.timerControl(d1);
            break;
        case 0x4E:
            bulkLamps(d1, d2);
            break;
        case 0x4F:
            m_display.displayCharacter(d1);
            m_display.displayCharacter(d2);
            break;
        default:
            break;
        }
        break;
    case 0x50:
        switch (cmd) {
        case 0x50:
        case 0x51:
        case 0x53:
        case 0x54:
        case 0x55:
            m_display.displayCommand(cmd, d1, d2);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
}

void KeyTelephone::singleLamps(quint8 cmd, quint8 d1, quint8 d2)
{
    const int colour = (cmd & 0x20) ? KeyLamp::Green : KeyLamp::Red;
    const int base = (cmd & 0x1F) * 4;
    const int nibbles[4] = {d2 & 0xF, d2 >> 4, d1 & 0xF, d1 >> 4};
    for (int i = 0; i < 4; ++i) {
        if (nibbles[i] != 0xF)
            m_lamps.set(base + i + 1, colour, nibbles[i]);
    }
}

void KeyTelephone::bulkLamps(quint8 d1, quint8 d2)
{
    const int colour = (d1 & 0x80) ? KeyLamp::Green : KeyLamp::Red;
    const int kind = (d1 >> 4) & 0x7;
    if (kind != 0) {
        if (kind == 1 && (d2 & 0xF) != 0xF)
            m_lamps.set(quint8((d1 << 4) | (d2 >> 4)) + 1, colour, d2 & 0xF);
        return;
    }
    for (int i = 0; i < 8; ++i)
        m_lamps.set((d1 & 0xF) * 8 + i + 1, colour, (d2 >> i) & 1 ? KeyLamp::PatternOnToOff : KeyLamp::PatternOff);
}

void KeyTelephone::ownStationKnown()
{
    m_lamps.clear();
}

void KeyTelephone::logOffReset()
{
    m_display.logOffReset();
}

bool KeyTelephone::pressKey(quint8 code)
{
    return m_request.MY_SINGLE_PKTU_EVENT(code);
}

bool KeyTelephone::sendKeyString(const QString &keys)
{
    return m_request.keySequence(keys);
}
