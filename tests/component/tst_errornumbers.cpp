#include "ErrorNumber.h"
#include "TestMain.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/Expression.h>
#include <nvtarnix/Language.h>
#include <nvtarnix/MemoryRecordset.h>
#include <nvtarnix/Schema.h>
#include <nvtarnix/TarnixObject.h>

#include <QTest>

#include <functional>

using namespace nvtarnix;
using testsupport::raisedError;

// The named numbers of <nvtarnix/Error.h> are the ones a host meets: each
// row makes the component raise one through the public API.
class tst_ErrorNumbers : public QObject
{
    Q_OBJECT
private slots:
    void raisedAsNamed_data();
    void raisedAsNamed();
    void describedInTheUsersLanguage_data();
    void describedInTheUsersLanguage();
};

using Action = std::function<void()>;
Q_DECLARE_METATYPE(Action)

void tst_ErrorNumbers::raisedAsNamed_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("source"); // empty: not compared

    QTest::newRow("time limit") << Action([] {
        ExpressionOptions options;
        options.timeoutMs = 50;
        Expression::compile(QStringLiteral("Execute(\"Do : Loop\")"), options).evaluate(QVariantList());
    }) << int(errors::TimeLimitReached)
                                << QString();
    QTest::newRow("type mismatch while running")
        << Action([] { Expression::compile(QStringLiteral("[A] * 2")).evaluate(QVariantList{QStringLiteral("two")}); })
        << int(errors::TypeMismatch) << QString();
    // The engine reads the number, the component reports it as its own.
    QTest::newRow("variable number") << Action([] {
        TarnixObject o;
        o.AddVariable(QStringLiteral("QTY"), QStringLiteral("Quantity"), QStringLiteral("many"), QStringLiteral("4"));
    }) << int(errors::TypeMismatch) << "nvTarnix";
    QTest::newRow("null expression") << Action([] { Expression().evaluate(QVariantList()); })
                                     << int(errors::ObjectNotSet) << QString();
    QTest::newRow("schema document") << Action([] { Schema().LoadFromText(QStringLiteral("<nope")); })
                                     << int(errors::InvalidSchemaDocument) << QString();
    QTest::newRow("collection position") << Action([] { Schema().Catalogs().Item(1); })
                                         << int(errors::SubscriptOutOfRange) << QString();
    QTest::newRow("collection key") << Action([] { Schema().GetCatalog(QStringLiteral("none")); })
                                    << int(errors::InvalidProcedureCall) << QString();
    QTest::newRow("no current view") << Action([] {
        TarnixObject o;
        // A catalog the schema lacks leaves the wizard without a view.
        testsupport::errorNumber([&] { o.Init(QStringLiteral("nope"), QStringLiteral("list")); });
        o.setScript(QStringLiteral("x"));
    }) << int(errors::CurrentViewMissing)
                                     << QString();
    QTest::newRow("value list field") << Action([] {
        MemoryRecordset rows({QStringLiteral("CODE")});
        rows.Fields(QStringLiteral("NAME"));
    }) << int(errors::ValueListItemNotFound)
                                      << QString();
    QTest::newRow("value list past the end") << Action([] {
        MemoryRecordset rows({QStringLiteral("CODE")});
        rows.Fields(QStringLiteral("CODE"));
    }) << int(errors::ValueListNoCurrentRecord)
                                             << QString();
}

void tst_ErrorNumbers::raisedAsNamed()
{
    QFETCH(Action, action);
    QFETCH(int, number);
    QFETCH(QString, source);
    const std::optional<Error> error = raisedError(action);
    QVERIFY2(error, "no error was raised");
    QCOMPARE(error->number(), number);
    if (!source.isEmpty())
        QCOMPARE(error->source(), source);
}

// An error keeps the text scripts read; a host shows it to its user in the
// user's language, the function's name that follows it kept. What a host or a
// script wrote itself is theirs, whatever its number.
void tst_ErrorNumbers::describedInTheUsersLanguage_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("greek");

    QTest::newRow("run time, with the function") << Action([] {
        Expression::compile(QStringLiteral("CLng(\"x\")")).evaluate(QVariantList());
    }) << "Type mismatch: 'CLng'" << "Ασυμφωνία τύπων: 'CLng'";
    QTest::newRow("compile") << Action([] { Expression::compile(QStringLiteral("1 +")); })
                             << "Syntax error" << "Συντακτικό σφάλμα";
    QTest::newRow("a host's own error under an engine number") << Action([] {
        throw Error(500, QStringLiteral("host"), QStringLiteral("Variable is undefined: 'NOPE'"));
    }) << "Variable is undefined: 'NOPE'" << "Η μεταβλητή δεν έχει δηλωθεί: 'NOPE'";
    QTest::newRow("a script's own text") << Action([] {
        Expression::compile(QStringLiteral("Execute(\"Err.Raise 13, \"\"s\"\", \"\"Bad code\"\"\")"))
            .evaluate(QVariantList());
    }) << "Bad code" << "Bad code";
    QTest::newRow("unknown number") << Action([] {
        throw Error(32004, QStringLiteral("host"), QStringLiteral("There is no rule 9"));
    }) << "There is no rule 9" << "There is no rule 9";
}

void tst_ErrorNumbers::describedInTheUsersLanguage()
{
    QFETCH(Action, action);
    QFETCH(QString, english);
    QFETCH(QString, greek);
    const std::optional<Error> error = raisedError(action);
    QVERIFY2(error, "no error was raised");
    QCOMPARE(error->description(), english);
    QCOMPARE(error->descriptionIn(EnglishLanguage), english);
    QCOMPARE(error->descriptionIn(GreekLanguage), greek);
}

NVTARNIX_TEST_CLASS(tst_ErrorNumbers)
#include "tst_errornumbers.moc"
