#pragma once

#include <nvtarnix/PushDown.h>

namespace vbscript {
class CompiledExpression;
}

namespace nvtarnix::pushdown {

// The translation of a compiled rule, for hosts that hold the engine's own
// compiled form (tarnix apply); nvtarnix::pushdown::translate() calls it.
Translation translateRule(const vbscript::CompiledExpression &rule, SqlDialect dialect,
                          const QList<ColumnBinding> &columns);

} // namespace nvtarnix::pushdown
