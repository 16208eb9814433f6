#pragma once

#include "editor/AmbiguousReferences.h"
#include "editor/NameSuggestion.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <QSet>
#include <QString>
#include <QVector>

#include <memory>
#include <optional>

// The problems marked in the script text as the user types: references that
// name no variable of the view, references that could mean more than one,
// and the engine's syntax error. Marking them is
// a help only: the check's result does not depend on it.

namespace nvtarnix::editor {

struct ScriptProblem
{
    // UnknownName: a function or a plain name neither the view nor the
    // engine knows, marked with guided editing only.
    enum Kind { UnknownReference, Syntax, AmbiguousReference, UnknownName };
    Kind kind = UnknownReference;
    qsizetype start = 0;
    qsizetype length = 0;
    // The reference as written, for an unknown reference.
    QString reference;
    // The nearest display name, or empty.
    QString suggestion;
    // The engine's message, for a syntax error; the variables it could
    // mean, for an ambiguous reference.
    QString message;

    bool covers(qsizetype position) const { return position >= start && position < start + length; }
};

// The display text compiled once after a typing pause, shared by every aid
// that reads it (the problem marks, the preview). An empty text is neither
// compiled nor in error.
struct CompiledScript
{
    QString displayText;
    std::shared_ptr<const vbscript::CompiledExpression> compiled;
    // The compile error as the engine raised it, and where it is marked.
    std::optional<vbscript::ScriptError> error;
    std::optional<ScriptProblem> syntax;
};

CompiledScript compileScript(const QString &displayText, int language);

// The syntax error of the display text as the engine reports it, placed in
// the text; nothing when the text compiles (or is empty).
std::optional<ScriptProblem> syntaxProblem(const QString &displayText, int language);

// The offset in text of a 1-based line and a 0-based column; positions past
// a line's end stop at its end, past the text at its end.
qsizetype offsetOf(const QString &text, int line, int column);

// Every bracketed reference outside strings and comments that could mean
// more than one variable (ambiguous may be null), or else is not one of
// knownNames (exact letter case, as the check replaces them), with the
// nearest known name; then the syntax error, if any.
QVector<ScriptProblem> findProblems(const QString &displayText, const QSet<QString> &knownNames,
                                    const NameSuggestion &suggestions, int language,
                                    const AmbiguousReferences *ambiguous = nullptr);
// The same for a text already compiled.
QVector<ScriptProblem> findProblems(const CompiledScript &script, const QSet<QString> &knownNames,
                                    const NameSuggestion &suggestions,
                                    const AmbiguousReferences *ambiguous = nullptr);

} // namespace nvtarnix::editor
