#include "AidsFixture.h"
#include "EditorTestSupport.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using testsupport::child;
using testsupport::press;

namespace {

QStringList entries(const QListWidget *list)
{
    QStringList texts;
    if (!list->isVisible())
        return texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

} // namespace

// The completion list in the script text, worked with the keyboard and the mouse.
class tst_Completion : public QObject
{
    Q_OBJECT
private slots:
    void keysChooseAndInsert_data();
    void keysChooseAndInsert();
    void clickInsertsAndRecolours();
    void neverInsideAString();
};

void tst_Completion::keysChooseAndInsert_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("bracket, narrowed, Enter")
        << "1 & [cust" << QStringList{"[Customer.Name]", "[Customer.City]"} << QList<int>{Qt::Key_Return}
        << "1 & [Customer.Name]";
    QTest::newRow("Down then Tab") << "[cust" << QStringList{"[Customer.Name]", "[Customer.City]"}
                                   << QList<int>{Qt::Key_Down, Qt::Key_Tab} << "[Customer.City]";
    QTest::newRow("greek without accents") << "[ονομ" << QStringList{"[Πελάτης.Όνομα]"}
                                           << QList<int>{Qt::Key_Return} << "[Πελάτης.Όνομα]";
    QTest::newRow("function after three letters")
        << "1 + UCa" << QStringList{"UCase(string)"} << QList<int>{Qt::Key_Tab} << "1 + UCase(";
    QTest::newRow("Esc closes, text stays") << "[cust" << QStringList{"[Customer.Name]", "[Customer.City]"}
                                            << QList<int>{Qt::Key_Escape} << "[cust";
}

void tst_Completion::keysChooseAndInsert()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, offered);
    QFETCH(QList<int>, keys);
    QFETCH(QString, text);
    auto builder = makeAidsBuilder();
    QStringList seen;
    QString after;
    bool openAfter = true;
    bool focusStayed = false;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        script->setFocus();
        typeText(script, typed);
        auto *list = child<QListWidget>(w, "lstCompletion");
        seen = entries(list);
        for (int key : keys)
            QTest::keyClick(script, Qt::Key(key));
        after = script->toPlainText();
        openAfter = list->isVisible();
        focusStayed = w->focusWidget() == script;
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(seen, offered);
    QCOMPARE(after, text);
    QVERIFY(!openAfter);
    QVERIFY(focusStayed);
}

void tst_Completion::clickInsertsAndRecolours()
{
    auto builder = makeAidsBuilder();
    QString after, colours;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        typeText(script, "1 & [ci");
        auto *list = child<QListWidget>(w, "lstCompletion");
        QVERIFY(list->isVisible());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        after = script->toPlainText();
        colours = codesOfDocument(script->document());
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(after, QStringLiteral("1 & [Customer.City]"));
    QCOMPARE(colours, QStringLiteral("kkkkbbbbbbbbbbbbbbb"));
}

void tst_Completion::neverInsideAString()
{
    auto builder = makeAidsBuilder();
    QStringList inString, afterString, inserted;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *list = child<QListWidget>(w, "lstCompletion");
        typeText(script, "\"[cust UCas");
        inString = entries(list);
        typeText(script, "\" & [cust");
        afterString = entries(list);
        // Inserting from the tree is not typing: no list opens.
        QTest::keyClick(script, Qt::Key_Escape);
        script->insertPlainText(QStringLiteral(" & [Cu"));
        inserted = entries(list);
        press(w, "cmdCancel");
    });
    builder->Edit();
    QVERIFY(inString.isEmpty());
    QCOMPARE(afterString, (QStringList{"[Customer.Name]", "[Customer.City]"}));
    QVERIFY(inserted.isEmpty());
}

NVTARNIX_TEST_CLASS(tst_Completion)
#include "tst_completion.moc"
