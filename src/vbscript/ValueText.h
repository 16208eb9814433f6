#pragma once

#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

// The canonical one-line texts `tarnix eval` writes for a value or a failure,
// which are also the form the engine's facts about VBScript are kept in.
namespace vbscript::ValueText {

// True/False; integers in decimal; Single, Double and Currency as CStr writes
// them in en-US; dates as yyyy-mm-dd hh:nn:ss; strings with \\, \t, \r, \n
// and \xHH escapes; empty for Empty, Null, arrays and objects.
QString canonical(const Variant &value);
// "TypeName<TAB>value"
QString resultLine(const Variant &value);
// "error<TAB>Number<TAB>Line<TAB>Column<TAB>Source<TAB>Description"
QString errorLine(const ScriptError &error);

} // namespace vbscript::ValueText
