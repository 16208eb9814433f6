#pragma once

// Small pieces of SQL text every dialect writes the same way.

#include <QString>
#include <QStringList>

namespace nvtarnix::pushdown {

inline QString paren(const QString &sql)
{
    return QLatin1Char('(') + sql + QLatin1Char(')');
}

// Any of the conditions; the empty ones (no rows) are left out.
inline QString either(const QStringList &conditions)
{
    QStringList parts;
    for (const QString &c : conditions)
        if (!c.isEmpty())
            parts << paren(c);
    return parts.join(QLatin1String(" OR "));
}

// All of the conditions.
inline QString all(const QStringList &conditions)
{
    QStringList parts;
    for (const QString &c : conditions)
        parts << paren(c);
    return parts.join(QLatin1String(" AND "));
}

} // namespace nvtarnix::pushdown
