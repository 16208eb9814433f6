// Variant conversions as the component and the value list use them directly,
// OLE dates, and locale-dependent text.

#include "vbscript/OleDate.h"
#include "vbscript/Rounding.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/ValueText.h"
#include "vbscript/Variant.h"
#include "vbscript/WideArithmetic.h"

#include "ErrorNumber.h"
#include "ProcessState.h"
#include "TestMain.h"

#include <QDate>
#include <QTest>

#include <limits>

using namespace vbscript;
using testsupport::errorNumber;

namespace {
const ScriptLocale &english()
{
    static const ScriptLocale l(QLocale(QLocale::English, QLocale::UnitedStates));
    return l;
}
const ScriptLocale &greek()
{
    static const ScriptLocale l(QLocale(QLocale::Greek, QLocale::Greece));
    return l;
}

} // namespace

class tst_Values : public QObject
{
    Q_OBJECT

private slots:
    void textToLong_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("error");
        QTest::newRow("hex with blanks") << "  &H10 " << 16 << 0;
        QTest::newRow("octal") << "&O17" << 15 << 0;
        QTest::newRow("32-bit hex") << "&HFFFFFFFF" << -1 << 0;
        QTest::newRow("16-bit hex as the literal") << "&HFFFF" << -1 << 0;
        QTest::newRow("17-bit hex") << "&H10000" << 65536 << 0;
        QTest::newRow("sign and blanks") << " -42 " << -42 << 0;
        QTest::newRow("exponent") << "1.5e3" << 1500 << 0;
        QTest::newRow("half to even") << "2.5" << 2 << 0;
        QTest::newRow("half to even up") << "3.5" << 4 << 0;
        QTest::newRow("group separator") << "1,234" << 1234 << 0;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("blank") << "   " << 0 << 13;
        QTest::newRow("letters") << "12a" << 0 << 13;
        QTest::newRow("bare exponent") << "1e" << 0 << 13;
        QTest::newRow("too big") << "3000000000" << 0 << 6;
    }

    void textToLong()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        QFETCH(int, error);
        qint32 got = 0;
        QCOMPARE(errorNumber<ScriptError>([&] { got = Variant(text).toLong(english()); }), error);
        if (!error)
            QCOMPARE(got, value);
    }

    void conversionsOfSpecialValues()
    {
        const ScriptLocale &en = english();
        QCOMPARE(errorNumber<ScriptError>([&] { Variant::null().toLong(en); }), 94);
        QCOMPARE(errorNumber<ScriptError>([&] { Variant::null().toString(en); }), 94);
        QCOMPARE(errorNumber<ScriptError>([&] { Variant::nothing().toLong(en); }), 91);
        QCOMPARE(errorNumber<ScriptError>([&] { Variant(qint32(40000)).toInteger(en); }), 6);
        QCOMPARE(errorNumber<ScriptError>([&] { Variant(-0.6).toByte(en); }), 6);
        QCOMPARE(errorNumber<ScriptError>([&] { Variant(1e300).toSingle(en); }), 6);
        QCOMPARE(Variant().toLong(en), 0);
        QCOMPARE(Variant().toString(en), QString());
        QCOMPARE(Variant(true).toInteger(en), qint16(-1));
        QCOMPARE(Variant(QStringLiteral("#FALSE#")).toBool(en), false);
        QCOMPARE(Variant::currency(25000).toLong(en), 2);   // 2.5 -> 2
        QCOMPARE(Variant::currency(35000).toLong(en), 4);   // 3.5 -> 4
        QCOMPARE(Variant(1.23456).toCurrency(en), qint64(12346));
    }

    void numberText_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("greekText");
        QTest::newRow("double") << Variant(1.5) << "1.5" << "1,5";
        QTest::newRow("fifteen digits") << Variant(1.0 / 3) << "0.333333333333333" << "0,333333333333333";
        QTest::newRow("large") << Variant(1e20) << "1E+20" << "1E+20";
        QTest::newRow("small") << Variant(0.00001) << "1E-05" << "1E-05";
        QTest::newRow("single") << Variant(float(0.1)) << "0.1" << "0,1";
        QTest::newRow("currency") << Variant::currency(-12345) << "-1.2345" << "-1,2345";
        QTest::newRow("boolean") << Variant(true) << "True" << "True";
        QTest::newRow("date") << Variant::date(36527.5) << "1/2/2000 12:00:00 PM" << "2/1/2000 12:00:00 μ.μ.";
        QTest::newRow("day zero") << Variant::date(0) << "12:00:00 AM" << "12:00:00 π.μ.";
    }

    void numberText()
    {
        QFETCH(Variant, value);
        QFETCH(QString, english);
        QFETCH(QString, greekText);
        QCOMPARE(value.toString(::english()), english);
        QCOMPARE(value.toString(greek()), greekText);
    }

    void greekReadsCommaDecimals()
    {
        QCOMPARE(Variant(QStringLiteral("1,5")).toDouble(greek()), 1.5);
        QCOMPARE(Variant(QStringLiteral("1.234,5")).toDouble(greek()), 1234.5);
        QCOMPARE(OleDate::formatIso(Variant(QStringLiteral("2/1/2000")).toDate(greek())), QStringLiteral("2000-01-02 00:00:00"));
    }

    // A Qt program runs with its user's LC_NUMERIC. Under a comma-decimal one
    // the engine still reads number literals and the text it converts by
    // its own locale, never by the C library's.
    void decimalsWhateverTheProcessLocale_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("result");
        QTest::newRow("literal") << "0.5 + 1" << "Double\t1.5";
        QTest::newRow("literal without integer part") << ".5e1" << "Double\t5";
        QTest::newRow("text with exponent") << "CLng(\"1.5e3\")" << "Long\t1500";
        QTest::newRow("text rounded half to even") << "CLng(\"3.5\")" << "Long\t4";
        QTest::newRow("character code") << "Chr(119.5)" << "String\tx";
    }
    void decimalsWhateverTheProcessLocale()
    {
        QFETCH(QString, expression);
        QFETCH(QString, result);
        const testsupport::ScopedNumericLocale greekNumbers("el_GR.UTF-8");
        QVERIFY2(greekNumbers.isActive(), "el_GR.UTF-8 is not installed; scripts/install-deps.sh generates it");
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setLocale(english());
        QCOMPARE(ValueText::resultLine(sc.eval(expression)), result);
    }

    void oleDates_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QString>("iso");
        QTest::newRow("epoch") << 0.0 << "1899-12-30 00:00:00";
        QTest::newRow("y2k noon") << 36526.5 << "2000-01-01 12:00:00";
        QTest::newRow("before epoch") << -1.25 << "1899-12-29 06:00:00";
        QTest::newRow("leap day") << 36585.0 << "2000-02-29 00:00:00";
        QTest::newRow("first year") << OleDate::kMin << "0100-01-01 00:00:00";
        QTest::newRow("rounds to next day") << 1.9999999 << "1900-01-01 00:00:00";
    }

    void oleDates()
    {
        QFETCH(double, serial);
        QFETCH(QString, iso);
        QCOMPARE(OleDate::formatIso(serial), iso);
        const DateParts p = OleDate::toParts(serial);
        QCOMPARE(OleDate::formatIso(OleDate::fromParts(p)), iso);
    }

    void datesRollOver()
    {
        QCOMPARE(OleDate::formatIso(*OleDate::fromPartsRolling(2000, 14, 1)), QStringLiteral("2001-02-01 00:00:00"));
        QCOMPARE(OleDate::formatIso(*OleDate::fromPartsRolling(2000, 3, 0)), QStringLiteral("2000-02-29 00:00:00"));
        QCOMPARE(OleDate::formatIso(*OleDate::fromPartsRolling(2000, 1, 1, 25, 0, -1)),
                 QStringLiteral("2000-01-02 00:59:59"));
        QVERIFY(!OleDate::fromPartsRolling(10000, 1, 1));
    }

    void dateParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("iso");
        QTest::newRow("month first") << "1/2/2000" << "2000-01-02 00:00:00";
        QTest::newRow("impossible month swaps") << "13/1/2000" << "2000-01-13 00:00:00";
        QTest::newRow("iso") << "2000-01-02 13:45:30" << "2000-01-02 13:45:30";
        QTest::newRow("month name") << "March 5, 2001" << "2001-03-05 00:00:00";
        QTest::newRow("pm") << "1/2/2000 1:45:30 PM" << "2000-01-02 13:45:30";
        QTest::newRow("midnight am") << "12:00 AM" << "1899-12-30 00:00:00";
        QTest::newRow("two-digit year") << "1/2/29" << "2029-01-02 00:00:00";
        QTest::newRow("no date") << "hello" << "";
        QTest::newRow("bad day") << "2/30/2000" << "";
        QTest::newRow("bad hour") << "25:00" << "";
        QTest::newRow("month and year") << "2/2001" << "2001-02-01 00:00:00";
        QTest::newRow("year and month") << "2001/2" << "2001-02-01 00:00:00";
        QTest::newRow("day and month of this year")
            << "1/2" << QStringLiteral("%1-01-02 00:00:00").arg(QDate::currentDate().year());
        QTest::newRow("month name and year") << "March 2001" << "2001-03-01 00:00:00";
        QTest::newRow("year before month name") << "2001 March 5" << "2001-03-05 00:00:00";
        QTest::newRow("hour with designator") << "3 PM" << "1899-12-30 15:00:00";
        QTest::newRow("time before the epoch runs forward") << "12/29/1899 6:00" << "1899-12-29 06:00:00";
        QTest::newRow("designator without a time") << "1/2/2000 PM" << "";
        QTest::newRow("two month names") << "March April 2000" << "";
        QTest::newRow("four numbers") << "1/2/3/2000" << "";
    }

    void dateParsing()
    {
        QFETCH(QString, text);
        QFETCH(QString, iso);
        const auto d = OleDate::parse(text, english());
        QCOMPARE(d ? OleDate::formatIso(*d) : QString(), iso);
    }

    void qvariantRoundTrip()
    {
        QCOMPARE(Variant::fromQVariant(QVariant()).type(), VarType::Null);
        QCOMPARE(Variant::fromQVariant(QVariant(42)).type(), VarType::Long);
        QCOMPARE(Variant::fromQVariant(QVariant(qlonglong(1) << 40)).type(), VarType::Double);
        QCOMPARE(Variant::fromQVariant(QVariant(QStringLiteral("x"))).rawString(), QStringLiteral("x"));
        const QDateTime dt(QDate(2000, 1, 2), QTime(3, 4, 5));
        const Variant d = Variant::fromQVariant(dt);
        QCOMPARE(d.type(), VarType::Date);
        QCOMPARE(d.toQVariant().toDateTime(), dt);
        QVERIFY(Variant::null().toQVariant().isNull());
        QVERIFY(!Variant().toQVariant().isNull());
        QCOMPARE(Variant().toQVariant().toString(), QString());
        QCOMPARE(Variant::fromQVariant(QVariant(7)).toLong(english()), 7);
    }

    // Currency products need 128 bits before they are scaled back; the
    // portable path must agree with the compiler's 128-bit integer.
    void wideProducts_data()
    {
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<qint64>("product");  // a * b / 10000, halves to even
        const qint64 max = std::numeric_limits<qint64>::max(), min = std::numeric_limits<qint64>::min();
        QTest::newRow("1.5 * 1.5") << qint64(15000) << qint64(15000) << true << qint64(22500);
        QTest::newRow("half up to even") << qint64(15) << qint64(5000) << true << qint64(8);      // 7.5 -> 8
        QTest::newRow("half down to even") << qint64(5) << qint64(5000) << true << qint64(2);     // 2.5 -> 2
        QTest::newRow("negative half to even") << qint64(-5) << qint64(5000) << true << qint64(-2);
        QTest::newRow("just over half") << qint64(5001) << qint64(1) << true << qint64(1);
        QTest::newRow("largest times one") << max << qint64(10000) << true << max;
        QTest::newRow("smallest times one") << min << qint64(10000) << true << min;
        QTest::newRow("smallest negated") << min << qint64(-10000) << false << qint64(0);
        QTest::newRow("far too large") << max << max << false << qint64(0);
        QTest::newRow("large both ways") << qint64(922337203685477) << qint64(-100000000) << true
                                         << qint64(-9223372036854770000);
    }

    void wideProducts()
    {
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(bool, fits);
        QFETCH(qint64, product);
        qint64 native = 0, portable = 0;
        QCOMPARE(multiplyDivideChecked(a, b, 10000, &native), fits);
        QCOMPARE(portable::multiplyDivideChecked(a, b, 10000, &portable), fits);
        if (fits) {
            QCOMPARE(native, product);
            QCOMPARE(portable, product);
        }
    }

    void wideProductsAgreeEverywhere()
    {
        // Values spread over the whole range, and products across it.
        quint64 x = 0x9E3779B97F4A7C15ull;
        for (int i = 0; i < 20000; ++i) {
            x ^= x << 13, x ^= x >> 7, x ^= x << 17;
            const qint64 a = qint64(x) >> (i % 48);
            const qint64 b = qint64(x * 0x2545F4914F6CDD1Dull) >> (63 - i % 40);
            qint64 native = 0, portable = 0;
            const bool fitsNative = multiplyDivideChecked(a, b, 10000, &native);
            QCOMPARE(portable::multiplyDivideChecked(a, b, 10000, &portable), fitsNative);
            if (fitsNative)
                QCOMPARE(portable, native);
        }
        qint64 sum = 0;
        QVERIFY(!addChecked(std::numeric_limits<qint64>::max(), 1, &sum));
        QVERIFY(!subtractChecked(std::numeric_limits<qint64>::min(), 1, &sum));
        QVERIFY(addChecked(-5, 3, &sum) && sum == -2);
    }

    void roundingHalvesToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("2.5") << 2.5 << 2.0;
        QTest::newRow("3.5") << 3.5 << 4.0;
        QTest::newRow("-2.5") << -2.5 << -2.0;
        QTest::newRow("-3.5") << -3.5 << -4.0;
        QTest::newRow("2.4999") << 2.4999 << 2.0;
        QTest::newRow("beyond fractions") << 9007199254740993.0 << 9007199254740993.0;
    }

    void roundingHalvesToEven()
    {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfEven(value), rounded);
        QCOMPARE(double(divideRoundHalfEven(qint64(value * 10), 10)), rounded);
    }

    void errorTexts()
    {
        const ScriptError e = ScriptError::runtime(err::TypeMismatch, QStringLiteral("foo"));
        QCOMPARE(e.description(), QStringLiteral("Type mismatch: 'foo'"));
        QCOMPARE(e.source(), QStringLiteral("Microsoft VBScript runtime error"));
        const ScriptError c = ScriptError::compile(err::ExpectedEndOfStatement, 2, 4, QStringLiteral("x y"));
        QCOMPARE(c.description(), QStringLiteral("Expected end of statement"));
        QCOMPARE(c.source(), QStringLiteral("Microsoft VBScript compilation error"));
        QCOMPARE(c.line(), 2);
        QCOMPARE(ScriptError::runtime(err::ObjectRequired).description(), QStringLiteral("Object required"));
    }
};

NVTARNIX_TEST_CLASS(tst_Values)
#include "tst_values.moc"
