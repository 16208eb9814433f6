#include "editor/TreeColumnFit.h"

#include "forms/WidestText.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <utility>
#include <vector>

namespace nvtarnix::editor {

void fitColumnToNodes(QTreeWidget *tree)
{
    tree->setTextElideMode(Qt::ElideNone);
    tree->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView *header = tree->header();
    header->setStretchLastSection(true);

    WidestText widest(tree->font());
    const int indentation = tree->indentation();
    const int firstIndent = tree->rootIsDecorated() ? indentation : 0;
    std::vector<std::pair<const QTreeWidgetItem *, int>> pending;
    for (int i = tree->topLevelItemCount() - 1; i >= 0; --i)
        pending.emplace_back(tree->topLevelItem(i), firstIndent);
    while (!pending.empty()) {
        const auto [item, indent] = pending.back();
        pending.pop_back();
        widest.add(item->text(0), indent);
        for (int i = item->childCount() - 1; i >= 0; --i)
            pending.emplace_back(item->child(i), indent + indentation);
    }

    // Beside its text every node needs the same room: its icon and the
    // margins the style draws around both.
    int besideText = 0;
    const QModelIndex first = tree->model()->index(0, 0);
    if (first.isValid())
        besideText = tree->sizeHintForIndex(first).width()
                   - WidestText::textWidth(tree->font(), first.data(Qt::DisplayRole).toString());
    header->setMinimumSectionSize(widest.width() + besideText);
}

} // namespace nvtarnix::editor
