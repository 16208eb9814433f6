#pragma once

#include <QString>
#include <QStringView>

// How the search boxes (the trees' filter, completion, the value list)
// compare text: without regard to letter case or accents, so that "ονομα"
// finds "Όνομα" and "cafe" finds "Café". Letters of different scripts stay
// different: Latin "ONOMA" does not find Greek "Όνομα".

namespace nvtarnix {

// The text with its accents (combining marks after canonical decomposition)
// removed and its case folded; a final sigma folds to sigma.
QString foldForSearch(QStringView text);

// Whether folded text holds the folded needle starting at a word's first
// letter (after a non-letter-or-digit or at the start).
bool containsAtWordStart(QStringView folded, QStringView foldedNeedle);

} // namespace nvtarnix
