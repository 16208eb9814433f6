#include "EditorTestSupport.h"
#include "component/TarnixObjectAccess.h"
#include "editor/EditorTreeItems.h"
#include "component/BuilderEditorOwner.h"
#include "editor/frmEditor.h"

#include <nvtarnix/TarnixObject.h>

#include "TestMain.h"
#include "WindowVisit.h"

#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QWheelEvent>
#include <QTreeWidget>

#include <memory>

using nvtarnix::TarnixObject;
using testsupport::child;
using testsupport::press;
using testsupport::SeenMessage;

namespace {

std::unique_ptr<TarnixObject> makeBuilder()
{
    auto builder = std::make_unique<TarnixObject>();
    builder->AddVariable("CUST_NAME", "Name", "0", "50", "3", "0", {}, {}, {}, "Customer");
    builder->AddVariable("TOTAL", "Total", "5", "8", "3", "1", "totals", "code", "text");
    builder->AddVariable("ORD_DATE", "Date", "4", "8", "3", "0", {}, {}, {}, "Order");
    builder->AddVariable("CUST_CITY", "City", "10", "30", "3", "0", {}, {}, {}, "Customer");
    builder->LoadDefaultFunctions();
    builder->AddError("Oops");
    return builder;
}

QStringList childTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

QSettings editorSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tarnix");
}

} // namespace

class tst_Window : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void opensWithTreesCaptionsAndColours();
    void reopeningReusesItsIcons();
    void okHandsBackDatabaseForm();
    void cancelAndCloseBoxKeepTheScript_data();
    void cancelAndCloseBoxKeepTheScript();
    void invalidExpressionKeepsWindowOpen();
    void textEditing();
    void fontSizeIsKept();
    void plusMinusAndTheWheelZoomLikeTheBrackets();
    void lettersInFontSizeSetting();
    void enterAndEscapeStayInTheWindow();
    void layoutInPixels();
    void missingView();
    void editThroughTheBuilder();
};

void tst_Window::initTestCase()
{
    // init() clears the settings: they must be the test's own.
    QVERIFY(editorSettings().fileName().startsWith(testsupport::privateHome()));
}

void tst_Window::init()
{
    QSettings settings = editorSettings();
    settings.clear();
}

void tst_Window::opensWithTreesCaptionsAndColours()
{
    auto builder = makeBuilder();
    builder->setDatabaseScript("Len([CUST_NAME]) > 2 & \"Oops\"");

    QStringList variableRoot, customer, functionRoot, errorFunctions, tabOrder;
    QString title, check, cancel, varCaption, funcCaption, menuItem, text, coloursAtOpen, coloursAfterEdit;
    bool checkEnabled = false, helpVisible = true, valueListVisible = false;
    int imageOfTotal = 0;
    QString tagOfName, keyOfName;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *vars = child<QTreeWidget>(w, "tvVariables");
        auto *funcs = child<QTreeWidget>(w, "tvFunctions");
        QTreeWidgetItem *root = vars->topLevelItem(0);
        variableRoot = QStringList{root->text(0)} + childTexts(root);
        customer = childTexts(root->child(0));
        imageOfTotal = nvtarnix::editor::nodeImage(root->child(2));
        tagOfName = nvtarnix::editor::nodeTag(root->child(0)->child(0));
        keyOfName = nvtarnix::editor::nodeKey(root->child(0)->child(0));
        functionRoot = QStringList{funcs->topLevelItem(0)->text(0)} + childTexts(funcs->topLevelItem(0));
        errorFunctions = childTexts(funcs->topLevelItem(0)->child(1));
        title = w->windowTitle();
        check = child<QPushButton>(w, "cmdCheck")->text();
        cancel = child<QPushButton>(w, "cmdCancel")->text();
        varCaption = child<QLabel>(w, "lbVariables")->text();
        funcCaption = child<QLabel>(w, "lbMethods")->text();
        menuItem = w->findChild<QAction *>("mInsertVar")->text();
        checkEnabled = child<QPushButton>(w, "cmdCheck")->isEnabled();
        helpVisible = child<QGroupBox>(w, "frInfo")->isVisible();
        valueListVisible = child<QPushButton>(w, "cmdValueList")->isVisible();
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        text = script->toPlainText();
        coloursAtOpen = codesOfDocument(script->document());
        script->moveCursor(QTextCursor::End);
        QTest::keyClicks(script, " ");
        coloursAfterEdit = codesOfDocument(script->document());
        QWidget *focus = child<QWidget>(w, "tvVariables");
        for (int i = 0; i < 6; ++i) {
            tabOrder << focus->objectName();
            focus = focus->nextInFocusChain();
            while (focus->focusPolicy() == Qt::NoFocus || !focus->isVisibleTo(w) || focus->objectName().isEmpty())
                focus = focus->nextInFocusChain();
        }
        press(w, "cmdCancel");
    });
    builder->Edit();

    QCOMPARE(tabOrder, (QStringList{"tvVariables", "tvFunctions", "cmdCheck", "txtScript", "cmdOK", "cmdCancel"}));
    QCOMPARE(variableRoot, (QStringList{"Μεταβλητές", "Customer", "Order", "Total"}));
    QCOMPARE(customer, (QStringList{"Name", "City"}));
    QCOMPARE(imageOfTotal, 6);
    QCOMPARE(tagOfName, QStringLiteral("[Customer.Name]"));
    QCOMPARE(keyOfName, QStringLiteral("CUST_NAME"));
    QCOMPARE(functionRoot, (QStringList{"Συναρτήσεις", "Global Functions", "Error Functions"}));
    QCOMPARE(errorFunctions, (QStringList{"Clear() as Variant",
                                          "Raise(number as Variant, Source as Variant, Description as Variant, "
                                          "helpfile as Variant, HelpContext as Variant) as Variant"}));
    QCOMPARE(title, QStringLiteral("Οδηγός έκφρασης"));
    QCOMPARE(check, QStringLiteral("Έλεγχος"));
    QCOMPARE(cancel, QStringLiteral("Άκυρο"));
    QCOMPARE(varCaption, QStringLiteral("Διαθέσιμες μεταβλητές:"));
    QCOMPARE(funcCaption, QStringLiteral("Διαθέσιμες συναρτήσεις:"));
    QCOMPARE(menuItem, QStringLiteral("Εισαγωγή μεταβλητής"));
    QCOMPARE(text, QStringLiteral("Len([Customer.Name]) > 2 & \"Oops\""));
    QVERIFY(checkEnabled);
    QVERIFY(!helpVisible);
    QVERIFY(valueListVisible);
    // The host's error word is red until the first edit, variables dark blue.
    QCOMPARE(coloursAtOpen, QStringLiteral("kkkkbbbbbbbbbbbbbbbkkkkkkkkkrrrrk"));
    QCOMPARE(coloursAfterEdit, QStringLiteral("kkkkbbbbbbbbbbbbbbbkkkkkkkkkkkkkkk"));
}

