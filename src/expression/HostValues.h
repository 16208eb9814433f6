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
// A QString is bound as a view of the host's characters, so that the run's
// copies of it count no references on the host's string data: rows of one
// cache evaluated on several threads share that data, and every count would
// be a write the threads take turns at. The result is valid while `value` is.
vbscript::Variant toEngineValue(const QVariant &value);

// Throws vbscript::ScriptError 13 for an object, or an array holding one.
// Strings come out with characters of their own (ownedText), whatever the
// run's values viewed.
QVariant toHostValue(const vbscript::Variant &value);

// `text`, or a copy of its characters when it only views them (a bound
// value, a literal of the compiled tree): what the host keeps must outlive
// both.
QString ownedText(const QString &text);

} // namespace nvtarnix::expression
