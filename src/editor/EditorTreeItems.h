#pragma once

#include "editor/EditorTrees.h"

#include <QIcon>
#include <QTreeWidget>
#include <QVector>

// How a tree node's key, tag and image travel on a QTreeWidgetItem, so that
// every handler of the trees reads them the same way.

namespace nvtarnix::editor {

// A node of the editor's trees: what it shows, plus its key, tag and image
// number, kept as plain members (twenty thousand variables make the tree's
// generic per-role storage noticeably slower).
class EditorTreeItem : public QTreeWidgetItem
{
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    explicit EditorTreeItem(const TreeNode &node)
        : QTreeWidgetItem(QStringList{node.text}, Type), key(node.key), tag(node.tag), image(node.image)
    {
    }

    QString key;
    QString tag;
    int image = 0;
};

inline const EditorTreeItem *editorItem(const QTreeWidgetItem *item)
{
    return item && item->type() == EditorTreeItem::Type ? static_cast<const EditorTreeItem *>(item) : nullptr;
}
inline QString nodeKey(const QTreeWidgetItem *item)
{
    const EditorTreeItem *e = editorItem(item);
    return e ? e->key : QString();
}
inline QString nodeTag(const QTreeWidgetItem *item)
{
    const EditorTreeItem *e = editorItem(item);
    return e ? e->tag : QString();
}
inline int nodeImage(const QTreeWidgetItem *item)
{
    const EditorTreeItem *e = editorItem(item);
    return e ? e->image : 0;
}

// The pictures of the variable tree (six) and of the function tree (three),
// by their 1-based image numbers.
QVector<QIcon> variableImages();
QVector<QIcon> functionImages();

// Adds the nodes to an empty tree; a node whose parent is missing is skipped.
void fillTree(QTreeWidget *tree, const QVector<TreeNode> &nodes, const QVector<QIcon> &images);

} // namespace nvtarnix::editor
