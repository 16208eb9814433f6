// tarnix apply, run as the real program on SQLite files the test writes.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "TarnixProgram.h"
#include "TestMain.h"

namespace {

const QString Schema = QStringLiteral(SAMPLE_SCHEMA_FILE);

using Run = TarnixRun;

// The program under a pinned locale: what it prints must not depend on the
// machine's, and where conversions do depend on it, the test says which.
Run tarnix(const QStringList &arguments, const QByteArray &input = {},
           const QString &locale = QStringLiteral("C.UTF-8"))
{
    return runTarnix(arguments, input, {{QStringLiteral("LC_ALL"), locale}, {QStringLiteral("LANG"), locale}});
}

// Runs the statements on a new SQLite file; each may carry bound values.
struct Statement
{
    QString sql;
    QVariantList values = {};
};

bool writeDatabase(const QString &path, const QList<Statement> &statements)
{
    bool ok = true;
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("apply-test"));
        db.setDatabaseName(path);
        ok = db.open();
        db.transaction();
        for (const Statement &s : statements) {
            QSqlQuery q(db);
            q.prepare(s.sql);
            for (const QVariant &v : s.values)
                q.addBindValue(v);
            if (!q.exec()) {
                qWarning("%s: %s", qPrintable(s.sql), qPrintable(q.lastError().text()));
                ok = false;
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("apply-test"));
    return ok;
}

QString lines(const QStringList &each)
{
    return each.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace

class tst_Apply : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;     // small tables of every kind of value
    QString m_many;   // enough rows for many blocks

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("small.sqlite"));
        const QString pad(40, QLatin1Char('x'));
        QVERIFY(writeDatabase(
            m_db,
            {
                // No declared types: every value keeps the storage class it came in.
                {QStringLiteral("CREATE TABLE typed (id, v)")},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"a", QVariant(QMetaType(QMetaType::QString))}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"b", 7}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"c", qint64(5000000000)}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"d", qint64(-2147483648LL)}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"e", qint64(2147483648LL)}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"f", 2.5}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"g", QStringLiteral("Ελλάδα")}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"h", QByteArray("\xce\xb1")}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"i", QStringLiteral("")}},
                {QStringLiteral("INSERT INTO typed VALUES (?, ?)"), {"tab\there", 1}},

                {QStringLiteral("CREATE TABLE orders (ORD_NO INTEGER, CUST_NAME TEXT, ORD_AMOUNT REAL, "
                                "QTY INTEGER)")},
                {QStringLiteral("INSERT INTO orders VALUES (101, 'Παπαδόπουλος', 250.5, 2), "
                                "(102, 'Li', 900, 0), (103, NULL, 50, 5), (104, 'Ngata', 1200.25, 4)")},
                {QStringLiteral("CREATE VIEW big_orders AS SELECT * FROM orders WHERE ORD_AMOUNT > 100")},

                // Stored out of the order of n, with an index that holds n: a
                // scan of only n could walk the index instead of the table.
                {QStringLiteral("CREATE TABLE shuffled (n INTEGER, pad TEXT)")},
                {QStringLiteral("INSERT INTO shuffled VALUES (3, ?), (1, ?), (2, ?)"), {pad, pad, pad}},
                {QStringLiteral("CREATE INDEX shuffled_n ON shuffled (n)")},

                // abs() of the smallest integer overflows: SQLite fails on row 2500.
                {QStringLiteral("CREATE TABLE overflow (n INTEGER)")},
                {QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k "
                                "WHERE i < 3000) INSERT INTO overflow SELECT CASE i WHEN 2500 THEN "
                                "-9223372036854775807 - 1 ELSE i END FROM k")},

                {QStringLiteral("CREATE TABLE flags (id INTEGER, f)")},
                {QStringLiteral("INSERT INTO flags VALUES (1, 1), (2, 0), (3, NULL), (4, -1), "
                                "(5, 'True'), (6, 'no'), (7, 0.5), (8, 'False')")},
            }));

        // More rows than several blocks hold, so that several threads share them.
        m_many = m_dir.filePath(QStringLiteral("many.sqlite"));
        QVERIFY(writeDatabase(
            m_many, {{QStringLiteral("CREATE TABLE t (n INTEGER, s TEXT)")},
                     {QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k "
                                     "WHERE i < 9000) INSERT INTO t SELECT (i * 37) % 1000, "
                                     "substr('abcdefg', 1, i % 8) FROM k")}}));
    }

    // What each row prints, and the exit status: 0, or 1 once a row failed.
    void rows_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("output");
        QTest::addColumn<int>("status");

        const QStringList typed{"--database", m_db, "--table", "typed", "--key", "id"};
        QTest::newRow("SQLite values as the engine types them")
            << typed + QStringList{"[V]"}
            << lines({"a\tNull\t", "b\tLong\t7", "c\tDouble\t5000000000", "d\tLong\t-2147483648",
                      "e\tDouble\t2147483648", "f\tDouble\t2.5", "g\tString\tΕλλάδα", "h\tString\tα",
                      "i\tString\t", "tab\\there\tLong\t1"})
            << 0;
        QTest::newRow("Null is not Empty")
            << QStringList{"--database", m_db, "--query", "SELECT v FROM typed LIMIT 2",
                           "IsNull([v]) & IsEmpty([v])"}
            << lines({"1\tString\tTrueFalse", "2\tString\tFalseFalse"}) << 0;

        const QStringList orders{"--database", m_db, "--table", "orders"};
        QTest::newRow("row numbers without a key; names without regard to case")
            << orders + QStringList{"[ord_amount] > 100 And Len([Cust_Name]) > 3"}
            << lines({"1\tBoolean\tTrue", "2\tBoolean\tFalse", "3\tBoolean\tFalse", "4\tBoolean\tTrue"})
            << 0;
        QTest::newRow("a failing row is reported and the rest still run")
            << orders + QStringList{"--key", "ORD_NO", "[ORD_AMOUNT] / [QTY]"}
            << lines({"101\tDouble\t125.25", "102\terror\t11\tDivision by zero", "103\tDouble\t10",
                      "104\tDouble\t300.0625"})
            << 1;
        QTest::newRow("a row past the time limit fails, the next one runs")
            << orders + QStringList{"--key", "ORD_NO", "--timeout", "100",
                                    "Execute(Left(\"Do : Loop\", -9 * ([QTY] = 0))) & [ORD_NO]"}
            << lines({"101\tString\t101",
                      "102\terror\t-2147467260\tThe script was stopped because the time limit was reached",
                      "103\tString\t103", "104\tString\t104"})
            << 1;
        QTest::newRow("a view, in its order")
            << QStringList{"--database", m_db, "--table", "big_orders", "--key", "ord_no",
                           "[cust_name]"}
            << lines({"101\tString\tΠαπαδόπουλος", "102\tString\tLi", "104\tString\tNgata"}) << 0;
        QTest::newRow("a query, in its order")
            << QStringList{"--database", m_db, "--query",
                           "SELECT ORD_NO AS nr, QTY * 2 AS q FROM orders ORDER BY ORD_NO DESC", "--key",
                           "NR", "[q] + 1"}
            << lines({"104\tLong\t9", "103\tLong\t11", "102\tLong\t1", "101\tLong\t5"}) << 0;
        QTest::newRow("a table in its own order, not an index's")
            << QStringList{"--database", m_db, "--table", "shuffled", "[n]"}
            << lines({"1\tLong\t3", "2\tLong\t1", "3\tLong\t2"}) << 0;
        QTest::newRow("a rule without variables runs once a row")
            << QStringList{"--database", m_db, "--table", "shuffled", "1 + 1"}
            << lines({"1\tInteger\t2", "2\tInteger\t2", "3\tInteger\t2"}) << 0;
        QTest::newRow("the expression from standard input")
            << QStringList{"--database", m_db, "--table", "shuffled", "--key", "n", "-"}
            << lines({"3\tLong\t6", "1\tLong\t2", "2\tLong\t4"}) << 0;

        QTest::newRow("display form through the schema's view, database form alike")
            << orders
                   + QStringList{"--key", "ORD_NO", "--schema", Schema,
                                 "[Customer.Name] & \"/\" & [ORD_AMOUNT] * [QTY] + [Order.Number]"}
            << lines({"101\tString\tΠαπαδόπουλος/602", "102\tString\tLi/102", "103\tString\t/353",
                      "104\tString\tNgata/4905"})
            << 0;
    }

    void rows()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, output);
        QFETCH(int, status);
        const QByteArray input = arguments.last() == QLatin1String("-") ? "[n] * 2\n" : "";
        const Run run = tarnix(QStringList{"apply"} + arguments, input);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, output);
        QCOMPARE(run.status, status);
    }

    // MsgBox would wait for a user who is not there.
    void noUserInterface()
    {
        const Run run = tarnix({"apply", "--database", m_db, "--table", "orders", "--key", "ORD_NO",
                                "MsgBox([CUST_NAME])"});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out.count(QStringLiteral("\terror\t70\tPermission denied")), 4);
    }

    // --count prints the one number; a result counts as If would take it.
    void count()
    {
        const Run run = tarnix({"apply", "--database", m_db, "--table", "flags", "--key", "id",
                                "--count", "[f]"});
        QCOMPARE(run.out, QStringLiteral("4\n"));  // 1, -1, "True", 0.5
        // "no" is neither True nor False: its row fails, on standard error.
        QCOMPARE(run.err, QStringLiteral("6\terror\t13\tType mismatch\n"));
        QCOMPARE(run.status, 1);

        const Run clean = tarnix({"apply", "--database", m_db, "--table", "orders", "--count",
                                  "[ORD_AMOUNT] > 100"});
        QCOMPARE(clean.out, QStringLiteral("3\n"));
        QCOMPARE(clean.err, QString());
        QCOMPARE(clean.status, 0);
    }

    // However many threads share the rows, the output is one thread's.
    void rowOrderWithSeveralJobs()
    {
        const QStringList base{"apply", "--database", m_many, "--table", "t",
                               "[n] * 2 & \":\" & [s] & \":\" & (1 \\ ([n] Mod 7))"};
        const Run one = tarnix(base + QStringList{"--jobs", "1"});
        QCOMPARE(one.status, 1);  // n Mod 7 = 0 now and then
        const QStringList rows = one.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 9000);
        int failed = 0;
        for (int i = 1; i <= 9000; ++i) {
            const int n = (i * 37) % 1000;
            const QString expected =
                n % 7 == 0 ? QStringLiteral("%1\terror\t11\tDivision by zero").arg(i)
                           : QStringLiteral("%1\tString\t%2:%3:%4")
                                 .arg(i)
                                 .arg(n * 2)
                                 .arg(QStringLiteral("abcdefg").left(i % 8))
                                 .arg(1 / (n % 7));
            QCOMPARE(rows[i - 1], expected);
            failed += n % 7 == 0;
        }
        QVERIFY(failed > 100);

        for (const char *jobs : {"2", "3", "8"}) {
            const Run many = tarnix(base + QStringList{"--jobs", QString::fromLatin1(jobs)});
            QCOMPARE(many.status, 1);
            QVERIFY2(many.out == one.out, jobs);
        }
        const Run counted = tarnix({"apply", "--database", m_many, "--table", "t", "--count",
                                    "--jobs", "3", "[n] < 500 And Len([s]) > 2"});
        int expected = 0;
        for (int i = 1; i <= 9000; ++i)
            expected += (i * 37) % 1000 < 500 && i % 8 > 2;
        QCOMPARE(counted.out, QStringLiteral("%1\n").arg(expected));
    }

    // A cell longer than any string fails its own row with 14 and the rows
    // around it go on; results that outgrow a block's share of memory go out
    // whole and in order all the same, on one thread or several.
    void largeCellsAndResults()
    {
        const QString path = m_dir.filePath(QStringLiteral("large.sqlite"));
        QVERIFY(writeDatabase(
            path, {{QStringLiteral("CREATE TABLE cells (id INTEGER, t TEXT)")},
                   {QStringLiteral("INSERT INTO cells VALUES (1, 'small')")},
                   // 40,000,000 characters: past the engine's longest string.
                   {QStringLiteral("INSERT INTO cells VALUES (2, hex(zeroblob(20000000)))")},
                   {QStringLiteral("INSERT INTO cells VALUES (3, hex(zeroblob(10000000)))")},
                   {QStringLiteral("INSERT INTO cells VALUES (4, 'after')")},
                   {QStringLiteral("CREATE TABLE wide (id INTEGER)")},
                   {QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 12) "
                                   "INSERT INTO wide SELECT i FROM k")}}));
        for (const char *jobs : {"1", "3"}) {
            const Run cells = tarnix({"apply", "--database", path, "--table", "cells", "--key", "id", "--jobs",
                                      QString::fromLatin1(jobs), "Len([t])"});
            QCOMPARE(cells.out, lines({"1	Long	5", "2	error	14	Out of string space", "3	Long	20000000",
                                       "4	Long	5"}));
            QCOMPARE(cells.status, 1);

            const Run wide = tarnix({"apply", "--database", path, "--table", "wide", "--key", "id", "--jobs",
                                     QString::fromLatin1(jobs), "Space(3000000) & [id]"});
            QCOMPARE(wide.status, 0);
            const QStringList rows = wide.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            QCOMPARE(rows.size(), 12);
            for (int i = 1; i <= 12; ++i) {
                const QString key = QString::number(i);
                QVERIFY2(rows[i - 1].startsWith(key + QStringLiteral("\tString\t")), jobs);
                QVERIFY2(rows[i - 1].endsWith(QStringLiteral(" ") + key), jobs);
                QCOMPARE(rows[i - 1].size(), key.size() + 8 + 3000000 + key.size());
            }
        }
    }

    // Numbers come from SQLite as numbers and go out in one form, whatever the
    // locale; the rule's own conversions follow the locale, or --locale.
    void locale_data()
    {
        QTest::addColumn<QString>("environment");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("output");
        QTest::newRow("C") << "C.UTF-8" << QStringList() << "101\tString\t250.5|True|125.25\n";
        QTest::newRow("Greek") << "el_GR.UTF-8" << QStringList() << "101\tString\t250,5|True|125.25\n";
        QTest::newRow("Greek, rule in en-US")
            << "el_GR.UTF-8" << QStringList{"--locale", "en-US"} << "101\tString\t250.5|True|125.25\n";
    }

    void locale()
    {
        QFETCH(QString, environment);
        QFETCH(QStringList, options);
        QFETCH(QString, output);
        const Run run = tarnix(QStringList{"apply", "--database", m_db, "--query",
                                           "SELECT * FROM orders LIMIT 1", "--key", "ord_no"}
                                   + options
                                   + QStringList{"CStr([ORD_AMOUNT]) & \"|\" & ([ORD_AMOUNT] > 250.4) "
                                                 "& \"|\" & Replace(CStr([ORD_AMOUNT] / 2), \",\", \".\")"},
                               {}, environment);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, output);
    }

    // Every call that cannot be followed ends with status 2 before any row is
    // printed, and one line on standard error: the number and the culprit.
    void badCalls_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("named");

        const QString text = m_dir.filePath(QStringLiteral("notes.txt"));
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write(QByteArray("These are notes, not a database.\n").repeated(200));
        notes.close();
        const QString missing = m_dir.filePath(QStringLiteral("missing.sqlite"));
        const QStringList db{"--database", m_db};

        QTest::newRow("no database") << QStringList{"--table", "orders", "1"} << 5 << "--database";
        QTest::newRow("neither table nor query") << db + QStringList{"1"} << 5 << "--table";
        QTest::newRow("both table and query")
            << db + QStringList{"--table", "orders", "--query", "SELECT 1", "1"} << 5 << "--query";
        QTest::newRow("jobs not a number")
            << db + QStringList{"--table", "orders", "--jobs", "many", "1"} << 5 << "many";
        QTest::newRow("no jobs") << db + QStringList{"--table", "orders", "--jobs", "0", "1"} << 5
                                 << "--jobs";
        QTest::newRow("no time at all")
            << db + QStringList{"--table", "orders", "--timeout", "0", "1"} << 5 << "--timeout";
        QTest::newRow("view without schema")
            << db + QStringList{"--table", "orders", "--view", "rules", "1"} << 5 << "--schema";
        QTest::newRow("two expressions")
            << db + QStringList{"--table", "orders", "1", "2"} << 5 << "2 given";
        QTest::newRow("unknown locale")
            << db + QStringList{"--table", "orders", "--locale", "xx-YY", "1"} << 5 << "xx-YY";
        QTest::newRow("unknown option")
            << db + QStringList{"--table", "orders", "--colour", "1"} << 5 << "colour";
        QTest::newRow("not an expression")
            << db + QStringList{"--table", "orders", "[QTY] +* 2"} << 1023 << "column 8";

        QTest::newRow("missing file") << QStringList{"--database", missing, "--table", "t", "1"} << 53
                                      << missing;
        QTest::newRow("a folder") << QStringList{"--database", m_dir.path(), "--table", "t", "1"} << 75
                                  << m_dir.path();
        QTest::newRow("not an SQLite file") << QStringList{"--database", text, "--table", "t", "1"}
                                            << 3709 << text;
        QTest::newRow("no such table") << db + QStringList{"--table", "invoices", "1"} << 3265
                                       << "\"invoices\"";
        QTest::newRow("query the database refuses")
            << db + QStringList{"--query", "SELECT * FROM invoices", "1"} << -2147217900
            << "no such table: invoices";
        QTest::newRow("two statements")
            << db + QStringList{"--query", "SELECT 1; SELECT 2", "1"} << -2147217900 << "one statement";
        QTest::newRow("a command, not a query")
            << db + QStringList{"--query", "CREATE TABLE x (a)", "1"} << 3704 << "no rows";

        QTest::newRow("a variable that names no column")
            << db + QStringList{"--table", "orders", "[ORD_AMOUNT] > [Limit] Or [Discount]"} << 3265
            << "\"Limit\", \"Discount\"";
        QTest::newRow("display form without the schema")
            << db + QStringList{"--table", "orders", "[Customer.Name]"} << 3265 << "\"Customer.Name\"";
        QTest::newRow("a query's column missing")
            << db + QStringList{"--query", "SELECT QTY FROM orders", "[ORD_NO]"} << 3265 << "\"ORD_NO\"";
        QTest::newRow("key that names no column")
            << db + QStringList{"--table", "orders", "--key", "id", "1"} << 3265 << "\"id\"";
        QTest::newRow("schema file missing")
            << db + QStringList{"--table", "orders", "--schema", missing, "1"} << 53 << missing;
    }

    void badCalls()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, number);
        QFETCH(QString, named);
        const Run run = tarnix(QStringList{"apply"} + arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error %1: ").arg(number)),
                 qPrintable(run.err));
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        // One line for the error; a call that cannot be followed adds the usage line.
        const bool usage = number == 5;
        QCOMPARE(run.err.count(QLatin1Char('\n')), usage ? 2 : 1);
        QCOMPARE(run.err.contains(QStringLiteral("\nusage: tarnix apply (--database FILE | --postgres CONNINFO)")), usage);
    }

    // SQLite failing on a row midway: every row before it is answered, then
    // the error ends the run.
    void databaseFailureMidway()
    {
        const Run run = tarnix({"apply", "--database", m_db, "--query",
                                "SELECT abs(n) AS a FROM overflow", "--jobs", "2", "[a] * 2"});
        QCOMPARE(run.status, 2);
        const QStringList rows = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 2499);
        QCOMPARE(rows.last(), QStringLiteral("2499\tLong\t4998"));
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error -2147217900: ")), qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("integer overflow")), qPrintable(run.err));
    }

    // With --count, the count of the rows answered before SQLite failed
    // comes out before the error does.
    void countBeforeAFailureMidway()
    {
        const Run run = tarnix({"apply", "--database", m_db, "--query", "SELECT abs(n) AS a FROM overflow",
                                "--jobs", "2", "--count", "[a] Mod 2 = 0"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QStringLiteral("1249\n"));  // the even numbers of 1 to 2499
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error -2147217900: ")), qPrintable(run.err));
    }

    // A file that is a database but cannot be read now says so with a number
    // of its own, not as a file that is no database: held by another program
    // that writes it, or left by a write that stopped midway with a journal
    // only a writer may roll back.
    void lockedDatabase_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("named");
        QTest::newRow("exclusively locked") << "locked" << "is locked by another program";
        QTest::newRow("hot journal") << "hot" << "unfinished write (a hot journal)";
    }

    void lockedDatabase()
    {
        QFETCH(QString, state);
        QFETCH(QString, named);
        const QString path = m_dir.filePath(state + QStringLiteral(".sqlite"));
        const QString writing = m_dir.filePath(state + QStringLiteral("-writing.sqlite"));
        QVERIFY(writeDatabase(writing, {{QStringLiteral("CREATE TABLE t (s TEXT)")},
                                        {QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                                                        "FROM k WHERE i < 2000) INSERT INTO t SELECT "
                                                        "printf('%500d', i) FROM k")}}));
        const QString connection = QStringLiteral("holder-") + state;
        auto closeHolder = qScopeGuard([&] {
            {
                QSqlDatabase db = QSqlDatabase::database(connection, false);
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
                db.close();
            }
            QSqlDatabase::removeDatabase(connection);
        });
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        holder.setDatabaseName(writing);
        QVERIFY(holder.open());
        QSqlQuery q(holder);
        QString target = writing;
        if (state == QLatin1String("locked")) {
            QVERIFY2(q.exec(QStringLiteral("BEGIN EXCLUSIVE")), qPrintable(q.lastError().text()));
        } else {
            // A cache of two pages spills the change into the file midway, so
            // the journal is written out; a copy of both is a crash's leftovers.
            QVERIFY(q.exec(QStringLiteral("PRAGMA cache_size = 2")));
            QVERIFY(q.exec(QStringLiteral("BEGIN")));
            QVERIFY2(q.exec(QStringLiteral("UPDATE t SET s = s || 'changed'")), qPrintable(q.lastError().text()));
            QVERIFY(QFile::exists(writing + QStringLiteral("-journal")));
            QVERIFY(QFile::copy(writing, path));
            QVERIFY(QFile::copy(writing + QStringLiteral("-journal"), path + QStringLiteral("-journal")));
            target = path;
        }
        const Run run = tarnix({"apply", "--database", target, "--table", "t", "--count", "Len([s]) > 0"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(QStringLiteral("tarnix apply: error 3730: ") + target), qPrintable(run.err));
        QVERIFY2(run.err.contains(named), qPrintable(run.err));

        // Once the other program is done, the same file reads.
        closeHolder.dismiss();
        {
            q.exec(QStringLiteral("ROLLBACK"));
            q.finish();
            holder.close();
        }
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        if (state == QLatin1String("locked")) {
            const Run after = tarnix({"apply", "--database", target, "--table", "t", "--count", "Len([s]) > 0"});
            QCOMPARE(after.out, QStringLiteral("2000\n"));
            QCOMPARE(after.status, 0);
        }
    }

    // A variable that names no column stops the run before the first row,
    // however many rows follow.
    void unknownColumnBeforeAnyRow()
    {
        const Run run = tarnix({"apply", "--database", m_many, "--table", "t", "--jobs", "2",
                                "[n] & [missing]"});
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.contains(QStringLiteral("error 3265:")), qPrintable(run.err));
    }

    void help()
    {
        const Run run = tarnix({"apply", "--help"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.startsWith(QStringLiteral("Usage: tarnix apply (--database FILE | --postgres CONNINFO)")),
                 qPrintable(run.out));
        for (const char *option : {"--postgres", "--table", "--query", "--key", "--count", "--jobs", "--schema"})
            QVERIFY2(run.out.contains(QLatin1String(option)), option);
    }
};

NVTARNIX_TEST_CLASS(tst_Apply)
#include "tst_apply.moc"
