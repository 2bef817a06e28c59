#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Status codes of stations and CO lines, stored as received.
namespace Status {
constexpr quint8 ST_NOCHANGE = 0x00;
constexpr quint8 ST_INVALID = 0x01;
constexpr quint8 ST_BUSY = 0x10;
constexpr quint8 ST_HOLD = 0x11;
constexpr quint8 ST_RING = 0x12;
constexpr quint8 STEXT_IDLE = 0x40;
constexpr quint8 STEXT_IDLE_WITH_DND = 0x41;
constexpr quint8 STEXT_IDLE_WITH_RING = 0x42;
constexpr quint8 STEXT_ICM = 0x43;
constexpr quint8 STEXT_COL = 0x44;
constexpr quint8 STEXT_PGM = 0x45;
constexpr quint8 STTRK_IDLE = 0x80;
constexpr quint8 STTRK_HOLD_RECALL = 0x81;
constexpr quint8 STTRK_HOLD_ATDRECALL = 0x82;
constexpr quint8 STTRK_IDLE_WITH_DISABLE = 0x83;

// "ST_BUSY", ... or "Unknown(0x%02X)".
QString name(quint8 code);
// Label key of the time since the status start, or empty when no time is shown.
QString timeLabelKey(quint8 code);
} // namespace Status

constexpr quint32 PORT_KIND_EXT = 0x00010001;
constexpr quint32 PORT_KIND_TRK = 0x00010002;
constexpr quint16 HINT_IDENTITY = 0x8001;
constexpr quint16 HINT_STATUS = 0x8002;

// Digit nibble strings: one code a byte, only non-zero codes stored.
namespace Nibbles {
// A 16-bit number of four nibbles, most significant first, zero nibbles skipped.
QByteArray fromNumber16(quint16 value);
// The last four characters right-aligned; 0 becomes 0xFFFF (no number).
quint16 toNumber16(const QString &text);
// Characters of the codes, "." for a code without one.
QString toText(const QByteArray &codes);
} // namespace Nibbles

// Base of the station and CO line records.
class CPortStatus
{
public:
    enum Flag : quint32 { DND = 0x1, OutgoingDisabled = 0x2 };

    CPortStatus(quint32 kind, quint16 index)
        : kind(kind)
        , index(index)
    {
    }
    virtual ~CPortStatus();

    // Base rule: DND and outgoing-disable marks, then the code is stored.
    void applyBaseRule(quint8 code);
    bool isPresent() const { return presence != 0xFF; }
    QString numberText() const { return Nibbles::toText(number); }

    quint32 kind;
    quint16 index;
    quint8 status = Status::ST_INVALID;
    QDateTime statusStart;
    QByteArray number;
    quint8 presence = 0xFC;
    bool infoReceived = false;
    quint32 flags = 0;
};

class CExtStatus : public CPortStatus
{
public:
    explicit CExtStatus(quint16 index)
        : CPortStatus(PORT_KIND_EXT, index)
    {
    }
    // The six unknown-at-start fields go back to 0xFF.
    void clearVolatile();

    quint8 associatedKind = 0xFF;
    quint16 associatedIndex = 0xFFFF;
    quint8 meskState = 0xFF;
    quint8 wakeupMode = 0xFF;
    quint8 wakeupHour = 0xFF;
    quint8 wakeupMinute = 0xFF;
    quint8 tempCos = 0xFF;
    QString fullName;
    quint32 callOperationState = 0;
    QString name;
};

class CTrkStatus : public CPortStatus
{
public:
    explicit CTrkStatus(quint16 index)
        : CPortStatus(PORT_KIND_TRK, index)
    {
    }
    void clearVolatile();

    QString callerId;
    QByteArray retrieveCode;
    quint16 coNameNumber = 0;
    quint8 associatedKind = 0xFF;
    quint16 associatedIndex = 0xFFFF;
    quint8 meskState = 0xFF;
};
