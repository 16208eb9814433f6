#include "valuelist/ValueListSearch.h"

#include "support/SearchFolding.h"

namespace nvtarnix {

bool valueRowMatches(QStringView foldedCode, QStringView foldedDescription, QStringView foldedQuery)
{
    return foldedQuery.isEmpty() || foldedCode.startsWith(foldedQuery)
        || containsAtWordStart(foldedDescription, foldedQuery);
}

} // namespace nvtarnix
