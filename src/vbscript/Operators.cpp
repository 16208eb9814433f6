#include "vbscript/Operators.h"

#include "vbscript/NumberText.h"
#include "vbscript/OleDate.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/WideArithmetic.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace vbscript::ops {

namespace {

// Arithmetic result kinds, narrowest first. Boolean and Empty count as
// Integer; a string taking part in arithmetic counts as Double.
enum Kind { kByte, kInt, kLong, kSingle, kDouble, kCurrency, kDate };

Kind kindOf(const Variant &v)
{
    switch (v.type()) {
    case VarType::Byte: return kByte;
    case VarType::Empty: case VarType::Boolean: case VarType::Integer: return kInt;
    case VarType::Long: return kLong;
    case VarType::Single: return kSingle;
    case VarType::Currency: return kCurrency;
    case VarType::Date: return kDate;
    case VarType::Double: case VarType::String: return kDouble;
    default: raise(err::TypeMismatch);
    }
}

// An object operand gives its default value, kept in `holder`; an array
// takes part in no operator.
[[gnu::noinline, gnu::cold]] const Variant &objectOperand(const Variant &v, Variant &holder)
{
    if (v.isArray())
        raise(err::TypeMismatch);
    holder = v.valueOf();
    return holder;
}

// Plain values are used in place, without a copy. The test stays small enough
// to be inlined into every operator; objects and arrays take the cold path.
inline const Variant &operand(const Variant &v, Variant &holder)
{
    if (v.isObject() || v.isArray()) [[unlikely]]
        return objectOperand(v, holder);
    return v;
}

// An integer result in the narrowest type of the promotion chain starting at
// `start`: Byte overflows into Integer, Integer into Long, Long into Double.
Variant narrowInteger(qint64 r, Kind start)
{
    if (start == kByte && r >= 0 && r <= 255)
        return Variant(quint8(r));
    if (start <= kInt && r >= -32768 && r <= 32767)
        return Variant(qint16(r));
    if (r >= INT32_MIN && r <= INT32_MAX)
        return Variant(qint32(r));
    return Variant(double(r));
}

qint64 intValue(const Variant &v, const ScriptLocale &locale)
{
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Boolean: return v.rawBool() ? -1 : 0;
    case VarType::Byte: return v.rawByte();
    case VarType::Integer: return v.rawInteger();
    case VarType::Long: return v.rawLong();
    default: return v.toLong(locale);
    }
}

Variant checkedDouble(double r)
{
    if (std::isinf(r))
        raise(err::Overflow);
    return Variant(r);
}

Variant checkedSingle(double r)
{
    if (std::isinf(r))
        raise(err::Overflow);
    if (std::fabs(r) > double(FLT_MAX))
        return Variant(r);
    return Variant(float(r));
}

Variant checkedDate(double r)
{
    if (!OleDate::isValidSerial(r))
        raise(err::Overflow);
    return Variant::date(r);
}

// A Currency result, or 6 when it did not fit.
Variant checkedCurrency(bool fits, qint64 scaled)
{
    if (!fits)
        raise(err::Overflow);
    return Variant::currency(scaled);
}

enum class Arith { Add, Sub, Mul };

