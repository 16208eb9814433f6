#include "pushdown/RuleTranslator.h"

#include "pushdown/Condition.h"
#include "pushdown/Dialect.h"

#include "vbscript/CompiledExpression.h"
#include "vbscript/OleDate.h"

#include <QDateTime>

#include <functional>
#include <optional>

namespace nvtarnix::pushdown {

namespace {

using vbscript::BinaryExpr;
using vbscript::BinaryOp;
using vbscript::Expr;
using vbscript::LiteralExpr;
using vbscript::NameCallExpr;
using vbscript::NameExpr;
using vbscript::ParenExpr;
using vbscript::UnaryExpr;
using vbscript::UnaryOp;
using vbscript::VarType;

// A value of the rule as SQL: NULL exactly where the engine's is Null, on
// every row the guard leaves out.
struct Value
{
    ValueKind kind = ValueKind::Number;
    QString sql;
    Condition guard;
    bool alwaysNull = false;
    std::optional<double> dateSerial;  // a date literal, which can stand as a Number
};

// A Boolean of the rule: the rows where it is True and where it is False.
// Exact, they are those rows on every row the guard leaves out; inexact,
// they hold at least those rows (it "may be" True, "may be" False).
struct Truth
{
    Condition isTrue, isFalse, guard;
    bool exact = true;
};

const Expr &unwrapped(const Expr &e)
{
    const Expr *x = &e;
    while (const auto *p = x->as<ParenExpr>())
        x = p->inner.get();
    return *x;
}

QString binaryName(BinaryOp op)
{
    static const char *const names[] = {"+",  "-", "*", "/", "\\", "Mod", "^", "&",   "=",   "<>",
                                        "<",  ">", "<=", ">=", "Is", "And", "Or", "Xor", "Eqv", "Imp"};
    return QLatin1String(names[int(op)]);
}

// The part of the rule a note names, written back from the tree.
QString sourceOf(const Expr &e)
{
    if (const auto *l = e.as<LiteralExpr>()) {
        if (l->value.isString())
            return QLatin1Char('"') + QString(l->value.rawString()).replace(QLatin1Char('"'), QLatin1String("\"\""))
                   + QLatin1Char('"');
        if (l->value.isNull())
            return QStringLiteral("Null");
        return l->value.toString(vbscript::ScriptLocale());
    }
    if (const auto *p = e.as<ParenExpr>())
        return QLatin1Char('(') + sourceOf(*p->inner) + QLatin1Char(')');
    if (const auto *n = e.as<NameExpr>())
        return n->ref.kind == vbscript::NameRef::Kind::Local ? QLatin1Char('[') + n->ref.name + QLatin1Char(']')
                                                              : n->ref.name;
    if (const auto *c = e.as<NameCallExpr>()) {
        QStringList args;
        for (const auto &a : c->args)
            args << sourceOf(*a);
        return c->ref.name + QLatin1Char('(') + args.join(QLatin1String(", ")) + QLatin1Char(')');
    }
    if (const auto *u = e.as<UnaryExpr>())
        return (u->op == UnaryOp::Not ? QStringLiteral("Not ") : u->op == UnaryOp::Neg ? QStringLiteral("-")
                                                                                        : QStringLiteral("+"))
               + sourceOf(*u->operand);
    if (const auto *b = e.as<BinaryExpr>())
        return sourceOf(*b->left) + QLatin1Char(' ') + binaryName(b->op) + QLatin1Char(' ') + sourceOf(*b->right);
    return QStringLiteral("...");
}

Comparison comparisonOf(BinaryOp op)
{
    switch (op) {
    case BinaryOp::Eq: return Comparison::Eq;
    case BinaryOp::Ne: return Comparison::Ne;
    case BinaryOp::Lt: return Comparison::Lt;
    case BinaryOp::Gt: return Comparison::Gt;
    case BinaryOp::Le: return Comparison::Le;
    default: return Comparison::Ge;
    }
}

Comparison opposite(Comparison c)
{
    switch (c) {
    case Comparison::Eq: return Comparison::Ne;
    case Comparison::Ne: return Comparison::Eq;
    case Comparison::Lt: return Comparison::Ge;
    case Comparison::Gt: return Comparison::Le;
    case Comparison::Le: return Comparison::Gt;
    case Comparison::Ge: return Comparison::Lt;
    }
    return c;
}

// What a run constant's value is, as the engine takes it: its kind, and the
// serial of a date; nullopt for a type this translation does not bind.
struct ConstantValue
{
    ValueKind kind = ValueKind::Number;
    bool isNull = false;
};

std::optional<ConstantValue> constantKind(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return ConstantValue{ValueKind::Number, true};
    switch (v.typeId()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime: return ConstantValue{ValueKind::Date, false};
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double: return ConstantValue{ValueKind::Number, false};
    case QMetaType::QString: return ConstantValue{ValueKind::Text, false};
    default: return std::nullopt;
    }
}

// The kind a column gives when nothing else says which to read it as.
ValueKind naturalKind(const ColumnBinding &column)
{
    if (column.binding == Binding::RunConstant) {
        const auto k = constantKind(column.value);
        return k ? k->kind : ValueKind::Number;
    }
    switch (column.binding) {
    case Binding::SqliteStrictText:
    case Binding::PgText: return ValueKind::Text;
    case Binding::PgBool: return ValueKind::Boolean;
    case Binding::SqliteIsoDate:
    case Binding::PgDate:
    case Binding::PgTimestamp:
    case Binding::PgTimestampTz: return ValueKind::Date;
    default: return ValueKind::Number;
    }
}

QString kindName(ValueKind k)
{
    switch (k) {
    case ValueKind::Number: return QStringLiteral("a number");
    case ValueKind::Text: return QStringLiteral("text");
    case ValueKind::Date: return QStringLiteral("a date");
    case ValueKind::Boolean: return QStringLiteral("a Boolean");
    }
    return {};
}

class Walk
{
public:
    Walk(const Dialect &dialect, const vbscript::CompiledExpression &rule, const QList<ColumnBinding> &columns,
         const QDateTime &now)
        : m_dialect(dialect), m_parameters(dialect)
    {
        // The run's instant reads as two run constants: Now to the second,
        // Date its day. Without one, the engine reads the clock at each call,
        // which no parameter can stand for.
        if (now.isValid()) {
            const QTime t = now.time();
            m_now = ColumnBinding(QStringLiteral("Now"), QString(), Binding::RunConstant,
                                  QDateTime(now.date(), QTime(t.hour(), t.minute(), t.second())));
            m_today = ColumnBinding(QStringLiteral("Date"), QString(), Binding::RunConstant, now.date());
        }
        for (const QString &variable : rule.variables()) {
            const ColumnBinding *found = nullptr;
            for (const ColumnBinding &c : columns)
                if (c.variable.compare(variable, Qt::CaseInsensitive) == 0)
                    found = &c;
            m_columns.push_back(found);
        }
    }

