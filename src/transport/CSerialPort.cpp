#include "CSerialPort.h"

#include "link/CLinkPort.h"
#include "transport/SerialSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QSerialPort>
#include <QThread>
#include <QTimer>

#include <cstring>
#include <utility>

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

Q_LOGGING_CATEGORY(lcSerial, "zarto.link.serial")

namespace {

// A reader inside a delivery posts the next payload within microseconds of the
// previous one being dispatched, but nothing tells this thread when it has
// posted it: a waiter looks again after this long.
constexpr int kDeliveryRecheckMs = 2;
// Bytes read per turn of the worker's event loop, so that requests of the
// user-interface thread are not held up by a steady stream.
constexpr int kReadBudget = 4096;

// The device on QSerialPort.
class QtSerialDevice final : public SerialDevice
{
public:
    QtSerialDevice() { connect(&m_port, &QSerialPort::readyRead, this, &SerialDevice::readyRead); }

    bool open(const QString &deviceName) override
    {
        m_port.setPortName(deviceName);
        if (!m_port.open(QIODevice::ReadWrite)) {
            qCWarning(lcSerial) << "cannot open" << deviceName << m_port.errorString();
            m_port.clearError();
            return false;
        }
        m_port.clear(QSerialPort::AllDirections);
        return true;
    }

    void close() override { m_port.close(); }

    bool configure(const SerialSettings &s) override
    {
        QSerialPort::FlowControl flow = QSerialPort::NoFlowControl;
        if (s.rtsCts)
            flow = QSerialPort::HardwareControl;
        else if (s.xonXoff)
            flow = QSerialPort::SoftwareControl;
        const bool ok = m_port.setBaudRate(s.baudRate()) && m_port.setDataBits(QSerialPort::Data8)
                        && m_port.setParity(s.parityValue()) && m_port.setStopBits(s.stopBitsValue())
                        && m_port.setFlowControl(flow) && setLineExtras(s);
        if (!ok) {
            qCWarning(lcSerial) << "settings refused:" << m_port.errorString();
            m_port.clearError();
            return false;
        }
        // DTR is on both with the flag (the handshake line says "ready to
        // receive", and the reader always is) and without it (DTR enabled).
        // Programming the port does not lower it; a device without modem
        // lines refuses it, which is not a refusal of the settings.
        setDataTerminalReady(true);
        return true;
    }

    bool setDataTerminalReady(bool on) override
    {
        const bool ok = m_port.setDataTerminalReady(on);
        if (!ok) {
            qCDebug(lcSerial) << "DTR not set:" << m_port.errorString();
            m_port.clearError();
        }
        return ok;
    }

    void purge() override { m_port.clear(QSerialPort::AllDirections); }
    qint64 bytesAvailable() const override { return m_port.bytesAvailable(); }

    qint64 read(char *data, qint64 maxSize) override { return m_port.read(data, maxSize); }

