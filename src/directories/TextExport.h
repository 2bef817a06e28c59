#pragma once

#include "directories/DirectoryRecords.h"

#include <QByteArray>
#include <QStringList>

// The fixed-width text files of the export, and the pieces the listings
// share with them: the centred title, the rules and the left-aligned fields.
// Widths count characters; a piece never cuts a character in two.
class TextExport
{
public:
    static QByteArray speedBins(const QList<DirectoryRecords::SpeedBin> &records);
    static QByteArray phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records);

    static const char *speedBinTitle() { return "< Speed Bin Database >"; }
    static const char *phoneNoTitle() { return "< Phone Number Database >"; }
    static const char *speedBinHeading() { return " SpdNo Name             Number                   COType CONo Memo"; }
    static const char *phoneNoHeading() { return " Name                       PhoneNo                    Memo"; }

    // 40 - length/2 spaces, the title, CR LF and an empty line.
    static QString titleLines(const QString &title);
    static QString heavyRule() { return QString(80, QLatin1Char('=')) + QStringLiteral("\r\n"); }
    static QString lightRule() { return QString(80, QLatin1Char('-')) + QStringLiteral("\r\n"); }
    // text padded with spaces to width characters ("%-Ns"); a longer text stays whole.
    static QString left(const QString &text, int width);

    // Cuts a memo into pieces of window characters (never inside one); a line feed inside the
    // window ends a piece early and is skipped. With oddCut, a full window
    // holding an odd number of printable ASCII characters gives one
    // character less (the listings' rule).
    static QStringList memoPieces(const QString &memo, int window, bool oddCut = false);

    // The lines of one record, each with its CR LF, appended to out or returned.
    static void appendSpeedBinLines(QString &out, const DirectoryRecords::SpeedBin &record, int memoWindow, bool oddCut);
    static void appendPhoneNoLines(QString &out, const DirectoryRecords::PhoneNo &record, int memoWindow, bool oddCut);
    static QString speedBinLines(const DirectoryRecords::SpeedBin &record, int memoWindow, bool oddCut);
    static QString phoneNoLines(const DirectoryRecords::PhoneNo &record, int memoWindow, bool oddCut);
};
