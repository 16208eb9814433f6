// Compile errors of statements and declarations: VBScript's number for each
// mistake, where it points, and that nothing of a failed piece of code runs.

#include "vbscript/ScriptControl.h"

#include "TestMain.h"

#include <QTest>

using namespace vbscript;

class tst_Syntax : public QObject
{
    Q_OBJECT

private slots:
    void compileErrors_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("line");
        auto row = [](const char *name, const char *code, int number, int line) {
            QTest::newRow(name) << QString::fromUtf8(code) << number << line;
        };
        row("if without end", "If x Then\ny = 1\n", 1014, 3);
        row("end if spelled wrong", "If x Then\ny = 1\nEnd Sub", 1012, 3);
        row("missing then", "If x\ny = 1\nEnd If", 1017, 1);
        row("while without wend", "While x\ny = 1\n", 1018, 3);
        row("do without loop", "Do\ny = 1\n", 1019, 3);
        row("loop without do", "x = 1\nLoop", 1038, 2);
        row("next without for", "Next", 1055, 1);
        row("for without to", "For i = 1\nNext", 1013, 1);
        row("for without equals", "For i 1 To 2\nNext", 1011, 1);
        row("for each without in", "For Each x a\nNext", 1046, 1);
        row("for counter not a name", "For 1 = 1 To 2\nNext", 1040, 1);
        row("select without case", "Select x\nEnd Select", 1021, 1);
        row("select end spelled wrong", "Select Case x\nCase 1\nEnd If", 1022, 3);
        row("do with both conditions", "Do While x\nLoop Until y", 1025, 2);
        row("do junk after loop", "Do\nLoop 5", 1028, 2);
        row("with without end", "With x\n.a = 1\nEnd Sub", 1029, 3);
        row("function end spelled wrong", "Function F()\nEnd Sub", 1015, 2);
        row("sub end spelled wrong", "Sub S()\nEnd Function", 1016, 2);
        row("nested procedure", "Sub S()\nSub T()\nEnd Sub\nEnd Sub", 1024, 2);
        row("missing parameter name", "Sub S(1)\nEnd Sub", 1010, 1);
        row("unclosed parameter list", "Sub S(a\nEnd Sub", 1006, 1);
        row("class without end", "Class C\nPublic x\n", 1047, 3);
        row("statement inside class", "Class C\nx = 1\nEnd Class", 1024, 2);
        row("property outside class", "Property Get P\nEnd Property", 1048, 1);
        row("property kind missing", "Class C\nProperty P\nEnd Property\nEnd Class", 1049, 2);
        row("property end spelled wrong", "Class C\nProperty Get P\nEnd Sub\nEnd Class", 1050, 3);
        row("property let without argument", "Class C\nProperty Let P\nEnd Property\nEnd Class", 1054, 2);
        row("initialize with argument", "Class C\nSub Class_Initialize(a)\nEnd Sub\nEnd Class", 1053, 2);
        row("two defaults", "Class C\nPublic Default Function A()\nEnd Function\n"
                           "Public Default Function B()\nEnd Function\nEnd Class", 1052, 4);
        row("private default", "Class C\nPrivate Default Function A()\nEnd Function\nEnd Class", 1057, 2);
        row("default on property let", "Class C\nPublic Default Property Let A(v)\nEnd Property\nEnd Class", 1058, 2);
        row("default on a variable", "Class C\nPublic Default x\nEnd Class", 1056, 2);
        row("me outside class", "Set x = Me", 1037, 1);
        row("exit for outside loop", "Do\nExit For\nLoop", 1039, 2);
        row("exit sub in function", "Function F()\nExit Sub\nEnd Function", 1039, 2);
        row("dim twice", "Dim a\nDim a", 1041, 2);
        row("local dim twice", "Sub S()\nDim a, a\nEnd Sub", 1041, 2);
        row("option explicit late", "x = 1\nOption Explicit", 1002, 2);
        row("on error elsewhere", "On Error GoTo 10", 1002, 1);
        row("set without equals", "Set x New C", 1011, 1);
        row("call with parens and more", "Sub S(a, b)\nEnd Sub\nS(1, 2)", 1044, 3);
        row("keyword as name", "Dim If", 1010, 1);
        row("junk after statement", "x = 1 2", 1025, 1);
        row("redim without bounds", "ReDim a", 1005, 1);
        row("unterminated bracket name", "[a = 1", 1007, 1);
        row("bad character", "x = 1 @ 2", 1032, 1);
        QTest::newRow("identifier too long") << QStringLiteral("x = 1\n%1 = 1").arg(QString(256, QLatin1Char('a')))
                                             << 1030 << 2;
    }

    void compileErrors()
    {
        QFETCH(QString, code);
        QFETCH(int, number);
        QFETCH(int, line);
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc.addCode(code));
        QCOMPARE(sc.error().number(), number);
        QCOMPARE(sc.error().line(), line);
        QCOMPARE(sc.error().source(), ScriptError::compileSource());
        QCOMPARE(sc.error().text(), code.split(QLatin1Char('\n')).value(line - 1));
    }

    // Code that fails to compile runs not even its first statements.
    void failedCodeDoesNotRun()
    {
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        QVERIFY_THROWS_EXCEPTION(ScriptError, sc.addCode(QStringLiteral("ran = 1\nIf x Then")));
        QVERIFY(sc.eval(QStringLiteral("ran")).isEmpty());
    }

    // What may follow what: forms that are valid and easy to get wrong.
    void validForms_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("result");
        auto row = [](const char *name, const char *code, const char *result) {
            QTest::newRow(name) << QString::fromUtf8(code) << QString::fromUtf8(result);
        };
        row("one-line procedure", "Function F() : F = 4 : End Function\nr = F()", "4");
        row("one-line class", "Class C : Public x : End Class\nSet o = New C : o.x = 2 : r = o.x", "2");
        row("sub without parens", "Sub S\nr = 7\nEnd Sub\nDim r\nS", "7");
        row("comment after then", "If True Then ' block follows\nr = 1\nEnd If", "1");
        row("nested one-line ifs", "x = 5 : If x > 3 Then If x > 4 Then r = \"both\"", "both");
        row("continued call", "Sub S(a, b)\nr = a & b\nEnd Sub\nDim r\nS 1, _\n  2", "12");
        row("select on one line", "Select Case 2: Case 1: r = \"a\": Case 2: r = \"b\": End Select", "b");
        row("keywords as members", "Class C\nPublic [End], Step\nEnd Class\nSet o = New C\no.Step = 3\nr = o.Step", "3");
        row("missing middle argument", "Function J(a, b, c)\nJ = IsEmpty(b)\nEnd Function\nr = J(1, Empty, 3)", "True");
        row("stop does nothing", "Stop\nr = \"on\"", "on");
        row("rem comment", "r = 1 : Rem r = 2\nrem r = 3", "1");
        row("index after call", "Function A()\nA = Array(5, 6)\nEnd Function\nr = A()(1)", "6");
        row("date literal forms", "r = (#2000-01-02# = #1/2/2000#) And (#12:30# = #12:30:00 PM#)", "True");
    }

    void validForms()
    {
        QFETCH(QString, code);
        QFETCH(QString, result);
        ScriptControl sc;
        sc.setLanguage(QStringLiteral("VBScript"));
        sc.setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
        sc.addCode(code);
        QCOMPARE(sc.eval(QStringLiteral("CStr(r)")).toString(), result);
    }
};

NVTARNIX_TEST_CLASS(tst_Syntax)
#include "tst_syntax.moc"
