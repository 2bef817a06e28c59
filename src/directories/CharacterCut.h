#pragma once

#include <QString>

// Cuts texts for the fixed-width files (export, listings) and for the sizes of
// the directory fields. A character outside the Basic Multilingual Plane is a
// surrogate pair in a QString and one character to the operator; no cut ever
// falls between its halves, so every piece converts to valid UTF-8 alone.
class CharacterCut
{
public:
    // The position n characters after pos, or the end of the text.
    static qsizetype advance(const QString &text, qsizetype pos, qsizetype n);
    // Characters in text (a surrogate pair counts once).
    static qsizetype count(const QString &text);
    // At most n characters of text from pos.
    static QString mid(const QString &text, qsizetype pos, qsizetype n);
    // text padded with blanks to width characters ("%-Ns"); a longer text stays whole.
    static QString padded(const QString &text, qsizetype width);
    // The longest start of text that fits into units UTF-16 units (the size of
    // a directory field) without splitting a character.
    static QString fitUnits(const QString &text, qsizetype units);
};
