#include "editor/TreeFilter.h"

namespace nvtarnix::editor {

QVector<bool> visibleNodes(const QVector<FilterNode> &nodes, const QString &foldedNeedle)
{
    const qsizetype count = nodes.size();
    QVector<bool> visible(count, foldedNeedle.isEmpty());
    if (foldedNeedle.isEmpty())
        return visible;
    QVector<bool> matched(count, false);
    for (qsizetype i = 0; i < count; ++i) {
        const FilterNode &node = nodes.at(i);
        // A root is the tree's caption, not something searched for.
        if (node.parent < 0) {
            visible[i] = true;
            continue;
        }
        const bool parentMatched = matched.at(node.parent) && nodes.at(node.parent).parent >= 0;
        matched[i] = parentMatched || node.foldedText.contains(foldedNeedle);
        if (!matched.at(i))
            continue;
        for (int up = int(i); up >= 0 && !visible.at(up); up = nodes.at(up).parent)
            visible[up] = true;
    }
    return visible;
}

} // namespace nvtarnix::editor
