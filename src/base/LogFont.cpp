#include "LogFont.h"

QString LogFont::cutFaceName(const QString &name)
{
    if (name.size() <= MaxFaceNameLength)
        return name;
    int n = MaxFaceNameLength;
    if (name.at(n - 1).isHighSurrogate())
        --n;
    return name.left(n);
}
