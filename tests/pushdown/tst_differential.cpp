// The proof of the translation: random rules over random tables, run through
// the SQL and then the engine on what the SQL fetched and flagged, must give
// what the engine alone gives on every row. A mismatch is cut down to a small
// case and printed as a line for data/regressions.tsv, which every run replays.

#include "Differential.h"
#include "PostgresDatabase.h"
#include "RuleGenerator.h"
#include "SqliteDatabase.h"
#include "TestMain.h"

#include <QDateTime>
#include <QFile>
#include <QTest>

#include <memory>

using namespace pushdowntest;

namespace {

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue(name, &ok);
    return ok && n > 0 ? n : fallback;
}

vbscript::RuleSettings settings()
{
    vbscript::RuleSettings s;
    s.locale = vbscript::ScriptLocale(QLocale::system());
    // A run's instant, as a host that runs a rule over rows fixes it: Date,
    // Now and the rows the engine re-checks all read it.
    s.now = QDateTime(QDate(2025, 6, 30), QTime(13, 45, 10));
    return s;
}

RuleVocabulary vocabulary(const TableShape &shape)
{
    RuleVocabulary v;
    for (const auto &c : shape.columns)
        (c.name.startsWith(QLatin1Char('t'))   ? v.textVariables
         : c.name.startsWith(QLatin1Char('d')) ? v.dateVariables
                                               : v.numberVariables)
            << c.name;
    return v;
}

// One database per dialect that this machine runs.
std::vector<std::unique_ptr<DifferentialDatabase>> databases()
{
    std::vector<std::unique_ptr<DifferentialDatabase>> all;
    all.push_back(std::make_unique<SqliteDatabase>());
    all.push_back(std::make_unique<PostgresDatabase>());
    return all;
}

std::vector<TableShape> shapesOf(const DifferentialDatabase &db)
{
    switch (db.dialect()) {
    case nvtarnix::pushdown::SqlDialect::SQLite: return SqliteDatabase::shapes();
    case nvtarnix::pushdown::SqlDialect::PostgreSQL:
        return PostgresDatabase::shapes();
    }
    return {};
}

// How the regressions file names a dialect.
QString dialectName(nvtarnix::pushdown::SqlDialect dialect)
{
    return dialect == nvtarnix::pushdown::SqlDialect::SQLite ? QStringLiteral("sqlite") : QStringLiteral("postgres");
}

QString regressionLine(const QString &dialect, const QString &shape, const ShrunkCase &c)
{
    QStringList parts{dialect, shape, c.rule};
    for (const StoredValue &v : c.rows.front())
        parts << storedText(v);
    return parts.join(QLatin1Char('\t'));
}

} // namespace

class tst_Differential : public QObject
{
    Q_OBJECT

private slots:
    // Each dialect, each table shape: a few thousand rules over 2,000 rows,
    // or with NVTARNIX_PUSHDOWN_SOAK=N, N rule/table pairs over small
    // tables made afresh every 50 rules.
    void randomRules()
    {
        const int soak = environmentNumber("NVTARNIX_PUSHDOWN_SOAK", 0);
        const quint64 seed = quint64(environmentNumber("NVTARNIX_PUSHDOWN_SEED", 20261207));
        const vbscript::RuleSettings run = settings();
        for (auto &db : databases()) {
            const auto shapes = shapesOf(*db);
            const int rulesPerShape = soak ? (soak + int(shapes.size()) - 1) / int(shapes.size()) : 700;
            const int rowsPerTable = soak ? 200 : 2000;
            const int rulesPerTable = soak ? 50 : rulesPerShape;
            int compared = 0;
            std::array<int, 3> outcomes{};
            for (size_t s = 0; s < shapes.size(); ++s) {
                const TableShape &shape = shapes[s];
                RuleGenerator generator(vocabulary(shape), seed + s);
                std::vector<StoredRow> rows;
                std::vector<std::vector<vbscript::Variant>> engine;
                for (int r = 0; r < rulesPerShape; ++r) {
                    if (r % rulesPerTable == 0) {
                        rows = randomRows(shape, rowsPerTable, seed * 31 + s * 1000003 + quint64(r));
                        db->load(shape, rows);
                        engine = db->engineRows();
                    }
                    const RuleNode rule = generator.condition(3);
                    if (const auto m = compareRule(*db, shape, rule.text(), engine, run, &outcomes)) {
                        const ShrunkCase small = shrink(*db, shape, rule, rows, run);
                        const QString line = regressionLine(dialectName(db->dialect()), shape.name, small);
                        QFAIL(qPrintable(QStringLiteral("mismatch on %8 %1 rows, rule %2 (row %3): %4\n"
                                                        "shrunk to: %5\n%6\nkeep it in data/regressions.tsv:\n%7")
                                             .arg(shape.name, m->rule)
                                             .arg(m->row)
                                             .arg(m->what, small.rule, small.what, line, dialectName(db->dialect()))));
                    }
                    ++compared;
                }
            }
            qInfo("%s: %d rules: %d Complete, %d Partial, %d Fail", qPrintable(dialectName(db->dialect())), compared,
                  outcomes[0], outcomes[1], outcomes[2]);
            QVERIFY(compared >= 2000);
            // Most random rules must reach the database, or the comparison proves little.
            QVERIFY2(outcomes[0] + outcomes[1] > compared / 2, "too few rules were translated");
        }
    }

    void regressions_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("values");
        QFile file(QStringLiteral(PUSHDOWN_DATA_DIR "/regressions.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        int n = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            QStringList parts = line.split(QLatin1Char('\t'));
            const QString dialect = parts.takeFirst(), shape = parts.takeFirst(), rule = parts.takeFirst();
            QTest::addRow("%d %s %s", ++n, qPrintable(dialect), qPrintable(rule)) << dialect << shape << rule << parts;
        }
    }

    // Cases the random rules once found, kept so that they stay fixed.
    void regressions()
    {
        QFETCH(QString, dialect);
        QFETCH(QString, shape);
        QFETCH(QString, rule);
        QFETCH(QStringList, values);
        // One database of each dialect serves every case.
        static std::vector<std::unique_ptr<DifferentialDatabase>> all = databases();
        DifferentialDatabase *found = nullptr;
        for (auto &d : all)
            if (dialectName(d->dialect()) == dialect)
                found = d.get();
        QVERIFY2(found, qPrintable(QStringLiteral("no database for the dialect \"%1\"").arg(dialect)));
        DifferentialDatabase &db = *found;
        for (const TableShape &s : shapesOf(db)) {
            if (s.name != shape)
                continue;
            StoredRow row;
            for (const QString &v : values)
                row.push_back(storedValue(v));
            QCOMPARE(row.size(), s.columns.size());
            db.load(s, {row});
            const auto m = compareRule(db, s, rule, db.engineRows(), settings());
            QVERIFY2(!m, m ? qPrintable(m->what) : "");
            return;
        }
        QFAIL("no such table shape");
    }
};

NVTARNIX_TEST_CLASS(tst_Differential)
#include "tst_differential.moc"
