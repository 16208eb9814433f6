#pragma once

#include "editor/TreeFilterState.h"

#include <QObject>

class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace nvtarnix::editor {

class EditorSession;

// The filter box over the two trees: typing narrows both trees to the nodes
// whose caption, key, tag or help holds the text (accents and letter case
// folded), Esc empties the box, the find key puts the focus in it, and Down
// or Enter go on to the first variable (else function) the filter left.
class TreeFilterAid : public QObject
{
    Q_OBJECT
public:
    // The box is created in window; the trees and the session outlive the aid.
    TreeFilterAid(QWidget *window, QTreeWidget *variableTree, QTreeWidget *functionTree, EditorSession &session);

    QLineEdit *box() const { return m_box; }
    // Shows the nodes that match text, and what leads to them.
    void filter(const QString &text);
    // Places the box over the top of the trees and gives the trees what is left.
    void place();
    // Makes the first entry the filter left the current node of its tree and
    // gives that tree the focus; false when the filter left none.
    bool goToFirstMatch();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString searchText(const QTreeWidgetItem *node, bool variable) const;

    QLineEdit *m_box;
    QTreeWidget *m_variableTree;
    QTreeWidget *m_functionTree;
    EditorSession &m_session;
    TreeFilterState m_variableFilter;
    TreeFilterState m_functionFilter;
};

// The first variable or function node of the tree that is not hidden, in
// the tree's order; null for none.
QTreeWidgetItem *firstShownEntry(QTreeWidget *tree);

} // namespace nvtarnix::editor
