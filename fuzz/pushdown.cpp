// Rules run as SQL against the engine alone. Each input is a rule, either
// built from the fuzzer's bytes by the differential test's grammar (each of
// its choices one byte) or the input's own text, read in the C or the Greek
// locale. The rule is translated for SQLite and PostgreSQL. The SQLite
// translation runs on a fixed SQLite table of its own: either the dirty
// table (text, reals and blobs in INTEGER columns, a NOCASE column) or the
// table of ISO date texts, each 256 random rows of the differential test. The
// pipeline (the SQL, then the engine on the rows it flags and on every row
// of a Partial translation) must give what the engine alone gives on every
// row: the same True rows and the same errors. PostgreSQL's translation is
// checked without a server, which a fuzz run has none of: every placeholder
// names a parameter of its own type. A mismatch
// is a finding; it is printed cut down to one row (and, for a built rule, to
// the smallest rule that still fails) as a line for
// tests/pushdown/data/regressions.tsv, which the normal suite replays.

#include "Differential.h"
#include "RuleGenerator.h"
#include "SqliteDatabase.h"

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <QRegularExpression>
#include <QStringList>

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace pushdowntest;
using nvtarnix::pushdown::Binding;
using nvtarnix::pushdown::Outcome;
using nvtarnix::pushdown::Parameter;
using nvtarnix::pushdown::SqlDialect;
using nvtarnix::pushdown::Translation;

