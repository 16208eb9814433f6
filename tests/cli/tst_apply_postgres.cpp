// tarnix apply over PostgreSQL, run as the real program against a server of
// the test program's own.

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "PostgresCluster.h"
#include "TarnixProgram.h"
#include "TestMain.h"
#include "TsvTable.h"

namespace {

using testsupport::PostgresCluster;

TarnixRun tarnix(const QStringList &arguments)
{
    return runTarnixApply(arguments);
}

QString lines(const QStringList &each)
{
    return each.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// The rows both databases get for the comparison: integers, reals with
// Nulls among them, text of every sort, integers beyond 32 bits.
struct SampleRow
{
    int n;
    std::optional<double> x;
    std::optional<QString> s;
    std::optional<qint64> k;
};

std::vector<SampleRow> sampleRows()
{
    const QStringList texts{"Ελλάδα", "abc", "", "  padded  ", "1,5", "2.5", "-0", "ΑΒΓ", "😀x", "Zürich"};
    const std::vector<double> reals{0.0, -1.0, 0.5, 2.5, 0.125, 32767.0, 32768.0, 2147483648.0,
                                    9007199254740993.0, 0.1 + 0.2, 1.0 / 3.0, -1e300};
    std::vector<SampleRow> rows;
    for (int i = 1; i <= 3000; ++i) {
        SampleRow row{i, std::nullopt, std::nullopt, std::nullopt};
        if (i % 7 != 0)
            row.x = reals[size_t(i) % reals.size()] * (i % 3 == 0 ? -1 : 1) + (i % 5 == 0 ? i * 0.37 : 0);
        if (i % 5 != 1)
            row.s = texts[i % texts.size()];
        if (i % 4 != 0)
            row.k = i % 11 == 0 ? qint64(i) * 5000000000LL : qint64(i) - 1500;
        rows.push_back(row);
    }
    return rows;
}

QString sqlLiteral(const std::optional<QString> &text)
{
    if (!text)
        return QStringLiteral("NULL");
    QString quoted = *text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

template <typename Number>
QString sqlLiteral(const std::optional<Number> &number)
{
    if (!number)
        return QStringLiteral("NULL");
    if constexpr (std::is_floating_point_v<Number>)
        return QString::number(*number, 'g', 17);  // reads back as the same double
    else
        return QString::number(*number);
}

QString sampleInsert(const std::vector<SampleRow> &rows)
{
    QStringList values;
    for (const SampleRow &row : rows)
        values << QStringLiteral("(%1, %2, %3, %4)")
                      .arg(row.n)
                      .arg(sqlLiteral(row.x), sqlLiteral(row.s), sqlLiteral(row.k));
    return QStringLiteral("INSERT INTO sample (n, x, s, k) VALUES ") + values.join(QLatin1String(", "));
}

QString writeSqlite(const QString &path, const QStringList &statements)
{
    QString failure;
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("same-data"));
        db.setDatabaseName(path);
        if (!db.open())
            return db.lastError().text();
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (failure.isEmpty() && !query.exec(statement))
                failure = query.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("same-data"));
    return failure;
}

} // namespace

class tst_ApplyPostgres : public QObject
{
    Q_OBJECT

    PostgresCluster &m_cluster = PostgresCluster::instance();
    QString m_shop;
    QTemporaryDir m_dir;

