#pragma once

#include "transport/CSerialPort.h"
#include "transport/SerialSettings.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QThread>

#include <memory>

// What a scripted serial device saw and what it is told to do. Shared between
// the test (user-interface thread) and the device on the port's worker thread.
class FakeSerialLine
{
public:
    FakeSerialLine() { clock.start(); }

    // Script.
    bool failOpen = false;
    bool failConfigure = false;
    bool failDtr = true; // like a pty: no modem lines
    int failWrites = 0;  // the next n writes fail with nothing written
    bool stallWrites = false;
    int stallMs = 0;     // a stalled write waits for releaseWrite() at most this long

    // Observations.
    mutable QMutex lock;
    QString openedName;
    int openCount = 0;
    int closeCount = 0;
    int destroyedCount = 0;
    int clearErrorCount = 0;
    QList<SerialSettings> configured;
    QList<bool> dtr;
    QByteArray written;
    QList<int> writeSizes;
    QList<qint64> writeStartNs;
    QList<int> readSizes;
    QByteArray input;
    bool writeInProgress = false;
    int writesFinished = 0;
    Qt::HANDLE deviceThread = nullptr;
    QElapsedTimer clock;

    QSemaphore writeGate;
    QSemaphore readDone; // one release per read that returned bytes

    void releaseWrite() { writeGate.release(); }

    template <typename T> T get(T FakeSerialLine::*member) const
    {
        QMutexLocker l(&lock);
        return this->*member;
    }

    // Bytes arriving on the line; the device tells the worker.
    void feed(const QByteArray &bytes);

    SerialDevice *device = nullptr; // the open device, under lock
};

class FakeSerialDevice : public SerialDevice
{
public:
    explicit FakeSerialDevice(std::shared_ptr<FakeSerialLine> line)
        : m_line(std::move(line))
    {
        QMutexLocker l(&m_line->lock);
        m_line->deviceThread = QThread::currentThreadId();
        m_line->device = this;
    }
    ~FakeSerialDevice() override
    {
        QMutexLocker l(&m_line->lock);
        ++m_line->destroyedCount;
        m_line->device = nullptr;
    }

    bool open(const QString &name) override
    {
        QMutexLocker l(&m_line->lock);
        m_line->openedName = name;
        if (m_line->failOpen)
            return false;
        ++m_line->openCount;
        return true;
    }
    void close() override
    {
        QMutexLocker l(&m_line->lock);
        ++m_line->closeCount;
    }
    bool configure(const SerialSettings &s) override
    {
        QMutexLocker l(&m_line->lock);
        m_line->configured.append(s);
        return !m_line->failConfigure;
    }
    bool setDataTerminalReady(bool on) override
    {
        QMutexLocker l(&m_line->lock);
        m_line->dtr.append(on);
        return !m_line->failDtr;
    }
    void purge() override {}
    qint64 bytesAvailable() const override
    {
        QMutexLocker l(&m_line->lock);
        return m_line->input.size();
    }
    qint64 read(char *data, qint64 maxSize) override
    {
        QMutexLocker l(&m_line->lock);
        const qint64 n = qMin<qint64>(maxSize, m_line->input.size());
        memcpy(data, m_line->input.constData(), size_t(n));
        m_line->input.remove(0, n);
        m_line->readSizes.append(int(n));
        if (n > 0)
            m_line->readDone.release();
        return n;
    }
    qint64 write(const char *data, qint64 size, int timeoutMs) override
    {
        int stallMs = 0;
        {
            QMutexLocker l(&m_line->lock);
            m_line->writeStartNs.append(m_line->clock.nsecsElapsed());
            if (m_line->failWrites > 0) {
                --m_line->failWrites;
                return -1;
            }
            m_line->writeInProgress = true;
            if (m_line->stallWrites)
                stallMs = m_line->stallMs;
        }
        if (stallMs > 0)
            m_line->writeGate.tryAcquire(1, stallMs);
        QMutexLocker l(&m_line->lock);
        m_line->written.append(data, size);
        m_line->writeSizes.append(int(size));
        m_line->writeInProgress = false;
        ++m_line->writesFinished;
        return size;
    }
    void clearError() override
    {
        QMutexLocker l(&m_line->lock);
        ++m_line->clearErrorCount;
    }

    void announce() { Q_EMIT readyRead(); }

private:
    std::shared_ptr<FakeSerialLine> m_line;
};

inline void FakeSerialLine::feed(const QByteArray &bytes)
{
    // Posted under the lock: the device cannot be destroyed in between.
    QMutexLocker l(&lock);
    input.append(bytes);
    if (auto *fake = static_cast<FakeSerialDevice *>(device))
        QMetaObject::invokeMethod(fake, [fake] { fake->announce(); }, Qt::QueuedConnection);
}

inline SerialDeviceFactory fakeFactory(const std::shared_ptr<FakeSerialLine> &line)
{
    return [line] { return std::make_unique<FakeSerialDevice>(line); };
}
