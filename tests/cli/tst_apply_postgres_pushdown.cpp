// tarnix apply running rules inside PostgreSQL: whatever runs where, the
// output, the error lines and the exit status are those of the engine alone,
// row order included.

#include <QTest>

#include "ApplyPushDownTests.h"
#include "PostgresCluster.h"
#include "TarnixProgram.h"
#include "TestMain.h"

namespace {

using testsupport::PostgresCluster;

TarnixRun tarnix(const QStringList &arguments)
{
    return runTarnixApply(arguments);
}

} // namespace

class tst_ApplyPostgresPushDown : public ApplyPushDownTests
{
    Q_OBJECT

    PostgresCluster &m_cluster = PostgresCluster::instance();
    QString m_shop;

    QStringList database() const override { return {QStringLiteral("--postgres"), m_shop}; }
    QString typedSource() const override { return QStringLiteral("orders/id"); }

    // price is infinite on 124 rows, where the engine meets text and raises.
    void addOwnExplainRows() override
    {
        QTest::newRow("complete, numbered rows")
            << "orders" << QStringLiteral("[amount] > 990") << QStringLiteral("push-down: Complete")
            << QStringLiteral("push-down: 28 rows fetched, 0 re-checked by the engine");
        QTest::newRow("complete, with rows the engine decides")
            << "orders/id" << QStringLiteral("[price] > 370") << QStringLiteral("push-down: Complete")
            << QStringLiteral("push-down: 160 rows fetched, 124 re-checked by the engine");
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(m_cluster.failure(), QString());
        QCOMPARE(m_cluster.createDatabase(QStringLiteral("pushed")), QString());
        m_shop = m_cluster.conninfo(QStringLiteral("pushed"));
        QCOMPARE(
            m_cluster.run(QStringLiteral("pushed"),
                          {
                              // A database that would rather use its indexes, and read
                              // time stamps in another zone, were the reader to let it.
                              "ALTER DATABASE pushed SET enable_seqscan = off",
                              "ALTER DATABASE pushed SET timezone = 'Asia/Tokyo'",
                              // Rows stored out of the order of id, every type the rules read,
                              // Nulls in every column, Greek and characters beyond the BMP, text
                              // that looks like numbers, a case-blind ICU collation.
                              "CREATE COLLATION blind (provider = icu, locale = 'und-u-ks-level2', "
                              "deterministic = false)",
                              "CREATE TABLE orders (id int4 PRIMARY KEY, amount numeric(10, 2), qty int2, "
                              "big int8, price float8, name text COLLATE blind, code char(4), placed date, "
                              "stamp timestamptz, paid bool)",
                              "INSERT INTO orders SELECT (i * 7919) % 3001, "
                              "CASE WHEN i % 11 = 0 THEN NULL ELSE (i * 37) % 1000 + 0.5 END, "
                              "CASE WHEN i % 13 = 0 THEN NULL ELSE i % 9 - 1 END, "
                              "CASE WHEN i % 17 = 0 THEN NULL WHEN i % 5 = 0 THEN i::int8 * 5000000000 ELSE i END, "
                              "CASE WHEN i % 19 = 0 THEN NULL WHEN i % 23 = 0 THEN 'Infinity' ELSE i / 8.0 END, "
                              "CASE i % 7 WHEN 0 THEN 'Αθήνα' WHEN 1 THEN NULL WHEN 2 THEN 'abc' WHEN 3 THEN 'ABC' "
                              "WHEN 4 THEN 'Ζ😀' WHEN 5 THEN '2,5' ELSE 'x' || i END, "
                              "CASE WHEN i % 3 = 0 THEN NULL ELSE 'c' || i % 10 END, "
                              "DATE '2024-01-01' + i % 400, "
                              "TIMESTAMPTZ '2024-01-01 00:00:00+00' + i * INTERVAL '7 hours', "
                              "CASE WHEN i % 4 = 0 THEN NULL ELSE i % 2 = 0 END "
                              "FROM generate_series(1, 3000) AS i",
                              "CREATE INDEX orders_amount ON orders (amount)",
                              "VACUUM ANALYZE orders",
                              "CREATE VIEW recent AS SELECT * FROM orders WHERE id > 1000",
                          }),
            QString());
    }

