#pragma once

#include <QDateTime>
#include <QString>

namespace pbxsim {

// What the simulated PBX is: its size, numbering, versions and the timings of
// its call model. Everything here can be set from the command line.
struct PbxConfig
{
    int stations = 48;   // 1 to 2000
    int lines = 16;      // 0 to 400
    int ownStation = 1;  // the attendant's port, 1-based
    quint16 speedFirst = 2000;
    quint16 speedLast = 2099;
    // Low 16 bits at 0x0103 or more: stations are downloaded with the presence form.
    quint32 version = 0x00010104;
    QString shortVersion = QStringLiteral("ZS0104");
    QString longVersion = QStringLiteral("ZS-KTS 1.04 (simulated)");
    quint16 nationCode = 0x0001;
    QString nationText = QStringLiteral("INTERNATIONAL");
    int coNames = -1;    // -1: one name per line, at most 32
    quint8 paging = 4;   // internal paging zones
    int recallMs = 30000;       // a held line recalls after this
    int ringTimeoutMs = 45000;  // an unanswered caller gives up after this
    int answerDelayMs = 2000;   // a rung station answers after this
    int talkMinMs = 20000;      // calls between other parties last this long ...
    int talkMaxMs = 90000;      // ... up to this
    int dialTimeoutMs = 3000;   // an outgoing call is connected this long after its last digit
    int pagingMs = 20000;       // a page ends by itself after this
    int pingIntervalMs = 60000; // 0: no pings
    int pingTimeoutMs = 10000;
    QDateTime clockStart;       // the PBX clock at start; invalid: the system clock

    static constexpr quint32 kOldVersion = 0x00010102;
    static constexpr int kMaxStations = 2000;
    static constexpr int kMaxLines = 400;

    int coNameCount() const { return coNames >= 0 ? coNames : qMin(lines, 32); }
};

} // namespace pbxsim
