#pragma once

#include "link/Frame.h"
#include "link/LinkTransport.h"

#include <QByteArray>
#include <QList>

// A transport that keeps every frame handed to it.
class FakeTransport : public LinkTransport
{
public:
    bool isOpen() const override { return open; }
    bool sendFrame(const QByteArray &frame) override
    {
        if (!accept)
            return false;
        frames.append(frame);
        return true;
    }
    void setPacing(int pauseMs, int maxWrite) override
    {
        pacingPause = pauseMs;
        pacingMax = maxWrite;
    }

    // Payloads of the frames sent so far, parsed back from the wire bytes.
    QList<QByteArray> payloads() const
    {
        struct Collect : Zemra1::FrameParser::Listener
        {
            QList<QByteArray> out;
            void frameStarted() override {}
            void frameAbandoned() override {}
            void frameReceived(quint16, const char *p, int n) override { out.append(QByteArray(p, n)); }
        } collect;
        Zemra1::FrameParser parser(&collect);
        for (const QByteArray &f : frames)
            parser.feed(f.constData(), int(f.size()));
        return collect.out;
    }

    bool open = true;
    bool accept = true;
    int pacingPause = -1;
    int pacingMax = -1;
    QList<QByteArray> frames;
};

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