    // Rules that translate completely, partly and not at all, some raising
    // errors on some rows, over a table with and without a key, a view and
    // a query: auto gives exactly what off gives, in every mode.
    void sameAnswersAsTheEngine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("rule");
        const QStringList rules{
            QStringLiteral("[amount] > 900 And [qty] <> 2"),
            QStringLiteral("[qty] * 2 >= 10 Or IsNull([name])"),
            QStringLiteral("[name] = \"abc\""),
            QStringLiteral("UCase([name]) = \"ABC\" And Len([code]) > 1"),
            QStringLiteral("Not ([name] < \"b\") And [amount] \\ 100 = 3"),
            QStringLiteral("Round([price] / 4) Mod 3 = 1"),
            QStringLiteral("[big] / [qty] > 1000"),
            QStringLiteral("CInt([big]) > 2000"),
            QStringLiteral("[placed] >= #3/1/2024# And [stamp] < #6/1/2024 12:00:00 PM#"),
            QStringLiteral("[paid] And [price] > 100"),
            QStringLiteral("IsEmpty([name]) Or [amount] < 20"),
            QStringLiteral("Not IsEmpty([name]) And [amount] < 20"),
            QStringLiteral("[name] > 5"),
            // The Null part drops out of the SQL, its parameter stays.
            QStringLiteral("[amount] > 990 Or (Null And [qty] > 3)"),
        };
        const QStringList sources{QStringLiteral("orders/id"), QStringLiteral("orders"), QStringLiteral("recent/id"),
                                  QStringLiteral("query:SELECT * FROM orders WHERE id % 3 = 0 ORDER BY name, id;")};
        for (const QString &from : sources)
            for (const QString &rule : rules)
                QTest::addRow("%s: %s", qPrintable(from), qPrintable(rule)) << from << rule;
    }

    void sameAnswersAsTheEngine()
    {
        QFETCH(QString, from);
        QFETCH(QString, rule);
        verifyPushDownChangesNothing([](const QStringList &args) { return tarnix(args); },
                                     source(from) << QStringLiteral("--jobs") << QStringLiteral("2"), rule);
    }

    // SQL the server refuses falls back to the engine with one note (here a
    // query that names a column twice, which a query around it cannot tell
    // apart). SQL that fails before its first row (a query that divides by
    // zero on a row) falls back without one: the engine's read meets the
    // failure where it lies, after the rows before it, as without push-down;
    // only --explain tells.
    void fallsBackToTheEngine_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("status");
        QTest::newRow("refused") << QStringLiteral("SELECT id, amount, amount FROM orders")
                                 << QStringLiteral("tarnix apply: note: the database refused the rule's SQL") << 0;
        QTest::newRow("a failure midway")
            << QStringLiteral("SELECT id, 1000 / (2500 - id) + 0.0 AS amount FROM orders ORDER BY id") << QString()
            << 2;
    }

    void fallsBackToTheEngine()
    {
        QFETCH(QString, query);
        QFETCH(QString, note);
        QFETCH(int, status);
        const QStringList args{QStringLiteral("--postgres"), m_shop,
                               QStringLiteral("--query"),    query,
                               QStringLiteral("--key"),      QStringLiteral("id"),
                               QStringLiteral("--count")};
        const QString rule = QStringLiteral("[amount] > 0.5");
        const TarnixRun off = tarnix(args + QStringList{QStringLiteral("--push-down"), QStringLiteral("off"), rule});
        const TarnixRun on = tarnix(args + QStringList{rule});
        QVERIFY(off.out.toInt() > 0);
        QCOMPARE(off.status, status);
        QCOMPARE(on.status, off.status);
        QCOMPARE(on.out, off.out);
        QStringList err = on.err.split(QLatin1Char('\n'));
        if (!note.isEmpty())
            QVERIFY2(err.takeFirst().startsWith(note), qPrintable(on.err));
        QCOMPARE(err.join(QLatin1Char('\n')), off.err);
        const TarnixRun explained = tarnix(args + QStringList{QStringLiteral("--explain"), rule});
        QCOMPARE(explained.err.count(QLatin1String("the engine evaluates every row")), 1);
    }
};

NVTARNIX_TEST_CLASS(tst_ApplyPostgresPushDown)
#include "tst_apply_postgres_pushdown.moc"