    qint64 write(const char *data, qint64 size, int timeoutMs) override
    {
        const qint64 queued = m_port.write(data, size);
        if (queued < 0)
            return -1;
        const QDeadlineTimer deadline(timeoutMs);
        while (m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
            if (!m_port.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
                break;
        }
        const qint64 pending = m_port.bytesToWrite();
        if (pending == 0 && queued == size)
            return size;
        // What is still queued is dropped, so the ring keeps the back-pressure
        // of a stalled line instead of an ever-growing device buffer.
        m_port.clear(QSerialPort::Output);
        return qMax<qint64>(0, queued - pending);
    }

    void clearError() override
    {
        if (m_port.error() != QSerialPort::NoError)
            qCDebug(lcSerial) << "device error cleared:" << m_port.errorString();
        m_port.clearError();
    }

private:
    // What QSerialPort does not express: both flow controls at once, the
    // XON/XOFF characters and, where the platform has it, DSR output flow
    // control with the DTR handshake.
    bool setLineExtras(const SerialSettings &s)
    {
#ifdef Q_OS_UNIX
        if (!s.xonXoff && !CSerialPort::dsrFlowControlAvailable())
            return true;
        termios tio{};
        if (::tcgetattr(int(m_port.handle()), &tio) != 0)
            return false;
        if (s.xonXoff) {
            tio.c_iflag |= IXON | IXOFF;
            tio.c_cc[VSTART] = 0x11;
            tio.c_cc[VSTOP] = 0x13;
        }
#if defined(CDSR_OFLOW) && defined(CDTR_IFLOW)
        if (s.dtrDsr)
            tio.c_cflag |= CDSR_OFLOW | CDTR_IFLOW;
        else
            tio.c_cflag &= ~tcflag_t(CDSR_OFLOW | CDTR_IFLOW);
#endif
        return ::tcsetattr(int(m_port.handle()), TCSANOW, &tio) == 0;
#else
        Q_UNUSED(s);
        return true;
#endif
    }

    QSerialPort m_port;
};

} // namespace

SerialDevice::~SerialDevice() = default;

// Lives on the worker thread and owns the device there.
class SerialWorker : public QObject
{
public:
    explicit SerialWorker(CSerialPort &port)
        : m_port(port)
        , m_paceTimer(new QTimer(this))
    {
        m_paceTimer->setSingleShot(true);
        m_paceTimer->setTimerType(Qt::PreciseTimer);
        connect(m_paceTimer, &QTimer::timeout, this, [this] {
            m_pauseDone = true;
            drain();
        });
    }

    bool openDevice(const QString &name, const SerialDeviceFactory &factory)
    {
        m_device = factory ? factory() : std::make_unique<QtSerialDevice>();
        if (!m_device)
            return false;
        connect(m_device.get(), &SerialDevice::readyRead, this, &SerialWorker::readPending);
        if (!m_device->open(name)) {
            m_device->clearError();
            m_device.reset();
            return false;
        }
        return true;
    }

    bool configure(const SerialSettings &settings)
    {
        if (!m_device)
            return false;
        if (m_device->configure(settings))
            return true;
        m_device->clearError();
        return false;
    }

    void raiseDtr()
    {
        if (m_device && !m_device->setDataTerminalReady(true))
            m_device->clearError();
    }

    void shutdown()
    {
        m_paceTimer->stop();
        if (!m_device)
            return;
        if (!m_device->setDataTerminalReady(false))
            m_device->clearError();
        m_device->purge();
        m_device->close();
        m_device.reset();
    }

    void drainRequested()
    {
        // Cleared before the positions are read: a frame published after this
        // posts a new request, so no wake-up is lost.
        m_port.m_wakePosted.store(false);
        if (!m_paceTimer->isActive())
            drain();
    }

