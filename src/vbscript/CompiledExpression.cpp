#include "vbscript/CompiledExpression.h"

#include "vbscript/Deadline.h"
#include "vbscript/OleDate.h"
#include "vbscript/Parser.h"
#include "vbscript/Runtime.h"

#include <limits>
#include <memory>

namespace vbscript {

namespace {

// The engine a thread's rules run in. A run that left it changed (globals,
// classes or code that Execute or ExecuteGlobal made) gives it up when the
// run returns, so what the rule made is freed then and not kept until the
// thread's next rule; a rule evaluated from inside another rule's run on the
// same thread gets one of its own, so that the outer run keeps its engine.
// Borrowing costs no reference count: a row's evaluation is short enough for
// one to show.
class BorrowedRuntime
{
public:
    BorrowedRuntime(const BorrowedRuntime &) = delete;
    BorrowedRuntime &operator=(const BorrowedRuntime &) = delete;
    ~BorrowedRuntime()
    {
        std::unique_ptr<Runtime> &kept = threadRuntime();
        if (!m_own && kept.get() == m_runtime && !kept->isRunning() && !kept->isPristine())
            kept.reset();
    }
    BorrowedRuntime()
    {
        std::unique_ptr<Runtime> &kept = threadRuntime();
        if (kept && kept->isRunning()) {
            m_own = std::make_unique<Runtime>();
            m_runtime = m_own.get();
            return;
        }
        if (!kept || !kept->isPristine())
            kept = std::make_unique<Runtime>();
        m_runtime = kept.get();
    }
    Runtime &operator*() const { return *m_runtime; }
    Runtime *operator->() const { return m_runtime; }

private:
    static std::unique_ptr<Runtime> &threadRuntime()
    {
        thread_local std::unique_ptr<Runtime> runtime;
        return runtime;
    }
    std::unique_ptr<Runtime> m_own;  // only for a rule inside another's run
    Runtime *m_runtime = nullptr;
};

} // namespace

std::shared_ptr<const CompiledExpression> CompiledExpression::compile(const QString &text, int timeoutMs)
{
    std::shared_ptr<CompiledExpression> compiled(new CompiledExpression);
    compiled->m_text = text;
    compiled->m_scope.name = QStringLiteral("rule");
    compiled->m_scope.kind = Procedure::Kind::Function;
    BorrowedRuntime runtime;
    Deadline deadline(timeoutMs);
    Parser parser(text, nullptr, &deadline);
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
    runtime->prepareForRule(settings.locale, settings.timeoutMs, settings.memoryBudget, settings.cancel,
                            settings.now.isValid() ? OleDate::fromQDateTime(settings.now)
                                                   : std::numeric_limits<double>::quiet_NaN());
    // The frame ends inside the run: the Class_Terminate of an object that
    // the rule's code left in it runs under the rule's time limit.
    Runtime::RunScope run(*runtime);
    // Declared before the frame, so that it runs once the rule's variables,
    // which may hold a Dictionary, are gone too (and still inside the run).
    struct CycleRelease
    {
        Runtime &rt;
        ~CycleRelease() { rt.releaseDictionaryCycles(); }
    } cycles{*runtime};
    Frame f;
    f.proc = &m_scope;
    f.unit = m_unit.get();
    const qsizetype count = m_scope.localCount;
    const qsizetype given = qMin(count, qsizetype(values.size()));
    // Only the variables that `values` does not reach need storage here.
    f.storage.resize(count - given);
    f.vars.resize(count);
    for (qsizetype i = 0; i < count; ++i)
        f.vars[i] = i < given ? &values[size_t(i)] : &f.storage[i - given];
    Variant result = runtime->evaluateIn(*m_unit, f);
    Variant::requireConvertibleDepth(result);
    return result;
}

} // namespace vbscript
