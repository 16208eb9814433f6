// The count over a host's PostgreSQL connection (QPSQL), where the engine
// reads every row: the same as `tarnix apply --postgres --count` prints.

#include "Orders.h"
#include "PostgresCluster.h"
#include "TestMain.h"

#include "rows/RowCount.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QtTest>

using nvtarnix::rows::RowCount;

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
        QVERIFY(!count.inDatabase);
        QCOMPARE(count.selected, out.toLongLong());
        QCOMPARE(count.failed, failedRows);
        QCOMPARE(count.rows, qint64(600));
    }

    void cleanupTestCase() { QSqlDatabase::removeDatabase(QStringLiteral("pg-rows")); }
};

NVTARNIX_TEST_CLASS(RowCountPostgresTest)

#include "tst_rows_postgres.moc"
