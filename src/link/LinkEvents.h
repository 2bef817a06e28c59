#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct SpeedBinRecord;

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

// Receiver of the system information, administration and speed-bin replies.
class SysInfoSink
{
public:
    virtual ~SysInfoSink();
    virtual void onStationCount(quint16 count) = 0;
    virtual void onLineCount(quint16 count) = 0;
    virtual void onCodeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount) = 0;
    virtual void onOwnStation(quint16 station) = 0; // 1-based
    virtual void onMpbShortVersion(const QString &version) = 0;
    virtual void onMpbLongVersion(const QString &version) = 0;
    virtual void onNation(quint16 code, const QString &text) { Q_UNUSED(code); Q_UNUSED(text); }
    virtual void onCoNameCount(quint8 count) = 0;
    virtual void onPagingNumber(quint8 number) = 0;
    virtual void onSpeedBinRange(quint16 first, quint16 last) = 0;
    // The date and time as the PBX reported them (invalid when the bytes make no date).
    virtual void onPbxTime(const QDateTime &time) = 0;
    // 0x0601 to 0x0605.
    virtual void onAdministration(quint16 code) = 0;
    virtual void onSpeedBinEmpty(quint16 bin) = 0;
    virtual void onSpeedBinRecord(const SpeedBinRecord &record) = 0;
};

class SysInfoDecoder : public EventHandler
{
public:
    explicit SysInfoDecoder(SysInfoSink *sink = nullptr)
        : m_sink(sink)
    {
    }
    void setSink(SysInfoSink *sink) { m_sink = sink; }
    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

private:
    SysInfoSink *m_sink;
};

// The key telephone window takes the three bytes of each display command.
class KeyTelephoneSink
{
public:
    virtual ~KeyTelephoneSink();
    virtual void displayCommand(quint8 b1, quint8 b2, quint8 b3) = 0;
};
