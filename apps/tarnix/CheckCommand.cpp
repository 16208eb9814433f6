#include "CommandOptions.h"
#include "SchemaBuilder.h"
#include "SchemaCommands.h"

#include "check/ExpressionCheck.h"

#include <nvtarnix/Catalog.h>
#include <nvtarnix/View.h>

#include <cstdio>

namespace tarnixcli {

// tarnix check: the wizard's Check button without the window.
int checkCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("check"),
        QStringLiteral("--schema FILE [--catalog ID --view ID] [TEXT | -]"),
        QStringLiteral("Checks an expression as the wizard's Check button does: every variable "
                       "is replaced by a sample of its type and the result is evaluated by the "
                       "VBScript engine. Prints OK (exit status 0) or the message the wizard "
                       "shows (exit status 1). The expression is TEXT, or standard input for - "
                       "or none, in display or database form."));
    options.parser().addPositionalArgument(
        QStringLiteral("TEXT"), QStringLiteral("The expression, or - for standard input."),
        QStringLiteral("[TEXT | -]"));
    if (const auto done = options.parse(arguments))
        return *done;

    try {
        const auto builder = schemaBuilder(options.parser());
        // The wizard opens on the database form and shows it converted, so a
        // text in either form is checked as the user would see it.
        const QString shown = builder->ConvertScriptFromDatabase(options.expression());
        // The view the builder resolved, found again through the public schema.
        const auto view = builder->BuilderSchema()
                              ->GetCatalog(builder->CurrentCatalog())
                              ->Views()
                              .Item(builder->CurrentView());
        const auto outcome = nvtarnix::check::CheckExpression(
            shown, [&view] { return nvtarnix::variablesOfView(view.get()); },
            builder->RemoveNewLine());
        if (outcome.ok) {
            std::fputs("OK\n", stdout);
            return 0;
        }
        std::fputs(outcome.message.toUtf8().constData(), stdout);
        return 1;
    } catch (const nvtarnix::Error &e) {
        return options.fail(e);
    }
}

} // namespace tarnixcli
