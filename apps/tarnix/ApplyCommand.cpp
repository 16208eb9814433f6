// tarnix apply: a stored rule over every row of a table or query, of an
// SQLite file or a PostgreSQL database.

#include "Commands.h"
#include "CommandOptions.h"
#include "OrderedBlocks.h"
#include "PostgresRows.h"
#include "ProgressLine.h"
#include "PushDownPlan.h"
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

enum class PushDown { Auto, Off, Require };

struct ApplySettings
{
    QString database;
    bool fromPostgres = false;
    QString postgres;  // a libpq conninfo, in place of the database file; empty: libpq's defaults
    RowSource::Request source;
    BlockReport report = BlockReport::EveryRow;
    PushDown pushDown = PushDown::Auto;
    bool explain = false;
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
    if (parser.isSet(QStringLiteral("count")) && parser.isSet(QStringLiteral("matching")))
        usageError(QStringLiteral("give at most one of --count and --matching"));
    settings.report = parser.isSet(QStringLiteral("count"))      ? BlockReport::Count
                      : parser.isSet(QStringLiteral("matching")) ? BlockReport::Matching
                                                                 : BlockReport::EveryRow;
    if (parser.isSet(QStringLiteral("push-down"))) {
        const QString mode = parser.value(QStringLiteral("push-down"));
        if (mode == QLatin1String("auto"))
            settings.pushDown = PushDown::Auto;
        else if (mode == QLatin1String("off"))
            settings.pushDown = PushDown::Off;
        else if (mode == QLatin1String("require"))
            settings.pushDown = PushDown::Require;
        else
            usageError(QStringLiteral("--push-down takes auto, off or require, not \"%1\"").arg(mode));
    }
    if (settings.pushDown == PushDown::Require && settings.report == BlockReport::EveryRow)
        usageError(QStringLiteral("--push-down require needs --count or --matching: every row's value "
                                  "is printed only by the engine"));
    settings.explain = parser.isSet(QStringLiteral("explain"));
    settings.jobs = intOption(parser, QStringLiteral("jobs"), qBound(1, QThread::idealThreadCount(), MostJobs),
                              1, MostJobs, QStringLiteral("a number of threads from 1 to %1").arg(MostJobs));
    // The same bound per row as a host's Expression has by default.
    // One instant for the whole run, taken as it starts: Now, Date and Time
    // read it on every row, whether the engine or the database decides it.
    settings.rule.now = QDateTime::currentDateTime();
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

void write(ProgressLine &progress, std::FILE *stream, const QByteArray &text)
{
    if (text.isEmpty())
        return;
    progress.makeWayFor(stream);
    std::fwrite(text.constData(), 1, size_t(text.size()), stream);
    if (::isatty(::fileno(stream)) == 1)
        std::fflush(stream);  // before the progress line is drawn again
}

// Evaluates the rule over every row and writes what the rows give. Returns
// the exit status: 0, or 1 when a row failed.
int applyRule(const vbscript::CompiledExpression &rule, const ApplySettings &settings, RowSource &rows)
{
    // Results go out in large writes; progress goes to standard error.
    static char outBuffer[1 << 16];
    std::setvbuf(stdout, outBuffer, _IOFBF, sizeof outBuffer);
    const BlockReport report = settings.report;

    ProgressLine progress;
    qint64 rowsDone = 0;
    qint64 evaluatedRows = 0;
    qint64 trueRows = 0;
    qint64 failedRows = 0;
    int blockRows = FirstBlockRows;
    // A database that fails midway ends the run with its error, but the rows
    // before it were answered: with --count their count is printed first.
    auto countOnFailure = qScopeGuard([&] {
        progress.clear();
        if (report == BlockReport::Count)
            std::printf("%lld\n", static_cast<long long>(trueRows + rows.countedTrue()));
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
            // With --count the only output is the count, and with --matching
            // the keys: failed rows go to standard error.
            write(progress, report == BlockReport::Count ? stderr : stdout, outcome.lines);
            write(progress, stderr, outcome.errorLines);
            rowsDone += outcome.rows;
            evaluatedRows += outcome.evaluatedRows;
            trueRows += outcome.trueRows;
            failedRows += outcome.failedRows;
            progress.update(rowsDone);
        });
    countOnFailure.dismiss();
    progress.clear();
    // Rows the database counted itself were kept by the SQL all the same.
    trueRows += rows.countedTrue();
    if (report == BlockReport::Count)
        std::printf("%lld\n", static_cast<long long>(trueRows));
    std::fflush(stdout);
    if (settings.explain)
        std::fprintf(stderr, "push-down: %lld rows fetched, %lld re-checked by the engine\n",
                     static_cast<long long>(rowsDone + rows.countedTrue()), static_cast<long long>(evaluatedRows));
    return failedRows > 0 ? 1 : 0;
}

void explain(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// Says how the rule runs, with --explain, and stops the run when `require`
// cannot be met. Whether the rows come from the plan's statement.
bool pushesDown(const PushDownPlan &plan, const ApplySettings &settings)
{
    if (settings.pushDown == PushDown::Off) {
        if (settings.explain)
            explain(QStringLiteral("push-down: Fail\nnote: --push-down off: the engine evaluates every row\n"));
        return false;
    }
    QString account = plan.translation.explanation();
    if (settings.report == BlockReport::EveryRow && plan.translation.outcome != nvtarnix::pushdown::Outcome::Fail)
        account = QStringLiteral("push-down: Fail\nnote: every row's value is printed: the engine evaluates "
                                 "every row\n");
    else if (!plan.statement.sql.isEmpty())
        account += QStringLiteral("sql: %1\n").arg(plan.statement.sql);
    if (settings.explain)
        explain(account);
    if (plan.translation.outcome == nvtarnix::pushdown::Outcome::Fail) {
        if (settings.pushDown == PushDown::Require) {
            const nvtarnix::pushdown::Note why = plan.translation.notes.value(0);
            throw nvtarnix::Error(UsageError, QStringLiteral("tarnix"),
                                  QStringLiteral("the rule cannot run in the database: %1 (line %2, column %3): %4")
                                      .arg(why.part, QString::number(why.line), QString::number(why.column),
                                           why.reason));
        }
        return false;
    }
    return settings.report != BlockReport::EveryRow;
}

// Our SQL is meant to run everywhere; should a database refuse it, the
// engine still gives the answers.
void noteRefusal(const nvtarnix::Error &refused)
{
    std::fprintf(stderr, "tarnix apply: note: the database refused the rule's SQL (%s); the engine "
                         "evaluates every row\n",
                 qPrintable(refused.description()));
}

// A statement that the database took but that failed before its first row:
// most often the source itself fails (a query that divides by zero on some
// row). The engine's own read then meets the failure where it lies and
// reports it, after the rows before it, exactly as without push-down; so
// only --explain tells of it.
void noteFailure(const ApplySettings &settings, const nvtarnix::Error &failed)
{
    if (settings.explain)
        explain(QStringLiteral("note: the rule's SQL failed before its first row (%1); the engine evaluates "
                               "every row\n")
                    .arg(failed.description()));
}

// The rows of the rule as the push-down mode has them read: by the database,
// which keeps only the rows the rule may keep, or all of them for the engine.
std::unique_ptr<RowSource> rowsFor(const vbscript::CompiledExpression &rule, const ApplySettings &settings,
                                   const SqliteFile &file)
{
    // Checks the source and the columns first, as without push-down.
    auto everyRow = std::make_unique<RowSource>(file, settings.source, rule.variables());
    if (settings.pushDown == PushDown::Off) {
        pushesDown({}, settings);
        return everyRow;
    }
    const PushDownPlan plan =
        planPushDown(file, settings.source, rule, settings.rule.now, settings.report == BlockReport::Count);
    if (!pushesDown(plan, settings))
        return everyRow;
    std::unique_ptr<RowSource> pushed;
    try {
        pushed = std::make_unique<RowSource>(file, plan.statement);
    } catch (const nvtarnix::Error &refused) {
        noteRefusal(refused);
        return everyRow;
    }
    try {
        pushed->readAhead();
    } catch (const nvtarnix::Error &failed) {
        noteFailure(settings, failed);
        return everyRow;
    }
    return pushed;
}

std::unique_ptr<RowSource> rowsFor(const vbscript::CompiledExpression &rule, const ApplySettings &settings,
                                   PostgresConnection &database)
{
    auto everyRow = std::make_unique<RowSource>(database, settings.source, rule.variables());
    if (settings.pushDown == PushDown::Off) {
        pushesDown({}, settings);
        return everyRow;
    }
    // What runs for the push-down runs after a savepoint: a statement the
    // server refuses would otherwise end the transaction, and the engine's
    // read of every row with it. Returning there also undoes the settings
    // that let the push-down's statement use indexes.
    database.markSavepoint();
    const PushDownPlan plan = planPushDown(database, settings.source, rule, settings.rule.now, settings.report == BlockReport::Count);
    if (!pushesDown(plan, settings))
        return everyRow;
    std::unique_ptr<RowSource> pushed;
    try {
        database.prepareForPushDown(plan.sortsByPlace);
        pushed = std::make_unique<RowSource>(database, plan.statement);
    } catch (const nvtarnix::Error &refused) {
        database.returnToSavepoint();
        noteRefusal(refused);
        return everyRow;
    }
    try {
        pushed->readAhead();
    } catch (const nvtarnix::Error &failed) {
        database.returnToSavepoint();
        noteFailure(settings, failed);
        return everyRow;
    }
    return pushed;
}

} // namespace

int applyCommand(const QStringList &arguments)
{
    CommandOptions options(
        QStringLiteral("apply"),
        QStringLiteral("(--database FILE | --postgres CONNINFO) (--table NAME | --query SQL) [--key COLUMN] "
                       "[--count | --matching] [--push-down auto|off|require] [--explain] [--jobs N] [--timeout MS] "
                       "[--locale NAME] [--schema FILE [--catalog ID] "
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
            "takes it, and with --matching the key of each such row; failed rows then go to "
            "standard error. With either, the rule runs inside the database as far as it "
            "translates exactly (--push-down), with the same output. Usage and database errors exit "
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
    parser.addOption({QStringLiteral("matching"),
                      QStringLiteral("Print only the key of each row whose result is True, one a line.")});
    parser.addOption({QStringLiteral("push-down"),
                      QStringLiteral("Where --count and --matching run the rule: auto (in the database "
                                     "what translates exactly, the rest in the engine; the default), off "
                                     "(the engine reads every row) or require (stop, exit status 2, when "
                                     "the rule does not translate)."),
                      QStringLiteral("MODE")});
    parser.addOption({QStringLiteral("explain"),
                      QStringLiteral("Print on standard error how the rule runs: first \"push-down: Complete\", "
                                     "\"push-down: Partial\" or \"push-down: Fail\", then the SQL, its parameters "
                                     "and notes; after the run, the rows fetched and re-checked.")});
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
            const std::unique_ptr<RowSource> rows = rowsFor(*rule, settings, database);
            return applyRule(*rule, settings, *rows);
        }
        const SqliteFile file(settings.database);
        const std::unique_ptr<RowSource> rows = rowsFor(*rule, settings, file);
        return applyRule(*rule, settings, *rows);
    } catch (const nvtarnix::Error &e) {
        std::fflush(stdout);
        return options.fail(e);
    }
}

} // namespace tarnixcli
