#include "editor/frmEditor.h"

#include "SqliteFile.h"
#include "TestMain.h"
#include "WindowVisit.h"

#include <nvtarnix/Error.h>
#include <nvtarnix/SqlRecordset.h>
#include <nvtarnix/TarnixObject.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>

using nvtarnix::TarnixObject;
using testsupport::child;

namespace {

const QString kCheckHint =
    QStringLiteral("Πατώντας το πλήκτρο Έλεγχος μπορείτε να ελεγξετε την ορθότητα της έκφρασης.");

QTreeWidgetItem *nodeByText(QTreeWidget *tree, const QString &text)
{
    const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

QPoint centreOf(QTreeWidget *tree, QTreeWidgetItem *item)
{
    return tree->visualItemRect(item).center();
}

void clickNode(QTreeWidget *tree, const QString &text)
{
    QTreeWidgetItem *item = nodeByText(tree, text);
    QVERIFY2(item, qPrintable(text));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, item));
}

void doubleClickNode(QTreeWidget *tree, const QString &text)
{
    QTreeWidgetItem *item = nodeByText(tree, text);
    QVERIFY2(item, qPrintable(text));
    // A double-click begins as a click, which selects the node.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, item));
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, centreOf(tree, item));
}

// Selects characters [start, start + length) of the script.
void selectScript(QPlainTextEdit *script, int start, int length)
{
    QTextCursor cursor = script->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    script->setTextCursor(cursor);
}

// The value list of statuses from the shared list database; withLetters adds
// a row whose code is not a number.
std::shared_ptr<nvtarnix::Recordset> statusCodes(const testsupport::ValueListDatabase &database,
                                                 bool withLetters = false)
{
    return std::make_shared<nvtarnix::SqlRecordset>(
        database.database(), QStringLiteral("SELECT CODE, DESCR FROM STATUS")
                                 + (withLetters ? " UNION ALL SELECT CODE, DESCR FROM ODD WHERE CODE = 'abc'" : ""));
}

std::unique_ptr<TarnixObject> makeBuilder()
{
    auto builder = std::make_unique<TarnixObject>();
    builder->AddVariable("CUST_NAME", "Name", "0", "50", "3", "0", {}, {}, {}, "Customer", {}, "Who ordered");
    builder->AddVariable("STATUS", "Status", "5", "4", "3", "1", "statuses", "CODE", "DESCR");
    builder->AddVariable("KIND", "Kind", "5", "4", "3", "2", "kinds", "CODE", "NOSUCHFIELD");
    builder->AddVariable("CITY", "City", "10", "30", "3", "1", "cities", "CODE", "DESCR", "Customer");
    builder->AddVariable("ORD_DATE", "Date", "4", "8", "3", "2", "dates", "CODE", "DESCR");
    builder->AddVariable("QTY", "Quantity", "5", "8", "3", "0");
    builder->ClearFunctions();
    builder->AddFunction("Flow", "IfThen", "If % Then", "If condition Then", "", true);
    builder->AddFunction("Flow", "Twice", "(%) + (%)", "Twice(x)", "Adds x to itself", true);
    builder->AddFunction("Flow", "Len", "Len()", "Len(text as String) as Long", "", true);
    return builder;
}

// The value lists' database and a component whose list requests `answer`
// answers, on the thread that asks, as a host's slot does.
struct ValueListHost
{
    testsupport::ValueListDatabase database;
    std::unique_ptr<TarnixObject> builder = makeBuilder();

    void answerWith(std::function<void(QString &, QVariant &)> answer)
    {
        QObject::connect(builder.get(), &TarnixObject::ListSourceRequest, builder.get(), std::move(answer),
                         Qt::DirectConnection);
    }
};

nvtarnix::frmEditor *editorOf(QWidget *w)
{
    return qobject_cast<nvtarnix::frmEditor *>(w);
}

// The editor run by the builder; inside is called while the window is shown,
// and the run is cancelled after it.
void runEditor(TarnixObject &builder, const std::function<void(nvtarnix::frmEditor &)> &inside)
{
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        inside(*editorOf(w));
        testsupport::press(w, "cmdCancel");
    });
    builder.Edit();
}

// What the user saw and did in the value list dialog.
struct ListVisit
{
    bool opened = false;
    QStringList codes;
    // The row chosen when the list opened.
    QString current;
};

