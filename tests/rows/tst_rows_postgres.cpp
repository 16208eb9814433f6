// The count over a host's PostgreSQL connection (QPSQL): the same as
// `tarnix apply --postgres --count` prints, and the same whether PostgreSQL
// counts the rows the translation decides or the engine reads every row,
// down to the first rows selected and the failing rows with their errors.

#include "Orders.h"
#include "PostgresCluster.h"
#include "TestMain.h"

#include "rows/PostgresLiterals.h"
#include "rows/RowCount.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <cstring>
#include <thread>
#include <limits>

using nvtarnix::rows::RowCount;

namespace {

// Every column type a host's table holds, with the values that trouble a
// translation: NULLs, zeros, boundaries of Integer and Long, numbers beyond
// 2^53, NaN and the infinities, Greek and Latin text (and a character beyond
// the BMP), padded char(n), dates at the ends of the engine's range and
// beyond it, times of day.
QStringList kindStatements()
{
    QStringList statements{
        QStringLiteral("CREATE TABLE kinds (id int4, i2 int2, i4 int4, i8 int8, f4 real, f8 float8, n numeric, "
                       "t text, tg text COLLATE \"el-GR-x-icu\", v varchar(12), c char(6), b bool, d date, "
                       "ts timestamp, tz timestamptz, dt text)"),
        QStringLiteral("BEGIN")};
    const QStringList i8s{"0", "-1", "2147483647", "2147483648", "9007199254740993", "-9007199254740993", "42"};
    const QStringList f8s{"0", "-0.5", "0.125", "2.5", "'NaN'", "'Infinity'", "1e300", "-1e-310", "32767.5"};
    const QStringList ns{"0", "12.34567", "0.1", "-3.5000", "123456789012.5", "'NaN'", "1e40"};
    const QStringList texts{"'Ελλάδα'", "'ελλάδα'", "'Athens'", "'ATHENS'", "''", "' padded '", "'Ωμέγα'",
                            "'10,5'", "'10.5'", "'\U0001F600 smile'", "'Ά'", "'abc'"};
    const QStringList dates{"'2020-02-29'", "'1899-12-30'", "'0100-01-01'", "'9999-12-31'", "'infinity'",
                            "'2026-12-07'", "'1970-01-01'", "'0044-03-15 BC'"};
    const QStringList dts{"'2020-02-29'", "'not a date'", "'2021-13-01'", "'1999-12-31'"};
    const auto nullOr = [](int i, int every, const QString &value) {
        return i % every == 0 ? QStringLiteral("NULL") : value;
    };
    for (int i = 1; i <= 400; ++i) {
        const QString text = texts[i % texts.size()];
        statements.append(
            QStringLiteral("INSERT INTO kinds VALUES (%1, %2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13, %14, "
                           "%15, %16)")
                .arg(i)
                .arg(nullOr(i, 7, QString::number(i % 3 == 0 ? (i % 2 ? 32767 : -32768) : i % 9 - 4)),
                     nullOr(i, 11, QString::number((i * 7919) % 2001 - 1000)), nullOr(i, 5, i8s[i % i8s.size()]),
                     nullOr(i, 9, QString::number(i % 10 / 10.0)), nullOr(i, 6, f8s[i % f8s.size()]),
                     nullOr(i, 8, ns[i % ns.size()]), nullOr(i, 10, text), nullOr(i, 13, text))
                .arg(nullOr(i, 12, texts[(i + 3) % texts.size()]),
                     nullOr(i, 4, QStringLiteral("'GR'")), nullOr(i, 3, i % 2 ? QStringLiteral("true") : QStringLiteral("false")),
                     nullOr(i, 6, dates[i % dates.size()]),
                     nullOr(i, 5, QStringLiteral("'2020-03-29 %1:30:15.5'").arg(i % 24, 2, 10, QLatin1Char('0'))),
                     nullOr(i, 7, QStringLiteral("'2020-03-29 %1:00:00+02'").arg(i % 24, 2, 10, QLatin1Char('0'))),
                     nullOr(i, 8, dts[i % dts.size()])));
    }
    statements.append(QStringLiteral("COMMIT"));
    return statements;
}

nvtarnix::rows::RowCountJob kindsJob(const QString &rule, bool pushDown)
{
    nvtarnix::rows::RowCountJob job;
    job.databaseText = rule;
    job.source.connectionName = QStringLiteral("pg-rows");
    job.source.table = QStringLiteral("kinds");
    job.source.timeLimitMs = 60000;
    // Text read as dates by the host, and the day a report is made for.
    job.source.columns = {{QStringLiteral("DT"), QStringLiteral("dt"), nvtarnix::pushdown::Binding::PgDate},
                          {QStringLiteral("REPORTDAY"), {}, nvtarnix::pushdown::Binding::RunConstant, QDate(2021, 6, 15)}};
    job.now = QDateTime(QDate(2026, 12, 7), QTime(10, 30));
    job.language = nvtarnix::EnglishLanguage;
    job.keptRows = 15;
    job.pushDown = pushDown;
    return job;
}

// A kept row's values as text, type and value: NaN equals itself here.
QStringList shown(const QVariantList &values)
{
    QStringList out;
    for (const QVariant &v : values)
        out << QStringLiteral("%1 %2 %3").arg(QLatin1String(v.typeName()), v.toString()).arg(v.isNull());
    return out;
}

// A count of "[AMOUNT] > 50" over the numbers of `numbers` whose first rows
// come at once (the check that the rule is a condition reads them) and the
// others a millisecond each.
nvtarnix::rows::RowCountJob slowCount(const QString &numbers, int timeLimitMs, bool pushDown)
{
    nvtarnix::rows::RowCountJob job;
    job.databaseText = QStringLiteral("[AMOUNT] > 50");
    job.source.connectionName = QStringLiteral("pg-rows");
    job.source.query = QStringLiteral("SELECT i AS id, i % 100 AS amount FROM %1 "
                                      "LEFT JOIN LATERAL (SELECT pg_sleep(0.001) WHERE i > 64) AS slow ON TRUE")
                           .arg(numbers);
    job.source.timeLimitMs = timeLimitMs;
    job.pushDown = pushDown;
    return job;
}

} // namespace

class RowCountPostgresTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        auto &cluster = testsupport::PostgresCluster::instance();
        QCOMPARE(cluster.failure(), QString());
        QCOMPARE(cluster.createDatabase(QStringLiteral("rows")), QString());
        QStringList statements = orderStatements(600);
        // PostgreSQL types every column: the quantity is a number or Null.
        statements[0] = QStringLiteral("CREATE TABLE orders (id INTEGER, amount DOUBLE PRECISION, country TEXT, "
                                       "qty INTEGER, note TEXT)");
        statements.replaceInStrings(QStringLiteral("'some'"), QStringLiteral("NULL"));
        QCOMPARE(cluster.run(QStringLiteral("rows"), statements), QString());
        QCOMPARE(cluster.run(QStringLiteral("rows"), kindStatements()), QString());
        QCOMPARE(cluster.run(QStringLiteral("rows"),
                             {QStringLiteral("CREATE TABLE many AS SELECT i FROM generate_series(1, 200000) AS i")}),
                 QString());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("pg-rows"));
        db.setHostName(cluster.socketFolder());
        db.setUserName(QStringLiteral("postgres"));
        db.setDatabaseName(QStringLiteral("rows"));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    }

    void countEqualsApply_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("kind");
        QTest::newRow("condition") << "[AMOUNT] > 100 And [COUNTRY] <> \"CY\"" << int(RowCount::Kind::Condition);
        QTest::newRow("Null") << "[QTY] >= 3 Or IsNull([NOTE])" << int(RowCount::Kind::Condition);
        QTest::newRow("value") << "[AMOUNT] * 2" << int(RowCount::Kind::Value);
        QTest::newRow("fails on some rows") << "100 / [QTY] > 20" << int(RowCount::Kind::Condition);
        QTest::newRow("does not compile") << "[AMOUNT] >" << int(RowCount::Kind::CannotRun);
    }

    void countEqualsApply()
    {
        QFETCH(QString, rule);
        QFETCH(int, kind);
        QProcess tarnix;
        tarnix.start(QStringLiteral(TARNIX_PROGRAM),
                     {QStringLiteral("apply"), QStringLiteral("--postgres"),
                      testsupport::PostgresCluster::instance().conninfo(QStringLiteral("rows")),
                      QStringLiteral("--table"), QStringLiteral("orders"), QStringLiteral("--count"), rule});
        QVERIFY(tarnix.waitForFinished(30000));
        const QByteArray out = tarnix.readAllStandardOutput().trimmed();
        const qint64 failedRows = tarnix.readAllStandardError().count('\n');

        nvtarnix::rows::RowCountJob job;
        job.databaseText = rule;
        job.source.connectionName = QStringLiteral("pg-rows");
        job.source.table = QStringLiteral("orders");
        job.source.timeLimitMs = 60000;
        const RowCount count = nvtarnix::rows::countRows(job, nullptr);
        QCOMPARE(int(count.kind), kind);
        if (count.kind == RowCount::Kind::CannotRun) {
            QCOMPARE(tarnix.exitCode(), 2);
            return;
        }
        QCOMPARE(count.inDatabase, count.kind == RowCount::Kind::Condition);
        QCOMPARE(count.selected, out.toLongLong());
        QCOMPARE(count.failed, failedRows);
        QCOMPARE(count.rows, qint64(600));
    }

    // Push-down on and off give the same count, the same first rows and
    // the same failures, rule by rule: Complete ones, Partial ones (an
    // untranslated part under And, Or, Not), ones left to the engine (a
    // column whose QPSQL value the SQL would not match), and ones failing
    // on some rows.
    void pushDownChangesNothing_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("inDatabase");
        const auto row = [](const char *name, const char *rule, bool inDatabase) {
            QTest::newRow(name) << QString::fromUtf8(rule) << inDatabase;
        };
        row("integers", "[I2] > 0 And [I4] < 500 Or [I8] = 2147483648", true);
        row("int8 beyond 2^53", "[I8] > 9007199254740992 Or [I8] < -2147483648", true);
        row("double window", "[F8] >= 0.125 And [F8] <= 2.5", true);
        row("NaN and infinity", "Not ([F8] > 1000)", true);
        row("numeric", "[N] > 12.3456 Or [N] = 0.1", true);
        row("arithmetic", "([I4] + [I2]) * 2 > 100 And [I4] \\ 7 <> 3", true);
        row("division by zero fails", "100 / [I2] > 1", true);
        row("Mod by zero fails", "[I4] Mod [I2] = 1", true);
        row("overflowing CInt fails", "CInt([I4] * 100) > 0", true);
        row("Greek text", "[T] = \"Ελλάδα\" Or [TG] > \"Ω\"", true);
        row("Greek case", "UCase([T]) = \"ΕΛΛΆΔΑ\" Or LCase([V]) = \"athens\"", true);
        row("text functions", "Len([T]) > 3 And Left([T], 2) <> \"Ελ\" And InStr([V], \"a\") > 0", true);
        row("text beyond the BMP", "[T] < \"Z\"", true);
        row("empty and Null text", "[T] = \"\" Or IsNull([V]) Or [T] & [V] = \"AthensATHENS\"", true);
        row("number text literal", "[T] > 5", false);
        row("Boolean column", "[B] Or [I2] = 1", false);
        row("Boolean Null", "Not [B]", false);
        row("dates", "[D] >= #2020-01-01# And [D] < #9999-12-31#", true);
        row("date parts", "Year([D]) = 2020 Or Month([D]) = 12 Or Weekday([D]) = 1", true);
        row("date arithmetic", "DateDiff(\"d\", [D], [REPORTDAY]) > 100 And [D] + 30 > #1970-01-15#", true);
        row("today", "[D] < Date() And Date() - [D] > 365", true);
        row("IsNull", "IsNull([D]) Or IsNull([N]) And Not IsNull([I8])", true);
        row("partial under Or", "([I4] > 100 And [T] > [I2]) Or ([I2] < 0 And [V] = [D])", true);
        row("partial under Not", "Not ([I4] <= 100 Or [T] <= [I8])", true);
        row("partial under And", "[I4] > 100 And [T] = [N]", true);
        row("real column", "[F4] = 0.1 Or [F4] > 0.5", false);
        row("padded char", "[C] = \"GR\"", false);
        row("timestamp", "[TS] > #2020-03-29 12:00#", false);
        row("timestamptz", "Hour([TZ]) = 1", false);
        row("host dates from text", "[DT] > #2000-01-01#", false);
        row("text as date fails", "Year([T]) > 2000", false);
        row("always True", "True", false);
        row("no rows", "[I4] > 1 And [I4] < 1", true);
    }

    void pushDownChangesNothing()
    {
        QFETCH(QString, rule);
        QFETCH(bool, inDatabase);
        const RowCount off = nvtarnix::rows::countRows(kindsJob(rule, false), nullptr);
        const RowCount on = nvtarnix::rows::countRows(kindsJob(rule, true), nullptr);
        QCOMPARE(int(off.kind), int(RowCount::Kind::Condition));
        QVERIFY(!off.inDatabase);
        QCOMPARE(on.inDatabase, inDatabase);
        QCOMPARE(int(on.kind), int(off.kind));
        QCOMPARE(on.rows, qint64(400));
        QCOMPARE(on.rows, off.rows);
        QCOMPARE(on.bounded, off.bounded);
        QCOMPARE(on.selected, off.selected);
        QCOMPARE(on.failed, off.failed);
        // The rules named so fail on some rows: the failures are compared,
        // not only their absence.
        if (QByteArray(QTest::currentDataTag()).contains("fails"))
            QVERIFY(on.failed > 0);
        QCOMPARE(on.selectedRows.size(), off.selectedRows.size());
        for (qsizetype r = 0; r < on.selectedRows.size(); ++r)
            QCOMPARE(shown(on.selectedRows[r].values), shown(off.selectedRows[r].values));
        QCOMPARE(on.failedRows.size(), off.failedRows.size());
        for (qsizetype r = 0; r < on.failedRows.size(); ++r) {
            QCOMPARE(shown(on.failedRows[r].values), shown(off.failedRows[r].values));
            QCOMPARE(on.failedRows[r].errorNumber, off.failedRows[r].errorNumber);
            QCOMPARE(on.failedRows[r].error, off.failedRows[r].error);
        }
    }

    // A rule the SQL cannot count at all: one that computes a value is the
    // engine's on every row, to say so.
    void valueRulesStayWithTheEngine()
    {
        const RowCount on = nvtarnix::rows::countRows(kindsJob(QStringLiteral("[I4] * 2"), true), nullptr);
        QCOMPARE(int(on.kind), int(RowCount::Kind::Value));
        QVERIFY(!on.inDatabase);
        QCOMPARE(on.rows, qint64(400));
    }

    // The parameters written into the SQL read back as exactly the values
    // bound: quotes and backslashes in text cannot end the literal, and
    // every Double comes back to the bit.
    void literalsReadBackExactly()
    {
        using P = nvtarnix::pushdown::Parameter;
        const QList<P> parameters{
            {P::Type::Text, QStringLiteral("it's")},
            {P::Type::Text, QStringLiteral("back\\slash \\' and '' and \\\\")},
            {P::Type::Text, QStringLiteral("'); DROP TABLE kinds; --")},
            {P::Type::Text, QString::fromUtf8("Ελλάδα \U0001F600 $1::text /* */ \"q\"")},
            {P::Type::Text, QString()},
            {P::Type::Real, 0.1},
            {P::Type::Real, 1e-310},
            {P::Type::Real, -0.0},
            {P::Type::Real, 1.7976931348623157e308},
            {P::Type::Real, 9007199254740993.0},
            {P::Type::Real, std::numeric_limits<double>::infinity()},
            {P::Type::Integer, qint64(-9223372036854775807LL - 1)},
            {P::Type::Integer, qint64(4294967296LL)},
        };
        const char *const casts[] = {"int8", "float8", "text"};
        QStringList select;
        for (qsizetype i = 0; i < parameters.size(); ++i)
            select << QStringLiteral("$%1::%2").arg(i + 1).arg(QLatin1String(casts[int(parameters[i].type)]));
        const auto sql = nvtarnix::rows::withLiterals(QStringLiteral("SELECT ") + select.join(u", "), parameters);
        QVERIFY(sql);
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("pg-rows")));
        QVERIFY2(query.exec(*sql) && query.next(), qPrintable(query.lastError().text()));
        for (qsizetype i = 0; i < parameters.size(); ++i) {
            const QVariant back = query.value(int(i));
            switch (parameters[i].type) {
            case P::Type::Text: QCOMPARE(back.toString(), parameters[i].value.toString()); break;
            case P::Type::Real: {
                const double a = back.toDouble(), b = parameters[i].value.toDouble();
                QVERIFY2(std::memcmp(&a, &b, sizeof a) == 0, qPrintable(QString::number(a, 'g', 17)));
                break;
            }
            case P::Type::Integer: QCOMPARE(back.toLongLong(), parameters[i].value.toLongLong()); break;
            }
        }
        QCOMPARE(query.exec(QStringLiteral("SELECT count(*) FROM kinds")), true);
    }

    // Names and comments are no placeholders; what the translation never
    // writes is refused rather than guessed at.
    void literalsOnlyWherePlaceholdersAre()
    {
        using P = nvtarnix::pushdown::Parameter;
        const QList<P> one{{P::Type::Integer, qint64(7)}};
        QCOMPARE(nvtarnix::rows::withLiterals(QStringLiteral("\"a$1\" = $1::int8 /* $1 */ AND \"x\"\"$1\" > x$1"), one),
                 QStringLiteral("\"a$1\" = '7'::int8 /* $1 */ AND \"x\"\"$1\" > x$1"));
        QVERIFY(!nvtarnix::rows::withLiterals(QStringLiteral("a = $1"), one));
        QVERIFY(!nvtarnix::rows::withLiterals(QStringLiteral("a = $2::int8"), one));
        QVERIFY(!nvtarnix::rows::withLiterals(QStringLiteral("a = 'b' AND $1::int8 > 0"), one));
        QVERIFY(!nvtarnix::rows::withLiterals(QStringLiteral("a = $1::text"),
                                              {{P::Type::Text, QStringLiteral("nul ") + QChar(0) + QStringLiteral(" inside")}}));
        QVERIFY(!nvtarnix::rows::withLiterals(QStringLiteral("a = $1::text"),
                                              {{P::Type::Text, QString(QChar(0xD800))}}));
    }

    // Past its time limit a count says what it found in the first rows; the
    // server stops the statement it was running.
    void timeBound()
    {
        for (const bool pushDown : {true, false}) {
            // The limit leaves a loaded machine time to connect and read the
            // first rows, and ends the count long before its hundred seconds.
            const auto job = slowCount(QStringLiteral("generate_series(1, 100000) AS i"), 1000, pushDown);
            const RowCount count = nvtarnix::rows::countRows(job, nullptr);
            QCOMPARE(int(count.kind), int(RowCount::Kind::Condition));
            QVERIFY2(count.bounded, qPrintable(QStringLiteral("%1 rows, %2").arg(count.rows).arg(count.error)));
            QVERIFY(!count.inDatabase);
            QVERIFY(count.rows > 0 && count.rows < 100000);
            qint64 selected = 0;
            for (qint64 i = 1; i <= count.rows; ++i)
                selected += i % 100 > 50;
            QVERIFY2(count.selected == selected, qPrintable(QStringLiteral("push-down %1: %2 of %3 rows, %4 failed").arg(pushDown).arg(count.selected).arg(count.rows).arg(count.failed)));
        }
    }

    // A newer edit stops the count inside the server's statement, not at
    // its time limit: the statement is gone from the server while the time
    // limit is still far off.
    void cancelledInsideTheStatement()
    {
        for (const bool pushDown : {true, false}) {
            const auto job = slowCount(QStringLiteral("many"), 30000, pushDown);
            std::atomic_bool cancel = false;
            RowCount count;
            std::thread counting([&] { count = nvtarnix::rows::countRows(job, &cancel); });
            QSqlQuery running(QSqlDatabase::database(QStringLiteral("pg-rows")));
            // The count's statements, as the server runs them.
            const auto statements = [&] {
                running.exec(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE state = 'active' "
                                            "AND query LIKE 'FETCH % nvtarnix_cursor_%' AND pid <> pg_backend_pid()"));
                return running.next() ? running.value(0).toInt() : -1;
            };
            {
                // However the test ends, the count is stopped and waited for.
                const auto joined = qScopeGuard([&] {
                    cancel = true;
                    counting.join();
                });
                QTRY_VERIFY_WITH_TIMEOUT(statements() == 1, 10000);
                cancel = true;
                QTRY_COMPARE_WITH_TIMEOUT(statements(), 0, 5000);
            }
            QCOMPARE(int(count.kind), int(RowCount::Kind::Cancelled));
        }
    }

    void cleanupTestCase() { QSqlDatabase::removeDatabase(QStringLiteral("pg-rows")); }
};

NVTARNIX_TEST_CLASS(RowCountPostgresTest)

#include "tst_rows_postgres.moc"
