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

// Finds the ORDER BY and LIMIT clauses that belong to the statement itself, not to a subquery,
// a quoted name, a text or a comment.
Clauses FindClauses(const QString& statement)
{
    const qsizetype n = statement.size();
    auto wordAt = [&](qsizetype i, QLatin1StringView word) {
        const qsizetype end = i + word.size();
        return end <= n &&
               QStringView(statement).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
               (i == 0 || !IsWordChar(statement[i - 1])) && (end == n || !IsWordChar(statement[end]));
    };
    Clauses found;
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
        } else if (depth == 0 && IsWordChar(c) && (i == 0 || !IsWordChar(statement[i - 1]))) {
            if (wordAt(i, QLatin1StringView("order"))) {
                qsizetype j = i + 5;
                while (j < n && statement[j].isSpace())
                    ++j;
                if (wordAt(j, QLatin1StringView("by")))
                    found.m_nOrderBy = i;
            } else if (found.m_nLimit < 0 && wordAt(i, QLatin1StringView("limit"))) {
                found.m_nLimit = i;
            }
        }
    }
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

} // namespace StatementClauses
