#pragma once

// The objects scripts make themselves: instances of their Class blocks, with
// fields and members, and the procedure references GetRef hands out.
//
// Lifetime. An instance keeps the code of its class alive (a host may hold
// it past a Reset) and knows whether its engine still is: an engine that is
// gone runs no Class_Terminate, and every member then raises 91. Releasing
// the last reference runs Class_Terminate, then releases the fields one by
// one (see releaseInTurn), so a chain of a million instances needs no deep
// stack. Instances in a cycle are released when their engine ends.

#include "vbscript/Ast.h"
#include "vbscript/Variant.h"

#include <memory>

namespace vbscript {

class Runtime;

// What a member access does.
enum class MemberMode : quint8 {
    Get,   // read a property, or call a method for its value
    Let,   // assign a value (obj.p = v)
    Set,   // assign an object reference (Set obj.p = v)
    Call,  // call as a statement; a Sub is allowed, a value is dropped
};

// An instance of a script Class.
class ScriptObject : public Object
{
public:
    // A new instance with its array fields dimensioned and Class_Initialize run.
    static Variant create(Runtime &rt, const ClassDef &cls, std::shared_ptr<const CodeUnit> code,
                          std::weak_ptr<bool> engineAlive);

    QString typeName() const override { return m_class.name; }
    Variant get(const QString &name, std::span<Variant> args) override;
    void put(const QString &name, std::span<Variant> args, const Variant &value, bool isSet) override;
    void call(const QString &name, std::span<Variant> args) override;

    // Runs member `name` (empty: the default member) in `mode`, with `value`
    // for Let and Set. Calls from the class's own code are `internal` and
    // reach its Private members too. Arguments are taken by reference: what
    // a procedure assigns to a parameter comes back in `args`.
    Variant invoke(const QString &name, std::span<Variant> args, MemberMode mode, const Variant *value,
                   bool internal);

    const ClassDef &classDef() const { return m_class; }
    std::vector<Variant> fields;

    // For its engine's end, after which no member can be reached: moves the
    // fields' values into `into` and leaves them Empty, so that instances
    // that refer to each other, directly or through arrays, do not keep one
    // another alive for ever.
    void surrenderFields(std::vector<Variant> &into);

private:
    ScriptObject(const ClassDef &cls, std::shared_ptr<const CodeUnit> code, Runtime *rt, std::weak_ptr<bool> alive);
    // The engine, or null once it is gone.
    Runtime *runtime() const;
    Runtime &liveRuntime() const;
    Variant invokeField(Variant &field, const QString &name, std::span<Variant> args, MemberMode mode,
                        const Variant *value);
    Variant runProcedure(const Procedure &p, std::span<Variant> args, const Variant *extra);
    static void release(ScriptObject *obj);

    const ClassDef &m_class;
    std::shared_ptr<const CodeUnit> m_code;
    Runtime *m_rt;
    std::weak_ptr<bool> m_alive;
};

// GetRef's answer: an object whose default member calls the procedure.
class ProcedureRef : public Object
{
public:
    ProcedureRef(Runtime *rt, const Procedure *p, std::weak_ptr<Runtime> owner)
        : m_rt(rt), m_proc(p), m_owner(std::move(owner)) {}
    QString typeName() const override { return QStringLiteral("Object"); }
    Variant get(const QString &name, std::span<Variant> args) override;

private:
    Runtime *m_rt;
    const Procedure *m_proc;
    std::weak_ptr<Runtime> m_owner;
};

} // namespace vbscript
