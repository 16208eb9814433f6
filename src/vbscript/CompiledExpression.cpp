#include "vbscript/CompiledExpression.h"

#include "vbscript/Parser.h"
#include "vbscript/Runtime.h"

namespace vbscript {

namespace {

// The engine a thread's rules run in. A run that leaves it changed (code
// loaded by Execute or ExecuteGlobal) or that is still going on this thread
// (a rule evaluated from inside another) gets a fresh one.
class BorrowedRuntime
{
public:
    BorrowedRuntime()
    {
        std::shared_ptr<Runtime> &kept = threadRuntime();
        if (!kept || !kept->isPristine())
            kept = std::make_shared<Runtime>();
        m_runtime = kept;
    }
    Runtime &operator*() const { return *m_runtime; }
    Runtime *operator->() const { return m_runtime.get(); }

private:
    static std::shared_ptr<Runtime> &threadRuntime()
    {
        thread_local std::shared_ptr<Runtime> runtime;
        return runtime;
    }
    std::shared_ptr<Runtime> m_runtime;  // keeps it alive even if replaced meanwhile
};

} // namespace

std::shared_ptr<const CompiledExpression> CompiledExpression::compile(const QString &text)
{
    std::shared_ptr<CompiledExpression> compiled(new CompiledExpression);
    compiled->m_text = text;
    compiled->m_scope.name = QStringLiteral("rule");
    compiled->m_scope.kind = Procedure::Kind::Function;
    BorrowedRuntime runtime;
    Parser parser(text);
    compiled->m_unit = parser.parseRule(compiled->m_scope,
                                        [&](NameRef &ref) { return runtime->isEngineName(ref); });
    compiled->m_scope.unit = compiled->m_unit.get();
    for (const Procedure::Param &p : compiled->m_scope.params)
        compiled->m_variables.append(p.name);
    return compiled;
}

int CompiledExpression::indexOf(const QString &name) const
{
    return m_scope.locals.value(name.toLower(), -1);
}

Variant CompiledExpression::evaluate(std::span<Variant> values, const RuleSettings &settings) const
{
    BorrowedRuntime runtime;
    runtime->prepareForRule(settings.locale, settings.timeoutMs, settings.cancel);
    Frame f;
    f.proc = &m_scope;
    f.unit = m_unit.get();
    const qsizetype count = m_scope.localCount;
    f.storage.resize(count);
    f.vars.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        f.vars[i] = size_t(i) < values.size() ? &values[size_t(i)] : &f.storage[i];
    return runtime->evaluateIn(*m_unit, f);
}

} // namespace vbscript
