// Operator rules on values of every subtype, including those no literal
// produces (Byte, Single, Currency, Date, objects): result subtype, overflow
// into the next wider type, and the errors.

#include "vbscript/OleDate.h"
#include "vbscript/Operators.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"

#include <QTest>

using namespace vbscript;

Q_DECLARE_METATYPE(vbscript::Variant)

namespace {

Variant byte_(int v) { return Variant(quint8(v)); }
Variant int_(int v) { return Variant(qint16(v)); }
Variant long_(qint32 v) { return Variant(v); }
Variant single_(float v) { return Variant(v); }
Variant cur(double v) { return Variant::currency(qint64(v * 10000)); }
Variant date_(double v) { return Variant::date(v); }

// A default-valued object, as script classes and host objects are.
class Boxed : public Object
{
public:
    explicit Boxed(Variant v) : m_v(std::move(v)) {}
    QString typeName() const override { return QStringLiteral("Boxed"); }
    Variant get(const QString &name, std::span<Variant>) override
    {
        if (name.isEmpty())
            return m_v;
        raise(err::ObjectDoesntSupportProperty);
    }

private:
    Variant m_v;
};

Variant boxed(Variant v) { return Variant(std::static_pointer_cast<Object>(std::make_shared<Boxed>(std::move(v)))); }

using BinaryFn = Variant (*)(const ExecutionSettings &, const Variant &, const Variant &);

const ExecutionSettings &english()
{
    static const ExecutionSettings s{ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)), Limits()};
    return s;
}

} // namespace

class tst_Operators : public QObject
{
    Q_OBJECT

private slots:
    void binary_data()
    {
        QTest::addColumn<Variant>("a");
        QTest::addColumn<Variant>("b");
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("expected");  // "TypeName\tvalue" or "error N"
        auto row = [](const char *name, Variant a, Variant b, const char *op, const char *expected) {
            QTest::newRow(name) << a << b << QString::fromLatin1(op) << QString::fromUtf8(expected);
        };
        row("byte + byte stays byte", byte_(100), byte_(100), "+", "Byte\t200");
        row("byte + byte overflows to integer", byte_(200), byte_(100), "+", "Integer\t300");
        row("byte - byte below zero", byte_(1), byte_(2), "-", "Integer\t-1");
        row("integer * integer to long", int_(300), int_(300), "*", "Long\t90000");
        row("long + long to double", long_(2147483647), long_(1), "+", "Double\t2147483648");
        row("single + integer", single_(1.5f), int_(1), "+", "Single\t2.5");
        row("single + long is double", single_(1.5f), long_(1), "+", "Double\t2.5");
        row("single / byte", single_(1), byte_(4), "/", "Single\t0.25");
        row("currency + single", cur(1.25), single_(1), "+", "Currency\t2.25");
        row("currency * currency", cur(1.5), cur(1.5), "*", "Currency\t2.25");
        row("currency * long", cur(1.5), long_(3), "*", "Currency\t4.5");
        row("currency overflow", cur(900000000000000.0), cur(900000000000000.0), "+", "error 6");
        row("currency \\ integer", cur(7.5), int_(2), "\\", "Long\t4");
        row("date + currency", date_(36526), cur(1), "+", "Date\t2000-01-02 00:00:00");
        row("date - date", date_(36527.5), date_(36526), "-", "Double\t1.5");
        row("date past 9999", date_(2958465), long_(1), "+", "error 6");
        row("boolean + boolean", Variant(true), Variant(true), "+", "Integer\t-2");
        row("boolean \\ boolean", Variant(true), Variant(true), "\\", "Integer\t1");
        row("empty + byte unchanged", Variant(), byte_(7), "+", "Byte\t7");
        row("empty - byte", Variant(), byte_(7), "-", "Integer\t-7");
        row("empty + string", Variant(), Variant("s"), "+", "String\ts");
        row("string + date", Variant("1"), date_(36526), "+", "Date\t2000-01-02 00:00:00");
        row("integer mod overflow", int_(-32768), int_(-1), "\\", "Long\t32768");
        row("mod keeps dividend sign", long_(-7), long_(3), "Mod", "Long\t-1");
        row("double to long rounds half even", Variant(2.5), Variant(1.0), "\\", "Long\t2");
        row("double too big for long", Variant(1e10), Variant(1.0), "\\", "error 6");
        row("null / zero", Variant::null(), int_(0), "/", "Null\t");
        row("zero / zero", int_(0), int_(0), "/", "error 6");
        row("negative to fraction", Variant(-8.0), Variant(1.0 / 3), "^", "error 5");
        row("power overflow", Variant(10.0), Variant(400.0), "^", "error 6");
        row("object default value", boxed(int_(20)), int_(22), "+", "Integer\t42");
        row("object concat", boxed(Variant("a")), Variant("b"), "&", "String\tab");
        row("nothing in arithmetic", Variant::nothing(), int_(1), "+", "error 91");
        row("array in arithmetic", Variant(std::make_shared<SafeArray>()), int_(1), "+", "error 13");
        row("byte and byte", byte_(12), byte_(10), "And", "Byte\t8");
        row("byte or integer", byte_(1), int_(2), "Or", "Integer\t3");
        row("currency and", cur(3), int_(1), "And", "Long\t1");
        row("string imp", Variant("0"), Variant("0"), "Imp", "Long\t-1");
        row("null and zero", Variant::null(), int_(0), "And", "Integer\t0");
        row("null or all bits", Variant::null(), int_(-1), "Or", "Integer\t-1");
        row("null eqv", Variant::null(), Variant(true), "Eqv", "Null\t");
        row("byte imp null", byte_(255), Variant::null(), "Imp", "Byte\t0");
        row("long imp null", long_(5), Variant::null(), "Imp", "Null\t");
        row("null imp true", Variant::null(), Variant(true), "Imp", "Boolean\tTrue");
    }

