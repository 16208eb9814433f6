#include "AidsFixture.h"
#include "editor/AccessibleNames.h"
#include "editor/Announcer.h"

#include "TestMain.h"
#include "WindowVisit.h"
#include "support/MlStringModule.h"
#include "valuelist/frmList.h"

#include <nvtarnix/Language.h>
#include <nvtarnix/MemoryRecordset.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

#include <functional>

using testsupport::child;

namespace {

// Every interface under root that a user can reach with the keyboard and
// see, as "role objectName name" lines; unnamed collects those without a name.
void walk(QAccessibleInterface *iface, QStringList &named, QStringList &unnamed, int depth = 0)
{
    if (!iface || depth > 12)
        return;
    const QAccessible::State state = iface->state();
    if (state.focusable && !state.invisible) {
        const QString name = iface->text(QAccessible::Name).trimmed();
        const QString who = QStringLiteral("%1 %2").arg(iface->role()).arg(iface->object() ? iface->object()->objectName()
                                                                                         : QString());
        (name.isEmpty() ? unnamed : named) << who + QLatin1Char(' ') + name;
    }
    for (int i = 0; i < iface->childCount(); ++i)
        walk(iface->child(i), named, unnamed, depth + 1);
}

QAccessibleInterface *accessible(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

void pressThroughAccessibility(QWidget *button)
{
    QAccessibleInterface *iface = accessible(button);
    QVERIFY(iface && iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    // The press is animated: the button is clicked a moment later.
    QTRY_VERIFY2_WITH_TIMEOUT(!button->window()->isVisible(), "the press did not close the window", 3000);
}

void useLanguage(int language)
{
    nvtarnix::setUserInterfaceLanguage(language);
    nvtarnix::InitLanguage(0);
}

} // namespace

// What a screen reader finds in the editor and the value list, in each
// language, and what the announcer says after each kind of change.
class tst_Accessibility : public QObject
{
    Q_OBJECT
private slots:
    void everyControlNamedInTheLanguage_data();
    void everyControlNamedInTheLanguage();
    void treeItemsDescribeThemselves();
    void announcerSaysEachKindOfChange();
    void shiftF10OpensTheTreeMenu();
    void valueListIsNamed_data();
    void valueListIsNamed();
    void cleanup() { useLanguage(nvtarnix::GreekLanguage); }
};

void tst_Accessibility::everyControlNamedInTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("otherScript");
    QTest::addColumn<QString>("preview");
    QTest::newRow("Greek") << int(nvtarnix::GreekLanguage) << "Έκφραση" << "Expression" << "Προεπισκόπηση";
    QTest::newRow("English") << int(nvtarnix::EnglishLanguage) << "Expression" << "Έκφραση" << "Preview";
}

void tst_Accessibility::everyControlNamedInTheLanguage()
{
    QFETCH(int, language);
    QFETCH(QString, script);
    QFETCH(QString, otherScript);
    QFETCH(QString, preview);
    useLanguage(language);
    auto builder = makeAidsBuilder();
    builder->setScript("[Total] * 2");
    QStringList named, unnamed, treeNames, headers, captions;
    QString scriptName, filterName, completionName, hintName, previewLine;
    bool pressed = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        walk(accessible(w), named, unnamed);
        for (const char *tree : {"tvVariables", "tvFunctions"}) {
            treeNames << nameOf(child<QTreeWidget>(w, tree));
            headers << child<QTreeWidget>(w, tree)->headerItem()->text(0);
        }
        for (const char *label : {"lbVariables", "lbMethods"})
            captions << nvtarnix::editor::nameFromCaption(child<QLabel>(w, label)->text());
        scriptName = nameOf(child<QPlainTextEdit>(w, "txtScript"));
        filterName = nameOf(child<QLineEdit>(w, "txtFilter"));
        completionName = nameOf(child<QListWidget>(w, "lstCompletion"));
        hintName = nameOf(child<QLabel>(w, "lblArgumentHint"));
        QTRY_VERIFY_WITH_TIMEOUT(!child<QLabel>(w, "lblPreview")->text().isEmpty(), 5000);
        previewLine = nameOf(child<QLabel>(w, "lblPreview"));
        pressThroughAccessibility(child<QPushButton>(w, "cmdCancel"));
        pressed = true;
    });
    QCOMPARE(builder->Edit(), false);
    QVERIFY(pressed);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(" | "))));
    QVERIFY2(named.size() >= 8, qPrintable(named.join(QLatin1String(" | "))));
    QCOMPARE(scriptName, script);
    QCOMPARE(treeNames, captions);
    QCOMPARE(headers, captions);
    QVERIFY(!treeNames.first().endsWith(QLatin1Char(':')));
    // The preview's name carries its value, as its text would.
    QVERIFY2(previewLine.startsWith(preview + QStringLiteral(": ")), qPrintable(previewLine));
    for (const QString &name : {filterName, completionName, hintName})
        QVERIFY(!name.isEmpty());
    // Nothing a user reaches speaks the other language.
    QVERIFY(!named.join(QLatin1Char('\n')).contains(otherScript));
}

