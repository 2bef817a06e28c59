#pragma once

#include "link/EventHandler.h"

#include <QByteArray>
#include <QString>

// Reading the big-endian fields of events; every read is bounds-checked by its caller.
namespace EventBytes {

inline quint8 u8(const QByteArray &p, int i)
{
    return quint8(p.at(i));
}

inline quint16 u16(const QByteArray &p, int i)
{
    return quint16((u8(p, i) << 8) | u8(p, i + 1));
}

inline quint32 u24(const QByteArray &p, int i)
{
    return (quint32(u8(p, i)) << 16) | (quint32(u8(p, i + 1)) << 8) | u8(p, i + 2);
}

inline quint32 u32(const QByteArray &p, int i)
{
    return (quint32(u16(p, i)) << 16) | u16(p, i + 2);
}

// Text from begin up to end or a zero byte.
inline QString latinUntilZero(const QByteArray &p, int begin, int end)
{
    int stop = begin;
    while (stop < end && p.at(stop) != 0)
        ++stop;
    return QString::fromLatin1(p.constData() + begin, stop - begin);
}

// Size of a variable-length event with its length byte at lengthAt: kNotMine
// when the byte is not there, else the larger of declared + 3 and the minimum.
inline quint16 variableSize(const QByteArray &p, int offset, int lengthAt, int minimum)
{
    if (int(p.size()) < offset + lengthAt + 1)
        return kNotMine;
    return quint16(qMax(u8(p, offset + lengthAt) + 3, minimum));
}

inline bool holds(const QByteArray &p, int offset, int size)
{
    return int(p.size()) - offset >= size;
}

} // namespace EventBytes
