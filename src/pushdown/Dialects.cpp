#include "pushdown/Dialect.h"
#include "pushdown/PostgresDialect.h"
#include "pushdown/SqliteDialect.h"

namespace nvtarnix::pushdown {

QString Parameters::bind(Parameter::Type type, const QVariant &value)
{
    m_list.append(Parameter{type, value});
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