Variant arithmetic(const ExecutionSettings &s, Arith op, const Variant &a0, const Variant &b0)
{
    // The common cases of loops: Integers and Longs, and Doubles with them.
    const VarType ta = a0.type(), tb = b0.type();
    const bool intA = ta == VarType::Integer || ta == VarType::Long;
    const bool intB = tb == VarType::Integer || tb == VarType::Long;
    if (intA && intB) {
        const qint64 x = ta == VarType::Long ? a0.rawLong() : a0.rawInteger();
        const qint64 y = tb == VarType::Long ? b0.rawLong() : b0.rawInteger();
        const qint64 r = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
        return narrowInteger(r, (ta == VarType::Long || tb == VarType::Long) ? kLong : kInt);
    }
    if ((ta == VarType::Double && (intB || tb == VarType::Double)) || (tb == VarType::Double && intA)) {
        const double x = ta == VarType::Double ? a0.rawDouble() : ta == VarType::Long ? a0.rawLong() : a0.rawInteger();
        const double y = tb == VarType::Double ? b0.rawDouble() : tb == VarType::Long ? b0.rawLong() : b0.rawInteger();
        return checkedDouble(op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y);
    }
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        return Variant::null();
    if (op == Arith::Add) {
        if (a.isString() && b.isString())
            return concat(s, a, b);
        // Empty added to anything gives the other side unchanged, subtype
        // included; but a Boolean, as everywhere in arithmetic, counts as
        // an Integer, and two Empties make an Integer 0 (below).
        if (a.isEmpty() && !b.isEmpty() && b.type() != VarType::Boolean)
            return b;
        if (b.isEmpty() && !a.isEmpty() && a.type() != VarType::Boolean)
            return a;
    }
    Kind ka = kindOf(a), kb = kindOf(b);
    Kind k = std::max(ka, kb);
    if (k == kSingle && (ka == kLong || kb == kLong))
        k = kDouble;
    if (op == Arith::Mul && k == kCurrency && (ka == kDouble || ka == kSingle || kb == kDouble || kb == kSingle))
        k = kDouble;
    if (op == Arith::Mul && k == kDate)
        k = kDouble;
    switch (k) {
    case kByte: case kInt: case kLong: {
        const qint64 x = intValue(a, s.locale), y = intValue(b, s.locale);
        const qint64 r = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
        return narrowInteger(r, k);
    }
    case kSingle: case kDouble: {
        const double x = a.toDouble(s.locale), y = b.toDouble(s.locale);
        const double r = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
        return k == kSingle ? checkedSingle(r) : checkedDouble(r);
    }
    case kCurrency: {
        const qint64 x = a.toCurrency(s.locale), y = b.toCurrency(s.locale);
        qint64 r = 0;
        // A product has eight decimals: back to four, halves to even.
        const bool fits = op == Arith::Add   ? addChecked(x, y, &r)
                        : op == Arith::Sub   ? subtractChecked(x, y, &r)
                                             : multiplyDivideChecked(x, y, 10000, &r);
        return checkedCurrency(fits, r);
    }
    case kDate: {
        const double x = a.toDouble(s.locale), y = b.toDouble(s.locale);
        if (op == Arith::Sub && ka == kDate && kb == kDate)
            return checkedDouble(x - y);
        return checkedDate(op == Arith::Add ? x + y : x - y);
    }
    }
    raise(err::TypeMismatch);
}

// ---- logical operators work on bits: Boolean, Byte and Integer keep their
// size, anything else (Empty and strings included) becomes a Long.

enum LKind { lBool, lByte, lInt, lLong };

LKind lkindOf(const Variant &v)
{
    switch (v.type()) {
    case VarType::Boolean: return lBool;
    case VarType::Byte: return lByte;
    case VarType::Integer: return lInt;
    default: return lLong;
    }
}

LKind combine(LKind a, LKind b)
{
    if (a == b)
        return a;
    if (a <= lInt && b <= lInt)
        return lInt;
    return lLong;
}

qint64 bitsOf(const Variant &v, const ScriptLocale &locale)
{
    switch (v.type()) {
    case VarType::Boolean: return v.rawBool() ? -1 : 0;
    case VarType::Byte: return v.rawByte();
    case VarType::Integer: return v.rawInteger();
    case VarType::Empty: return 0;
    default: return v.toLong(locale);
    }
}

bool allOnes(qint64 bits, LKind k)
{
    return k == lByte ? (bits & 0xFF) == 0xFF : bits == -1;
}

Variant makeLogical(LKind k, qint64 bits)
{
    switch (k) {
    case lBool: return Variant(bits != 0);
    case lByte: return Variant(quint8(bits & 0xFF));
    case lInt: return Variant(qint16(bits));
    case lLong: return Variant(qint32(bits));
    }
    return Variant();
}

enum class Logic { And, Or, Xor, Eqv, Imp };

