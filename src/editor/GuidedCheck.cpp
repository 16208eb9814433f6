#include "editor/GuidedCheck.h"

#include "check/UnknownNames.h"
#include "editor/EditorSession.h"
#include "editor/ScriptProblems.h"
#include "editor/ScriptSpans.h"
#include "support/MlStringModule.h"

#include <memory>

namespace nvtarnix::editor {

namespace {

// The column of the user's line that a column of the evaluated line stands
// for: each display name there was evaluated as its sample, so a column
// inside a sample is the name's first, and columns after it shift by the
// difference in length.
int userColumn(const QString &userLine, int testColumn, const QVector<EditorVariable> &variables)
{
    QHash<QString, int> sampleLength;
    for (const EditorVariable &variable : variables)
        sampleLength.insert(variable.displayName(), int(check::sampleValue(variable).size()));
    int user = 0;
    int test = 0;
    for (const ScriptSpan &span : scriptSpans(userLine)) {
        if (span.kind != ScriptSpan::Reference || !span.closed)
            continue;
        const auto found = sampleLength.constFind(userLine.mid(span.start, span.length));
        if (found == sampleLength.cend())
            continue;
        const int gap = int(span.start) - user;
        if (testColumn < test + gap)
            break;
        test += gap;
        user = int(span.start);
        if (testColumn < test + *found)
            return user;
        test += *found;
        user += int(span.length);
    }
    return user + (testColumn - test);
}

} // namespace

namespace {

// What the view, the engine and the function tree know, with the nearest
// names for a misspelt one.
check::KnownNames knownNamesOf(EditorSession &session)
{
    check::KnownNames known;
    known.variables = session.variables();
    QStringList functions = check::engineFunctionNames();
    for (const QString &insertion : session.completionEntries().functionInsertions)
        functions.append(insertion.trimmed().remove(QLatin1Char('(')));
    known.functions = QSet<QString>(functions.begin(), functions.end());
    known.nearestVariable = [&session](const QString &name) { return session.suggestions().nearest(name); };
    const auto functionSuggestion = std::make_shared<NameSuggestion>(functions);
    known.nearestFunction = [functionSuggestion](const QString &name) { return functionSuggestion->nearest(name); };
    return known;
}

} // namespace

std::optional<PlacedFailure> unknownNameFailure(const QString &plainText, EditorSession &session)
{
    const std::optional<check::UnknownName> unknown = check::findUnknownName(plainText, knownNamesOf(session));
    if (!unknown)
        return std::nullopt;
    PlacedFailure failure;
    failure.message = check::composeCheckMessage(check::unknownNameText(*unknown), unknown->line, unknown->column);
    failure.start = offsetOf(plainText, unknown->line, unknown->column);
    failure.length = unknown->length;
    return failure;
}

QVector<ScriptProblem> unknownNameProblems(const QString &plainText, EditorSession &session)
{
    QVector<ScriptProblem> problems;
    for (const check::UnknownName &unknown : check::findUnknownNames(plainText, knownNamesOf(session))) {
        if (unknown.kind == check::UnknownName::Variable)
            continue;
        ScriptProblem problem;
        problem.kind = ScriptProblem::UnknownName;
        problem.start = offsetOf(plainText, unknown.line, unknown.column);
        problem.length = unknown.length;
        problem.reference = unknown.name;
        problem.suggestion = unknown.suggestion;
        problem.message = check::unknownNameText(unknown);
        problems.append(problem);
    }
    return problems;
}

PlacedFailure placedCheckFailure(const QString &plainText, const check::CheckOutcome &outcome,
                                 const QVector<EditorVariable> &variables, int language)
{
    PlacedFailure failure;
    const CompiledScript compiled = compileScript(plainText, language);
    if (compiled.error && compiled.syntax) {
        const vbscript::ScriptError &error = *compiled.error;
        failure.message
            = check::composeCheckMessage(error.descriptionIn(language), std::max(error.line(), 1), error.column());
        failure.start = compiled.syntax->start;
        failure.length = compiled.syntax->length;
        return failure;
    }
    // A failure while running: its line is the user's, its column is
    // carried back over the samples, and the rest of the line from there is
    // selected.
    const int line = std::max(outcome.line, 1);
    const qsizetype lineStart = offsetOf(plainText, line, 0);
    qsizetype lineEnd = plainText.indexOf(QLatin1Char('\n'), lineStart);
    if (lineEnd < 0)
        lineEnd = plainText.size();
    const QString userLine = plainText.mid(lineStart, lineEnd - lineStart);
    const int column = std::min(userColumn(userLine, outcome.column, variables), int(userLine.size()));
    failure.message = check::composeCheckMessage(outcome.description, line, column);
    failure.start = lineStart + column;
    failure.length = lineEnd - failure.start;
    return failure;
}

QString checkPassedText()
{
    return GetMlStringOrDefault(1411, QString());
}

} // namespace nvtarnix::editor
