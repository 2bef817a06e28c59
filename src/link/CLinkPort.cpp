#include "CLinkPort.h"

#include "link/LinkTransport.h"
#include "base/OperatorUi.h"
#include "base/TimerHost.h"
#include "base/TimerIds.h"
#include "base/Trace.h"

#include <QMetaObject>
#include <QSemaphore>
#include <QThread>

CLinkPort::CLinkPort(TimerHost &timers, OperatorUi *ui, QObject *parent)
    : QObject(parent)
    , m_timers(timers)
    , m_ui(ui)
    , m_parser(this)
{
    m_timers.setHandler(TimerId::Frame, [this](int) { frameTimerExpired(); });
    setTiming(9600);
}

CLinkPort::~CLinkPort()
{
    m_timers.stop(TimerId::Frame);
    m_timers.clearHandler(TimerId::Frame);
}

void CLinkPort::feedByte(quint8 byte)
{
    const char c = char(byte);
    parse(&c, 1);
}

void CLinkPort::receivedBytes(const LinkTransport *source, const char *bytes, int count)
{
    if (!source || (source != m_serial && source != m_lan)) {
        if (m_ui)
            m_ui->showFixedMessage(QStringLiteral("Comport and Lanport is not created!!"), QStringLiteral("Zarto"), 0);
        return;
    }
    if (count <= 0)
        return;
    // The dispatch may close and destroy the transport whose buffer this is.
    const QByteArray block(bytes, count);
    parse(block.constData(), int(block.size()));
}

void CLinkPort::parse(const char *bytes, int count)
{
    const Qt::HANDLE self = QThread::currentThreadId();
    if (m_stepThread.load() == self) {
        // Bytes that arrive while a payload is being dispatched on this thread
        // (a nested event loop) are parsed once the current block is done.
        m_nested.append(bytes, count);
        return;
    }
    QMutexLocker lock(&m_rxLock);
    m_stepThread.store(self);
    m_parser.feed(bytes, count);
    while (!m_nested.isEmpty()) {
        QByteArray more;
        more.swap(m_nested);
        m_parser.feed(more.constData(), int(more.size()));
    }
    m_stepThread.store(nullptr);
}

void CLinkPort::frameTimerExpired()
{
    // While bytes are being parsed the frame is not stalled; waiting for the
    // lock here could deadlock with a reader that waits for this thread.
    if (m_stepThread.load() == QThread::currentThreadId())
        return;
    if (!m_rxLock.tryLock())
        return;
    m_parser.resync();
    m_rxLock.unlock();
}

void CLinkPort::resetParser()
{
    QMutexLocker lock(&m_rxLock);
    m_parser.reset();
}

void CLinkPort::frameStarted()
{
    m_timers.start(TimerId::Frame, m_framePeriod);
}

void CLinkPort::frameAbandoned()
{
    m_timers.stop(TimerId::Frame);
}

void CLinkPort::frameReceived(quint16 type, const char *payload, int length)
{
    switch (type) {
    case Zemra1::ORLO_PTYPE_ECHO:
    case Zemra1::ORLO_PTYPE_ECHO_REPLY: {
        const QByteArray copy(payload, length);
        const bool echo = type == Zemra1::ORLO_PTYPE_ECHO;
        QMetaObject::invokeMethod(
            this,
            [this, copy, echo] {
                if (echo)
                    Q_EMIT echoReceived(copy);
                else
                    Q_EMIT echoReplyReceived(copy);
            },
            Qt::QueuedConnection);
        return;
    }
    case Zemra1::ORLO_PTYPE_DATA:
    case Zemra1::ORLO_PTYPE_STATUS: {
        deliverData(QByteArray(payload, length));
        if (type == Zemra1::ORLO_PTYPE_STATUS) {
            ZTRACE(2, "ORLO_PTYPE_STATUS : Packet processed");
            if (m_passThrough)
                ZTRACE(2, "ORLO_PTYPE_STATUS : Packet Bypassed to Subport");
        }
        return;
    }
    default:
        return;
    }
}

void CLinkPort::deliverData(const QByteArray &payload)
{
    if (QThread::currentThread() == thread()) {
        Q_EMIT dataReceived(payload);
        return;
    }
    // The reader thread waits until the user-interface thread has dispatched
    // the payload, so events are applied in arrival order. The wait gives up
    // when the transport is being closed: the closing thread may itself be
    // the user-interface thread, waiting for this reader to end.
    if (m_abortDeliveries.load())
        return;
    struct Handoff
    {
        QByteArray payload;
        QSemaphore done;
        std::atomic<bool> cancelled{false};
    };
    auto handoff = std::make_shared<Handoff>();
    handoff->payload = payload;
    QMetaObject::invokeMethod(
        this,
        [this, handoff] {
            if (!handoff->cancelled.load())
                Q_EMIT dataReceived(handoff->payload);
            handoff->done.release();
        },
        Qt::QueuedConnection);
    while (!handoff->done.tryAcquire(1, 20)) {
        if (m_abortDeliveries.load()) {
            handoff->cancelled.store(true);
            return;
        }
    }
}

void CLinkPort::setDeliveriesAborted(bool aborted)
{
    m_abortDeliveries.store(aborted);
}

bool CLinkPort::sendFrame(quint16 type, const char *payload, int length)
{
    QByteArray frame;
    if (!Zemra1::buildFrame(type, payload, length, frame))
        return false;
    if (m_serial && m_serial->isOpen())
        return m_serial->sendFrame(frame);
    if (m_lan && m_lan->isOpen())
        return m_lan->sendFrame(frame);
    return false;
}

bool CLinkPort::sendDataPacket(const QByteArray &packet)
{
    Q_EMIT dataPacketSending();
    return sendFrame(Zemra1::ORLO_PTYPE_DATA, packet.constData(), int(packet.size()));
}

bool CLinkPort::sendEcho(const QByteArray &payload)
{
    return sendFrame(Zemra1::ORLO_PTYPE_ECHO, payload.constData(), int(payload.size()));
}

bool CLinkPort::sendEchoReply(const QByteArray &payload)
{
    return sendFrame(Zemra1::ORLO_PTYPE_ECHO_REPLY, payload.constData(), int(payload.size()));
}

int CLinkPort::framePeriodForBaud(int baudRate)
{
    const int rate = baudRate / 10;
    if (rate <= 0)
        return 1000;
    const int period = 1000000 / rate;
    return period > 1000 ? 1000 : period;
}

WriterPacing CLinkPort::pacingForBaud(int baudRate)
{
    WriterPacing p;
    if (baudRate / 10 >= 1000) {
        p.pauseMs = 2;
        p.maxWrite = 3;
    }
    return p;
}

void CLinkPort::setTiming(int baudRate)
{
    m_framePeriod = framePeriodForBaud(baudRate);
    m_pacing = pacingForBaud(baudRate);
    if (m_serial)
        m_serial->setPacing(m_pacing.pauseMs, m_pacing.maxWrite);
}
