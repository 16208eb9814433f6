#include "vbscript/ObjectModel.h"

#include "vbscript/Runtime.h"
#include "vbscript/ScriptError.h"

#include <utility>

namespace vbscript {

// ---- instances

ScriptObject::ScriptObject(const ClassDef &cls, std::shared_ptr<const CodeUnit> code, Runtime *rt,
                           std::weak_ptr<bool> alive)
    : m_class(cls), m_code(std::move(code)), m_rt(rt), m_alive(std::move(alive))
{
}

Variant ScriptObject::create(Runtime &rt, const ClassDef &cls, std::shared_ptr<const CodeUnit> code,
                             std::weak_ptr<bool> engineAlive)
{
    rt.settings().memory.charge(MemoryMeter::objectBytes(qint64(cls.fields.size())));
    std::shared_ptr<ScriptObject> obj(new ScriptObject(cls, std::move(code), &rt, std::move(engineAlive)), release);
    obj->fields.resize(cls.fields.size());
    Frame f;
    f.unit = cls.unit;
    f.isGlobal = true;
    f.me = obj.get();  // field bounds may name other fields
    for (size_t i = 0; i < cls.fields.size(); ++i) {
        const ClassDef::Field &fd = cls.fields[i];
        if (!fd.isArray)
            continue;
        QVarLengthArray<qint32, 4> ub;
        for (const ExprPtr &b : fd.bounds)
            ub.append(b->eval(rt, f).toLong(rt.locale()));
        auto arr = rt.settings().newArray(std::span<const qint32>(ub.data(), size_t(ub.size())), true);
        arr->fixed = !fd.bounds.empty();
        obj->fields[i] = Variant(std::move(arr));
    }
    if (cls.initialize) {
        ArgPack none;
        rt.callProcedure(*cls.initialize, obj.get(), none);
    }
    return Variant(std::static_pointer_cast<Object>(obj));
}

// Class_Terminate runs first, under the engine's time limit (see
// Runtime::runTerminate).
void ScriptObject::release(ScriptObject *obj)
{
    if (Runtime *rt = obj->runtime())
        rt->settings().memory.credit(MemoryMeter::objectBytes(qint64(obj->fields.size())));
    if (Runtime *rt = obj->runtime(); rt && obj->m_class.terminate)
        rt->runTerminate(*obj->m_class.terminate, obj);
    std::vector<Variant> fields = std::move(obj->fields);
    delete obj;
    releaseInTurn(fields);
}

void ScriptObject::surrenderFields(std::vector<Variant> &into)
{
    for (Variant &field : fields)
        into.push_back(std::exchange(field, Variant()));
}

Runtime *ScriptObject::runtime() const
{
    auto alive = m_alive.lock();
    return alive && *alive ? m_rt : nullptr;
}

Runtime &ScriptObject::liveRuntime() const
{
    Runtime *rt = runtime();
    if (!rt)
        raise(err::ObjectVariableNotSet);
    return *rt;
}

Variant ScriptObject::get(const QString &name, std::span<Variant> args)
{
    liveRuntime();
    return invoke(name, args, MemberMode::Get, nullptr, false);
}

void ScriptObject::put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet)
{
    liveRuntime();
    invoke(name, args, isSet ? MemberMode::Set : MemberMode::Let, &value, false);
}

void ScriptObject::call(const QString &name, std::span<Variant> args)
{
    liveRuntime();
    invoke(name, args, MemberMode::Call, nullptr, false);
}

// ---- members

Variant ScriptObject::invoke(const QString &name, std::span<Variant> args, MemberMode mode, const Variant *value,
                             bool internal)
{
    QString key = name.toLower();
    if (key.isEmpty()) {
        key = m_class.defaultMember;
        if (key.isEmpty())
            raise(err::ObjectDoesntSupportProperty);
    }
    auto it = m_class.members.constFind(key);
    if (it == m_class.members.constEnd() || (!it->isPublic && !internal))
        raise(err::ObjectDoesntSupportProperty, name);
    const ClassDef::Member &m = it.value();
    if (m.field >= 0)
        return invokeField(fields[size_t(m.field)], name, args, mode, value);

    if (mode == MemberMode::Get || mode == MemberMode::Call) {
        const Procedure *p = m.get ? m.get : m.method;
        if (!p)
            raise(err::ObjectDoesntSupportProperty, name);
        // obj.Items(0) on a property without parameters indexes its value.
        if (!args.empty() && p->params.empty()) {
            Variant v = runProcedure(*p, {}, nullptr);
            if (v.isArray())
                return m_rt->indexArray(v, args);
            if (v.isObject() && v.rawObject())
                return v.rawObject()->get(QString(), args);
            raise(err::WrongNumberOfArguments, name);
        }
        return runProcedure(*p, args, nullptr);
    }
    const Procedure *p = mode == MemberMode::Set ? m.set : m.let;
    if (!p) {
        // An object assigned without Set goes to Property Set when there is no Let.
        if (mode == MemberMode::Let && m.set && value->isObject())
            p = m.set;
        else
            raise(err::ObjectDoesntSupportProperty, name);
    }
    const Variant v = mode == MemberMode::Set ? Runtime::setValue(*value) : Runtime::letValue(*value);
    runProcedure(*p, args, &v);
    return Variant();
}

// A field: read, indexed when it holds an array (or an object's default
// member), or assigned.
Variant ScriptObject::invokeField(Variant &field, const QString &name, std::span<Variant> args, MemberMode mode,
                                  const Variant *value)
{
    if (mode == MemberMode::Get || mode == MemberMode::Call) {
        if (args.empty())
            return field;
        if (field.isArray())
            return m_rt->indexArray(field, args);
        if (field.isObject()) {
            if (!field.rawObject())
                raise(err::ObjectVariableNotSet);
            return field.rawObject()->get(QString(), args);
        }
        raise(err::TypeMismatch, name);
    }
    const Variant v = mode == MemberMode::Set ? Runtime::setValue(*value) : Runtime::letValue(*value);
    if (args.empty()) {
        const qint64 freed = MemoryMeter::ownedBytes(field);
        field = v;
        m_rt->settings().memory.credit(freed);
    } else if (field.isArray())
        m_rt->storeElement(field, args, v);
    else
        raise(err::TypeMismatch, name);
    return Variant();
}

// Calls a member procedure with `args` by reference; `extra`, when given, is
// the value a Property Let or Set receives last.
Variant ScriptObject::runProcedure(const Procedure &p, std::span<Variant> args, const Variant *extra)
{
    ArgPack pack;
    for (Variant &a : args) {
        pack.values.append(a);
        pack.refs.append(&a);
    }
    if (extra) {
        pack.values.append(*extra);
        pack.refs.append(nullptr);
    }
    return m_rt->callProcedure(p, this, pack);
}

// ---- procedure references

Variant ProcedureRef::get(const QString &name, std::span<Variant> args)
{
    if (!name.isEmpty())
        raise(err::ObjectDoesntSupportProperty, name);
    auto keep = m_owner.lock();
    if (!keep)
        raise(err::ObjectVariableNotSet);
    ArgPack pack;
    for (Variant &a : args) {
        pack.values.append(a);
        pack.refs.append(&a);
    }
    return m_rt->callProcedure(*m_proc, nullptr, pack);
}

} // namespace vbscript