// A host opens the wizard all day long. Icons made anew on each opening
// render their SVG again into Qt's pixmap cache, and memory grows with every
// opening: the second opening shows the very icons of the first.
void tst_Window::reopeningReusesItsIcons()
{
    auto builder = makeBuilder();
    QList<qint64> keys[2];
    for (QList<qint64> &seen : keys) {
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            seen << w->windowIcon().cacheKey();
            for (const char *tree : {"tvVariables", "tvFunctions"})
                seen << child<QTreeWidget>(w, tree)->topLevelItem(0)->icon(0).cacheKey();
            press(w, "cmdCancel");
        });
        builder->Edit();
    }
    QCOMPARE(keys[0].size(), 3);
    QCOMPARE(keys[1], keys[0]);
}

void tst_Window::okHandsBackDatabaseForm()
{
    auto builder = makeBuilder();
    builder->setScript("[Customer.Name] & \"x\"");
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->moveCursor(QTextCursor::End);
        QTest::keyClicks(script, " & [Order.Date]");
        press(w, "cmdOK");
    });
    builder->Edit();
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[CUST_NAME] & \"x\" & [ORD_DATE]"));
    QCOMPARE(builder->Script(), QStringLiteral("[CUST_NAME] & \"x\" & [ORD_DATE]"));
    QCOMPARE(nvtarnix::TarnixObjectAccess::ErrorList(*builder)->Count(), 0);
}

void tst_Window::cancelAndCloseBoxKeepTheScript_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("cancel") << false;
    QTest::newRow("close box") << true;
}

void tst_Window::cancelAndCloseBoxKeepTheScript()
{
    QFETCH(bool, closeBox);
    auto builder = makeBuilder();
    builder->setDatabaseScript("[TOTAL] + 1");
    bool hiddenAfterClose = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        QTest::keyClicks(child<QPlainTextEdit>(w, "txtScript"), "changed ");
        if (closeBox) {
            w->close();
            hiddenAfterClose = !w->isVisible();
        } else {
            press(w, "cmdCancel");
        }
    });
    builder->Edit();
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[TOTAL] + 1"));
    QCOMPARE(builder->Script(), QStringLiteral("[Total] + 1"));
    QCOMPARE(nvtarnix::TarnixObjectAccess::ErrorList(*builder)->Count(), 1);
    if (closeBox)
        QVERIFY(hiddenAfterClose);
}

