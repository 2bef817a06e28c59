#pragma once

#include <QString>

// The font composite of a settings section. A default-constructed LogFont holds the read
// defaults of the table ("MS Sans Serif", height -13, weight 400, pitch and family 34).
struct LogFont
{
    static constexpr int MaxFaceNameLength = 31;

    int height = -13;
    int width = 0;
    int escapement = 0;
    int orientation = 0;
    int weight = 400;
    int italic = 0;
    int underline = 0;
    int strikeOut = 0;
    int charSet = 0;
    int outPrecision = 1;
    int clipPrecision = 2;
    int quality = 1;
    int pitchAndFamily = 34;
    QString faceName = QStringLiteral("MS Sans Serif");

    friend bool operator==(const LogFont &, const LogFont &) = default;

    // Cuts a face name to 31 characters (never inside a surrogate pair).
    static QString cutFaceName(const QString &name);
};
