#pragma once

// Windows code page 1252, the code page of VBScript's Chr and Asc: the codes
// 0 to 255 against Unicode characters. It agrees with Latin-1 except from 128
// to 159, where it has the euro sign, typographic quotes and dashes.

#include <QChar>

namespace vbscript {

// The character of `code`, 0 to 255.
QChar cp1252Char(int code);
// The code of `c`, or 63 ('?') for a character the page lacks, as Windows
// converts it.
int cp1252Code(QChar c);

} // namespace vbscript
