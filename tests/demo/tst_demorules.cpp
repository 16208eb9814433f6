// The demo applies its rules: the sample orders, what each rule selects from
// them, and how the window shows counts and matches.
#include "DemoDatabase.h"
#include "DemoHost.h"
#include "DemoTexts.h"
#include "MainWindow.h"
#include "MatchesModel.h"
#include "RuleEvaluation.h"
#include "RulePlace.h"
#include "SampleData.h"
#include "SampleOrders.h"

#include <QAbstractButton>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QSqlError>
#include <QTest>

#include "DatabaseTrouble.h"
#include "DemoTestSupport.h"
#include "TestMain.h"
#include "WindowVisit.h"
#include <QTreeWidget>

using namespace tarnixdemo;
using testsupport::DatabaseTrouble;
using testsupport::WindowVisit;
using Kind = RuleOutcome::Kind;

using demotest::fileBytes;
using demotest::ruleId;

namespace {

// How many orders satisfy `where`, asked of SQLite itself: the counts the
// rules give must agree with it.
int sqlCount(const DemoDatabase &db, const QString &where)
{
    QSqlQuery q(db.database());
    const QString sql = QStringLiteral("SELECT count(*) FROM orders o JOIN customers c"
                                       " ON c.CUST_ID = o.CUST_ID WHERE %1")
                            .arg(where);
    if (!q.exec(sql) || !q.next())
        qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q.value(0).toInt();
}

RuleOutcome evaluateOne(const DemoDatabase &db, const QString &expression,
                        nvtarnix::ExpressionOptions options = {})
{
    RuleEvaluator evaluator(options);
    return evaluator.evaluate(db, {expression}).rules.value(0);
}

// A database as the first demo left it: rules and fields with English texts
// only, no orders.
void makeItAnEarlierDemo(const QString &path)
{
    for (const char *sql : {"DROP TABLE orders", "DROP TABLE customers", "ALTER TABLE fields DROP COLUMN vardescription_el",
                            "ALTER TABLE fields DROP COLUMN groupcaption_el", "ALTER TABLE fields DROP COLUMN helpstring_el",
                            "PRAGMA user_version = 0"})
        QCOMPARE(testsupport::asOtherProgram(path, QString::fromLatin1(sql)).toString().startsWith("error"),
                 false);
}

QTreeWidgetItem *ruleItem(MainWindow &window, int id)
{
    auto *list = window.findChild<QTreeWidget *>(QStringLiteral("lstRules"));
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toInt() == id)
            return list->topLevelItem(i);
    return nullptr;
}

// The logical columns of the rule list.
constexpr int OrdersColumn = 2;
constexpr int RunsInColumn = 3;

using Place = RuleOutcome::Place;

} // namespace