    void readPending()
    {
        char block[CSerialPort::ReadBlock];
        int budget = kReadBudget;
        while (m_device && m_port.m_open.load()) {
            const qint64 available = m_device->bytesAvailable();
            if (available <= 0)
                return;
            if (budget <= 0) {
                QMetaObject::invokeMethod(this, [this] { readPending(); }, Qt::QueuedConnection);
                return;
            }
            const qint64 n = m_device->read(block, qMin<qint64>(CSerialPort::ReadBlock, available));
            if (n <= 0) {
                m_device->clearError();
                return;
            }
            budget -= int(n);
            m_port.enterDelivery();
            m_port.m_link.receivedBytes(&m_port, block, int(n));
            m_port.leaveDelivery();
        }
    }

private:
    void drain()
    {
        for (;;) {
            const bool paused = std::exchange(m_pauseDone, false);
            if (!m_device || !m_port.m_open.load())
                return;
            int r = 0;
            int w = 0;
            {
                QMutexLocker lock(&m_port.m_ringLock);
                r = m_port.m_readPos;
                w = m_port.m_writePos;
            }
            if (r == w)
                return;
            // The contiguous run: up to the write position, or to the end of
            // the ring when the write position has wrapped.
            qint64 run = w > r ? w - r : CSerialPort::RingSize - r;
            const int pause = m_port.m_pauseMs.load();
            if (pause > 0) {
                if (!paused) {
                    m_paceTimer->start(pause);
                    return;
                }
                const int maxWrite = m_port.m_maxWrite.load();
                if (maxWrite > 0)
                    run = qMin<qint64>(run, maxWrite);
            }
            const qint64 written = m_device->write(m_port.m_ring.data() + r, run, CSerialPort::WriteTimeoutMs);
            if (written > 0) {
                QMutexLocker lock(&m_port.m_ringLock);
                m_port.m_readPos = int((r + written) % CSerialPort::RingSize);
            }
            if (written < run) {
                // A failed write ends this drain round; the rest stays queued
                // and goes out with the next wake-up.
                qCWarning(lcSerial) << "write failed after" << qMax<qint64>(0, written) << "of" << run << "bytes";
                m_device->clearError();
                return;
            }
        }
    }

