#pragma once

#include "editor/TreeFilter.h"

#include <QVector>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace nvtarnix::editor {

// The filter as one tree sees it: the folded search text of every node,
// gathered on the first filtering of a run, and the expansion the user had
// before filtering began, given back when the box is emptied.
class TreeFilterState
{
public:
    using SearchText = std::function<QString(const QTreeWidgetItem *)>;

    // Shows only the nodes that match foldedNeedle (see visibleNodes), with
    // every group that holds a match expanded; an empty needle shows the
    // whole tree again as it was before the filtering began.
    void apply(QTreeWidget *tree, const QString &foldedNeedle, const SearchText &searchText);
    // Forgets the tree: a new run fills it afresh.
    void clear();
    bool isFiltering() const { return m_filtering; }

private:
    void index(QTreeWidget *tree, const SearchText &searchText);

    QVector<QTreeWidgetItem *> m_items;
    QVector<FilterNode> m_nodes;
    QVector<bool> m_expandedBefore;
    bool m_filtering = false;
};

} // namespace nvtarnix::editor
