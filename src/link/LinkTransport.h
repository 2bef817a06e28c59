#pragma once

#include <QByteArray>

// A transport of the link: the serial port or the LAN connection. It hands
// received blocks to CLinkPort::receivedBytes and accepts whole frames.
class LinkTransport
{
public:
    virtual ~LinkTransport();
    virtual bool isOpen() const = 0;
    // One whole frame; false when it cannot be handed over whole.
    virtual bool sendFrame(const QByteArray &frame) = 0;
    // Writer pacing of the serial port; other transports ignore it.
    virtual void setPacing(int pauseMs, int maxWrite) { Q_UNUSED(pauseMs); Q_UNUSED(maxWrite); }
};
