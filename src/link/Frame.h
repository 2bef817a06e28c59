#pragma once

#include <QByteArray>

#include <cstdint>

// Zemra1 framing: BA EC, type (1 or 2 bytes), length byte, payload, check, BC.
namespace Zemra1 {

constexpr quint8 kStart1 = 0xBA;
constexpr quint8 kStart2 = 0xEC;
constexpr quint8 kEnd = 0xBC;
constexpr int kMaxPayload = 63;
constexpr int kMaxFrame = 70; // 2 + 2 + 1 + 63 + 1 + 1
constexpr quint16 kMaxType = 0x7FFF;

enum PacketType : quint16 {
    ORLO_PTYPE_ECHO = 14,
    ORLO_PTYPE_ECHO_REPLY = 15,
    ORLO_PTYPE_DATA = 16,
    ORLO_PTYPE_STATUS = 31,
};

// Bits 0-5 the length; bit 7 set when bit 5 is clear, bit 6 set when bit 0 is clear.
constexpr quint8 lengthByte(int length)
{
    quint8 b = quint8(length & 0x3F);
    if (!(b & 0x20))
        b |= 0x80;
    if (!(b & 0x01))
        b |= 0x40;
    return b;
}

// Exactly one of bits 7 and 5, and exactly one of bits 6 and 0.
constexpr bool lengthByteValid(quint8 b)
{
    return (((b >> 7) ^ (b >> 5)) & 1) && (((b >> 6) ^ b) & 1);
}

// Builds a whole frame into out. Fails (out untouched) for a type above 0x7FFF
// or a payload above 63 bytes.
bool buildFrame(quint16 type, const char *payload, int length, QByteArray &out);
inline bool buildFrame(quint16 type, const QByteArray &payload, QByteArray &out)
{
    return buildFrame(type, payload.constData(), int(payload.size()), out);
}

// Receive state machine of one link. Fed one byte at a time; keeps no
// allocation, its buffer is exactly the largest frame, so it can never overrun.
class FrameParser
{
public:
    class Listener
    {
    public:
        virtual ~Listener();
        // The first start byte of a frame was taken: the frame timer starts.
        virtual void frameStarted() = 0;
        // The parser returned to its start state from inside a frame: the frame timer stops.
        virtual void frameAbandoned() = 0;
        // A good frame; payload points into the parser's buffer and is valid
        // only during the call. The parser is reset after the call returns.
        virtual void frameReceived(quint16 type, const char *payload, int length) = 0;
    };

    explicit FrameParser(Listener *listener = nullptr)
        : m_listener(listener)
    {
    }

    void setListener(Listener *listener) { m_listener = listener; }
    void feed(quint8 byte);
    void feed(const char *data, int length)
    {
        for (int i = 0; i < length; ++i)
            feed(quint8(data[i]));
    }
    // Discards a partial frame (frame timer expiry, or an outside reset).
    void resync();
    void reset();

    int state() const { return m_state; }
    int fill() const { return m_fill; }

private:
    void resyncWith(bool refeedStart);

    Listener *m_listener = nullptr;
    quint8 m_buffer[kMaxFrame] = {};
    quint8 m_fill = 0;
    quint8 m_state = 0;
    quint16 m_type = 0;
    quint8 m_length = 0;
    quint8 m_counter = 0;
    quint8 m_payloadStart = 0;
};

} // namespace Zemra1
