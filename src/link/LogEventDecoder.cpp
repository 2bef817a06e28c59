#include "LogEventDecoder.h"

#include "link/EventBytes.h"
#include "link/KeyTelephoneSink.h"
#include "link/SpeedBinRecord.h"
#include "base/Trace.h"

#include <QLocale>

using namespace EventBytes;

EventHandler::~EventHandler() = default;
LogEventSink::~LogEventSink() = default;
KeyTelephoneSink::~KeyTelephoneSink() = default;

quint16 LogEventDecoder::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    quint16 size = 0;
    switch (code) {
    case 0x0001:
    case 0x0003:
    case 0x0004:
    case 0x0006:
    case 0x0007:
    case 0x0009:
    case 0x000E:
        size = 2;
        break;
    case 0x0002:
        size = 3;
        break;
    case 0x0008:
    case 0x000C:
        size = 6;
        break;
    default:
        return kNotMine;
    }
    // An event the payload does not hold whole is passed over and counts two bytes.
    if (int(payload.size()) - offset < size)
        return 2;
    LogEventSink *sink = m_sink;
    switch (code) {
    case 0x0001:
        ZTRACE(2, "LOG_ON_ACK");
        if (sink)
            sink->onLogOnAck();
        break;
    case 0x0002: {
        const quint8 reason = u8(payload, offset + 2);
        ZTRACE(2, "LOG_ON_NAK");
        ZTRACE(2, "LOG_ON_NAK reason:%02X", reason);
        if (sink)
            sink->onLogOnNak(reason);
        break;
    }
    case 0x0003:
        ZTRACE(2, "LOG_OFF_ACK");
        if (sink)
            sink->onLogOffAck();
        break;
    case 0x0004:
        ZTRACE(2, "LOG_OFF_NAK");
        if (sink)
            sink->onLogOffNak();
        break;
    case 0x0006:
        ZTRACE(2, "LOG_ON_STATE");
        if (sink)
            sink->onLogOnState();
        break;
    case 0x0007:
        ZTRACE(2, "LOG_OFF_STATE");
        if (sink)
            sink->onLogOffState();
        break;
    case 0x0008: {
        const quint32 version = u32(payload, offset + 2);
        if (sink)
            sink->onVersion(version);
        ZTRACE(2, "LOG_Version:%08X", version);
        break;
    }
    case 0x0009:
        ZTRACE(2, "LOG_PacketMissRep");
        if (sink)
            sink->onPacketMissReport();
        break;
    case 0x000C: {
        const quint32 value = u32(payload, offset + 2);
        ZTRACE(2, "LOG_LifeTime:%08X", value);
        if (sink)
            sink->onLifeTime(value);
        break;
    }
    case 0x000E:
        ZTRACE(2, "PING_RECEIVE_FROM_Varo");
        if (sink)
            sink->onPing();
        break;
    }
    return size;
}
