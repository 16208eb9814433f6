#include "AmbiguityWarnings.h"
#include "CommandOptions.h"
#include "SchemaBuilder.h"
#include "SchemaCommands.h"

#include <cstdio>

namespace tarnixcli {

// tarnix convert: an expression from display form to database form or back,
// by the variables of a schema file's view.
int convertCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("convert"),
        QStringLiteral("--schema FILE [--catalog ID --view ID] (--to-database | --from-database) "
                       "[--language 1032|1033] [TEXT | -]"),
        QStringLiteral("Converts an expression between the display form, which names variables "
                       "by caption ([Customer.Name]), and the database form, which names them by "
                       "ID ([CUST_NAME]). The expression is TEXT, or standard input for - or "
                       "none; the result goes to standard output. Names of the view that a "
                       "rule cannot name safely are warned of on standard error."));
    options.addLanguageOption();
    QCommandLineParser &parser = options.parser();
    parser.addOption({QStringLiteral("to-database"),
                      QStringLiteral("Convert display form to database form.")});
    parser.addOption({QStringLiteral("from-database"),
                      QStringLiteral("Convert database form to display form.")});
    parser.addPositionalArgument(QStringLiteral("TEXT"),
                                 QStringLiteral("The expression, or - for standard input."),
                                 QStringLiteral("[TEXT | -]"));
    if (const auto done = options.parse(arguments))
        return *done;

    try {
        const bool toDatabase = parser.isSet(QStringLiteral("to-database"));
        if (toDatabase == parser.isSet(QStringLiteral("from-database")))
            throw UsageProblem(QStringLiteral("give exactly one of --to-database and "
                                              "--from-database"));
        options.applyLanguage();
        const auto builder = schemaBuilder(options.parser());
        warnAmbiguities(options.command(), *builder);
        const QString text = options.expression();
        const QString converted = toDatabase ? builder->ConvertScriptToDatabase(text)
                                             : builder->ConvertScriptFromDatabase(text);
        std::printf("%s\n", converted.toUtf8().constData());
        return 0;
    } catch (const nvtarnix::Error &e) {
        return options.fail(e);
    }
}

} // namespace tarnixcli
