#include "editor/TreeFilterState.h"

#include "support/SearchFolding.h"

#include <QTreeWidget>

namespace nvtarnix::editor {

void TreeFilterState::clear()
{
    m_items.clear();
    m_nodes.clear();
    m_expandedBefore.clear();
    m_filtering = false;
}

void TreeFilterState::index(QTreeWidget *tree, const SearchText &searchText)
{
    clear();
    // Depth first, so that parents come before their children.
    const std::function<void(QTreeWidgetItem *, int)> add = [&](QTreeWidgetItem *item, int parent) {
        const int at = int(m_items.size());
        m_items.append(item);
        m_nodes.append(FilterNode{parent, foldForSearch(searchText(item))});
        for (int i = 0; i < item->childCount(); ++i)
            add(item->child(i), at);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        add(tree->topLevelItem(i), -1);
}

void TreeFilterState::apply(QTreeWidget *tree, const QString &foldedNeedle, const SearchText &searchText)
{
    if (!tree)
        return;
    if (foldedNeedle.isEmpty() && !m_filtering)
        return;
    if (m_items.isEmpty())
        index(tree, searchText);
    if (!m_filtering) {
        m_expandedBefore.resize(m_items.size());
        for (qsizetype i = 0; i < m_items.size(); ++i)
            m_expandedBefore[i] = m_items.at(i)->isExpanded();
    }
    const QVector<bool> visible = visibleNodes(m_nodes, foldedNeedle);
    tree->setUpdatesEnabled(false);
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        QTreeWidgetItem *item = m_items.at(i);
        if (item->isHidden() == visible.at(i))
            item->setHidden(!visible.at(i));
    }
    if (foldedNeedle.isEmpty()) {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_items.at(i)->isExpanded() != m_expandedBefore.at(i))
                m_items.at(i)->setExpanded(m_expandedBefore.at(i));
        }
    } else {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            QTreeWidgetItem *item = m_items.at(i);
            if (visible.at(i) && item->childCount() > 0 && !item->isExpanded())
                item->setExpanded(true);
        }
    }
    tree->setUpdatesEnabled(true);
    // The matches start at the top, wherever the tree was scrolled to.
    if (!foldedNeedle.isEmpty())
        tree->scrollToTop();
    m_filtering = !foldedNeedle.isEmpty();
}

} // namespace nvtarnix::editor
