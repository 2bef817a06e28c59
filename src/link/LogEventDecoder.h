#pragma once

#include "link/EventHandler.h"

// Receiver of the decoded log events (class 0x00).
class LogEventSink
{
public:
    virtual ~LogEventSink();
    virtual void onLogOnAck() = 0;
    virtual void onLogOnNak(quint8 reason) = 0;
    virtual void onLogOffAck() = 0;
    virtual void onLogOffNak() = 0;
    virtual void onLogOnState() = 0;
    virtual void onLogOffState() = 0;
    virtual void onVersion(quint32 version) = 0;
    virtual void onPacketMissReport() = 0;
    virtual void onLifeTime(quint32 value) { Q_UNUSED(value); }
    virtual void onPing() = 0;
};

// Decodes log events, traces them and hands them to the sink.
class LogEventDecoder : public EventHandler
{
public:
    explicit LogEventDecoder(LogEventSink *sink = nullptr)
        : m_sink(sink)
    {
    }
    void setSink(LogEventSink *sink) { m_sink = sink; }
    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

private:
    LogEventSink *m_sink;
};
