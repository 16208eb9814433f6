#pragma once

// The compiled form of a script: a tree whose names are resolved once, when a
// procedure or class has been read, to local slots, fields of Me or cached
// global entries. Nodes evaluate themselves against the Runtime; nothing is
// re-parsed while a script runs.

#include "vbscript/Operators.h"
#include "vbscript/Variant.h"

#include <QHash>
#include <QStringList>
#include <memory>
#include <vector>

namespace vbscript {

class Runtime;
struct Frame;
struct Procedure;
struct ClassDef;
struct CodeUnit;
struct BuiltinInfo;

struct Node
{
    int line = 0;    // 1-based
    int column = 0;  // 0-based
};

// A name as written in the code, and what it was found to be.
struct NameRef
{
    enum class Kind : quint8 {
        Dynamic,    // looked up among globals (cached), built-ins and implicit locals at run time
        Local,      // slot of the running procedure
        Field,      // field of Me
        MeMember,   // method or property of Me
    };
    QString name;
    QString key;  // lower case
    Kind kind = Kind::Dynamic;
    int slot = -1;
    bool hasArgs = false;  // written name(...): inside Function F, F(...) calls F
    // A Const: it compares as the literal it names would; set when resolved,
    // or on lookup for a global Const.
    mutable bool namesConst = false;
    // run-time cache of a global entry or built-in found for a Dynamic name
    mutable int globalIndex = -1;
    mutable const BuiltinInfo *builtin = nullptr;
    mutable const Variant *constant = nullptr;
};

// Each node type has its kind, so that the parser can ask what a node is
// without run-time type information: e->as<NameExpr>() is the NameExpr or null.
enum class ExprKind : quint8 {
    Literal, Missing, Paren, Name, NameCall, WithObject, Member, Index, Me, New, Unary, Binary,
};

struct Expr : Node
{
    explicit Expr(ExprKind k) : kind(k) {}
    virtual ~Expr() = default;
    const ExprKind kind;

    template<typename T> T *as() { return kind == T::kKind ? static_cast<T *>(this) : nullptr; }
    template<typename T> const T *as() const { return kind == T::kKind ? static_cast<const T *>(this) : nullptr; }

    virtual Variant eval(Runtime &rt, Frame &f) const = 0;
    // A value written as a literal (5, "abc", #1/2/2000#) or a Const naming
    // one, as opposed to a variable or a computed result: comparing a string
    // with a number depends on it (see ops::compare).
    virtual bool isLiteral() const { return false; }
    // The storage of a plain variable, for by-reference arguments.
    virtual Variant *reference(Runtime &, Frame &) const { return nullptr; }
    // An array element, for by-reference arguments: evaluates the indices
    // into `indices` and answers the array variable; null (evaluating
    // nothing) for anything else.
    virtual Variant *elementReference(Runtime &, Frame &, std::vector<Variant> &) const { return nullptr; }
    virtual bool isAssignable() const { return false; }
    virtual void assign(Runtime &rt, Frame &f, Variant value, bool isSet) const;
    // Evaluates as a call statement (result discarded; Subs allowed).
    virtual void call(Runtime &rt, Frame &f) const { eval(rt, f); }
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;

struct LiteralExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Literal;
    LiteralExpr() : Expr(kKind) {}
    Variant value;
    // Written as a number, date or string literal. A negated number is not:
    // the minus is an operation, folded here only to save running it.
    bool literal = false;
    Variant eval(Runtime &, Frame &) const override { return value; }
    bool isLiteral() const override { return literal; }
};

struct MissingExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Missing;
    MissingExpr() : Expr(kKind) {}
    Variant eval(Runtime &, Frame &) const override { return Variant::missing(); }
};

struct ParenExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Paren;
    ParenExpr() : Expr(kKind) {}
    ExprPtr inner;
    Variant eval(Runtime &rt, Frame &f) const override;
};

struct NameExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Name;
    NameExpr() : Expr(kKind) {}
    NameRef ref;
    Variant eval(Runtime &rt, Frame &f) const override;
    Variant *reference(Runtime &rt, Frame &f) const override;
    bool isLiteral() const override { return ref.namesConst; }
    bool isAssignable() const override { return true; }
    void assign(Runtime &rt, Frame &f, Variant value, bool isSet) const override;
    void call(Runtime &rt, Frame &f) const override;
};

