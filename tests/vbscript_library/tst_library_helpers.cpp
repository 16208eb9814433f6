// The calendar, random-number and number-text algorithms under the built-in
// functions, checked without going through the engine.
#include "vbscript/library/DateMath.h"
#include "vbscript/library/LocaleFormat.h"
#include "vbscript/library/RandomGenerator.h"

#include "TestMain.h"

#include <QtTest>

using namespace vbscript;
namespace dm = vbscript::datemath;

class tst_LibraryHelpers : public QObject
{
    Q_OBJECT

private slots:
    void linearRoundTrip_data();
    void linearRoundTrip();
    void weekOfYear_data();
    void weekOfYear();
    void dateAdd_data();
    void dateAdd();
    void dateDiff_data();
    void dateDiff();
    void dateSerialRollsOver_data();
    void dateSerialRollsOver();
    void randomSequenceMatchesWindows();
    void randomizeKeepsLowByte();
    void roundedDigits_data();
    void roundedDigits();
};

static double serial(int y, int m, int d) { return dm::serialOf(y, m, d); }

void tst_LibraryHelpers::linearRoundTrip_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<QString>("text");
    QTest::newRow("epoch") << 0.0 << "1899-12-30 00:00:00";
    QTest::newRow("before epoch with time") << -1.25 << "1899-12-29 06:00:00";
    QTest::newRow("half day on day zero") << -0.5 << "1899-12-30 12:00:00";
    QTest::newRow("2000") << 36526.75 << "2000-01-01 18:00:00";
    QTest::newRow("rounds up to next midnight") << 36526.999999999 << "2000-01-02 00:00:00";
    QTest::newRow("negative rounds up") << -1.9999999999 << "1899-12-30 00:00:00";
}

void tst_LibraryHelpers::linearRoundTrip()
{
    QFETCH(double, serial);
    QFETCH(QString, text);
    const auto show = [](double s) {
        const dm::Parts p = dm::split(s);
        return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                                 p.minute, p.second);
    };
    QCOMPARE(show(serial), text);
    QCOMPARE(show(dm::fromLinear(dm::toLinear(serial))), text);
}

void tst_LibraryHelpers::weekOfYear_data()
{
    QTest::addColumn<double>("date");
    QTest::addColumn<int>("firstDay");
    QTest::addColumn<int>("firstWeek");
    QTest::addColumn<int>("week");
    // 2000-01-01 is a Saturday.
    QTest::newRow("jan1 rule") << serial(2000, 1, 1) << 1 << 1 << 1;
    QTest::newRow("jan2 sunday starts week 2") << serial(2000, 1, 2) << 1 << 1 << 2;
    QTest::newRow("four days: belongs to 1999") << serial(2000, 1, 1) << 2 << 2 << 52;
    QTest::newRow("four days: first monday") << serial(2000, 1, 3) << 2 << 2 << 1;
    QTest::newRow("full week: sat before") << serial(2000, 1, 1) << 1 << 3 << 52;
    QTest::newRow("full week: first sunday") << serial(2000, 1, 2) << 1 << 3 << 1;
    QTest::newRow("dec 31 jan1 rule") << serial(2000, 12, 31) << 1 << 1 << 54;
    // Counted within its own year, the last Monday of 2003 is week 53.
    QTest::newRow("late december iso-like") << serial(2003, 12, 29) << 2 << 2 << 53;
    QTest::newRow("iso week 1 of 2004") << serial(2004, 1, 1) << 2 << 2 << 1;
}

void tst_LibraryHelpers::weekOfYear()
{
    QFETCH(double, date);
    QFETCH(int, firstDay);
    QFETCH(int, firstWeek);
    QFETCH(int, week);
    QCOMPARE(dm::weekOfYear(date, firstDay, firstWeek), week);
}

