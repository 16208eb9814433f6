#include "editor/EditorTreeItems.h"

#include <QHash>

namespace nvtarnix::editor {

namespace {

QVector<QIcon> iconsOf(std::initializer_list<const char *> names)
{
    QVector<QIcon> icons;
    for (const char *name : names)
        icons.append(QIcon(QStringLiteral(":/editor/%1.svg").arg(QLatin1String(name))));
    return icons;
}

} // namespace

QVector<QIcon> variableImages()
{
    return iconsOf({"variable-root", "variable-number", "variable-text", "variable-date", "variable-group",
                    "variable-valuelist"});
}

QVector<QIcon> functionImages()
{
    return iconsOf({"function", "function-root", "interface"});
}

void fillTree(QTreeWidget *tree, const QVector<TreeNode> &nodes, const QVector<QIcon> &images)
{
    // Items are built away from the tree and handed over at once: the view
    // then lays itself out once instead of once per node.
    QHash<QString, QTreeWidgetItem *> byKey;
    byKey.reserve(nodes.size());
    QList<QTreeWidgetItem *> roots;
    QList<QTreeWidgetItem *> expanded;
    for (const TreeNode &node : nodes) {
        QTreeWidgetItem *parent = nullptr;
        if (!node.parentKey.isEmpty()) {
            parent = byKey.value(node.parentKey);
            if (!parent)
                continue;
        }
        auto *item = new EditorTreeItem(node);
        if (node.image >= 1 && node.image <= images.size())
            item->setIcon(0, images.at(node.image - 1));
        if (parent)
            parent->addChild(item);
        else
            roots.append(item);
        byKey.insert(node.key, item);
        if (node.expanded)
            expanded.append(item);
    }
    tree->addTopLevelItems(roots);
    for (QTreeWidgetItem *item : std::as_const(expanded))
        item->setExpanded(true);
}

} // namespace nvtarnix::editor
