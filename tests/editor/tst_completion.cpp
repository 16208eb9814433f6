#include "AidsFixture.h"
#include "EditorTestSupport.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

using testsupport::child;
using testsupport::press;

// The completion list in the window: a pick with the mouse recolours the
// script. The list's keys and rules are shown on the aid alone.
class tst_Completion : public QObject
{
    Q_OBJECT
private slots:
    void clickInsertsAndRecolours();
};

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

NVTARNIX_TEST_CLASS(tst_Completion)
#include "tst_completion.moc"