void tst_LibraryHelpers::dateAdd_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<double>("count");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("expected"); // NaN: out of range
    const double nan = qQNaN();
    QTest::newRow("month end clamps") << "m" << 1.0 << serial(2000, 1, 31) << serial(2000, 2, 29);
    QTest::newRow("leap year to plain") << "yyyy" << 1.0 << serial(2000, 2, 29) << serial(2001, 2, 28);
    QTest::newRow("quarter back over year") << "q" << -1.0 << serial(2000, 2, 15) << serial(1999, 11, 15);
    QTest::newRow("fraction dropped") << "d" << 1.9 << serial(2000, 1, 1) << serial(2000, 1, 2);
    QTest::newRow("negative fraction dropped") << "d" << -1.9 << serial(2000, 1, 1) << serial(1999, 12, 31);
    QTest::newRow("week") << "ww" << 2.0 << serial(2000, 1, 1) << serial(2000, 1, 15);
    QTest::newRow("hours cross day") << "h" << 30.0 << serial(2000, 1, 1) << serial(2000, 1, 2) + 0.25;
    QTest::newRow("seconds back before epoch") << "s" << -3600.0 << 0.0 << -1.0 - 23.0 / 24.0;
    QTest::newRow("month keeps time") << "m" << 1.0 << serial(2000, 1, 1) + 0.5 << serial(2000, 2, 1) + 0.5;
    QTest::newRow("past 9999") << "yyyy" << 1.0 << serial(9999, 6, 1) << nan;
    QTest::newRow("before 100") << "d" << -1.0 << serial(100, 1, 1) << nan;
}

void tst_LibraryHelpers::dateAdd()
{
    QFETCH(QString, interval);
    QFETCH(double, count);
    QFETCH(double, from);
    QFETCH(double, expected);
    const auto iv = dm::parseInterval(interval);
    QVERIFY(iv);
    const auto result = dm::add(*iv, count, from);
    if (qIsNaN(expected)) {
        QVERIFY(!result);
    } else {
        QVERIFY(result);
        QCOMPARE(*result, expected);
    }
}

void tst_LibraryHelpers::dateDiff_data()
{
    QTest::addColumn<QString>("interval");
    QTest::addColumn<double>("d1");
    QTest::addColumn<double>("d2");
    QTest::addColumn<int>("firstDay");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("year boundary counts 1") << "yyyy" << serial(1999, 12, 31) << serial(2000, 1, 1) << 1 << qint64(1);
    QTest::newRow("quarter") << "q" << serial(1999, 12, 31) << serial(2000, 4, 1) << 1 << qint64(2);
    QTest::newRow("months backwards") << "m" << serial(2000, 3, 31) << serial(2000, 1, 1) << 1 << qint64(-2);
    QTest::newRow("days ignore time") << "d" << serial(2000, 1, 1) + 0.9 << serial(2000, 1, 2) + 0.1 << 1 << qint64(1);
    QTest::newRow("w counts whole weeks") << "w" << serial(2000, 1, 1) << serial(2000, 1, 14) << 1 << qint64(1);
    QTest::newRow("w negative truncates") << "w" << serial(2000, 1, 14) << serial(2000, 1, 1) << 1 << qint64(-1);
    // Saturday to Sunday crosses one Sunday, none when weeks start on Monday.
    QTest::newRow("ww sunday") << "ww" << serial(2000, 1, 1) << serial(2000, 1, 2) << 1 << qint64(1);
    QTest::newRow("ww monday") << "ww" << serial(2000, 1, 1) << serial(2000, 1, 2) << 2 << qint64(0);
    QTest::newRow("hours across epoch") << "h" << -0.5 << 0.5 << 1 << qint64(0);
    QTest::newRow("hours from day -1") << "h" << -1.0 << 0.0 << 1 << qint64(24);
    QTest::newRow("minutes boundary") << "n" << serial(2000, 1, 1) + 59.0 / 1440 << serial(2000, 1, 1) + 1.0 / 24 << 1 << qint64(1);
    QTest::newRow("seconds") << "s" << 0.0 << 1.0 << 1 << qint64(86400);
}

void tst_LibraryHelpers::dateDiff()
{
    QFETCH(QString, interval);
    QFETCH(double, d1);
    QFETCH(double, d2);
    QFETCH(int, firstDay);
    QFETCH(qint64, expected);
    QCOMPARE(qint64(dm::diff(*dm::parseInterval(interval), d1, d2, firstDay)), expected);
}

