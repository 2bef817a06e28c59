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

namespace {
// text, then blanks up to width characters.
void appendPadded(QString &out, QStringView text, qsizetype width)
{
    out.append(text);
    qsizetype chars = 0;
    for (qsizetype i = 0; i < text.size() && chars < width; ++i)
        chars += !(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate());
    if (chars < width)
        out.append(QString(width - chars, QLatin1Char(' ')));
}
} // namespace

void TextExport::appendSpeedBinLines(QString &out, const DirectoryRecords::SpeedBin &r, int memoWindow, bool oddCut)
{
    const QStringList pieces = memoPieces(r.memo, memoWindow, oddCut);
    out.append(QLatin1Char(' '));
    appendPadded(out, QString::number(r.spdNo), 5);
    out.append(QLatin1Char(' '));
    appendPadded(out, r.name, 16);
    out.append(QLatin1Char(' '));
    appendPadded(out, r.number, 24);
    out.append(QLatin1Char(' '));
    appendPadded(out, r.coType, 5);
    out.append(QLatin1String("  "));
    appendPadded(out, DirectoryRecords::coNumberText(r.coType, r.coNo), 4);
    out.append(QLatin1Char(' '));
    if (!pieces.isEmpty())
        out.append(pieces.first());
    out.append(CrLf);
    // Five empty fields: 1 + 5 + 1 + 16 + 1 + 24 + 1 + 5 + 2 + 4 + 1 characters.
    static const QString blank(61, QLatin1Char(' '));
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        out.append(blank);
        out.append(pieces.at(i));
        out.append(CrLf);
    }
}

void TextExport::appendPhoneNoLines(QString &out, const DirectoryRecords::PhoneNo &r, int memoWindow, bool oddCut)
{
    const QStringList pieces = memoPieces(r.memo, memoWindow, oddCut);
    qsizetype namePos = 0;
    qsizetype numberPos = 0;
    for (qsizetype n = 0; namePos < r.name.size() || numberPos < r.phoneNo.size() || n < pieces.size(); ++n) {
        const qsizetype nameEnd = CharacterCut::advance(r.name, namePos, 25);
        const qsizetype numberEnd = CharacterCut::advance(r.phoneNo, numberPos, 25);
        out.append(QLatin1Char(' '));
        appendPadded(out, QStringView(r.name).mid(namePos, nameEnd - namePos), 25);
        out.append(QLatin1String("  "));
        appendPadded(out, QStringView(r.phoneNo).mid(numberPos, numberEnd - numberPos), 25);
        out.append(QLatin1String("  "));
        if (n < pieces.size())
            out.append(pieces.at(n));
        out.append(CrLf);
        namePos = nameEnd;
        numberPos = numberEnd;
    }
}

QString TextExport::speedBinLines(const DirectoryRecords::SpeedBin &r, int memoWindow, bool oddCut)
{
    QString out;
    appendSpeedBinLines(out, r, memoWindow, oddCut);
    return out;
}

QString TextExport::phoneNoLines(const DirectoryRecords::PhoneNo &r, int memoWindow, bool oddCut)
{
    QString out;
    appendPhoneNoLines(out, r, memoWindow, oddCut);
    return out;
}

QByteArray TextExport::speedBins(const QList<DirectoryRecords::SpeedBin> &records)
{
    QString out = titleLines(QString::fromLatin1(speedBinTitle())) + heavyRule()
                  + QString::fromLatin1(speedBinHeading()) + CrLf + lightRule();
    out.reserve(out.size() + records.size() * 96);
    for (const auto &r : records)
        appendSpeedBinLines(out, r, 19, false);
    out += heavyRule();
    return out.toUtf8();
}

QByteArray TextExport::phoneNumbers(const QList<DirectoryRecords::PhoneNo> &records)
{
    QString out = titleLines(QString::fromLatin1(phoneNoTitle())) + heavyRule()
                  + QString::fromLatin1(phoneNoHeading()) + CrLf + lightRule();
    out.reserve(out.size() + records.size() * 96);
    for (const auto &r : records)
        appendPhoneNoLines(out, r, 25, false);
    out += heavyRule();
    return out.toUtf8();
}

QString TextExport::left(const QString &text, int width)
{
    return CharacterCut::padded(text, width);
}