// Picks the row whose code reads code (nothing when empty) and confirms,
// or cancels when confirm is false. OK does nothing until a row is picked:
// a list left open by it is cancelled.
[[nodiscard]] testsupport::WindowVisit answerList(ListVisit &visit, const QString &code, bool confirm = true)
{
    return testsupport::whenShown("frmList", [&visit, code, confirm](QWidget *w) {
        visit.opened = true;
        auto *list = child<QTreeWidget>(w, "lstValueList");
        visit.current = list->currentItem() ? list->currentItem()->text(0) : QString();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            visit.codes << list->topLevelItem(i)->text(0);
        if (!code.isEmpty()) {
            QTreeWidgetItem *row = list->findItems(code, Qt::MatchExactly).value(0);
            QVERIFY2(row, qPrintable(code));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centreOf(list, row));
        }
        testsupport::press(w, confirm ? "cmdOK" : "cmdCancel");
        if (w->isVisible())
            testsupport::press(w, "cmdCancel");
    });
}

} // namespace

class tst_TreeInteraction : public QObject
{
    Q_OBJECT
private slots:
    void helpLine();
    void valueListButtonFollowsVariableTree();
    void insertion();
    void contextMenu();
    void valueListRoundTrip_data();
    void valueListWithGuidedEditing();
    void valueListRoundTrip();
    void noListNoAnswer();
    void valueListErrors_data();
    void valueListErrors();
};

void tst_TreeInteraction::helpLine()
{
    auto builder = makeBuilder();
    builder->setShowHelpString(true);
    QStringList seen;
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        const auto shown = [&](QTreeWidget *tree, const QString &node) {
            clickNode(tree, node);
            seen << editor.lbInfo->text();
        };
        shown(editor.tvFunctions, "If condition Then");
        shown(editor.tvFunctions, "Twice(x)");
        shown(editor.tvFunctions, "Flow");
        shown(editor.tvVariables, "Name");
        shown(editor.tvVariables, "Quantity");
        // The keyboard moves the selection like a click.
        QTest::keyClick(editor.tvVariables, Qt::Key_Up);
        seen << editor.lbInfo->text();
    });
    QCOMPARE(seen, (QStringList{
                       "Κάνοντας διπλό κλικ στο επιλεγμένο αντικείμενο (If condition Then) μπορείτε να το εισάγετε "
                       "στην έκφραση.",
                       "Adds x to itself", kCheckHint, "Who ordered",
                       "Κάνοντας διπλό κλικ στο επιλεγμένο αντικείμενο (Quantity) μπορείτε να το εισάγετε στην "
                       "έκφραση.",
                       "Κάνοντας διπλό κλικ στο επιλεγμένο αντικείμενο (Date) μπορείτε να το εισάγετε στην "
                       "έκφραση."}));

    builder->setShowHelpString(false);
    QString hidden;
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        clickNode(editor.tvFunctions, "Twice(x)");
        hidden = editor.lbInfo->text();
    });
    QCOMPARE(hidden, kCheckHint);
}

void tst_TreeInteraction::valueListButtonFollowsVariableTree()
{
    auto builder = makeBuilder();
    QList<bool> enabled;
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        enabled << editor.cmdValueList->isEnabled();
        for (const char *node : {"Status", "City", "Kind", "Date", "Kind", "Quantity", "Status"}) {
            clickNode(editor.tvVariables, QString::fromUtf8(node));
            enabled << editor.cmdValueList->isEnabled();
        }
        // The function tree leaves the button to the variable tree's node.
        clickNode(editor.tvFunctions, "Len(text as String) as Long");
        enabled << editor.cmdValueList->isEnabled();
    });
    QCOMPARE(enabled, (QList<bool>{false, true, false, true, false, true, false, true, true}));
}

void tst_TreeInteraction::insertion()
{
    auto builder = makeBuilder();
    QStringList texts;
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        editor.setScriptText("x > 1 And y");
        // Enter on the root before any node was chosen: nothing to insert.
        editor.tvVariables->setFocus();
        editor.tvVariables->setCurrentItem(editor.tvVariables->topLevelItem(0));
        QTest::keyClick(editor.tvVariables, Qt::Key_Return);
        texts << editor.scriptText();

        selectScript(editor.txtScript, 0, 5);
        clickNode(editor.tvFunctions, "If condition Then");
        QTest::keyClick(editor.tvFunctions, Qt::Key_Return, Qt::ShiftModifier);
        texts << editor.scriptText();

        selectScript(editor.txtScript, 18, 1);
        doubleClickNode(editor.tvVariables, "Name");
        texts << editor.scriptText();

        // The menu inserts at the caret, which stays after each insertion.
        clickNode(editor.tvVariables, "Quantity");
        QTest::mouseClick(editor.tvVariables->viewport(), Qt::RightButton, {},
                          centreOf(editor.tvVariables, nodeByText(editor.tvVariables, "Quantity")));
        QMenu *menu = editor.mEditVariables;
        QVERIFY(menu->isVisible());
        editor.mInsertVar->trigger();
        menu->hide();
        texts << editor.scriptText();

        selectScript(editor.txtScript, 3, 5);
        doubleClickNode(editor.tvFunctions, "Twice(x)");
        texts << editor.scriptText();

        // An interface node has nothing to insert.
        doubleClickNode(editor.tvFunctions, "Flow");
        texts << editor.scriptText();
    });
    QCOMPARE(texts, (QStringList{"x > 1 And y", "If x > 1 Then And y", "If x > 1 Then And [Customer.Name]",
                                 "If x > 1 Then And [Customer.Name][Quantity]",
                                 "If (x > 1) + (x > 1) Then And [Customer.Name][Quantity]",
                                 "If (x > 1) + (x > 1) Then And [Customer.Name][Quantity]"}));
}

