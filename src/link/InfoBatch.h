#pragma once

#include "link/CLinkRequest.h"

#include <QList>

class CLinkPort;

// Batched station (0x0305 / 0x0309) or CO line (0x0405) information requests:
// at most 15 items a request; the last item sends at once.
class InfoBatch
{
public:
    enum Kind { Stations, CoLines };

    InfoBatch(CLinkPort &link, Kind kind);

    // number: the 1-based station port or CO line number. Returns false when a
    // request that this item caused to be sent failed.
    bool add(quint16 number, bool last);
    int requestsSent() const { return m_requests; }
    // The station item code by the PBX version: 0x0305 below 0x0103, else 0x0309.
    static quint16 stationItemCode(quint32 pbxVersion);

private:
    bool flush();

    CLinkRequest m_request;
    Kind m_kind;
    quint16 m_itemCode;
    QList<quint16> m_numbers;
    int m_requests = 0;
};