Variant logical(const ExecutionSettings &s, Logic op, const Variant &a0, const Variant &b0)
{
    // Two comparisons joined, the common case of a rule, need none of the
    // conversions below.
    if (a0.type() == VarType::Boolean && b0.type() == VarType::Boolean) {
        const bool x = a0.rawBool(), y = b0.rawBool();
        switch (op) {
        case Logic::And: return Variant(x && y);
        case Logic::Or: return Variant(x || y);
        case Logic::Xor: return Variant(x != y);
        case Logic::Eqv: return Variant(x == y);
        case Logic::Imp: return Variant(!x || y);
        }
    }
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() && b.isNull())
        return Variant::null();
    if (a.isNull() || b.isNull()) {
        const bool nullLeft = a.isNull();
        const Variant &x = nullLeft ? b : a;
        const LKind k = lkindOf(x);
        const qint64 bits = bitsOf(x, s.locale);
        switch (op) {
        case Logic::And:
            return bits == 0 ? makeLogical(k, 0) : Variant::null();
        case Logic::Or:
            return allOnes(bits, k) ? makeLogical(k, -1) : Variant::null();
        case Logic::Xor:
        case Logic::Eqv:
            return Variant::null();
        case Logic::Imp:
            if (nullLeft)
                return allOnes(bits, k) ? makeLogical(k, -1) : Variant::null();
            if (bits == 0)
                return makeLogical(k, -1);
            // A Byte on the left keeps its size: the unknown right side
            // counts as no bits set.
            if (k == lByte)
                return makeLogical(k, ~bits);
            return Variant::null();
        }
    }
    const LKind k = combine(lkindOf(a), lkindOf(b));
    const qint64 x = bitsOf(a, s.locale), y = bitsOf(b, s.locale);
    qint64 r = 0;
    switch (op) {
    case Logic::And: r = x & y; break;
    case Logic::Or: r = x | y; break;
    case Logic::Xor: r = x ^ y; break;
    case Logic::Eqv: r = ~(x ^ y); break;
    case Logic::Imp: r = ~x | y; break;
    }
    return makeLogical(k, r);
}