    QStringList shop(const QStringList &more) const { return QStringList{"--postgres", m_shop} + more; }

private slots:
    void initTestCase()
    {
        QCOMPARE(m_cluster.failure(), QString());
        QCOMPARE(m_cluster.createDatabase(QStringLiteral("shop")), QString());
        m_shop = m_cluster.conninfo(QStringLiteral("shop"));
        QCOMPARE(m_cluster.run(
                     QStringLiteral("shop"),
                     {
                         // Settings that would change the text values come in, were they
                         // left to the database: the reader must set its own.
                         "ALTER DATABASE shop SET timezone = 'Asia/Tokyo'",
                         "ALTER DATABASE shop SET DateStyle = 'SQL, DMY'",
                         "ALTER DATABASE shop SET extra_float_digits = -3",
                         "ALTER DATABASE shop SET bytea_output = 'escape'",
                         // A database that prefers its indexes to reading a table through.
                         "ALTER DATABASE shop SET enable_seqscan = off",
                         "ALTER DATABASE shop SET enable_bitmapscan = off",

                         "CREATE TABLE typed (id text, s2 int2, i4 int4, i8 int8, f4 float4, f8 float8, "
                         "num numeric, num2 numeric(10, 2), t text, vc varchar(10), ch char(5), b bool, "
                         "d date, ts timestamp, tz timestamptz, bin bytea, span interval)",
                         "INSERT INTO typed VALUES "
                         "('low', -32768, -2147483648, -9223372036854775808, -3.4028235e38, "
                         " -1.7976931348623157e308, -922337203685477.5808, -99999999.99, '', '', '', false, "
                         " '0100-01-01', '0100-01-01 00:00:00', '0100-01-01 00:00:00+00', '\\x', '-1 day'),"
                         "('high', 32767, 2147483647, 9223372036854775807, 3.4028235e38, "
                         " 1.7976931348623157e308, 922337203685477.5807, 99999999.99, 'Ελλάδα 😀', 'abc', "
                         " 'ab', true, '9999-12-31', '9999-12-31 23:59:59.999999', "
                         " '2025-06-30 23:30:00-02', '\\xceb1', '1 year 2 mons'),"
                         "('mid', 7, -1, 2147483648, 0.1, 0.30000000000000004, 0.12345, 0.10, "
                         " E'tab\\there', 'x y', 'abcde', false, '2025-06-30', '2025-06-30 13:45:10.75', "
                         " '2025-06-30 13:45:10.5+03:30', '\\x41', '00:00:01'),"
                         "('beyond', NULL, NULL, 9007199254740993, 'Infinity', 'NaN', 'NaN', NULL, NULL, "
                         " NULL, NULL, NULL, '0044-03-15 BC', 'infinity', '10000-01-01 00:00:00+00', "
                         " NULL, NULL),"
                         "('big', NULL, NULL, NULL, '-Infinity', NULL, 1e20, NULL, NULL, NULL, NULL, NULL, "
                         " '0099-12-31', '0099-12-31 23:59:59', '0100-01-01 00:00:00+01', NULL, NULL),"
                         "('null', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                         " NULL, NULL, NULL, NULL)",

                         // Stored out of the order of n, with an index that holds n: a scan of
                         // n alone could walk the index, in the index's order.
                         "CREATE TABLE shuffled (n int, pad text)",
                         "INSERT INTO shuffled SELECT (i * 7919) % 20000, repeat('x', 200) "
                         "FROM generate_series(1, 20000) AS i",
                         "CREATE INDEX shuffled_n ON shuffled (n)",
                         "VACUUM ANALYZE shuffled",

                         "CREATE TABLE \"Orders\" (\"ORD_NO\" int, amount numeric(12, 2))",
                         "INSERT INTO \"Orders\" VALUES (1, 250.50), (2, 1200), (3, NULL)",
                         "CREATE VIEW big_orders AS SELECT * FROM \"Orders\" WHERE amount > 1000",
                         "CREATE SCHEMA sales",
                         "CREATE TABLE sales.items (sku text, qty int2)",
                         "INSERT INTO sales.items VALUES ('A-1', 3)",
                     }),
                 QString());
    }

    // What each column type becomes in the engine, Nulls and the edges of
    // each range included.
    void types_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("rows");  // low, high, mid, beyond, big, null

        QStringList columns{QStringLiteral("case"), QStringLiteral("rule")};
        for (const char *row : {"low", "high", "mid", "beyond", "big", "null"})
            columns << QLatin1String(row) + QLatin1String(" type") << QLatin1String(row);
        const testsupport::TsvTable table = testsupport::readTsv(QFINDTESTDATA("data/postgres-types.tsv"), columns);
        QVERIFY2(table.error.isEmpty(), qPrintable(table.error));
        for (const testsupport::TsvRow &r : table.rows) {
            QStringList rows;
            for (int i = 2; i < r.cells.size(); i += 2)
                rows << r.cells[i] + QLatin1Char('\t') + r.cells[i + 1];
            QTest::newRow(qPrintable(r.cells[0])) << r.cells[1] << rows;
        }
    }

    void types()
    {
        QFETCH(QString, rule);
        QFETCH(QStringList, rows);
        const QStringList keys{"low", "high", "mid", "beyond", "big", "null"};
        QStringList expected;
        for (int i = 0; i < keys.size(); ++i)
            expected << keys[i] + QLatin1Char('\t') + rows[i];
        const TarnixRun run = tarnix(shop({"--table", "typed", "--key", "id", rule}));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, lines(expected));
        QCOMPARE(run.status, 0);
    }

    // The same rows in SQLite and in PostgreSQL give the same output, byte
    // for byte: values, errors, counts and the order of rows.
    void sameAsSqlite_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("reals") << QStringList{"[x]"};
        QTest::newRow("text") << QStringList{"[s]"};
        QTest::newRow("integers beyond 32 bits") << QStringList{"[k]"};
        QTest::newRow("errors among the rows") << QStringList{"CDbl([s]) + [k] / ([n] Mod 4)"};
        QTest::newRow("count") << QStringList{"--count", "[x] > 0.5 And Len([s]) > 2 Or [k] < 0"};
    }

    void sameAsSqlite()
    {
        QFETCH(QStringList, options);
        static const bool written = [this] {
            const std::vector<SampleRow> rows = sampleRows();
            const QString insert = sampleInsert(rows);
            const QString sqlite = writeSqlite(
                m_dir.filePath(QStringLiteral("sample.sqlite")),
                {QStringLiteral("CREATE TABLE sample (n INTEGER, x REAL, s TEXT, k INTEGER)"), insert});
            const QString postgres = m_cluster.run(
                QStringLiteral("shop"),
                {QStringLiteral("CREATE TABLE sample (n int4, x float8, s text, k int8)"), insert});
            return sqlite.isEmpty() && postgres.isEmpty();
        }();
        QVERIFY(written);

        const QStringList common{"--table", "sample", "--key", "n", "--jobs", "2"};
        const TarnixRun fromSqlite =
            tarnix(QStringList{"--database", m_dir.filePath(QStringLiteral("sample.sqlite"))} + common + options);
        const TarnixRun fromPostgres = tarnix(shop(common + options));
        QVERIFY(fromSqlite.out.size() > 1);
        QCOMPARE(fromPostgres.out, fromSqlite.out);
        QCOMPARE(fromPostgres.err, fromSqlite.err);
        QCOMPARE(fromPostgres.status, fromSqlite.status);
    }

    // A table comes in its own order, never an index's, however many
    // threads evaluate; a query in the order it asks for.
    void rowOrder()
    {
        QStringList expected;
        for (int i = 1; i <= 20000; ++i)
            expected << QStringLiteral("%1\tLong\t%2").arg(i).arg((i * 7919) % 20000);
        for (const char *jobs : {"1", "3"}) {
            const TarnixRun run = tarnix(shop({"--table", "shuffled", "--jobs", jobs, "[n]"}));
            QCOMPARE(run.err, QString());
            QVERIFY2(run.out == lines(expected), jobs);
        }
        const TarnixRun sorted = tarnix(shop(
            {"--query", "SELECT n FROM shuffled WHERE n < 3 ORDER BY n DESC;", "--key", "n", "[n] * 2"}));
        QCOMPARE(sorted.out, lines({"2\tLong\t4", "1\tLong\t2", "0\tLong\t0"}));
        QCOMPARE(sorted.status, 0);
    }

    // A cell longer than any string fails its own row with 14, as on SQLite,
    // and is never copied into a block; the rows around it go on.
    void largeCell()
    {
        QCOMPARE(m_cluster.run(QStringLiteral("shop"),
                               {QStringLiteral("CREATE TABLE cells (id integer, t text)"),
                                QStringLiteral("INSERT INTO cells VALUES (1, 'small'), "
                                               "(2, repeat('x', 40000000)), (3, repeat('y', 10000000)), (4, 'after')")}),
                 QString());
        const TarnixRun run = tarnix(shop({"--table", "cells", "--key", "id", "Len([t])"}));
        QCOMPARE(run.out, lines({"1\tLong\t5", "2\terror\t14\tOut of string space", "3\tLong\t10000000",
                                 "4\tLong\t5"}));
        QCOMPARE(run.status, 1);
    }

    // Tables and views are found as SQLite finds them, without regard to case.
    void relations_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::newRow("a quoted mixed-case name, named in any case")
            << QStringList{"--table", "orders", "--key", "ord_no", "[AMOUNT]"}
            << lines({"1\tCurrency\t250.5", "2\tCurrency\t1200", "3\tNull\t"});
        QTest::newRow("a view, in its order")
            << QStringList{"--table", "BIG_ORDERS", "--key", "ord_no", "[amount] > 1000"}
            << lines({"2\tBoolean\tTrue"});
        QTest::newRow("a table in another schema")
            << QStringList{"--table", "Sales.Items", "--key", "sku", "[qty] * 2"} << lines({"A-1\tInteger\t6"});
        QTest::newRow("a rule without variables runs once a row")
            << QStringList{"--table", "orders", "1 + 1"}
            << lines({"1\tInteger\t2", "2\tInteger\t2", "3\tInteger\t2"});
        QTest::newRow("count") << QStringList{"--table", "orders", "--count", "IsNull([amount])"} << "1\n";
    }

    void relations()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        const TarnixRun run = tarnix(shop(arguments));
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, output);
        QCOMPARE(run.status, 0);
    }

    // What cannot be read stops the run before any row, with status 2 and
    // one line: the number, and what was wrong.
    void badCalls_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("named");

        const QString nowhere = QStringLiteral("host=%1/nowhere dbname=shop").arg(m_cluster.socketFolder());
        QTest::newRow("no server there")
            << QStringList{"--postgres", nowhere, "--table", "t", "1"} << 3709 << "cannot connect";
        QTest::newRow("a conninfo libpq cannot read")
            << QStringList{"--postgres", "host", "--table", "t", "1"} << 3709 << "\"host\"";
        QTest::newRow("no such database")
            << QStringList{"--postgres", m_cluster.conninfo(QStringLiteral("nosuch")), "--table", "t", "1"}
            << 3709 << "\"nosuch\" does not exist";
        QTest::newRow("both databases")
            << shop({"--database", "x.sqlite", "--table", "typed", "1"}) << 5 << "--postgres";
        QTest::newRow("no such table") << shop({"--table", "invoices", "1"}) << 3265 << "\"invoices\"";
        QTest::newRow("a variable that names no column")
            << shop({"--table", "typed", "[s2] + [Limit]"}) << 3265 << "\"Limit\"";
        QTest::newRow("a query's column missing")
            << shop({"--query", "SELECT s2 FROM typed", "[i4]"}) << 3265 << "\"i4\"";
        QTest::newRow("key that names no column")
            << shop({"--table", "typed", "--key", "nr", "1"}) << 3265 << "\"nr\"";
        QTest::newRow("a query the server refuses")
            << shop({"--query", "SELECT * FROM invoices", "1"}) << -2147217900 << "(SQLSTATE 42P01)";
        QTest::newRow("two statements")
            << shop({"--query", "SELECT 1; SELECT 2", "1"}) << -2147217900 << "multiple commands";
        QTest::newRow("a command, not a query")
            << shop({"--query", "CREATE TABLE x (a int)", "1"}) << 3704 << "no rows";
        QTest::newRow("a write, refused by the read-only transaction")
            << shop({"--query", "INSERT INTO \"Orders\" VALUES (9, 9) RETURNING \"ORD_NO\"", "1"})
            << -2147217900 << "read-only transaction";
    }

    void badCalls()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, number);
        QFETCH(QString, named);
        const TarnixRun run = tarnix(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error %1: ").arg(number)), qPrintable(run.err));
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        QCOMPARE(run.err.count(QLatin1Char('\n')), number == 5 ? 2 : 1);

        // Nothing was written, whatever was asked.
        const TarnixRun orders = tarnix(shop({"--table", "orders", "--count", "True"}));
        QCOMPARE(orders.out, QStringLiteral("3\n"));
        const TarnixRun tables =
            tarnix(shop({"--query", "SELECT count(*) AS c FROM pg_tables WHERE tablename = 'x'", "[c]"}));
        QCOMPARE(tables.out, QStringLiteral("1\tLong\t0\n"));
    }

    // The server failing on a row midway: every row before it is answered,
    // then the failure ends the run.
    void serverFailureMidway()
    {
        const TarnixRun run = tarnix(shop({"--query", "SELECT 100 / (2500 - n) AS a FROM generate_series(1, 3000) AS n",
                                           "--jobs", "2", "[a] * 2"}));
        QCOMPARE(run.status, 2);
        const QStringList rows = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 2499);
        QCOMPARE(rows.first(), QStringLiteral("1\tLong\t0"));
        QCOMPARE(rows.last(), QStringLiteral("2499\tLong\t200"));
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error -2147217900: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("division by zero (SQLSTATE 22012)")), qPrintable(run.err));
    }
};

NVTARNIX_TEST_CLASS(tst_ApplyPostgres)
#include "tst_apply_postgres.moc"
