#pragma once

// A host's rule, compiled once and evaluated many times: one expression whose
// free names are its variables.
//
//     auto rule = vbscript::CompiledExpression::compile("[A] > 1000 And Len([C]) > 3");
//     // rule->variables() is {"A", "C"}
//     std::array<vbscript::Variant, 2> row = {2500.0, QString("abcd")};
//     vbscript::Variant v = rule->evaluate(row, settings);
//
// Sharing. The tree is immutable once compile() returns: every name that is
// not a variable (a built-in function or constant, Err) is looked up during
// compile(), and the caches a NameRef keeps (Runtime::lookup) are written
// only when their answer changes, so the lookups that runs make find their
// answer in place and never write to the tree. Everything a run changes (the
// variables' values, Err, Rnd's seed, the clock) and the settings it converts
// under (the locale and the limits, ExecutionSettings) live in the engine the
// run borrows: one per thread, reused while runs leave it as it was created.
// Operators and built-ins take those settings from that engine, not from
// global or thread state. So one compiled expression may be evaluated from
// any number of threads at once, each under its own settings.
//
// Nor does a run write to data the tree shares with other runs: its string
// literals are views of characters the tree keeps (no reference count to
// bump, which two threads would bounce between their cores on every read),
// and the engine is borrowed, not counted. The price is in the results: a
// String in the result or in an error may view the tree's characters, or
// those of a string among the `values`, so whoever keeps it past the tree
// or the values copies it (QString(s.constData(), s.size())).

#include "vbscript/Ast.h"
#include "vbscript/ExecutionSettings.h"
#include "vbscript/ScriptLocale.h"

#include <QDateTime>
#include <QStringList>
#include <atomic>
#include <memory>
#include <span>

namespace vbscript {

class BuiltinRegistry;

// How one evaluation runs.
struct RuleSettings
{
    ScriptLocale locale;  // text, numbers and dates convert through it
    int timeoutMs = -1;   // -1: no limit
    // Set from any thread, it stops the run with the time-limit error: a
    // preview whose text has changed since need not finish.
    const std::atomic_bool *cancel = nullptr;
    // What the run may build, in bytes, before it stops with 7 "Out of memory".
    qint64 memoryBudget = Limits().memoryBudget;
    // The instant Now, Date and Time read during the run, to the second;
    // invalid: the clock at each call.
    QDateTime now = {};
};

class CompiledExpression
{
public:
    // Throws the compile error (1002, 1023, 1025, ...) with its position;
    // the time-limit error when reading it takes longer than `timeoutMs`
    // (-1: no limit).
    static std::shared_ptr<const CompiledExpression> compile(const QString &text, int timeoutMs = -1);

    const QString &text() const { return m_text; }
    // The variables, as first written and without brackets, in order of
    // first occurrence; names compare without regard to case.
    const QStringList &variables() const { return m_variables; }
    // The position of `name` in variables(), or -1.
    int indexOf(const QString &name) const;
    // The compiled tree of the expression, for tools that read it (the SQL
    // translation); variable i is the NameExpr whose ref is the local slot i.
    const Expr *tree() const { return m_unit ? m_unit->expression.get() : nullptr; }

    // Evaluates with values[i] bound to variables()[i]; variables past the end
    // of `values` are Empty. The values may be changed by the run (Execute
    // can assign to a variable): pass copies. Throws ScriptError. Strings in
    // the result and the error are valid while this and `values` are (see
    // Sharing above).
    Variant evaluate(std::span<Variant> values, const RuleSettings &settings) const;

private:
    CompiledExpression() = default;

    QString m_text;
    QStringList m_variables;
    Procedure m_scope;  // the variables as locals: Eval inside the rule sees them
    std::unique_ptr<CodeUnit> m_unit;
};

} // namespace vbscript
