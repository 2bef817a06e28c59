#include "LinkDispatcher.h"

#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"
#include "base/Trace.h"

namespace {
quint16 route(EventHandler *handler, quint16 code, const QByteArray &payload, int offset)
{
    return handler ? handler->handleEvent(code, payload, offset) : kNotMine;
}
} // namespace

void LinkDispatcher::dispatch(const QByteArray &payload)
{
    if (m_payloadObserver)
        m_payloadObserver();
    const int length = int(payload.size());
    if (length == 0)
        return;
    if (m_loggedOn && !m_loggedOn() && payload.at(0) != 0)
        return;

    quint16 code = 0;
    int offset = 0;
    while (offset < length) {
        const quint8 cls = quint8(payload.at(offset));
        if (length - offset >= 2)
            code = quint16((cls << 8) | quint8(payload.at(offset + 1)));
        const quint16 size = routeEvent(cls, code, payload, offset);
        if (size == kNotMine) {
            ZTRACE(2, "Unknown:%02X. or %04X", cls, code);
            return;
        }
        if (cls < 0x82 && Trace::enabled() && Trace::switches().rxAll) {
            const int n = qMin<int>(size, length - offset);
            Trace::instance().write(2, Trace::hexBytes(payload.constData() + offset, n));
        }
        // A handler that claims no bytes would stall the loop; such an event ends the payload.
        if (size == 0)
            return;
        offset += size;
    }
}

quint16 LinkDispatcher::routeEvent(quint8 cls, quint16 code, const QByteArray &payload, int offset)
{
    switch (cls) {
    case 0x00:
        return route(m_routes.log, code, payload, offset);
    case 0x01:
    case 0x06:
    case 0x0A:
        return route(m_routes.sysInfo, code, payload, offset);
    case 0x03:
        return route(m_routes.stations, code, payload, offset);
    case 0x83:
        return route(m_routes.stations, cls, payload, offset);
    case 0x04:
        return route(m_routes.coLines, code, payload, offset);
    case 0x84:
        return route(m_routes.coLines, cls, payload, offset);
    case 0x08:
        return route(m_routes.attendantCalls, code, payload, offset);
    case 0x85:
        return route(m_routes.attendantCalls, cls, payload, offset);
    case 0x09:
        return route(m_routes.programming, code, payload, offset);
    case 0x82:
        return keyTelephoneCommand(payload, offset);
    case 0x86:
        return debugText(payload, offset);
    default:
        return kNotMine;
    }
}

quint16 LinkDispatcher::keyTelephoneCommand(const QByteArray &payload, int offset)
{
    if (int(payload.size()) - offset < 4)
        return 4;
    const quint8 b1 = quint8(payload.at(offset + 1));
    const quint8 b2 = quint8(payload.at(offset + 2));
    const quint8 b3 = quint8(payload.at(offset + 3));
    if (b1 == 'O')
        ZTRACE(4, "MY_SINGLE_PKTU_COMMAND:%02x.%c.%c.", b1, b2, b3);
    else
        ZTRACE(4, "MY_SINGLE_PKTU_COMMAND:%02x.%02x.%02x.", b1, b2, b3);
    if (m_routes.keyTelephone)
        m_routes.keyTelephone->displayCommand(b1, b2, b3);
    return 4;
}

quint16 LinkDispatcher::debugText(const QByteArray &payload, int offset)
{
    const int left = int(payload.size()) - offset;
    if (left < 2)
        return kNotMine;
    const int n = quint8(payload.at(offset + 1));
    const quint16 size = quint16(n + 2);
    if (left >= size && Trace::enabled())
        Trace::instance().write(0, QStringLiteral("DBGI:") + QString::fromLatin1(payload.constData() + offset + 2, n));
    return size;
}
