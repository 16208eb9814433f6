#include "editor/EditorSession.h"

#include "editor/EditorTreeItems.h"
#include "editor/FunctionGroups.h"
#include "editor/TreeInteraction.h"
#include "support/MlStringModule.h"
#include "schema/NameAmbiguities.h"

#include <QTreeWidget>

namespace nvtarnix::editor {

namespace {

// Every node of the tree, parents before their children.
void forEachNode(const QTreeWidget *tree, const std::function<void(const QTreeWidgetItem *)> &visit)
{
    const std::function<void(const QTreeWidgetItem *)> walk = [&](const QTreeWidgetItem *item) {
        visit(item);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i));
    };
    for (int i = 0; tree && i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i));
}

} // namespace

EditorSession::EditorSession(const EditorOwner *owner, bool showHelpLine, VariableSource readVariables,
                             const QTreeWidget *variableTree, const QTreeWidget *functionTree)
    : m_owner(owner), m_showHelpLine(showHelpLine), m_guided(owner && owner->guidedEditing()),
      m_readVariables(std::move(readVariables)),
      m_variableTree(variableTree), m_functionTree(functionTree)
{
}

QString EditorSession::nodeHelpLine(const QTreeWidgetItem *node, HelpKind kind) const
{
    return nodeHelpText(nodeTag(node), node ? node->text(0) : QString(), m_showHelpLine, [&] {
        QString text = help(kind, nodeKey(node));
        if (text.isEmpty() && kind == HelpKind::Function && m_guided) {
            if (const auto entry = functionReference(node))
                text = referenceHelpLine(*entry, CurrentLanguage());
        }
        return text;
    });
}

std::optional<FunctionReferenceEntry> EditorSession::functionReference(const QTreeWidgetItem *node)
{
    // A host may give a function of its own a built-in's name: the reference
    // speaks only of the built-in ones.
    const QString group = nodeKey(node ? node->parent() : nullptr);
    if (!isBuiltinInterface(group) && !group.startsWith(QLatin1Char('#')))
        return std::nullopt;
    return FunctionReference::instance().find(nodeKey(node), CurrentLanguage());
}

void EditorSession::runHandler(const std::function<void()> &work) const
{
    if (m_runHandler)
        m_runHandler(work);
    else
        work();
}

const QVector<EditorVariable> &EditorSession::variables()
{
    if (!m_variables) {
        // Read once even when reading fails: the aids then work without them.
        m_variables.emplace();
        if (m_readVariables)
            *m_variables = m_readVariables();
    }
    return *m_variables;
}

const EditorSession::Names &EditorSession::names()
{
    if (!m_names) {
        QStringList displayNames;
        for (const EditorVariable &variable : variables())
            displayNames.append(variable.displayName());
        m_names = Names{QSet<QString>(displayNames.begin(), displayNames.end()), NameSuggestion(displayNames)};
    }
    return *m_names;
}

const QSet<QString> &EditorSession::knownNames()
{
    return names().known;
}

const NameSuggestion &EditorSession::suggestions()
{
    return names().suggestions;
}

const AmbiguousReferences &EditorSession::ambiguousReferences()
{
    if (!m_ambiguous)
        m_ambiguous.emplace(findNameAmbiguities(variables()));
    return *m_ambiguous;
}

const CompletionEntries &EditorSession::completionEntries()
{
    if (!m_completion) {
        CompletionEntries entries;
        QStringList searchTexts;
        for (const EditorVariable &variable : variables()) {
            const QString name = variable.displayName();
            entries.variables.append(name);
            // Matched without its brackets.
            searchTexts.append(name.mid(1, name.size() - 2));
        }
        entries.variableMatcher = CompletionMatcher(searchTexts);
        QStringList functionNames;
        forEachNode(m_functionTree, [&](const QTreeWidgetItem *item) {
            const QString tag = nodeTag(item);
            if (tag.isEmpty())
                return;
            functionNames.append(nodeKey(item));
            entries.functions.append(tag);
            entries.functionInsertions.append(nodeKey(item) + QLatin1Char('('));
        });
        // The operator words come after the functions; a pick writes the
        // word and the blank after it.
        for (const QString &word : operatorWords()) {
            functionNames.append(word);
            entries.functions.append(word);
            entries.functionInsertions.append(word + QLatin1Char(' '));
        }
        entries.functionMatcher = CompletionMatcher(functionNames);
        m_completion = std::move(entries);
    }
    return *m_completion;
}

const EditorSession::Nodes &EditorSession::nodes()
{
    if (!m_nodes) {
        Nodes found;
        forEachNode(m_functionTree, [&](const QTreeWidgetItem *item) {
            if (!nodeTag(item).isEmpty())
                found.functions.insert(nodeKey(item).toLower(), item);
        });
        forEachNode(m_variableTree, [&](const QTreeWidgetItem *item) {
            if (const QString tag = nodeTag(item); !tag.isEmpty())
                found.variables.insert(tag, item);
        });
        m_nodes = std::move(found);
    }
    return *m_nodes;
}

const QTreeWidgetItem *EditorSession::functionNode(const QString &name)
{
    // Function names are VBScript names: letter case does not count.
    return nodes().functions.value(name.toLower());
}

const QTreeWidgetItem *EditorSession::variableNode(const QString &displayName)
{
    return nodes().variables.value(displayName);
}

} // namespace nvtarnix::editor
