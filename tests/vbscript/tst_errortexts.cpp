// The engine's error texts in the user's language: the wizard shows Greek
// for the engine's own errors, while scripts keep reading VBScript's English
// texts in Err.Description.

#include "vbscript/ScriptControl.h"
#include "vbscript/ScriptError.h"

#include <QTest>

#include "TestMain.h"

using namespace vbscript;

namespace {

constexpr int Greek = 1032;
constexpr int English = 1033;

ScriptControl *newControl()
{
    auto *sc = new ScriptControl;
    sc->setLanguage(QStringLiteral("vbscript"));
    sc->setAllowUI(false);
    return sc;
}

// The error that evaluating expression raises.
ScriptError failureOf(const QString &expression)
{
    std::unique_ptr<ScriptControl> sc(newControl());
    try {
        sc->eval(expression);
    } catch (const ScriptError &e) {
        return e;
    }
    return {};
}

} // namespace

class tst_ErrorTexts : public QObject
{
    Q_OBJECT
private slots:
    void descriptionInLanguage_data()
    {
        QTest::addColumn<QString>("expression");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("greek");

        QTest::newRow("compile error") << "(1 +)" << 1023 << "Expected expression" << "Αναμενόταν έκφραση";
        QTest::newRow("run-time error") << "1 / 0" << 11 << "Division by zero" << "Διαίρεση με το μηδέν";
        QTest::newRow("with the function's name") << "CLng(\"many\")" << 13 << "Type mismatch: 'CLng'"
                                                  << "Ασυμφωνία τύπων: 'CLng'";
        QTest::newRow("undefined name") << "Nope(1)" << 13 << "Type mismatch: 'Nope'" << "Ασυμφωνία τύπων: 'Nope'";
        QTest::newRow("raised with VBScript's number") << "Err.Raise(70)" << 70 << "Permission denied"
                                                       << "Δεν επιτρέπεται η πρόσβαση";
        QTest::newRow("raised with a number of its own") << "Err.Raise(9999)" << 9999 << "Unknown runtime error"
                                                         << "Άγνωστο σφάλμα εκτέλεσης";
        // A text the script wrote is its own, in any language.
        QTest::newRow("raised with a text") << "Err.Raise(513, \"Host\", \"Stock too low\")" << 513
                                            << "Stock too low" << "Stock too low";
        QTest::newRow("raised with VBScript's number and a text")
            << "Err.Raise(13, , \"Not a date\")" << 13 << "Not a date" << "Not a date";
    }

    void descriptionInLanguage()
    {
        QFETCH(QString, expression);
        QFETCH(int, number);
        QFETCH(QString, english);
        QFETCH(QString, greek);

        const ScriptError error = failureOf(expression);
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), english);
        QCOMPARE(error.descriptionIn(English), english);
        QCOMPARE(error.descriptionIn(0), english);
        QCOMPARE(error.descriptionIn(Greek), greek);
    }

    void scriptsReadEnglish()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->addCode(QStringLiteral("On Error Resume Next\nx = 1 / 0\nd = Err.Description\n"));
        QCOMPARE(sc->eval(QStringLiteral("d")).rawString(), QStringLiteral("Division by zero"));
    }

    // Every text of VBScript's that the engine knows has a Greek text too.
    void everyTextHasGreek()
    {
        int texts = 0;
        QList<int> numbers;
        for (int n = 1; n <= 33000; ++n)
            numbers << n;
        numbers << err::TimeLimitReached;
        for (int n : numbers) {
            const QString english = ScriptError::standardText(n);
            if (english.isEmpty())
                continue;
            ++texts;
            QCOMPARE(ScriptError::standardText(n, English), english);
            const QString greek = ScriptError::standardText(n, Greek);
            QVERIFY2(greek != english, qPrintable(QString::number(n)));
            QVERIFY2(greek.contains(QRegularExpression(QStringLiteral("\\p{Greek}"))), qPrintable(greek));
        }
        QVERIFY(texts > 100);
    }
};

NVTARNIX_TEST_CLASS(tst_ErrorTexts)
#include "tst_errortexts.moc"