    Parameters &parameters() { return m_parameters; }
    QList<Note> &notes() { return m_notes; }

    std::optional<Truth> truth(const Expr &e0)
    {
        const Expr &e = unwrapped(e0);
        if (const auto *l = e.as<LiteralExpr>()) {
            if (l->value.type() == VarType::Boolean)
                return l->value.rawBool() ? Truth{Condition::always(), Condition::never(), {}, true}
                                          : Truth{Condition::never(), Condition::always(), {}, true};
            if (l->value.isNull())
                return Truth{};
            return fail(e, QStringLiteral("a value that is not a Boolean stands where a condition is expected"));
        }
        if (const auto *u = e.as<UnaryExpr>()) {
            if (u->op != UnaryOp::Not)
                return fail(e, QStringLiteral("a number stands where a condition is expected"));
            auto t = truth(*u->operand);
            if (t)
                std::swap(t->isTrue, t->isFalse);
            return t;
        }
        if (const auto *b = e.as<BinaryExpr>())
            return binaryTruth(*b);
        if (const auto *c = e.as<NameCallExpr>())
            return callTruth(*c);
        if (const auto *n = e.as<NameExpr>()) {
            if (const ColumnBinding *column = columnOf(*n); column && naturalKind(*column) == ValueKind::Boolean)
                return fail(e, QStringLiteral("Boolean columns are not read in SQL yet"));
        }
        return fail(e, QStringLiteral("only comparisons, IsNull, And, Or, Xor, Eqv, Imp and Not are conditions "
                                      "in SQL"));
    }

private:
    std::optional<Truth> fail(const Expr &e, const QString &why)
    {
        note(e, why);
        return std::nullopt;
    }

    void note(const Expr &e, const QString &why)
    {
        m_notes.append(Note{e.line, e.column + 1, sourceOf(e), why});
    }

    // The run constant that Now or Date (with or without brackets) stands
    // for, when the run has an instant.
    const ColumnBinding *clockOf(const Expr &e) const
    {
        const vbscript::NameRef *ref = nullptr;
        if (const auto *n = e.as<NameExpr>())
            ref = &n->ref;
        else if (const auto *c = e.as<NameCallExpr>(); c && c->args.empty())
            ref = &c->ref;
        if (!ref || ref->kind != vbscript::NameRef::Kind::Dynamic || !m_now.value.isValid())
            return nullptr;
        if (ref->key == QLatin1String("now"))
            return &m_now;
        if (ref->key == QLatin1String("date"))
            return &m_today;
        return nullptr;
    }

    const ColumnBinding *columnOf(const NameExpr &n) const
    {
        if (n.ref.kind != vbscript::NameRef::Kind::Local || n.ref.slot < 0 || n.ref.slot >= int(m_columns.size()))
            return nullptr;
        return m_columns[size_t(n.ref.slot)];
    }

    // A part the engine evaluates without ever raising an error: a variable,
    // a literal, a test of one that only looks at its subtype, or a
    // comparison of two variables (a number against text is less, whatever
    // the text). What it gives can be left to the engine on rows the SQL
    // fetches anyway. (IsNumeric and IsDate convert, and may overflow.)
    bool neverRaises(const Expr &e0) const
    {
        const Expr &e = unwrapped(e0);
        const auto isColumn = [&](const Expr &x) {
            const auto *n = unwrapped(x).as<NameExpr>();
            return n && columnOf(*n) != nullptr;
        };
        if (e.as<LiteralExpr>() || isColumn(e))
            return true;
        if (const auto *c = e.as<NameCallExpr>())
            return c->ref.kind != vbscript::NameRef::Kind::Local
                   && (c->ref.key == QLatin1String("isnull") || c->ref.key == QLatin1String("isempty"))
                   && c->args.size() == 1 && neverRaises(*c->args[0]);
        if (const auto *b = e.as<BinaryExpr>())
            return b->op >= BinaryOp::Eq && b->op <= BinaryOp::Ge && isColumn(*b->left) && isColumn(*b->right);
        return false;
    }

