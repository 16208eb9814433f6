#pragma once

#include "vbscript/ExecutionSettings.h"
#include "vbscript/Variant.h"

// VBScript's operators on values: result subtypes, overflow into the next
// wider type, Null propagation, Empty as 0 or "", and the comparison rules
// between strings and numbers. Text converts in the settings' locale, and
// concatenation keeps within their limits.
namespace vbscript::ops {

Variant add(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant subtract(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant multiply(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant divide(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant intDivide(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant modulo(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant power(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant negate(const ExecutionSettings &s, const Variant &a);
Variant concat(const ExecutionSettings &s, const Variant &a, const Variant &b);

Variant logicalNot(const ExecutionSettings &s, const Variant &a);
Variant logicalAnd(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant logicalOr(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant logicalXor(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant logicalEqv(const ExecutionSettings &s, const Variant &a, const Variant &b);
Variant logicalImp(const ExecutionSettings &s, const Variant &a, const Variant &b);

enum class Compare { Eq, Ne, Lt, Gt, Le, Ge };
// A string against a number compares by where the two come from: a literal
// written in the code (or a Const naming one), or a value read from a
// variable or computed. `aIsLiteral` and `bIsLiteral` say which; see
// Operators.cpp for the rule.
Variant compare(const ExecutionSettings &s, Compare op, const Variant &a, const Variant &b,
                bool aIsLiteral = false, bool bIsLiteral = false);
// -1, 0 or 1; throws 94 for Null. Used by Select Case and sorting helpers.
int compareValues(const ExecutionSettings &s, const Variant &a, const Variant &b, bool aIsLiteral = false,
                  bool bIsLiteral = false);
// Is: both sides object references.
bool is(const Variant &a, const Variant &b);

// VBScript truth of a condition (If, While): Null is False, strings "True",
// numbers non-zero.
bool truth(const ExecutionSettings &s, const Variant &v);

} // namespace vbscript::ops
