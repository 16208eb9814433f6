#include "EditorTestSupport.h"
#include "component/TarnixObjectAccess.h"
#include "editor/EditorTreeItems.h"
#include "editor/frmEditor.h"
#include "tst_editor.h"

#include <nvtarnix/TarnixObject.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <memory>

using nvtarnix::TarnixObject;

namespace {

// Runs action once a modal window that satisfies the test is shown; the
// action runs inside that window's event loop.
void whenModal(const std::function<bool(QWidget *)> &isWanted, const std::function<void(QWidget *)> &action)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, isWanted, action] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible() || !isWanted(w))
            return;
        timer->stop();
        timer->deleteLater();
        action(w);
    });
    timer->start();
}

void whenEditorShown(const std::function<void(QWidget *)> &action)
{
    whenModal([](QWidget *w) { return w->objectName() == QLatin1String("frmEditor"); }, action);
}

// Answers the next message box with OK and keeps its title, text and icon.
struct SeenMessage
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};
void answerMessage(SeenMessage &seen)
{
    whenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
              [&seen](QWidget *w) {
                  auto *box = static_cast<QMessageBox *>(w);
                  seen = {box->windowTitle(), box->text(), box->icon()};
                  QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
              });
}

template <typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QString::fromLatin1(name));
}

