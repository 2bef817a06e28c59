#include "PortStatus.h"

#include "link/SpeedBinRecord.h"

namespace Status {

QString name(quint8 code)
{
    switch (code) {
    case ST_NOCHANGE: return QStringLiteral("ST_NOCHANGE");
    case ST_INVALID: return QStringLiteral("ST_INVALID");
    case ST_BUSY: return QStringLiteral("ST_BUSY");
    case ST_HOLD: return QStringLiteral("ST_HOLD");
    case ST_RING: return QStringLiteral("ST_RING");
    case STEXT_IDLE: return QStringLiteral("STEXT_IDLE");
    case STEXT_IDLE_WITH_DND: return QStringLiteral("STEXT_IDLE_WITH_DND");
    case STEXT_IDLE_WITH_RING: return QStringLiteral("STEXT_IDLE_WITH_RING");
    case STEXT_ICM: return QStringLiteral("STEXT_ICM");
    case STEXT_COL: return QStringLiteral("STEXT_COL");
    case STEXT_PGM: return QStringLiteral("STEXT_PGM");
    case STTRK_IDLE: return QStringLiteral("STTRK_IDLE");
    case STTRK_HOLD_RECALL: return QStringLiteral("STTRK_HOLD_RECALL");
    case STTRK_HOLD_ATDRECALL: return QStringLiteral("STTRK_HOLD_ATDRECALL");
    case STTRK_IDLE_WITH_DISABLE: return QStringLiteral("STTRK_IDLE_WITH_DISABLE");
    default: return QString::asprintf("Unknown(0x%02X)", code);
    }
}

QString timeLabelKey(quint8 code)
{
    switch (code) {
    case ST_INVALID: return QStringLiteral("#:invalid_time_DLO");
    case ST_HOLD: return QStringLiteral("#:hold_time_DLO");
    case ST_RING:
    case STEXT_IDLE_WITH_RING: return QStringLiteral("#:ring_time_DLO");
    case STEXT_PGM: return QStringLiteral("#:pgm_time_DLO");
    case STTRK_HOLD_RECALL:
    case STTRK_HOLD_ATDRECALL: return QStringLiteral("#:recall_time_DLO");
    default: return QString();
    }
}

} // namespace Status

namespace Nibbles {

QByteArray fromNumber16(quint16 value)
{
    QByteArray out;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const quint8 nib = (value >> shift) & 0xF;
        if (nib)
            out.append(char(nib));
    }
    return out;
}

quint16 toNumber16(const QString &text)
{
    const QString tail = text.right(4);
    quint16 value = 0;
    for (const QChar c : tail) {
        quint8 code = 0;
        if (c == QLatin1Char('#'))
            code = 0xC;
        else if (c == QLatin1Char('*'))
            code = 0xB;
        else if (c == QLatin1Char('0'))
            code = 0xA;
        else if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            code = quint8(c.unicode() - '0');
        value = quint16((value << 4) | code);
    }
    return value == 0 ? 0xFFFF : value;
}

QString toText(const QByteArray &codes)
{
    QString out;
    out.reserve(codes.size());
    for (const char c : codes) {
        const QChar ch = DigitCode::toChar(quint8(c));
        out += ch.isNull() ? QLatin1Char('.') : ch;
    }
    return out;
}

} // namespace Nibbles

CPortStatus::~CPortStatus() = default;

void CPortStatus::applyBaseRule(quint8 code)
{
    using namespace Status;
    const quint8 old = status;
    if (code == STEXT_IDLE_WITH_DND)
        flags |= DND;
    else if (code == STEXT_IDLE && old == STEXT_IDLE_WITH_DND)
        flags &= ~quint32(DND);
    else if (code == STEXT_IDLE && old == ST_BUSY)
        flags &= ~quint32(DND);
    else if (code == STTRK_IDLE_WITH_DISABLE)
        flags |= OutgoingDisabled;
    else if (code == STTRK_IDLE && old == STTRK_IDLE_WITH_DISABLE)
        flags &= ~quint32(OutgoingDisabled);
    status = code;
}

void CExtStatus::clearVolatile()
{
    associatedKind = 0xFF;
    associatedIndex = 0xFFFF;
    meskState = 0xFF;
    wakeupMode = 0xFF;
    wakeupHour = 0xFF;
    wakeupMinute = 0xFF;
    tempCos = 0xFF;
}

void CTrkStatus::clearVolatile()
{
    associatedKind = 0xFF;
    associatedIndex = 0xFFFF;
    meskState = 0xFF;
}
