#include "directories/TextExport.h"

#include "directories/CharacterCut.h"

namespace {
const QString CrLf = QStringLiteral("\r\n");
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
        const qsizetype end = CharacterCut::advance(memo, pos, window);
        const qsizetype lf = memo.indexOf(QLatin1Char('\n'), pos);
        if (lf >= 0 && lf < end) {
            pieces.append(memo.mid(pos, lf - pos));
            pos = lf + 1;
            continue;
        }
        qsizetype n = window;
        if (oddCut && CharacterCut::count(memo.mid(pos, end - pos)) == window) {
            int printable = 0;
            for (qsizetype i = pos; i < end; ++i)
                printable += memo.at(i).unicode() >= 32 && memo.at(i).unicode() <= 126;
            if (printable % 2)
                n = window - 1;
        }
        const qsizetype next = CharacterCut::advance(memo, pos, n);
        pieces.append(memo.mid(pos, next - pos));
        pos = next;
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
    qsizetype namePos = 0;
    qsizetype numberPos = 0;
    for (qsizetype n = 0; namePos < r.name.size() || numberPos < r.phoneNo.size() || n < pieces.size(); ++n) {
        const qsizetype nameEnd = CharacterCut::advance(r.name, namePos, 25);
        const qsizetype numberEnd = CharacterCut::advance(r.phoneNo, numberPos, 25);
        out += QLatin1Char(' ') + left(r.name.mid(namePos, nameEnd - namePos), 25) + QStringLiteral("  ")
               + left(r.phoneNo.mid(numberPos, numberEnd - numberPos), 25) + QStringLiteral("  ") + pieces.value(n)
               + CrLf;
        namePos = nameEnd;
        numberPos = numberEnd;
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

QString TextExport::left(const QString &text, int width)
{
    return CharacterCut::padded(text, width);
}
