#include "Frame.h"

namespace Zemra1 {

FrameParser::Listener::~Listener() = default;

bool buildFrame(quint16 type, const char *payload, int length, QByteArray &out)
{
    if (type > kMaxType || length < 0 || length > kMaxPayload)
        return false;
    char frame[kMaxFrame];
    int n = 0;
    frame[n++] = char(kStart1);
    frame[n++] = char(kStart2);
    if (type <= 126) {
        frame[n++] = char(type + 0x80);
    } else {
        frame[n++] = char(type >> 8);
        frame[n++] = char(type & 0xFF);
    }
    frame[n++] = char(lengthByte(length));
    for (int i = 0; i < length; ++i)
        frame[n++] = payload[i];
    quint8 check = 0xFF;
    for (int i = 2; i < n; ++i)
        check ^= quint8(frame[i]);
    frame[n++] = char(check);
    frame[n++] = char(kEnd);
    out = QByteArray(frame, n);
    return true;
}

void FrameParser::reset()
{
    const bool inFrame = m_state != 0;
    m_state = 0;
    m_fill = 0;
    if (inFrame && m_listener)
        m_listener->frameAbandoned();
}

void FrameParser::resync()
{
    resyncWith(true);
}

void FrameParser::resyncWith(bool refeedStart)
{
    // A start byte that broke the frame may open the next one.
    const bool lastIsStart = m_fill > 0 && m_buffer[m_fill - 1] == kStart1;
    reset();
    if (refeedStart && lastIsStart)
        feed(kStart1);
}

void FrameParser::feed(quint8 byte)
{
    m_buffer[m_fill++] = byte;
    switch (m_state) {
    case 0:
        if (byte == kStart1) {
            m_state = 1;
            if (m_listener)
                m_listener->frameStarted();
        } else {
            m_fill = 0;
        }
        return;
    case 1:
        if (byte == kStart2)
            m_state = 2;
        else
            resync();
        return;
    case 2:
        if (byte & 0x80) {
            m_type = byte & 0x7F;
            if (m_type == 127)
                resync();
            else
                m_state = 4;
        } else {
            m_type = quint16(byte) << 8;
            m_state = 3;
        }
        return;
    case 3:
        m_type = quint16(m_type + byte);
        m_state = 4;
        return;
    case 4:
        if (!lengthByteValid(byte)) {
            resync();
            return;
        }
        m_length = byte & 0x3F;
        m_payloadStart = m_fill;
        if (m_length > 0) {
            m_counter = 0;
            m_state = 5;
        } else {
            m_state = 6;
        }
        return;
    case 5:
        if (++m_counter == m_length)
            m_state = 6;
        return;
    case 6: {
        quint8 x = 0;
        for (int i = 2; i < m_fill; ++i)
            x ^= m_buffer[i];
        if (x == 0xFF)
            m_state = 7;
        else
            resync();
        return;
    }
    case 7:
        if (byte != kEnd) {
            resync();
            return;
        }
        if (m_listener)
            m_listener->frameReceived(m_type, reinterpret_cast<const char *>(m_buffer + m_payloadStart), m_length);
        reset();
        return;
    default:
        reset();
        return;
    }
}

} // namespace Zemra1
