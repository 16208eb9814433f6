// The count under the wizard's text, without a window: it equals what
// `tarnix apply --count` prints for the same rows, whether SQLite or the
// engine counts; a newer request cancels it; its time limit bounds it; rows
// that go away make it say so.

#include "Orders.h"
#include "SqliteFile.h"
#include "TestMain.h"

#include "rows/RowCount.h"
#include "rows/RowCountRunner.h"

#include <nvtarnix/MemoryRecordset.h>

#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QtTest>

using nvtarnix::rows::RowCount;
using nvtarnix::rows::RowCountJob;

namespace {

struct Applied
{
    int exitCode = -1;
    qint64 count = -1;
    int failedRows = 0;
};

// `tarnix apply --count`, or with `everyRow` each row's own result: a rule
// that computes a value fails where its evaluation fails, not where If could
// not take the value.
Applied tarnixCount(const QString &database, const QString &rule, bool everyRow = false)
{
    QProcess tarnix;
    QStringList arguments{QStringLiteral("apply"), QStringLiteral("--database"), database, QStringLiteral("--table"),
                          QStringLiteral("orders"), QStringLiteral("--jobs"), QStringLiteral("1"), rule};
    if (!everyRow)
        arguments.insert(arguments.size() - 1, QStringLiteral("--count"));
    tarnix.start(QStringLiteral(TARNIX_PROGRAM), arguments);
    Applied applied;
    if (!tarnix.waitForFinished(30000))
        return applied;
    applied.exitCode = tarnix.exitCode();
    const QByteArray out = tarnix.readAllStandardOutput().trimmed();
    if (everyRow)
        applied.failedRows = int(out.count("\terror\t"));
    else {
        if (!out.isEmpty())
            applied.count = out.toLongLong();
        applied.failedRows = int(tarnix.readAllStandardError().count('\n'));
    }
    return applied;
}

RowCountJob jobFor(const QString &connection, const QString &rule)
{
    RowCountJob job;
    job.databaseText = rule;
    job.source.connectionName = connection;
    job.source.table = QStringLiteral("orders");
    job.source.timeLimitMs = 60000;
    job.language = nvtarnix::EnglishLanguage;
    return job;
}

} // namespace

class RowCountTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(m_file.run(orderStatements(600)), QString());
    }

    void countEqualsApply_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<int>("kind");
        QTest::newRow("condition in SQL") << "[AMOUNT] > 100 And [COUNTRY] <> \"CY\"" << int(RowCount::Kind::Condition);
        QTest::newRow("condition on mixed column") << "[QTY] >= 3 Or IsNull([NOTE])" << int(RowCount::Kind::Condition);
        QTest::newRow("condition with text") << "Left([NOTE], 6) = \"note 1\"" << int(RowCount::Kind::Condition);
        QTest::newRow("value") << "[AMOUNT] * 2" << int(RowCount::Kind::Value);
        QTest::newRow("value as If takes it") << "[QTY]" << int(RowCount::Kind::Value);
        QTest::newRow("text value") << "\"Qty \" & [QTY]" << int(RowCount::Kind::Value);
        QTest::newRow("value failing on some rows") << "\"Qty \" & CLng([QTY])" << int(RowCount::Kind::Value);
        QTest::newRow("fails on some rows") << "100 / [QTY] > 20" << int(RowCount::Kind::Condition);
        QTest::newRow("fails on text") << "CLng([QTY]) + 1 > 5" << int(RowCount::Kind::Condition);
        QTest::newRow("does not compile") << "[AMOUNT] >" << int(RowCount::Kind::CannotRun);
        QTest::newRow("no such column") << "[WEIGHT] > 1" << int(RowCount::Kind::CannotRun);
    }

    void countEqualsApply()
    {
        QFETCH(QString, rule);
        QFETCH(int, kind);
        const Applied applied = tarnixCount(m_file.path(), rule);
        for (const bool pushDown : {true, false}) {
            RowCountJob job = jobFor(m_file.database().connectionName(), rule);
            job.pushDown = pushDown;
            const RowCount count = nvtarnix::rows::countRows(job, nullptr);
            QCOMPARE(int(count.kind), kind);
            if (count.kind == RowCount::Kind::CannotRun) {
                QCOMPARE(applied.exitCode, 2);
                QVERIFY(!count.error.isEmpty());
                continue;
            }
            QVERIFY2(applied.exitCode == 0 || applied.exitCode == 1, qPrintable(QString::number(applied.exitCode)));
            QCOMPARE(count.selected, applied.count);
            const int failed = kind == int(RowCount::Kind::Value)
                                   ? tarnixCount(m_file.path(), rule, true).failedRows
                                   : applied.failedRows;
            QCOMPARE(count.failed, qint64(failed));
            QCOMPARE(count.rows, qint64(600));
            QVERIFY(!count.bounded);
            QCOMPARE(count.selectedRows.size(), qMin<qint64>(job.keptRows, count.selected));
            QCOMPARE(count.failedRows.size(), qMin<qint64>(job.keptRows, count.failed));
            for (const auto &failing : count.failedRows)
                QVERIFY(failing.errorNumber != 0 && !failing.error.isEmpty());
        }
    }

    // The first selected rows are the first in the table's order, whether
    // SQLite counted them or the engine did.
    void firstRowsInOrder()
    {
        const QString rule = QStringLiteral("[QTY] >= 9 And [AMOUNT] < 200");
        QList<QVariantList> seen[2];
        for (const bool pushDown : {true, false}) {
            RowCountJob job = jobFor(m_file.database().connectionName(), rule);
            job.pushDown = pushDown;
            const RowCount count = nvtarnix::rows::countRows(job, nullptr);
            QCOMPARE(count.inDatabase, pushDown);
            QCOMPARE(count.columns, QStringList({QStringLiteral("QTY"), QStringLiteral("AMOUNT")}));
            for (const auto &row : count.selectedRows)
                seen[pushDown].append(row.values);
        }
        QVERIFY(!seen[0].isEmpty());
        QCOMPARE(seen[1], seen[0]);
    }

    // A host without SQL hands over a recordset: the engine counts it.
    void recordsetCount()
    {
        auto rows = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"Amount", "Country"});
        for (int i = 0; i < 50; ++i)
            rows->addRow({i * 10.0, i % 3 ? QStringLiteral("GR") : QStringLiteral("DE")});
        RowCountJob job;
        job.databaseText = QStringLiteral("[AMOUNT] >= 100 And [COUNTRY] = \"GR\"");
        job.source.recordset = rows;
        const RowCount count = nvtarnix::rows::countRows(job, nullptr);
        QCOMPARE(int(count.kind), int(RowCount::Kind::Condition));
        QCOMPARE(count.selected, qint64(27));
        QCOMPARE(count.rows, qint64(50));
        job.databaseText = QStringLiteral("[WEIGHT] > 1");
        QCOMPARE(int(nvtarnix::rows::countRows(job, nullptr).kind), int(RowCount::Kind::CannotRun));
    }

    // Bindings: a column under another name, dates as ISO text, and a value
    // the same on every row.
    void boundColumns()
    {
        testsupport::SqliteFile file;
        QCOMPARE(file.run({QStringLiteral("CREATE TABLE t (taken TEXT)"),
                           QStringLiteral("INSERT INTO t VALUES ('2024-01-05'), ('2024-03-01'), ('not a day'), (NULL)")}),
                 QString());
        RowCountJob job;
        job.databaseText = QStringLiteral("DateDiff(\"d\", [ORD_DATE], [TODAY]) > 30");
        job.source.connectionName = file.database().connectionName();
        job.source.table = QStringLiteral("t");
        job.source.columns = {{"ORD_DATE", "taken", nvtarnix::pushdown::Binding::SqliteIsoDate},
                              {"TODAY", {}, nvtarnix::pushdown::Binding::RunConstant, QDate(2024, 3, 2)}};
        for (const bool pushDown : {true, false}) {
            job.pushDown = pushDown;
            const RowCount count = nvtarnix::rows::countRows(job, nullptr);
            QCOMPARE(count.selected, qint64(1));
            QCOMPARE(count.failed, qint64(1)); // the text that is no day
            QCOMPARE(count.rows, qint64(4));
        }
    }

    void rowsThatGoAway()
    {
        RowCountJob job = jobFor(QStringLiteral("no-such-connection"), QStringLiteral("[AMOUNT] > 1"));
        QCOMPARE(int(nvtarnix::rows::countRows(job, nullptr).kind), int(RowCount::Kind::Unavailable));
        testsupport::SqliteFile gone;
        QCOMPARE(gone.run({QStringLiteral("CREATE TABLE other (a)")}), QString());
        job.source.connectionName = gone.database().connectionName();
        const RowCount count = nvtarnix::rows::countRows(job, nullptr);
        QCOMPARE(int(count.kind), int(RowCount::Kind::Unavailable)); // no table orders
        gone.close();
        QCOMPARE(int(nvtarnix::rows::countRows(job, nullptr).kind), int(RowCount::Kind::Unavailable));
    }

    // A count that is past its time limit says what it found in the rows it
    // read, and stops inside SQLite as well as in the engine.
    void timeBound()
    {
        testsupport::SqliteFile big;
        QCOMPARE(big.run({QStringLiteral("CREATE TABLE orders AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                                         "SELECT i + 1 FROM n WHERE i < 300000) SELECT i AS id, i % 100 AS amount FROM n")}),
                 QString());
        for (const bool pushDown : {true, false}) {
            RowCountJob job = jobFor(big.database().connectionName(), QStringLiteral("Len(Space([AMOUNT] * 50)) > 100"));
            job.pushDown = pushDown;
            job.source.timeLimitMs = 50;
            const RowCount count = nvtarnix::rows::countRows(job, nullptr);
            QVERIFY(count.bounded);
            QVERIFY2(count.rows > 0 && count.rows < 300000, qPrintable(QString::number(count.rows)));
            QVERIFY(count.selected <= count.rows);
        }
    }

    void cancelledByNewerRequest()
    {
        std::atomic_bool cancelled{true};
        const RowCount stopped
            = nvtarnix::rows::countRows(jobFor(m_file.database().connectionName(), QStringLiteral("[AMOUNT] > 1")), &cancelled);
        QCOMPARE(int(stopped.kind), int(RowCount::Kind::Cancelled));

        nvtarnix::rows::RowCountRunner runner;
        QSignalSpy counted(&runner, &nvtarnix::rows::RowCountRunner::counted);
        // The first runs long enough to be overtaken.
        runner.request(jobFor(m_file.database().connectionName(), QStringLiteral("Len(Space(200000)) > 0 And [AMOUNT] > 1")));
        runner.request(jobFor(m_file.database().connectionName(), QStringLiteral("[COUNTRY] = \"GR\"")));
        QTRY_VERIFY_WITH_TIMEOUT(counted.size() == 1 && !runner.counting(), 10000);
        QCoreApplication::processEvents();
        QCOMPARE(counted.size(), 1);
        const auto count = counted.first().first().value<RowCount>();
        QCOMPARE(count.selected, qint64(150));
    }

private:
    testsupport::SqliteFile m_file;
};

NVTARNIX_TEST_CLASS(RowCountTest)

#include "tst_rows.moc"
