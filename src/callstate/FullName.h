#pragma once

#include <QString>

// A full name is first, middle and last name joined by single spaces; empty
// parts add nothing. Used by the directory windows and dialogs, the station
// table and the listings.
inline QString fullName(const QString &first, const QString &middle, const QString &last)
{
    QString result = first;
    if (!first.isEmpty() && (!middle.isEmpty() || !last.isEmpty()))
        result += QLatin1Char(' ');
    result += middle;
    if (!middle.isEmpty() && !last.isEmpty())
        result += QLatin1Char(' ');
    result += last;
    return result;
}
