#pragma once

#include "link/LinkTransport.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>

#include <array>
#include <atomic>
#include <functional>
#include <memory>

class CLinkPort;
class QThread;
class SerialWorker;
struct SerialSettings;

// The serial device the port's worker drives. It is created, used and
// destroyed on the worker thread only. The production device wraps
// QSerialPort; tests put a scripted device in its place.
class SerialDevice : public QObject
{
    Q_OBJECT
public:
    ~SerialDevice() override;

    // Opens the device for reading and writing, exclusively, and purges both directions.
    virtual bool open(const QString &deviceName) = 0;
    virtual void close() = 0;
    // Baud rate, 8 data bits, parity, stop bits and the flow-control flags.
    virtual bool configure(const SerialSettings &settings) = 0;
    // Fails on a device without modem lines (a pty); the port does not treat that as an error.
    virtual bool setDataTerminalReady(bool on) = 0;
    // Drops what is queued in both directions.
    virtual void purge() = 0;
    virtual qint64 bytesAvailable() const = 0;
    // What is there now, at most maxSize bytes; -1 on error.
    virtual qint64 read(char *data, qint64 maxSize) = 0;
    // Writes and waits for completion; returns the bytes that went out (fewer on
    // a time-out, -1 on an error with nothing written).
    virtual qint64 write(const char *data, qint64 size, int timeoutMs) = 0;
    // Reads and clears the device's error state.
    virtual void clearError() = 0;

Q_SIGNALS:
    void readyRead();
};

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

// The serial transport, "COM(Varo) port". A worker thread owns the device:
// it drains the send ring to the device and hands every block it reads (at
// most 64 bytes) to CLinkPort::receivedBytes, which parses on that thread and
// waits while the user-interface thread dispatches each payload.
//
// All members are called on the thread the port lives on (the link's thread).
// close() and applySettings() wait for the worker; while waiting they run the
// payload dispatches the worker is waiting for. close() may be called from
// inside such a dispatch (payloads the reader parsed after it are dropped);
// applySettings() must not be.
class CSerialPort : public QObject, public LinkTransport
{
    Q_OBJECT
public:
    static constexpr int RingSize = 4096;
    static constexpr int RingCapacity = RingSize - 1; // one place stays free: equal positions mean empty
    static constexpr int ReadBlock = 64;
    static constexpr int WriteTimeoutMs = 1000;

    static QString portName(); // "COM(Varo) port", also the settings section

    explicit CSerialPort(CLinkPort &link, QObject *parent = nullptr);
    ~CSerialPort() override;

    // The device for the next open (default: QSerialPort). Called on the worker thread.
    void setDeviceFactory(SerialDeviceFactory factory);

    // Opens the device of the stored settings, programs it and starts the worker.
    bool open();
    // Stops the worker and closes the device; returns after the worker has ended,
    // also when a write is in progress (bounded by the write time-out).
    void close();
    // Reads the stored settings, runs the link's timing for their baud rate
    // and, while the device is open, programs it (false when it refuses).
    // While the port is closed only the timing changes.
    bool applySettings();

    bool isOpen() const override { return m_open.load(); }
    // Queues one whole frame: false when the port is not open or the ring has
    // fewer free places than the frame (nothing of it is queued then).
    bool sendFrame(const QByteArray &frame) override;
    void setPacing(int pauseMs, int maxWrite) override;

    int freeSpace() const;
    int pacingPause() const { return m_pauseMs.load(); }
    int pacingMaxWrite() const { return m_maxWrite.load(); }

    // Whether the platform can hold output while DSR is low (DSR output flow
    // control with the DTR handshake). Without it the "DTR/DSR" flag keeps DTR
    // raised while the port is open, as without the flag.
    static bool dsrFlowControlAvailable();

Q_SIGNALS:
    // True when open() or close() start to wait for the device and the worker
    // thread, false when they are done; always in pairs.
    void busyChanged(bool busy);

private:
    friend class SerialWorker;

    bool runOnWorker(std::function<bool()> task);
    // Waits until done() holds, running the link's pending payload dispatches
    // while the worker is inside a delivery (it waits for this thread then).
    void waitFor(const std::function<bool()> &done);
    void startWorker();
    void stopWorker();

    // Worker side.
    void enterDelivery();
    void leaveDelivery();

    CLinkPort &m_link;
    SerialDeviceFactory m_factory;
    std::atomic<bool> m_open{false};
    std::atomic<int> m_pauseMs{0};
    std::atomic<int> m_maxWrite{0};

    QThread *m_thread = nullptr;
    SerialWorker *m_worker = nullptr;

    // The send ring: the sender moves only the write position, the worker only
    // the read position, each published under m_ringLock.
    mutable QMutex m_ringLock;
    std::array<char, RingSize> m_ring{};
    int m_writePos = 0;
    int m_readPos = 0;
    // Set while a drain request is posted and not yet taken by the worker.
    std::atomic<bool> m_wakePosted{false};

    // Hand-shake between this thread and the worker.
    QMutex m_stateLock;
    QWaitCondition m_stateChanged;
    bool m_inDelivery = false;
    bool m_workerEnded = true;
};
