#pragma once

#include "check/ExpressionCheck.h"
#include "editor/ScriptProblems.h"

#include <QString>
#include <QStringList>

#include <optional>

// The check as guided editing runs it, placed in the text the user typed:
// an unknown name fails it before the engine runs, and a failure names the
// line and column of the user's own text and the span to select there, not
// those of the text with samples in place of the variables.

namespace nvtarnix::editor {

class EditorSession;

struct PlacedFailure
{
    QString message;
    // The span of the editor's plain text (line feeds) to select.
    qsizetype start = 0;
    qsizetype length = 0;
};

// The first name of the text the view, the engine and the function tree do
// not know, as a failed check; nothing when every name is known.
std::optional<PlacedFailure> unknownNameFailure(const QString &plainText, EditorSession &session);

// The functions and plain names of the text that neither the engine nor the
// function tree knows, as problem marks with the name meant; the view's
// unknown [references] are marked in any mode already.
QVector<ScriptProblem> unknownNameProblems(const QString &plainText, EditorSession &session);

// A failed check placed in the user's text: a syntax error where the engine
// stops reading it, anything else on the line the check named.
PlacedFailure placedCheckFailure(const QString &plainText, const check::CheckOutcome &outcome,
                                 const QVector<ViewVariable> &variables, int language);

// What a passing check says.
QString checkPassedText();

} // namespace nvtarnix::editor
