#pragma once

#include "vbscript/Variant.h"

#include <QVariant>

// How a host's values become the engine's and back, for rules evaluated at
// run time. Unlike the recordset conversions of the value list, an invalid
// QVariant is Empty here (a value the host did not give), and only Null is
// SQL NULL.
namespace nvtarnix::expression {

// A value of a type the rules do not take becomes an object whose every use
// raises 13 "Type mismatch": the error comes when the expression reads it.
vbscript::Variant toEngineValue(const QVariant &value);

// Throws vbscript::ScriptError 13 for an object, or an array holding one.
QVariant toHostValue(const vbscript::Variant &value);

} // namespace nvtarnix::expression
