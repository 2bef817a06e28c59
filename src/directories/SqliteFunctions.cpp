#include "directories/SqliteFunctions.h"

#include <QCollator>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <sqlite3.h>

namespace {
// One token of a pattern: a literal character, any character, a digit, a set, or a run of any text.
struct Token
{
    enum Kind { Literal, One, Digit, Set, Star } kind;
    QString chars;       // Literal: the folded character; Set: the folded members
    QList<QPair<QChar, QChar>> ranges; // Set: folded ranges
    bool negated = false;
};

QString fold(const QString &s)
{
    return s.toCaseFolded();
}

QList<Token> tokenize(const QString &pattern)
{
    QList<Token> tokens;
    const QString p = fold(pattern);
    for (qsizetype i = 0; i < p.size(); ++i) {
        const QChar c = p[i];
        if (c == QLatin1Char('*')) {
            if (tokens.isEmpty() || tokens.last().kind != Token::Star)
                tokens.append({Token::Star, {}, {}, false});
        } else if (c == QLatin1Char('?')) {
            tokens.append({Token::One, {}, {}, false});
        } else if (c == QLatin1Char('#')) {
            tokens.append({Token::Digit, {}, {}, false});
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = p.indexOf(QLatin1Char(']'), i + 2 <= p.size() ? i + 2 : p.size());
            // "[]" and an unclosed "[" are the character itself.
            if (close < 0 || (i + 1 < p.size() && p[i + 1] == QLatin1Char(']'))) {
                tokens.append({Token::Literal, QString(c), {}, false});
                continue;
            }
            Token t{Token::Set, {}, {}, false};
            qsizetype j = i + 1;
            if (p[j] == QLatin1Char('!') && j + 1 < close) {
                t.negated = true;
                ++j;
            }
            for (; j < close; ++j) {
                if (j + 2 < close && p[j + 1] == QLatin1Char('-')) {
                    t.ranges.append({p[j], p[j + 2]});
                    j += 2;
                } else {
                    t.chars.append(p[j]);
                }
            }
            tokens.append(t);
            i = close;
        } else {
            tokens.append({Token::Literal, QString(c), {}, false});
        }
    }
    return tokens;
}

bool matchesOne(const Token &t, QChar c)
{
    switch (t.kind) {
    case Token::Literal: return t.chars[0] == c;
    case Token::One: return true;
    case Token::Digit: return c.isDigit();
    case Token::Set: {
        bool in = t.chars.contains(c);
        for (const auto &r : t.ranges)
            in = in || (c >= r.first && c <= r.second);
        return in != t.negated;
    }
    case Token::Star: return false;
    }
    return false;
}

int unicaseCollation(void *, int lengthA, const void *a, int lengthB, const void *b)
{
    return unicaseCompare(QString::fromUtf8(static_cast<const char *>(a), lengthA),
                          QString::fromUtf8(static_cast<const char *>(b), lengthB));
}

void jetLikeFunction(sqlite3_context *context, int argc, sqlite3_value **argv)
{
    if (argc != 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const auto text = [](sqlite3_value *v) {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v));
    };
    sqlite3_result_int(context, jetLikeMatch(text(argv[0]), text(argv[1])) ? 1 : 0);
}
} // namespace

bool jetLikeMatch(const QString &value, const QString &pattern)
{
    const QList<Token> tokens = tokenize(pattern);
    const QString v = fold(value);
    // Greedy match with one back-tracking point: the last star seen.
    qsizetype vi = 0, ti = 0, starToken = -1, starValue = 0;
    while (vi < v.size()) {
        if (ti < tokens.size() && tokens[ti].kind == Token::Star) {
            starToken = ti++;
            starValue = vi;
        } else if (ti < tokens.size() && matchesOne(tokens[ti], v[vi])) {
            ++ti;
            ++vi;
        } else if (starToken >= 0) {
            ti = starToken + 1;
            vi = ++starValue;
        } else {
            return false;
        }
    }
    while (ti < tokens.size() && tokens[ti].kind == Token::Star)
        ++ti;
    return ti == tokens.size();
}

int unicaseCompare(const QString &a, const QString &b)
{
    // Letters sort as the language does (Á beside A), case is ignored; texts
    // that differ only in case are equal.
    thread_local const QCollator collator = [] {
        // The C locale would compare code points: Á after Z.
        QLocale locale = QLocale::system();
        if (locale.language() == QLocale::C)
            locale = QLocale(QLocale::English, QLocale::UnitedStates);
        QCollator c(locale);
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    const int order = collator.compare(a, b);
    if (order != 0 || fold(a) == fold(b))
        return order;
    // Texts the collation cannot tell apart but that differ still have one order.
    return fold(a).compare(fold(b));
}

bool registerSqliteFunctions(QSqlDatabase &db)
{
    const QVariant v = db.driver() ? db.driver()->handle() : QVariant();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return false;
    sqlite3 *handle = *static_cast<sqlite3 *const *>(v.constData());
    if (!handle)
        return false;
    return sqlite3_create_collation_v2(handle, "UNICASE", SQLITE_UTF8, nullptr, unicaseCollation, nullptr) == SQLITE_OK
           && sqlite3_create_function_v2(handle, "jetlike", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                         jetLikeFunction, nullptr, nullptr, nullptr)
                  == SQLITE_OK;
}
