#pragma once

#include <QString>

namespace nvtarnix::pushdown {

// A predicate as the walk builds it: never, always, or SQL. Knowing the
// constant ones keeps "x OR 1" and "x AND 0" out of the text, and tells
// when a guard leaves nothing to push down.
struct Condition
{
    enum class Kind : quint8 { Never, Always, Sql };
    Kind kind = Kind::Never;
    QString sql;

    static Condition never() { return {}; }
    static Condition always() { return {Kind::Always, {}}; }
    static Condition of(const QString &sql) { return sql.isEmpty() ? never() : Condition{Kind::Sql, sql}; }

    bool isNever() const { return kind == Kind::Never; }
    bool isAlways() const { return kind == Kind::Always; }
};

inline Condition anyOf(const Condition &a, const Condition &b)
{
    if (a.isAlways() || b.isAlways())
        return Condition::always();
    if (a.isNever())
        return b;
    if (b.isNever())
        return a;
    return Condition::of(QLatin1Char('(') + a.sql + QLatin1String(") OR (") + b.sql + QLatin1Char(')'));
}

inline Condition allOf(const Condition &a, const Condition &b)
{
    if (a.isNever() || b.isNever())
        return Condition::never();
    if (a.isAlways())
        return b;
    if (b.isAlways())
        return a;
    return Condition::of(QLatin1Char('(') + a.sql + QLatin1String(") AND (") + b.sql + QLatin1Char(')'));
}

} // namespace nvtarnix::pushdown
