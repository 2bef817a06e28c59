#include "directories/CharacterCut.h"

namespace {
bool pairAt(const QString &text, qsizetype pos)
{
    return pos + 1 < text.size() && text.at(pos).isHighSurrogate() && text.at(pos + 1).isLowSurrogate();
}
} // namespace

qsizetype CharacterCut::advance(const QString &text, qsizetype pos, qsizetype n)
{
    while (n-- > 0 && pos < text.size())
        pos += pairAt(text, pos) ? 2 : 1;
    return qMin(pos, text.size());
}

qsizetype CharacterCut::count(const QString &text)
{
    qsizetype n = 0;
    for (qsizetype pos = 0; pos < text.size(); pos += pairAt(text, pos) ? 2 : 1)
        ++n;
    return n;
}

QString CharacterCut::mid(const QString &text, qsizetype pos, qsizetype n)
{
    if (pos >= text.size())
        return {};
    return text.mid(pos, advance(text, pos, n) - pos);
}

QString CharacterCut::padded(const QString &text, qsizetype width)
{
    const qsizetype missing = width - count(text);
    return missing > 0 ? text + QString(missing, QLatin1Char(' ')) : text;
}

QString CharacterCut::fitUnits(const QString &text, qsizetype units)
{
    if (text.size() <= units)
        return text;
    if (units <= 0)
        return {};
    return text.left(pairAt(text, units - 1) ? units - 1 : units);
}
