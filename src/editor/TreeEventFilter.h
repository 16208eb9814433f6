#pragma once

#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace nvtarnix::editor {

// Passes a tree's double-clicks, right-button releases and tooltip requests
// (on its viewport), Enter presses and the keyboard's context-menu key (on
// the tree) to the window; the tree keeps its own handling of everything else.
class TreeEventFilter : public QObject
{
public:
    struct Handlers
    {
        std::function<void()> dblClick;
        std::function<void()> enter;
        std::function<void(const QPoint &globalPos)> rightMouseUp;
        std::function<QString(const QTreeWidgetItem *node)> toolTip;
    };

    TreeEventFilter(QTreeWidget *tree, Handlers handlers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openMenuAtNode();
    QTreeWidget *m_tree;
    // Kept, not asked for: while the tree is being destroyed its viewport
    // still sends events here, and the tree can no longer be asked anything.
    QWidget *m_viewport;
    Handlers m_handlers;
};

} // namespace nvtarnix::editor