// name(args): an array element, a call, or an object's default member
struct NameCallExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::NameCall;
    NameCallExpr() : Expr(kKind) {}
    NameRef ref;
    ExprList args;
    Variant eval(Runtime &rt, Frame &f) const override;
    Variant *elementReference(Runtime &rt, Frame &f, std::vector<Variant> &indices) const override;
    bool isAssignable() const override { return true; }
    void assign(Runtime &rt, Frame &f, Variant value, bool isSet) const override;
    void call(Runtime &rt, Frame &f) const override;
};

// The object of the innermost With block
struct WithObjectExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::WithObject;
    WithObjectExpr() : Expr(kKind) {}
    Variant eval(Runtime &rt, Frame &f) const override;
};

// object.member or object.member(args)
struct MemberExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Member;
    MemberExpr() : Expr(kKind) {}
    ExprPtr object;
    QString member;
    ExprList args;
    Variant eval(Runtime &rt, Frame &f) const override;
    bool isAssignable() const override { return true; }
    void assign(Runtime &rt, Frame &f, Variant value, bool isSet) const override;
    void call(Runtime &rt, Frame &f) const override;
};

// expr(args) after a call or member: f(1)(2), obj.Items()(0)
struct IndexExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Index;
    IndexExpr() : Expr(kKind) {}
    ExprPtr target;
    ExprList args;
    Variant eval(Runtime &rt, Frame &f) const override;
    bool isAssignable() const override { return true; }
    void assign(Runtime &rt, Frame &f, Variant value, bool isSet) const override;
};

struct MeExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Me;
    MeExpr() : Expr(kKind) {}
    Variant eval(Runtime &rt, Frame &f) const override;
};

struct NewExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::New;
    NewExpr() : Expr(kKind) {}
    QString className;
    Variant eval(Runtime &rt, Frame &f) const override;
};

enum class UnaryOp : quint8 { Neg, Plus, Not };
struct UnaryExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Unary;
    UnaryExpr() : Expr(kKind) {}
    UnaryOp op;
    ExprPtr operand;
    Variant eval(Runtime &rt, Frame &f) const override;
};

enum class BinaryOp : quint8 {
    Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat,
    Eq, Ne, Lt, Gt, Le, Ge, Is,
    And, Or, Xor, Eqv, Imp,
};
struct BinaryExpr : Expr
{
    static constexpr ExprKind kKind = ExprKind::Binary;
    BinaryExpr() : Expr(kKind) {}
    ~BinaryExpr() override;
    BinaryOp op;
    ExprPtr left, right;
    // A chain (a + b + c ...) nests down its left operands. Its last link
    // knows the innermost one, each link the one that takes its value, so
    // that the last link runs them all in a loop; the release takes them
    // apart in a loop: a chain of any length costs the stack one level.
    const BinaryExpr *chainStart = nullptr;  // on the last link of a chain
    const BinaryExpr *outer = nullptr;       // on every other link
    Variant eval(Runtime &rt, Frame &f) const override;
    Variant apply(Runtime &rt, const Variant &a, const Variant &b) const;
};

// ---- statements

enum class Flow : quint8 { Normal, ExitDo, ExitFor, ExitProc };

enum class StmtKind : quint8 {
    Assign, Call, Dim, ReDim, Erase, Const, If, Select, For, ForEach, Do, Exit, OnError, With,
};

struct Stmt : Node
{
    explicit Stmt(StmtKind k) : kind(k) {}
    virtual ~Stmt() = default;
    const StmtKind kind;

