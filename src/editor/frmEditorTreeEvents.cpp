// The editor window's handlers of its two trees, their context menu and the
// value-list button. Each stays thin: the rules live in TreeInteraction.

#include "editor/frmEditor.h"

#include "editor/EditorSession.h"
#include "editor/EditorTreeItems.h"
#include "editor/NodeToolTips.h"
#include "editor/TreeInteraction.h"
#include "support/FailureHandling.h"
#include "valuelist/frmList.h"

#include <nvtarnix/View.h>

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>

namespace nvtarnix {

namespace {

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

    TreeEventFilter(QTreeWidget *tree, Handlers handlers)
        : QObject(tree), m_tree(tree), m_viewport(tree->viewport()), m_handlers(std::move(handlers))
    {
        tree->installEventFilter(this);
        m_viewport->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_tree && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_handlers.enter();
                return true;
            }
        } else if (watched == m_tree && event->type() == QEvent::ContextMenu
                   && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
            // The menu opens over the selected node, as the mouse would open it.
            const QRect node = m_tree->visualItemRect(m_tree->currentItem());
            const QPoint at = node.isValid() ? node.center() : QPoint(0, 0);
            m_handlers.rightMouseUp(m_tree->viewport()->mapToGlobal(at));
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

private:
    QTreeWidget *m_tree;
    // Kept, not asked for: while the tree is being destroyed its viewport
    // still sends events here, and the tree can no longer be asked anything.
    QWidget *m_viewport;
    Handlers m_handlers;
};

} // namespace

void frmEditor::connectTreeEvents()
{
    // A node counts as clicked whether the mouse or the keyboard selected it;
    // a click on the node that is already selected reports it again.
    connect(tvFunctions, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *node) { runHandler([&] { tvFunctions_NodeClick(node); }); });
    connect(tvFunctions, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *node) { runHandler([&] { tvFunctions_NodeClick(node); }); });
    connect(tvVariables, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *node) { runHandler([&] { tvVariables_NodeClick(node); }); });
    connect(tvVariables, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *node) { runHandler([&] { tvVariables_NodeClick(node); }); });

    const auto popup = [this](const QPoint &globalPos) { mEditVariables->popup(globalPos); };
    new TreeEventFilter(tvFunctions, {[this] { runHandler([this] { InsertFunction(); }); },
                                      [this] { runHandler([this] { InsertFunction(); }); }, popup,
                                      [this](const QTreeWidgetItem *node) { return functionNodeToolTip(node); }});
    new TreeEventFilter(tvVariables, {[this] { runHandler([this] { InsertVariable(); }); },
                                      [this] { runHandler([this] { InsertVariable(); }); }, popup,
                                      [this](const QTreeWidgetItem *node) { return variableNodeToolTip(node); }});

    connect(mEditVariables, &QMenu::aboutToShow, this, [this] { mEditVariables_Click(); });
    connect(mInsertVar, &QAction::triggered, this, [this] { runHandler([this] { InsertVariable(); }); });
    connect(mInsertFunc, &QAction::triggered, this, [this] { runHandler([this] { InsertFunction(); }); });
    connect(mValueList, &QAction::triggered, this, [this] { runHandler([this] { mValueList_Click(); }); });
    connect(cmdValueList, &QPushButton::clicked, this, [this] { runHandler([this] { cmdValueList_Click(); }); });
}

QString frmEditor::functionNodeToolTip(const QTreeWidgetItem *node) const
{
    // A tooltip is only a reading aid: whatever fails leaves it out.
    try {
        if (editor::nodeTag(node).isEmpty() || !m_owner || !m_session)
            return editor::plainNodeToolTip(node->text(0));
        return editor::functionToolTip(node->text(0), m_session->help(editor::HelpKind::Function, editor::nodeKey(node)));
    } catch (...) {
        logSkippedFailure();
        return node->text(0);
    }
}

QString frmEditor::variableNodeToolTip(const QTreeWidgetItem *node) const
{
    try {
        const QString varID = editor::nodeKey(node);
        if (editor::nodeTag(node).isEmpty() || !m_owner || !m_session || !m_view || !m_view->Fields().Exists(varID))
            return editor::plainNodeToolTip(node->text(0));
        const auto &field = m_view->Fields().Item(varID);
        return editor::variableToolTip(editor::nodeTag(node), varID, field->vartype(), field->hasvaluelist(),
                                       m_session->help(editor::HelpKind::Variable, varID));
    } catch (...) {
        logSkippedFailure();
        return node->text(0);
    }
}

void frmEditor::showNodeHelp(const QTreeWidgetItem *node, editor::HelpKind kind)
{
    lbInfo->setText(m_session->nodeHelpLine(node, kind));
}

void frmEditor::tvFunctions_NodeClick(const QTreeWidgetItem *node)
{
    // Signals that arrive while the controls are being dropped find nothing
    // to update.
    if (!m_loaded || !node)
        return;
    showNodeHelp(node, editor::HelpKind::Function);
}

void frmEditor::tvVariables_NodeClick(const QTreeWidgetItem *node)
{
    if (!m_loaded || !node)
        return;
    cmdValueList->setEnabled(editor::valueListEnabled(editor::nodeImage(node), editor::nodeTag(node)));
    showNodeHelp(node, editor::HelpKind::Variable);
}

void frmEditor::InsertVariable()
{
    const QString tag = editor::nodeTag(tvVariables->currentItem());
    if (!tag.isEmpty())
        replaceSelection(tag);
}

void frmEditor::InsertFunction()
{
    const QString tag = editor::nodeTag(tvFunctions->currentItem());
    if (!tag.isEmpty())
        replaceSelection(editor::functionInsertion(tag, [this] { return selectedScriptText(); }));
}

void frmEditor::mEditVariables_Click()
{
    const QWidget *active = focusWidget();
    const QTreeWidgetItem *selected = tvVariables->currentItem();
    const editor::ContextMenuEnabling enabling = editor::contextMenuEnabling(
        active ? active->objectName() : QString(),
        selected ? std::optional<int>(editor::nodeImage(selected)) : std::nullopt);
    mInsertVar->setEnabled(enabling.insertVar);
    mInsertFunc->setEnabled(enabling.insertFunc);
    if (enabling.valueList)
        mValueList->setEnabled(*enabling.valueList);
}

void frmEditor::cmdValueList_Click()
{
    // Before any node is selected there is no variable to ask for.
    if (const QTreeWidgetItem *node = tvVariables->currentItem())
        RequestValueList(editor::nodeKey(node));
}

void frmEditor::mValueList_Click()
{
    cmdValueList_Click();
}

void frmEditor::RequestValueList(const QString &key)
{
    editor::ValueListExchange exchange;
    exchange.raiseListSourceRequest = [this](QString &listName, QVariant &data) {
        if (m_owner)
            m_owner->requestListSource(listName, data);
    };
    exchange.openList = [this](std::shared_ptr<Recordset> rsList, const QString &listField,
                               const QString &listText, qint32 &selectedValue) {
        if (!m_frmList)
            m_frmList = std::make_shared<frmList>();
        return m_frmList->WindowOpen(std::move(rsList), listField, listText, selectedValue, this);
    };
    exchange.unloadList = [this] {
        if (m_frmList && m_frmList->isVisible())
            m_frmList->hide();
    };
    // The window may be dropped while the host or the dialog runs; the code
    // goes in only if the script is still there.
    const std::optional<QString> code = editor::RequestValueList(m_view.get(), key, exchange);
    if (code && txtScript)
        replaceSelection(*code);
}

} // namespace nvtarnix