void tst_Accessibility::treeItemsDescribeThemselves()
{
    useLanguage(nvtarnix::EnglishLanguage);
    auto builder = makeAidsBuilder();
    QString variable, function;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *variables = child<QTreeWidget>(w, "tvVariables");
        const auto found = variables->findItems(QStringLiteral("Name"), Qt::MatchRecursive | Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        variable = found.first()->data(0, Qt::AccessibleDescriptionRole).toString();
        auto *functions = child<QTreeWidget>(w, "tvFunctions");
        const auto ucase = functions->findItems(QStringLiteral("UCase"), Qt::MatchRecursive | Qt::MatchStartsWith);
        QVERIFY(!ucase.isEmpty());
        function = ucase.first()->data(0, Qt::AccessibleDescriptionRole).toString();
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY2(variable.contains(QStringLiteral("CUST_NAME")), qPrintable(variable));
    QVERIFY2(variable.contains(QStringLiteral("The customer's registered name")), qPrintable(variable));
    QVERIFY2(variable.contains(QStringLiteral("Type: Text")), qPrintable(variable));
    QVERIFY2(!variable.contains(QLatin1Char('<')), qPrintable(variable));
    QVERIFY2(function.contains(QStringLiteral("UCase(")), qPrintable(function));
}

void tst_Accessibility::announcerSaysEachKindOfChange()
{
    useLanguage(nvtarnix::EnglishLanguage);
    auto builder = makeAidsBuilder();
    QStringList said;
    QString role;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *announcement = child<QLabel>(w, "lblAnnouncement");
        QVERIFY(announcement);
        role = QString::number(accessible(announcement)->role());
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *variables = child<QTreeWidget>(w, "tvVariables");
        // An insertion from the tree, with Enter.
        variables->setFocus();
        variables->setCurrentItem(
            variables->findItems(QStringLiteral("Total"), Qt::MatchRecursive | Qt::MatchExactly).first());
        auto *announcer = w->findChild<nvtarnix::editor::Announcer *>();
        QVERIFY(announcer);
        QSignalSpy spoken(announcer, &nvtarnix::editor::Announcer::announced);
        QTest::keyClick(variables, Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, 3000);
        said << announcement->text();
        // The preview once typing pauses.
        script->setFocus();
        QTest::keyClicks(script, " * 2");
        QTRY_VERIFY2_WITH_TIMEOUT(announcement->text().startsWith(QLatin1String("Preview")), "no preview said", 5000);
        said << announcement->text();
        // A passed check.
        testsupport::press(w, "cmdCheck");
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 3, 3000);
        said << announcement->text();
        // A problem the caret comes to rest in.
        script->selectAll();
        QTest::keyClicks(script, "[Nobody]");
        QTRY_VERIFY2_WITH_TIMEOUT(announcement->text().startsWith(QLatin1String("Unknown")), "no problem said", 5000);
        said << announcement->text();
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(role, QString::number(QAccessible::Notification));
    QCOMPARE(said.value(0), QStringLiteral("Inserted [Total]"));
    QCOMPARE(said.value(1), QStringLiteral("Preview: 5"));
    QCOMPARE(said.value(2), QStringLiteral("The expression is correct."));
    QVERIFY2(said.value(3).startsWith(QLatin1String("Unknown variable")), qPrintable(said.value(3)));
}

void tst_Accessibility::shiftF10OpensTheTreeMenu()
{
    auto builder = makeAidsBuilder();
    QStringList opened;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *menu = w->findChild<QMenu *>("mEditVariables");
        for (const char *name : {"tvVariables", "tvFunctions"}) {
            auto *tree = child<QTreeWidget>(w, name);
            tree->setFocus();
            tree->setCurrentItem(tree->topLevelItem(0));
            QTest::keyClick(tree, Qt::Key_F10, Qt::ShiftModifier);
            QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), 3000);
            opened << QString::fromLatin1(name);
            menu->close();
        }
        testsupport::press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(opened, (QStringList{"tvVariables", "tvFunctions"}));
}

void tst_Accessibility::valueListIsNamed_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("name");
    QTest::newRow("Greek") << int(nvtarnix::GreekLanguage) << "Λίστα Τιμών";
    QTest::newRow("English") << int(nvtarnix::EnglishLanguage) << "Value List";
}

void tst_Accessibility::valueListIsNamed()
{
    QFETCH(int, language);
    QFETCH(QString, name);
    useLanguage(language);
    auto rows = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"CODE", "DESCR"});
    rows->addRow({1, "Open"});
    rows->addRow({2, "Closed"});
    nvtarnix::frmList list;
    QStringList named, unnamed;
    QString listName;
    const auto visit = testsupport::whenShown("frmList", [&](QWidget *w) {
        walk(accessible(w), named, unnamed);
        listName = nameOf(child<QTreeWidget>(w, "lstValueList"));
        pressThroughAccessibility(child<QPushButton>(w, "cmdCancel"));
    });
    qint32 selected = 0;
    QCOMPARE(list.WindowOpen(rows, "CODE", "DESCR", selected), 0);
    QCOMPARE(listName, name);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(" | "))));
}

NVTARNIX_TEST_CLASS(tst_Accessibility)
#include "tst_accessibility.moc"