    // Where a part cannot be written exactly but cannot fail either, it may
    // be True and may be False on any row: the rest of the rule still
    // narrows the rows down.
    std::optional<Truth> inexact(const Expr &e, const QString &why)
    {
        if (!neverRaises(e))
            return fail(e, why);
        note(e, why + QStringLiteral("; the engine re-checks the rows"));
        return Truth{Condition::always(), Condition::always(), {}, false};
    }

    std::optional<Truth> binaryTruth(const BinaryExpr &b)
    {
        switch (b.op) {
        case BinaryOp::Eq: case BinaryOp::Ne: case BinaryOp::Lt:
        case BinaryOp::Gt: case BinaryOp::Le: case BinaryOp::Ge:
            return comparison(b);
        case BinaryOp::And: case BinaryOp::Or: case BinaryOp::Xor: case BinaryOp::Eqv: case BinaryOp::Imp:
            break;
        default:
            return fail(b, QStringLiteral("the operator %1 gives a value, not a condition").arg(binaryName(b.op)));
        }
        // On Booleans and Null these are three-valued; the engine evaluates
        // both sides, so either side's errors are the whole's.
        const auto l = truth(*b.left);
        if (!l)
            return std::nullopt;
        const auto r = truth(*b.right);
        if (!r)
            return std::nullopt;
        Truth t;
        t.guard = anyOf(l->guard, r->guard);
        t.exact = l->exact && r->exact;
        const auto both = [](const Condition &x, const Condition &y) { return allOf(x, y); };
        switch (b.op) {
        case BinaryOp::And:
            t.isTrue = both(l->isTrue, r->isTrue);
            t.isFalse = anyOf(l->isFalse, r->isFalse);
            break;
        case BinaryOp::Or:
            t.isTrue = anyOf(l->isTrue, r->isTrue);
            t.isFalse = both(l->isFalse, r->isFalse);
            break;
        case BinaryOp::Xor:
            t.isTrue = anyOf(both(l->isTrue, r->isFalse), both(l->isFalse, r->isTrue));
            t.isFalse = anyOf(both(l->isTrue, r->isTrue), both(l->isFalse, r->isFalse));
            break;
        case BinaryOp::Eqv:
            t.isTrue = anyOf(both(l->isTrue, r->isTrue), both(l->isFalse, r->isFalse));
            t.isFalse = anyOf(both(l->isTrue, r->isFalse), both(l->isFalse, r->isTrue));
            break;
        default:  // Imp
            t.isTrue = anyOf(l->isFalse, r->isTrue);
            t.isFalse = both(l->isTrue, r->isFalse);
            break;
        }
        return t;
    }

    std::optional<Truth> callTruth(const NameCallExpr &c)
    {
        if (c.ref.kind == vbscript::NameRef::Kind::Local)
            return fail(c, QStringLiteral("a variable is not called"));
        if (c.ref.key == QLatin1String("isnull") && c.args.size() == 1) {
            const Expr &arg = unwrapped(*c.args[0]);
            const auto *n = arg.as<NameExpr>();
            if (n && columnOf(*n) && columnOf(*n)->binding == Binding::RunConstant) {
                const QVariant &v = columnOf(*n)->value;
                return !v.isValid() || v.isNull() ? Truth{Condition::always(), Condition::never(), {}, true}
                                                  : Truth{Condition::never(), Condition::always(), {}, true};
            }
            if (n && columnOf(*n)) {
                // Every binding's NULL is the engine's Null and nothing else is.
                const QString sql = m_dialect.quoteIdentifier(columnOf(*n)->column);
                return Truth{Condition::of(sql + QStringLiteral(" IS NULL")),
                             Condition::of(sql + QStringLiteral(" IS NOT NULL")), {}, true};
            }
            const auto v = value(arg, std::nullopt);
            if (!v)
                return inexact(c, QStringLiteral("its argument is not computed in SQL"));
            if (v->alwaysNull)
                return Truth{Condition::always(), Condition::never(), v->guard, true};
            return Truth{Condition::of(QLatin1Char('(') + v->sql + QStringLiteral(") IS NULL")),
                         Condition::of(QLatin1Char('(') + v->sql + QStringLiteral(") IS NOT NULL")), v->guard, true};
        }
        if (c.ref.key == QLatin1String("isempty") && c.args.size() == 1) {
            // A host hands every stored value over, NULL as Null: a column
            // is never Empty. A run constant is when it has no value at all.
            if (const auto *n = unwrapped(*c.args[0]).as<NameExpr>(); n && columnOf(*n)) {
                const ColumnBinding *column = columnOf(*n);
                const bool empty = column->binding == Binding::RunConstant && !column->value.isValid();
                return empty ? Truth{Condition::always(), Condition::never(), {}, true}
                             : Truth{Condition::never(), Condition::always(), {}, true};
            }
        }
        return inexact(c, QStringLiteral("%1 is not written in SQL").arg(c.ref.name));
    }

