// Rules as users write them (data/corpus.tsv): how many run completely in
// the database on typed columns and on declared ones.

#include "TestMain.h"

#include "pushdown/RuleTranslator.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

using nvtarnix::pushdown::Binding;
using nvtarnix::pushdown::Outcome;

namespace {

// The orders table of the corpus: each column, and its binding in a STRICT
// table. Dates are ISO text (ORD_DATE) or the engine's serial numbers in REAL
// columns (ORD_SERIAL, ORD_SHIPPED).
const QList<QPair<QString, Binding>> &columns()
{
    static const QList<QPair<QString, Binding>> all{
        {QStringLiteral("ORD_NO"), Binding::SqliteStrictInteger},
        {QStringLiteral("ORD_AMOUNT"), Binding::SqliteStrictReal},
        {QStringLiteral("ORD_QTY"), Binding::SqliteStrictInteger},
        {QStringLiteral("ORD_STATUS"), Binding::SqliteStrictInteger},
        {QStringLiteral("ORD_DISCOUNT"), Binding::SqliteStrictReal},
        {QStringLiteral("ORD_DAYS"), Binding::SqliteStrictInteger},
        {QStringLiteral("ORD_SERIAL"), Binding::SqliteStrictReal},
        {QStringLiteral("ORD_SHIPPED"), Binding::SqliteStrictReal},
        {QStringLiteral("ORD_DATE"), Binding::SqliteStrictText},
        {QStringLiteral("ORD_NOTE"), Binding::SqliteStrictText},
        {QStringLiteral("CUST_NAME"), Binding::SqliteStrictText},
        {QStringLiteral("CUST_COUNTRY"), Binding::SqliteStrictText},
        {QStringLiteral("CUST_CITY"), Binding::SqliteStrictText},
        {QStringLiteral("CUST_EMAIL"), Binding::SqliteStrictText},
        {QStringLiteral("PRODUCT"), Binding::SqliteStrictText},
    };
    return all;
}

enum class Source { Strict, Declared, Postgres };

// The column on each source: a STRICT table's type, any storage class in a
// declared one, and the PostgreSQL type of the same column (whole numbers
// int4, amounts and serials float8, text text).
Binding bindingOn(Source source, Binding strict)
{
    switch (source) {
    case Source::Strict: return strict;
    case Source::Declared: return Binding::SqliteStorageClass;
    case Source::Postgres:
        return strict == Binding::SqliteStrictInteger ? Binding::PgInt4
               : strict == Binding::SqliteStrictReal  ? Binding::PgFloat8
                                                      : Binding::PgText;
    }
    return strict;
}

QStringList corpus()
{
    QStringList rules;
    QFile file(QStringLiteral(PUSHDOWN_DATA_DIR "/corpus.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return rules;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            rules << line;
    }
    return rules;
}

} // namespace

class tst_Corpus : public QObject
{
    Q_OBJECT

private slots:
    void shares_data()
    {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("leastCompletePercent");
        QTest::addColumn<int>("leastPushedPercent");
        QTest::newRow("STRICT table") << int(Source::Strict) << 85 << 95;
        QTest::newRow("declared table") << int(Source::Declared) << 70 << 70;
        QTest::newRow("PostgreSQL table") << int(Source::Postgres) << 85 << 95;
    }

    void shares()
    {
        QFETCH(int, source);
        QFETCH(int, leastCompletePercent);
        QFETCH(int, leastPushedPercent);
        const QStringList rules = corpus();
        QVERIFY(rules.size() >= 200);
        QList<nvtarnix::pushdown::ColumnBinding> bindings;
        for (const auto &[name, binding] : columns())
            bindings.append({name, name.toLower(), bindingOn(Source(source), binding)});
        const auto dialect = Source(source) == Source::Postgres ? nvtarnix::pushdown::SqlDialect::PostgreSQL
                                                                 : nvtarnix::pushdown::SqlDialect::SQLite;
        int complete = 0, partial = 0;
        QStringList failed;
        for (const QString &rule : rules) {
            std::shared_ptr<const vbscript::CompiledExpression> compiled;
            try {
                compiled = vbscript::CompiledExpression::compile(rule);
            } catch (const vbscript::ScriptError &e) {
                QFAIL(qPrintable(QStringLiteral("%1: %2").arg(rule, e.description())));
            }
            // The run's instant, as tarnix apply fixes one: Date and Now are
            // bound as parameters.
            const auto t = nvtarnix::pushdown::translateRule(*compiled, dialect, bindings,
                                                             QDateTime(QDate(2025, 6, 30), QTime(13, 45, 10)));
            complete += t.outcome == Outcome::Complete;
            partial += t.outcome == Outcome::Partial;
            if (t.outcome == Outcome::Fail)
                failed << rule;
        }
        const int n = int(rules.size());
        qInfo("%d rules: %d Complete (%d %%), %d Partial, %d Fail", n, complete, 100 * complete / n, partial,
              int(failed.size()));
        QVERIFY2(100 * complete >= leastCompletePercent * n, qPrintable(failed.join(QLatin1Char('\n'))));
        QVERIFY2(100 * (complete + partial) >= leastPushedPercent * n, qPrintable(failed.join(QLatin1Char('\n'))));
    }
};

NVTARNIX_TEST_CLASS(tst_Corpus)
#include "tst_corpus.moc"
