#include "TimerHost.h"


TimerHost::~TimerHost() = default;

bool TimerHost::start(int id, int ms)
{
    if (doStart(id, ms))
        return true;
    fire(id);
    return false;
}

void TimerHost::setHandler(int id, Handler handler)
{
    m_handlers.insert(id, std::move(handler));
}

void TimerHost::clearHandler(int id)
{
    m_handlers.remove(id);
}

void TimerHost::fire(int id)
{
    const auto it = m_handlers.constFind(id);
    if (it == m_handlers.constEnd())
        return;
    // Copy: the handler may replace itself.
    const Handler handler = it.value();
    if (handler)
        handler(id);
}