    CSerialPort &m_port;
    std::unique_ptr<SerialDevice> m_device;
    QTimer *m_paceTimer;
    bool m_pauseDone = false;
};

QString CSerialPort::portName()
{
    return SerialSettings::sectionName();
}

CSerialPort::CSerialPort(CLinkPort &link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
}

CSerialPort::~CSerialPort()
{
    close();
}

void CSerialPort::setDeviceFactory(SerialDeviceFactory factory)
{
    m_factory = std::move(factory);
}

namespace {

class BusyScope
{
public:
    explicit BusyScope(CSerialPort &port)
        : m_port(port)
    {
        Q_EMIT m_port.busyChanged(true);
    }
    ~BusyScope() { Q_EMIT m_port.busyChanged(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    CSerialPort &m_port;
};

} // namespace

bool CSerialPort::dsrFlowControlAvailable()
{
#if defined(Q_OS_UNIX) && defined(CDSR_OFLOW) && defined(CDTR_IFLOW)
    return true;
#else
    return false;
#endif
}

bool CSerialPort::open()
{
    if (m_open.load())
        return true;
    const BusyScope busy(*this);
    stopWorker();
    const QString name = SerialSettings::load().deviceName();
    startWorker();
    SerialWorker *worker = m_worker;
    const SerialDeviceFactory factory = m_factory;
    bool ok = runOnWorker([worker, name, factory] { return worker->openDevice(name, factory); });
    if (ok)
        ok = applySettings();
    if (!ok) {
        stopWorker();
        return false;
    }
    // A device without modem lines refuses DTR; that is not an error.
    runOnWorker([worker] {
        worker->raiseDtr();
        return true;
    });
    m_open.store(true);
    // Bytes that arrived before the port was open are read now.
    QMetaObject::invokeMethod(worker, [worker] { worker->readPending(); }, Qt::QueuedConnection);
    return true;
}

void CSerialPort::close()
{
    m_open.store(false);
    if (!m_thread)
        return;
    const BusyScope busy(*this);
    // A close from inside the dispatch of one of this port's payloads would
    // otherwise wait for a reader that waits for that very dispatch.
    m_link.setDeliveriesAborted(true);
    stopWorker();
    m_link.setDeliveriesAborted(false);
}

bool CSerialPort::applySettings()
{
    const SerialSettings settings = SerialSettings::load();
    m_link.setTiming(settings.baudRate());
    if (!m_worker)
        return true;
    SerialWorker *worker = m_worker;
    return runOnWorker([worker, settings] { return worker->configure(settings); });
}

bool CSerialPort::sendFrame(const QByteArray &frame)
{
    if (!m_open.load())
        return false;
    const int n = int(frame.size());
    if (n == 0)
        return true;
    int r = 0;
    int w = 0;
    {
        QMutexLocker lock(&m_ringLock);
        r = m_readPos;
        w = m_writePos;
    }
    const int used = (w - r + RingSize) % RingSize;
    if (n > RingCapacity - used)
        return false;
    // The places from the write position on are free: the worker reads only
    // up to the published write position.
    const int first = qMin(n, RingSize - w);
    std::memcpy(m_ring.data() + w, frame.constData(), size_t(first));
    std::memcpy(m_ring.data(), frame.constData() + first, size_t(n - first));
    {
        QMutexLocker lock(&m_ringLock);
        m_writePos = (w + n) % RingSize;
    }
    if (!m_wakePosted.exchange(true)) {
        SerialWorker *worker = m_worker;
        QMetaObject::invokeMethod(worker, [worker] { worker->drainRequested(); }, Qt::QueuedConnection);
    }
    return true;
}

void CSerialPort::setPacing(int pauseMs, int maxWrite)
{
    m_pauseMs.store(qMax(0, pauseMs));
    m_maxWrite.store(qMax(0, maxWrite));
}

int CSerialPort::freeSpace() const
{
    QMutexLocker lock(&m_ringLock);
    return RingCapacity - (m_writePos - m_readPos + RingSize) % RingSize;
}

void CSerialPort::startWorker()
{
    {
        QMutexLocker lock(&m_ringLock);
        m_readPos = 0;
        m_writePos = 0;
    }
    m_wakePosted.store(false);
    {
        QMutexLocker lock(&m_stateLock);
        m_inDelivery = false;
        m_workerEnded = false;
    }
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("serial worker"));
    m_worker = new SerialWorker(*this);
    m_worker->moveToThread(m_thread);
    connect(
        m_thread, &QThread::finished, this,
        [this] {
            QMutexLocker lock(&m_stateLock);
            m_workerEnded = true;
            m_stateChanged.wakeAll();
        },
        Qt::DirectConnection);
    m_thread->start();
}

void CSerialPort::stopWorker()
{
    if (!m_thread)
        return;
    SerialWorker *worker = m_worker;
    runOnWorker([worker] {
        worker->shutdown();
        return true;
    });
    m_thread->quit();
    waitFor([this] { return m_workerEnded; });
    m_thread->wait();
    delete m_worker;
    m_worker = nullptr;
    delete m_thread;
    m_thread = nullptr;
}

bool CSerialPort::runOnWorker(std::function<bool()> task)
{
    struct Request
    {
        bool done = false;
        bool result = false;
    };
    auto request = std::make_shared<Request>();
    QMetaObject::invokeMethod(
        m_worker,
        [this, request, task = std::move(task)] {
            const bool result = task();
            QMutexLocker lock(&m_stateLock);
            request->result = result;
            request->done = true;
            m_stateChanged.wakeAll();
        },
        Qt::QueuedConnection);
    waitFor([&request] { return request->done; });
    return request->result;
}

void CSerialPort::waitFor(const std::function<bool()> &done)
{
    Q_ASSERT(QThread::currentThread() == m_link.thread());
    QMutexLocker lock(&m_stateLock);
    while (!done()) {
        if (m_inDelivery) {
            lock.unlock();
            QCoreApplication::sendPostedEvents(&m_link, QEvent::MetaCall);
            lock.relock();
            if (!done() && m_inDelivery)
                m_stateChanged.wait(&m_stateLock, QDeadlineTimer(kDeliveryRecheckMs));
        } else {
            m_stateChanged.wait(&m_stateLock);
        }
    }
}

void CSerialPort::enterDelivery()
{
    QMutexLocker lock(&m_stateLock);
    m_inDelivery = true;
    m_stateChanged.wakeAll();
}

void CSerialPort::leaveDelivery()
{
    QMutexLocker lock(&m_stateLock);
    m_inDelivery = false;
    m_stateChanged.wakeAll();
}
