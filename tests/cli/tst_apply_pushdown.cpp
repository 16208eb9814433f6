// tarnix apply running rules inside SQLite: whatever runs where, the output,
// the error lines and the exit status are those of the engine alone.

#include <QCryptographicHash>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "ApplyPushDownTests.h"
#include "TarnixProgram.h"
#include "TestMain.h"

namespace {

TarnixRun tarnix(const QStringList &arguments)
{
    return runTarnixApply(arguments);
}

QByteArray digest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

class tst_ApplyPushDown : public ApplyPushDownTests
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    QStringList database() const override { return {QStringLiteral("--database"), m_db}; }
    // A STRICT table: text against a whole number there is no error.
    QString typedSource() const override { return QStringLiteral("typed/id"); }

    // qty holds two words, which the engine compares with 7 itself.
    void addOwnExplainRows() override
    {
        QTest::newRow("complete, with rows the engine decides")
            << "orders/id" << QStringLiteral("[qty] = 7") << QStringLiteral("push-down: Complete")
            << QStringLiteral("push-down: 334 rows fetched, 2 re-checked by the engine");
        // Or over a part SQL cannot write leaves nothing to narrow down.
        QTest::newRow("nothing to narrow")
            << "typed/id" << QStringLiteral("[name] = [qty] Or [amount] > 990") << QStringLiteral("push-down: Fail")
            << QStringLiteral("push-down: 3000 rows fetched, 3000 re-checked by the engine");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("shop.sqlite"));
        {
            auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("pushdown-test"));
            db.setDatabaseName(m_db);
            QVERIFY(db.open());
            const QStringList statements{
                // Declared types, and values that do not keep to them: text in
                // an INTEGER column, a real among integers, a NOCASE column.
                QStringLiteral("CREATE TABLE orders (id INTEGER PRIMARY KEY, amount REAL, qty INTEGER, "
                               "name TEXT COLLATE NOCASE, day TEXT)"),
                QStringLiteral("WITH RECURSIVE k(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM k WHERE i < 3000) "
                               "INSERT INTO orders SELECT i, CASE WHEN i % 11 = 0 THEN NULL ELSE (i * 37) % 1000 + 0.5 END, "
                               "i % 9 - 1, CASE i % 6 WHEN 0 THEN 'Αθήνα' WHEN 1 THEN NULL WHEN 2 THEN 'abc' "
                               "WHEN 3 THEN 'ABC' WHEN 4 THEN 'Ζ😀' ELSE 'x' || i END, "
                               "'2024-0' || (1 + i % 9) || '-1' || (i % 10) FROM k"),
                QStringLiteral("UPDATE orders SET qty = 'many' WHERE id IN (17, 2500)"),
                QStringLiteral("UPDATE orders SET qty = 2.5 WHERE id = 40"),
                QStringLiteral("UPDATE orders SET qty = 5000000000 WHERE id = 41"),
                QStringLiteral("CREATE INDEX orders_amount ON orders (amount)"),
                QStringLiteral("CREATE TABLE typed (id INTEGER, amount REAL, qty INTEGER, name TEXT) STRICT"),
                QStringLiteral("INSERT INTO typed SELECT id, amount, CASE WHEN typeof(qty) = 'integer' THEN qty END, "
                               "name FROM orders"),
                // Found through the index, the rows are sorted back into the table's order.
                QStringLiteral("CREATE INDEX typed_amount ON typed (amount DESC)"),
                QStringLiteral("CREATE TABLE keyed (name TEXT PRIMARY KEY, qty INTEGER) WITHOUT ROWID"),
                QStringLiteral("INSERT INTO keyed SELECT 'n' || id, qty FROM orders WHERE id <= 500"),
                QStringLiteral("CREATE VIEW recent AS SELECT * FROM orders WHERE id > 1000"),
            };
            for (const QString &sql : statements) {
                QSqlQuery q(db);
                QVERIFY2(q.exec(sql), qPrintable(q.lastError().text()));
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pushdown-test"));
    }