void tst_Window::invalidExpressionKeepsWindowOpen()
{
    auto builder = makeBuilder();
    builder->setRemoveNewLine(false);
    builder->setScript("[Total] +");
    builder->setRemoveNewLine(true);
    SeenMessage seen;
    bool stillShown = false;
    QString shownText;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->moveCursor(QTextCursor::End);
        QTest::keyClick(script, Qt::Key_Return);
        QTest::keyClicks(script, "*");
        const auto box = testsupport::answerMessageBox(seen);
        press(w, "cmdOK");
        stillShown = w->isVisible();
        shownText = script->toPlainText();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(stillShown);
    QCOMPARE(seen.title, QStringLiteral("Έλεγχος έκφρασης"));
    QCOMPARE(seen.icon, QMessageBox::Information);
    QVERIFY2(seen.text.startsWith(QStringLiteral("Η έκφραση δεν είναι σωστή.\r\nΣφάλμα:=")), qPrintable(seen.text));
    QVERIFY(seen.text.contains(QStringLiteral("\t\r\nΓραμμή: 1\r\nΣτήλη: ")));
    // The line break became a blank before the check, also when it failed.
    QCOMPARE(shownText, QStringLiteral("[Total] + *"));
    QCOMPARE(builder->Script(), QStringLiteral("[Total] +"));
}

void tst_Window::textEditing()
{
    auto builder = makeBuilder();
    builder->setScript("Len([Customer.Name]) + [Total]");
    QString selected;
    bool enabledAfterCheck = true, enabledAfterTyping = false;
    QList<double> sizes;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *check = child<QPushButton>(w, "cmdCheck");
        // A click inside a reference selects all of it.
        QTextCursor cursor = script->textCursor();
        cursor.setPosition(8);
        const QPoint inside = script->cursorRect(cursor).center();
        QTest::mouseClick(script->viewport(), Qt::LeftButton, {}, inside);
        QCoreApplication::processEvents();
        selected = script->textCursor().selectedText();

        press(w, "cmdCheck");
        enabledAfterCheck = check->isEnabled();
        script->moveCursor(QTextCursor::End);
        QTest::keyClicks(script, " ");
        enabledAfterTyping = check->isEnabled();

        sizes << script->font().pointSizeF();
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        sizes << script->font().pointSizeF();
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(script, Qt::Key_BracketRight);
        sizes << script->font().pointSizeF();
        QTest::keyClick(script, Qt::Key_BracketLeft, Qt::ControlModifier);
        QTest::keyClick(script, Qt::Key_BracketLeft, Qt::ControlModifier);
        sizes << script->font().pointSizeF();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(selected, QStringLiteral("[Customer.Name]"));
    QVERIFY(!enabledAfterCheck);
    QVERIFY(enabledAfterTyping);
    QCOMPARE(sizes, (QList<double>{8.25, 9.25, 9.25, 7.25}));
}

void tst_Window::plusMinusAndTheWheelZoomLikeTheBrackets()
{
    auto builder = makeBuilder();
    QList<double> sizes;
    QString text;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        const auto wheel = [&](int dy, Qt::KeyboardModifiers modifiers) {
            const QPointF at(10, 10);
            QWheelEvent event(at, script->viewport()->mapToGlobal(at), {}, QPoint(0, dy), Qt::NoButton, modifiers,
                              Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(script->viewport(), &event);
        };
        sizes << script->font().pointSizeF();
        QTest::keyClick(script, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(script, Qt::Key_Equal, Qt::ControlModifier);
        QTest::keyClick(script, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
        sizes << script->font().pointSizeF();
        QTest::keyClick(script, Qt::Key_Minus, Qt::ControlModifier);
        sizes << script->font().pointSizeF();
        wheel(120, Qt::ControlModifier);
        sizes << script->font().pointSizeF();
        wheel(-240, Qt::ControlModifier);
        wheel(-120, Qt::NoModifier);
        sizes << script->font().pointSizeF();
        text = script->toPlainText();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(sizes, (QList<double>{8.25, 11.25, 10.25, 11.25, 10.25}));
    // Nothing of the keys lands in the text.
    QCOMPARE(text, QString());
}

void tst_Window::fontSizeIsKept()
{
    auto builder = makeBuilder();
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(editorSettings().value("Editor/fontsize").toString(), QStringLiteral("10.25"));

    double reopened = 0;
    const auto reopening = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        reopened = child<QPlainTextEdit>(w, "txtScript")->font().pointSizeF();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(reopened, 10.25);
}

void tst_Window::lettersInFontSizeSetting()
{
    {
        QSettings settings = editorSettings();
        settings.setValue("Editor/fontsize", "large");
    }
    auto builder = makeBuilder();
    double size = 0;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        size = child<QPlainTextEdit>(w, "txtScript")->font().pointSizeF();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(size, 8.25);
    QCOMPARE(editorSettings().value("Editor/fontsize").toString(), QStringLiteral("8.25"));
}

void tst_Window::enterAndEscapeStayInTheWindow()
{
    auto builder = makeBuilder();
    builder->setScript("[Total] * 2");
    bool shownAfterKeys = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *tree = child<QTreeWidget>(w, "tvVariables");
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Return);
        QTest::keyClick(tree, Qt::Key_Escape);
        QTest::keyClick(child<QPlainTextEdit>(w, "txtScript"), Qt::Key_Escape);
        shownAfterKeys = w->isVisible();
        // Enter on the focused OK button presses it.
        auto *ok = child<QPushButton>(w, "cmdOK");
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_Return);
    });
    builder->Edit();
    QVERIFY(shownAfterKeys);
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[TOTAL] * 2"));
}