    std::optional<Truth> comparison(const BinaryExpr &b)
    {
        const Expr &left = unwrapped(*b.left), &right = unwrapped(*b.right);
        // A literal fixes the kind both sides are read as: the engine
        // converts the other side to it (or raises 13), so rows holding
        // another kind are the engine's to decide.
        std::optional<Value> l, r;
        if (left.as<LiteralExpr>()) {
            l = value(left, std::nullopt);
            if (l)
                r = value(right, l->kind == ValueKind::Date ? ValueKind::Number : l->kind);
        } else {
            r = right.as<LiteralExpr>() ? value(right, std::nullopt) : std::nullopt;
            if (r)
                l = value(left, r->kind == ValueKind::Date ? ValueKind::Number : r->kind);
            else if (!right.as<LiteralExpr>()) {
                l = value(left, std::nullopt);
                if (l)
                    r = value(right, l->kind == ValueKind::Date && !givesDate(right) ? ValueKind::Number : l->kind);
            }
        }
        if (!l || !r)
            return inexact(b, QStringLiteral("an operand is not computed in SQL"));
        Truth t;
        t.guard = anyOf(l->guard, r->guard);
        if (l->alwaysNull || r->alwaysNull)
            return t;  // Null on every row
        // A date literal against a number compares as its serial number.
        for (Value *v : {&*l, &*r}) {
            Value *other = v == &*l ? &*r : &*l;
            if (v->dateSerial && other->kind == ValueKind::Number) {
                v->kind = ValueKind::Number;
                v->sql = m_parameters.bind(Parameter::Type::Real, *v->dateSerial);
            }
        }
        // A date and a number compare as numbers, the date as its serial.
        const auto numeric = [](ValueKind k) { return k == ValueKind::Number || k == ValueKind::Date; };
        if (l->kind != r->kind && numeric(l->kind) && numeric(r->kind))
            l->kind = r->kind = ValueKind::Number;
        if (l->kind != r->kind)
            return inexact(b, QStringLiteral("%1 is compared with %2").arg(kindName(l->kind), kindName(r->kind)));
        const Comparison op = comparisonOf(b.op);
        const auto yes = m_dialect.compare(l->kind, op, l->sql, r->sql, m_parameters);
        const auto no = m_dialect.compare(l->kind, opposite(op), l->sql, r->sql, m_parameters);
        if (!yes || !no)
            return inexact(b, QStringLiteral("%1 is not compared in SQL").arg(kindName(l->kind)));
        t.isTrue = Condition::of(yes->sql);
        t.isFalse = Condition::of(no->sql);
        t.guard = anyOf(t.guard, anyOf(Condition::of(yes->guard), Condition::of(no->guard)));
        return t;
    }

    std::optional<Value> failValue(const Expr &e, const QString &why)
    {
        note(e, why);
        return std::nullopt;
    }

    static std::optional<Value> guarded(ValueKind kind, const std::optional<Guarded> &g, const Condition &guard)
    {
        if (!g)
            return std::nullopt;
        return Value{kind, g->sql, anyOf(guard, Condition::of(g->guard)), false, std::nullopt};
    }

    std::optional<Value> literalValue(const LiteralExpr &l)
    {
        const vbscript::Variant &v = l.value;
        switch (v.type()) {
        case VarType::Byte: case VarType::Integer: case VarType::Long:
            return Value{ValueKind::Number,
                         m_parameters.bind(Parameter::Type::Integer, qint64(v.toDouble(vbscript::ScriptLocale()))),
                         {}, false, std::nullopt};
        case VarType::Double:
            return Value{ValueKind::Number, m_parameters.bind(Parameter::Type::Real, v.rawDouble()), {}, false,
                         std::nullopt};
        case VarType::String:
            return Value{ValueKind::Text, m_parameters.bind(Parameter::Type::Text, v.rawString()), {}, false,
                         std::nullopt};
        case VarType::Date:
            return Value{ValueKind::Date, m_parameters.bind(Parameter::Type::Real, v.rawDate()), {}, false,
                         v.rawDate()};
        case VarType::Null:
            return Value{ValueKind::Number, {}, {}, true, std::nullopt};
        default:
            return failValue(l, QStringLiteral("a literal of this type is not bound in SQL"));
        }
    }

    // The rule's value `e`, a variable being read as `want` where one is given.
    std::optional<Value> value(const Expr &e0, std::optional<ValueKind> want)
    {
        const Expr &e = unwrapped(e0);
        if (const auto *l = e.as<LiteralExpr>())
            return literalValue(*l);
        if (const ColumnBinding *clock = clockOf(e))
            return constantValue(e, *clock, want);
        if (const auto *n = e.as<NameExpr>()) {
            const ColumnBinding *column = columnOf(*n);
            if (!column)
                return failValue(e, QStringLiteral("a name that is no column's variable"));
            if (column->binding == Binding::RunConstant)
                return constantValue(e, *column, want);
            const ValueKind kind = want.value_or(naturalKind(*column));
            const auto read = m_dialect.readColumn(column->column, column->binding, kind, m_parameters);
            if (!read)
                return failValue(e, QStringLiteral("the column never holds %1 here").arg(kindName(kind)));
            return Value{kind, read->sql, Condition::of(read->guard), false, std::nullopt};
        }
        if (const auto *u = e.as<UnaryExpr>()) {
            if (u->op == UnaryOp::Not)
                return failValue(e, QStringLiteral("Not on a number is bitwise"));
            const auto v = value(*u->operand, ValueKind::Number);
            if (!v || v->kind != ValueKind::Number || v->alwaysNull)
                return failValue(e, QStringLiteral("the operand is not a number in SQL"));
            if (u->op == UnaryOp::Plus)
                return v;
            return guarded(ValueKind::Number, m_dialect.negate(v->sql, m_parameters), v->guard);
        }
        if (const auto *b = e.as<BinaryExpr>())
            return binaryValue(*b);
        if (const auto *c = e.as<NameCallExpr>())
            return callValue(*c);
        return failValue(e, QStringLiteral("this part is not computed in SQL"));
    }

