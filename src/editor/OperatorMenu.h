#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class QMenu;
class QPlainTextEdit;

// The language's operators in the script's context menu, so that a rule can
// be finished with the mouse alone: = <> < > <= >= And Or Not Xor & + - * /
// \ Mod ( ). A pick puts the operator at the caret (or in place of the
// selection) with the blanks a reader expects around it.

namespace nvtarnix::editor {

// The operators, in the menu's order.
QStringList scriptOperators();

// The text written for op between the text before and after the caret: a
// blank on each side that has none yet (none at the start or after "("),
// and none around the parentheses.
QString operatorInsertion(const QString &op, QStringView before, QStringView after);

// Adds the submenu "mOperators" to menu, working on script.
void addOperatorMenu(QMenu *menu, QPlainTextEdit *script);

} // namespace nvtarnix::editor
