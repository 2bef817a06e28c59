#include "link/EventHandler.h"
#include "link/KeyTelephoneSink.h"
#include "link/LogEventDecoder.h"
#include "link/SysInfoDecoder.h"

#include "link/SpeedBinRecord.h"
#include "base/Trace.h"

#include <QLocale>

EventHandler::~EventHandler() = default;
LogEventSink::~LogEventSink() = default;
SysInfoSink::~SysInfoSink() = default;
KeyTelephoneSink::~KeyTelephoneSink() = default;

namespace {

quint8 u8(const QByteArray &p, int i)
{
    return quint8(p.at(i));
}

quint16 u16(const QByteArray &p, int i)
{
    return quint16((u8(p, i) << 8) | u8(p, i + 1));
}

quint32 u24(const QByteArray &p, int i)
{
    return (quint32(u8(p, i)) << 16) | (quint32(u8(p, i + 1)) << 8) | u8(p, i + 2);
}

quint32 u32(const QByteArray &p, int i)
{
    return (quint32(u16(p, i)) << 16) | u16(p, i + 2);
}

// Text from begin up to end or a zero byte.
QString textUntilZero(const QByteArray &p, int begin, int end)
{
    int stop = begin;
    while (stop < end && p.at(stop) != 0)
        ++stop;
    return QString::fromLatin1(p.constData() + begin, stop - begin);
}

} // namespace

quint16 LogEventDecoder::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    quint16 size = 0;
    switch (code) {
    case 0x0001:
    case 0x0003:
    case 0x0004:
    case 0x0006:
    case 0x0007:
    case 0x0009:
    case 0x000E:
        size = 2;
        break;
    case 0x0002:
        size = 3;
        break;
    case 0x0008:
    case 0x000C:
        size = 6;
        break;
    default:
        return kNotMine;
    }
    // An event the payload does not hold whole is passed over and counts two bytes.
    if (int(payload.size()) - offset < size)
        return 2;
    LogEventSink *sink = m_sink;
    switch (code) {
    case 0x0001:
        ZTRACE(2, "LOG_ON_ACK");
        if (sink)
            sink->onLogOnAck();
        break;
    case 0x0002: {
        const quint8 reason = u8(payload, offset + 2);
        ZTRACE(2, "LOG_ON_NAK");
        ZTRACE(2, "LOG_ON_NAK reason:%02X", reason);
        if (sink)
            sink->onLogOnNak(reason);
        break;
    }
    case 0x0003:
        ZTRACE(2, "LOG_OFF_ACK");
        if (sink)
            sink->onLogOffAck();
        break;
    case 0x0004:
        ZTRACE(2, "LOG_OFF_NAK");
        if (sink)
            sink->onLogOffNak();
        break;
    case 0x0006:
        ZTRACE(2, "LOG_ON_STATE");
        if (sink)
            sink->onLogOnState();
        break;
    case 0x0007:
        ZTRACE(2, "LOG_OFF_STATE");
        if (sink)
            sink->onLogOffState();
        break;
    case 0x0008: {
        const quint32 version = u32(payload, offset + 2);
        if (sink)
            sink->onVersion(version);
        ZTRACE(2, "LOG_Version:%08X", version);
        break;
    }
    case 0x0009:
        ZTRACE(2, "LOG_PacketMissRep");
        if (sink)
            sink->onPacketMissReport();
        break;
    case 0x000C: {
        const quint32 value = u32(payload, offset + 2);
        ZTRACE(2, "LOG_LifeTime:%08X", value);
        if (sink)
            sink->onLifeTime(value);
        break;
    }
    case 0x000E:
        ZTRACE(2, "PING_RECEIVE_FROM_Varo");
        if (sink)
            sink->onPing();
        break;
    }
    return size;
}

