#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeWidget>

using testsupport::child;
using testsupport::press;

// The filter box in the window: the find key reaches it from the trees. How
// it narrows the trees is shown on the aid alone.
class tst_FilterBox : public QObject
{
    Q_OBJECT
private slots:
    void ctrlFFocusesTheBox();
};

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
