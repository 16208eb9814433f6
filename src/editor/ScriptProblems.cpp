#include "editor/ScriptProblems.h"

#include "editor/ScriptSpans.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <algorithm>

namespace nvtarnix::editor {

qsizetype offsetOf(const QString &text, int line, int column)
{
    qsizetype at = 0;
    for (int l = 1; l < line; ++l) {
        const qsizetype next = text.indexOf(QLatin1Char('\n'), at);
        if (next < 0)
            return text.size();
        at = next + 1;
    }
    qsizetype end = text.indexOf(QLatin1Char('\n'), at);
    if (end < 0)
        end = text.size();
    return std::min(at + std::max(column, 0), end);
}

CompiledScript compileScript(const QString &displayText, int language)
{
    CompiledScript script;
    script.displayText = displayText;
    if (displayText.trimmed().isEmpty())
        return script;
    try {
        script.compiled = vbscript::CompiledExpression::compile(displayText);
        return script;
    } catch (const vbscript::ScriptError &error) {
        script.error = error;
    }
    const vbscript::ScriptError &error = *script.error;
    ScriptProblem problem;
    problem.kind = ScriptProblem::Syntax;
    problem.message = error.descriptionIn(language);
    qsizetype start = offsetOf(displayText, std::max(error.line(), 1), error.column());
    // The mark covers the word the engine stopped at; at a line's end it
    // covers the character before, so that it can be seen.
    qsizetype end = start;
    while (end < displayText.size() && (displayText.at(end).isLetterOrNumber() || displayText.at(end) == '_'))
        ++end;
    if (end == start && start < displayText.size() && displayText.at(start) != QLatin1Char('\n'))
        ++end;
    if (end == start && start > 0)
        --start;
    problem.start = start;
    problem.length = end - start;
    script.syntax = problem;
    return script;
}

std::optional<ScriptProblem> syntaxProblem(const QString &displayText, int language)
{
    return compileScript(displayText, language).syntax;
}

QVector<ScriptProblem> findProblems(const QString &displayText, const QSet<QString> &knownNames,
                                    const NameSuggestion &suggestions, int language,
                                    const AmbiguousReferences *ambiguous)
{
    return findProblems(compileScript(displayText, language), knownNames, suggestions, ambiguous);
}

QVector<ScriptProblem> findProblems(const CompiledScript &script, const QSet<QString> &knownNames,
                                    const NameSuggestion &suggestions, const AmbiguousReferences *ambiguous)
{
    const QString &displayText = script.displayText;
    QVector<ScriptProblem> problems;
    for (const ScriptSpan &span : scriptSpans(displayText)) {
        if (span.kind != ScriptSpan::Reference || !span.closed)
            continue;
        const QString reference = displayText.mid(span.start, span.length);
        if (ambiguous) {
            // A caption's bracket ends the reference early: the whole name
            // is marked, not its head.
            const AmbiguousReferences::Bracketed bracketed = ambiguous->bracketedNameAt(displayText, span.start);
            const QStringList descriptions =
                bracketed.length ? bracketed.descriptions : ambiguous->descriptionsOf(reference);
            if (!descriptions.isEmpty()) {
                ScriptProblem problem;
                problem.kind = ScriptProblem::AmbiguousReference;
                problem.start = span.start;
                problem.length = bracketed.length ? bracketed.length : span.length;
                problem.reference = displayText.mid(problem.start, problem.length);
                problem.message = descriptions.join(QLatin1Char('\n'));
                problems.append(problem);
                continue;
            }
        }
        if (knownNames.contains(reference))
            continue;
        ScriptProblem problem;
        problem.kind = ScriptProblem::UnknownReference;
        problem.start = span.start;
        problem.length = span.length;
        problem.reference = reference;
        problem.suggestion = suggestions.nearest(reference);
        problems.append(problem);
    }
    // The engine stops at a caption's bracket, which the check's samples
    // hide: the ambiguity mark there says all there is to say.
    const auto coveredByName = [&](const ScriptProblem &syntax) {
        return std::any_of(problems.cbegin(), problems.cend(), [&](const ScriptProblem &p) {
            return p.kind == ScriptProblem::AmbiguousReference && p.covers(syntax.start);
        });
    };
    if (script.syntax && !coveredByName(*script.syntax))
        problems.append(*script.syntax);
    return problems;
}

} // namespace nvtarnix::editor
