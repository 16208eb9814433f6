#include "vbscript/Runtime.h"

#include "vbscript/Parser.h"
#include "vbscript/ScriptError.h"
#include "vbscript/StackGuard.h"
#include "vbscript/library/Dictionary.h"

#include <algorithm>

namespace vbscript {

Variant *Frame::implicitVariable(const QString &key, bool create)
{
    if (!implicit) {
        if (!create)
            return nullptr;
        implicit = std::make_unique<std::unordered_map<QString, Variant>>();
    }
    auto it = implicit->find(key);
    if (it != implicit->end())
        return &it->second;
    if (!create)
        return nullptr;
    return &(*implicit)[key];
}


Runtime::Runtime(const BuiltinRegistry &builtins)
    : m_builtins(builtins), m_err(std::make_shared<ErrObject>(sharedSettings())), m_alive(std::make_shared<bool>(true))
{
    const int i = declareGlobal(QStringLiteral("Err"));
    m_globals[i].value = Variant(std::static_pointer_cast<Object>(m_err));
    m_globals[i].isConst = true;
}

Runtime::~Runtime()
{
    // Objects that outlive the engine no longer run their Class_Terminate.
    *m_alive = false;
    m_alive.reset();
    m_globals.clear();
    // Instances that refer to each other would keep each other alive for
    // ever. Nothing can reach their members now (they raise 91), so their
    // fields are let go, and the cycles with them.
    std::vector<Variant> fields;
    for (const std::weak_ptr<ScriptObject> &weak : m_instances)
        if (const std::shared_ptr<ScriptObject> instance = weak.lock())
            instance->surrenderFields(fields);
    m_instances.clear();
    releaseInTurn(fields);
    m_dictionaries.release();
}

Runtime::RunScope::RunScope(Runtime &rt) : m_rt(rt), m_outer(!rt.m_running)
{
    if (m_outer) {
        rt.m_running = true;
        rt.m_stackFloor = stack::floor();
        rt.m_clock.start();
        rt.m_pastDeadline = false;
        rt.refill();
        rt.settings().memory.start(rt.limits().memoryBudget);
    }
}

Runtime::RunScope::~RunScope()
{
    if (m_outer) {
        m_rt.m_running = false;
        m_rt.releaseDictionaryCycles();
    }
}

Runtime::FrameScope::FrameScope(Runtime &rt, Frame &f, const CodeUnit *unit)
    : m_rt(rt), m_frame(f), m_savedFrame(rt.m_current), m_savedUnit(f.unit)
{
    rt.m_current = &f;
    if (unit)
        f.unit = unit;
}

Runtime::FrameScope::~FrameScope()
{
    m_frame.unit = m_savedUnit;
    m_rt.m_current = m_savedFrame;
}

void Runtime::overdrawn()
{
    refill();
    checkDeadline();
}

void Runtime::checkDeadline()
{
    const bool cancelled = m_cancel && m_cancel->load(std::memory_order_relaxed);
    if (m_pastDeadline || cancelled || (m_timeoutMs >= 0 && m_running && m_clock.elapsedMs() > m_timeoutMs)) {
        // Every later check of this run fails at once: code that catches the
        // error (a Class_Terminate, whose errors go nowhere) cannot outlive it.
        m_pastDeadline = true;
        drain();
        raise(err::TimeLimitReached);
    }
}

void Runtime::attachPosition(ScriptError &e, const Node &at, const Frame &f) const
{
    if (e.hasPosition())
        return;
    const QString text = f.unit ? f.unit->lines.value(at.line - 1) : QString();
    e.setPosition(at.line, at.column, text);
}

bool Runtime::resumeAfter(ScriptError &e, const Node &at, Frame &f)
{
    // A time limit is the host's decision, not the script's error.
    if (!f.resumeNext || e.number() == err::TimeLimitReached)
        return false;
    attachPosition(e, at, f);
    m_err->set(e);
    return true;
}

bool Runtime::condition(const Expr &cond, const Node &at, Frame &f, bool onError)
{
    try {
        return ops::truth(settings(), cond.eval(*this, f));
    } catch (ScriptError &e) {
        if (resumeAfter(e, at, f))
            return onError;
        attachPosition(e, at, f);
        throw;
    }
}

// ---- globals

int Runtime::globalIndex(const QString &key) const
{
    return m_globalIndex.value(key, -1);
}

int Runtime::declareGlobal(const QString &name)
{
    const QString key = name.toLower();
    int i = globalIndex(key);
    if (i >= 0)
        return i;
    m_globals.push_back(Global{name, Variant(), nullptr, false, false});
    i = int(m_globals.size()) - 1;
    m_globalIndex.insert(key, i);
    return i;
}

void Runtime::addObject(const QString &name, const std::shared_ptr<Object> &object)
{
    const int i = declareGlobal(name);
    m_globals[i].value = Variant(object);
    m_globals[i].isConst = true;
    m_globals[i].proc = nullptr;
}

Runtime::Binding Runtime::lookup(const NameRef &ref, Frame &f)
{
    Binding b;
    int gi = ref.globalIndex;
    if (gi < 0 && !ref.builtin && !ref.constant) {
        gi = globalIndex(ref.key);
        if (gi >= 0)
            ref.globalIndex = gi;
    }
    if (gi >= 0) {
        Global &g = m_globals[gi];
        if (g.proc) {
            b.kind = Binding::Proc;
            b.proc = g.proc;
        } else {
            b.kind = Binding::Variable;
            b.var = &g.value;
            b.readOnly = g.isConst;
            // Written only when it changes: shared trees are read by many
            // threads at once.
            if (ref.namesConst != g.declaredConst)
                ref.namesConst = g.declaredConst;
        }
        return b;
    }
    if (Variant *v = f.implicitVariable(ref.key, false)) {
        b.kind = Binding::Variable;
        b.var = v;
        return b;
    }
    if (!ref.builtin && !ref.constant) {
        ref.builtin = m_builtins.find(ref.key);
        if (!ref.builtin)
            ref.constant = m_builtins.findConstant(ref.key);
    }
    if (ref.builtin) {
        b.kind = Binding::Builtin;
        b.builtin = ref.builtin;
    } else if (ref.constant) {
        b.kind = Binding::Constant;
        b.constant = ref.constant;
    }
    return b;
}

// The storage a name stands for, created on first assignment unless Option
// Explicit is in force. Null for names that are no variables.
Variant *Runtime::variableFor(const NameRef &ref, Frame &f, bool create)
{
    switch (ref.kind) {
    case NameRef::Kind::Local: return f.vars[ref.slot];
    case NameRef::Kind::Field: return &f.me->fields[size_t(ref.slot)];
    case NameRef::Kind::MeMember: return nullptr;
    case NameRef::Kind::Dynamic: break;
    }
    Binding b = lookup(ref, f);
    if (b.kind == Binding::Variable)
        return b.readOnly ? nullptr : b.var;
    if (b.kind != Binding::None || !create)
        return nullptr;
    if (optionExplicit(f))
        raise(err::VariableUndefined, ref.name);
    if (f.isGlobal) {
        const int i = declareGlobal(ref.name);
        ref.globalIndex = i;
        return &m_globals[i].value;
    }
    return f.implicitVariable(ref.key, true);
}

// ---- loading and running code

void Runtime::load(const std::shared_ptr<CodeUnit> &unit, Frame *localFrame)
{
    for (const auto &cls : unit->classes)
        m_classes.insert(cls->name.toLower(), {cls.get(), unit});
    for (const auto &p : unit->procedures) {
        if (p->owner)
            continue;
        const int i = declareGlobal(p->name);
        m_globals[i].proc = p.get();
        m_globals[i].value = Variant();
    }
    for (const QString &key : unit->globalDims) {
        if (localFrame && !localFrame->isGlobal)
            localFrame->implicitVariable(key, true);
        else
            declareGlobal(key);
    }
    // Procedures and classes must outlive this run; code that defines
    // nothing is dropped once it has run.
    if (unit->definesNames())
        m_units.push_back(unit);
}

void Runtime::runTopLevel(std::shared_ptr<CodeUnit> unit)
{
    load(unit, nullptr);
    Frame f;
    f.unit = unit.get();
    f.isGlobal = true;
    FrameScope running(*this, f);
    runBlock(unit->statements, f);
    raiseIfStopped();
}

Variant Runtime::evaluate(const QString &expression)
{
    RunScope scope(*this);
    Parser parser(expression, nullptr, this);
    std::unique_ptr<CodeUnit> unit = parser.parseExpression();
    Frame f;
    f.unit = unit.get();
    f.isGlobal = true;
    return evaluateIn(*unit, f);
}

Variant Runtime::evaluateIn(const CodeUnit &unit, Frame &f)
{
    RunScope scope(*this);
    FrameScope running(*this, f);
    try {
        Variant value = unit.expression->eval(*this, f);
        raiseIfStopped();
        return value;
    } catch (ScriptError &e) {
        attachPosition(e, *unit.expression, f);
        throw;
    } catch (const std::bad_alloc &) {
        ScriptError e = ScriptError::runtime(err::OutOfMemory);
        attachPosition(e, *unit.expression, f);
        throw e;
    }
}

bool Runtime::isEngineName(NameRef &ref)
{
    Frame none;
    return lookup(ref, none).kind != Binding::None;
}

bool Runtime::isPristine() const
{
    // Err is the one global every engine starts with.
    return m_globals.size() == 1 && m_classes.isEmpty() && m_units.empty() && !m_running && !m_current;
}

void Runtime::prepareForRule(const ScriptLocale &locale, int timeoutMs, qint64 memoryBudget,
                             const std::atomic_bool *cancel, double fixedNow)
{
    setFixedNow(fixedNow);
    if (limits().memoryBudget != memoryBudget) {
        Limits l = limits();
        l.memoryBudget = memoryBudget;
        setLimits(l);
    }
    m_cancel = cancel;
    if (m_err->number() != 0 || !m_err->description().isEmpty() || !m_err->source().isEmpty())
        m_err->clear();
    m_rnd = RndState();
    // Copied only when it differs: the copy touches the locale's shared data,
    // which threads running rules at once would contend for.
    if (this->locale().qlocale() != locale.qlocale())
        setLocale(locale);
    m_timeoutMs = timeoutMs;
    m_allowUI = false;
    m_safeSubset = false;
    if (m_ui)
        m_ui = nullptr;
}

void Runtime::executeCode(const QString &code)
{
    RunScope scope(*this);
    Parser parser(code, nullptr, this);
    runTopLevel(parser.parseProgram());
}

namespace {
// The tokens and tree of code that Eval or Execute reads, charged before it
// is read and given back when the code is dropped again.
class CodeCharge
{
public:
    CodeCharge(MemoryMeter &meter, const QString &code) : m_meter(meter), m_bytes(MemoryMeter::codeBytes(code.size()))
    {
        m_meter.charge(m_bytes);
    }
    ~CodeCharge()
    {
        if (!m_kept)
            m_meter.credit(m_bytes);
    }
    CodeCharge(const CodeCharge &) = delete;
    CodeCharge &operator=(const CodeCharge &) = delete;
    // The code stays: it defines procedures or classes the engine keeps.
    void keep(const CodeUnit &unit) { m_kept = unit.definesNames(); }

private:
    MemoryMeter &m_meter;
    qint64 m_bytes;
    bool m_kept = false;
};
} // namespace

Variant Runtime::evalString(const QString &code)
{
    Frame *f = m_current;
    if (!f)
        return evaluate(code);
    CodeCharge charge(settings().memory, code);
    Parser parser(code, f->proc, this);
    std::unique_ptr<CodeUnit> unit = parser.parseExpression();
    unit->optionExplicit = f->unit && f->unit->optionExplicit;
    FrameScope running(*this, *f, unit.get());
    return unit->expression->eval(*this, *f);
}

void Runtime::execute(const QString &code, bool global)
{
    Frame *f = m_current;
    CodeCharge charge(settings().memory, code);
    if (global || !f || f->isGlobal) {
        Parser parser(code, nullptr, this);
        std::shared_ptr<CodeUnit> unit = parser.parseProgram();
        charge.keep(*unit);
        runTopLevel(std::move(unit));
        return;
    }
    Parser parser(code, f->proc, this);
    std::shared_ptr<CodeUnit> unit = parser.parseProgram();
    charge.keep(*unit);
    load(unit, f);
    FrameScope running(*this, *f, unit.get());
    runBlock(unit->statements, *f);
}

Variant Runtime::getRef(const QString &name)
{
    const int i = globalIndex(name.toLower());
    if (i < 0 || !m_globals[i].proc)
        raise(err::InvalidProcedureCall);
    return Variant(std::make_shared<ProcedureRef>(this, m_globals[i].proc, weak_from_this()));
}

std::shared_ptr<Object> Runtime::createObject(const QString &progId)
{
    const ObjectFactory *factory = m_builtins.findClass(progId.trimmed());
    if (!factory)
        raise(err::CantCreateObject, progId);
    settings().memory.charge(MemoryMeter::objectBytes(0));
    std::shared_ptr<Object> object = (*factory)(*this);
    if (auto dictionary = std::dynamic_pointer_cast<Dictionary>(object))
        m_dictionaries.track(dictionary);
    return object;
}

Flow Runtime::runBlock(const Block &block, Frame &f)
{
    checkStack();
    for (const StmtPtr &s : block) {
        tick();
        if (!f.resumeNext) {
            try {
                const Flow flow = s->exec(*this, f);
                if (flow != Flow::Normal)
                    return flow;
            } catch (ScriptError &e) {
                attachPosition(e, *s, f);
                throw;
            } catch (const std::bad_alloc &) {
                ScriptError e = ScriptError::runtime(err::OutOfMemory);
                attachPosition(e, *s, f);
                throw e;
            }
        } else {
            try {
                const Flow flow = s->exec(*this, f);
                if (flow != Flow::Normal)
                    return flow;
            } catch (ScriptError &e) {
                if (!resumeAfter(e, *s, f))
                    throw;
            } catch (const std::bad_alloc &) {
                // What the allocator refuses is the script's 7, as a size
                // past the budget is.
                ScriptError e = ScriptError::runtime(err::OutOfMemory);
                if (!resumeAfter(e, *s, f))
                    throw e;
            }
        }
    }
    return Flow::Normal;
}

// ---- calls

void Runtime::evalArgs(const ExprList &exprs, Frame &f, ArgPack &pack, bool withRefs)
{
    checkStack();
    pack.values.resize(qsizetype(exprs.size()));
    pack.refs.resize(qsizetype(exprs.size()));
    for (size_t i = 0; i < exprs.size(); ++i) {
        Variant *r = withRefs ? exprs[i]->reference(*this, f) : nullptr;
        pack.refs[qsizetype(i)] = r;
        if (r) {
            pack.values[qsizetype(i)] = *r;
            continue;
        }
        if (withRefs) {
            std::vector<Variant> indices;
            if (Variant *array = exprs[i]->elementReference(*this, f, indices)) {
                pack.values[qsizetype(i)] = indexArray(*array, indices);
                pack.refs[qsizetype(i)] = &pack.values[qsizetype(i)];
                pack.elements.push_back({qsizetype(i), array, std::move(indices), ArrayLock(array)});
                continue;
            }
        }
        pack.values[qsizetype(i)] = exprs[i]->eval(*this, f);
    }
}

namespace {
thread_local std::vector<const Variant *> t_lockedArrays;
} // namespace

ArrayLock::ArrayLock(const Variant *variable) : m_variable(variable)
{
    t_lockedArrays.push_back(variable);
}

ArrayLock::~ArrayLock()
{
    if (!m_variable)
        return;
    auto it = std::find(t_lockedArrays.rbegin(), t_lockedArrays.rend(), m_variable);
    if (it != t_lockedArrays.rend())
        t_lockedArrays.erase(std::next(it).base());
}

bool ArrayLock::isLocked(const Variant *variable)
{
    return std::find(t_lockedArrays.begin(), t_lockedArrays.end(), variable) != t_lockedArrays.end();
}

void Runtime::storeBack(ArgPack &pack, bool variables)
{
    if (variables) {
        for (qsizetype i = 0; i < pack.refs.size(); ++i)
            if (pack.refs[i] && pack.refs[i] != &pack.values[i])
                *pack.refs[i] = pack.values[i];
    }
    for (const ArgPack::Element &e : pack.elements) {
        // The callee may have replaced the array by something else.
        if (e.array->isArray())
            storeElement(*e.array, e.indices, pack.values[e.arg]);
    }
}

Variant Runtime::callProcedure(const Procedure &p, ScriptObject *me, ArgPack &args)
{
    if (size_t(args.values.size()) != p.params.size())
        raise(err::WrongNumberOfArguments, p.name);
    // Within a run, the run's floor; outside one (a host calling a script
    // object's method), the calling thread's own, read afresh.
    if (m_running)
        checkStack();
    else
        stack::check();
    tick();
    Frame f;
    f.proc = &p;
    f.unit = p.unit;
    f.me = me;
    if (me) {
        if (me->weak_from_this().expired())
            f.meRef = std::shared_ptr<Object>(std::shared_ptr<Object>(), me);  // during Class_Terminate
        else
            f.meRef = me->shared_from_this();
    }
    f.storage.resize(p.localCount);
    f.vars.resize(p.localCount);
    for (int i = 0; i < p.localCount; ++i)
        f.vars[i] = &f.storage[i];
    for (size_t i = 0; i < p.params.size(); ++i) {
        Variant *ref = args.refs.size() > qsizetype(i) ? args.refs[qsizetype(i)] : nullptr;
        if (p.params[i].byRef && ref)
            f.vars[qsizetype(i)] = ref;
        else if (ref)
            f.storage[qsizetype(i)] = args.values[qsizetype(i)];  // the caller may store it back
        else
            f.storage[qsizetype(i)] = std::move(args.values[qsizetype(i)]);
    }
    {
        FrameScope running(*this, f);
        runBlock(p.body, f);
    }
    // The locals go with the call; its result lives on.
    MemoryMeter &meter = settings().memory;
    for (qsizetype i = 0; i < f.storage.size(); ++i)
        if (i != p.resultSlot && (f.storage[i].isString() || f.storage[i].isArray()))
            meter.credit(MemoryMeter::ownedBytes(f.storage[i]));
    if (p.resultSlot >= 0)
        return std::move(f.storage[p.resultSlot]);
    return Variant();
}

Variant Runtime::callBuiltin(const BuiltinInfo &b, const ExprList &args, Frame &f)
{
    checkStack();
    // A call is a step: a loop whose condition calls built-ins a hundred
    // times (Now < Now < ...) reads the clock as often as its cost asks.
    tick();
    if (int(args.size()) < b.minArgs || int(args.size()) > b.maxArgs)
        raise(err::WrongNumberOfArguments, QString::fromLatin1(b.name));
    // Each argument's value is made in its place, not made empty and then replaced.
    QVarLengthArray<Variant, 6> values;
    values.reserve(qsizetype(args.size()));
    for (const ExprPtr &arg : args)
        values.push_back(arg->eval(*this, f));
    try {
        if (b.refusesNull) {
            for (qsizetype i = 0; i < values.size(); ++i)
                if ((b.refusesNull >> i & 1u) && values[i].isNull())
                    raise(err::InvalidUseOfNull);
        }
        Variant result = b.fn(*this, std::span<Variant>(values.data(), size_t(values.size())));
        // What a built-in made counts as work done, so that a loop calling
        // it on long texts or arrays meets the time limit in good time, and
        // is the run's now; the arguments made for it alone die here. Code
        // that Eval and Execute ran has counted what it made itself. Numbers
        // and Empty, most results and arguments, own nothing to count.
        // One charge of the difference: the result and the arguments that
        // die with the call exist side by side already.
        qint64 net = 0;
        if (result.isString() || result.isArray()) {
            spendOnValue(result);
            if (!b.runsCode)
                net = MemoryMeter::ownedBytes(result);
        }
        for (const Variant &v : values)
            if (v.isString() || v.isArray())
                net -= MemoryMeter::ownedBytes(v);
        if (net)
            settings().memory.charge(net);
        return result;
    } catch (ScriptError &e) {
        nameBuiltinIn(e, b);
        throw;
    }
}

// Out of line: nested calls (Abs(Abs(...))) recurse through callBuiltin, and
// its frame is what each level of them costs the stack.
void Runtime::nameBuiltinIn(ScriptError &e, const BuiltinInfo &b)
{
    // VBScript names the function a run-time error comes from:
    // "Type mismatch: 'CLng'". Errors of code run by Eval or Execute
    // keep their own text.
    const QString name = QString::fromLatin1(b.name);
    static const QStringList codeRunners = {QStringLiteral("Eval"), QStringLiteral("Execute"),
                                            QStringLiteral("ExecuteGlobal")};
    // The time limit is the host's, not the function's.
    if (e.kind() == ErrorKind::Runtime && !e.hasPosition() && !codeRunners.contains(name)
        && e.number() != err::TimeLimitReached
        && e.source() == ScriptError::runtimeSource() && e.description() == ScriptError::standardText(e.number()))
        e.setDescription(e.description() + QStringLiteral(": '") + name + QLatin1Char('\''));
}

void Runtime::runTerminate(const Procedure &terminate, ScriptObject *object) noexcept
{
    if (m_pastDeadline)
        return;
    try {
        RunScope scope(*this);
        ArgPack none;
        callProcedure(terminate, object, none);
    } catch (...) {
        // Nowhere to report it; a time limit has marked the run past its
        // deadline, and the run's next step raises it again.
    }
}

// ---- values

Variant Runtime::letValue(const Variant &v)
{
    if (v.isObject())
        return v.valueOf();
    if (v.isMissing())
        return Variant();
    return v;
}

Variant Runtime::setValue(const Variant &v)
{
    if (!v.isObject())
        raise(err::ObjectRequired);
    return v;
}

namespace {
QVarLengthArray<qint32, 4> indicesOf(std::span<const Variant> indices, const ScriptLocale &locale)
{
    QVarLengthArray<qint32, 4> out;
    for (const Variant &i : indices) {
        if (i.isMissing())
            raise(err::SubscriptOutOfRange);
        out.append(i.toLong(locale));
    }
    return out;
}
} // namespace

Variant Runtime::indexArray(const Variant &array, std::span<const Variant> indices) const
{
    const SafeArray &a = *array.rawArray();
    const auto idx = indicesOf(indices, locale());
    return a.data[a.offsetOf(std::span<const qint32>(idx.data(), size_t(idx.size())))];
}

void Runtime::storeElement(Variant &array, std::span<const Variant> indices, const Variant &value)
{
    const auto idx = indicesOf(indices, locale());
    const size_t off = array.rawArray()->offsetOf(std::span<const qint32>(idx.data(), size_t(idx.size())));
    Variant &element = writableArray(array).data[off];
    const qint64 freed = MemoryMeter::ownedBytes(element);
    element = value;
    settings().memory.credit(freed);
}

// ---- objects

Variant Runtime::getMember(const Variant &object, const QString &name, const ExprList &args, Frame &f,
                           const QString &objectName)
{
    if (!object.isObject())
        raise(err::ObjectRequired, objectName);
    const std::shared_ptr<Object> &obj = object.rawObject();
    if (!obj)
        raise(err::ObjectVariableNotSet);
    stack::check();
    ArgPack pack;
    const bool byRef = dynamic_cast<ScriptObject *>(obj.get()) != nullptr;
    evalArgs(args, f, pack, byRef);
    auto get = [&] { return obj->get(name, std::span<Variant>(pack.values.data(), size_t(pack.values.size()))); };
    Variant result = byRef ? storingBack(pack, true, get) : get();
    // A member that hands out a collection (a Dictionary's Keys) costs its size.
    spendOnValue(result);
    return result;
}

void Runtime::putMember(const Variant &object, const QString &name, const ExprList &args, Frame &f,
                        const Variant &value, bool isSet)
{
    if (!object.isObject())
        raise(err::ObjectRequired);
    const std::shared_ptr<Object> &obj = object.rawObject();
    if (!obj)
        raise(err::ObjectVariableNotSet);
    ArgPack pack;
    evalArgs(args, f, pack, false);
    obj->put(name, std::span<Variant>(pack.values.data(), size_t(pack.values.size())), value, isSet);
}

Variant Runtime::instantiate(const QString &className)
{
    auto found = m_classes.constFind(className.toLower());
    if (found == m_classes.constEnd())
        raise(err::ClassNotDefined, className);
    Variant instance = ScriptObject::create(*this, *found->first, found->second, m_alive);
    if (m_instances.size() >= 2 * m_instancesAfterSweep + 64) {
        std::erase_if(m_instances, [](const std::weak_ptr<ScriptObject> &weak) { return weak.expired(); });
        m_instancesAfterSweep = m_instances.size();
    }
    m_instances.push_back(std::static_pointer_cast<ScriptObject>(instance.rawObject()));
    return instance;
}

// ---- constants

void Runtime::defineConstant(const NameRef &ref, Frame &f, const Variant &value)
{
    if (ref.kind == NameRef::Kind::Dynamic && f.isGlobal) {
        Global &g = m_globals[size_t(declareGlobal(ref.name))];
        g.value = value;
        g.isConst = true;
        g.declaredConst = true;
        return;
    }
    if (Variant *var = variableFor(ref, f, true))
        *var = value;
}

} // namespace vbscript