void tst_Window::layoutInPixels()
{
    auto builder = makeBuilder();
    QRect ok, vars, vars600, script;
    int filterHeight = 0;
    int previewHeight = 0;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        filterHeight = child<QWidget>(w, "txtFilter")->height();
        previewHeight = child<QWidget>(w, "lblPreview")->height();
        ok = child<QWidget>(w, "cmdOK")->geometry();
        vars = child<QWidget>(w, "tvVariables")->geometry();
        script = child<QWidget>(w, "txtScript")->geometry();
        w->resize(600, 500);
        QCoreApplication::processEvents();
        vars600 = child<QWidget>(w, "tvVariables")->geometry();
        press(w, "cmdCancel");
    });
    builder->Edit();
    // 15 twips per pixel on the test screen (96 dots per inch).
    QCOMPARE(ok, QRect(394, 413, 76, 25));
    // The filter box (its height and a 4-pixel gap) takes the top of the trees' area.
    const int filterRow = filterHeight + 4;
    QCOMPARE(vars, QRect(12, 24 + filterRow, 263, 164 - filterRow));
    // The preview line takes the bottom of the script text's area.
    QCOMPARE(script, QRect(0, 4, 538, 180 - previewHeight));
    QCOMPARE(vars600.width(), (9000 - 540) / 2 / 15);
    QCOMPARE(vars600.height(), (3750 - 375 - 180 - 360) / 15 - filterRow);
}

void tst_Window::editThroughTheBuilder()
{
    auto builder = makeBuilder();
    builder->setShowHelpString(true);
    QWidget *first = nullptr;
    QString help;
    bool intactAfterNestedEdit = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        first = w;
        help = child<QLabel>(w, "lbInfo")->text();
        // A host handler that calls Edit again while the editor runs.
        builder->Edit();
        intactAfterNestedEdit = w->isVisible() && child<QPushButton>(w, "cmdCancel") != nullptr;
        press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(intactAfterNestedEdit);
    QCOMPARE(help, QStringLiteral("Πατώντας το πλήκτρο Έλεγχος μπορείτε να ελεγξετε την ορθότητα της έκφρασης."));

    builder->AddVariable("NEW", "Fresh", "5", "8");
    builder->ClearFunctions();
    builder->AddFunction("Mine", "Twice", "Twice(x)", "Twice(x as Variant)", "", true);
    QWidget *second = nullptr;
    QStringList variables, functions;
    const auto secondRun = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        second = w;
        variables = childTexts(child<QTreeWidget>(w, "tvVariables")->topLevelItem(0));
        const auto *root = child<QTreeWidget>(w, "tvFunctions")->topLevelItem(0);
        functions = childTexts(root) + childTexts(root->child(0));
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(second, first);
    QCOMPARE(variables, (QStringList{"Customer", "Order", "Total", "Fresh"}));
    QCOMPARE(functions, (QStringList{"Mine", "Twice(x as Variant)"}));
}

void tst_Window::missingView()
{
    auto builder = makeBuilder();
    nvtarnix::frmEditor editor;
    nvtarnix::BuilderEditorOwner owner(*builder);
    editor.setOwner(&owner);
    std::shared_ptr<nvtarnix::View> noView;
    QString script = QStringLiteral("1 + 1");
    int variableNodes = -1;
    int functionGroups = -1;
    SeenMessage seen;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        variableNodes = child<QTreeWidget>(w, "tvVariables")->topLevelItem(0)->childCount();
        functionGroups = child<QTreeWidget>(w, "tvFunctions")->topLevelItem(0)->childCount();
        const auto box = testsupport::answerMessageBox(seen);
        press(w, "cmdOK");
        press(w, "cmdCancel");
    });
    QCOMPARE(editor.WindowOpen(noView, script), 0);
    QCOMPARE(script, QStringLiteral("1 + 1"));
    QCOMPARE(variableNodes, 0);
    QCOMPARE(functionGroups, 2);
    QVERIFY2(seen.text.contains(QStringLiteral("Object variable or With block variable not set")), qPrintable(seen.text));
}

NVTARNIX_TEST_CLASS(tst_Window)

#include "tst_window.moc"
