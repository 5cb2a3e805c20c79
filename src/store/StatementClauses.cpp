#include "store/StatementClauses.h"

namespace {

bool IsWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

struct Clauses
{
    qsizetype m_nOrderBy = -1; // where the statement's own ORDER BY starts
    qsizetype m_nLimit = -1;   // where its LIMIT starts
};

bool WordAt(const QString& statement, qsizetype i, QLatin1StringView word)
{
    const qsizetype n = statement.size();
    const qsizetype end = i + word.size();
    return end <= n && QStringView(statement).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
           (i == 0 || !IsWordChar(statement[i - 1])) && (end == n || !IsWordChar(statement[end]));
}

// Where the two words "first second" (any blanks between) start at i, or false.
bool WordsAt(const QString& statement, qsizetype i, QLatin1StringView first, QLatin1StringView second)
{
    if (!WordAt(statement, i, first))
        return false;
    qsizetype j = i + first.size();
    while (j < statement.size() && statement[j].isSpace())
        ++j;
    return WordAt(statement, j, second);
}

// Calls visit(i) for every word start and every comma that belongs to the statement itself:
// not inside a subquery or other brackets, a quoted name, a text or a comment.
template <typename Visit>
void ForEachTopLevel(const QString& statement, Visit visit)
{
    const qsizetype n = statement.size();
    qsizetype depth = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const QChar close = c == u'[' ? QChar(u']') : c;
            for (++i; i < n; ++i) {
                if (statement[i] == close) {
                    if (close != u']' && i + 1 < n && statement[i + 1] == close)
                        ++i; // a doubled quote stands for itself
                    else
                        break;
                }
            }
        } else if (c == u'-' && i + 1 < n && statement[i + 1] == u'-') {
            while (i < n && statement[i] != u'\n')
                ++i;
        } else if (c == u'/' && i + 1 < n && statement[i + 1] == u'*') {
            const qsizetype end = statement.indexOf(QStringLiteral("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        } else if (depth == 0 && (c == u',' || (IsWordChar(c) && (i == 0 || !IsWordChar(statement[i - 1]))))) {
            visit(i);
        }
    }
}

// Finds the ORDER BY and LIMIT clauses that belong to the statement itself.
Clauses FindClauses(const QString& statement)
{
    Clauses found;
    ForEachTopLevel(statement, [&](qsizetype i) {
        if (WordsAt(statement, i, QLatin1StringView("order"), QLatin1StringView("by")))
            found.m_nOrderBy = i;
        else if (found.m_nLimit < 0 && WordAt(statement, i, QLatin1StringView("limit")))
            found.m_nLimit = i;
    });
    return found;
}

} // namespace

namespace StatementClauses {

QString WithoutTrailingSemicolons(QString statement)
{
    statement = statement.trimmed();
    while (statement.endsWith(u';'))
        statement = statement.chopped(1).trimmed();
    return statement;
}

QString WithoutOrdering(const QString& statement)
{
    const Clauses clauses = FindClauses(statement);
    return clauses.m_nOrderBy >= 0 && clauses.m_nLimit < 0 ? statement.left(clauses.m_nOrderBy) : statement;
}

QString InTableOrder(const QString& rest)
{
    const Clauses clauses = FindClauses(rest);
    if (clauses.m_nOrderBy >= 0)
        return rest;
    if (clauses.m_nLimit >= 0)
        return rest.left(clauses.m_nLimit) + QStringLiteral(" ORDER BY rowid ") + rest.mid(clauses.m_nLimit);
    return rest + QStringLiteral("\nORDER BY rowid"); // on a line of its own, after any comment
}

bool KeepsToOneTable(const QString& rest)
{
    bool oneTable = true;
    bool pastFrom = false; // past the FROM clause: commas now separate terms, not tables
    ForEachTopLevel(rest, [&](qsizetype i) {
        static const QLatin1StringView endsFrom[] = {QLatin1StringView("where"), QLatin1StringView("order"),
                                                     QLatin1StringView("limit"), QLatin1StringView("window")};
        static const QLatin1StringView otherTables[] = {
            QLatin1StringView("join"), QLatin1StringView("union"), QLatin1StringView("intersect"),
            QLatin1StringView("except"), QLatin1StringView("having")};
        if (rest[i] == u',') {
            oneTable = oneTable && pastFrom;
            return;
        }
        for (const auto word : endsFrom)
            pastFrom = pastFrom || WordAt(rest, i, word);
        for (const auto word : otherTables)
            oneTable = oneTable && !WordAt(rest, i, word);
        oneTable = oneTable && !WordsAt(rest, i, QLatin1StringView("group"), QLatin1StringView("by"));
    });
    return oneTable;
}

} // namespace StatementClauses