void tst_TreeInteraction::contextMenu()
{
    auto builder = makeBuilder();
    // mInsertVar, mValueList, mInsertFunc as each right-click found them.
    QList<QList<bool>> states;
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        const auto rightClick = [&](QTreeWidget *tree, const QString &node) {
            QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, centreOf(tree, nodeByText(tree, node)));
            QVERIFY(editor.mEditVariables->isVisible());
            states << QList<bool>{editor.mInsertVar->isEnabled(), editor.mValueList->isEnabled(),
                                  editor.mInsertFunc->isEnabled()};
            editor.mEditVariables->hide();
        };
        rightClick(editor.tvVariables, "Status");
        rightClick(editor.tvVariables, "City");
        rightClick(editor.tvFunctions, "Flow");
        // The keyboard's menu key on the variable tree, whose node is City.
        editor.tvVariables->setFocus();
        QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(0, 0),
                                  editor.tvVariables->mapToGlobal(QPoint(0, 0)));
        QApplication::sendEvent(editor.tvVariables, &menuKey);
        states << QList<bool>{editor.mEditVariables->isVisible(), editor.mInsertVar->isEnabled(),
                              editor.mValueList->isEnabled(), editor.mInsertFunc->isEnabled()};
        editor.mEditVariables->hide();
    });
    QCOMPARE(states, (QList<QList<bool>>{{true, true, false},
                                         {true, false, false},
                                         {false, false, true},
                                         {true, true, false, false}}));
}

void tst_TreeInteraction::valueListRoundTrip_data()
{
    QTest::addColumn<QString>("pick");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("script");
    QTest::newRow("numeric text") << "12" << true << false << "[Status] = 12";
    QTest::newRow("half to even, down") << "2.5" << true << true << "[Status] = 2";
    QTest::newRow("half to even, up") << "3.5" << true << false << "[Status] = 4";
    QTest::newRow("no row picked inserts nothing") << "" << true << false << "[Status] = ";
    QTest::newRow("cancelled") << "12" << false << true << "[Status] = ";
}

void tst_TreeInteraction::valueListRoundTrip()
{
    QFETCH(QString, pick);
    QFETCH(bool, confirm);
    QFETCH(bool, fromMenu);
    QFETCH(QString, script);

    ValueListHost host;
    QStringList asked;
    host.answerWith([&](QString &vListName, QVariant &vData) {
        asked << vListName;
        // The second answer names the recordset's own class.
        if (asked.size() == 1)
            vData = QVariant::fromValue(statusCodes(host.database));
        else
            vData = QVariant::fromValue(std::static_pointer_cast<nvtarnix::SqlRecordset>(statusCodes(host.database)));
    });

    QString text;
    ListVisit visit;
    // Twice, so the second request runs on the dialog the first one left.
    for (int round = 0; round < 2; ++round) {
        visit = {};
        runEditor(*host.builder, [&](nvtarnix::frmEditor &editor) {
            editor.setScriptText("[Status] = ");
            editor.txtScript->moveCursor(QTextCursor::End);
            clickNode(editor.tvVariables, "Status");
            const auto list = answerList(visit, pick, confirm);
            if (fromMenu) {
                QTest::mouseClick(editor.tvVariables->viewport(), Qt::RightButton, {},
                                  centreOf(editor.tvVariables, nodeByText(editor.tvVariables, "Status")));
                editor.mValueList->trigger();
                editor.mEditVariables->hide();
            } else {
                QTest::mouseClick(editor.cmdValueList, Qt::LeftButton);
            }
            text = editor.scriptText();
        });
        QVERIFY(visit.opened);
        QCOMPARE(text, script);
    }
    QCOMPARE(asked, (QStringList{"statuses", "statuses"}));
    QCOMPARE(visit.codes, (QStringList{"2.5", "3.5", "10", "12", "20", "30"}));
}

