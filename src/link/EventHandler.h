#pragma once

#include <QByteArray>

// An event handler takes the message code, the payload and the offset of the
// event, and returns how many bytes the event occupies, or kNotMine when the
// code is not its own or the payload is too short to read the event's length.
constexpr quint16 kNotMine = 0xFFFF;

class EventHandler
{
public:
    virtual ~EventHandler();
    virtual quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) = 0;
};
