#include "InfoBatch.h"

#include "link/CLinkPort.h"
#include "base/Trace.h"

InfoBatch::InfoBatch(CLinkPort &link, Kind kind)
    : m_request(link)
    , m_kind(kind)
    , m_itemCode(kind == Stations ? stationItemCode(link.pbxVersion()) : quint16(0x0405))
{
}

quint16 InfoBatch::stationItemCode(quint32 pbxVersion)
{
    return (pbxVersion & 0xFFFF) < 259 ? quint16(0x0305) : quint16(0x0309);
}

bool InfoBatch::add(quint16 number, bool last)
{
    bool ok = true;
    if (m_request.size() >= 60)
        ok = flush();
    m_request.append16(m_itemCode);
    m_request.append16(number);
    m_numbers.append(number);
    if (last)
        ok = flush() && ok;
    return ok;
}

bool InfoBatch::flush()
{
    if (m_request.isEmpty())
        return true;
    if (Trace::enabled()) {
        QString line;
        if (m_kind == Stations)
            line = m_itemCode == 0x0305 ? QStringLiteral("EXTI_Multi1:") : QStringLiteral("EXTI_Multi3:");
        else
            line = QStringLiteral("TRKI_Conamebin:");
        for (const quint16 n : m_numbers)
            line += QString::asprintf(m_kind == Stations ? "%04d," : "%03d,", n);
        Trace::instance().write(1, line);
    }
    m_numbers.clear();
    ++m_requests;
    return m_request.send();
}
