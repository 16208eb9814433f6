#pragma once

#include "vbscript/Ast.h"
#include "vbscript/Builtins.h"
#include "vbscript/DictionaryCycles.h"
#include "vbscript/ErrObject.h"
#include "vbscript/ObjectModel.h"
#include "vbscript/RunClock.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/StackGuard.h"

#include <QVarLengthArray>
#include <atomic>
#include <limits>
#include <deque>
#include <unordered_map>

namespace vbscript {

// One running procedure (or the top level of a piece of code): its local
// vars, implicit variables, With objects and On Error state.
struct Frame
{
    const Procedure *proc = nullptr;
    const CodeUnit *unit = nullptr;
    ScriptObject *me = nullptr;
    std::shared_ptr<Object> meRef;
    QVarLengthArray<Variant, 8> storage;
    QVarLengthArray<Variant *, 8> vars;  // into storage, or a caller's variable (ByRef)
    std::unique_ptr<std::unordered_map<QString, Variant>> implicit;
    std::vector<Variant> withStack;
    bool resumeNext = false;
    bool isGlobal = false;  // top-level code: new names become globals

    Variant *implicitVariable(const QString &key, bool create);
};

// Keeps an array variable from being resized or erased while it lives: the
// variable, not the array, since a copy of it (b = a) stays free.
class ArrayLock
{
public:
    explicit ArrayLock(const Variant *variable);
    ArrayLock(ArrayLock &&o) noexcept : m_variable(o.m_variable) { o.m_variable = nullptr; }
    ArrayLock(const ArrayLock &) = delete;
    ArrayLock &operator=(const ArrayLock &) = delete;
    ArrayLock &operator=(ArrayLock &&) = delete;
    ~ArrayLock();
    static bool isLocked(const Variant *variable);

private:
    const Variant *m_variable;
};

// Arguments of a call: values, and for plain variables their storage so that
// ByRef parameters can write back.
struct ArgPack
{
    QVarLengthArray<Variant, 8> values;
    QVarLengthArray<Variant *, 8> refs;
    // Array elements passed by reference travel in `values` and are stored
    // back into their array when the call returns: a pointer into the array
    // itself would not survive the callee resizing or sharing it.
    struct Element
    {
        qsizetype arg;
        Variant *array;
        std::vector<Variant> indices;
        ArrayLock lock;  // no ReDim or Erase while an element is out
    };
    std::vector<Element> elements;
};

// The engine's state: global names, compiled code, the Err object, settings;
// and the interpreter that runs compiled code against it: frames, calls,
// arguments by reference, the time limit. The objects scripts create live in
// ObjectModel.h.
class Runtime : public ExecContext, public std::enable_shared_from_this<Runtime>
{
public:
    explicit Runtime(const BuiltinRegistry &builtins = BuiltinRegistry::standard());
    ~Runtime() override;

    // ---- what the ScriptControl drives
    Variant evaluate(const QString &expression);
    // Evaluates a compiled expression in `f`, under the time limit, with the
    // expression's position on an error that has none yet.
    Variant evaluateIn(const CodeUnit &unit, Frame &f);
    void executeCode(const QString &code);  // AddCode / ExecuteStatement
    void addObject(const QString &name, const std::shared_ptr<Object> &object);
    void setTimeout(int ms) { m_timeoutMs = ms; }
    void setAllowUI(bool on) { m_allowUI = on; }
    void setUseSafeSubset(bool on) { m_safeSubset = on; }
    void setUiCallback(UiCallback cb) { m_ui = std::move(cb); }
    // Starts the time limit for one host call; nested calls keep the outer one.
    class RunScope
    {
    public:
        explicit RunScope(Runtime &rt);
        ~RunScope();
    private:
        Runtime &m_rt;
        bool m_outer;
    };

    // Makes `f` the running frame, and `unit` (when given) the code it runs,
    // for as long as it lives; both come back on every way out, errors
    // included.
    class FrameScope
    {
    public:
        FrameScope(Runtime &rt, Frame &f, const CodeUnit *unit = nullptr);
        ~FrameScope();
        FrameScope(const FrameScope &) = delete;
        FrameScope &operator=(const FrameScope &) = delete;

    private:
        Runtime &m_rt;
        Frame &m_frame;
        Frame *m_savedFrame;
        const CodeUnit *m_savedUnit;
    };

