#pragma once

#include <QString>

// Queue types of a waiting call.
namespace QueueType {
constexpr int None = -1;
constexpr int QLTN_TRK_INCOMING = 0;
constexpr int QLTN_TRK_XFER = 1;
constexpr int QLTN_TRK_RECALL = 2;
constexpr int QLTN_TRK_ATDRECALL = 3;
constexpr int QLTN_TRK_HOLD = 4;
constexpr int QLTN_EXT_RING = 5;
} // namespace QueueType

// One update of the call queue: add (or refresh) or remove the entry of a CO
// line (types 0 to 4, 0-based line index) or a station (type 5, 0-based
// station index).
struct CQueueEvent
{
    qint32 type = QueueType::None;
    quint16 index = 0;
    bool add = false;
    QString description;
    // Who is calling, when a directory knows the caller's digits; empty otherwise.
    QString callerName;
};
