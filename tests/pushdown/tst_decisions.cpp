// The guards, one construct each: the row the guard leaves to the engine is
// flagged, the row the SQL decides alone is not, and both agree with the
// engine.

#include "Differential.h"
#include "SqliteDatabase.h"
#include "TestMain.h"
#include "TsvTable.h"

#include "pushdown/RuleTranslator.h"

#include <QTest>

using namespace pushdowntest;

class tst_Decisions : public QObject
{
    Q_OBJECT

private slots:
    void guards_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("engineRow");
        QTest::addColumn<QString>("sqlRow");
        QFile file(QStringLiteral(PUSHDOWN_DATA_DIR "/decisions.tsv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
                continue;
            const QStringList f = line.split(QLatin1Char('\t'));
            QVERIFY2(f.size() == 5, qPrintable(line));
            QTest::addRow("%s %s", qPrintable(f[0]), qPrintable(f[1])) << f[0] << f[1] << f[2] << f[3] << f[4];
        }
    }

    void guards()
    {
        QFETCH(QString, shape);
        QFETCH(QString, rule);
        QFETCH(QString, outcome);
        QFETCH(QString, engineRow);
        QFETCH(QString, sqlRow);
        TableShape table;
        for (const TableShape &s : SqliteDatabase::shapes())
            if (s.name == shape)
                table = s;
        QVERIFY(!table.columns.empty());
        std::vector<StoredRow> rows(2);
        for (const QString &v : engineRow.split(QLatin1Char(' ')))
            rows[0].push_back(storedValue(v));
        for (const QString &v : sqlRow.split(QLatin1Char(' ')))
            rows[1].push_back(storedValue(v));
        SqliteDatabase db;
        db.load(table, rows);

        const auto compiled = vbscript::CompiledExpression::compile(rule);
        QList<nvtarnix::pushdown::ColumnBinding> bindings;
        for (const auto &c : table.columns)
            bindings.append({c.name, c.name, c.binding});
        const auto t = nvtarnix::pushdown::translateRule(*compiled, db.dialect(), bindings);
        QCOMPARE(nvtarnix::pushdown::outcomeName(t.outcome), outcome);
        QString refusal;
        const auto fetched = db.fetch(t, refusal);
        QVERIFY2(fetched, qPrintable(refusal));
        bool engineRowFlagged = false, sqlRowFlagged = false;
        for (const FetchedRow &f : *fetched)
            (f.row == 0 ? engineRowFlagged : sqlRowFlagged) = f.flagged;
        QVERIFY2(engineRowFlagged, qPrintable(t.explanation()));
        if (t.outcome == nvtarnix::pushdown::Outcome::Complete)
            QVERIFY2(!sqlRowFlagged, qPrintable(t.explanation()));
        else
            QVERIFY2(fetched->size() == 1, "Partial: the SQL still leaves out the row that cannot be True");

        vbscript::RuleSettings settings;
        settings.locale = vbscript::ScriptLocale(QLocale::system());
        const auto m = compareRule(db, table, rule, db.engineRows(), settings);
        QVERIFY2(!m, m ? qPrintable(m->what) : "");
    }

    // What a rule that does not translate says, and where.
    void notesNameThePart()
    {
        const auto compiled =
            vbscript::CompiledExpression::compile(QStringLiteral("[n1] > 1 And _\n Oct([n1]) = \"12\""));
        const auto t = nvtarnix::pushdown::translateRule(
            *compiled, nvtarnix::pushdown::SqlDialect::SQLite,
            {{QStringLiteral("N1"), QStringLiteral("n1"), nvtarnix::pushdown::Binding::SqliteStrictInteger}});
        QCOMPARE(t.outcome, nvtarnix::pushdown::Outcome::Fail);
        QVERIFY(!t.notes.isEmpty());
        QCOMPARE(t.notes.first().line, 2);
        QCOMPARE(t.notes.first().column, 2);
        QCOMPARE(t.notes.first().part, QStringLiteral("Oct([n1])"));
        // A literal is never part of the SQL's text.
        const auto literal = vbscript::CompiledExpression::compile(QStringLiteral("[t1] = \"x' OR 1=1 --\""));
        const auto u = nvtarnix::pushdown::translateRule(
            *literal, nvtarnix::pushdown::SqlDialect::SQLite,
            {{QStringLiteral("t1"), QStringLiteral("t1"), nvtarnix::pushdown::Binding::SqliteStrictText}});
        QCOMPARE(u.outcome, nvtarnix::pushdown::Outcome::Complete);
        QVERIFY(!u.where.contains(QLatin1String("OR 1=1")));
        QCOMPARE(u.parameters.first().value.toString(), QStringLiteral("x' OR 1=1 --"));
    }

    // A host may translate a rule it compiled for the purpose and drop it:
    // the texts bound as parameters stay, though the rule's literals are gone.
    void parametersOutliveTheRule()
    {
        nvtarnix::pushdown::Translation t;
        {
            const auto compiled = vbscript::CompiledExpression::compile(QStringLiteral("[t1] = \"GR\" Or [t1] = \"CY\""));
            t = nvtarnix::pushdown::translateRule(
                *compiled, nvtarnix::pushdown::SqlDialect::SQLite,
                {{QStringLiteral("t1"), QStringLiteral("t1"), nvtarnix::pushdown::Binding::SqliteStrictText}});
        }
        // What the rule held is handed out again.
        QStringList reused;
        for (int size = 1; size <= 64; ++size) {
            for (int i = 0; i < 16; ++i)
                reused.append(QString(size, QLatin1Char('z')));
        }
        QCOMPARE(t.parameters.size(), 2);
        QCOMPARE(t.parameters.at(0).value.toString(), QStringLiteral("GR"));
        QCOMPARE(t.parameters.at(1).value.toString(), QStringLiteral("CY"));
    }
};

NVTARNIX_TEST_CLASS(tst_Decisions)
#include "tst_decisions.moc"
