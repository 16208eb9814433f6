#pragma once

#include <QString>

#include <functional>

namespace tarnixdemo {

struct RuleOutcome;

// Where a rule runs, as the rule list says it in `language`: in the
// database, in the database with the engine re-checking some orders, or in
// the engine. Empty for a rule that does not run.
QString placeText(const RuleOutcome &outcome, int language);

// Why: what the database and the engine each do for the rule, then the
// reasons it does not run wholly in the database, one a line. `shown` turns
// a part of a rule, or a field, from database form into what the user reads.
using ShownForm = std::function<QString(const QString &)>;
QString placeToolTip(const RuleOutcome &outcome, int language, const ShownForm &shown = {});

} // namespace tarnixdemo