// With guided editing the list is for the variable at the caret, and the
// code picked makes a whole comparison or takes the place of the code
// already written there.
void tst_TreeInteraction::valueListWithGuidedEditing()
{
    ValueListHost host;
    host.builder->setGuidedEditing(true);
    host.answerWith([&](QString &, QVariant &vData) { vData = QVariant::fromValue(statusCodes(host.database)); });
    QStringList texts, started;
    bool enabledByCaret = false;
    for (const QString &start : {QStringLiteral("[Status]"), QStringLiteral("[Status] < 10"),
                                 QStringLiteral("1 = 1 And [Status] >")}) {
        ListVisit visit;
        runEditor(*host.builder, [&](nvtarnix::frmEditor &editor) {
            editor.setScriptText(start);
            editor.txtScript->moveCursor(QTextCursor::End);
            enabledByCaret = editor.cmdValueList->isEnabled();
            const auto list = answerList(visit, QStringLiteral("12"));
            QTest::mouseClick(editor.cmdValueList, Qt::LeftButton);
            texts << editor.scriptText();
        });
        QVERIFY2(enabledByCaret && visit.opened, qPrintable(start));
        started << visit.current;
    }
    QCOMPARE(texts, (QStringList{"[Status] = 12", "[Status] < 12", "1 = 1 And [Status] > 12"}));
    // The list starts on the code already written.
    QCOMPARE(started, (QStringList{"", "10", ""}));
}

void tst_TreeInteraction::noListNoAnswer()
{
    auto builder = makeBuilder();
    int asked = 0;
    bool answer = false;
    QObject::connect(
        builder.get(), &TarnixObject::ListSourceRequest, builder.get(),
        [&](QString &, QVariant &vData) {
            ++asked;
            if (answer)
                vData = QVariant::fromValue(std::shared_ptr<nvtarnix::Recordset>());
        },
        Qt::DirectConnection);
    QString text;
    bool dialogSeen = false;
    int unknownKeyError = 0;
    const auto watcher = testsupport::ifShown(
        QStringLiteral("a window besides the editor"),
        [](QWidget *w) { return w->objectName() != QLatin1String("frmEditor"); },
        [&](QWidget *w) {
            dialogSeen = true;
            testsupport::closeWindow(w);
        });
    runEditor(*builder, [&](nvtarnix::frmEditor &editor) {
        // No list for this variable: the host is not asked.
        editor.RequestValueList("QTY");
        // The host leaves vData empty, then answers with no recordset.
        clickNode(editor.tvVariables, "Status");
        QTest::mouseClick(editor.cmdValueList, Qt::LeftButton);
        answer = true;
        QTest::mouseClick(editor.cmdValueList, Qt::LeftButton);
        // Whatever the answer queued has run.
        QCoreApplication::processEvents();
        text = editor.scriptText();
        // A key that is not a field of the view reaches the caller.
        try {
            editor.RequestValueList("NOPE");
        } catch (const nvtarnix::Error &error) {
            unknownKeyError = error.number();
        }
    });
    QCOMPARE(unknownKeyError, 5);
    QCOMPARE(asked, 2);
    QVERIFY(!dialogSeen);
    QCOMPARE(text, QString());
}

void tst_TreeInteraction::valueListErrors_data()
{
    QTest::addColumn<QString>("variable");
    QTest::addColumn<int>("answer"); // 0 text, 1 all codes, 2 numeric codes
    QTest::addColumn<QString>("pick");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a recordset") << "Status" << 0 << "" << "13: Type mismatch";
    QTest::newRow("missing field") << "Kind" << 2 << "" << "3265: ";
    QTest::newRow("code not a number") << "Status" << 1 << "abc" << "13: ";
}

void tst_TreeInteraction::valueListErrors()
{
    QFETCH(QString, variable);
    QFETCH(int, answer);
    QFETCH(QString, pick);
    QFETCH(QString, message);

    ValueListHost host;
    host.answerWith([&](QString &, QVariant &vData) {
        vData = answer == 0 ? QVariant(QStringLiteral("rows"))
                            : QVariant::fromValue(statusCodes(host.database, answer == 1));
    });

    testsupport::SeenMessage shown;
    QString text;
    bool listStillOpen = true;
    ListVisit visit;
    runEditor(*host.builder, [&](nvtarnix::frmEditor &editor) {
        clickNode(editor.tvVariables, variable);
        std::optional<testsupport::WindowVisit> list;
        if (!pick.isEmpty())
            list.emplace(answerList(visit, pick));
        const auto box = testsupport::answerMessageBox(shown);
        QTest::mouseClick(editor.cmdValueList, Qt::LeftButton);
        listStillOpen = false;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("frmList") && w->isVisible())
                listStillOpen = true;
        // The editor goes on working.
        doubleClickNode(editor.tvVariables, "Quantity");
        text = editor.scriptText();
    });
    QVERIFY2(shown.text.startsWith(message), qPrintable(shown.text + QLatin1Char('/') + message));
    QVERIFY(!listStillOpen);
    QCOMPARE(text, QStringLiteral("[Quantity]"));
}

NVTARNIX_TEST_CLASS(tst_TreeInteraction)

#include "tst_treeinteraction.moc"
