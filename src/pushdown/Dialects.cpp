#include "pushdown/Dialect.h"
#include "pushdown/PostgresDialect.h"
#include "pushdown/SqlText.h"
#include "pushdown/SqliteDialect.h"

namespace nvtarnix::pushdown {

QString Parameters::bind(Parameter::Type type, const QVariant &value)
{
    // Held as the types the header promises, whatever literal was passed.
    // A text is copied: the compiled rule's literals view its source, and a
    // translation outlives the Expression it was made from.
    const QString text = type == Parameter::Type::Text ? value.toString() : QString();
    const QVariant held = type == Parameter::Type::Integer ? QVariant(value.toLongLong())
                          : type == Parameter::Type::Real  ? QVariant(value.toDouble())
                                                           : QVariant(QString(text.constData(), text.size()));
    m_list.append(Parameter{type, held});
    return m_dialect.placeholder(int(m_list.size()), type);
}

std::optional<Guarded> Dialect::compare(ValueKind kind, Comparison op, const QString &a, const QString &b,
                                       Parameters &parameters) const
{
    static const char *const ops[] = {"=", "<>", "<", ">", "<=", ">="};
    const QString sign = QLatin1String(ops[int(op)]);
    switch (kind) {
    case ValueKind::Number:
    case ValueKind::Date: return Guarded{QStringLiteral("%1 %2 %3").arg(paren(a), sign, paren(b)), {}};
    case ValueKind::Text: {
        const QString sql = binaryComparison(a, sign, b);
        if (op == Comparison::Eq || op == Comparison::Ne)
            return Guarded{sql, {}};
        return Guarded{sql, either({beyondBmp(a, parameters), beyondBmp(b, parameters)})};
    }
    case ValueKind::Boolean: return std::nullopt;
    }
    return std::nullopt;
}

const Dialect *dialectFor(SqlDialect which)
{
    switch (which) {
    case SqlDialect::SQLite: return &sqliteDialect();
    case SqlDialect::PostgreSQL:
        return &postgresDialect();
    }
    return nullptr;
}

} // namespace nvtarnix::pushdown