quint16 SysInfoDecoder::handleEvent(quint16 code, const QByteArray &payload, int offset)
{
    const int left = int(payload.size()) - offset;
    quint16 size = 0;
    switch (code) {
    case 0x0101:
    case 0x0102:
    case 0x0105:
    case 0x0A01:
        size = 4;
        break;
    case 0x0104:
        size = 12;
        break;
    case 0x0107:
        size = 8;
        break;
    case 0x010A:
    case 0x010B:
        size = 3;
        break;
    case 0x010C:
        size = 6;
        break;
    case 0x010D:
        size = 9;
        break;
    case 0x0601:
    case 0x0602:
    case 0x0603:
    case 0x0604:
    case 0x0605:
        size = 2;
        break;
    case 0x0108:
    case 0x0109:
    case 0x0A02: {
        if (left < 3)
            return kNotMine;
        const int minimum = code == 0x0108 ? 3 : code == 0x0109 ? 5 : 7;
        size = quint16(qMax(u8(payload, offset + 2) + 3, minimum));
        break;
    }
    default:
        return kNotMine;
    }
    if (left < size)
        return size;

    SysInfoSink *sink = m_sink;
    switch (code) {
    case 0x0101: {
        const quint16 n = u16(payload, offset + 2);
        ZTRACE(2, "SYSI_EXTNums:%d,", n);
        if (sink)
            sink->onStationCount(n);
        break;
    }
    case 0x0102: {
        const quint16 n = u16(payload, offset + 2);
        ZTRACE(2, "SYSI_TRKNums:%d,", n);
        if (sink)
            sink->onLineCount(n);
        break;
    }
    case 0x0104: {
        const quint32 access = u24(payload, offset + 2);
        const quint16 accessCount = u16(payload, offset + 5);
        const quint32 retrieve = u24(payload, offset + 7);
        const quint16 retrieveCount = u16(payload, offset + 10);
        ZTRACE(2, "TRKBASENumber:%6X.%2d,%6x.%2d,", access, accessCount, retrieve, retrieveCount);
        if (sink)
            sink->onCodeBases(access, accessCount, retrieve, retrieveCount);
        break;
    }
    case 0x0105: {
        const quint16 own = u16(payload, offset + 2);
        ZTRACE(2, "SYSI_MyID:%d,", own);
        if (sink)
            sink->onOwnStation(own);
        break;
    }
    case 0x0107: {
        const QString version = textUntilZero(payload, offset + 2, offset + 8);
        if (Trace::enabled())
            Trace::instance().write(2, QStringLiteral("SYSI_MpbVerS:%1,").arg(version));
        if (sink)
            sink->onMpbShortVersion(version);
        break;
    }
    case 0x0108: {
        const QString version = textUntilZero(payload, offset + 3, offset + size);
        if (Trace::enabled())
            Trace::instance().write(2, QStringLiteral("SYSI_MpbVerL:%1").arg(version));
        if (sink)
            sink->onMpbLongVersion(version);
        break;
    }
    case 0x0109: {
        const quint16 nation = u16(payload, offset + 3);
        const QString text = textUntilZero(payload, offset + 5, offset + size);
        if (Trace::enabled())
            Trace::instance().write(2, QString::asprintf("SYSI_MpbNation:[%04X]", nation) + text);
        if (sink)
            sink->onNation(nation, text);
        break;
    }
    case 0x010A: {
        const quint8 n = u8(payload, offset + 2);
        ZTRACE(2, "SYSI_CoNameNum:%d", n);
        if (sink)
            sink->onCoNameCount(n);
        break;
    }
    case 0x010B: {
        const quint8 n = u8(payload, offset + 2);
        ZTRACE(2, "SYSI_IntPageNum:%d,", n);
        if (sink)
            sink->onPagingNumber(n);
        break;
    }
    case 0x010C: {
        const quint16 first = u16(payload, offset + 2);
        const quint16 last = u16(payload, offset + 4);
        ZTRACE(2, "SPDI_SysRange:%d,%d", first, last);
        if (sink)
            sink->onSpeedBinRange(first, last);
        break;
    }
    case 0x010D: {
        const QDate date(2000 + u8(payload, offset + 2), u8(payload, offset + 3), u8(payload, offset + 4));
        const QTime time(u8(payload, offset + 6), u8(payload, offset + 7), u8(payload, offset + 8));
        const QDateTime when(date, time);
        if (Trace::enabled())
            Trace::instance().write(2, QStringLiteral("SYSI_MeskTime:")
                                           + QLocale().toString(when, QLocale::LongFormat));
        if (sink)
            sink->onPbxTime(when);
        break;
    }
    case 0x0601:
        ZTRACE(2, "ADM Enalbe");
        if (sink)
            sink->onAdministration(code);
        break;
    case 0x0602:
        ZTRACE(2, "ADM Disable");
        if (sink)
            sink->onAdministration(code);
        break;
    case 0x0603:
        ZTRACE(2, "ADM Success");
        if (sink)
            sink->onAdministration(code);
        break;
    case 0x0604:
        ZTRACE(2, "ADM Fail");
        if (sink)
            sink->onAdministration(code);
        break;
    case 0x0605:
        ZTRACE(2, "ADM Invalid Sta No");
        if (sink)
            sink->onAdministration(code);
        break;
    case 0x0A01: {
        const quint16 bin = u16(payload, offset + 2);
        ZTRACE(2, "SPDI_Empty:%d", bin);
        if (sink)
            sink->onSpeedBinEmpty(bin);
        break;
    }
    case 0x0A02: {
        const SpeedBinRecord record = SpeedBinRecord::decode(payload, offset, size);
        if (Trace::enabled())
            Trace::instance().write(2, QStringLiteral("SPDI_Rep:%1,: [CoType %2 ], Number:%3,[name:%4] ")
                                           .arg(record.bin)
                                           .arg(record.coTypeTrace(), record.number, record.name));
        if (sink)
            sink->onSpeedBinRecord(record);
        break;
    }
    }
    return size;
}
