#pragma once

#include "Faults.h"
#include "PbxMessages.h"
#include "PbxModel.h"
#include "Scheduler.h"

#include "link/Frame.h"

#include <QBitArray>
#include <QByteArray>
#include <QList>

#include <functional>

namespace pbxsim {

class FrameLog;

// One console connection: the receive parser, the log state, the answers to
// every request, the live status reports once the console asked for them, and
// the way out through the faults and the byte pacing to the transport.
class PbxSession : public PbxObserver, private Zemra1::FrameParser::Listener
{
public:
    using Writer = std::function<void(const QByteArray &)>;

    PbxSession(PbxModel &model, FaultSettings &faults, FrameLog *log = nullptr);
    ~PbxSession() override;
    PbxSession(const PbxSession &) = delete;
    PbxSession &operator=(const PbxSession &) = delete;

    // Bytes to the console (whole frames, noise, or paced pieces of them).
    void setWriter(Writer writer) { m_writer = std::move(writer); }
    // Asked for from a later turn of the scheduler, never from inside receive().
    void setCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }
    // Told when the console first asks for live status (the attendant is ready).
    void setReportingStarted(std::function<void()> handler) { m_reportingStarted = std::move(handler); }
    // 0: as fast as the transport takes it; else the byte rate of that baud rate.
    void setBaud(int baud) { m_baud = qMax(0, baud); }
    // Several messages of one step share a frame when they fit.
    void setPacking(bool on) { m_packing = on; }

    // Bytes from the console, in order.
    void receive(const QByteArray &bytes);

    bool isLoggedOn() const { return m_loggedOn; }
    bool isReporting() const { return m_reporting; }
    int framesReceived() const { return m_framesIn; }
    int framesSent() const { return m_framesOut; }
    int framesDiscarded() const { return m_discarded; }
    int protocolErrors() const { return m_protocolErrors; }
    QString lastProtocolError() const { return m_lastError; }
    int pendingOutput() const { return int(m_paced.size() + m_delayedBytes); }

    // Sent when told to (control channel, scenario).
    // LOG_ON_ACK, asked for or not: the position is logged on and the session starts over.
    void sendLogOnAck();
    void sendLogOffState();
    void sendPacketMissReport();
    void sendLifeTime();
    void sendPing();
    void sendEcho(const QByteArray &text);
    void sendDebugText(const QString &text);
    void sendPayload(const QByteArray &payload);
    void sendRawBytes(const QByteArray &bytes);
    // Ends the session as the PBX does when it logs the position off.
    void forceLogOff();

    // PbxObserver
    void stationStatusChanged(int index) override;
    void lineStatusChanged(int index) override;
    void ownStatusChanged() override;
    void stationIdentityChanged(int index, bool number, bool name) override;
    void coRingStart(int line, quint8 kind, const QString &digits) override;
    void coRingStop(int line) override;
    void icmRingStart(int station) override;
    void icmRingStop(int station) override;
    void keyTelephone(quint8 command, quint8 d1, quint8 d2) override;
    void speedBinChanged(quint16 bin) override;
    void note(const QString &text) override;
    void stepFinished() override;

private:
    // FrameParser::Listener
    void frameStarted() override;
    void frameAbandoned() override;
    void frameReceived(quint16 type, const char *payload, int length) override;

    void handlePayload(const QByteArray &payload);
    void handleRequest(quint16 code, const QByteArray &p, int o, int n);
    void answerStationInfo(quint16 code, int port);
    void answerLineInfo(quint16 code, int line);
    bool portOk(int port, int count, const char *what);
    void protocolError(const QString &text);

    void send(const QByteArray &message);
    void sendLive(const QByteArray &message);
    void flushPacked();
    bool transmit(quint16 type, const QByteArray &payload, const QString &text);
    void output(const QByteArray &bytes);
    void releaseDelayed();
    void pace(const QByteArray &bytes);
    void paceTick();
    bool roll(double percent);

    void startReporting();
    void reportAll();
    void flushStatus();
    void startPing();
    void stopPing();

    PbxModel &m_model;
    Scheduler &m_scheduler;
    FaultSettings &m_faults;
    FrameLog *m_log;
    Zemra1::FrameParser m_parser;
    Writer m_writer;
    std::function<void()> m_closeHandler;
    std::function<void()> m_reportingStarted;

    bool m_loggedOn = false;
    bool m_reporting = false;
    bool m_gotFrame = false;
    bool m_closing = false;
    int m_inStep = 0;
    quint8 m_statusMin = 1;
    quint8 m_statusMax = Event::kMaxStatusEntries;
    int m_statusPeriodMs = 300;
    QBitArray m_stationPending;
    QBitArray m_linePending;
    QList<int> m_stationQueue;
    QList<int> m_lineQueue;
    bool m_ownPending = false;

    bool m_packing = false;
    QByteArray m_packed;

    int m_baud = 0;
    QByteArray m_paced;
    double m_paceCredit = 0;
    qint64 m_paceLast = 0;
    struct Delayed
    {
        qint64 due;
        QByteArray bytes;
    };
    QList<Delayed> m_delayed;
    qint64 m_delayedBytes = 0;

    int m_framesIn = 0;
    int m_framesOut = 0;
    int m_discarded = 0;
    int m_protocolErrors = 0;
    QString m_lastError;

    SimTimer m_frameTimer;
    SimTimer m_statusTimer;
    SimTimer m_pingTimer;
    SimTimer m_pingWait;
    SimTimer m_delayTimer;
    SimTimer m_paceTimer;
    SimTimer m_closeTimer;
};

} // namespace pbxsim