void tst_LibraryHelpers::dateSerialRollsOver_data()
{
    QTest::addColumn<double>("y");
    QTest::addColumn<double>("m");
    QTest::addColumn<double>("d");
    QTest::addColumn<double>("expected");
    const double nan = qQNaN();
    QTest::newRow("two digit 29") << 29.0 << 1.0 << 1.0 << serial(2029, 1, 1);
    QTest::newRow("two digit 30") << 30.0 << 1.0 << 1.0 << serial(1930, 1, 1);
    QTest::newRow("month 0") << 2000.0 << 0.0 << 1.0 << serial(1999, 12, 1);
    QTest::newRow("month -13") << 2000.0 << -13.0 << 1.0 << serial(1998, 11, 1);
    QTest::newRow("day 0") << 2000.0 << 3.0 << 0.0 << serial(2000, 2, 29);
    QTest::newRow("day 366") << 2000.0 << 1.0 << 367.0 << serial(2001, 1, 1);
    QTest::newRow("year 10000") << 10000.0 << 1.0 << 1.0 << nan;
    QTest::newRow("rolls past 9999") << 9999.0 << 13.0 << 1.0 << nan;
    QTest::newRow("negative year") << -1.0 << 1.0 << 1.0 << nan;
}

void tst_LibraryHelpers::dateSerialRollsOver()
{
    QFETCH(double, y);
    QFETCH(double, m);
    QFETCH(double, d);
    QFETCH(double, expected);
    const auto result = dm::fromParts(y, m, d);
    if (qIsNaN(expected)) {
        QVERIFY(!result);
    } else {
        QVERIFY(result);
        QCOMPARE(*result, expected);
    }
}

void tst_LibraryHelpers::randomSequenceMatchesWindows()
{
    uint32_t seed = rnd::kInitialSeed;
    const float first[] = {0.7055475f, 0.533424f, 0.5795186f, 0.2895625f, 0.301948f};
    for (float expected : first)
        QVERIFY(qAbs(rnd::next(seed) - expected) < 1e-6f);
    QVERIFY(qAbs(rnd::current(seed) - 0.301948f) < 1e-6f);
    QVERIFY(qAbs(rnd::reseedAndNext(seed, -1.0f) - 0.224007f) < 1e-6f);
    uint32_t other = 12345;
    QCOMPARE(rnd::reseedAndNext(other, -1.0f), rnd::current(seed));
}

void tst_LibraryHelpers::randomizeKeepsLowByte()
{
    uint32_t a = rnd::kInitialSeed, b = rnd::kInitialSeed;
    rnd::next(a);
    rnd::next(b);
    const uint32_t lowByte = a & 0xFFu;
    rnd::randomize(a, 42.0);
    rnd::randomize(b, 42.0);
    QCOMPARE(a, b);
    QCOMPARE(a & 0xFFu, lowByte);
    QCOMPARE(a & ~0xFFFFFFu, 0u);
    rnd::randomize(a, 7.0);
    QVERIFY(a != b);
}

void tst_LibraryHelpers::roundedDigits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("whole");
    QTest::addColumn<QString>("fraction");
    QTest::newRow("half up") << 2.5 << 0 << "3" << "";
    QTest::newRow("binary 1.005 rounds as decimal") << 1.005 << 2 << "1" << "01";
    QTest::newRow("carry into new digit") << 999.996 << 2 << "1000" << "00";
    QTest::newRow("small") << 0.000123 << 4 << "0" << "0001";
    QTest::newRow("padding") << 12.0 << 3 << "12" << "000";
    QTest::newRow("large") << 1234567.891 << 1 << "1234567" << "9";
    QTest::newRow("zero carry") << 0.996 << 2 << "1" << "00";
}

void tst_LibraryHelpers::roundedDigits()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, whole);
    QFETCH(QString, fraction);
    const auto d = localeformat::roundedDigits(value, digits);
    QCOMPARE(d.whole, whole);
    QCOMPARE(d.fraction, fraction);
}

NVTARNIX_TEST_CLASS(tst_LibraryHelpers)
#include "tst_library_helpers.moc"
