#pragma once

#include "vbscript/Variant.h"

// VBScript's operators on values: result subtypes, overflow into the next
// wider type, Null propagation, Empty as 0 or "", and the comparison rules
// between strings and numbers.
namespace vbscript::ops {

Variant add(const Variant &a, const Variant &b);
Variant subtract(const Variant &a, const Variant &b);
Variant multiply(const Variant &a, const Variant &b);
Variant divide(const Variant &a, const Variant &b);
Variant intDivide(const Variant &a, const Variant &b);
Variant modulo(const Variant &a, const Variant &b);
Variant power(const Variant &a, const Variant &b);
Variant negate(const Variant &a);
Variant concat(const Variant &a, const Variant &b);

Variant logicalNot(const Variant &a);
Variant logicalAnd(const Variant &a, const Variant &b);
Variant logicalOr(const Variant &a, const Variant &b);
Variant logicalXor(const Variant &a, const Variant &b);
Variant logicalEqv(const Variant &a, const Variant &b);
Variant logicalImp(const Variant &a, const Variant &b);

enum class Compare { Eq, Ne, Lt, Gt, Le, Ge };
// A string against a number compares by where the two come from: a literal
// written in the code (or a Const naming one), or a value read from a
// variable or computed. `aIsLiteral` and `bIsLiteral` say which; see
// Operators.cpp for the rule.
Variant compare(Compare op, const Variant &a, const Variant &b, bool aIsLiteral = false,
                bool bIsLiteral = false);
// -1, 0 or 1; throws 94 for Null. Used by Select Case and sorting helpers.
int compareValues(const Variant &a, const Variant &b, bool aIsLiteral = false, bool bIsLiteral = false);
// Is: both sides object references.
bool is(const Variant &a, const Variant &b);

// VBScript truth of a condition (If, While): Null is False, strings "True",
// numbers non-zero.
bool truth(const Variant &v);

} // namespace vbscript::ops
