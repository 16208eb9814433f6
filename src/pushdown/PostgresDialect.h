#pragma once

#include "pushdown/Dialect.h"

namespace nvtarnix::pushdown {

// PostgreSQL 14 or later, as `tarnix apply --postgres` reads it
// (Binding::Pg..., typed by the column's type).
const Dialect &postgresDialect();

} // namespace nvtarnix::pushdown