    // ---- what compiled host rules need (CompiledExpression)
    // Whether `ref` names one of the engine's own names: Err, a built-in
    // function or a constant. Fills the ref's caches, so that a tree whose
    // names were all asked here before it is shared is never written to by
    // the runs that read it.
    bool isEngineName(NameRef &ref);
    // Whether this engine is as it was created: no code loaded, no names
    // added, not running. Such engines are interchangeable.
    bool isPristine() const;
    // Whether a run is going on in this engine (on this thread: an engine
    // runs on one thread at a time).
    bool isRunning() const { return m_running; }
    // Makes a pristine engine ready for one more rule: Err cleared, Rnd's
    // seed as at start, the rule's locale and time limit, no UI.
    // `cancel`, when given, stops the run as the time limit does once it is
    // set (from any thread): a newer request has made the run's result moot.
    // `memoryBudget`: what the rule's run may build, in bytes (Limits).
    // `fixedNow`: the date serial Now, Date and Time read; NaN: the clock.
    void prepareForRule(const ScriptLocale &locale, int timeoutMs, qint64 memoryBudget,
                        const std::atomic_bool *cancel = nullptr,
                        double fixedNow = std::numeric_limits<double>::quiet_NaN());
    // Frees the Dictionaries that only refer to each other (DictionaryCycles);
    // a run does it as it ends, a rule once its variables are gone too.
    void releaseDictionaryCycles() noexcept { m_dictionaries.release(); }

    // ---- ExecContext
    bool allowUI() const override { return m_allowUI; }
    const UiCallback &uiCallback() const override { return m_ui; }
    RndState &rnd() override { return m_rnd; }
    ErrObject &err() override { return *m_err; }
    Variant evalString(const QString &code) override;
    void execute(const QString &code, bool global) override;
    Variant getRef(const QString &name) override;
    std::shared_ptr<Object> createObject(const QString &progId) override;
    bool useSafeSubset() const override { return m_safeSubset; }

    // ---- used by the compiled nodes
    struct Binding
    {
        enum Kind { None, Variable, Proc, Builtin, Constant } kind = None;
        Variant *var = nullptr;
        const Procedure *proc = nullptr;
        const BuiltinInfo *builtin = nullptr;
        const Variant *constant = nullptr;
        bool readOnly = false;
    };
    Binding lookup(const NameRef &ref, Frame &f);
    // A global variable already found for `ref`, or null: the fast path of
    // every read and write of a global.
    Variant *cachedGlobal(const NameRef &ref)
    {
        if (ref.globalIndex < 0)
            return nullptr;
        Global &g = m_globals[size_t(ref.globalIndex)];
        return g.proc || g.isConst ? nullptr : &g.value;
    }
    Variant *variableFor(const NameRef &ref, Frame &f, bool create);
    bool optionExplicit(const Frame &f) const { return f.unit && f.unit->optionExplicit; }

    Flow runBlock(const Block &block, Frame &f);
    Variant callProcedure(const Procedure &p, ScriptObject *me, ArgPack &args);
    Variant callBuiltin(const BuiltinInfo &b, const ExprList &args, Frame &f);
    void evalArgs(const ExprList &exprs, Frame &f, ArgPack &pack, bool withRefs);
    // After a call: the arguments' new values into array elements passed by
    // reference and, with `variables`, into variables the callee did not
    // alias directly.
    void storeBack(ArgPack &pack, bool variables);
    // Runs `call`, then stores back; also when the call fails, so that what a
    // callee changed before its error stays changed, as with a direct alias.
    template<typename Call>
    Variant storingBack(ArgPack &pack, bool variables, Call &&call)
    {
        Variant result;
        try {
            result = call();
        } catch (...) {
            try {
                storeBack(pack, variables);
            } catch (...) {
                // the callee's error is the one to report
            }
            throw;
        }
        storeBack(pack, variables);
        return result;
    }

    // Class_Terminate of `object`, which is going away. Inside a run it runs
    // under that run's time limit; after a run (a host dropping the last
    // reference, a Reset) as a run of its own, under the engine's limit; once
    // a run has met its limit, not at all until the next run starts. Its
    // errors go nowhere, since there is no statement to report them against,
    // but a time limit met inside it stops the run at its next step.
    void runTerminate(const Procedure &terminate, ScriptObject *object) noexcept;

    // Members of objects. Script objects take arguments by reference: the
    // changed values are stored back into the caller's variables.
    Variant getMember(const Variant &object, const QString &name, const ExprList &args, Frame &f,
                      const QString &objectName = QString());
    void putMember(const Variant &object, const QString &name, const ExprList &args, Frame &f,
                   const Variant &value, bool isSet);
    // A new instance of the script class named `className` (506 when none is).
    Variant instantiate(const QString &className);
    // Const: `value` under the name `ref` in frame `f`; at the top level a
    // global that no assignment may change.
    void defineConstant(const NameRef &ref, Frame &f, const Variant &value);

