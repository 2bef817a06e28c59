#pragma once

#include "link/EventHandler.h"

#include <QDateTime>
#include <QString>

struct SpeedBinRecord;

// Receiver of the system information, administration and speed-bin replies.
class SysInfoSink
{
public:
    virtual ~SysInfoSink();
    virtual void onStationCount(quint16 count) = 0;
    virtual void onLineCount(quint16 count) = 0;
    virtual void onCodeBases(quint32 accessBase, quint16 accessCount, quint32 retrieveBase, quint16 retrieveCount) = 0;
    virtual void onOwnStation(quint16 station) = 0; // 1-based
    virtual void onMpbShortVersion(const QString &version) = 0;
    virtual void onMpbLongVersion(const QString &version) = 0;
    virtual void onNation(quint16 code, const QString &text) { Q_UNUSED(code); Q_UNUSED(text); }
    virtual void onCoNameCount(quint8 count) = 0;
    virtual void onPagingNumber(quint8 number) = 0;
    virtual void onSpeedBinRange(quint16 first, quint16 last) = 0;
    // The date and time as the PBX reported them (invalid when the bytes make no date).
    virtual void onPbxTime(const QDateTime &time) = 0;
    // 0x0601 to 0x0605.
    virtual void onAdministration(quint16 code) = 0;
    virtual void onSpeedBinEmpty(quint16 bin) = 0;
    virtual void onSpeedBinRecord(const SpeedBinRecord &record) = 0;
};

class SysInfoDecoder : public EventHandler
{
public:
    explicit SysInfoDecoder(SysInfoSink *sink = nullptr)
        : m_sink(sink)
    {
    }
    void setSink(SysInfoSink *sink) { m_sink = sink; }
    quint16 handleEvent(quint16 code, const QByteArray &payload, int offset) override;

private:
    SysInfoSink *m_sink;
};
