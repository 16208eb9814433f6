// tarnix apply: a stored rule over every row of a table or query, of an
// SQLite file or a PostgreSQL database.

#include "Commands.h"
#include "CommandOptions.h"
#include "OrderedBlocks.h"
#include "PostgresRows.h"
#include "ProgressLine.h"
#include "RowSource.h"
#include "RuleBlocks.h"
#include "SchemaModule.h"
#include "SqliteRows.h"

#include "support/EngineError.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <QScopeGuard>
#include <QThread>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <unistd.h>

namespace tarnixcli {

namespace {

// Rows per block. The first blocks are small, so that every worker gets rows
// of a table of a few thousand; later ones grow, because each block handed to
// a worker wakes a thread, and on a virtual machine a wake-up costs as much as
// evaluating a few hundred rows.
constexpr int FirstBlockRows = 1024;
constexpr int MostBlockRows = 8192;
constexpr int MostJobs = 256;

[[noreturn]] void usageError(const QString &description)
{
    throw UsageProblem(description);
}

struct ApplySettings
{
    QString database;
    bool fromPostgres = false;
    QString postgres;  // a libpq conninfo, in place of the database file; empty: libpq's defaults
    RowSource::Request source;
    bool count = false;
    int jobs = 1;
    vbscript::RuleSettings rule;
};

int intOption(const QCommandLineParser &parser, const QString &name, int fallback, int least, int most,
              const QString &meaning)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < least || value > most)
        usageError(QStringLiteral("--%1 takes %2, not \"%3\"").arg(name, meaning, parser.value(name)));
    return value;
}

ApplySettings readSettings(const QCommandLineParser &parser)
{
    ApplySettings settings;
    settings.database = parser.value(QStringLiteral("database"));
    settings.fromPostgres = parser.isSet(QStringLiteral("postgres"));
    settings.postgres = parser.value(QStringLiteral("postgres"));
    if (parser.isSet(QStringLiteral("database")) == parser.isSet(QStringLiteral("postgres")))
        usageError(QStringLiteral("give exactly one of --database FILE and --postgres CONNINFO"));
    if (parser.isSet(QStringLiteral("database")) && settings.database.isEmpty())
        usageError(QStringLiteral("--database needs the path of an SQLite file"));
    settings.source.table = parser.value(QStringLiteral("table"));
    settings.source.query = parser.value(QStringLiteral("query"));
    if (parser.isSet(QStringLiteral("table")) == parser.isSet(QStringLiteral("query")))
        usageError(QStringLiteral("give exactly one of --table NAME and --query SQL"));
    if (parser.isSet(QStringLiteral("table")) && settings.source.table.isEmpty())
        usageError(QStringLiteral("--table needs the name of a table or view"));
    settings.source.keyColumn = parser.value(QStringLiteral("key"));
    if (parser.isSet(QStringLiteral("key")) && settings.source.keyColumn.isEmpty())
        usageError(QStringLiteral("--key needs the name of a column"));
    settings.count = parser.isSet(QStringLiteral("count"));
    settings.jobs = intOption(parser, QStringLiteral("jobs"), qBound(1, QThread::idealThreadCount(), MostJobs),
                              1, MostJobs, QStringLiteral("a number of threads from 1 to %1").arg(MostJobs));
    // The same bound per row as a host's Expression has by default.
    settings.rule.timeoutMs = intOption(parser, QStringLiteral("timeout"), 5000, -1, INT_MAX,
                                        QStringLiteral("milliseconds, or -1 for no limit"));
    if (settings.rule.timeoutMs == 0)
        usageError(QStringLiteral("--timeout takes milliseconds, or -1 for no limit, not \"0\""));
    if (parser.isSet(QStringLiteral("locale"))) {
        bool ok = false;
        settings.rule.locale = vbscript::ScriptLocale::fromName(parser.value(QStringLiteral("locale")), &ok);
        if (!ok)
            usageError(QStringLiteral("unknown locale \"%1\"").arg(parser.value(QStringLiteral("locale"))));
    }
    return settings;
}

std::shared_ptr<const vbscript::CompiledExpression> compileRule(const QString &text)
{
    try {
        return vbscript::CompiledExpression::compile(text);
    } catch (const vbscript::ScriptError &e) {
        const nvtarnix::Error error = nvtarnix::hostError(e);
        if (error.line() == 0)
            throw error;
        // Where it lies, counted from 1 as an editor shows it.
        throw nvtarnix::Error(error.number(), error.source(),
                              QStringLiteral("%1 (line %2, column %3)")
                                  .arg(error.description())
                                  .arg(error.line())
                                  .arg(error.column() + 1),
                              error.line(), error.column());
    }
}

