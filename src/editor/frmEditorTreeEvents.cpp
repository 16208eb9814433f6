// The editor window's handlers of its two trees, their context menu and the
// value-list button. Each stays thin: the rules live in TreeInteraction.

#include "editor/frmEditor.h"

#include "editor/AnnouncementAid.h"
#include "editor/EditorSession.h"
#include "editor/GuidedEditingAid.h"
#include "editor/EditorTreeItems.h"
#include "editor/FocusRing.h"
#include "editor/NodeToolTips.h"
#include "editor/TreeEventFilter.h"
#include "editor/TreeInteraction.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"
#include "valuelist/frmList.h"

#include <nvtarnix/View.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

namespace nvtarnix {

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
    new editor::TreeEventFilter(tvFunctions,
                                {[this] { runHandler([this] { InsertFunction(); }); },
                                 [this] { runHandler([this] { InsertFunction(); }); }, popup,
                                 [this](const QTreeWidgetItem *node) { return functionNodeToolTip(node); }});
    new editor::TreeEventFilter(tvVariables,
                                {[this] { runHandler([this] { InsertVariable(); }); },
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
        const auto reference = editor::EditorSession::functionReference(node);
        return editor::functionToolTip(
            node->text(0), m_session->help(editor::HelpKind::Function, editor::nodeKey(node)),
            reference ? editor::referenceParagraphs(*reference, editor::nodeTag(node), CurrentLanguage()) : QStringList());
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
    // With guided editing the variable the caret stands at comes first.
    if (m_guided && m_session) {
        if (const QString key = m_guided->valueListVariableAtCaret(m_session->variables()); !key.isEmpty())
            return RequestValueList(key);
    }
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
        if (!m_frmList) {
            m_frmList = std::make_shared<frmList>();
            editor::showFocusRing(m_frmList.get());
        }
        if (m_guided) {
            m_frmList->setPreselectedCode(m_guided->codeAtCaret());
            m_frmList->setSearchable(true);
        }
        return m_frmList->WindowOpen(std::move(rsList), listField, listText, selectedValue, this);
    };
    exchange.unloadList = [this] {
        if (m_frmList && m_frmList->isVisible())
            m_frmList->hide();
    };
    // The window may be dropped while the host or the dialog runs; the code
    // goes in only if the script is still there.
    const std::optional<QString> code = editor::RequestValueList(m_view.get(), key, exchange);
    if (code && txtScript) {
        if (m_guided) {
            const QString put = m_guided->insertCode(*code);
            if (m_announcements)
                m_announcements->inserted(put.trimmed());
        } else
            replaceSelection(*code);
    }
}

} // namespace nvtarnix
