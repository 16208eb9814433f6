#pragma once

#include <QString>

namespace nvtarnix {

// A variable's numeric text (type, search kind, value-list kind) as a 32-bit
// integer, read the way VBScript's CLng reads text: blanks around it, a sign,
// decimals rounded half to even, exponents, &H and &O forms. Anything else
// raises error 13 "Type mismatch", a value out of range error 6 "Overflow".
int VariableNumber(const QString &text);

} // namespace nvtarnix
