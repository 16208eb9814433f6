#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using testsupport::child;
using testsupport::press;

namespace {

// The shown nodes of a tree, depth first, children indented by one blank.
QStringList shownNodes(const QTreeWidget *tree)
{
    QStringList shown;
    const std::function<void(const QTreeWidgetItem *, int)> walk = [&](const QTreeWidgetItem *item, int depth) {
        if (item->isHidden())
            return;
        shown << QString(depth, QLatin1Char(' ')) + item->text(0) + (item->childCount() && item->isExpanded() ? "+" : "");
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return shown;
}

} // namespace

// The filter box over the two trees, typed into as a user does.
class tst_FilterBox : public QObject
{
    Q_OBJECT
private slots:
    void typingNarrowsBothTrees_data();
    void typingNarrowsBothTrees();
    void escapeRestoresTreesAndExpansion();
    void ctrlFFocusesTheBox();
};

void tst_FilterBox::typingNarrowsBothTrees_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("variables");
    QTest::addColumn<int>("functionCount");
    QTest::newRow("accent and case folded")
        << "ονομα" << QStringList{"Μεταβλητές+", " Πελάτης+", "  Όνομα"} << 0;
    QTest::newRow("latin is not greek") << "ONOMA" << QStringList{"Μεταβλητές+"} << 0;
    QTest::newRow("by ID") << "ord_d" << QStringList{"Μεταβλητές+", " Order+", "  Date"} << 0;
    QTest::newRow("by help text") << "registered" << QStringList{"Μεταβλητές+", " Customer+", "  Name"} << 0;
    QTest::newRow("group shows its variables")
        << "custom" << QStringList{"Μεταβλητές+", " Customer+", "  Name", "  City"} << 0;
    QTest::newRow("function by name") << "ucase" << QStringList{"Μεταβλητές+"} << 1;
}

void tst_FilterBox::typingNarrowsBothTrees()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, variables);
    QFETCH(int, functionCount);
    auto builder = makeAidsBuilder();
    QStringList shownVariables;
    int shownFunctions = -1;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *filter = child<QLineEdit>(w, "txtFilter");
        QVERIFY(filter);
        QVERIFY(!filter->placeholderText().isEmpty());
        typeText(filter, typed);
        shownVariables = shownNodes(child<QTreeWidget>(w, "tvVariables"));
        // Leaves only: functions, not their interface or root.
        shownFunctions = 0;
        for (const QString &node : shownNodes(child<QTreeWidget>(w, "tvFunctions")))
            shownFunctions += node.startsWith(QLatin1String("  ")) ? 1 : 0;
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(shownVariables, variables);
    QCOMPARE(shownFunctions, functionCount);
}

void tst_FilterBox::escapeRestoresTreesAndExpansion()
{
    auto builder = makeAidsBuilder();
    QStringList before, filtered, after;
    QStringList functionsBefore, functionsAfter;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *variables = child<QTreeWidget>(w, "tvVariables");
        auto *functions = child<QTreeWidget>(w, "tvFunctions");
        // The user folds a group; filtering opens it, Esc folds it again.
        variables->topLevelItem(0)->child(0)->setExpanded(false);
        before = shownNodes(variables);
        functionsBefore = shownNodes(functions);
        auto *filter = child<QLineEdit>(w, "txtFilter");
        QTest::keyClicks(filter, "city");
        filtered = shownNodes(variables);
        QTest::keyClick(filter, Qt::Key_Escape);
        QVERIFY(filter->text().isEmpty());
        QVERIFY(w->isVisible());
        after = shownNodes(variables);
        functionsAfter = shownNodes(functions);
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(filtered, (QStringList{"Μεταβλητές+", " Customer+", "  City"}));
    QCOMPARE(after, before);
    QCOMPARE(functionsAfter, functionsBefore);
    QVERIFY(before.contains(" Customer"));
}

void tst_FilterBox::ctrlFFocusesTheBox()
{
    auto builder = makeAidsBuilder();
    QString focused;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        QApplication::setActiveWindow(w);
        QTest::keyClick(child<QWidget>(w, "tvVariables"), Qt::Key_F, Qt::ControlModifier);
        focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(focused, QStringLiteral("txtFilter"));
}

NVTARNIX_TEST_CLASS(tst_FilterBox)
#include "tst_filterbox.moc"