int compareStrings(const QString &a, const QString &b)
{
    const int c = QString::compare(a, b, Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// Numbers that compare without a look at their origin or a conversion.
bool isPlainNumber(VarType t)
{
    return t == VarType::Integer || t == VarType::Long || t == VarType::Double || t == VarType::Byte;
}

// A plain number's value. A Double holds every Byte, Integer and Long
// exactly, so two plain numbers compare as Doubles whatever their types.
double plainNumberValue(const Variant &v)
{
    switch (v.type()) {
    case VarType::Byte: return v.rawByte();
    case VarType::Integer: return v.rawInteger();
    case VarType::Long: return v.rawLong();
    default: return v.rawDouble();
    }
}

int compareNumbers(const Variant &a, const Variant &b, const ScriptLocale &locale)
{
    if (a.type() == VarType::Currency && b.type() == VarType::Currency)
        return a.rawCurrency() < b.rawCurrency() ? -1 : a.rawCurrency() > b.rawCurrency() ? 1 : 0;
    const bool ia = a.isIntegral() || a.type() == VarType::Boolean || a.isEmpty();
    const bool ib = b.isIntegral() || b.type() == VarType::Boolean || b.isEmpty();
    if (ia && ib) {
        const qint64 x = intValue(a, locale), y = intValue(b, locale);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const double x = a.toDouble(locale), y = b.toDouble(locale);
    return x < y ? -1 : x > y ? 1 : 0;
}

// A string against a number, decided as the Windows engine decides it, by
// where each comes from. A literal is typed for good, as a declared type is
// in Visual Basic; a variable or a computed result is a Variant that gives
// way. So:
//  - a number literal (or a Const of one) converts the string to a number,
//    or a date for a date literal, and text that is none is a type mismatch;
//  - otherwise a string literal converts the number to its text, and the two
//    compare as text ("10" > CDbl(5) is False);
//  - otherwise, between two Variants, the language reference's rule holds:
//    the number is less than the string, whatever the text.
// A Boolean compares by its name ("True", "False") whatever its origin.
int stringVersusNumber(const QString &s, const Variant &n, bool stringIsLiteral, bool numberIsLiteral,
                       const ScriptLocale &locale)
{
    if (n.type() == VarType::Boolean)
        return compareStrings(s, n.toString(locale));
    if (numberIsLiteral) {
        if (n.type() == VarType::Date) {
            const double d = Variant(s).toDate(locale);
            return d < n.rawDate() ? -1 : d > n.rawDate() ? 1 : 0;
        }
        return compareNumbers(Variant(Variant(s).toDouble(locale)), n, locale);
    }
    if (stringIsLiteral)
        return compareStrings(s, n.toString(locale));
    return 1;
}

} // namespace

Variant add(const ExecutionSettings &s, const Variant &a, const Variant &b) { return arithmetic(s, Arith::Add, a, b); }
Variant subtract(const ExecutionSettings &s, const Variant &a, const Variant &b) { return arithmetic(s, Arith::Sub, a, b); }
Variant multiply(const ExecutionSettings &s, const Variant &a, const Variant &b) { return arithmetic(s, Arith::Mul, a, b); }

Variant divide(const ExecutionSettings &s, const Variant &a0, const Variant &b0)
{
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        return Variant::null();
    const Kind ka = kindOf(a), kb = kindOf(b);
    const double x = a.toDouble(s.locale), y = b.toDouble(s.locale);
    if (y == 0)
        raise(x == 0 || std::isnan(x) ? err::Overflow : err::DivisionByZero);
    const double r = x / y;
    const bool single = (ka == kSingle || kb == kSingle) && ka <= kSingle && kb <= kSingle && ka != kLong && kb != kLong;
    return single ? checkedSingle(r) : checkedDouble(r);
}

namespace {
Variant integerDivision(const ExecutionSettings &s, bool mod, const Variant &a0, const Variant &b0)
{
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        return Variant::null();
    const Kind ka = kindOf(a), kb = kindOf(b);
    const Kind k = (ka == kByte && kb == kByte) ? kByte : (ka <= kInt && kb <= kInt) ? kInt : kLong;
    const qint64 x = intValue(a, s.locale), y = intValue(b, s.locale);
    if (y == 0)
        raise(err::DivisionByZero);
    return narrowInteger(mod ? x % y : x / y, k);
}
} // namespace

Variant intDivide(const ExecutionSettings &s, const Variant &a, const Variant &b) { return integerDivision(s, false, a, b); }
Variant modulo(const ExecutionSettings &s, const Variant &a, const Variant &b) { return integerDivision(s, true, a, b); }

Variant power(const ExecutionSettings &s, const Variant &a0, const Variant &b0)
{
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        return Variant::null();
    const double x = a.toDouble(s.locale), y = b.toDouble(s.locale);
    if ((x == 0 && y < 0) || (x < 0 && y != std::trunc(y)))
        raise(err::InvalidProcedureCall);
    return checkedDouble(std::pow(x, y));
}

Variant negate(const ExecutionSettings &s, const Variant &a0)
{
    Variant ha;
    const Variant &a = operand(a0, ha);
    switch (a.type()) {
    case VarType::Null: return Variant::null();
    case VarType::Empty: return Variant(qint16(0));
    case VarType::Boolean: return Variant(qint16(a.rawBool() ? 1 : 0));
    case VarType::Byte: return Variant(qint16(-int(a.rawByte())));
    case VarType::Integer: return narrowInteger(-qint64(a.rawInteger()), kInt);
    case VarType::Long: return narrowInteger(-qint64(a.rawLong()), kLong);
    case VarType::Single: return Variant(-a.rawSingle());
    case VarType::Double: return Variant(-a.rawDouble());
    case VarType::Currency:
        if (a.rawCurrency() == INT64_MIN)
            raise(err::Overflow);
        return Variant::currency(-a.rawCurrency());
    case VarType::Date: return checkedDate(-a.rawDate());
    case VarType::String: return Variant(-a.toDouble(s.locale));
    default: raise(err::TypeMismatch);
    }
}

namespace {
// The two texts in one allocation of their joined length. `a + b` copies a
// and then grows the copy for b, rounding its capacity up: two allocations
// and a text copied twice, in a loop that joins short texts most of its work.
QString joined(const QString &a, const QString &b)
{
    const qsizetype length = a.size() + b.size();
    if (length == 0)
        return a;
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    std::copy_n(a.constData(), a.size(), out);
    std::copy_n(b.constData(), b.size(), out + a.size());
    return text;
}
} // namespace

Variant concat(const ExecutionSettings &s, const Variant &a0, const Variant &b0)
{
    if (a0.isString() && b0.isString()) {
        s.chargeText(a0.rawString().size() + b0.rawString().size());
        return Variant(joined(a0.rawString(), b0.rawString()));
    }
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() && b.isNull())
        return Variant::null();
    const QString text = a.isNull() ? QString() : a.toString(s.locale);
    const QString more = b.isNull() ? QString() : b.toString(s.locale);
    s.chargeText(text.size() + more.size());
    return Variant(joined(text, more));
}

Variant logicalNot(const ExecutionSettings &s, const Variant &a0)
{
    Variant ha;
    const Variant &a = operand(a0, ha);
    switch (a.type()) {
    case VarType::Null: return Variant::null();
    case VarType::Boolean: return Variant(!a.rawBool());
    case VarType::Byte: return Variant(quint8(~a.rawByte()));
    case VarType::Integer: return Variant(qint16(~a.rawInteger()));
    case VarType::String:
        // Text converts to a number if it can, as for And and Or; failing
        // that, "True" and "False" convert to a Boolean, which Not negates.
        if (double ignored; !parseNumber(a.rawString(), s.locale, &ignored))
            return Variant(!a.toBool(s.locale));
        return Variant(qint32(~bitsOf(a, s.locale)));
    default: return Variant(qint32(~bitsOf(a, s.locale)));
    }
}

Variant logicalAnd(const ExecutionSettings &s, const Variant &a, const Variant &b) { return logical(s, Logic::And, a, b); }
Variant logicalOr(const ExecutionSettings &s, const Variant &a, const Variant &b) { return logical(s, Logic::Or, a, b); }
Variant logicalXor(const ExecutionSettings &s, const Variant &a, const Variant &b) { return logical(s, Logic::Xor, a, b); }
Variant logicalEqv(const ExecutionSettings &s, const Variant &a, const Variant &b) { return logical(s, Logic::Eqv, a, b); }
Variant logicalImp(const ExecutionSettings &s, const Variant &a, const Variant &b) { return logical(s, Logic::Imp, a, b); }

int compareValues(const ExecutionSettings &s, const Variant &a0, const Variant &b0, bool ac, bool bc)
{
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        raise(err::InvalidUseOfNull);
    if (a.isString() && b.isString())
        return compareStrings(a.rawString(), b.rawString());
    if (a.isString() && b.isEmpty())
        return compareStrings(a.rawString(), QString());
    if (a.isEmpty() && b.isString())
        return compareStrings(QString(), b.rawString());
    if (a.isString())
        return stringVersusNumber(a.rawString(), b, ac, bc, s.locale);
    if (b.isString())
        return -stringVersusNumber(b.rawString(), a, bc, ac, s.locale);
    return compareNumbers(a, b, s.locale);
}

namespace {

// The Boolean an operator gives for the order c (<0, 0, >0) of its operands.
inline Variant comparison(Compare op, int c)
{
    switch (op) {
    case Compare::Eq: return Variant(c == 0);
    case Compare::Ne: return Variant(c != 0);
    case Compare::Lt: return Variant(c < 0);
    case Compare::Gt: return Variant(c > 0);
    case Compare::Le: return Variant(c <= 0);
    case Compare::Ge: return Variant(c >= 0);
    }
    return Variant();
}

} // namespace

Variant compare(const ExecutionSettings &s, Compare op, const Variant &a0, const Variant &b0, bool ac, bool bc)
{
    // A field against a number literal: Long or Double against Integer, say.
    if (isPlainNumber(a0.type()) && isPlainNumber(b0.type())) {
        const double x = plainNumberValue(a0), y = plainNumberValue(b0);
        return comparison(op, x < y ? -1 : x > y ? 1 : 0);
    }
    Variant ha, hb;
    const Variant &a = operand(a0, ha), &b = operand(b0, hb);
    if (a.isNull() || b.isNull())
        return Variant::null();
    const int c = compareValues(s, a, b, ac, bc);
    return comparison(op, c);
}

bool is(const Variant &a, const Variant &b)
{
    if (!a.isObject() || !b.isObject())
        raise(err::ObjectRequired);
    return a.rawObject() == b.rawObject();
}

bool truth(const ExecutionSettings &s, const Variant &v)
{
    switch (v.type()) {
    case VarType::Boolean: return v.rawBool();
    case VarType::Null: case VarType::Empty: return false;
    case VarType::Object: return truth(s, v.valueOf());
    case VarType::Array: raise(err::TypeMismatch);
    default: return v.toBool(s.locale);
    }
}

} // namespace vbscript::ops