    virtual Flow exec(Runtime &rt, Frame &f) const = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct AssignStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Assign;
    AssignStmt() : Stmt(kKind) {}
    ExprPtr target, value;
    bool isSet = false;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct CallStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Call;
    CallStmt() : Stmt(kKind) {}
    ExprPtr call;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct DimStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Dim;
    DimStmt() : Stmt(kKind) {}
    struct Item { NameRef ref; ExprList bounds; bool isArray = false; };
    std::vector<Item> items;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct ReDimStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::ReDim;
    ReDimStmt() : Stmt(kKind) {}
    struct Item { ExprPtr target; ExprList bounds; };
    std::vector<Item> items;
    bool preserve = false;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct EraseStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Erase;
    EraseStmt() : Stmt(kKind) {}
    ExprPtr target;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct ConstStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Const;
    ConstStmt() : Stmt(kKind) {}
    struct Item { NameRef ref; ExprPtr value; };
    std::vector<Item> items;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct IfStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::If;
    IfStmt() : Stmt(kKind) {}
    std::vector<std::pair<ExprPtr, Block>> branches;
    std::vector<Node> branchAt;  // where each If / ElseIf stands, for its errors
    Block elseBlock;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct SelectStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Select;
    SelectStmt() : Stmt(kKind) {}
    struct Case { ExprList values; Block body; Node at; };
    ExprPtr subject;
    std::vector<Case> cases;
    Block elseBlock;
    bool hasElse = false;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct ForStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::For;
    ForStmt() : Stmt(kKind) {}
    ExprPtr counter, from, to, step;
    Block body;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct ForEachStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::ForEach;
    ForEachStmt() : Stmt(kKind) {}
    ExprPtr element, collection;
    Block body;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct DoStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Do;
    DoStmt() : Stmt(kKind) {}
    ExprPtr condition;      // may be null: Do ... Loop
    bool isUntil = false;
    bool testAtTop = true;
    bool isWend = false;  // While...Wend: Exit Do passes through to an enclosing Do
    Node conditionAt;     // the Do, or the Loop that carries the condition
    Block body;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct ExitStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::Exit;
    ExitStmt() : Stmt(kKind) {}
    Flow flow = Flow::ExitProc;
    Flow exec(Runtime &, Frame &) const override { return flow; }
};

struct OnErrorStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::OnError;
    OnErrorStmt() : Stmt(kKind) {}
    bool resumeNext = false;
    Flow exec(Runtime &rt, Frame &f) const override;
};

struct WithStmt : Stmt
{
    static constexpr StmtKind kKind = StmtKind::With;
    WithStmt() : Stmt(kKind) {}
    ExprPtr object;
    Block body;
    Flow exec(Runtime &rt, Frame &f) const override;
};

// ---- procedures, classes, units

struct Procedure
{
    enum class Kind : quint8 { Sub, Function, PropertyGet, PropertyLet, PropertySet };
    struct Param { QString name; bool byRef = true; };

    QString name;
    Kind kind = Kind::Sub;
    std::vector<Param> params;
    QHash<QString, int> locals;  // lower-case name -> slot; params come first
    int localCount = 0;
    int resultSlot = -1;         // Function and Property Get: the return value
    Block body;
    ClassDef *owner = nullptr;
    const CodeUnit *unit = nullptr;
    bool isPublic = true;
    bool isDefault = false;
    int line = 0;
};

struct ClassDef
{
    struct Field { QString name; bool isPublic = true; ExprList bounds; bool isArray = false; };
    struct Member
    {
        Procedure *get = nullptr, *let = nullptr, *set = nullptr, *method = nullptr;
        int field = -1;
        bool isPublic = true;
    };
    QString name;
    std::vector<Field> fields;
    QHash<QString, Member> members;  // lower-case name
    Procedure *initialize = nullptr;
    Procedure *terminate = nullptr;
    QString defaultMember;  // lower-case, empty when none
    const CodeUnit *unit = nullptr;
};

// One piece of compiled source: top-level statements and the procedures and
// classes it defines.
struct CodeUnit
{
    QStringList lines;
    Block statements;
    ExprPtr expression;  // for Eval
    std::vector<std::unique_ptr<Procedure>> procedures;  // global ones and class members
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::vector<QString> globalDims;                      // names declared at top level
    // The characters a host rule's string literals view (Parser::parseRule).
    std::vector<QString> literalTexts;
    bool optionExplicit = false;

    bool definesNames() const { return !procedures.empty() || !classes.empty() || !globalDims.empty(); }
};

} // namespace vbscript
