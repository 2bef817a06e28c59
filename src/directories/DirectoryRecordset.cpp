#include "directories/DirectoryRecordset.h"

#include "directories/CharacterCut.h"
#include "directories/SqliteStatement.h"

#include <QLoggingCategory>

#include <sqlite3.h>

Q_LOGGING_CATEGORY(lcRecordset, "zarto.directories.recordset")

namespace {

// Splits a filter or sort text into words, quoted texts and operators.
struct Lexeme
{
    enum Kind { Word, Number, String, Op, Open, Close, Comma, End } kind;
    QString text;
};

bool lex(const QString &in, QList<Lexeme> &out)
{
    qsizetype i = 0;
    const qsizetype n = in.size();
    while (i < n) {
        const QChar c = in[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('(')) {
            out.append({Lexeme::Open, QString(c)});
            ++i;
        } else if (c == QLatin1Char(')')) {
            out.append({Lexeme::Close, QString(c)});
            ++i;
        } else if (c == QLatin1Char(',')) {
            out.append({Lexeme::Comma, QString(c)});
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quote inside is written twice.
            QString text;
            ++i;
            bool closed = false;
            while (i < n) {
                if (in[i] == c) {
                    if (i + 1 < n && in[i + 1] == c) {
                        text.append(c);
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                text.append(in[i++]);
            }
            if (!closed)
                return false;
            out.append({Lexeme::String, text});
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = in.indexOf(QLatin1Char(']'), i);
            if (close < 0)
                return false;
            out.append({Lexeme::Word, in.mid(i + 1, close - i - 1)});
            i = close + 1;
        } else if (c == QLatin1Char('=') || c == QLatin1Char('<') || c == QLatin1Char('>')) {
            QString op(c);
            if (i + 1 < n && (in[i + 1] == QLatin1Char('=') || (c == QLatin1Char('<') && in[i + 1] == QLatin1Char('>'))))
                op.append(in[++i]);
            out.append({Lexeme::Op, op});
            ++i;
        } else if (c.isDigit() || (c == QLatin1Char('-') && i + 1 < n && in[i + 1].isDigit())) {
            qsizetype j = i + 1;
            while (j < n && in[j].isDigit())
                ++j;
            out.append({Lexeme::Number, in.mid(i, j - i)});
            i = j;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            qsizetype j = i + 1;
            while (j < n && (in[j].isLetterOrNumber() || in[j] == QLatin1Char('_')))
                ++j;
            out.append({Lexeme::Word, in.mid(i, j - i)});
            i = j;
        } else {
            return false;
        }
    }
    out.append({Lexeme::End, QString()});
    return true;
}

bool isWord(const Lexeme &l, const char *word)
{
    return l.kind == Lexeme::Word && l.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Recursive descent over the filter grammar:
//   or := and {OR and};  and := not {AND not};  not := NOT not | primary
//   primary := ( or ) | field op value | field [NOT] LIKE text
class FilterParser
{
public:
    FilterParser(const QList<Lexeme> &lexemes, const DirectoryTable &table)
        : m_l(lexemes)
        , m_table(table)
    {
    }
    std::optional<DirectoryRecordset::Sql> parse()
    {
        DirectoryRecordset::Sql sql;
        if (!orExpr(sql) || m_l[m_i].kind != Lexeme::End)
            return std::nullopt;
        return sql;
    }

private:
    bool orExpr(DirectoryRecordset::Sql &sql)
    {
        if (!andExpr(sql))
            return false;
        while (isWord(m_l[m_i], "OR")) {
            ++m_i;
            sql.text += QStringLiteral(" OR ");
            if (!andExpr(sql))
                return false;
        }
        return true;
    }
    bool andExpr(DirectoryRecordset::Sql &sql)
    {
        if (!notExpr(sql))
            return false;
        while (isWord(m_l[m_i], "AND")) {
            ++m_i;
            sql.text += QStringLiteral(" AND ");
            if (!notExpr(sql))
                return false;
        }
        return true;
    }
    bool notExpr(DirectoryRecordset::Sql &sql)
    {
        if (isWord(m_l[m_i], "NOT")) {
            ++m_i;
            sql.text += QStringLiteral("NOT ");
            return notExpr(sql);
        }
        return primary(sql);
    }
    bool primary(DirectoryRecordset::Sql &sql)
    {
        if (m_l[m_i].kind == Lexeme::Open) {
            ++m_i;
            sql.text += QLatin1Char('(');
            if (!orExpr(sql) || m_l[m_i].kind != Lexeme::Close)
                return false;
            ++m_i;
            sql.text += QLatin1Char(')');
            return true;
        }
        if (m_l[m_i].kind != Lexeme::Word)
            return false;
        const DirectoryField *field = m_table.field(m_l[m_i].text);
        if (!field)
            return false;
        ++m_i;
        bool negated = false;
        if (isWord(m_l[m_i], "NOT")) {
            negated = true;
            ++m_i;
        }
        if (isWord(m_l[m_i], "LIKE")) {
            ++m_i;
            if (m_l[m_i].kind != Lexeme::String && m_l[m_i].kind != Lexeme::Number)
                return false;
            sql.text += QStringLiteral("%1jetlike(%2, ?)").arg(negated ? QStringLiteral("NOT ") : QString(), field->name);
            sql.values.append(m_l[m_i++].text);
            return true;
        }
        if (negated || m_l[m_i].kind != Lexeme::Op)
            return false;
        const QString op = m_l[m_i++].text;
        const Lexeme &value = m_l[m_i];
        if (value.kind == Lexeme::Number)
            sql.values.append(value.text.toLongLong());
        else if (value.kind == Lexeme::String)
            sql.values.append(field->type == DirectoryField::Text ? QVariant(value.text) : QVariant(value.text.toLongLong()));
        else
            return false;
        ++m_i;
        sql.text += QStringLiteral("%1 %2 ?").arg(field->name, op);
        return true;
    }

    const QList<Lexeme> &m_l;
    const DirectoryTable &m_table;
    qsizetype m_i = 0;
};

} // namespace

QVariant DirectoryRecordset::toColumn(const DirectoryField &field, const QVariant &v)
{
    if (field.type == DirectoryField::Text) {
        // Empty, never NULL: Jet's zero-length texts. The cut never halves a
        // character.
        const QString text = CharacterCut::fitUnits(v.toString(), field.size);
        return text.isNull() ? QStringLiteral("") : text;
    }
    if (field.type == DirectoryField::Integer)
        return qint64(qint16(v.toLongLong()));
    if (field.type == DirectoryField::Byte)
        return qint64(quint8(v.toLongLong()));
    return qint64(qint32(v.toLongLong()));
}

DirectoryRecordset::DirectoryRecordset(QSqlDatabase db, const DirectoryTable &table)
    : m_db(std::move(db))
    , m_handle(sqliteHandle(m_db))
    , m_table(table)
    , m_select(std::make_unique<SqliteStatement>())
    , m_insert(std::make_unique<SqliteStatement>())
    , m_update(std::make_unique<SqliteStatement>())
    , m_delete(std::make_unique<SqliteStatement>())
{
    const QString &rowId = m_table.fields[0].name;
    m_insertSql = m_table.insertSql();
    m_updateSql = m_table.updateSql(rowId);
    m_deleteSql = m_table.deleteSql(rowId);
    m_selectSql = QStringLiteral("SELECT %1, %2 FROM %3").arg(rowId, m_table.valueFieldList(), m_table.name);
}

std::optional<DirectoryRecordset::Sql> DirectoryRecordset::whereClause(const QString &filter,
                                                                        const DirectoryTable &table)
{
    if (filter.trimmed().isEmpty())
        return Sql{};
    QList<Lexeme> lexemes;
    if (!lex(filter, lexemes))
        return std::nullopt;
    return FilterParser(lexemes, table).parse();
}

std::optional<QString> DirectoryRecordset::orderClause(const QString &sort, const DirectoryTable &table)
{
    const QString rowOrder = table.fields.first().name + QStringLiteral(" ASC");
    if (sort.trimmed().isEmpty())
        return rowOrder;
    QList<Lexeme> l;
    if (!lex(sort, l))
        return std::nullopt;
    QStringList terms;
    qsizetype i = 0;
    while (true) {
        if (l[i].kind != Lexeme::Word)
            return std::nullopt;
        const DirectoryField *field = table.field(l[i++].text);
        if (!field)
            return std::nullopt;
        QString direction = QStringLiteral("ASC");
        if (isWord(l[i], "ASC") || isWord(l[i], "DESC"))
            direction = l[i++].text.toUpper();
        terms << field->name + QLatin1Char(' ') + direction;
        if (l[i].kind == Lexeme::End)
            break;
        if (l[i++].kind != Lexeme::Comma)
            return std::nullopt;
    }
    // Equal values keep their stored order.
    terms << rowOrder;
    return terms.join(QStringLiteral(", "));
}

QString DirectoryRecordset::quoted(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString DirectoryRecordset::likeLiteral(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        if (c == QLatin1Char('*') || c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('['))
            out += QLatin1Char('[') + QString(c) + QLatin1Char(']');
        else if (c == QLatin1Char('\''))
            out += QStringLiteral("''");
        else
            out += c;
    }
    return out;
}

bool DirectoryRecordset::open()
{
    m_rows.clear();
    m_current = 0;
    m_open = false;
    m_error.clear();
    const auto where = whereClause(m_filter, m_table);
    const auto order = orderClause(m_sort, m_table);
    if (!where || !order) {
        m_error = QStringLiteral("cannot read the filter \"%1\" or the sort \"%2\"").arg(m_filter, m_sort);
        qCWarning(lcRecordset) << m_error;
        return false;
    }
    QString sql = m_selectSql;
    if (!where->text.isEmpty())
        sql += QStringLiteral(" WHERE ") + where->text;
    sql += QStringLiteral(" ORDER BY ") + *order;

    if (!m_select->prepare(m_handle, sql)) {
        m_error = m_select->error();
        qCWarning(lcRecordset) << "cannot prepare" << sql << m_error;
        return false;
    }
    for (int i = 0; i < where->values.size(); ++i)
        m_select->bind(i + 1, where->values[i]);
    const int fieldCount = int(m_table.fields.size());
    while (m_select->next()) {
        QVariantList row;
        row.reserve(fieldCount);
        for (int i = 0; i < fieldCount; ++i) {
            if (m_table.fields[i].type == DirectoryField::Text)
                row.append(m_select->text(i));
            else
                row.append(m_select->integer(i));
        }
        m_rows.push_back(std::move(row));
    }
    m_select->reset();
    if (!m_select->error().isEmpty()) {
        m_error = m_select->error();
        m_rows.clear();
        qCWarning(lcRecordset) << "cannot open" << sql << m_error;
        return false;
    }
    m_open = true;
    return true;
}

void DirectoryRecordset::close()
{
    m_open = false;
    m_rows.clear();
    m_current = 0;
}

bool DirectoryRecordset::requery()
{
    close();
    return open();
}

bool DirectoryRecordset::moveFirst()
{
    m_current = 0;
    return !m_rows.empty();
}

bool DirectoryRecordset::moveNext()
{
    if (m_current < m_rows.size())
        ++m_current;
    return m_current < m_rows.size();
}

QVariant DirectoryRecordset::value(const QString &field) const
{
    return value(m_table.indexOf(field));
}

QVariant DirectoryRecordset::value(int fieldIndex) const
{
    if (isEof() || fieldIndex < 0 || fieldIndex >= m_table.fields.size())
        return {};
    return m_rows[m_current][fieldIndex];
}

bool DirectoryRecordset::run(SqliteStatement &statement, const QString &sql, const QVariantList &values)
{
    if (!statement.prepare(m_handle, sql)) {
        m_error = statement.error();
        qCWarning(lcRecordset) << "cannot prepare" << sql << m_error;
        return false;
    }
    for (int i = 0; i < values.size(); ++i)
        statement.bind(i + 1, values[i]);
    if (!statement.run()) {
        m_error = statement.error();
        qCWarning(lcRecordset) << "write to" << m_table.name << "failed:" << m_error;
        return false;
    }
    return true;
}

bool DirectoryRecordset::addNew(const QVariantList &valuesWithoutIndex)
{
    const int n = int(m_table.fields.size()) - 1;
    if (valuesWithoutIndex.size() != n) {
        m_error = QStringLiteral("%1 values for %2 fields").arg(valuesWithoutIndex.size()).arg(n);
        return false;
    }
    QVariantList row{QVariant()};
    for (int i = 1; i <= n; ++i)
        row.append(toColumn(m_table.fields[i], valuesWithoutIndex[i - 1]));
    if (!run(*m_insert, m_insertSql, row.mid(1)))
        return false;
    row[0] = qint64(sqlite3_last_insert_rowid(m_handle));
    m_rows.push_back(std::move(row));
    return true;
}

bool DirectoryRecordset::editCurrent(const QVariantList &valuesWithoutIndex)
{
    const int n = int(m_table.fields.size()) - 1;
    if (isEof() || valuesWithoutIndex.size() != n) {
        m_error = QStringLiteral("no current record to edit");
        return false;
    }
    QVariantList &row = m_rows[m_current];
    QVariantList updated{row[0]};
    for (int i = 1; i <= n; ++i)
        updated.append(toColumn(m_table.fields[i], valuesWithoutIndex[i - 1]));
    if (!run(*m_update, m_updateSql, updated.mid(1) << row[0]))
        return false;
    row = std::move(updated);
    return true;
}

bool DirectoryRecordset::deleteCurrent()
{
    if (isEof()) {
        m_error = QStringLiteral("no current record to delete");
        return false;
    }
    if (!run(*m_delete, m_deleteSql, {m_rows[m_current][0]}))
        return false;
    m_rows.erase(m_rows.begin() + qsizetype(m_current));
    return true;
}

bool DirectoryRecordset::deleteAll()
{
    const auto where = whereClause(m_filter, m_table);
    if (!where) {
        m_error = QStringLiteral("cannot read the filter \"%1\"").arg(m_filter);
        return false;
    }
    QString sql = QStringLiteral("DELETE FROM %1").arg(m_table.name);
    if (!where->text.isEmpty())
        sql += QStringLiteral(" WHERE ") + where->text;
    SqliteStatement statement;
    if (!run(statement, sql, where->values))
        return false;
    m_rows.clear();
    m_current = 0;
    return true;
}

DirectoryRecordset::~DirectoryRecordset() = default;