class tst_DemoRules : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_files = 0;
    // A new database for the tests that only read; the others copy it.
    std::unique_ptr<DemoDatabase> m_sample;

    QString newDatabasePath()
    {
        const QString path = m_dir.filePath(QStringLiteral("rules-%1.sqlite").arg(++m_files));
        if (!QFile::copy(m_sample->path(), path))
            qFatal("cannot copy %s", qPrintable(m_sample->path()));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sample = std::make_unique<DemoDatabase>(m_dir.filePath(QStringLiteral("sample.sqlite")));
    }

    void cleanupTestCase() { m_sample.reset(); }

    // The same rows on every machine: a fingerprint of the whole sample,
    // and the shape every order keeps.
    void sampleOrdersAreFixed()
    {
        const QList<SampleCustomer> customers = sampleCustomers();
        const QList<SampleOrder> orders = sampleOrders(customers);
        QCOMPARE(customers.size(), SampleCustomerCount);
        QCOMPARE(orders.size(), SampleOrderCount);
        QVERIFY(orders.size() >= 2000);

        qint64 cents = 0;
        QMap<int, int> byStatus;
        int withNotes = 0;
        for (int i = 0; i < orders.size(); ++i) {
            const SampleOrder &o = orders[i];
            const SampleCustomer &c = customers[o.customer - 1];
            QCOMPARE(c.id, o.customer);
            QVERIFY2(o.date >= c.since && o.date <= sampleToday(), qPrintable(o.date.toString()));
            if (i > 0) {
                QCOMPARE(o.number, orders[i - 1].number + 1);
                QVERIFY(o.date >= orders[i - 1].date);
            }
            cents += o.cents;
            ++byStatus[o.status];
            withNotes += o.notes.isNull() ? 0 : 1;
        }
        QCOMPARE(cents, Q_INT64_C(174510304));
        QCOMPARE(byStatus, (QMap<int, int>{{1, 13}, {2, 72}, {3, 128}, {4, 2021}, {5, 166}}));
        QCOMPARE(withNotes, 355);
        QCOMPARE(customers.first().name, QStringLiteral("Ιωάννα Παπαδάκη"));
        QCOMPARE(customers.last().name, QStringLiteral("Pablo López"));
        QCOMPARE(orders.first().date, QDate(2023, 1, 1));
        QCOMPARE(orders.last().date, sampleToday());
    }

    // What the shipped rules select, counted by the rules and by SQLite.
    void sampleRulesSelectWhatSqlSelects_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("count");
        QTest::newRow("Greek customers") << "Greek customers" << "CUST_COUNTRY = 300" << 1002;
        QTest::newRow("Large open orders")
            << "Large open orders" << "ORD_AMOUNT > 1000 AND ORD_STATUS < 4" << 53;
        QTest::newRow("Late delivery")
            << "Late delivery"
            << "julianday('2025-06-30') - julianday(ORD_DATE) > 30 AND ORD_STATUS < 4" << 146;
        QTest::newRow("Loyal customer")
            << "Loyal customer" << "2025 - CAST(substr(CUST_SINCE, 1, 4) AS INTEGER) >= 5" << 1643;
    }

    void sampleRulesSelectWhatSqlSelects()
    {
        QFETCH(QString, rule);
        QFETCH(QString, where);
        QFETCH(int, count);
        const DemoDatabase &db = *m_sample;
        const RuleOutcome outcome = evaluateOne(db, db.rule(ruleId(db, rule)).expression);
        QCOMPARE(outcome.kind, Kind::Condition);
        QCOMPARE(outcome.failed, 0);
        QCOMPARE(outcome.selected, sqlCount(db, where));
        QCOMPARE(outcome.selected, count);
        QCOMPARE(outcome.shown.size(), count);
    }

    // A rule SQLite runs gives what the engine alone gives: the same kind,
    // counts, first error, and the same orders shown with the same values
    // and errors, in the same order. The stored rules and rules a user may
    // write, each with where it runs on the sample.
    void databaseAgreesWithEngine_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("place");
        const auto stored = [](const char *name) {
            for (const SampleRule &r : sampleRules())
                if (r.name == QLatin1String(name))
                    return r.expression;
            qFatal("no stored rule %s", name);
        };
        // The stored conditions all run in SQL: dates are ISO text the demo
        // hands over as dates, and [TODAY] the day the orders were taken.
        QTest::newRow("Greek customers") << stored("Greek customers") << int(Place::Database);
        QTest::newRow("Large open orders") << stored("Large open orders") << int(Place::Database);
        QTest::newRow("Late delivery") << stored("Late delivery") << int(Place::Database);
        QTest::newRow("Loyal customer") << stored("Loyal customer") << int(Place::Database);
        QTest::newRow("VAT amount, a value") << stored("VAT amount") << int(Place::Engine);
        QTest::newRow("Letter greeting, a text") << stored("Letter greeting") << int(Place::Engine);

        QTest::newRow("Null notes") << "[ORD_NOTES] = \"Fragile\" Or [ORD_NOTES] = \"Εύθραυστο\""
                                    << int(Place::Database);
        QTest::newRow("no notes") << "IsNull([ORD_NOTES]) And [ORD_AMOUNT] < 100" << int(Place::Database);
        QTest::newRow("Not over Or") << "Not ([ORD_STATUS] = 4 Or [ORD_AMOUNT] < 50)" << int(Place::Database);
        // Read as text against the literal: every row holds a number, which
        // the engine compares itself.
        QTest::newRow("number against numeric text") << "[CUST_COUNTRY] = \"300\"" << int(Place::DatabaseRechecked);
        QTest::newRow("text order, Greek and Latin") << "[CUST_NAME] < \"M\"" << int(Place::Database);
        QTest::newRow("length of a city") << "Len([CUST_CITY]) > 6 And [ORD_STATUS] <> 5" << int(Place::Database);
        QTest::newRow("first letter") << "Left([CUST_CITY], 1) = \"Θ\"" << int(Place::Database);
        QTest::newRow("InStr of a Greek letter") << "InStr([CUST_NAME], \"ά\") > 0" << int(Place::Database);
        QTest::newRow("Mid") << "Mid([CUST_NAME], 2, 3) = \"ωάν\"" << int(Place::Database);
        // Amounts with cents are rounded by the engine, not by SQL.
        QTest::newRow("whole euros") << "[ORD_AMOUNT] \\ 100 = 12" << int(Place::DatabaseRechecked);
        QTest::newRow("Round arithmetic") << "Round([ORD_AMOUNT] * 0.24, 2) > 300" << int(Place::Database);
        QTest::newRow("CInt Mod") << "CInt([ORD_AMOUNT]) Mod 7 = 0" << int(Place::DatabaseRechecked);
        QTest::newRow("UCase of Greek names")
            << "UCase([CUST_NAME]) = \"PABLO LÓPEZ\"" << int(Place::DatabaseRechecked);
        QTest::newRow("fails on delivered orders") << "1 / ([ORD_STATUS] - 4) > 0" << int(Place::DatabaseRechecked);
        // A field is never Empty: its NULL is Null.
        QTest::newRow("IsEmpty under Or")
            << "IsEmpty([ORD_NOTES]) Or [ORD_AMOUNT] > 4000" << int(Place::Database);
        QTest::newRow("IsNumeric under And")
            << "IsNumeric([ORD_NOTES]) And [ORD_AMOUNT] > 4000" << int(Place::Engine);
        QTest::newRow("a date window")
            << "[ORD_DATE] >= #2025-06-01# And [ORD_STATUS] < 4" << int(Place::Database);
        QTest::newRow("days before today") << "[ORD_DATE] < [TODAY] - 300" << int(Place::Database);
        QTest::newRow("months and quarters")
            << "DateDiff(\"m\", [CUST_SINCE], [ORD_DATE]) <= 2 Or DateDiff(\"q\", [ORD_DATE], [TODAY]) = 0"
            << int(Place::Database);
        QTest::newRow("a date read as text") << "Left([ORD_DATE], 4) = \"2024\"" << int(Place::Engine);
        QTest::newRow("fails on every order") << "CLng(\"x\" & [ORD_NO]) > 0" << int(Place::Engine);
    }

    void databaseAgreesWithEngine()
    {
        QFETCH(QString, expression);
        QFETCH(int, place);
        const DemoDatabase &db = *m_sample;
        RuleEvaluator pushed, engine;
        engine.setPushDown(false);
        const RuleOutcome a = pushed.evaluate(db, {expression}).rules.value(0);
        const RuleOutcome b = engine.evaluate(db, {expression}).rules.value(0);

        QCOMPARE(a.kind, b.kind);
        QCOMPARE(a.selected, b.selected);
        QCOMPARE(a.failed, b.failed);
        QCOMPARE(a.error.has_value(), b.error.has_value());
        if (a.error)
            QCOMPARE(a.error->number(), b.error->number());
        QCOMPARE(a.shown.size(), b.shown.size());
        for (int i = 0; i < a.shown.size(); ++i) {
            QCOMPARE(a.shown[i].order, b.shown[i].order);
            QCOMPARE(a.shown[i].value, b.shown[i].value);
            QCOMPARE(a.shown[i].error ? a.shown[i].error->number() : 0,
                     b.shown[i].error ? b.shown[i].error->number() : 0);
        }

        QCOMPARE(int(b.place), int(Place::Engine));
        QVERIFY2(
            int(a.place) == place,
            qPrintable(
                QStringLiteral("runs in %1: %2").arg(int(a.place)).arg(placeToolTip(a, nvtarnix::EnglishLanguage))));
        if (a.place == Place::Database) {
            // Complete with nothing left to the engine: it fetched exactly
            // the orders the rule selects.
            QCOMPARE(a.rechecked, 0);
            QCOMPARE(a.fetched, a.selected);
        } else if (a.place == Place::DatabaseRechecked) {
            QVERIFY(a.rechecked > 0);
            QVERIFY(a.fetched >= a.selected + a.failed);
        }
        // What is not wholly the database's says why.
        if (a.place != Place::Database && a.kind == Kind::Condition)
            QVERIFY(!a.placeNotes.isEmpty() || a.rechecked > 0);
    }

    // The count under the wizard's text is the count the demo's list shows
    // after OK: the same orders, bound the same way, whether SQLite or the
    // engine counts.
    void wizardCountsWhatTheListShows_data() { databaseAgreesWithEngine_data(); }

    void wizardCountsWhatTheListShows()
    {
        QFETCH(QString, expression);
        DemoDatabase &db = *m_sample;
        const RuleOutcome outcome = RuleEvaluator().evaluate(db, {expression}).rules.value(0);
        DemoHost host(db);
        const QLocale locale = host.language() == nvtarnix::EnglishLanguage ? QLocale(QLocale::English, QLocale::UnitedStates)
                                                                          : QLocale(QLocale::Greek, QLocale::Greece);
        QString line;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *count = w->findChild<QLabel *>("lblRowCount");
            QVERIFY(count);
            QTRY_VERIFY_WITH_TIMEOUT(!count->text().isEmpty(), 10000);
            line = count->text();
            testsupport::press(w, "cmdCancel");
        });
        QVERIFY(!host.edit(expression));
        const QString total = locale.toString(SampleOrderCount);
        if (outcome.kind == Kind::Value) {
            QVERIFY2(line.contains(locale.toString(SampleOrderCount - outcome.failed)), qPrintable(line));
            return;
        }
        // A rule the demo cannot apply because it fails on every order
        // selects none of them.
        QVERIFY2(line.contains(locale.toString(outcome.selected) + QLatin1Char(' ')) && line.contains(total),
                 qPrintable(line));
        if (outcome.failed > 0)
            QVERIFY2(line.endsWith(QLatin1Char(' ') + locale.toString(outcome.failed)), qPrintable(line));
    }

    // The list says where each rule runs in the window's language, and why
    // as the tooltip.
    void windowShowsWhereRulesRun_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip"); // a part of the tooltip
        QTest::newRow("English, in the database") << nvtarnix::EnglishLanguage << "Large open orders"
                                                  << "the database"
                                                  << "SQLite selects the 53 orders";
        QTest::newRow("Greek, in the database") << nvtarnix::GreekLanguage << "Greek customers"
                                                << "στη βάση δεδομένων"
                                                << "τις 1.002 παραγγελίες";
        QTest::newRow("English, dates in the database") << nvtarnix::EnglishLanguage << "Late delivery"
                                                        << "the database"
                                                        << "SQLite selects the 146 orders";
        QTest::newRow("Greek, dates in the database") << nvtarnix::GreekLanguage << "Loyal customer"
                                                      << "στη βάση δεδομένων"
                                                      << "τις 1.643 παραγγελίες";
        QTest::newRow("English, a value") << nvtarnix::EnglishLanguage << "VAT amount"
                                          << "the engine"
                                          << "Why:";
    }

    void windowShowsWhereRulesRun()
    {
        QFETCH(int, language);
        QFETCH(QString, rule);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        DemoDatabase db(newDatabasePath());
        MainWindow window(db);
        window.setLanguage(language);
        QTreeWidgetItem *item = ruleItem(window, ruleId(db, rule));
        QVERIFY(item);
        QCOMPARE(item->text(RunsInColumn), text);
        QVERIFY2(item->toolTip(RunsInColumn).contains(tip), qPrintable(item->toolTip(RunsInColumn)));
    }

    // Re-checked orders are counted in the language's digits, and a rule
    // that does not run says nothing of where.
    void placeTexts()
    {
        RuleOutcome outcome;
        outcome.kind = Kind::Condition;
        outcome.place = Place::DatabaseRechecked;
        outcome.fetched = 1500;
        outcome.rechecked = 1200;
        QCOMPARE(placeText(outcome, nvtarnix::EnglishLanguage), QStringLiteral("the database, 1,200 re-checked"));
        QCOMPARE(placeText(outcome, nvtarnix::GreekLanguage),
                 QStringLiteral("στη βάση δεδομένων, 1.200 με επανέλεγχο"));
        outcome.placeNotes = {{1, 5, QStringLiteral("UCase([X])"), QStringLiteral("letters beyond ASCII")},
                              {0, 0, QString(), QStringLiteral("no such function: lower")}};
        const QString tip = placeToolTip(outcome, nvtarnix::EnglishLanguage,
                                         [](const QString &part) { return QString(part).replace("X", "Shown"); });
        QCOMPARE(tip.split(QLatin1Char('\n')),
                 QStringList({"SQLite fetches 1,500 orders; the engine decides 1,200 of them itself.",
                              "Why:", QStringLiteral("\u2022 UCase([Shown]) (1:5): letters beyond ASCII"),
                              QStringLiteral("\u2022 no such function: lower")}));
        outcome.kind = Kind::CannotRun;
        QVERIFY(placeText(outcome, nvtarnix::GreekLanguage).isEmpty());
        QVERIFY(placeToolTip(outcome, nvtarnix::GreekLanguage).isEmpty());
    }

    // Every kind of outcome, with SQLite's count where the rule is a condition.
    void outcomes_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("selectedWhere"); // empty: selects nothing
        QTest::addColumn<QString>("failedWhere");   // empty: fails nowhere
        QTest::addColumn<int>("error");             // 0: none

        QTest::newRow("nothing written") << "  " << int(Kind::NoExpression) << "" << "" << 0;
        QTest::newRow("not an expression") << "[ORD_AMOUNT] >" << int(Kind::CannotRun) << "" << "" << 1002;
        QTest::newRow("no such field") << "[ORD_SHIPPED] > [ORD_DATE]" << int(Kind::CannotRun) << "" << "" << 500;
        QTest::newRow("names in any case")
            << "[ord_amount] > 2500 And [Cust_Country] <> 300" << int(Kind::Condition)
            << "ORD_AMOUNT > 2500 AND CUST_COUNTRY <> 300" << "" << 0;
        QTest::newRow("dates are dates")
            << "[ORD_DATE] + 30 < [TODAY] And Month([CUST_SINCE]) = 12" << int(Kind::Condition)
            << "julianday(ORD_DATE) + 30 < julianday('2025-06-30')"
               " AND strftime('%m', CUST_SINCE) = '12'"
            << "" << 0;
        QTest::newRow("Null selects nothing")
            << "[ORD_NOTES] = \"Fragile\" Or [ORD_NOTES] = \"Εύθραυστο\"" << int(Kind::Condition)
            << "ORD_NOTES IN ('Fragile', 'Εύθραυστο')" << "" << 0;
        QTest::newRow("fails on some orders")
            << "1 / ([ORD_STATUS] - 4) > 0" << int(Kind::Condition) << "ORD_STATUS > 4"
            << "ORD_STATUS = 4" << 11;
        QTest::newRow("a value") << "Round([ORD_AMOUNT] * 0.24, 2)" << int(Kind::Value) << ""
                                 << "" << 0;
        QTest::newRow("a value failing on some orders")
            << "[ORD_AMOUNT] / ([ORD_STATUS] - 4)" << int(Kind::Value) << "" << "ORD_STATUS = 4" << 11;
        QTest::newRow("fails on every order")
            << "CLng(\"x\" & [ORD_NO]) > 0" << int(Kind::CannotRun) << "" << "1 = 1" << 13;
    }

    void outcomes()
    {
        QFETCH(QString, expression);
        QFETCH(int, kind);
        QFETCH(QString, selectedWhere);
        QFETCH(QString, failedWhere);
        QFETCH(int, error);
        const DemoDatabase &db = *m_sample;
        const RuleOutcome outcome = evaluateOne(db, expression);

        QCOMPARE(int(outcome.kind), kind);
        QCOMPARE(outcome.error ? outcome.error->number() : 0, error);
        const int selected = selectedWhere.isEmpty() ? 0 : sqlCount(db, selectedWhere);
        const int failed = failedWhere.isEmpty() ? 0 : sqlCount(db, failedWhere);
        QCOMPARE(outcome.selected, selected);
        QCOMPARE(outcome.failed, failed);
        if (kind == int(Kind::Condition)) {
            QVERIFY(selected > 0);
            QCOMPARE(outcome.shown.size(), selected + failed);
        } else if (kind == int(Kind::Value)) {
            QCOMPARE(outcome.shown.size(), SampleOrderCount);
            const auto failing = std::count_if(outcome.shown.cbegin(), outcome.shown.cend(),
                                               [](const OrderResult &r) { return r.error.has_value(); });
            QCOMPARE(int(failing), failed);
        } else {
            QVERIFY(outcome.shown.isEmpty());
        }
        // What is shown is in order of the orders, each shown once.
        for (int i = 1; i < outcome.shown.size(); ++i)
            QVERIFY(outcome.shown[i].order > outcome.shown[i - 1].order);
    }

    // A rule reads typed values, so a Greek locale, with its decimal comma,
    // selects what the C locale does and computes the same amounts.
    void outcomesDoNotDependOnTheLocale()
    {
        const DemoDatabase &db = *m_sample;
        QStringList expressions;
        for (const Rule &rule : db.rules())
            expressions.append(rule.expression);
        nvtarnix::ExpressionOptions greek, c;
        greek.locale = QLocale(QLocale::Greek, QLocale::Greece);
        c.locale = QLocale::c();
        const RuleEvaluation inGreek = RuleEvaluator(greek).evaluate(db, expressions);
        const RuleEvaluation inC = RuleEvaluator(c).evaluate(db, expressions);
        QCOMPARE(inGreek.rules.size(), expressions.size());
        for (int i = 0; i < expressions.size(); ++i) {
            QCOMPARE(inGreek.rules[i].kind, inC.rules[i].kind);
            QCOMPARE(inGreek.rules[i].selected, inC.rules[i].selected);
            QCOMPARE(inGreek.rules[i].shown.size(), inC.rules[i].shown.size());
            for (int k = 0; k < inC.rules[i].shown.size(); ++k)
                QCOMPARE(inGreek.rules[i].shown[k].value, inC.rules[i].shown[k].value);
        }
    }

    // A database of the first demo gets the orders and the fields' Greek
    // texts: in the file when it can be written, in memory for the session
    // when it is read-only or locked, and the counts and captions are the
    // same either way.
    void earlierDatabaseGetsTheOrders_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("writable") << "writable";
        QTest::newRow("read-only") << "read-only";
        QTest::newRow("locked") << "locked";
    }

    void earlierDatabaseGetsTheOrders()
    {
        QFETCH(QString, state);
        const QString path = newDatabasePath();
        makeItAnEarlierDemo(path);
        std::optional<DatabaseTrouble> trouble;
        if (state != QLatin1String("writable")) {
            trouble.emplace(state == QLatin1String("locked") ? DatabaseTrouble::Locked
                                                             : DatabaseTrouble::ReadOnly,
                            path);
            QVERIFY2(trouble->begin(), qPrintable(trouble->error()));
        }
        const QByteArray before = fileBytes(path);

        {
            DemoDatabase db(path, 100);
            QCOMPARE(db.ordersInMemory(), state != QLatin1String("writable"));
            const int id = ruleId(db, QStringLiteral("Greek customers"));
            const RuleOutcome outcome = evaluateOne(db, db.rule(id).expression);
            QCOMPARE(outcome.selected, 1002);
            QCOMPARE(RuleEvaluator().evaluate(db, {}).orders.size(), SampleOrderCount);
            QCOMPARE(db.fields(nvtarnix::GreekLanguage), sampleFields(nvtarnix::GreekLanguage));
            QCOMPARE(db.fields(nvtarnix::EnglishLanguage), sampleFields(nvtarnix::EnglishLanguage));
        }
        if (trouble) {
            QCOMPARE(fileBytes(path), before);
            trouble->end();
        }
        const QString stored = state == QLatin1String("writable") ? "2400" : "error";
        QVERIFY(testsupport::asOtherProgram(path, "SELECT count(*) FROM orders").toString().startsWith(stored));
        QCOMPARE(testsupport::asOtherProgram(path, "PRAGMA user_version").toInt(),
                 state == QLatin1String("writable") ? 3 : 0);
        if (state == QLatin1String("writable"))
            QVERIFY(testsupport::asOtherProgram(path, "SELECT vardescription_el FROM fields WHERE varID = 'CUST_CITY'")
                        .toString()
                        .startsWith(QStringLiteral("Πόλη")));
    }

    // The list shows each rule's count beside it, the table the selected
    // rule's orders, and both follow an edit in the wizard.
    void windowShowsCountsAndMatches()
    {
        const QString path = newDatabasePath();
        DemoDatabase db(path);
        MainWindow window(db);
        const int id = demotest::selectRule(window, db, nvtarnix::EnglishLanguage, QStringLiteral("Large open orders"));
        QVERIFY(id);
        auto *table = window.findChild<QTableView *>(QStringLiteral("tblMatches"));
        auto *caption = window.findChild<QLabel *>(QStringLiteral("lbMatches"));
        QVERIFY(table && caption);

        QCOMPARE(ruleItem(window, id)->text(OrdersColumn), QStringLiteral("53"));
        QCOMPARE(table->model()->rowCount(), 53);
        QCOMPARE(caption->text(), QStringLiteral("Orders selected by \"Large open orders\": 53 of 2,400"));
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            const auto cell = [&](int column) {
                return table->model()->index(row, column).data(MatchesModel::SortRole);
            };
            QVERIFY(cell(MatchesModel::Amount).toDouble() > 1000);
            QVERIFY(cell(MatchesModel::Status).toInt() < 4);
        }

        const WindowVisit wizard = testsupport::whenShown(QStringLiteral("frmEditor"), [](QWidget *editor) {
            editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"))
                ->setPlainText(QStringLiteral("[Order.Amount] > 5000"));
            QTest::mouseClick(editor->findChild<QAbstractButton *>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        QVERIFY(window.editRule(id));
        QVERIFY(wizard.came());
        const int expected = sqlCount(db, QStringLiteral("ORD_AMOUNT > 5000"));
        QCOMPARE(ruleItem(window, id)->text(OrdersColumn), QString::number(expected));
        QCOMPARE(table->model()->rowCount(), expected);
        QCOMPARE(window.selectedRuleId(), id);
    }

    // A rule that cannot run, or fails on some orders, says so with its
    // number beside it and above its matches, in both languages.
    void troubledRulesAreMarked_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("caption");
        QTest::newRow("English, no such field")
            << nvtarnix::EnglishLanguage << "[NOPE] = 1" << "Error 500"
            << "\"VAT amount\" cannot be applied to the orders. Error 500: Variable is undefined: 'NOPE'";
        QTest::newRow("Greek, no such field")
            << nvtarnix::GreekLanguage << "[NOPE] = 1" << "Σφάλμα 500"
            << "Ο κανόνας «VAT amount» δεν μπορεί να εφαρμοστεί στις παραγγελίες. Σφάλμα 500: "
               "Η μεταβλητή δεν έχει δηλωθεί: 'NOPE'";
        QTest::newRow("English, fails on the delivered orders")
            << nvtarnix::EnglishLanguage << "1 / ([ORD_STATUS] - 4) > 0" << "%1, error 11 on %2 orders"
            << "Orders selected by \"VAT amount\": %1 of 2,400";
        QTest::newRow("Greek, a value failing on the delivered orders")
            << nvtarnix::GreekLanguage << "[ORD_AMOUNT] / ([ORD_STATUS] - 4)" << "υπολογίζει τιμή, σφάλμα 11 σε %2 παραγγελίες"
            << "Τι υπολογίζει ο κανόνας «VAT amount» για καθεμία από τις 2.400 παραγγελίες";
        QTest::newRow("English, fails on every order")
            << nvtarnix::EnglishLanguage << "CLng(\"x\" & [ORD_NO]) > 0" << "Error 13"
            << "\"VAT amount\" cannot be applied to the orders. Error 13: Type mismatch: 'CLng'";
    }

    void troubledRulesAreMarked()
    {
        QFETCH(int, language);
        QFETCH(QString, expression);
        QFETCH(QString, count);
        QFETCH(QString, caption);
        DemoDatabase db(newDatabasePath());
        const int id = ruleId(db, QStringLiteral("VAT amount"));
        db.saveRuleExpression(id, expression);
        MainWindow window(db);
        window.setLanguage(language);
        QVERIFY(window.selectRule(id));

        const int cancelled = sqlCount(db, QStringLiteral("ORD_STATUS = 5"));
        const int delivered = sqlCount(db, QStringLiteral("ORD_STATUS = 4"));
        const QLocale locale = demoLocale(language);
        QTreeWidgetItem *item = ruleItem(window, id);
        QCOMPARE(item->text(OrdersColumn),
                 QString(count)
                     .replace(QLatin1String("%1"), locale.toString(cancelled))
                     .replace(QLatin1String("%2"), locale.toString(delivered)));
        QVERIFY(!item->icon(OrdersColumn).isNull());
        QVERIFY(item->toolTip(OrdersColumn).contains(QString::number(window.outcome(id)->error->number())));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("lbMatches"))->text(),
                 caption.contains(QLatin1String("%1")) ? caption.arg(locale.toString(cancelled)) : caption);
        // The failing orders are listed with their error.
        auto *table = window.findChild<QTableView *>(QStringLiteral("tblMatches"));
        if (window.outcome(id)->kind != Kind::CannotRun) {
            QCOMPARE(table->model()->columnCount(), MatchesModel::Result + 1);
            const QString result = table->model()->index(0, MatchesModel::Result).data().toString();
            QVERIFY2(result.startsWith(demoText(DemoText::ErrorMessage, language)
                                           .arg(window.outcome(id)->error->number())
                                           .section(QLatin1Char(':'), 0, 0)),
                     qPrintable(result));
        }
    }

    // What a value rule gives each order, as the result column reads it.
    void resultTexts_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("greek");
        QTest::newRow("Empty") << QVariant() << "" << "";
        QTest::newRow("Null") << QVariant::fromValue(nullptr) << "Null" << "Null";
        QTest::newRow("Boolean") << QVariant(true) << "True" << "Αληθές";
        QTest::newRow("Long") << QVariant(123456) << "123,456" << "123.456";
        QTest::newRow("Double") << QVariant(1234.56) << "1,234.56" << "1.234,56";
        QTest::newRow("Double noise") << QVariant(0.1 + 0.2) << "0.3" << "0,3";
        QTest::newRow("String") << QVariant(QStringLiteral("Dear Anna,")) << "Dear Anna,"
                                << "Dear Anna,";
        QTest::newRow("Date") << QVariant(QDateTime(QDate(2025, 6, 30), QTime(0, 0))) << "30/06/2025"
                              << "30/06/2025";
        QTest::newRow("Date and time") << QVariant(QDateTime(QDate(2025, 6, 30), QTime(17, 5, 9)))
                                       << "30/06/2025 17:05:09" << "30/06/2025 17:05:09";
    }

    void resultTexts()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, english);
        QFETCH(QString, greek);
        const OrderResult result{0, value, std::nullopt};
        QCOMPARE(resultText(result, nvtarnix::EnglishLanguage), english);
        QCOMPARE(resultText(result, nvtarnix::GreekLanguage), greek);
        const OrderResult failed{0, {}, nvtarnix::Error(94, "x", "Invalid use of Null")};
        QCOMPARE(resultText(failed, nvtarnix::EnglishLanguage), QStringLiteral("Error 94: Invalid use of Null"));
    }
};

NVTARNIX_TEST_CLASS(tst_DemoRules)
#include "tst_demorules.moc"
