// Evaluation of the compiled tree: what each expression and statement node
// does when it runs.

#include "vbscript/Ast.h"
#include "vbscript/Runtime.h"
#include "vbscript/ScriptError.h"
#include "vbscript/StackGuard.h"

namespace vbscript {

namespace {

std::span<Variant> spanOf(ArgPack &p)
{
    return std::span<Variant>(p.values.data(), size_t(p.values.size()));
}

// The branches of callName that gather arguments live in frames of their
// own: nested calls of built-ins (Abs(Abs(...))) recurse through callName,
// and what its frame holds is what each level costs the stack.
[[gnu::noinline]] Variant callMeMember(Runtime &rt, Frame &f, const NameRef &ref, const ExprList &args,
                                       bool asStatement)
{
    ArgPack pack;
    rt.evalArgs(args, f, pack, true);
    return rt.storingBack(pack, true, [&] {
        return f.me->invoke(ref.name, spanOf(pack), asStatement ? MemberMode::Call : MemberMode::Get, nullptr, true);
    });
}

[[gnu::noinline]] Variant indexVariable(Runtime &rt, Frame &f, const Variant &array, const ExprList &args)
{
    ArgPack pack;
    rt.evalArgs(args, f, pack, false);
    return rt.indexArray(array, spanOf(pack));
}

[[gnu::noinline]] Variant callScriptProcedure(Runtime &rt, Frame &f, const Procedure &proc, const ExprList &args)
{
    ArgPack pack;
    rt.evalArgs(args, f, pack, true);
    return rt.storingBack(pack, false, [&] { return rt.callProcedure(proc, nullptr, pack); });
}

// A call on a name bound to a procedure or a built-in, or an index into a
// variable, as `name(args)` means.
Variant callName(Runtime &rt, Frame &f, const NameRef &ref, const ExprList &args, bool asStatement,
                 bool hasParens)
{
    if (ref.kind == NameRef::Kind::MeMember)
        return callMeMember(rt, f, ref, args, asStatement);
    Variant *var = nullptr;
    Runtime::Binding b;
    if (ref.kind == NameRef::Kind::Local) {
        var = f.vars[ref.slot];
    } else if (ref.kind == NameRef::Kind::Field) {
        var = &f.me->fields[size_t(ref.slot)];
    } else {
        b = rt.lookup(ref, f);
        if (b.kind == Runtime::Binding::Variable)
            var = b.var;
    }
    if (var) {
        if (!hasParens)
            return *var;
        if (var->isArray())
            return indexVariable(rt, f, *var, args);
        if (var->isObject()) {
            const Variant obj = *var;
            return rt.getMember(obj, QString(), args, f);
        }
        if (args.empty())
            return *var;
        raise(err::TypeMismatch, ref.name);
    }
    switch (b.kind) {
    case Runtime::Binding::Proc:
        return callScriptProcedure(rt, f, *b.proc, args);
    case Runtime::Binding::Builtin:
        if (b.builtin->isSub && !asStatement)
            raise(err::TypeMismatch, ref.name);
        return rt.callBuiltin(*b.builtin, args, f);
    case Runtime::Binding::Constant:
        if (!args.empty())
            raise(err::TypeMismatch, ref.name);
        return *b.constant;
    default:
        break;
    }
    // An unknown name read as a variable is Empty (or undefined under
    // Option Explicit); called, it is a type mismatch naming it.
    if (!hasParens && !asStatement) {
        if (rt.optionExplicit(f))
            raise(err::VariableUndefined, ref.name);
        return Variant();
    }
    raise(err::TypeMismatch, ref.name);
}

} // namespace

void Expr::assign(Runtime &, Frame &, Variant, bool) const
{
    raise(err::IllegalAssignment);
}

// ---- names

Variant NameExpr::eval(Runtime &rt, Frame &f) const
{
    switch (ref.kind) {
    case NameRef::Kind::Local: return *f.vars[ref.slot];
    case NameRef::Kind::Field: return f.me->fields[size_t(ref.slot)];
    default: break;
    }
    if (const Variant *g = rt.cachedGlobal(ref))
        return *g;
    return callName(rt, f, ref, {}, false, false);
}

Variant *NameExpr::reference(Runtime &rt, Frame &f) const
{
    return rt.variableFor(ref, f, true);
}

void NameExpr::assign(Runtime &rt, Frame &f, Variant value, bool isSet) const
{
    if (ref.kind == NameRef::Kind::MeMember) {
        f.me->invoke(ref.name, {}, isSet ? MemberMode::Set : MemberMode::Let, &value, true);
        return;
    }
    Variant *var = ref.kind == NameRef::Kind::Dynamic ? rt.cachedGlobal(ref) : nullptr;
    if (!var)
        var = rt.variableFor(ref, f, true);
    if (!var)
        raise(err::IllegalAssignment, ref.name);
    // What the variable held goes, unless something else shares it.
    const qint64 freed = var->isString() || var->isArray() ? MemoryMeter::ownedBytes(*var) : 0;
    if (isSet)
        *var = Runtime::setValue(value);
    else if (value.isObject() || value.isMissing())
        *var = Runtime::letValue(value);
    else
        *var = std::move(value);
    if (freed)
        rt.settings().memory.credit(freed);
}

void NameExpr::call(Runtime &rt, Frame &f) const
{
    callName(rt, f, ref, {}, true, false);
}

Variant NameCallExpr::eval(Runtime &rt, Frame &f) const
{
    return callName(rt, f, ref, args, false, true);
}

Variant *NameCallExpr::elementReference(Runtime &rt, Frame &f, std::vector<Variant> &indices) const
{
    Variant *var = nullptr;
    switch (ref.kind) {
    case NameRef::Kind::Local: var = f.vars[ref.slot]; break;
    case NameRef::Kind::Field: var = &f.me->fields[size_t(ref.slot)]; break;
    case NameRef::Kind::MeMember: return nullptr;
    case NameRef::Kind::Dynamic: {
        const Runtime::Binding b = rt.lookup(ref, f);
        if (b.kind == Runtime::Binding::Variable && !b.readOnly)
            var = b.var;
        break;
    }
    }
    if (!var || !var->isArray())
        return nullptr;
    indices.reserve(args.size());
    for (const ExprPtr &a : args)
        indices.push_back(a->eval(rt, f));
    if (!var->isArray())  // an index expression replaced it
        raise(err::TypeMismatch, ref.name);
    return var;
}

void NameCallExpr::call(Runtime &rt, Frame &f) const
{
    callName(rt, f, ref, args, true, true);
}

void NameCallExpr::assign(Runtime &rt, Frame &f, Variant value, bool isSet) const
{
    if (ref.kind == NameRef::Kind::MeMember) {
        ArgPack pack;
        rt.evalArgs(args, f, pack, false);
        f.me->invoke(ref.name, spanOf(pack), isSet ? MemberMode::Set : MemberMode::Let, &value, true);
        return;
    }
    Variant *var = rt.variableFor(ref, f, false);
    if (!var) {
        if (ref.kind == NameRef::Kind::Dynamic && rt.lookup(ref, f).kind == Runtime::Binding::None
            && rt.optionExplicit(f))
            raise(err::VariableUndefined, ref.name);
        raise(err::TypeMismatch, ref.name);
    }
    if (var->isArray()) {
        ArgPack pack;
        rt.evalArgs(args, f, pack, false);
        rt.storeElement(*var, spanOf(pack), isSet ? Runtime::setValue(value) : Runtime::letValue(value));
        return;
    }
    if (var->isObject()) {
        const Variant obj = *var;
        rt.putMember(obj, QString(), args, f, isSet ? value : Runtime::letValue(value), isSet);
        return;
    }
    raise(err::TypeMismatch, ref.name);
}

// ---- members

Variant WithObjectExpr::eval(Runtime &, Frame &f) const
{
    if (f.withStack.empty())
        raise(err::ObjectRequired);
    return f.withStack.back();
}

namespace {
QString nameOf(const Expr &e)
{
    if (auto *n = e.as<NameExpr>())
        return n->ref.name;
    return QString();
}
} // namespace

Variant MemberExpr::eval(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    const Variant obj = object->eval(rt, f);
    return rt.getMember(obj, member, args, f, nameOf(*object));
}

void MemberExpr::call(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    const Variant obj = object->eval(rt, f);
    if (!obj.isObject())
        raise(err::ObjectRequired, nameOf(*object));
    if (!obj.rawObject())
        raise(err::ObjectVariableNotSet);
    if (auto *so = dynamic_cast<ScriptObject *>(obj.rawObject().get())) {
        ArgPack pack;
        rt.evalArgs(args, f, pack, true);
        rt.storingBack(pack, true, [&] {
            return so->invoke(member, spanOf(pack), MemberMode::Call, nullptr, so == f.me);
        });
        return;
    }
    ArgPack pack;
    rt.evalArgs(args, f, pack, false);
    obj.rawObject()->call(member, spanOf(pack));
}

void MemberExpr::assign(Runtime &rt, Frame &f, Variant value, bool isSet) const
{
    rt.checkStack();
    const Variant obj = object->eval(rt, f);
    if (!obj.isObject())
        raise(err::ObjectRequired, nameOf(*object));
    rt.putMember(obj, member, args, f, isSet ? value : Runtime::letValue(value), isSet);
}

Variant IndexExpr::eval(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    const Variant base = target->eval(rt, f);
    if (base.isArray())
        return indexVariable(rt, f, base, args);
    if (base.isObject())
        return rt.getMember(base, QString(), args, f);
    raise(err::TypeMismatch);
}

void IndexExpr::assign(Runtime &rt, Frame &f, Variant value, bool isSet) const
{
    rt.checkStack();
    const Variant base = target->eval(rt, f);
    if (!base.isObject())
        raise(err::IllegalAssignment);
    rt.putMember(base, QString(), args, f, isSet ? value : Runtime::letValue(value), isSet);
}

Variant MeExpr::eval(Runtime &, Frame &f) const
{
    if (!f.meRef)
        raise(err::InvalidOrUnqualifiedReference);
    return Variant(f.meRef);
}

Variant NewExpr::eval(Runtime &rt, Frame &) const
{
    return rt.instantiate(className);
}

// ---- operators

Variant ParenExpr::eval(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    return inner->eval(rt, f);
}

Variant UnaryExpr::eval(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    Variant v = operand->eval(rt, f);
    switch (op) {
    case UnaryOp::Neg: return ops::negate(rt.settings(), v);
    case UnaryOp::Plus: return v;
    case UnaryOp::Not: return ops::logicalNot(rt.settings(), v);
    }
    return v;
}

BinaryExpr::~BinaryExpr()
{
    ExprPtr rest = std::move(left);
    while (rest && rest->kind == ExprKind::Binary) {
        ExprPtr next = std::move(static_cast<BinaryExpr &>(*rest).left);
        rest = std::move(next);  // frees one link, whose left is gone
    }
}

// Inlined in both ways eval runs a link: a call per operator would cost a
// rule's evaluation more than walking chains saves.
[[gnu::always_inline]] inline Variant BinaryExpr::apply(Runtime &rt, const Variant &a, const Variant &b) const
{
    switch (op) {
    case BinaryOp::Add: return ops::add(rt.settings(), a, b);
    case BinaryOp::Sub: return ops::subtract(rt.settings(), a, b);
    case BinaryOp::Mul: return ops::multiply(rt.settings(), a, b);
    case BinaryOp::Div: return ops::divide(rt.settings(), a, b);
    case BinaryOp::IntDiv: return ops::intDivide(rt.settings(), a, b);
    case BinaryOp::Mod: return ops::modulo(rt.settings(), a, b);
    case BinaryOp::Pow: return ops::power(rt.settings(), a, b);
    case BinaryOp::Concat: {
        // A loop that joins long texts spends its time copying them.
        Variant joined = ops::concat(rt.settings(), a, b);
        if (joined.isString())
            rt.spendCopy(joined.rawString().size());
        // Operands made for this concatenation alone die with it.
        rt.settings().memory.credit(MemoryMeter::ownedBytes(a) + MemoryMeter::ownedBytes(b));
        return joined;
    }
    case BinaryOp::Eq: return ops::compare(rt.settings(), ops::Compare::Eq, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Ne: return ops::compare(rt.settings(), ops::Compare::Ne, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Lt: return ops::compare(rt.settings(), ops::Compare::Lt, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Gt: return ops::compare(rt.settings(), ops::Compare::Gt, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Le: return ops::compare(rt.settings(), ops::Compare::Le, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Ge: return ops::compare(rt.settings(), ops::Compare::Ge, a, b, left->isLiteral(), right->isLiteral());
    case BinaryOp::Is: return Variant(ops::is(a, b));
    case BinaryOp::And: return ops::logicalAnd(rt.settings(), a, b);
    case BinaryOp::Or: return ops::logicalOr(rt.settings(), a, b);
    case BinaryOp::Xor: return ops::logicalXor(rt.settings(), a, b);
    case BinaryOp::Eqv: return ops::logicalEqv(rt.settings(), a, b);
    case BinaryOp::Imp: return ops::logicalImp(rt.settings(), a, b);
    }
    return Variant();
}

Variant BinaryExpr::eval(Runtime &rt, Frame &f) const
{
    rt.checkStack();
    if (!chainStart) {
        const Variant a = left->eval(rt, f);
        const Variant b = right->eval(rt, f);
        return apply(rt, a, b);
    }
    // Left to right, as nested calls would: the innermost link's operands
    // first, then each right operand with the value so far.
    Variant value = chainStart->left->eval(rt, f);
    for (const BinaryExpr *link = chainStart; link; link = link->outer) {
        const Variant b = link->right->eval(rt, f);
        value = link->apply(rt, value, b);
    }
    return value;
}


// ---- statements

Flow AssignStmt::exec(Runtime &rt, Frame &f) const
{
    target->assign(rt, f, value->eval(rt, f), isSet);
    return Flow::Normal;
}

Flow CallStmt::exec(Runtime &rt, Frame &f) const
{
    call->call(rt, f);
    return Flow::Normal;
}

namespace {
std::shared_ptr<SafeArray> makeArray(Runtime &rt, Frame &f, const ExprList &bounds)
{
    QVarLengthArray<qint32, 4> ub;
    for (const ExprPtr &b : bounds) {
        const Variant v = b->eval(rt, f);
        if (v.isNull())
            raise(err::InvalidUseOfNull);
        ub.append(v.toLong(rt.locale()));
    }
    if (ub.size() > 60)
        raise(err::SubscriptOutOfRange);
    auto array = rt.settings().newArray(std::span<const qint32>(ub.data(), size_t(ub.size())), true);
    rt.spendOnElements(qint64(array->data.size()));
    return array;
}
} // namespace

Flow DimStmt::exec(Runtime &rt, Frame &f) const
{
    for (const Item &item : items) {
        if (!item.isArray)
            continue;
        Variant *var = rt.variableFor(item.ref, f, true);
        if (!var || var->isArray())
            continue;
        auto arr = makeArray(rt, f, item.bounds);
        arr->fixed = !item.bounds.empty();
        *var = Variant(std::move(arr));
    }
    return Flow::Normal;
}

Flow ReDimStmt::exec(Runtime &rt, Frame &f) const
{
    for (const Item &item : items) {
        Variant *var = item.target->reference(rt, f);
        if (!var)
            raise(err::IllegalAssignment);
        if (var->isArray() && (var->rawArray()->fixed || ArrayLock::isLocked(var)))
            raise(err::ArrayFixedOrLocked);
        auto arr = makeArray(rt, f, item.bounds);
        if (preserve && var->isArray()) {
            const SafeArray &old = *var->rawArray();
            if (old.dims() != 0) {
                if (old.dims() != arr->dims())
                    raise(err::SubscriptOutOfRange);
                for (int d = 0; d + 1 < arr->dims(); ++d)
                    if (old.bounds[size_t(d)].count != arr->bounds[size_t(d)].count)
                        raise(err::SubscriptOutOfRange);
                // Only the last dimension changes, so elements keep their
                // offsets up to the shorter length.
                const size_t n = std::min(old.data.size(), arr->data.size());
                for (size_t i = 0; i < n; ++i)
                    arr->data[i] = old.data[i];
            }
        }
        rt.settings().memory.credit(MemoryMeter::ownedBytes(*var));
        if (var->isArray() && var->rawArray().use_count() == 1)
            rt.spendOnElements(qint64(var->rawArray()->data.size()));
        *var = Variant(std::move(arr));
    }
    return Flow::Normal;
}

Flow EraseStmt::exec(Runtime &rt, Frame &f) const
{
    Variant *var = target->reference(rt, f);
    if (!var || !var->isArray())
        raise(err::TypeMismatch);
    if (ArrayLock::isLocked(var))
        raise(err::ArrayFixedOrLocked);
    rt.spendOnElements(qint64(var->rawArray()->data.size()));
    MemoryMeter &meter = rt.settings().memory;
    if (var->rawArray()->fixed) {
        SafeArray &a = rt.writableArray(*var);
        for (Variant &e : a.data) {
            meter.credit(MemoryMeter::ownedBytes(e));
            e = Variant();
        }
    } else {
        meter.credit(MemoryMeter::ownedBytes(*var));
        *var = Variant(std::make_shared<SafeArray>());
    }
    return Flow::Normal;
}

Flow ConstStmt::exec(Runtime &rt, Frame &f) const
{
    for (const Item &item : items)
        rt.defineConstant(item.ref, f, item.value->eval(rt, f));
    return Flow::Normal;
}

Flow IfStmt::exec(Runtime &rt, Frame &f) const
{
    // Under On Error Resume Next a failing condition resumes at the next
    // statement, which is the first one of its block.
    for (size_t i = 0; i < branches.size(); ++i)
        if (rt.condition(*branches[i].first, branchAt[i], f, true))
            return rt.runBlock(branches[i].second, f);
    return rt.runBlock(elseBlock, f);
}

namespace {
// A loop whose header failed under On Error Resume Next carries on at the
// first statement of its body, which then runs once.
Flow runBodyOnce(Runtime &rt, Frame &f, const Block &body, Flow exitFlow)
{
    const Flow flow = rt.runBlock(body, f);
    return flow == exitFlow ? Flow::Normal : flow;
}
} // namespace

Flow SelectStmt::exec(Runtime &rt, Frame &f) const
{
    Variant v;
    try {
        v = subject->eval(rt, f);
    } catch (ScriptError &e) {
        // Resumed, the next statement is the first one of the first Case.
        if (!rt.resumeAfter(e, *this, f))
            throw;
        return rt.runBlock(cases.empty() ? elseBlock : cases.front().body, f);
    }
    const bool subjectLiteral = subject->isLiteral();
    for (const Case &c : cases) {
        for (const ExprPtr &e : c.values) {
            bool match;
            try {
                // Evaluated first: a global Const learns on lookup that it is one.
                const Variant value = e->eval(rt, f);
                const Variant r = ops::compare(rt.settings(), ops::Compare::Eq, v, value, subjectLiteral, e->isLiteral());
                match = !r.isNull() && ops::truth(rt.settings(), r);
            } catch (ScriptError &error) {
                if (!rt.resumeAfter(error, c.at, f)) {
                    rt.attachPosition(error, c.at, f);
                    throw;
                }
                match = true;
            }
            if (match)
                return rt.runBlock(c.body, f);
        }
    }
    return rt.runBlock(elseBlock, f);
}

Flow ForStmt::exec(Runtime &rt, Frame &f) const
{
    // Bounds are numbers: text converts (or fails with a type mismatch) once,
    // here, instead of comparing as text on every round.
    auto bound = [&](const Expr &e) {
        Variant v = Runtime::letValue(e.eval(rt, f));
        if (v.isNull())
            raise(err::InvalidUseOfNull);
        return v.isString() ? Variant(v.toDouble(rt.locale())) : v;
    };
    Variant start, end, stepValue;
    try {
        start = bound(*from);
        end = bound(*to);
        stepValue = step ? bound(*step) : Variant(qint16(1));
        counter->assign(rt, f, start, false);
    } catch (ScriptError &e) {
        if (!rt.resumeAfter(e, *this, f))
            throw;
        return runBodyOnce(rt, f, body, Flow::ExitFor);
    }
    const bool up = ops::compareValues(rt.settings(), stepValue, Variant(qint16(0))) >= 0;
    Variant *slot = counter->reference(rt, f);
    const bool integral = start.isIntegral() && end.isIntegral() && stepValue.isIntegral();
    const qint64 endInt = integral ? end.toLong(rt.locale()) : 0;
    for (;;) {
        rt.tick();
        const Variant &cur = slot ? *slot : counter->eval(rt, f);
        bool done;
        if (integral && slot && (cur.type() == VarType::Integer || cur.type() == VarType::Long)) {
            const qint64 c = cur.type() == VarType::Integer ? cur.rawInteger() : cur.rawLong();
            done = up ? c > endInt : c < endInt;
        } else {
            const int cmp = ops::compareValues(rt.settings(), slot ? *slot : counter->eval(rt, f), end);
            done = up ? cmp > 0 : cmp < 0;
        }
        if (done)
            break;
        const Flow flow = rt.runBlock(body, f);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
        if (slot)
            *slot = ops::add(rt.settings(), *slot, stepValue);
        else
            counter->assign(rt, f, ops::add(rt.settings(), counter->eval(rt, f), stepValue), false);
    }
    return Flow::Normal;
}

Flow ForEachStmt::exec(Runtime &rt, Frame &f) const
{
    std::vector<Variant> items;
    std::shared_ptr<SafeArray> arr;
    try {
        const Variant coll = collection->eval(rt, f);
        if (coll.isArray()) {
            arr = coll.rawArray();  // shared: changes in the body copy the array
        } else if (coll.isObject()) {
            if (!coll.rawObject())
                raise(err::ObjectVariableNotSet);
            items = coll.rawObject()->enumerate();
        } else {
            raise(err::ObjectNotCollection);
        }
    } catch (ScriptError &e) {
        if (!rt.resumeAfter(e, *this, f))
            throw;
        return runBodyOnce(rt, f, body, Flow::ExitFor);
    }
    const size_t n = arr ? arr->data.size() : items.size();
    for (size_t i = 0; i < n; ++i) {
        rt.tick();
        const Variant &v = arr ? arr->data[i] : items[i];
        element->assign(rt, f, v, v.isObject());
        const Flow flow = rt.runBlock(body, f);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
    }
    return Flow::Normal;
}

Flow DoStmt::exec(Runtime &rt, Frame &f) const
{
    // Resumed after a failing condition, the next statement is the first of
    // the body for a test at the top, and the one after the loop for a test
    // at the bottom.
    auto keepGoing = [&] {
        const bool t = rt.condition(*condition, conditionAt, f, testAtTop != isUntil);
        return isUntil ? !t : t;
    };
    for (;;) {
        rt.tick();
        if (condition && testAtTop && !keepGoing())
            break;
        const Flow flow = rt.runBlock(body, f);
        if (flow == Flow::ExitDo && !isWend)
            break;
        if (flow != Flow::Normal)
            return flow;
        if (condition && !testAtTop && !keepGoing())
            break;
    }
    return Flow::Normal;
}

Flow OnErrorStmt::exec(Runtime &rt, Frame &f) const
{
    f.resumeNext = resumeNext;
    rt.err().clear();
    return Flow::Normal;
}

Flow WithStmt::exec(Runtime &rt, Frame &f) const
{
    f.withStack.push_back(object->eval(rt, f));
    struct Pop
    {
        Frame &f;
        ~Pop() { f.withStack.pop_back(); }
    } pop{f};
    return rt.runBlock(body, f);
}

} // namespace vbscript
