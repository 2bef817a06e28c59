#pragma once

#include <QtGlobal>

// The key telephone window takes the three bytes of each display command.
class KeyTelephoneSink
{
public:
    virtual ~KeyTelephoneSink();
    virtual void displayCommand(quint8 b1, quint8 b2, quint8 b3) = 0;
};
