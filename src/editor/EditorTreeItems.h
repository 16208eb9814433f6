#pragma once

#include "editor/EditorTrees.h"

#include <QIcon>
#include <QTreeWidget>
#include <QVector>

// How a tree node's key, tag and image travel on a QTreeWidgetItem, so that
// every handler of the trees reads them the same way.

namespace nvtarnix::editor {

enum TreeItemRole { KeyRole = Qt::UserRole + 1, TagRole, ImageRole };

inline QString nodeKey(const QTreeWidgetItem *item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}
inline QString nodeTag(const QTreeWidgetItem *item)
{
    return item ? item->data(0, TagRole).toString() : QString();
}
inline int nodeImage(const QTreeWidgetItem *item)
{
    return item ? item->data(0, ImageRole).toInt() : 0;
}

// The pictures of the variable tree (six) and of the function tree (three),
// by their 1-based image numbers.
QVector<QIcon> variableImages();
QVector<QIcon> functionImages();

// Adds the nodes to an empty tree; a node whose parent is missing is skipped.
void fillTree(QTreeWidget *tree, const QVector<TreeNode> &nodes, const QVector<QIcon> &images);

} // namespace nvtarnix::editor