    // An array element by its indices, which convert to Long: 9 when out of range.
    Variant indexArray(const Variant &array, std::span<const Variant> indices) const;
    void storeElement(Variant &array, std::span<const Variant> indices, const Variant &value);
    // The array of `variable` for writing. A shared one is copied first, and
    // the copy counts as work: a loop that writes into an array it has just
    // shared (b = a : a(0) = 1) copies the whole array every round.
    SafeArray &writableArray(Variant &variable)
    {
        const bool shared = variable.rawArray().use_count() > 1;
        SafeArray &array = variable.arrayForWrite();
        if (shared)
            spendOnValue(variable);
        return array;
    }
    // What making `value` cost, counted as work: its characters or elements.
    void spendOnValue(const Variant &value)
    {
        if (value.isString())
            spendCopy(value.rawString().size());
        else if (value.isArray())
            spendOnElements(qint64(value.rawArray()->data.size()));
    }
    // Making or letting go of `count` array elements, counted as work: a loop
    // of large ReDims does little else, and must still meet its time limit.
    void spendOnElements(qint64 count) { spend(count * kStep / 4); }
    static Variant letValue(const Variant &v);  // value for Let: an object's default value
    static Variant setValue(const Variant &v);  // value for Set: must be an object

    // 28 "Out of stack space" when the running thread's stack is nearly
    // used up. Every recursive step of a run (an operand, a member, a nested
    // block, a call's arguments) asks, so depth ends in an error at whatever
    // nesting of code, calls and Eval brought it there.
    void checkStack() const
    {
        if (stack::exhausted(m_stackFloor))
            stack::overflow();
    }

    // One step of a run: a statement, a round of a loop, a call.
    void tick() { spend(kStep); }
    // Raises the time limit once it has passed, or the run was cancelled.
    void checkDeadline();
    // Whether this run has met its time limit: from then on no script code
    // runs in it, Class_Terminate included.
    bool pastDeadline() const { return m_pastDeadline; }
    // Raises the time limit when the run met it where the error could not
    // be raised: in a Class_Terminate that the code's last step set off.
    void raiseIfStopped() const
    {
        if (m_pastDeadline) [[unlikely]]
            raise(err::TimeLimitReached);
    }
    void attachPosition(ScriptError &e, const Node &at, const Frame &f) const;
    // Under On Error Resume Next, records `e` in Err against `at` and answers
    // true: the statement carries on at its next step. Otherwise, and for the
    // host's time limit, false: the caller rethrows.
    bool resumeAfter(ScriptError &e, const Node &at, Frame &f);
    // The truth of a statement's condition; a condition that fails under On
    // Error Resume Next counts as `onError`.
    bool condition(const Expr &cond, const Node &at, Frame &f, bool onError);

protected:
    void overdrawn() override;

private:
    struct Global
    {
        QString name;
        Variant value;
        const Procedure *proc = nullptr;
        bool isConst = false;
        bool declaredConst = false;  // by a Const statement, not a host's object
    };
    [[gnu::noinline, gnu::cold]] static void nameBuiltinIn(ScriptError &e, const BuiltinInfo &b);
    int globalIndex(const QString &key) const;
    int declareGlobal(const QString &name);
    void load(const std::shared_ptr<CodeUnit> &unit, Frame *localFrame);
    void runTopLevel(std::shared_ptr<CodeUnit> unit);

    const BuiltinRegistry &m_builtins;
    std::deque<Global> m_globals;
    QHash<QString, int> m_globalIndex;
    // Classes with the code that defines them: an instance keeps its code
    // alive, even past a Reset, so a host holding one never reads freed memory.
    QHash<QString, std::pair<const ClassDef *, std::shared_ptr<const CodeUnit>>> m_classes;
    std::vector<std::shared_ptr<CodeUnit>> m_units;
    std::shared_ptr<ErrObject> m_err;
    std::shared_ptr<bool> m_alive;
    // The class instances this engine made, for its destructor to break
    // their cycles. Dropped ones are swept out whenever the list has doubled,
    // so a script that makes objects by the million keeps it no longer than
    // twice the instances alive.
    std::vector<std::weak_ptr<ScriptObject>> m_instances;
    size_t m_instancesAfterSweep = 0;
    DictionaryCycles m_dictionaries;
    UiCallback m_ui;
    RndState m_rnd;
    bool m_allowUI = true;
    bool m_safeSubset = false;
    int m_timeoutMs = -1;
    const std::atomic_bool *m_cancel = nullptr;
    RunClock m_clock;
    bool m_running = false;
    // The running thread's stack floor (stack::floor()), read when a run
    // starts: an engine may run on another thread next time.
    uintptr_t m_stackFloor = stack::floor();
    bool m_pastDeadline = false;
    Frame *m_current = nullptr;

};

} // namespace vbscript