// Evaluates the rule over every row and writes what the rows give. Returns
// the exit status: 0, or 1 when a row failed.
int applyRule(const vbscript::CompiledExpression &rule, const ApplySettings &settings, RowSource &rows)
{
    // Results go out in large writes; progress goes to standard error.
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const BlockReport report = settings.count ? BlockReport::Count : BlockReport::EveryRow;
    // With --count the only output is the count: failed rows go to standard error.
    std::FILE *lines = settings.count ? stderr : stdout;
    const bool linesToTerminal = ::isatty(::fileno(lines)) == 1;

    ProgressLine progress;
    qint64 rowsDone = 0;
    qint64 trueRows = 0;
    qint64 failedRows = 0;
    int blockRows = FirstBlockRows;
    // A database that fails midway ends the run with its error, but the rows
    // before it were answered: with --count their count is printed first.
    auto countOnFailure = qScopeGuard([&] {
        progress.clear();
        if (settings.count)
            std::printf("%lld\n", static_cast<long long>(trueRows));
        std::fflush(stdout);
    });
    runInOrder(
        settings.jobs,
        [&](RowBlock &block) {
            const bool more = rows.nextBlock(block, blockRows);
            blockRows = std::min(2 * blockRows, MostBlockRows);
            return more;
        },
        [&](RowBlock &block) { return evaluateBlock(rule, settings.rule, block, report); },
        [&](const BlockOutcome &outcome) {
            if (!outcome.lines.isEmpty()) {
                progress.makeWayFor(lines);
                std::fwrite(outcome.lines.constData(), 1, size_t(outcome.lines.size()), lines);
                if (linesToTerminal)
                    std::fflush(lines);  // before the progress line is drawn again
            }
            rowsDone += outcome.rows;
            trueRows += outcome.trueRows;
            failedRows += outcome.failedRows;
            progress.update(rowsDone);
        });
    countOnFailure.dismiss();
    progress.clear();
    if (settings.count)
        std::printf("%lld\n", static_cast<long long>(trueRows));
    std::fflush(stdout);
    return failedRows > 0 ? 1 : 0;
}

} // namespace

int applyCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("apply"),
        QStringLiteral("(--database FILE | --postgres CONNINFO) (--table NAME | --query SQL) [--key COLUMN] [--count] "
                       "[--jobs N] [--timeout MS] [--locale NAME] [--schema FILE [--catalog ID] "
                       "[--view ID]] [EXPRESSION | -]"),
        QStringLiteral(
            "Evaluates an expression in database form over every row of a table or query "
            "of an SQLite file or a PostgreSQL database, which is read in one read-only "
            "transaction. The expression's variables are the columns, compared without regard to "
            "case; with --schema, the display form is accepted too and converted through the "
            "view. Each row prints KEY<TAB>TypeName<TAB>value in the table's order, KEY being "
            "the --key column or the row number; a row whose evaluation fails prints "
            "KEY<TAB>error<TAB>NUMBER<TAB>DESCRIPTION and the run goes on (exit status 1). "
            "With --count the only output is the number of rows whose result is True, as If "
            "takes it; failed rows then go to standard error. Usage and database errors exit "
            "with status 2: a missing file, table or column before any row is read, a "
            "failure of the database midway after the rows before it (with --count, after their count). A "
            "file another program holds locked, or one with an unfinished write to roll back, fails "
            "with 3730. The expression is EXPRESSION, or standard "
            "input for - or none."));
    options.setSchemaOptional();
    QCommandLineParser &parser = options.parser();
    parser.addOption({QStringLiteral("database"), QStringLiteral("The SQLite file to read."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("postgres"),
                      QStringLiteral("The PostgreSQL database to read, as a libpq connection string "
                                     "(\"host=localhost dbname=shop\" or a postgresql:// URI)."),
                      QStringLiteral("CONNINFO")});
    parser.addOption({QStringLiteral("table"),
                      QStringLiteral("The table or view whose rows are evaluated, in its own order."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("query"),
                      QStringLiteral("A SELECT statement whose rows are evaluated, in its order."),
                      QStringLiteral("SQL")});
    parser.addOption({QStringLiteral("key"),
                      QStringLiteral("The column that names each row in the output; the row "
                                     "number (from 1) by default."),
                      QStringLiteral("COLUMN")});
    parser.addOption({QStringLiteral("count"),
                      QStringLiteral("Print only the number of rows whose result is True.")});
    parser.addOption({QStringLiteral("jobs"),
                      QStringLiteral("Threads that evaluate rows; the number of cores by default."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("timeout"),
                      QStringLiteral("Time limit of one row in milliseconds (5000 by default; -1: "
                                     "none). A row past it fails with the check's time-limit error."),
                      QStringLiteral("MS")});
    parser.addOption({QStringLiteral("locale"),
                      QStringLiteral("Locale of text, number and date conversions (en-US, el-GR, "
                                     "or an LCID); the system's by default."),
                      QStringLiteral("NAME")});
    parser.addPositionalArgument(QStringLiteral("EXPRESSION"),
                                 QStringLiteral("The expression, or - for standard input."),
                                 QStringLiteral("[EXPRESSION | -]"));
    if (const auto done = options.parse(arguments))
        return *done;

    try {
        const ApplySettings settings = readSettings(parser);
        QString text = options.expression();
        if (options.hasSchema())
            text = schemaModule().toDatabaseForm(parser, text);
        const auto rule = compileRule(text);
        if (settings.fromPostgres) {
            PostgresConnection database(settings.postgres);
            RowSource rows(database, settings.source, rule->variables());
            return applyRule(*rule, settings, rows);
        }
        const SqliteFile file(settings.database);
        RowSource rows(file, settings.source, rule->variables());
        return applyRule(*rule, settings, rows);
    } catch (const nvtarnix::Error &e) {
        std::fflush(stdout);
        return options.fail(e);
    }
}

} // namespace tarnixcli