namespace {

constexpr int TableRows = 256;
// The rows' seed; a change of it is a change of the check.
constexpr quint64 TableSeed = 20261207;

struct FixedTable
{
    TableShape shape;
    std::unique_ptr<SqliteDatabase> db;
    std::vector<StoredRow> rows;
    std::vector<std::vector<vbscript::Variant>> engine;
    RuleVocabulary vocabulary;
};

FixedTable makeTable(const QString &name)
{
    FixedTable t;
    for (const TableShape &s : SqliteDatabase::shapes())
        if (s.name == name)
            t.shape = s;
    if (t.shape.columns.empty())
        std::abort();
    t.db = std::make_unique<SqliteDatabase>();
    t.rows = randomRows(t.shape, TableRows, TableSeed);
    t.db->load(t.shape, t.rows);
    t.engine = t.db->engineRows();
    // As the differential test reads the columns' names.
    for (const auto &c : t.shape.columns)
        (c.name.startsWith(QLatin1Char('t'))   ? t.vocabulary.textVariables
         : c.name.startsWith(QLatin1Char('d')) ? t.vocabulary.dateVariables
                                               : t.vocabulary.numberVariables)
            << c.name;
    return t;
}

FixedTable &table(bool dates)
{
    static FixedTable dirty = makeTable(QStringLiteral("dirty"));
    static FixedTable isoDates = makeTable(QStringLiteral("dates"));
    return dates ? isoDates : dirty;
}

vbscript::RuleSettings settings(bool greek)
{
    vbscript::RuleSettings s;
    s.locale = vbscript::ScriptLocale(greek ? QLocale(QLocale::Greek, QLocale::Greece) : QLocale::c());
    s.now = QDateTime(QDate(2025, 6, 30), QTime(13, 45, 10));
    return s;
}

[[noreturn]] void finding(const QString &what)
{
    std::fprintf(stderr, "pushdown: %s\n", what.toUtf8().constData());
    std::abort();
}

// PostgreSQL's placeholders are "$N::type"; each must name a parameter of
// that type. (A parameter may go unused, where a part was decided without
// it: the readers give every parameter's type, so the server accepts it.)
void checkPostgres(const Translation &t, const QString &rule)
{
    if (t.outcome == Outcome::Fail)
        return;
    static const QRegularExpression placeholder(QStringLiteral("\\$(\\d+)::(int8|float8|text)\\b"));
    static const char *const types[] = {"int8", "float8", "text"};
    for (const QString &sql : {t.where, t.flagged}) {
        for (auto it = placeholder.globalMatch(sql); it.hasNext();) {
            const auto m = it.next();
            const int n = m.captured(1).toInt();
            if (n < 1 || n > t.parameters.size())
                finding(QStringLiteral("PostgreSQL's SQL names parameter %1 of %2 for %3\n%4")
                            .arg(n)
                            .arg(t.parameters.size())
                            .arg(rule, t.explanation()));
            if (m.captured(2) != QLatin1String(types[int(t.parameters[n - 1].type)]))
                finding(QStringLiteral("PostgreSQL's SQL types parameter %1 as %2 for %3\n%4")
                            .arg(n)
                            .arg(m.captured(2), rule, t.explanation()));
        }
        if (sql.count(QLatin1Char('(')) != sql.count(QLatin1Char(')')))
            finding(QStringLiteral("PostgreSQL's SQL has unbalanced parentheses for %1\n%2").arg(rule, t.explanation()));
    }
}

QString regressionLine(const QString &shape, const QString &rule, const StoredRow &row)
{
    QStringList parts{QStringLiteral("sqlite"), shape, rule};
    for (const StoredValue &v : row)
        parts << storedText(v);
    return parts.join(QLatin1Char('\t'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    const bool built = !input.flag();
    const bool greek = input.flag();
    FixedTable &t = table(input.flag());
    const vbscript::RuleSettings run = settings(greek);

    RuleNode node;
    QString text;
    if (built) {
        const int depth = input.number(1, 4);
        RuleGenerator generator(t.vocabulary, [&input](int n) { return input.number(0, n - 1); });
        node = generator.condition(depth);
        text = node.text();
    } else {
        text = input.text().left(2000);
    }

    std::shared_ptr<const vbscript::CompiledExpression> rule;
    try {
        rule = vbscript::CompiledExpression::compile(text);
    } catch (const vbscript::ScriptError &) {
        return 0;  // not a rule
    }
    // A rule over a column the table lacks has nothing to compare.
    for (const QString &v : rule->variables()) {
        bool found = false;
        for (const auto &c : t.shape.columns)
            found = found || c.name.compare(v, Qt::CaseInsensitive) == 0;
        if (!found)
            return 0;
    }
    static const bool show = qEnvironmentVariableIsSet("PUSHDOWN_FUZZ_SHOW");
    if (show)
        std::fprintf(stderr, "%s %s: %s\n", qPrintable(t.shape.name), greek ? "el-GR" : "C", qPrintable(text));

    // PostgreSQL: the same rule over typed columns of the same names.
    QList<nvtarnix::pushdown::ColumnBinding> pgColumns;
    for (const auto &c : t.shape.columns) {
        const Binding b = c.name.startsWith(QLatin1Char('t'))   ? Binding::PgText
                          : c.name.startsWith(QLatin1Char('d')) ? (c.name.endsWith(QLatin1Char('1')) ? Binding::PgDate
                                                                                                     : Binding::PgTimestamp)
                          : c.name.startsWith(QLatin1Char('r')) ? Binding::PgFloat8
                          : c.name == QLatin1String("n2")       ? Binding::PgNumeric
                                                                : Binding::PgInt4;
        pgColumns.append({c.name, c.name, b});
    }
    checkPostgres(nvtarnix::pushdown::translateRule(*rule, SqlDialect::PostgreSQL, pgColumns, run.now), text);

    const auto m = compareRule(*t.db, t.shape, text, t.engine, run);
    if (!m)
        return 0;
    QString line;
    if (built) {
        const ShrunkCase small = shrink(*t.db, t.shape, node, t.rows, run);
        line = regressionLine(t.shape.name, small.rule, small.rows.front());
    } else if (m->row >= 0) {
        line = regressionLine(t.shape.name, text, t.rows[size_t(m->row)]);
    }
    finding(QStringLiteral("mismatch in %1 on the %2 table, rule %3 (row %4): %5\nkeep it in "
                           "tests/pushdown/data/regressions.tsv:\n%6")
                .arg(greek ? QStringLiteral("el-GR") : QStringLiteral("C"), t.shape.name, text)
                .arg(m->row)
                .arg(m->what, line));
}
