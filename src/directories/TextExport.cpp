#include "directories/TextExport.h"

namespace {
const QString CrLf = QStringLiteral("\r\n");

// n characters from pos, without splitting a surrogate pair at the end.
qsizetype pieceLength(const QString &text, qsizetype pos, qsizetype n)
{
    n = qMin(n, text.size() - pos);
    if (n > 1 && pos + n < text.size() && text.at(pos + n - 1).isHighSurrogate())
        --n;
    return n;
}
} // namespace

QString TextExport::titleLines(const QString &title)
{
    return QString(qMax<qsizetype>(0, 40 - title.size() / 2), QLatin1Char(' ')) + title + CrLf + CrLf;
}

QStringList TextExport::memoPieces(const QString &memo, int window, bool oddCut)
{
    QStringList pieces;
    qsizetype pos = 0;
    while (pos < memo.size()) {
        const QString win = memo.mid(pos, window);
        const qsizetype lf = win.indexOf(QLatin1Char('\n'));
        if (lf >= 0) {
            pieces.append(win.left(lf));
            pos += lf + 1;
            continue;
        }
        qsizetype n = window;
        if (oddCut && win.size() == window) {
            int printable = 0;
            for (QChar c : win)
                printable += c.unicode() >= 32 && c.unicode() <= 126;
            if (printable % 2)
                n = window - 1;
        }
        n = pieceLength(memo, pos, n);
        pieces.append(memo.mid(pos, n));
        pos += n;
    }
    return pieces;
}

QString TextExport::speedBinLines(const DirectoryRecords::SpeedBin &r, int memoWindow, bool oddCut)
{
    const QStringList pieces = memoPieces(r.memo, memoWindow, oddCut);
    QString out = QLatin1Char(' ') + left(QString::number(r.spdNo), 5) + QLatin1Char(' ') + left(r.name, 16)
                  + QLatin1Char(' ') + left(r.number, 24) + QLatin1Char(' ') + left(r.coType, 5) + QStringLiteral("  ")
                  + left(DirectoryRecords::coNumberText(r.coType, r.coNo), 4) + QLatin1Char(' ') + pieces.value(0) + CrLf;
    const QString blank = QLatin1Char(' ') + left({}, 5) + QLatin1Char(' ') + left({}, 16) + QLatin1Char(' ')
                          + left({}, 24) + QLatin1Char(' ') + left({}, 5) + QStringLiteral("  ") + left({}, 4)
                          + QLatin1Char(' ');
    for (qsizetype i = 1; i < pieces.size(); ++i)
        out += blank + pieces.at(i) + CrLf;
    return out;
}

QString TextExport::phoneNoLines(const DirectoryRecords::PhoneNo &r, int memoWindow, bool oddCut)
{
    const QStringList pieces = memoPieces(r.memo, memoWindow, oddCut);
    QString out;
    for (qsizetype n = 0; 25 * n < r.name.size() || 25 * n < r.phoneNo.size() || n < pieces.size(); ++n) {
        out += QLatin1Char(' ') + left(r.name.mid(25 * n, 25), 25) + QStringLiteral("  ")
               + left(r.phoneNo.mid(25 * n, 25), 25) + QStringLiteral("  ") + pieces.value(n) + CrLf;
    }
    return out;
}

QByteArray TextExport::speedBins(const QList<DirectoryRecords::SpeedBin> &records)
{
    QString out = titleLines(QString::fromLatin1(speedBinTitle())) + heavyRule()
                  + QString::fromLatin1(speedBinHeading()) + CrLf + lightRule();
    for (const auto &r : records)
        out += speedBinLines(r, 19, false);
    out += heavyRule();
    return out.toUtf8();
}

QByteArray TextExport::phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records)
{
    QString out = titleLines(QString::fromLatin1(phoneNoTitle())) + heavyRule()
                  + QString::fromLatin1(phoneNoHeading()) + CrLf + lightRule();
    for (const auto &r : records)
        out += phoneNoLines(r, 25, false);
    out += heavyRule();
    return out.toUtf8();
}
