// Scripting.Dictionary driven through its object interface, as scripts reach it.
#include "vbscript/ScriptError.h"
#include "vbscript/library/Dictionary.h"

#include "ErrorNumber.h"
#include "TestMain.h"

#include <QtTest>

using namespace vbscript;
using testsupport::errorNumber;

namespace {

Variant get(Dictionary &d, const char *member, std::vector<Variant> args = {})
{
    return d.get(QString::fromLatin1(member), std::span<Variant>(args));
}

void call(Dictionary &d, const char *member, std::vector<Variant> args = {})
{
    d.call(QString::fromLatin1(member), std::span<Variant>(args));
}

} // namespace

class tst_Dictionary : public QObject
{
    Q_OBJECT

private slots:
    void keepsInsertionOrderAndCounts();
    void numbersAreOneKeyWhateverTheirSubtype();
    void readingAMissingKeyAddsIt();
    void compareModeDecidesTextKeys();
    void errors();
};

void tst_Dictionary::keepsInsertionOrderAndCounts()
{
    Dictionary d;
    call(d, "Add", {Variant("b"), Variant(qint16(2))});
    call(d, "ADD", {Variant("a"), Variant(qint16(1))});
    QCOMPARE(get(d, "Count").rawLong(), 2);
    const Variant keys = get(d, "Keys");
    QCOMPARE(keys.rawArray()->data[0].rawString(), QStringLiteral("b"));
    QCOMPARE(keys.rawArray()->data[1].rawString(), QStringLiteral("a"));
    QCOMPARE(get(d, "Items").rawArray()->data[1].rawInteger(), qint16(1));
    QCOMPARE(d.enumerate().size(), size_t(2));
    call(d, "Remove", {Variant("b")});
    QCOMPARE(get(d, "Keys").rawArray()->data[0].rawString(), QStringLiteral("a"));
    std::vector<Variant> key{Variant("a")};
    d.put(QStringLiteral("Key"), key, Variant("z"), false);
    QVERIFY(get(d, "Exists", {Variant("z")}).rawBool());
    QCOMPARE(get(d, "", {Variant("z")}).rawInteger(), qint16(1));
    call(d, "RemoveAll");
    QCOMPARE(get(d, "Count").rawLong(), 0);
    QCOMPARE(get(d, "Keys").rawArray()->bounds[0].count, 0);
}

void tst_Dictionary::numbersAreOneKeyWhateverTheirSubtype()
{
    Dictionary d;
    call(d, "Add", {Variant(qint16(1)), Variant("one")});
    QVERIFY(get(d, "Exists", {Variant(qint32(1))}).rawBool());
    QVERIFY(get(d, "Exists", {Variant(1.0)}).rawBool());
    QVERIFY(!get(d, "Exists", {Variant("1")}).rawBool());
    auto object = std::make_shared<Dictionary>();
    call(d, "Add", {Variant(std::shared_ptr<Object>(object)), Variant("obj")});
    QVERIFY(get(d, "Exists", {Variant(std::shared_ptr<Object>(object))}).rawBool());
    QVERIFY(!get(d, "Exists", {Variant(std::shared_ptr<Object>(std::make_shared<Dictionary>()))}).rawBool());
}

void tst_Dictionary::readingAMissingKeyAddsIt()
{
    Dictionary d;
    QVERIFY(get(d, "Item", {Variant("x")}).isEmpty());
    QCOMPARE(d.count(), 1);
    std::vector<Variant> key{Variant("y")};
    d.put(QString(), key, Variant(qint16(5)), false);
    QCOMPARE(get(d, "Item", {Variant("y")}).rawInteger(), qint16(5));
    QCOMPARE(d.count(), 2);
}

void tst_Dictionary::compareModeDecidesTextKeys()
{
    Dictionary d;
    std::vector<Variant> none;
    d.put(QStringLiteral("CompareMode"), none, Variant(qint16(1)), false);
    call(d, "Add", {Variant("Key"), Variant()});
    QVERIFY(get(d, "Exists", {Variant("KEY")}).rawBool());
    QCOMPARE(errorNumber<ScriptError>([&] { call(d, "Add", {Variant("kEy"), Variant()}); }), 457);
    // Once keys exist the mode can no longer change.
    QCOMPARE(errorNumber<ScriptError>([&] { d.put(QStringLiteral("comparemode"), none, Variant(qint16(0)), false); }), 5);

    Dictionary binary;
    call(binary, "Add", {Variant("Key"), Variant()});
    QVERIFY(!get(binary, "Exists", {Variant("KEY")}).rawBool());
}

void tst_Dictionary::errors()
{
    Dictionary d;
    call(d, "Add", {Variant("a"), Variant()});
    QCOMPARE(errorNumber<ScriptError>([&] { call(d, "Add", {Variant("a"), Variant()}); }), 457);
    QCOMPARE(errorNumber<ScriptError>([&] { call(d, "Remove", {Variant("missing")}); }), 32811);
    QCOMPARE(errorNumber<ScriptError>([&] { call(d, "Add", {Variant("only key")}); }), 450);
    QCOMPARE(errorNumber<ScriptError>([&] { call(d, "Frobnicate"); }), 438);
    QCOMPARE(errorNumber<ScriptError>([&] { get(d, "Exists", {Variant(SafeArray::create(std::span<const qint32>()))}); }), 13);
    std::vector<Variant> key{Variant("nope")};
    QCOMPARE(errorNumber<ScriptError>([&] { d.put(QStringLiteral("Key"), key, Variant("b"), false); }), 32811);
}

NVTARNIX_TEST_CLASS(tst_Dictionary)
#include "tst_dictionary.moc"
