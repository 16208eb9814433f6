#include "editor/TreeEventFilter.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QTreeWidget>

namespace nvtarnix::editor {

TreeEventFilter::TreeEventFilter(QTreeWidget *tree, Handlers handlers)
    : QObject(tree), m_tree(tree), m_viewport(tree->viewport()), m_handlers(std::move(handlers))
{
    tree->installEventFilter(this);
    m_viewport->installEventFilter(this);
}

void TreeEventFilter::openMenuAtNode()
{
    // The menu opens over the selected node, as the mouse would open it.
    const QRect node = m_tree->visualItemRect(m_tree->currentItem());
    const QPoint at = node.isValid() ? node.center() : QPoint(0, 0);
    m_handlers.rightMouseUp(m_tree->viewport()->mapToGlobal(at));
}

bool TreeEventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree && event->type() == QEvent::KeyPress) {
        const auto *press = static_cast<QKeyEvent *>(event);
        const int key = press->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            m_handlers.enter();
            return true;
        }
        // Shift+F10 is the menu key of keyboards without one.
        if (key == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier) {
            openMenuAtNode();
            return true;
        }
    } else if (watched == m_tree && event->type() == QEvent::ContextMenu
               && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        openMenuAtNode();
        return true;
    } else if (watched == m_viewport && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QTreeWidgetItem *node = m_tree->itemAt(help->pos());
        const QString text = node ? m_handlers.toolTip(node) : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, m_tree->viewport(), m_tree->visualItemRect(node));
        return true;
    } else if (watched == m_viewport) {
        if (event->type() == QEvent::MouseButtonDblClick
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_handlers.dblClick();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton)
                m_handlers.rightMouseUp(mouse->globalPosition().toPoint());
        }
    }
    return false;
}

} // namespace nvtarnix::editor
