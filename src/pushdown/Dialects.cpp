#include "pushdown/Dialect.h"
#include "pushdown/PostgresDialect.h"
#include "pushdown/SqliteDialect.h"

namespace nvtarnix::pushdown {

QString Parameters::bind(Parameter::Type type, const QVariant &value)
{
    // Held as the types the header promises, whatever literal was passed.
    const QVariant held = type == Parameter::Type::Integer ? QVariant(value.toLongLong())
                          : type == Parameter::Type::Real  ? QVariant(value.toDouble())
                                                           : QVariant(value.toString());
    m_list.append(Parameter{type, held});
    return m_dialect.placeholder(int(m_list.size()), type);
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
