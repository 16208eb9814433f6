#include "editor/NameSuggestion.h"

#include "support/SearchFolding.h"

#include <algorithm>
#include <vector>

namespace nvtarnix::editor {

int editDistance(QStringView a, QStringView b, int limit)
{
    const int n = int(a.size());
    const int m = int(b.size());
    if (std::abs(n - m) > limit)
        return limit + 1;
    // One row of the distance table at a time; a row whose least entry is
    // past the limit cannot lead to a distance within it.
    std::vector<int> previous(m + 1), current(m + 1);
    for (int j = 0; j <= m; ++j)
        previous[j] = j;
    for (int i = 1; i <= n; ++i) {
        current[0] = i;
        int rowLeast = current[0];
        for (int j = 1; j <= m; ++j) {
            const int substitution = previous[j - 1] + (a.at(i - 1) == b.at(j - 1) ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, substitution});
            rowLeast = std::min(rowLeast, current[j]);
        }
        if (rowLeast > limit)
            return limit + 1;
        std::swap(previous, current);
    }
    return std::min(previous[m], limit + 1);
}

NameSuggestion::NameSuggestion(const QStringList &names) : m_names(names)
{
    m_folded.reserve(names.size());
    for (const QString &name : names)
        m_folded.append(foldForSearch(name));
}

QString NameSuggestion::nearest(const QString &name) const
{
    const QString folded = foldForSearch(name);
    int best = int(folded.size());
    qsizetype bestIndex = -1;
    for (qsizetype i = 0; i < m_folded.size() && best > 0; ++i) {
        const int d = editDistance(folded, m_folded.at(i), best - 1);
        if (d < best) {
            best = d;
            bestIndex = i;
        }
    }
    return bestIndex < 0 ? QString() : m_names.at(bestIndex);
}

} // namespace nvtarnix::editor
