// MsgBox and InputBox: the engine draws nothing itself, so they reach the
// host's callback, and only with its permission. (What scripts do with the
// rest of the library is tested by the script files, tests/vbscript/scripts.)
#include "vbscript/ScriptControl.h"

#include "TestMain.h"

#include <QtTest>

using namespace vbscript;

class tst_Dialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dialogsGoThroughTheHostCallback();
    void dialogsNeedPermission();

private:
    std::unique_ptr<ScriptControl> m_sc;
};

void tst_Dialogs::init()
{
    m_sc = std::make_unique<ScriptControl>();
    m_sc->setLanguage(QStringLiteral("VBScript"));
    m_sc->setLocale(ScriptLocale(QLocale(QLocale::English, QLocale::UnitedStates)));
}

void tst_Dialogs::dialogsGoThroughTheHostCallback()
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
    QCOMPARE(m_sc->eval(QStringLiteral("InputBox(\"Name?\", , \"default\", 100, 200)")).toString(m_sc->locale()),
             QStringLiteral("typed"));
    QCOMPARE(seen.kind, UiRequest::InputBox);
    QCOMPARE(seen.defaultText, QStringLiteral("default"));
    QVERIFY(seen.hasPosition);
    QCOMPARE(seen.y, 200);
    QVERIFY(!seen.title.isEmpty());

    answer = Variant(); // cancelled
    QVERIFY(m_sc->eval(QStringLiteral("InputBox(\"Name?\")")).isEmpty());
}

void tst_Dialogs::dialogsNeedPermission()
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

NVTARNIX_TEST_CLASS(tst_Dialogs)
#include "tst_dialogs.moc"
