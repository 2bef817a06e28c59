#pragma once

#include "link/CLinkPort.h"
#include "link/Frame.h"
#include "link/LinkTransport.h"

#include <QByteArray>
#include <QList>
#include <QSet>

#include <deque>

// A transport with a tiny PBX behind it that answers the console's requests
// at once. Replies are queued and delivered by pump(), so a long download
// runs as a loop, not as a recursion. Replies to the requests in slowCodes
// wait in a queue of their own until deliverSlowReply() hands out the next.
class MiniPbx : public LinkTransport
{
public:
    explicit MiniPbx(CLinkPort &link)
        : m_link(link)
    {
    }

    bool isOpen() const override { return open; }
    bool sendFrame(const QByteArray &frame) override
    {
        if (!open)
            return false;
        struct Collect : Zemra1::FrameParser::Listener
        {
            QByteArray payload;
            void frameStarted() override {}
            void frameAbandoned() override {}
            void frameReceived(quint16, const char *p, int n) override { payload = QByteArray(p, n); }
        } c;
        Zemra1::FrameParser parser(&c);
        parser.feed(frame.constData(), int(frame.size()));
        sent.append(c.payload);
        answer(c.payload);
        return true;
    }

    // Delivers queued replies (and what they cause) until nothing is left.
    void pump()
    {
        while (!m_queue.empty()) {
            const QByteArray payload = m_queue.front();
            m_queue.pop_front();
            inject(payload);
        }
    }

    // Delivers the oldest slow reply and then everything quick it causes;
    // false when no slow reply is waiting.
    bool deliverSlowReply()
    {
        if (m_slowQueue.empty())
            return false;
        const QByteArray payload = m_slowQueue.front();
        m_slowQueue.pop_front();
        inject(payload);
        pump();
        return true;
    }

    void inject(const QByteArray &payload)
    {
        QByteArray f;
        Zemra1::buildFrame(16, payload, f);
        m_link.receivedBytes(this, f.constData(), int(f.size()));
    }

    int countSent(const QByteArray &prefix) const
    {
        int n = 0;
        for (const QByteArray &p : sent)
            n += p.startsWith(prefix) ? 1 : 0;
        return n;
    }

    bool open = true;
    bool answering = true;
    quint16 stations = 48;
    quint16 lines = 16;
    quint8 coNames = 4;
    quint32 version = 0x00010103;
    QSet<quint16> silentCodes;
    QSet<quint16> slowCodes;
    QList<QByteArray> sent;

private:
    static QByteArray be16(quint16 v) { return QByteArray() + char(v >> 8) + char(v & 0xFF); }
    void reply(const QByteArray &p) { (m_slow ? m_slowQueue : m_queue).push_back(p); }

    void answer(const QByteArray &req)
    {
        if (!answering || req.size() < 1)
            return;
        if (quint8(req.at(0)) >= 0x80 || req.size() < 2)
            return;
        const quint16 code = quint16((quint8(req.at(0)) << 8) | quint8(req.at(1)));
        if (silentCodes.contains(code))
            return;
        m_slow = slowCodes.contains(code);
        switch (code) {
        case 0x000B: reply(QByteArray::fromHex("0001")); break;
        case 0x0003: reply(QByteArray::fromHex("0003")); break;
        case 0x0005: reply(QByteArray::fromHex("0006")); break;
        case 0x0008: reply(QByteArray::fromHex("0008") + be16(version >> 16) + be16(version & 0xFFFF)); break;
        case 0x0101: reply(QByteArray::fromHex("0101") + be16(stations)); break;
        case 0x0102: reply(QByteArray::fromHex("0102") + be16(lines)); break;
        case 0x0104: reply(QByteArray::fromHex("010400008100100000820010")); break;
        case 0x0105: reply(QByteArray::fromHex("01050001")); break;
        case 0x0108: reply(QByteArray::fromHex("0108055A312E3041")); break;
        case 0x010A: reply(QByteArray::fromHex("010A") + char(coNames)); break;
        case 0x010B: reply(QByteArray::fromHex("010B03")); break;
        case 0x010C: reply(QByteArray::fromHex("010C07D00833")); break;
        case 0x0404: {
            const quint16 n = quint16((quint8(req.at(2)) << 8) | quint8(req.at(3)));
            reply(QByteArray::fromHex("0404") + char(5) + be16(n) + QByteArray("CO") + char('0' + n % 10));
            break;
        }
        case 0x0305:
        case 0x0309:
        case 0x0405:
            for (int i = 0; i + 4 <= req.size(); i += 4) {
                const quint16 item = quint16((quint8(req.at(i)) << 8) | quint8(req.at(i + 1)));
                const quint16 n = quint16((quint8(req.at(i + 2)) << 8) | quint8(req.at(i + 3)));
                if (item == 0x0309)
                    reply(QByteArray::fromHex("0309") + char(8) + be16(n) + char(0) + be16(quint16(0x1000 + n))
                          + QByteArray("ST") + char('A' + n % 26));
                else if (item == 0x0305)
                    reply(QByteArray::fromHex("0305") + char(7) + be16(n) + be16(quint16(0x1000 + n)) + QByteArray("ST")
                          + char('A' + n % 26));
                else
                    reply(QByteArray::fromHex("0405") + be16(n) + be16(quint16(1 + n % coNames)));
            }
            break;
        default:
            break;
        }
    }

    CLinkPort &m_link;
    std::deque<QByteArray> m_queue;
    std::deque<QByteArray> m_slowQueue;
    bool m_slow = false;
};
