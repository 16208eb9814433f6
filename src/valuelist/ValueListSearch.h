#pragma once

#include <QStringView>

// Searching a value list as guided editing offers it: a row matches when its
// code starts with what the user typed, or a word of its description does,
// without regard to case or accents ("ελλ" finds "Ελλάδα", "276" finds 276).

namespace nvtarnix {

// The arguments are folded with foldForSearch; an empty query matches all.
bool valueRowMatches(QStringView foldedCode, QStringView foldedDescription, QStringView foldedQuery);

} // namespace nvtarnix
