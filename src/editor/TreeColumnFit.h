#pragma once

class QTreeWidget;

namespace nvtarnix::editor {

// Lets a tree scroll sideways instead of cutting its nodes short with "…":
// its one column becomes as wide as its widest node (indentation, icon and
// text in the tree's font), and never narrower than the tree itself. Call it
// once the tree is filled.
void fitColumnToNodes(QTreeWidget *tree);

} // namespace nvtarnix::editor
