#include "QtTimerHost.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

QtTimerHost::QtTimerHost(QObject *parent)
    : QObject(parent)
{
}

QtTimerHost::~QtTimerHost() = default;

QTimer *QtTimerHost::timerFor(int id)
{
    QTimer *&timer = m_timers[id];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { fire(id); });
    }
    return timer;
}

bool QtTimerHost::doStart(int id, int ms)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id, ms] { start(id, ms); }, Qt::QueuedConnection);
        return true;
    }
    const int scaled = m_scale == 1.0 ? ms : qMax(1, int(ms * m_scale));
    timerFor(id)->start(scaled);
    return true;
}

void QtTimerHost::stop(int id)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, [this, id] { stop(id); }, Qt::QueuedConnection);
        return;
    }
    if (QTimer *timer = m_timers.value(id))
        timer->stop();
}

bool QtTimerHost::isActive(int id) const
{
    const QTimer *timer = m_timers.value(id);
    return timer && timer->isActive();
}
