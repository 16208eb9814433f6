#pragma once

#include <QString>
#include <QVector>

// Which nodes of a tree stay shown while the filter box holds text: a node
// whose text matches, every node on the way from the root to it, and, when a
// group itself matches, everything under it. The root always stays.

namespace nvtarnix::editor {

struct FilterNode
{
    int parent = -1;      // index of the parent in the same list; -1 for a root
    QString foldedText;   // what the node is searched by, folded with foldForSearch
};

// One flag per node, in the order given. Parents come before their children.
// An empty needle shows every node.
QVector<bool> visibleNodes(const QVector<FilterNode> &nodes, const QString &foldedNeedle);

} // namespace nvtarnix::editor
