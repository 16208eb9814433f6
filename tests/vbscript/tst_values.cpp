// Variant conversions as the component and the value list use them directly,
// OLE dates, and locale-dependent text.

#include "vbscript/OleDate.h"
#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"
#include "vbscript/ScriptLocale.h"
#include "vbscript/ValueText.h"
#include "vbscript/Variant.h"

#include "ErrorNumber.h"
#include "ProcessState.h"
#include "TestMain.h"

#include <QTest>

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
        ScriptLocaleScope scope(english());
        qint32 got = 0;
        QCOMPARE(errorNumber<ScriptError>([&] { got = Variant(text).toLong(); }), error);
        if (!error)
            QCOMPARE(got, value);
    }

    void conversionsOfSpecialValues()
    {
        ScriptLocaleScope scope(english());
        QCOMPARE(errorNumber<ScriptError>([] { Variant::null().toLong(); }), 94);
        QCOMPARE(errorNumber<ScriptError>([] { Variant::null().toString(); }), 94);
        QCOMPARE(errorNumber<ScriptError>([] { Variant::nothing().toLong(); }), 91);
        QCOMPARE(errorNumber<ScriptError>([] { Variant(qint32(40000)).toInteger(); }), 6);
        QCOMPARE(errorNumber<ScriptError>([] { Variant(-0.6).toByte(); }), 6);
        QCOMPARE(errorNumber<ScriptError>([] { Variant(1e300).toSingle(); }), 6);
        QCOMPARE(Variant().toLong(), 0);
        QCOMPARE(Variant().toString(), QString());
        QCOMPARE(Variant(true).toInteger(), qint16(-1));
        QCOMPARE(Variant(QStringLiteral("#FALSE#")).toBool(), false);
        QCOMPARE(Variant::currency(25000).toLong(), 2);   // 2.5 -> 2
        QCOMPARE(Variant::currency(35000).toLong(), 4);   // 3.5 -> 4
        QCOMPARE(Variant(1.23456).toCurrency(), qint64(12346));
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
        {
            ScriptLocaleScope scope(::english());
            QCOMPARE(value.toString(), english);
        }
        ScriptLocaleScope scope(greek());
        QCOMPARE(value.toString(), greekText);
    }

    void greekReadsCommaDecimals()
    {
        ScriptLocaleScope scope(greek());
        QCOMPARE(Variant(QStringLiteral("1,5")).toDouble(), 1.5);
        QCOMPARE(Variant(QStringLiteral("1.234,5")).toDouble(), 1234.5);
        QCOMPARE(OleDate::formatIso(Variant(QStringLiteral("2/1/2000")).toDate()), QStringLiteral("2000-01-02 00:00:00"));
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
        QCOMPARE(Variant::fromQVariant(QVariant(7)).toLong(), 7);
    }

    void errorTexts()
    {
        const ScriptError e = ScriptError::runtime(13, QStringLiteral("foo"));
        QCOMPARE(e.description(), QStringLiteral("Type mismatch: 'foo'"));
        QCOMPARE(e.source(), QStringLiteral("Microsoft VBScript runtime error"));
        const ScriptError c = ScriptError::compile(1025, 2, 4, QStringLiteral("x y"));
        QCOMPARE(c.description(), QStringLiteral("Expected end of statement"));
        QCOMPARE(c.source(), QStringLiteral("Microsoft VBScript compilation error"));
        QCOMPARE(c.line(), 2);
        QCOMPARE(ScriptError::runtime(424).description(), QStringLiteral("Object required"));
    }
};

NVTARNIX_TEST_CLASS(tst_Values)
#include "tst_values.moc"