    // A run constant, bound as a parameter. A date read as a number is its
    // serial; any other change of kind converts by the locale, and is left
    // to the engine.
    std::optional<Value> constantValue(const Expr &e, const ColumnBinding &column, std::optional<ValueKind> want)
    {
        const auto k = constantKind(column.value);
        if (!k)
            return failValue(e, QStringLiteral("a value of this type is not bound in SQL"));
        if (k->isNull)
            return Value{ValueKind::Number, {}, {}, true, std::nullopt};
        const QVariant &v = column.value;
        if (k->kind == ValueKind::Date) {
            const double serial = v.typeId() == QMetaType::QDate ? vbscript::OleDate::fromQDate(v.toDate())
                                                                 : vbscript::OleDate::fromQDateTime(v.toDateTime());
            if (!vbscript::OleDate::isValidSerial(serial))
                return failValue(e, QStringLiteral("the date lies outside the years 100 to 9999"));
            if (want && *want != ValueKind::Date && *want != ValueKind::Number)
                return failValue(e, QStringLiteral("a date is read as %1").arg(kindName(*want)));
            return Value{want.value_or(ValueKind::Date), m_parameters.bind(Parameter::Type::Real, serial), {}, false,
                         std::nullopt};
        }
        if (want && *want != k->kind)
            return failValue(e, QStringLiteral("%1 is read as %2").arg(kindName(k->kind), kindName(*want)));
        if (k->kind == ValueKind::Text)
            return Value{ValueKind::Text, m_parameters.bind(Parameter::Type::Text, v.toString()), {}, false,
                         std::nullopt};
        if (v.typeId() == QMetaType::Double)
            return Value{ValueKind::Number, m_parameters.bind(Parameter::Type::Real, v.toDouble()), {}, false,
                         std::nullopt};
        return Value{ValueKind::Number, m_parameters.bind(Parameter::Type::Integer, v.toLongLong()), {}, false,
                     std::nullopt};
    }

    // Whether `e` gives a Date, told from the rule alone: a date literal, a
    // column or constant of dates, or a date plus or minus a number.
    bool givesDate(const Expr &e0) const
    {
        const Expr &e = unwrapped(e0);
        if (const auto *l = e.as<LiteralExpr>())
            return l->value.type() == VarType::Date;
        if (clockOf(e))
            return true;
        if (const auto *n = e.as<NameExpr>()) {
            const ColumnBinding *column = columnOf(*n);
            return column && naturalKind(*column) == ValueKind::Date;
        }
        if (const auto *b = e.as<BinaryExpr>()) {
            if (b->op == BinaryOp::Add)
                return givesDate(*b->left) || givesDate(*b->right);
            if (b->op == BinaryOp::Sub)
                return givesDate(*b->left) != givesDate(*b->right);
        }
        return false;
    }

    // a + b or a - b where either is a Date: the engine adds serials, and a
    // Date results unless two Dates are subtracted.
    std::optional<Value> dateArithmetic(const BinaryExpr &b)
    {
        const bool leftDate = givesDate(*b.left), rightDate = givesDate(*b.right);
        auto l = value(*b.left, leftDate ? ValueKind::Date : ValueKind::Number);
        if (!l)
            return std::nullopt;
        auto r = value(*b.right, rightDate ? ValueKind::Date : ValueKind::Number);
        if (!r)
            return std::nullopt;
        const auto fits = [](const Value &v, bool date) {
            return v.alwaysNull || v.kind == (date ? ValueKind::Date : ValueKind::Number);
        };
        if (!fits(*l, leftDate) || !fits(*r, rightDate))
            return failValue(b, QStringLiteral("an operand of %1 is not a date or a number in SQL")
                                    .arg(binaryName(b.op)));
        const bool toDate = !(b.op == BinaryOp::Sub && leftDate && rightDate);
        const ValueKind kind = toDate ? ValueKind::Date : ValueKind::Number;
        const Condition guard = anyOf(l->guard, r->guard);
        if (l->alwaysNull || r->alwaysNull)
            return Value{kind, {}, guard, true, std::nullopt};
        const auto v = guarded(kind,
                               m_dialect.dateArithmetic(b.op == BinaryOp::Add ? Arithmetic::Add : Arithmetic::Sub,
                                                        l->sql, r->sql, toDate, m_parameters),
                               guard);
        if (!v)
            return failValue(b, QStringLiteral("%1 on a date is not computed in this SQL").arg(binaryName(b.op)));
        return v;
    }

    std::optional<std::pair<Value, Value>> operands(const Expr &a, const Expr &b, ValueKind kind)
    {
        auto l = value(a, kind);
        if (!l)
            return std::nullopt;
        auto r = value(b, kind);
        if (!r)
            return std::nullopt;
        if ((l->kind != kind && !l->alwaysNull) || (r->kind != kind && !r->alwaysNull))
            return std::nullopt;
        return std::pair{*l, *r};
    }

