#pragma once

#include "editor/AmbiguousReferences.h"
#include "editor/Completion.h"
#include "editor/EditorOwner.h"
#include "editor/EditorTrees.h"
#include "editor/FunctionReference.h"
#include "editor/NameSuggestion.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

class QTreeWidget;
class QTreeWidgetItem;

// One run of the editor window: what its aids read once a run and then share,
// each piece gathered when an aid first asks for it (the view's variables,
// the names the problem marks know, the completion lists, the trees' nodes by
// name), the owner's help, and the user's sample values for the run.

namespace nvtarnix::editor {

// The completion list's entries: what the list shows, what a pick inserts
// and the matchers that find them as the user types.
struct CompletionEntries
{
    QStringList variables;
    CompletionMatcher variableMatcher;
    QStringList functions;
    QStringList functionInsertions;
    CompletionMatcher functionMatcher;
};

class EditorSession
{
public:
    using VariableSource = std::function<QVector<EditorVariable>()>;

    // The trees are read as they are when first asked; they outlive the
    // session. owner may be null (nothing has help then).
    EditorSession(const EditorOwner *owner, bool showHelpLine, VariableSource readVariables,
                  const QTreeWidget *variableTree, const QTreeWidget *functionTree);

    const EditorOwner *owner() const { return m_owner; }
    // Whether the help line shows, as the owner said when the run began.
    bool showsHelpLine() const { return m_showHelpLine; }

    // The one way the window reads the owner's help.
    QString help(HelpKind kind, const QString &key) const { return ownerHelp(m_owner, kind, key); }
    // What the help line shows for a tree node of that kind. Guided, a
    // built-in function without the host's help shows its reference.
    QString nodeHelpLine(const QTreeWidgetItem *node, HelpKind kind) const;
    bool guided() const { return m_guided; }
    // The reference of a function node that holds a built-in function (under
    // a built-in interface or a category), in the user-interface language.
    static std::optional<FunctionReferenceEntry> functionReference(const QTreeWidgetItem *node);

    const QVector<EditorVariable> &variables();
    const QSet<QString> &knownNames();
    const NameSuggestion &suggestions();
    // The view's names that could mean more than one variable.
    const AmbiguousReferences &ambiguousReferences();
    const CompletionEntries &completionEntries();
    // A catalog function's node by name (letter case does not count) and a
    // variable's node by display name; null when the tree has none.
    const QTreeWidgetItem *functionNode(const QString &name);
    const QTreeWidgetItem *variableNode(const QString &displayName);

    // Runs a handler's work the way the window reports a handler's errors;
    // without a runner the work runs and its errors pass on.
    using HandlerRunner = std::function<void(const std::function<void()> &)>;
    void setHandlerRunner(HandlerRunner runner) { m_runHandler = std::move(runner); }
    void runHandler(const std::function<void()> &work) const;

    // The user's sample values for this run, by variable ID, as typed.
    QHash<QString, QString> &sampleTexts() { return m_sampleTexts; }
    const QHash<QString, QString> &sampleTexts() const { return m_sampleTexts; }

private:
    struct Names
    {
        QSet<QString> known;
        NameSuggestion suggestions;
    };
    struct Nodes
    {
        QHash<QString, const QTreeWidgetItem *> functions;
        QHash<QString, const QTreeWidgetItem *> variables;
    };
    const Names &names();
    const Nodes &nodes();

    const EditorOwner *m_owner;
    bool m_showHelpLine;
    bool m_guided;
    VariableSource m_readVariables;
    const QTreeWidget *m_variableTree;
    const QTreeWidget *m_functionTree;
    std::optional<QVector<EditorVariable>> m_variables;
    std::optional<Names> m_names;
    std::optional<AmbiguousReferences> m_ambiguous;
    std::optional<CompletionEntries> m_completion;
    std::optional<Nodes> m_nodes;
    QHash<QString, QString> m_sampleTexts;
    HandlerRunner m_runHandler;
};

} // namespace nvtarnix::editor
