#pragma once

#include "editor/GuidedCheck.h"

#include <QObject>

#include <functional>

class QDialog;
class QPlainTextEdit;
class QTreeWidget;

namespace nvtarnix::editor {

// What guided editing adds to the window itself: Ctrl+Enter accepts, the
// text has the focus when the window opens, the window comes back at the
// size and place the user left it (per user, "Tarnix" / "Editor/geometry"),
// groups of a large view start collapsed, and the check's failures and
// success are shown where the user typed. Esc cancels through the window's
// own key handling, so that a control using Esc (the completion list) keeps
// it. Made only when the host turned guided editing on.
class GuidedEditingAid : public QObject
{
    Q_OBJECT
public:
    // accept runs OK's handler. The window and the text outlive the aid.
    GuidedEditingAid(QDialog *window, QPlainTextEdit *script, std::function<void()> accept);

    // At opening, once the controls are filled.
    void windowOpening(QTreeWidget *variableTree, int variableCount);
    // At closing, before the controls go.
    void windowClosing();

    // Selects the span of the failure and shows its message.
    void showFailure(const PlacedFailure &failure);
    void showPassed();

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
