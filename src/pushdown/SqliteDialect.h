#pragma once

#include "pushdown/Dialect.h"

namespace nvtarnix::pushdown {

// SQLite 3.35 or later, as `tarnix apply` reads it (Binding::Sqlite...).
const Dialect &sqliteDialect();

} // namespace nvtarnix::pushdown