    std::optional<Value> binaryValue(const BinaryExpr &b)
    {
        if (b.op == BinaryOp::Concat) {
            const auto ops = operands(*b.left, *b.right, ValueKind::Text);
            if (!ops)
                return failValue(b, QStringLiteral("& is done in SQL on text only"));
            const auto &[l, r] = *ops;
            const Condition guard = anyOf(l.guard, r.guard);
            if (l.alwaysNull && r.alwaysNull)
                return Value{ValueKind::Text, {}, guard, true, std::nullopt};
            const QString a = l.alwaysNull ? QStringLiteral("NULL") : l.sql;
            const QString c = r.alwaysNull ? QStringLiteral("NULL") : r.sql;
            // Null & "x" is "x"; only Null & Null is Null.
            return Value{ValueKind::Text,
                         QStringLiteral("CASE WHEN (%1) IS NULL AND (%2) IS NULL THEN NULL ELSE %3 END")
                             .arg(a, c, m_dialect.concat(a, c)),
                         guard, false, std::nullopt};
        }
        if ((b.op == BinaryOp::Add || b.op == BinaryOp::Sub) && (givesDate(*b.left) || givesDate(*b.right)))
            return dateArithmetic(b);
        Arithmetic op;
        switch (b.op) {
        case BinaryOp::Add: op = Arithmetic::Add; break;
        case BinaryOp::Sub: op = Arithmetic::Sub; break;
        case BinaryOp::Mul: op = Arithmetic::Mul; break;
        case BinaryOp::Div: op = Arithmetic::Div; break;
        case BinaryOp::IntDiv: op = Arithmetic::IntDiv; break;
        case BinaryOp::Mod: op = Arithmetic::Mod; break;
        default: return failValue(b, QStringLiteral("the operator %1 is not computed in SQL").arg(binaryName(b.op)));
        }
        const auto ops = operands(*b.left, *b.right, ValueKind::Number);
        if (!ops)
            return failValue(b, QStringLiteral("%1 is done in SQL on numbers only").arg(binaryName(b.op)));
        const auto &[l, r] = *ops;
        const Condition guard = anyOf(l.guard, r.guard);
        if (l.alwaysNull || r.alwaysNull)
            return Value{ValueKind::Number, {}, guard, true, std::nullopt};
        return guarded(ValueKind::Number, m_dialect.arithmetic(op, l.sql, r.sql, m_parameters), guard);
    }

    // A literal whole number, as Left, Right and Mid take their counts.
    static std::optional<int> literalCount(const Expr &e0, int least)
    {
        const Expr &e = unwrapped(e0);
        const auto *l = e.as<LiteralExpr>();
        if (!l)
            return std::nullopt;
        const VarType t = l->value.type();
        if (t != VarType::Integer && t != VarType::Long && t != VarType::Byte)
            return std::nullopt;
        const double n = l->value.toDouble(vbscript::ScriptLocale());
        if (n < least)
            return std::nullopt;
        return int(n);
    }

