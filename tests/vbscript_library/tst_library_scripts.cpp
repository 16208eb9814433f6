// Library functions that need a whole script around them: running code given
// as text in the right scope, procedure references, the host's dialogs and
// Scripting.Dictionary as scripts use it.
#include "vbscript/ScriptControl.h"

#include "TestMain.h"

#include <QtTest>

using namespace vbscript;

class tst_LibraryScripts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void executeRunsInTheCallersScope();
    void getRefCallsTheProcedure();
    void dialogsGoThroughTheHostCallback();
    void dialogsNeedPermission();
    void dictionaryInAScript();
    void setLocaleChangesConversions();

private:
    std::unique_ptr<ScriptControl> m_sc;
};

void tst_LibraryScripts::init()
{
    m_sc = std::make_unique<ScriptControl>();
    m_sc->setLanguage(QStringLiteral("VBScript"));
    m_sc->setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
}

void tst_LibraryScripts::executeRunsInTheCallersScope()
{
    m_sc->addCode(QStringLiteral("Dim g, l\n"
                                 "l = 100\n"
                                 "Function T()\n"
                                 "  Dim l\n"
                                 "  Execute \"l = 5\"\n"
                                 "  ExecuteGlobal \"g = 7\"\n"
                                 "  T = l + Eval(\"l * 2\")\n"
                                 "End Function"));
    QCOMPARE(m_sc->eval(QStringLiteral("T()")).toLong(), 15);
    QCOMPARE(m_sc->eval(QStringLiteral("g")).toLong(), 7);
    // The function's own l took the 5; the global one kept its value.
    QCOMPARE(m_sc->eval(QStringLiteral("l")).toLong(), 100);
    m_sc->executeStatement(QStringLiteral("ExecuteGlobal \"Function Later(x): Later = x & \"\"!\"\": End Function\""));
    QCOMPARE(m_sc->eval(QStringLiteral("Later(1)")).toString(), QStringLiteral("1!"));
}

void tst_LibraryScripts::getRefCallsTheProcedure()
{
    m_sc->addCode(QStringLiteral("Function AddOne(x): AddOne = x + 1: End Function\n"
                                 "Dim f: Set f = GetRef(\"addone\")"));
    QCOMPARE(m_sc->eval(QStringLiteral("f(41)")).toLong(), 42);
    QVERIFY(m_sc->eval(QStringLiteral("IsObject(f)")).toBool());
}

void tst_LibraryScripts::dialogsGoThroughTheHostCallback()
{
    UiRequest seen;
    Variant answer(qint16(6));
    m_sc->setAllowUI(true);
    m_sc->setUiCallback([&](const UiRequest &r) {
        seen = r;
        return answer;
    });
    const Variant pressed = m_sc->eval(QStringLiteral("MsgBox(\"Save?\", vbYesNo + vbQuestion, \"Title\")"));
    QCOMPARE(pressed.type(), VarType::Integer);
    QCOMPARE(pressed.rawInteger(), qint16(6));
    QCOMPARE(seen.kind, UiRequest::MessageBox);
    QCOMPARE(seen.prompt, QStringLiteral("Save?"));
    QCOMPARE(seen.buttons, 36);
    QCOMPARE(seen.title, QStringLiteral("Title"));

    answer = Variant(QStringLiteral("typed"));
    QCOMPARE(m_sc->eval(QStringLiteral("InputBox(\"Name?\", , \"default\", 100, 200)")).toString(),
             QStringLiteral("typed"));
    QCOMPARE(seen.kind, UiRequest::InputBox);
    QCOMPARE(seen.defaultText, QStringLiteral("default"));
    QVERIFY(seen.hasPosition);
    QCOMPARE(seen.y, 200);
    QVERIFY(!seen.title.isEmpty());

    answer = Variant(); // cancelled
    QVERIFY(m_sc->eval(QStringLiteral("InputBox(\"Name?\")")).isEmpty());
}

void tst_LibraryScripts::dialogsNeedPermission()
{
    bool called = false;
    m_sc->setUiCallback([&](const UiRequest &) {
        called = true;
        return Variant(qint16(1));
    });
    m_sc->setAllowUI(false);
    QVERIFY_THROWS_EXCEPTION(ScriptError, m_sc->eval(QStringLiteral("MsgBox(\"x\")")));
    QCOMPARE(m_sc->error().number(), 70);
    QVERIFY(!called);

    ScriptControl bare;
    bare.setLanguage(QStringLiteral("VBScript"));
    bare.setAllowUI(true); // allowed, but no host dialog installed
    QVERIFY_THROWS_EXCEPTION(ScriptError, bare.eval(QStringLiteral("InputBox(\"x\")")));
    QCOMPARE(bare.error().number(), 70);
}

void tst_LibraryScripts::dictionaryInAScript()
{
    m_sc->addCode(QStringLiteral("Set d = CreateObject(\"Scripting.Dictionary\")\n"
                                 "d.Add \"a\", 1\n"
                                 "d(\"b\") = 2\n"
                                 "d.Item(\"c\") = 3\n"
                                 "For Each k In d: s = s & k & d(k): Next\n"
                                 "On Error Resume Next\n"
                                 "d.Add \"a\", 9\n"
                                 "dup = Err.Number"));
    QCOMPARE(m_sc->eval(QStringLiteral("s")).toString(), QStringLiteral("a1b2c3"));
    QCOMPARE(m_sc->eval(QStringLiteral("d.Count")).toLong(), 3);
    QCOMPARE(m_sc->eval(QStringLiteral("dup")).toLong(), 457);
    QCOMPARE(m_sc->eval(QStringLiteral("Join(d.Keys, \",\")")).toString(), QStringLiteral("a,b,c"));
    QVERIFY(!m_sc->eval(QStringLiteral("d.Exists(\"A\")")).toBool());
}

void tst_LibraryScripts::setLocaleChangesConversions()
{
    m_sc->executeStatement(QStringLiteral("old = SetLocale(\"el-GR\")"));
    QCOMPARE(m_sc->eval(QStringLiteral("old")).toLong(), 1033);
    QCOMPARE(m_sc->eval(QStringLiteral("GetLocale()")).toLong(), 1032);
    QCOMPARE(m_sc->eval(QStringLiteral("CStr(1.5) & \"|\" & MonthName(3)")).toString(),
             QStringLiteral("1,5|Μάρτιος"));
}

NVTARNIX_TEST_CLASS(tst_LibraryScripts)
#include "tst_library_scripts.moc"
