#pragma once

#include "link/Frame.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>

#include <atomic>
#include <functional>

class LinkTransport;
class OperatorUi;
class TimerHost;

// Serial writer pacing set by the link timing.
struct WriterPacing
{
    int pauseMs = 0;  // pause before each write
    int maxWrite = 0; // largest write in bytes, 0 = unlimited
};

// The link object: holds both transports, the receive parser with its frame
// timer, and the send path.
class CLinkPort : public QObject, private Zemra1::FrameParser::Listener
{
    Q_OBJECT
public:
    CLinkPort(TimerHost &timers, OperatorUi *ui = nullptr, QObject *parent = nullptr);
    ~CLinkPort() override;

    void setSerialPort(LinkTransport *serial) { m_serial = serial; }
    void setLanConnection(LinkTransport *lan) { m_lan = lan; }
    LinkTransport *serialPort() const { return m_serial; }
    LinkTransport *lanConnection() const { return m_lan; }

    // One parser step under the receive lock.
    void feedByte(quint8 byte);
    // A block read by a transport; bytes from any other source are refused.
    void receivedBytes(const LinkTransport *source, const char *bytes, int count);

    bool sendFrame(quint16 type, const char *payload, int length);
    bool sendDataPacket(const QByteArray &packet);
    bool sendEcho(const QByteArray &payload);
    bool sendEchoReply(const QByteArray &payload);

    // Frame timer period and serial writer pacing from the configured baud rate.
    void setTiming(int baudRate);
    static int framePeriodForBaud(int baudRate);
    static WriterPacing pacingForBaud(int baudRate);
    int framePeriod() const { return m_framePeriod; }
    WriterPacing pacing() const { return m_pacing; }

    // While set, a reader thread does not wait for its payloads to be
    // dispatched (set by a transport around its close).
    void setDeliveriesAborted(bool aborted);

    // Frame timer expiry: a frame that did not complete in time is discarded.
    void frameTimerExpired();
    void resetParser();
    int parserState() const { return m_parser.state(); }

    bool subPortPassThrough() const { return m_passThrough; }

    // The PBX version value of the session; the station request forms depend on it.
    void setVersionSource(std::function<quint32()> source) { m_versionSource = std::move(source); }
    quint32 pbxVersion() const { return m_versionSource ? m_versionSource() : 0; }

    // Called by the request builder after the log-on and log-off requests went out.
    void notifyLogOnRequested() { Q_EMIT logOnRequested(); }
    void notifyLogOffRequested() { Q_EMIT logOffRequested(); }

    // The DYNBTN sequence of this link runs 45, 46, 47, 44, ... for the whole run.
    quint16 nextDynBtnSequence()
    {
        m_dynBtnSequence = m_dynBtnSequence >= 47 ? 44 : quint16(m_dynBtnSequence + 1);
        return m_dynBtnSequence;
    }

Q_SIGNALS:
    // A type 16 or 31 payload; emitted on the link's thread and handled
    // before the parser goes on (blocking when parsing runs on another thread).
    void dataReceived(const QByteArray &payload);
    // Type 14 and 15 payloads, posted.
    void echoReceived(const QByteArray &payload);
    void echoReplyReceived(const QByteArray &payload);
    // Emitted before every data packet is sent (restarts the transmit-idle timer).
    void dataPacketSending();
    // The log-on (or LOG_Command) and log-off requests start their waits.
    void logOnRequested();
    void logOffRequested();

private:
    void frameStarted() override;
    void frameAbandoned() override;
    void frameReceived(quint16 type, const char *payload, int length) override;
    void deliverData(const QByteArray &payload);
    void parse(const char *bytes, int count);

    TimerHost &m_timers;
    OperatorUi *m_ui = nullptr;
    LinkTransport *m_serial = nullptr;
    LinkTransport *m_lan = nullptr;
    QMutex m_rxLock;
    std::atomic<Qt::HANDLE> m_stepThread{nullptr};
    QByteArray m_nested;
    std::atomic<bool> m_abortDeliveries{false};
    Zemra1::FrameParser m_parser;
    int m_framePeriod = 1000;
    WriterPacing m_pacing;
    bool m_passThrough = true;
    std::function<quint32()> m_versionSource;
    quint16 m_dynBtnSequence = 44;
};
