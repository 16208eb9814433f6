// Whole scripts: statements, procedures, classes, error handling, and the
// ScriptControl's error reporting and safety limits.

#include "vbscript/ScriptControl.h"
#include "vbscript/ValueText.h"

#include "TestMain.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>

using namespace vbscript;

namespace {

ScriptControl *newControl()
{
    auto *sc = new ScriptControl;
    sc->setLanguage(QStringLiteral("vbscript"));
    sc->setAllowUI(false);
    sc->setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
    return sc;
}

// Runs `code`, then evaluates `expr`; the result as `tarnix eval` writes it,
// or "error N" for a failure of either.
QString run(const QString &code, const QString &expr = QStringLiteral("r"))
{
    std::unique_ptr<ScriptControl> sc(newControl());
    try {
        sc->addCode(code);
        return ValueText::resultLine(sc->eval(expr));
    } catch (const ScriptError &e) {
        return QStringLiteral("error %1").arg(e.number());
    }
}

} // namespace

class tst_Scripts : public QObject
{
    Q_OBJECT

private slots:
    void scripts_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const char *code, const char *expected) {
            QTest::newRow(name) << QString::fromUtf8(code) << QString::fromUtf8(expected);
        };
        // loops
        row("for", "r = 0\nFor i = 1 To 10: r = r + i: Next", "Integer\t55");
        row("for step down", "r = \"\"\nFor i = 5 To 1 Step -2\nr = r & i\nNext", "String\t531");
        row("for exit", "For i = 1 To 100\nIf i = 7 Then Exit For\nNext\nr = i", "Integer\t7");
        row("for counter after loop", "For i = 1 To 3: Next: r = i", "Integer\t4");
        row("for double step", "r = 0\nFor x = 0 To 1 Step 0.25: r = r + 1: Next", "Integer\t5");
        row("for each array", "a = Array(1, 2, 3)\nr = 0\nFor Each x In a: r = r + x: Next", "Integer\t6");
        row("for each string", "For Each x In \"abc\": Next", "error 451");
        row("do while", "i = 0\nDo While i < 5\ni = i + 1\nLoop\nr = i", "Integer\t5");
        row("do until bottom", "i = 10\nDo\ni = i + 1\nLoop Until i > 3\nr = i", "Integer\t11");
        row("do exit", "Do\nr = r + 1\nIf r = 3 Then Exit Do\nLoop", "Integer\t3");
        row("while wend", "i = 0\nWhile i < 3\ni = i + 1\nWend\nr = i", "Integer\t3");
        row("exit do through while", "Do\nWhile True\nExit Do\nWend\nLoop\nr = 1", "Integer\t1");
        // conditionals
        row("if elseif", "x = 5\nIf x < 3 Then\nr = 1\nElseIf x < 10 Then\nr = 2\nElse\nr = 3\nEnd If", "Integer\t2");
        row("single-line if else", "x = 1: If x = 2 Then r = \"a\" Else r = \"b\": r = r & \"c\"", "String\tbc");
        row("if null is false", "If Null Then r = 1 Else r = 2", "Integer\t2");
        row("select", "x = \"b\"\nSelect Case x\nCase \"a\": r = 1\nCase \"c\", \"b\": r = 2\nCase Else: r = 3\nEnd Select", "Integer\t2");
        row("select else", "Select Case 9\nCase 1\nr = 1\nCase Else\nr = 0\nEnd Select", "Integer\t0");
        // procedures
        row("function", "Function Sq(x)\nSq = x * x\nEnd Function\nr = Sq(7)", "Integer\t49");
        row("recursion", "Function F(n)\nIf n <= 1 Then F = 1 Else F = n * F(n - 1)\nEnd Function\nr = F(10)", "Long\t3628800");
        row("byref default", "Sub Inc(x)\nx = x + 1\nEnd Sub\nr = 1\nInc r\nInc r", "Integer\t3");
        row("byval", "Sub Inc(ByVal x)\nx = x + 1\nEnd Sub\nr = 1\nInc r", "Integer\t1");
        row("parens pass by value", "Sub Inc(x)\nx = x + 1\nEnd Sub\nr = 1\nInc (r)", "Integer\t1");
        row("call keyword", "Sub Inc(x)\nx = x + 1\nEnd Sub\nr = 1\nCall Inc(r)", "Integer\t2");
        row("exit function", "Function F()\nF = 1\nExit Function\nF = 2\nEnd Function\nr = F()", "Integer\t1");
        row("locals are local", "x = 1\nSub S()\nDim x\nx = 5\nEnd Sub\nS\nr = x", "Integer\t1");
        row("globals from procedure", "x = 1\nSub S()\nx = 5\nEnd Sub\nS\nr = x", "Integer\t5");
        row("implicit local", "Sub S()\ny = 5\nEnd Sub\nS\nr = IsEmpty(y)", "Boolean\tTrue");
        row("wrong arg count", "Function F(a)\nEnd Function\nr = F(1, 2)", "error 450");
        row("call before definition", "r = G()\nFunction G()\nG = \"late\"\nEnd Function", "String\tlate");
        row("undefined function", "r = Nope(1)", "error 13");
        row("option explicit", "Option Explicit\nDim a\na = 1\nb = 2", "error 500");
        // arrays
        row("dim array", "Dim a(2)\na(0) = 1: a(2) = 3\nr = a(0) + a(2) + UBound(a)", "Long\t6");
        row("two dims", "Dim m(2, 3)\nm(2, 3) = 7\nr = m(2, 3) * UBound(m, 2)", "Long\t21");
        row("subscript out of range", "Dim a(2)\na(3) = 1", "error 9");
        row("redim preserve", "ReDim a(1)\na(0) = \"x\": a(1) = \"y\"\nReDim Preserve a(3)\nr = a(1) & UBound(a)", "String\ty3");
        row("redim fixed", "Dim a(2)\nReDim a(5)", "error 10");
        row("array copy on assign", "a = Array(1, 2)\nb = a\nb(0) = 9\nr = a(0)", "Integer\t1");
        row("erase", "Dim a(1)\na(0) = 5\nErase a\nr = IsEmpty(a(0))", "Boolean\tTrue");
        // classes
        row("class", "Class C\nPublic V\nPrivate p\nPublic Property Get P2\nP2 = p * 2\nEnd Property\n"
                     "Public Property Let P2(x)\np = x\nEnd Property\nEnd Class\n"
                     "Set o = New C\no.P2 = 21\no.V = \"v\"\nr = o.P2 & o.V", "String\t42v");
        row("class initialize", "Class C\nPublic N\nSub Class_Initialize\nN = 3\nEnd Sub\nEnd Class\nSet o = New C\nr = o.N", "Integer\t3");
        row("class terminate", "Dim r\nClass C\nSub Class_Terminate\nr = \"gone\"\nEnd Sub\nEnd Class\nSet o = New C\nSet o = Nothing", "String\tgone");
        row("class default member", "Class C\nPublic Default Function Item(i)\nItem = i * 10\nEnd Function\nEnd Class\nSet o = New C\nr = o(4)", "Integer\t40");
        row("private member hidden", "Class C\nPrivate x\nEnd Class\nSet o = New C\nr = o.x", "error 438");
        row("me and methods", "Class C\nPublic n\nFunction Add(k)\nn = n + k\nSet Add = Me\nEnd Function\nEnd Class\n"
                              "Set o = New C\no.n = 1\no.Add(2).Add 3\nr = o.n", "Integer\t6");
        row("typename of instance", "Class Foo\nEnd Class\nSet o = New Foo\nr = TypeName(o)", "String\tFoo");
        row("class not defined", "Set o = New Missing", "error 506");
        row("is nothing", "Set o = Nothing\nr = o Is Nothing", "Boolean\tTrue");
        row("set needs object", "Set o = 5", "error 424");
        row("nothing member", "Set o = Nothing\nx = o.Foo", "error 91");
        row("with", "Class C\nPublic a, b\nEnd Class\nSet o = New C\nWith o\n.a = 1\n.b = .a + 1\nEnd With\nr = o.b", "Integer\t2");
        // errors
        row("resume next", "On Error Resume Next\nx = 1 / 0\nr = Err.Number", "Long\t11");
        row("err cleared by goto 0", "On Error Resume Next\nx = 1 / 0\nOn Error GoTo 0\nr = Err.Number", "Long\t0");
        row("err raise", "On Error Resume Next\nErr.Raise 1000, \"me\", \"mine\"\nr = Err.Number & Err.Source & Err.Description", "String\t1000memine");
        row("err raise unhandled", "Err.Raise 5", "error 5");
        row("error leaves procedure", "Sub S()\nx = 1 / 0\nr = \"not here\"\nEnd Sub\nOn Error Resume Next\nS\nr = r & Err.Number", "String\t11");
        row("err description names the function", "On Error Resume Next\nx = CInt(\"z\")\nr = Err.Description", "String\tType mismatch: 'CInt'");
        row("err description of an operator", "On Error Resume Next\nx = \"z\" * 2\nr = Err.Description", "String\tType mismatch");
        row("const", "Const K = 5, L = \"x\"\nr = K & L", "String\t5x");
        row("const assign", "Const K = 5\nK = 6", "error 501");
        row("line continuation", "r = 1 + _\n  2", "Integer\t3");
        row("comments", "r = 1 ' one\nRem nothing\nr = r + 1 ' two", "Integer\t2");
        row("bracketed names", "[my var] = 4\nr = [my var] * 2", "Integer\t8");
        row("execute global", "ExecuteGlobal \"g = 41\"\nr = g + 1", "Integer\t42");
        row("execute local", "Function F()\nDim a\na = 1\nExecute \"a = a + 1\"\nF = a\nEnd Function\nr = F()", "Integer\t2");
        row("eval local", "Function F(x)\nF = Eval(\"x * 3\")\nEnd Function\nr = F(5)", "Integer\t15");
        row("getref", "Function Tw(x)\nTw = x * 2\nEnd Function\nSet f = GetRef(\"Tw\")\nr = f(21)", "Integer\t42");
        row("createobject unknown", "Set o = CreateObject(\"Scripting.FileSystemObject\")", "error 429");
        row("msgbox without ui", "MsgBox \"hi\"", "error 70");
        // more of classes
        row("property set", "Class Box\nPrivate mItem\nPublic Property Set Item(o)\nSet mItem = o\nEnd Property\n"
                            "Public Property Get Item\nSet Item = mItem\nEnd Property\nEnd Class\n"
                            "Set b = New Box\nSet b.Item = New Box\nr = TypeName(b.Item)", "String\tBox");
        row("property let with index", "Class Grid\nPrivate cells(3)\nPublic Property Let Cell(i, v)\ncells(i) = v\nEnd Property\n"
                                       "Public Property Get Cell(i)\nCell = cells(i)\nEnd Property\nEnd Class\n"
                                       "Set g = New Grid\ng.Cell(2) = \"z\"\nr = g.Cell(2)", "String\tz");
        row("array field", "Class Bag\nPublic items(2)\nEnd Class\nSet b = New Bag\nb.items(1) = 5\nr = b.items(1) + UBound(b.items)", "Long\t7");
        row("default property put", "Class V\nPrivate v\nPublic Default Property Get Value\nValue = v\nEnd Property\n"
                                    "Public Property Let Value(x)\nv = x\nEnd Property\nEnd Class\n"
                                    "Set o = New V\no.Value = 3\nr = o + 1", "Integer\t4");
        row("object without default in arithmetic", "Class E\nEnd Class\nSet o = New E\nr = o + 1", "error 438");
        row("objects compare by identity", "Class E\nEnd Class\nSet a = New E\nSet b = a\nSet c = New E\nr = (a Is b) & (a Is c)", "String\tTrueFalse");
        row("nested with", "Class P\nPublic q, n\nEnd Class\nSet o = New P\nSet o.q = New P\nWith o\n.n = 1\nWith .q\n.n = 2\nEnd With\nEnd With\nr = o.n & o.q.n", "String\t12");
        row("terminate when scope ends", "Dim log\nClass T\nSub Class_Terminate\nlog = log & \"t\"\nEnd Sub\nEnd Class\n"
                                         "Sub Use()\nDim x\nSet x = New T\nlog = log & \"u\"\nEnd Sub\nUse\nr = log", "String\tut");
        row("method byref through object", "Class K\nSub Bump(n)\nn = n + 1\nEnd Sub\nEnd Class\nSet k = New K\nr = 1\nk.Bump r", "Integer\t2");
        // more of statements
        row("do loop while bottom", "i = 0\nDo\ni = i + 1\nLoop While i < 3\nr = i", "Integer\t3");
        row("exit function from loop", "Function F()\nFor i = 1 To 10\nIf i = 4 Then\nF = i\nExit Function\nEnd If\nNext\nEnd Function\nr = F()", "Integer\t4");
        row("for bounds evaluated once", "n = 3\nr = 0\nFor i = 1 To n\nn = 10\nr = r + 1\nNext", "Integer\t3");
        row("select null matches nothing", "Select Case Null\nCase Null\nr = 1\nCase Else\nr = 2\nEnd Select", "Integer\t2");
        row("select numeric text", "Select Case \"5\"\nCase 5\nr = \"num\"\nCase Else\nr = \"else\"\nEnd Select", "String\tnum");
        row("redim preserve two dims", "ReDim a(1, 1)\na(1, 1) = 9\nReDim Preserve a(1, 3)\nr = a(1, 1) & UBound(a, 2)", "String\t93");
        row("redim preserve first dim", "ReDim a(1, 1)\nReDim Preserve a(2, 1)", "error 9");
        row("erase dynamic", "ReDim a(3)\nErase a\nr = UBound(a)", "error 9");
        row("dim empty dynamic", "Dim a()\nReDim a(2)\nr = UBound(a)", "Long\t2");
        row("for each modifies copy", "a = Array(1, 2, 3)\nFor Each x In a\na(2) = 30\nr = r + x\nNext", "Integer\t6");
        row("execute defines function", "Execute \"Function Tri(x): Tri = 3 * x: End Function\"\nr = Tri(2)", "Integer\t6");
        row("colon statements", "a = 1: b = 2: r = a + b", "Integer\t3");
        row("if one line with colon block", "If True Then a = 1: b = 2 Else c = 3\nr = a + b + c", "Integer\t3");
        row("on error inside procedure only", "Sub S()\nOn Error Resume Next\nx = 1 / 0\nEnd Sub\nS\nr = \"ran\"", "String\tran");
        row("err raise vbObjectError", "On Error Resume Next\nErr.Raise vbObjectError + 1\nr = Err.Number & Err.Description", "String\t-2147221503Unknown runtime error");
        row("failing if condition enters the block", "On Error Resume Next\nIf 1 / 0 Then r = \"in\" Else r = \"else\"", "String\tin");
        row("err raise help", "On Error Resume Next\nErr.Raise 5, , , \"h.chm\", 42\nr = Err.Description & Err.HelpFile & Err.HelpContext", "String\tInvalid procedure call or argumenth.chm42");
        row("err clear", "On Error Resume Next\nx = 1 / 0\nErr.Clear\nr = Err.Number & \"|\" & Err.Description", "String\t0|");
        row("err value is number", "On Error Resume Next\nx = 1 / 0\nr = Err", "Long\t11");
        row("undefined sub", "Nope", "error 13");
        row("string too long for integer", "r = CInt(\"99999\")", "error 6");

    }

    void scripts()
    {
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QCOMPARE(run(code), expected);
    }

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
        QTest::newRow("syntax") << "x = 1\ny = (2 +\n" << 1023 << 2 << 8 << compile;
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
        QCOMPARE(sc.eval(QStringLiteral("Len(\"abc\")")).toLong(), 3);
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
        QCOMPARE(sc->eval(QStringLiteral("x + F()")).toLong(), 6);
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
        const auto restoreLimit = qScopeGuard([saved = Variant::maxStringLength()] {
            Variant::setMaxStringLength(saved);
        });
        Variant::setMaxStringLength(1 << 20);
        std::unique_ptr<ScriptControl> sc(newControl());
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
        QCOMPARE(obj.toLong(), 1);
        sc->reset();
        QCOMPARE(obj.typeName(), QStringLiteral("Tally"));
        int number = 0;
        try {
            obj.toLong();
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
        QCOMPARE(sc->eval(QStringLiteral("MsgBox(\"Sure?\", 4, \"Q\")")).toLong(), 6);
        QCOMPARE(sc->eval(QStringLiteral("InputBox(\"Name\")")).toString(), QStringLiteral("typed"));
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
        QCOMPARE(sc->eval(QStringLiteral("MsgBox(\"x\") + Len(\"ab\")")).toLong(), 3);
        sc->addCode(QStringLiteral("Dim v\nv = 5\nMsgBox \"reset\"\nv = v + 1"));
        QVERIFY(sc->eval(QStringLiteral("v")).isEmpty());
    }

    // Each control converts through its own locale, whatever the thread's was.
    void localePerControl()
    {
        ScriptControl greek;
        greek.setLanguage(QStringLiteral("VBScript"));
        greek.setLocale(ScriptLocale::fromName(QStringLiteral("el-GR")));
        std::unique_ptr<ScriptControl> english(newControl());
        QCOMPARE(greek.eval(QStringLiteral("CStr(1.5)")).toString(), QStringLiteral("1,5"));
        QCOMPARE(english->eval(QStringLiteral("CStr(1.5)")).toString(), QStringLiteral("1.5"));
        QCOMPARE(greek.eval(QStringLiteral("CDbl(\"2,5\") * 2")).toDouble(), 5.0);
        QCOMPARE(ScriptLocale::fromLcid(1032).qlocale().language(), QLocale::Greek);
        QCOMPARE(ScriptLocale::fromName(QStringLiteral("en_GB")).lcid(), 2057);
    }

    void longButReasonableExpressions()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        QCOMPARE(sc->eval(QStringLiteral("0") + QStringLiteral(" + 1").repeated(1000)).toLong(), 1000);
        QCOMPARE(sc->eval(QString(100, QLatin1Char('(')) + QLatin1Char('7') + QString(100, QLatin1Char(')'))).toLong(), 7);
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
        // About depth, not speed: on a busy machine building a million links
        // may take longer than the control's default ten seconds.
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->setTimeout(-1);
        sc->addCode(code);
        QCOMPARE(ValueText::resultLine(sc->eval(QStringLiteral("r"))), QStringLiteral("Long\t1000000"));
    }

    void timeoutStopsEndlessLoop()
    {
        std::unique_ptr<ScriptControl> sc(newControl());
        sc->setTimeout(200);
        QElapsedTimer t;
        t.start();
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc->addCode(QStringLiteral("On Error Resume Next\nDo\nx = x + 1\nLoop")));
        QVERIFY(sc->error().description().contains(QLatin1String("time limit")));
        QVERIFY(t.elapsed() < 5000);
    }
};

NVTARNIX_TEST_CLASS(tst_Scripts)
#include "tst_scripts.moc"
