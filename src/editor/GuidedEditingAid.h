#pragma once

#include "editor/GuidedCheck.h"
#include "schema/ViewVariable.h"

#include <QVector>

#include <QObject>

class QDialog;
class QPlainTextEdit;
class QTreeWidget;

namespace nvtarnix::editor {

// What guided editing adds to the window itself: the text has the focus
// when the window opens, the window comes back at the
// size and place the user left it (per user, "Tarnix" / "Editor/geometry"),
// groups of a large view start collapsed, and the check's failures and
// success are shown where the user typed. Esc (cancel) and Ctrl+Enter (OK)
// go through the window's own key handling, so that a control using the key
// (the completion list's Esc) keeps it. Made only when the host turned
// guided editing on.
class GuidedEditingAid : public QObject
{
    Q_OBJECT
public:
    // The window and the text outlive the aid.
    GuidedEditingAid(QDialog *window, QPlainTextEdit *script);

    // At opening, once the controls are filled.
    void windowOpening(QTreeWidget *variableTree, int variableCount);
    // At closing, before the controls go.
    void windowClosing();

    // Selects the span of the failure and shows its message.
    void showFailure(const PlacedFailure &failure);
    // Says that the check passed; with warnings (a date or number compared
    // with text), says them too.
    void showPassed(const QStringList &warnings = {});

    // The ID of the variable the caret stands at when it offers a value
    // list; empty otherwise.
    QString valueListVariableAtCaret(const QVector<ViewVariable> &variables) const;
    // The code written at the caret, for the value list to start on.
    QString codeAtCaret() const;
    // Writes a code picked from a value list as a whole comparison, or in
    // place of the code next to the caret.
    // Returns the text put in, which may be more than the code (" = 276").
    QString insertCode(const QString &code);

private:
    QDialog *m_window;
    QPlainTextEdit *m_script;
};

// Views with more variables than this open with their groups collapsed.
inline constexpr int kCollapsedGroupsAbove = 500;

// Collapses every group node of the tree (the nodes below the root that hold
// variables); the root stays open.
void collapseGroups(QTreeWidget *tree);

} // namespace nvtarnix::editor