    void binary()
    {
        QFETCH(Variant, a);
        QFETCH(Variant, b);
        QFETCH(QString, op);
        QFETCH(QString, expected);
        static const QHash<QString, BinaryFn> fns = {
            {QStringLiteral("+"), ops::add}, {QStringLiteral("-"), ops::subtract},
            {QStringLiteral("*"), ops::multiply}, {QStringLiteral("/"), ops::divide},
            {QStringLiteral("\\"), ops::intDivide}, {QStringLiteral("Mod"), ops::modulo},
            {QStringLiteral("^"), ops::power}, {QStringLiteral("&"), ops::concat},
            {QStringLiteral("And"), ops::logicalAnd}, {QStringLiteral("Or"), ops::logicalOr},
            {QStringLiteral("Eqv"), ops::logicalEqv}, {QStringLiteral("Imp"), ops::logicalImp},
        };
        QString got;
        try {
            got = ValueText::resultLine(fns.value(op)(english(), a, b));
        } catch (const ScriptError &e) {
            got = QStringLiteral("error %1").arg(e.number());
        }
        QCOMPARE(got, expected);
    }

    // Strings against numbers, by where each comes from: a number literal
    // converts the string, a string literal converts the number to text, and
    // between two Variants the number is the lesser.
    void stringVersusNumber_data()
    {
        QTest::addColumn<Variant>("text");
        QTest::addColumn<bool>("textIsLiteral");
        QTest::addColumn<Variant>("number");
        QTest::addColumn<bool>("numberIsLiteral");
        QTest::addColumn<QString>("expected");  // sign of text vs number, or error
        QTest::newRow("number literal, numeric text") << Variant("10") << false << int_(9) << true << "1";
        QTest::newRow("number literal, other text") << Variant("x") << false << int_(9) << true << "error 13";
        QTest::newRow("both literals") << Variant("x") << true << int_(9) << true << "error 13";
        QTest::newRow("text literal compares as text") << Variant("10") << true << long_(9) << false << "-1";
        QTest::newRow("text literal, equal text") << Variant("9") << true << long_(9) << false << "0";
        QTest::newRow("text literal, blank") << Variant(" ") << true << long_(9) << false << "-1";
        QTest::newRow("text literal, empty") << Variant("") << true << long_(0) << false << "-1";
        QTest::newRow("two variants, numeric text") << Variant("10") << false << long_(9) << false << "1";
        QTest::newRow("two variants, smaller text") << Variant("1") << false << long_(9) << false << "1";
        QTest::newRow("two variants, empty text") << Variant("") << false << long_(0) << false << "1";
        QTest::newRow("boolean by name") << Variant("True") << false << Variant(true) << false << "0";
        QTest::newRow("date literal") << Variant("1/2/2000") << false << date_(36527) << true << "0";
        QTest::newRow("null text") << Variant::null() << false << long_(1) << false << "error 94";
    }

    void stringVersusNumber()
    {
        QFETCH(Variant, text);
        QFETCH(bool, textIsLiteral);
        QFETCH(Variant, number);
        QFETCH(bool, numberIsLiteral);
        QFETCH(QString, expected);
        QString got;
        try {
            got = QString::number(ops::compareValues(english(), text, number, textIsLiteral, numberIsLiteral));
            // The same pair the other way round gives the opposite answer.
            const int reversed = ops::compareValues(english(), number, text, numberIsLiteral, textIsLiteral);
            QCOMPARE(reversed, -got.toInt());
        } catch (const ScriptError &e) {
            got = QStringLiteral("error %1").arg(e.number());
        }
        QCOMPARE(got, expected);
    }

    void unaryAndTruth()
    {
        QCOMPARE(ValueText::resultLine(ops::negate(english(), int_(-32768))), QStringLiteral("Long\t32768"));
        QCOMPARE(ValueText::resultLine(ops::negate(english(), byte_(3))), QStringLiteral("Integer\t-3"));
        QCOMPARE(ValueText::resultLine(ops::negate(english(), cur(2.5))), QStringLiteral("Currency\t-2.5"));
        QCOMPARE(ValueText::resultLine(ops::logicalNot(english(), byte_(1))), QStringLiteral("Byte\t254"));
        QCOMPARE(ValueText::resultLine(ops::logicalNot(english(), Variant(1.5))), QStringLiteral("Long\t-3"));
        QVERIFY(!ops::truth(english(), Variant::null()));
        QVERIFY(ops::truth(english(), Variant("True")));
        QVERIFY(ops::truth(english(), boxed(long_(2))));
        QVERIFY_THROWS_EXCEPTION(ScriptError, ops::truth(english(), Variant("maybe")));
        QVERIFY(ops::is(Variant::nothing(), Variant::nothing()));
        QVERIFY_THROWS_EXCEPTION(ScriptError, ops::is(Variant(), Variant::nothing()));
    }
};

NVTARNIX_TEST_CLASS(tst_Operators)
#include "tst_operators.moc"
