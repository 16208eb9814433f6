#include "AmbiguityWarnings.h"
#include "CommandOptions.h"
#include "SchemaBuilder.h"
#include "SchemaCommands.h"

#include "check/ExpressionCheck.h"
#include "check/TypeSlips.h"
#include "check/UnknownNames.h"
#include "editor/NameSuggestion.h"

#include <nvtarnix/Catalog.h>
#include <nvtarnix/View.h>

#include <cstdio>
#include <optional>

namespace tarnixcli {

namespace {

// The check's message for the first name of the text that neither the view
// nor the engine knows; nothing when all are known.
std::optional<QString> unknownName(const QString &text, const QVector<nvtarnix::ViewVariable> &variables)
{
    using namespace nvtarnix;
    QStringList names;
    for (const ViewVariable &variable : variables)
        names.append(variable.displayName());
    const editor::NameSuggestion variableSuggestion(names);
    const editor::NameSuggestion functionSuggestion(check::engineFunctionNames());
    check::KnownNames known;
    known.variables = variables;
    known.nearestVariable = [&](const QString &name) { return variableSuggestion.nearest(name); };
    known.nearestFunction = [&](const QString &name) { return functionSuggestion.nearest(name); };
    const auto unknown = check::findUnknownName(text, known);
    if (!unknown)
        return std::nullopt;
    return check::composeCheckMessage(check::unknownNameText(*unknown), unknown->line, unknown->column);
}

} // namespace

// tarnix check: the wizard's Check button without the window.
int checkCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("check"),
        QStringLiteral("--schema FILE [--catalog ID --view ID] [--language 1032|1033] [--specified] [TEXT | -]"),
        QStringLiteral("Checks an expression as the wizard's Check button does: every variable "
                       "is replaced by a sample of its type and the result is evaluated by the "
                       "VBScript engine. Prints OK (exit status 0) or the message the wizard "
                       "shows (exit status 1). The expression is TEXT, or standard input for - "
                       "or none, in display or database form. Names of the view that a rule "
                       "cannot name safely are warned of on standard error. With guided editing "
                       "(the default; --specified turns it off) a name that neither the view nor "
                       "the engine knows fails the check, with the name it was probably meant "
                       "to be, and a date or number variable compared with text is warned of "
                       "with the likely fix."));
    options.addLanguageOption();
    options.addSpecifiedOption();
    options.parser().addPositionalArgument(
        QStringLiteral("TEXT"), QStringLiteral("The expression, or - for standard input."),
        QStringLiteral("[TEXT | -]"));
    if (const auto done = options.parse(arguments))
        return *done;

    try {
        options.applyLanguage();
        const auto builder = schemaBuilder(options.parser());
        warnAmbiguities(options.command(), *builder);
        // The wizard opens on the database form and shows it converted, so a
        // text in either form is checked as the user would see it.
        const QString shown = builder->ConvertScriptFromDatabase(options.expression());
        // The view the builder resolved, found again through the public schema.
        const auto view = builder->BuilderSchema()
                              ->GetCatalog(builder->CurrentCatalog())
                              ->Views()
                              .Item(builder->CurrentView());
        if (options.guidedEditing()) {
            if (const auto unknown = unknownName(shown, nvtarnix::variablesOfView(view.get()))) {
                std::fputs(withUnixLineEnds(*unknown).toUtf8().constData(), stdout);
                return 1;
            }
        }
        const auto outcome = nvtarnix::check::CheckExpression(
            shown, [&view] { return nvtarnix::variablesOfView(view.get()); },
            builder->RemoveNewLine());
        if (outcome.ok) {
            if (options.guidedEditing()) {
                const auto variables = nvtarnix::variablesOfView(view.get());
                for (const QString &warning : nvtarnix::check::typeSlipWarnings(shown, variables))
                    std::fprintf(stderr, "tarnix check: warning: %s\n", warning.toUtf8().constData());
            }
            std::fputs("OK\n", stdout);
            return 0;
        }
        std::fputs(withUnixLineEnds(outcome.message).toUtf8().constData(), stdout);
        return 1;
    } catch (const nvtarnix::Error &e) {
        return options.fail(e);
    }
}

} // namespace tarnixcli
