#pragma once

#include "rows/RowCount.h"

#include <QString>

// What the line under the script says of a count, in the user-interface
// language with its number format: "selects 1,002 of 2,400", "computes a
// value for 2,400 rows", "more than 310 in the first 9,000 rows", with
// "; fails on 12" when rows fail; the error of a rule that cannot run or of
// rows that cannot be read. Empty for no text and for a cancelled count.

namespace nvtarnix::editor {

QString rowCountText(const rows::RowCount &count, int language);

// A value of a kept row as the row list shows it: Null as the word, the
// rest as Qt writes it.
QString rowValueText(const QVariant &value);

} // namespace nvtarnix::editor