    std::optional<Value> callValue(const NameCallExpr &c)
    {
        if (c.ref.kind == vbscript::NameRef::Kind::Local)
            return failValue(c, QStringLiteral("a variable is not called"));
        const QString &name = c.ref.key;
        const auto argument = [&](size_t i, ValueKind kind) -> std::optional<Value> {
            auto v = value(*c.args[i], kind);
            if (v && v->kind != kind && !v->alwaysNull)
                return std::nullopt;
            return v;
        };
        // Most functions give Null for Null; those that refuse it raise 94,
        // and the rows where that happens are the engine's.
        const auto nullOr = [&](const std::optional<Value> &arg, ValueKind kind,
                                const std::function<std::optional<Guarded>(const QString &)> &make,
                                bool refusesNull = false) -> std::optional<Value> {
            if (!arg)
                return failValue(c, QStringLiteral("the argument of %1 is not computed in SQL").arg(c.ref.name));
            if (arg->alwaysNull && refusesNull)
                return failValue(c, QStringLiteral("%1 raises an error for Null").arg(c.ref.name));
            if (arg->alwaysNull)
                return Value{kind, {}, arg->guard, true, std::nullopt};
            const Condition guard =
                refusesNull ? anyOf(arg->guard, Condition::of(QLatin1Char('(') + arg->sql + QStringLiteral(") IS NULL")))
                            : arg->guard;
            auto v = guarded(kind, make(arg->sql), guard);
            if (!v)
                return failValue(c, QStringLiteral("%1 is not written in this SQL").arg(c.ref.name));
            return v;
        };
        const size_t n = c.args.size();
        if (name == QLatin1String("len") && n == 1)
            return nullOr(argument(0, ValueKind::Text), ValueKind::Number,
                          [&](const QString &t) { return m_dialect.length(t, m_parameters); });
        static const QHash<QString, TextFunction> textFunctions{
            {QStringLiteral("ucase"), TextFunction::UCase}, {QStringLiteral("lcase"), TextFunction::LCase},
            {QStringLiteral("trim"), TextFunction::Trim},   {QStringLiteral("ltrim"), TextFunction::LTrim},
            {QStringLiteral("rtrim"), TextFunction::RTrim}};
        if (const auto f = textFunctions.constFind(name); f != textFunctions.constEnd() && n == 1)
            return nullOr(argument(0, ValueKind::Text), ValueKind::Text,
                          [&](const QString &t) { return m_dialect.textFunction(*f, t, m_parameters); });
        if ((name == QLatin1String("left") || name == QLatin1String("right")) && n == 2) {
            const auto count = literalCount(*c.args[1], 0);
            if (!count)
                return failValue(c, QStringLiteral("the length is not a literal whole number of 0 or more"));
            const bool left = name == QLatin1String("left");
            return nullOr(argument(0, ValueKind::Text), ValueKind::Text, [&](const QString &t) {
                return left ? m_dialect.substring(t, 1, *count, m_parameters)
                            : m_dialect.right(t, *count, m_parameters);
            });
        }
        if (name == QLatin1String("mid") && n == 2 && !literalCount(*c.args[1], 1)) {
            const auto text = argument(0, ValueKind::Text);
            const auto start = argument(1, ValueKind::Number);
            if (!text || !start || start->alwaysNull)
                return failValue(c, QStringLiteral("the text or start of Mid is not computed in SQL"));
            const Condition guard = anyOf(text->guard, start->guard);
            if (text->alwaysNull)
                return failValue(c, QStringLiteral("Mid of Null is left to the engine"));
            auto v = guarded(ValueKind::Text, m_dialect.substringFrom(text->sql, start->sql, m_parameters), guard);
            if (!v)
                return failValue(c, QStringLiteral("Mid is not written in this SQL"));
            return v;
        }
        if ((name == QLatin1String("cstr") || name == QLatin1String("hex")) && n == 1) {
            // Of a column of whole numbers only: other numbers are written
            // as the locale writes them.
            const auto *column = unwrapped(*c.args[0]).as<NameExpr>();
            const ColumnBinding *bound = column ? columnOf(*column) : nullptr;
            static const QList<Binding> integers{Binding::SqliteStrictInteger, Binding::PgInt2, Binding::PgInt4,
                                                 Binding::PgInt8};
            if (!bound || !integers.contains(bound->binding))
                return failValue(c, QStringLiteral("%1 is written in SQL for a column of whole numbers only")
                                        .arg(c.ref.name));
            const bool hex = name == QLatin1String("hex");
            // CStr refuses Null (94); Hex gives Null for it.
            return nullOr(argument(0, ValueKind::Number), ValueKind::Text,
                          [&](const QString &x) { return m_dialect.integerText(x, hex, m_parameters); }, !hex);
        }
        if (name == QLatin1String("mid") && (n == 2 || n == 3)) {
            const auto start = literalCount(*c.args[1], 1);
            const auto count = n == 3 ? literalCount(*c.args[2], 0) : std::optional<int>(-1);
            if (!start || !count)
                return failValue(c, QStringLiteral("the start or length is not a literal whole number in range"));
            return nullOr(argument(0, ValueKind::Text), ValueKind::Text,
                          [&](const QString &t) { return m_dialect.substring(t, *start, *count, m_parameters); });
        }
        if (name == QLatin1String("instr") && n == 2) {
            const auto hay = argument(0, ValueKind::Text);
            const auto sought = argument(1, ValueKind::Text);
            if (!hay || !sought)
                return failValue(c, QStringLiteral("an argument of InStr is not text in SQL"));
            const Condition guard = anyOf(hay->guard, sought->guard);
            if (hay->alwaysNull || sought->alwaysNull)
                return Value{ValueKind::Number, {}, guard, true, std::nullopt};
            return guarded(ValueKind::Number, m_dialect.position(hay->sql, sought->sql, m_parameters), guard);
        }
        if ((name == QLatin1String("cint") || name == QLatin1String("clng")) && n == 1) {
            const bool isInt = name == QLatin1String("cint");
            return nullOr(argument(0, ValueKind::Number), ValueKind::Number, [&](const QString &x) {
                return m_dialect.wholeNumber(x, isInt ? -32768 : -2147483647 - qint64(1), isInt ? 32767 : 2147483647,
                                             m_parameters);
            }, true);
        }
        if (name == QLatin1String("round") && (n == 1 || n == 2)) {
            const auto digits = n == 2 ? literalCount(*c.args[1], 0) : std::optional<int>(0);
            if (!digits)
                return failValue(c, QStringLiteral("the number of digits is not a literal whole number of 0 or more"));
            return nullOr(argument(0, ValueKind::Number), ValueKind::Number,
                          [&](const QString &x) { return m_dialect.round(x, *digits, m_parameters); });
        }
        // A date argument may be a number, the serial of a date; one outside
        // the engine's dates raises 6.
        const auto dateArgument = [&](size_t i) -> std::optional<Value> {
            if (givesDate(*c.args[i]))
                return argument(i, ValueKind::Date);
            auto v = argument(i, ValueKind::Number);
            if (!v || v->alwaysNull)
                return v;
            return guarded(ValueKind::Date, m_dialect.numberAsDate(v->sql, m_parameters), v->guard);
        };
        static const QHash<QString, DatePart> dateParts{{QStringLiteral("year"), DatePart::Year},
                                                        {QStringLiteral("month"), DatePart::Month},
                                                        {QStringLiteral("day"), DatePart::Day},
                                                        {QStringLiteral("weekday"), DatePart::Weekday}};
        if (const auto f = dateParts.constFind(name); f != dateParts.constEnd() && n == 1)
            return nullOr(dateArgument(0), ValueKind::Number,
                          [&](const QString &d) { return m_dialect.datePart(*f, d, m_parameters); });
        static const QHash<QString, NumberFunction> numberFunctions{
            {QStringLiteral("abs"), NumberFunction::Abs}, {QStringLiteral("fix"), NumberFunction::Fix},
            {QStringLiteral("int"), NumberFunction::Int}, {QStringLiteral("sgn"), NumberFunction::Sgn}};
        if (const auto f = numberFunctions.constFind(name); f != numberFunctions.constEnd() && n == 1)
            // Sgn refuses Null (94); the others give Null for it.
            return nullOr(argument(0, ValueKind::Number), ValueKind::Number,
                          [&](const QString &x) { return m_dialect.numberFunction(*f, x, m_parameters); },
                          *f == NumberFunction::Sgn);
        if (name == QLatin1String("replace") && n == 3) {
            const auto *find = unwrapped(*c.args[1]).as<LiteralExpr>();
            const auto *by = unwrapped(*c.args[2]).as<LiteralExpr>();
            if (!find || !by || !find->value.isString() || !by->value.isString())
                return failValue(c, QStringLiteral("what Replace finds and puts are not literal texts"));
            return nullOr(argument(0, ValueKind::Text), ValueKind::Text, [&](const QString &t) {
                return m_dialect.replace(t, find->value.rawString(), by->value.rawString(), m_parameters);
            }, true);
        }
        if (name == QLatin1String("space") && n == 1) {
            const auto count = literalCount(*c.args[0], 0);
            if (!count || *count > 10000)
                return failValue(c, QStringLiteral("the length is not a literal whole number of 0 to 10000"));
            return Value{ValueKind::Text, m_parameters.bind(Parameter::Type::Text, QString(*count, QLatin1Char(' '))),
                         {}, false, std::nullopt};
        }
        if (name == QLatin1String("datediff") && n == 3) {
            const auto interval = dateInterval(*c.args[0]);
            // Hours, minutes and seconds read the time of day, which the
            // engine rounds to the second on serials that run backwards
            // before 1899-12-30; no SQL here is proved to count them alike.
            if (!interval && isTimeInterval(*c.args[0]))
                return failValue(c, QStringLiteral("DateDiff in hours, minutes or seconds is left to the engine: "
                                                   "it counts from the time of day, which this SQL does not "
                                                   "reproduce exactly"));
            if (!interval)
                return failValue(c, QStringLiteral("the interval is not a literal \"yyyy\", \"q\", \"m\", \"y\", "
                                                   "\"d\" or \"w\""));
            const auto a = dateArgument(1);
            const auto d = dateArgument(2);
            if (!a || !d)
                return failValue(c, QStringLiteral("a date of DateDiff is not a date in SQL"));
            const Condition guard = anyOf(a->guard, d->guard);
            if (a->alwaysNull || d->alwaysNull)
                return Value{ValueKind::Number, {}, guard, true, std::nullopt};
            auto v = guarded(ValueKind::Number, m_dialect.dateDiff(*interval, a->sql, d->sql, m_parameters), guard);
            if (!v)
                return failValue(c, QStringLiteral("DateDiff is not written in this SQL"));
            return v;
        }
        return failValue(c, QStringLiteral("%1 is not computed in SQL").arg(c.ref.name));
    }

