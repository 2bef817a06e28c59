#pragma once

#include "Faults.h"
#include "PbxMessages.h"
#include "PbxModel.h"
#include "PbxSession.h"
#include "Scheduler.h"

#include "link/Frame.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

#include <memory>

// A PBX on virtual time with one session whose output is kept, for feeding
// request frames in and reading reply frames out.
struct PbxHarness
{
    static pbxsim::PbxConfig testConfig()
    {
        pbxsim::PbxConfig c;
        c.clockStart = QDateTime(QDate(2026, 3, 5), QTime(14, 7, 0));
        c.pingIntervalMs = 0;
        c.answerDelayMs = 2000;
        c.talkMinMs = 60000;
        c.talkMaxMs = 60001;
        return c;
    }

    explicit PbxHarness(const pbxsim::PbxConfig &config = testConfig())
        : random(1234)
        , model(std::make_unique<pbxsim::PbxModel>(config, scheduler, random))
    {
        newSession();
    }

    void newSession()
    {
        session.reset();
        session = std::make_unique<pbxsim::PbxSession>(*model, faults);
        session->setWriter([this](const QByteArray &bytes) { wire += bytes; });
        session->setCloseHandler([this] { ++closes; });
    }

    static QByteArray frame(const QByteArray &payload, quint16 type = Zemra1::ORLO_PTYPE_DATA)
    {
        QByteArray out;
        Zemra1::buildFrame(type, payload, out);
        return out;
    }

    void request(const QByteArray &payload) { session->receive(frame(payload)); }

    // Frames sent since the last take, as (type, payload).
    QList<QPair<quint16, QByteArray>> takeFrames()
    {
        struct Collect : Zemra1::FrameParser::Listener
        {
            QList<QPair<quint16, QByteArray>> out;
            void frameStarted() override {}
            void frameAbandoned() override {}
            void frameReceived(quint16 type, const char *p, int n) override { out.append({type, QByteArray(p, n)}); }
        } collect;
        Zemra1::FrameParser parser(&collect);
        parser.feed(wire.constData(), int(wire.size()));
        wire.clear();
        return collect.out;
    }

    // Data payloads sent since the last take.
    QList<QByteArray> takePayloads()
    {
        QList<QByteArray> out;
        for (const auto &f : takeFrames())
            if (f.first == Zemra1::ORLO_PTYPE_DATA)
                out.append(f.second);
        return out;
    }

    // Every message of every data payload, split as the console splits them.
    QList<QByteArray> takeMessages()
    {
        QList<QByteArray> out;
        for (const QByteArray &p : takePayloads()) {
            int offset = 0;
            while (offset < p.size()) {
                const int n = pbxsim::EventInfo::size(p, offset);
                if (n <= 0) {
                    out.append(QByteArrayLiteral("?") + p.mid(offset));
                    break;
                }
                out.append(p.mid(offset, n));
                offset += n;
            }
        }
        return out;
    }

    // Messages other than key-telephone commands.
    QList<QByteArray> takeEvents()
    {
        QList<QByteArray> out;
        for (const QByteArray &m : takeMessages())
            if (quint8(m.at(0)) != 0x82)
                out.append(m);
        return out;
    }

    void logOn()
    {
        request(QByteArray::fromHex("000b"));
        wire.clear();
    }

    void startReporting()
    {
        request(QByteArray::fromHex("0201"));
        request(QByteArray::fromHex("0202030114"));
        wire.clear();
    }

    pbxsim::ManualScheduler scheduler;
    QRandomGenerator random;
    pbxsim::FaultSettings faults;
    std::unique_ptr<pbxsim::PbxModel> model;
    std::unique_ptr<pbxsim::PbxSession> session;
    QByteArray wire;
    int closes = 0;
};

inline QByteArray hexBytes(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
