#pragma once

#include <QByteArray>

#include <functional>

class EventHandler;
class KeyTelephoneSink;

// Splits a received data payload into events and routes each by its class.
// Routes whose handler is not attached answer kNotMine, which ends the payload.
class LinkDispatcher
{
public:
    struct Routes
    {
        EventHandler *log = nullptr;            // 0x00
        EventHandler *sysInfo = nullptr;        // 0x01, 0x06, 0x0A
        EventHandler *stations = nullptr;       // 0x03, 0x83
        EventHandler *coLines = nullptr;        // 0x04, 0x84
        EventHandler *attendantCalls = nullptr; // 0x08, 0x85
        EventHandler *programming = nullptr;    // 0x09
        KeyTelephoneSink *keyTelephone = nullptr; // 0x82 display commands
    };

    Routes &routes() { return m_routes; }

    // Every payload restarts the receive-idle watch.
    void setPayloadObserver(std::function<void()> observer) { m_payloadObserver = std::move(observer); }
    // Before log-on only payloads that begin with a LOG message are taken.
    void setLoggedOnQuery(std::function<bool()> query) { m_loggedOn = std::move(query); }

    void dispatch(const QByteArray &payload);

    // Size of one event at offset by its class, as the dispatch would route it.
    quint16 routeEvent(quint8 cls, quint16 code, const QByteArray &payload, int offset);

private:
    quint16 keyTelephoneCommand(const QByteArray &payload, int offset);
    quint16 debugText(const QByteArray &payload, int offset);

    Routes m_routes;
    std::function<void()> m_payloadObserver;
    std::function<bool()> m_loggedOn;
};