    static bool isTimeInterval(const Expr &e0)
    {
        const auto *l = unwrapped(e0).as<LiteralExpr>();
        if (!l || !l->value.isString())
            return false;
        const QString interval = QString(l->value.rawString()).toLower();
        return interval == QLatin1String("h") || interval == QLatin1String("n") || interval == QLatin1String("s");
    }

    static std::optional<DateInterval> dateInterval(const Expr &e0)
    {
        const auto *l = unwrapped(e0).as<LiteralExpr>();
        if (!l || !l->value.isString())
            return std::nullopt;
        static const QHash<QString, DateInterval> intervals{
            {QStringLiteral("yyyy"), DateInterval::Year}, {QStringLiteral("q"), DateInterval::Quarter},
            {QStringLiteral("m"), DateInterval::Month},   {QStringLiteral("y"), DateInterval::Day},
            {QStringLiteral("d"), DateInterval::Day},     {QStringLiteral("w"), DateInterval::Week}};
        const auto found = intervals.constFind(QString(l->value.rawString()).toLower());
        if (found == intervals.constEnd())
            return std::nullopt;
        return *found;
    }

    const Dialect &m_dialect;
    Parameters m_parameters;
    QList<Note> m_notes;
    std::vector<const ColumnBinding *> m_columns;
    ColumnBinding m_now, m_today;  // the run's instant, when it has one
};

QString rendered(const Dialect &dialect, const Condition &c)
{
    switch (c.kind) {
    case Condition::Kind::Never: return dialect.alwaysFalse();
    case Condition::Kind::Always: return dialect.alwaysTrue();
    case Condition::Kind::Sql: return c.sql;
    }
    return {};
}

Translation failed(const Dialect *dialect, QList<Note> notes)
{
    Translation t;
    t.outcome = Outcome::Fail;
    t.where = dialect ? dialect->alwaysTrue() : QStringLiteral("TRUE");
    t.flagged = t.where;
    t.notes = std::move(notes);
    return t;
}

} // namespace

Translation translateRule(const vbscript::CompiledExpression &rule, SqlDialect which,
                          const QList<ColumnBinding> &columns, const QDateTime &now)
{
    const Dialect *dialect = dialectFor(which);
    if (!dialect)
        return failed(nullptr, {Note{1, 1, rule.text(), QStringLiteral("this build has no such SQL dialect")}});
    QList<Note> unbound;
    for (const QString &variable : rule.variables()) {
        const bool bound = std::any_of(columns.begin(), columns.end(), [&](const ColumnBinding &c) {
            return c.variable.compare(variable, Qt::CaseInsensitive) == 0;
        });
        if (!bound)
            unbound.append(Note{1, 1, QLatin1Char('[') + variable + QLatin1Char(']'),
                                QStringLiteral("the variable is bound to no column")});
    }
    if (!unbound.isEmpty() || !rule.tree())
        return failed(dialect, unbound);

    Walk walk(*dialect, rule, columns, now);
    const std::optional<Truth> truth = walk.truth(*rule.tree());
    if (!truth)
        return failed(dialect, walk.notes());
    Translation t;
    t.notes = walk.notes();
    const Condition where = anyOf(truth->isTrue, truth->guard);
    if (where.isAlways()) {
        t.notes.append(Note{1, 1, rule.text(), QStringLiteral("nothing is left for SQL to decide")});
        return failed(dialect, t.notes);
    }
    t.outcome = truth->exact ? Outcome::Complete : Outcome::Partial;
    t.where = rendered(*dialect, where);
    t.flagged = truth->exact ? rendered(*dialect, truth->guard) : dialect->alwaysTrue();
    t.parameters = walk.parameters().list();
    return t;
}

} // namespace nvtarnix::pushdown
