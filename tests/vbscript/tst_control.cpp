// The ScriptControl as a host drives it: where errors lie and how they are
// described, Reset, the safety limits, the host's dialogs and locales. What
// scripts do is tested by the script files (tst_scripts.cpp).

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"

#include <QTest>

using namespace vbscript;

namespace {

const ScriptLocale &english()
{
    static const ScriptLocale l(QLocale(QLocale::English, QLocale::UnitedStates));
    return l;
}

// A host object whose end a test can watch.
class Watched : public Object
{
public:
    QString typeName() const override { return QStringLiteral("Watched"); }
};

ScriptControl *newControl()
{
    auto *sc = new ScriptControl;
    sc->setLanguage(QStringLiteral("vbscript"));
    sc->setAllowUI(false);
    sc->setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    return sc;
}

} // namespace

class tst_Control : public QObject
{
    Q_OBJECT

private slots:
    // Where errors lie: line 1-based, column 0-based, text of the line.
    void errorPositions_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("source");
        const QString compile = ScriptError::compileSource();
        const QString runtime = ScriptError::runtimeSource();
        QTest::newRow("syntax") << "x = 1\ny = (2 +\n" << 1002 << 2 << 8 << compile;
        QTest::newRow("expected expression") << "x = 1\ny = (2 + Then)" << 1023 << 2 << 9 << compile;
        QTest::newRow("unterminated") << "a = 1\nb = \"abc" << 1033 << 2 << 8 << compile;
        QTest::newRow("missing then") << "If x Else" << 1017 << 1 << 5 << compile;
        QTest::newRow("missing next") << "For i = 1 To 2\nx = 1\n" << 1020 << 3 << 0 << compile;
        QTest::newRow("exit outside loop") << "Exit Do" << 1039 << 1 << 5 << compile;
        QTest::newRow("parens on sub call") << "Sub S(a, b)\nEnd Sub\nS(1, 2)" << 1044 << 3 << 0 << compile;
        QTest::newRow("name redefined") << "Dim a\nFunction A()\nEnd Function" << 1041 << 2 << 9 << compile;
        QTest::newRow("runtime") << "x = 1\n  y = x / 0" << 11 << 2 << 2 << runtime;
        QTest::newRow("elseif condition") << "x = 1\nIf x = 2 Then\nx = 3\n  ElseIf 1 / 0 Then\nEnd If" << 11 << 4 << 2 << runtime;
        QTest::newRow("loop condition") << "Do\n Loop Until 1 / 0" << 11 << 2 << 1 << runtime;
        QTest::newRow("while condition") << "x = 0\nWhile 1 / x\nWend" << 11 << 2 << 0 << runtime;
        QTest::newRow("case value") << "Select Case 1\nCase 2\nCase 1 / 0\nEnd Select" << 11 << 3 << 0 << runtime;
        QTest::newRow("for bound") << "x = 1\nFor i = 1 To \"z\"\nNext" << 13 << 2 << 0 << runtime;
        QTest::newRow("runtime in procedure") << "Sub S()\n  z = 1 + \"q\"\nEnd Sub\nS" << 13 << 2 << 2 << runtime;
    }

    void errorPositions()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, source);
        std::unique_ptr<ScriptControl> sc(newControl());
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->addCode(code));
        const ScriptControlError &e = sc->error();
        QCOMPARE(e.number(), number);
        QCOMPARE(e.line(), line);
        QCOMPARE(e.column(), column);
        QCOMPARE(e.source(), source);
        QCOMPARE(e.text(), code.split(QLatin1Char('\n')).value(line - 1));
        QCOMPARE(e.description(), ScriptError::standardText(number));
    }

    // Code that fails to compile runs not even its first statements.
    void failedCodeDoesNotRun()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->addCode(QStringLiteral("ran = 1\nIf x Then")));
        QVERIFY(sc->eval(QStringLiteral("ran")).isEmpty());
    }

    void undefinedNameIsNamedInDescription()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->eval(QStringLiteral("foo(1)")));
        QCOMPARE(sc->error().number(), 13);
        QCOMPARE(sc->error().description(), QStringLiteral("Type mismatch: 'foo'"));
        sc->error().clear();
        QCOMPARE(sc->error().number(), 0);
    }

    // The editor's check: a bad expression leaves a described error with its
    // place; the engine is reusable after it.
    void checkSequence()
    {
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.reset();
        sc.setAllowUI(false);
        sc.setUseSafeSubset(false);
        sc.setTimeout(-1);
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc.eval(QStringLiteral("Len(\"abc\" &)")));
        QCOMPARE(sc.error().description(), QStringLiteral("Expected expression"));
        QCOMPARE(sc.error().line(), 1);
        QCOMPARE(sc.error().column(), 11);
        QCOMPARE(sc.eval(QStringLiteral("Len(\"abc\")")).toLong(english()), 3);
    }

    void languageIsRefusedUnlessVBScript()
    {
        ScriptControl sc;
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc.setLanguage(QStringLiteral("JScript")));
        QVERIFY(sc.error().number() != 0);
        sc.setLanguage(QStringLiteral("VBSCRIPT"));
        QCOMPARE(sc.language(), QStringLiteral("VBScript"));
    }

    void resetDropsCode()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->addCode(QStringLiteral("x = 5\nFunction F()\nF = 1\nEnd Function"));
        QCOMPARE(sc->eval(QStringLiteral("x + F()")).toLong(english()), 6);
        sc->reset();
        QVERIFY(sc->eval(QStringLiteral("x")).isEmpty());
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->eval(QStringLiteral("F()")));
    }

    // Runaway scripts end in numbered errors, never in a crash of the host.
    void limits_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::newRow("deep recursion") << "Function F(n)\nF = F(n + 1)\nEnd Function\nx = F(1)" << 28;
        QTest::newRow("nested parens") << QString(QStringLiteral("x = ") + QString(20000, QLatin1Char('('))
                                                  + QLatin1Char('1') + QString(20000, QLatin1Char(')')))
                                       << 28;
        QTest::newRow("nested unary") << QString(QStringLiteral("x = ") + QString(50000, QLatin1Char('-')) + QLatin1Char('1'))
                                      << 28;
        QTest::newRow("endless sum") << QString(QStringLiteral("x = 1") + QStringLiteral(" + 1").repeated(100000)) << 28;
        QTest::newRow("huge string") << "s = \"x\"\nDo\ns = s & s\nLoop" << 14;
        QTest::newRow("huge array") << "ReDim a(100000, 100000)" << 7;
    }

    void limits()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        std::unique_ptr<ScriptControl> sc(newControl());
        Limits limits;
        limits.maxStringLength = 1 << 20;
        sc->setLimits(limits);
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->addCode(code));
        QCOMPARE(sc->error().number(), number);
    }

    // A host may keep a script object past Reset: it still names its class
    // and answers with a numbered error instead of touching freed code.
    void objectOutlivesReset()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->addCode(QStringLiteral("Class Tally\nPublic Default Function Value()\nValue = 1\nEnd Function\n"
                                   "Sub Class_Terminate()\nx = 1\nEnd Sub\nEnd Class\n"
                                   "Function Twice(n)\nTwice = 2 * n\nEnd Function"));
        Variant obj = sc->eval(QStringLiteral("New Tally"));
        Variant ref = sc->eval(QStringLiteral("GetRef(\"Twice\")"));
        QCOMPARE(obj.toLong(english()), 1);
        sc->reset();
        QCOMPARE(obj.typeName(), QStringLiteral("Tally"));
        int number = 0;
        try {
            obj.toLong(english());
        } catch (const ScriptError &e) {
            number = e.number();
        }
        QCOMPARE(number, 91);
        QVERIFY_THROWS_EXCEPTION(ScriptError, ref.valueOf());
        sc.reset();
        QCOMPARE(obj.typeName(), QStringLiteral("Tally"));
    }

    // With AllowUI on, MsgBox and InputBox reach the host's callback.
    void dialogsGoThroughTheHost()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->setAllowUI(true);
        QStringList prompts;
        sc->setUiCallback([&](const UiRequest &req) {
            prompts << req.prompt + QLatin1Char('|') + req.title;
            return req.kind == UiRequest::InputBox ? Variant(QStringLiteral("typed")) : Variant(qint32(6));
        });
        QCOMPARE(sc->eval(QStringLiteral("MsgBox(\"Sure?\", 4, \"Q\")")).toLong(english()), 6);
        QCOMPARE(sc->eval(QStringLiteral("InputBox(\"Name\")")).toString(english()), QStringLiteral("typed"));
        QCOMPARE(prompts.value(0), QStringLiteral("Sure?|Q"));
        sc->setAllowUI(false);
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->eval(QStringLiteral("MsgBox(\"x\")")));
        QCOMPARE(sc->error().number(), 70);
        QCOMPARE(prompts.size(), 2);
    }

    // A host may reset the control from inside a run (from a dialog the
    // script opened): the run finishes on the engine it started with.
    void resetDuringRun()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->setAllowUI(true);
        sc->setUiCallback([&](const UiRequest &) {
            sc->reset();
            return Variant(qint32(1));
        });
        QCOMPARE(sc->eval(QStringLiteral("MsgBox(\"x\") + Len(\"ab\")")).toLong(english()), 3);
        sc->addCode(QStringLiteral("Dim v\nv = 5\nMsgBox \"reset\"\nv = v + 1"));
        QVERIFY(sc->eval(QStringLiteral("v")).isEmpty());
    }

    // Each control converts through its own locale, whatever the thread's was.
    void localePerControl()
    {
        ScriptControl greek;
        greek.setLanguage(QStringLiteral("VBScript"));
        greek.setLocale(ScriptLocale::fromName(QStringLiteral("el-GR")));
        std::unique_ptr<ScriptControl> inEnglish(newControl());
        QCOMPARE(greek.eval(QStringLiteral("CStr(1.5)")).rawString(), QStringLiteral("1,5"));
        QCOMPARE(inEnglish->eval(QStringLiteral("CStr(1.5)")).rawString(), QStringLiteral("1.5"));
        QCOMPARE(greek.eval(QStringLiteral("CDbl(\"2,5\") * 2")).rawDouble(), 5.0);
        QCOMPARE(ScriptLocale::fromLcid(1032).qlocale().language(), QLocale::Greek);
        QCOMPARE(ScriptLocale::fromName(QStringLiteral("en_GB")).lcid(), 2057);
    }

    void longButReasonableExpressions()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        QCOMPARE(sc->eval(QStringLiteral("0") + QStringLiteral(" + 1").repeated(1000)).toLong(english()), 1000);
        QCOMPARE(sc->eval(QString(100, QLatin1Char('(')) + QLatin1Char('7') + QString(100, QLatin1Char(')'))).toLong(english()), 7);
    }

    // A million linked values going out of scope at once are released
    // without one nested call per link.
    void longChainsAreReleased_data()
    {
        QTest::addColumn<QString>("code");
        const QString link = QStringLiteral("Dim freed\nClass Link\nPublic nx, slot(0)\nSub Class_Terminate\n"
                                            "freed = freed + 1\nEnd Sub\nEnd Class\n");
        QTest::newRow("objects in fields")
            << link + QStringLiteral("Sub Build(n)\nDim head, k, i\nSet head = Nothing\nFor i = 1 To n\n"
                                     "Set k = New Link\nSet k.nx = head\nSet head = k\nNext\nEnd Sub\n"
                                     "Build 1000000\nr = freed");
        QTest::newRow("objects in array fields")
            << link + QStringLiteral("Set head = Nothing\nFor i = 1 To 1000000\nSet k = New Link\n"
                                     "Set k.slot(0) = head\nSet head = k\nNext\nSet k = Nothing\n"
                                     "Set head = Nothing\nr = freed");
        QTest::newRow("arrays in arrays")
            << QStringLiteral("For i = 1 To 1000000\na = Array(a)\nNext\na = Empty\nr = 1000000");
    }

    void longChainsAreReleased()
    {
        QFETCH(QString, code);
        // A million objects take a while on a busy machine: no time limit;
        // and hold more than the default memory budget.
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->setTimeout(-1);
        Limits roomy;
        roomy.memoryBudget = qint64(2) * 1024 * 1024 * 1024;
        sc->setLimits(roomy);
        sc->addCode(code);
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("r"))), QStringLiteral("Long\t1000000"));
    }

    // Instances that refer to each other, directly, through an array or a
    // Dictionary, are released when their engine ends (Reset or the control
    // going away), and what they hold with them.
    void cyclesEndWithTheEngine_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("byReset");
        const QString node = QStringLiteral("Class Node\nPublic other, held\nEnd Class\n");
        const QString self = node + QStringLiteral("Set x = New Node\nSet x.other = x\nSet x.held = Host");
        QTest::newRow("itself") << self << false;
        QTest::newRow("itself, reset") << self << true;
        QTest::newRow("through an array")
            << node + QStringLiteral("Set x = New Node\nx.other = Array(1, x)\nSet x.held = Host") << false;
        QTest::newRow("a pair no longer reachable")
            << node + QStringLiteral("Set a = New Node\nSet b = New Node\nSet a.other = b\nSet b.other = a\n"
                                     "Set b.held = Host\nSet a = Nothing\nSet b = Nothing")
            << false;
        QTest::newRow("through a dictionary")
            << node + QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\nSet x = New Node\n"
                                     "d.Add \"x\", x\nSet x.other = d\nSet d = Nothing\n"
                                     "Set x.held = Host\nSet x = Nothing")
            << true;
    }

    void cyclesEndWithTheEngine()
    {
        QFETCH(QString, code);
        QFETCH(bool, byReset);
        auto host = std::make_shared<Watched>();
        const std::weak_ptr<Object> watch = host;
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->addObject(QStringLiteral("Host"), host);
        host.reset();
        sc->addCode(code);
        QVERIFY(!watch.expired());
        if (byReset)
            sc->reset();
        else
            sc.reset();
        QVERIFY2(watch.expired(), "the cycle still holds the host's object");
    }

    void timeoutStopsEndlessLoop()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        // A limit that did not hold would never end: ctest's own limit fails the program.
        sc->setTimeout(200);
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->addCode(QStringLiteral("On Error Resume Next\nDo\nx = x + 1\nLoop")));
        QVERIFY(sc->error().description().contains(QLatin1String("time limit")));
    }
};

NVTARNIX_TEST_CLASS(tst_Control)
#include "tst_control.moc"
