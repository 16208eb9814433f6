#include "RuleEvaluation.h"

#include "DemoDatabase.h"
#include "RulePushDown.h"
#include "SampleOrders.h"

#include <QSet>
#include <QSqlQuery>
#include <QSqlRecord>

namespace tarnixdemo {

namespace {

// The variable a rule reads for the day the orders were taken.
const QString Today = QStringLiteral("TODAY");

constexpr int DateType = 4; // vartype of a date field

bool isCondition(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::Bool
           || value.typeId() == QMetaType::Nullptr;
}

bool isTrue(const QVariant &value)
{
    return value.typeId() == QMetaType::Bool && value.toBool();
}

// A rule ready for the pass: where each of its variables is in a row.
struct Plan
{
    int rule = 0;
    nvtarnix::Expression expression;
    QList<int> places; // of each variable, in order of the variables
    QList<OrderResult> results;
    bool condition = true;
    bool stopped = false;
    std::optional<PushedRule> pushed; // set while the database runs it
};

} // namespace

RuleEvaluator::RuleEvaluator(nvtarnix::ExpressionOptions options) : m_options(std::move(options)) {}

const RuleEvaluator::Compiled &RuleEvaluator::compiled(const QString &expression)
{
    auto it = m_compiled.find(expression);
    if (it == m_compiled.end()) {
        try {
            it = m_compiled.insert(expression, nvtarnix::Expression::compile(expression, m_options));
        } catch (const nvtarnix::Error &e) {
            it = m_compiled.insert(expression, e);
        }
    }
    return *it;
}

RuleEvaluation RuleEvaluator::evaluate(const DemoDatabase &database, const QStringList &expressions)
{
    QSet<QString> dateFields{Today};
    for (const DemoField &field : database.fields())
        if (field.vartype.toInt() == DateType)
            dateFields.insert(field.varID.toUpper());

    QSqlQuery orders = database.orders();
    const QSqlRecord record = orders.record();
    const int columns = record.count();
    QHash<QString, int> columnOf;
    QStringList columnNames;
    QList<bool> isDate(columns);
    for (int c = 0; c < columns; ++c) {
        columnNames.append(record.fieldName(c));
        const QString name = record.fieldName(c).toUpper();
        columnOf.insert(name, c);
        isDate[c] = dateFields.contains(name);
    }
    // A row holds the columns and, after them, the day the orders were taken.
    const int todaySlot = columnOf.value(Today, columns);

    RuleEvaluation evaluation;
    evaluation.rules.resize(expressions.size());
    QList<Plan> plans;
    for (int i = 0; i < expressions.size(); ++i) {
        RuleOutcome &outcome = evaluation.rules[i];
        if (expressions[i].trimmed().isEmpty())
            continue;
        const Compiled &c = compiled(expressions[i]);
        if (const auto *error = std::get_if<nvtarnix::Error>(&c)) {
            outcome.kind = RuleOutcome::Kind::CannotRun;
            outcome.error = *error;
            continue;
        }
        Plan plan{i, std::get<nvtarnix::Expression>(c), {}, {}, true, false, {}};
        for (const QString &name : plan.expression.variables()) {
            const int slot = columnOf.value(name.toUpper(),
                                            name.compare(Today, Qt::CaseInsensitive) == 0 ? todaySlot : -1);
            if (slot < 0) {
                outcome.kind = RuleOutcome::Kind::CannotRun;
                // VBScript's own text, so that descriptionIn() gives it in
                // the user's language.
                outcome.error = nvtarnix::Error(UnknownField, QString::fromLatin1(DemoErrorSource),
                                                QStringLiteral("Variable is undefined: '%1'").arg(name));
                break;
            }
            plan.places.append(slot);
        }
        if (outcome.error)
            continue;
        if (m_pushDown) {
            plan.pushed = pushDown(plan.expression, columnNames, dateFields, {{Today, sampleToday()}});
            outcome.placeNotes = plan.pushed->translation.notes;
            if (!plan.pushed->inDatabase())
                plan.pushed.reset();
        }
        plans.append(std::move(plan));
    }

    const auto column = [&](const char *name) { return columnOf.value(QString::fromLatin1(name), -1); };
    const int numberColumn = column("ORD_NO"), customerColumn = column("CUST_NAME"),
              countryColumn = column("CUST_COUNTRY"), amountColumn = column("ORD_AMOUNT"),
              statusColumn = column("ORD_STATUS"), dateColumn = column("ORD_DATE");

    // Every order's values as the engine takes them: the rules the database
    // runs are re-checked on these very values.
    QList<QVariantList> rows;
    QHash<qint64, int> orderOf;
    QVariantList arguments;
    const auto runEngine = [&](Plan &plan, int order) {
        if (plan.stopped)
            return;
        const QVariantList &row = rows[order];
        arguments.resize(plan.places.size());
        for (int k = 0; k < plan.places.size(); ++k)
            arguments[k] = row[plan.places[k]];
        RuleOutcome &outcome = evaluation.rules[plan.rule];
        try {
            QVariant value = plan.expression.evaluate(arguments);
            plan.condition = plan.condition && isCondition(value);
            if (isTrue(value))
                ++outcome.selected;
            plan.results.append({order, std::move(value), std::nullopt});
        } catch (const nvtarnix::Error &e) {
            ++outcome.failed;
            if (!outcome.error)
                outcome.error = e;
            plan.results.append({order, QVariant(), e});
            // A rule that runs past its time limit once is not run on the
            // remaining orders: it would take as long on each.
            if (e.number() == nvtarnix::errors::TimeLimitReached) {
                plan.stopped = true;
                outcome.error = e;
            }
        }
    };

    QVariantList row(columns + 1);
    row[columns] = sampleToday();
    while (orders.next()) {
        for (int c = 0; c < columns; ++c) {
            QVariant value = orders.value(c);
            if (isDate[c] && !value.isNull()) {
                // The column holds ISO texts; a text that is no date goes in as
                // it is and meets VBScript's own conversion.
                const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
                if (date.isValid())
                    value = date;
            }
            row[c] = value;
        }
        const auto cell = [&row](int c) { return c < 0 ? QVariant() : row[c]; };
        const int order = int(evaluation.orders.size());
        evaluation.orders.append({cell(numberColumn).toLongLong(), cell(customerColumn).toString(),
                                  cell(countryColumn).toInt(), cell(amountColumn).toDouble(),
                                  cell(statusColumn).toInt(), cell(dateColumn).toDate()});
        rows.append(row);
        orderOf.insert(evaluation.orders.back().number, order);

        for (Plan &plan : plans)
            if (!plan.pushed)
                runEngine(plan, order);
    }

    for (Plan &plan : plans) {
        if (!plan.pushed)
            continue;
        RuleOutcome &outcome = evaluation.rules[plan.rule];
        QString refusal;
        const auto fetched = fetchOrders(database.database(), DemoDatabase::ordersSql(), *plan.pushed, &refusal);
        if (!fetched) {
            // What SQLite refuses, the engine still answers.
            outcome.placeNotes.append({0, 0, QString(), refusal});
            for (int order = 0; order < rows.size(); ++order)
                runEngine(plan, order);
            continue;
        }
        const bool complete = plan.pushed->translation.outcome == nvtarnix::pushdown::Outcome::Complete;
        outcome.fetched = int(fetched->size());
        for (const FetchedOrder &f : *fetched) {
            const int order = orderOf.value(f.number, -1);
            if (order < 0)
                continue; // an order added since the pass; the next run shows it
            if (f.flagged || !complete) {
                ++outcome.rechecked;
                runEngine(plan, order);
            } else {
                ++outcome.selected;
                plan.results.append({order, QVariant(true), std::nullopt});
            }
        }
        outcome.place
            = complete && outcome.rechecked == 0 ? RuleOutcome::Place::Database : RuleOutcome::Place::DatabaseRechecked;
    }

    // Keep compiled only what may be asked for again.
    const QSet<QString> current(expressions.begin(), expressions.end());
    m_compiled.removeIf([&current](const auto &entry) { return !current.contains(entry.key()); });

    for (Plan &plan : plans) {
        RuleOutcome &outcome = evaluation.rules[plan.rule];
        // A rule that stopped, or failed on every order, cannot be applied:
        // its error says more than a list of the same error on each order.
        if (plan.stopped || (outcome.failed > 0 && outcome.failed == evaluation.orders.size())) {
            outcome.kind = RuleOutcome::Kind::CannotRun;
            continue;
        }
        outcome.kind = plan.condition ? RuleOutcome::Kind::Condition : RuleOutcome::Kind::Value;
        if (outcome.kind == RuleOutcome::Kind::Value) {
            outcome.shown = std::move(plan.results);
            continue;
        }
        for (OrderResult &result : plan.results)
            if (result.error || isTrue(result.value))
                outcome.shown.append(std::move(result));
    }
    return evaluation;
}

} // namespace tarnixdemo
