#include "vbscript/ScriptControl.h"

#include "vbscript/Runtime.h"

namespace vbscript {

ScriptControl::ScriptControl() = default;
ScriptControl::~ScriptControl() = default;

void ScriptControl::setLanguage(const QString &language)
{
    if (language.compare(QLatin1String("VBScript"), Qt::CaseInsensitive) != 0) {
        ScriptError e(380, QStringLiteral("Invalid property value: the language '%1' is not supported").arg(language),
                      QStringLiteral("ScriptControl"));
        m_error.set(e);
        throw e;
    }
    m_language = QStringLiteral("VBScript");
}

void ScriptControl::reset()
{
    m_runtime.reset();
}

void ScriptControl::setAllowUI(bool allow)
{
    m_allowUI = allow;
    apply();
}

void ScriptControl::setUseSafeSubset(bool on)
{
    m_safeSubset = on;
    apply();
}

void ScriptControl::setTimeout(int milliseconds)
{
    m_timeout = milliseconds < 0 ? -1 : milliseconds;
    apply();
}

void ScriptControl::setLocale(const ScriptLocale &locale)
{
    m_locale = locale;
    apply();
}

void ScriptControl::setLimits(const Limits &limits)
{
    m_limits = limits;
    apply();
}

void ScriptControl::setUiCallback(UiCallback callback)
{
    m_ui = std::move(callback);
    apply();
}

void ScriptControl::apply()
{
    if (!m_runtime)
        return;
    m_runtime->setAllowUI(m_allowUI);
    m_runtime->setUseSafeSubset(m_safeSubset);
    m_runtime->setTimeout(m_timeout);
    m_runtime->setLocale(m_locale);
    m_runtime->setLimits(m_limits);
    m_runtime->setUiCallback(m_ui);
}

const ExecutionSettings &ScriptControl::runSettings()
{
    return runtime().settings();
}

Runtime &ScriptControl::runtime()
{
    if (!m_runtime) {
        m_runtime = std::make_shared<Runtime>();
        apply();
    }
    return *m_runtime;
}

template<typename F>
auto ScriptControl::guarded(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const ScriptError &e) {
        m_error.set(e);
        throw;
    } catch (const std::bad_alloc &) {
        const ScriptError e = ScriptError::runtime(err::OutOfMemory);
        m_error.set(e);
        throw e;
    } catch (const std::exception &) {
        // Nothing but numbered errors reaches the host.
        const ScriptError e = ScriptError::runtime(err::InternalError);
        m_error.set(e);
        throw e;
    }
}

// Each run holds its own reference to the engine, so a Reset from inside the
// run (a host's MsgBox callback, say) drops the engine only when it returns.
Variant ScriptControl::eval(const QString &expression)
{
    return guarded([&] {
        runtime();
        const std::shared_ptr<Runtime> keep = m_runtime;
        Variant result = keep->evaluate(expression);
        // The host reads the result as a value, as an assignment without Set
        // would: a reference to no object has none to give (91). Inside a
        // script, Eval still hands Nothing over to TypeName or Is.
        if (result.isNothing()) {
            ScriptError e = ScriptError::runtime(err::ObjectVariableNotSet);
            QString firstLine = expression.section(QLatin1Char('\n'), 0, 0);
            if (firstLine.endsWith(QLatin1Char('\r')))
                firstLine.chop(1);
            e.setPosition(1, 0, firstLine);
            throw e;
        }
        Variant::requireConvertibleDepth(result);
        return result;
    });
}

void ScriptControl::executeStatement(const QString &statement)
{
    guarded([&] {
        runtime();
        const std::shared_ptr<Runtime> keep = m_runtime;
        keep->executeCode(statement);
    });
}

void ScriptControl::addCode(const QString &code)
{
    guarded([&] {
        runtime();
        const std::shared_ptr<Runtime> keep = m_runtime;
        keep->executeCode(code);
    });
}

void ScriptControl::addObject(const QString &name, const std::shared_ptr<Object> &object)
{
    runtime().addObject(name, object);
}

} // namespace vbscript
