#pragma once

#include <nvtarnix/PushDown.h>

#include <QDateTime>

namespace vbscript {
class CompiledExpression;
}

namespace nvtarnix::pushdown {

// The translation of a compiled rule, for hosts that hold the engine's own
// compiled form (tarnix apply); nvtarnix::pushdown::translate() calls it.
// `now`, when valid, is the instant the engine's run reads for Now, Date and
// Time: they are bound as parameters; otherwise they read the clock on every
// call, and a rule that reads them is not translated.
Translation translateRule(const vbscript::CompiledExpression &rule, SqlDialect dialect,
                          const QList<ColumnBinding> &columns, const QDateTime &now = {});

} // namespace nvtarnix::pushdown