void click(QWidget *window, const char *button)
{
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

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

void EditorWindowTest::initTestCase()
{
    QVERIFY(QStandardPaths::isTestModeEnabled());
}

void EditorWindowTest::init()
{
    QSettings settings = editorSettings();
    settings.clear();
}

void EditorWindowTest::opensWithTreesCaptionsAndColours()
{
    auto builder = makeBuilder();
    builder->setDatabaseScript("Len([CUST_NAME]) > 2 & \"Oops\"");

    QStringList variableRoot, customer, functionRoot, errorFunctions, tabOrder;
    QString title, check, cancel, varCaption, funcCaption, menuItem, text, coloursAtOpen, coloursAfterEdit;
    bool checkEnabled = false, helpVisible = true, valueListVisible = false;
    int imageOfTotal = 0;
    QString tagOfName, keyOfName;
    whenEditorShown([&](QWidget *w) {
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
        click(w, "cmdCancel");
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

void EditorWindowTest::okHandsBackDatabaseForm()
{
    auto builder = makeBuilder();
    builder->setScript("[Customer.Name] & \"x\"");
    whenEditorShown([&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->moveCursor(QTextCursor::End);
        QTest::keyClicks(script, " & [Order.Date]");
        click(w, "cmdOK");
    });
    builder->Edit();
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[CUST_NAME] & \"x\" & [ORD_DATE]"));
    QCOMPARE(builder->Script(), QStringLiteral("[CUST_NAME] & \"x\" & [ORD_DATE]"));
    QCOMPARE(nvtarnix::TarnixObjectAccess::ErrorList(*builder)->Count(), 0);
}

void EditorWindowTest::cancelAndCloseBoxKeepTheScript_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("cancel") << false;
    QTest::newRow("close box") << true;
}

void EditorWindowTest::cancelAndCloseBoxKeepTheScript()
{
    QFETCH(bool, closeBox);
    auto builder = makeBuilder();
    builder->setDatabaseScript("[TOTAL] + 1");
    bool hiddenAfterClose = false;
    whenEditorShown([&](QWidget *w) {
        QTest::keyClicks(child<QPlainTextEdit>(w, "txtScript"), "changed ");
        if (closeBox) {
            w->close();
            hiddenAfterClose = !w->isVisible();
        } else {
            click(w, "cmdCancel");
        }
    });
    builder->Edit();
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[TOTAL] + 1"));
    QCOMPARE(builder->Script(), QStringLiteral("[Total] + 1"));
    QCOMPARE(nvtarnix::TarnixObjectAccess::ErrorList(*builder)->Count(), 1);
    if (closeBox)
        QVERIFY(hiddenAfterClose);
}

void EditorWindowTest::invalidExpressionKeepsWindowOpen()
{
    auto builder = makeBuilder();
    builder->setRemoveNewLine(false);
    builder->setScript("[Total] +");
    builder->setRemoveNewLine(true);
    SeenMessage seen;
    bool stillShown = false;
    QString shownText;
    whenEditorShown([&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->moveCursor(QTextCursor::End);
        QTest::keyClick(script, Qt::Key_Return);
        QTest::keyClicks(script, "*");
        answerMessage(seen);
        click(w, "cmdOK");
        stillShown = w->isVisible();
        shownText = script->toPlainText();
        click(w, "cmdCancel");
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

void EditorWindowTest::textEditing()
{
    auto builder = makeBuilder();
    builder->setScript("Len([Customer.Name]) + [Total]");
    QString selected;
    bool enabledAfterCheck = true, enabledAfterTyping = false;
    QList<double> sizes;
    whenEditorShown([&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *check = child<QPushButton>(w, "cmdCheck");
        // A click inside a reference selects all of it.
        QTextCursor cursor = script->textCursor();
        cursor.setPosition(8);
        const QPoint inside = script->cursorRect(cursor).center();
        QTest::mouseClick(script->viewport(), Qt::LeftButton, {}, inside);
        QCoreApplication::processEvents();
        selected = script->textCursor().selectedText();

        click(w, "cmdCheck");
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
        click(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(selected, QStringLiteral("[Customer.Name]"));
    QVERIFY(!enabledAfterCheck);
    QVERIFY(enabledAfterTyping);
    QCOMPARE(sizes, (QList<double>{8.25, 9.25, 9.25, 7.25}));
}

void EditorWindowTest::fontSizeIsKept()
{
    auto builder = makeBuilder();
    whenEditorShown([&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        QTest::keyClick(script, Qt::Key_BracketRight, Qt::ControlModifier);
        click(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(editorSettings().value("Editor/fontsize").toString(), QStringLiteral("10.25"));

    double reopened = 0;
    whenEditorShown([&](QWidget *w) {
        reopened = child<QPlainTextEdit>(w, "txtScript")->font().pointSizeF();
        click(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(reopened, 10.25);
}

void EditorWindowTest::lettersInFontSizeSetting()
{
    {
        QSettings settings = editorSettings();
        settings.setValue("Editor/fontsize", "large");
    }
    auto builder = makeBuilder();
    double size = 0;
    whenEditorShown([&](QWidget *w) {
        size = child<QPlainTextEdit>(w, "txtScript")->font().pointSizeF();
        click(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(size, 8.25);
    QCOMPARE(editorSettings().value("Editor/fontsize").toString(), QStringLiteral("8.25"));
}

void EditorWindowTest::enterAndEscapeStayInTheWindow()
{
    auto builder = makeBuilder();
    builder->setScript("[Total] * 2");
    bool shownAfterKeys = false;
    whenEditorShown([&](QWidget *w) {
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

void EditorWindowTest::layoutInPixels()
{
    auto builder = makeBuilder();
    QRect ok, vars, vars600, script;
    whenEditorShown([&](QWidget *w) {
        ok = child<QWidget>(w, "cmdOK")->geometry();
        vars = child<QWidget>(w, "tvVariables")->geometry();
        script = child<QWidget>(w, "txtScript")->geometry();
        w->resize(600, 500);
        QCoreApplication::processEvents();
        vars600 = child<QWidget>(w, "tvVariables")->geometry();
        click(w, "cmdCancel");
    });
    builder->Edit();
    // 15 twips per pixel on the test screen (96 dots per inch).
    QCOMPARE(ok, QRect(394, 413, 76, 25));
    QCOMPARE(vars, QRect(12, 24, 263, 164));
    QCOMPARE(script, QRect(0, 4, 538, 180));
    QCOMPARE(vars600.width(), (9000 - 540) / 2 / 15);
    QCOMPARE(vars600.height(), (3750 - 375 - 180 - 360) / 15);
}

void EditorWindowTest::editThroughTheBuilder()
{
    auto builder = makeBuilder();
    builder->setShowHelpString(true);
    QWidget *first = nullptr;
    QString help;
    bool intactAfterNestedEdit = false;
    whenEditorShown([&](QWidget *w) {
        first = w;
        help = child<QLabel>(w, "lbInfo")->text();
        // A host handler that calls Edit again while the editor runs.
        builder->Edit();
        intactAfterNestedEdit = w->isVisible() && child<QPushButton>(w, "cmdCancel") != nullptr;
        click(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(intactAfterNestedEdit);
    QCOMPARE(help, QStringLiteral("Πατώντας το πλήκτρο Έλεγχος μπορείτε να ελεγξετε την ορθότητα της έκφρασης."));

    builder->AddVariable("NEW", "Fresh", "5", "8");
    builder->ClearFunctions();
    builder->AddFunction("Mine", "Twice", "Twice(x)", "Twice(x as Variant)", "", true);
    QWidget *second = nullptr;
    QStringList variables, functions;
    whenEditorShown([&](QWidget *w) {
        second = w;
        variables = childTexts(child<QTreeWidget>(w, "tvVariables")->topLevelItem(0));
        const auto *root = child<QTreeWidget>(w, "tvFunctions")->topLevelItem(0);
        functions = childTexts(root) + childTexts(root->child(0));
        click(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(second, first);
    QCOMPARE(variables, (QStringList{"Customer", "Order", "Total", "Fresh"}));
    QCOMPARE(functions, (QStringList{"Mine", "Twice(x as Variant)"}));
}

void EditorWindowTest::missingView()
{
    auto builder = makeBuilder();
    nvtarnix::frmEditor editor;
    editor.setOwner(builder.get());
    std::shared_ptr<nvtarnix::View> noView;
    QString script = QStringLiteral("1 + 1");
    int variableNodes = -1;
    int functionGroups = -1;
    SeenMessage seen;
    whenEditorShown([&](QWidget *w) {
        variableNodes = child<QTreeWidget>(w, "tvVariables")->topLevelItem(0)->childCount();
        functionGroups = child<QTreeWidget>(w, "tvFunctions")->topLevelItem(0)->childCount();
        answerMessage(seen);
        click(w, "cmdOK");
        click(w, "cmdCancel");
    });
    QCOMPARE(editor.WindowOpen(noView, script), 0);
    QCOMPARE(script, QStringLiteral("1 + 1"));
    QCOMPARE(variableNodes, 0);
    QCOMPARE(functionGroups, 2);
    QVERIFY2(seen.text.contains(QStringLiteral("Object variable or With block variable not set")), qPrintable(seen.text));
}