    // Rules that translate completely, partly and not at all, some raising
    // errors on some rows, over tables, a view and a query, with keys and
    // row numbers: auto gives exactly what off gives.
    void sameAnswersAsTheEngine_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("rule");
        const QStringList rules{
            QStringLiteral("[amount] > 900 And [qty] <> 2"),
            QStringLiteral("[qty] * 2 >= 10 Or IsNull([name])"),
            QStringLiteral("[name] = \"abc\""),
            QStringLiteral("UCase([name]) = \"ABC\" And Len([name]) > 2"),
            QStringLiteral("Not ([name] < \"b\") And [amount] \\ 100 = 3"),
            QStringLiteral("Round([amount] / 4) Mod 3 = 1"),
            QStringLiteral("IsEmpty([name]) Or [amount] < 20"),
            QStringLiteral("Not IsEmpty([name]) And [amount] < 20"),
            QStringLiteral("Left([day], 7) = \"2024-03\" And CLng([qty]) = 3"),
            QStringLiteral("StrComp([name], \"abc\", 1) = 0"),
            QStringLiteral("[qty] > 3"),
            QStringLiteral("[amount] >= 985.5"),
            // The SQL decides every row of every source: --count counts in SQLite.
            QStringLiteral("IsNull([amount])"),
        };
        const QStringList sources{QStringLiteral("orders/id"), QStringLiteral("orders"), QStringLiteral("typed/id"),
                                  QStringLiteral("recent/id"), QStringLiteral("keyed/name"),
                                  QStringLiteral("query:SELECT * FROM orders WHERE id % 3 = 0")};
        for (const QString &from : sources)
            for (const QString &rule : rules) {
                if (from.startsWith(QLatin1String("keyed")) && rule.contains(QLatin1String("amount")))
                    continue;
                QTest::addRow("%s: %s", qPrintable(from), qPrintable(rule)) << from << rule;
            }
    }

    void sameAnswersAsTheEngine()
    {
        QFETCH(QString, from);
        QFETCH(QString, rule);
        if (from.startsWith(QLatin1String("keyed")))
            rule.replace(QLatin1String("[amount]"), QLatin1String("[qty]")).replace(QLatin1String("[day]"), QLatin1String("[name]"));
        verifyPushDownChangesNothing([](const QStringList &args) { return tarnix(args); }, source(from), rule);
    }

    // No run of tarnix apply writes the file, not even one --push-down
    // require stops.
    void requireWritesNothing()
    {
        const QByteArray before = digest(m_db);
        const QStringList args = source(QStringLiteral("orders/id"))
            + QStringList{QStringLiteral("--push-down"), QStringLiteral("require")};
        QCOMPARE(tarnix(args + QStringList{QStringLiteral("[amount] > 5 And Oct([qty]) = \"12\"")}).status, 2);
        QCOMPARE(tarnix(args + QStringList{QStringLiteral("[amount] > 995")}).status, 2);
        QCOMPARE(tarnix(args + QStringList{QStringLiteral("--matching"), QStringLiteral("[amount] > 995")}).status, 0);
        QCOMPARE(digest(m_db), before);
    }

    // SQL the database refuses (here: a query that ends in a semicolon, which
    // cannot stand inside another) falls back to the engine with one note.
    void refusedSqlFallsBack()
    {
        const QStringList args{QStringLiteral("--database"), m_db, QStringLiteral("--query"),
                               QStringLiteral("SELECT * FROM orders;"), QStringLiteral("--matching")};
        const QString rule = QStringLiteral("[amount] > 990");
        const TarnixRun off = tarnix(args + QStringList{QStringLiteral("--push-down"), QStringLiteral("off"), rule});
        const TarnixRun on = tarnix(args + QStringList{rule});
        QCOMPARE(on.status, off.status);
        QCOMPARE(on.out, off.out);
        QCOMPARE(on.err.count(QLatin1String("note: the database refused")), 1);
    }

    void badModes()
    {
        const QStringList args = source(QStringLiteral("orders"));
        QCOMPARE(tarnix(args + QStringList{QStringLiteral("--push-down"), QStringLiteral("always"), QStringLiteral("1")}).status, 2);
        QCOMPARE(tarnix(args + QStringList{QStringLiteral("--count"), QStringLiteral("--matching"), QStringLiteral("1")}).status, 2);
    }
};

NVTARNIX_TEST_CLASS(tst_ApplyPushDown)
#include "tst_apply_pushdown.moc"
