#include <nvtarnix/Expression.h>

#include <nvtarnix/Error.h>
#include <nvtarnix/PushDown.h>

#include "pushdown/RuleTranslator.h"

#include "expression/HostValues.h"
#include "support/EngineError.h"
#include "vbscript/CatchScriptErrors.h"
#include "vbscript/CompiledExpression.h"
#include "vbscript/ScriptError.h"

#include <QVarLengthArray>

namespace nvtarnix {

namespace {

// Its texts may view the rule's literals or the row's strings (Err.Raise
// passes them on): the host keeps copies.
Error keptError(vbscript::ScriptError e)
{
    e.setSource(expression::ownedText(e.source()));
    e.setDescription(expression::ownedText(e.description()));
    return hostError(e);
}

// Runs `step` so that nothing but nvtarnix::Error leaves the class.
template<typename Step>
auto reportingErrors(Step &&step) -> decltype(step())
{
    return vbscript::catchScriptErrors(step, [](const vbscript::ScriptError &e) -> decltype(step()) {
        throw keptError(e);
    });
}

} // namespace

class Expression::Compiled
{
public:
    std::shared_ptr<const vbscript::CompiledExpression> rule;
    vbscript::RuleSettings settings;

    // Values in the order of the rule's variables.
    using Row = QVarLengthArray<vbscript::Variant, 8>;

    QVariant run(Row &row) const
    {
        return expression::toHostValue(rule->evaluate(std::span<vbscript::Variant>(row.data(), size_t(row.size())),
                                                      settings));
    }
};

Expression::Expression() = default;

Expression Expression::compile(const QString &databaseScript, const ExpressionOptions &options)
{
    auto compiled = std::make_shared<Compiled>();
    reportingErrors([&] {
        compiled->rule = vbscript::CompiledExpression::compile(databaseScript,
                                                               options.timeoutMs < 0 ? -1 : options.timeoutMs);
    });
    compiled->settings.locale = vbscript::ScriptLocale(options.locale);
    compiled->settings.timeoutMs = options.timeoutMs < 0 ? -1 : options.timeoutMs;
    compiled->settings.memoryBudget = options.memoryBudget;
    compiled->settings.now = options.now;
    Expression expression;
    expression.d = std::move(compiled);
    return expression;
}

bool Expression::isNull() const
{
    return !d;
}

QString Expression::text() const
{
    return d ? d->rule->text() : QString();
}

QStringList Expression::variables() const
{
    return d ? d->rule->variables() : QStringList();
}

QVariant Expression::evaluate(const QVariantList &values) const
{
    if (!d)
        throw hostError(vbscript::ScriptError::runtime(vbscript::err::ObjectVariableNotSet));
    return reportingErrors([&] {
        const qsizetype count = std::min(values.size(), qsizetype(d->rule->variables().size()));
        Compiled::Row row(count);
        for (qsizetype i = 0; i < count; ++i)
            row[i] = expression::toEngineValue(values[i]);
        return d->run(row);
    });
}

QVariant Expression::evaluate(const QVariantMap &values) const
{
    if (!d)
        throw hostError(vbscript::ScriptError::runtime(vbscript::err::ObjectVariableNotSet));
    return reportingErrors([&] { return evaluateByName(values); });
}

QVariant Expression::evaluateByName(const QVariantMap &values) const
{
    const QStringList &names = d->rule->variables();
    Compiled::Row row(names.size());
    QVarLengthArray<bool, 8> spelledAlike(names.size(), false);
    // Names compare without regard to case; where the map holds a name in
    // several spellings, the one spelled as in the expression wins.
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const int i = d->rule->indexOf(it.key());
        if (i < 0 || spelledAlike[i])
            continue;
        row[i] = expression::toEngineValue(it.value());
        spelledAlike[i] = it.key() == names[i];
    }
    return d->run(row);
}

struct ExpressionInternals
{
    static const vbscript::CompiledExpression *rule(const Expression &e) { return e.d ? e.d->rule.get() : nullptr; }
    static QDateTime now(const Expression &e) { return e.d ? e.d->settings.now : QDateTime(); }
};

pushdown::Translation pushdown::translate(const Expression &rule, SqlDialect dialect,
                                          const QList<ColumnBinding> &columns)
{
    const vbscript::CompiledExpression *compiled = ExpressionInternals::rule(rule);
    if (!compiled) {
        Translation t;
        t.where = t.flagged = QStringLiteral("TRUE");
        t.notes.append(Note{1, 1, QString(), QStringLiteral("the expression is null")});
        return t;
    }
    return translateRule(*compiled, dialect, columns, ExpressionInternals::now(rule));
}

} // namespace nvtarnix
