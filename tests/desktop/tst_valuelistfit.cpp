// The value list shows its codes whole, acts only on a row the user picked,
// and opens at its designed size every time.

#include "DesktopTestSupport.h"
#include "tst_desktop.h"
#include "TestMain.h"

#include "valuelist/frmList.h"

#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTest>
#include <QTreeWidget>

using namespace desktop;

namespace {

using Rows = QList<QPair<QVariant, QString>>;

struct ListSeen
{
    QSize size;
    int codeColumn = 0;
    // Cells whose text is cut: "row/column".
    QStringList cut;
    int screenWidth = 0;
};

// Opens the dialog on rows and looks at it; Cancel closes it.
ListSeen openList(nvtarnix::frmList &dialog, const Rows &rows)
{
    auto recordset = std::make_shared<nvtarnix::MemoryRecordset>(QStringList{"CODE", "DESCR"});
    for (const auto &row : rows)
        recordset->addRow({row.first, row.second});
    ListSeen seen;
    qint32 selected = 0;
    const bool opened = whileNamed(
        [&] { dialog.WindowOpen(recordset, "CODE", "DESCR", selected); }, "frmList", [&](QWidget *w) {
            auto *list = child<QTreeWidget>(w, "lstValueList");
            seen.size = w->size();
            seen.codeColumn = list->header()->sectionSize(0);
            seen.screenWidth = w->screen()->availableGeometry().width();
            for (int r = 0; r < list->topLevelItemCount(); ++r) {
                for (int c = 0; c < 2; ++c) {
                    const QModelIndex index = list->model()->index(r, c);
                    if (list->visualRect(index).width() < list->sizeHintForIndex(index).width())
                        seen.cut << QStringLiteral("%1/%2").arg(r).arg(c);
                }
            }
            press(w, "cmdCancel");
        });
    if (!opened)
        seen.cut << QStringLiteral("the list did not open");
    return seen;
}

Rows shortRows()
{
    return {{1, "Open"}, {2, "Closed"}, {3, "Waiting"}};
}

} // namespace

void tst_ValueListFit::init()
{
    setLanguage(Greek);
}

void tst_ValueListFit::codesShowWhole_data()
{
    QTest::addColumn<Rows>("rows");
    QTest::addColumn<bool>("wider"); // than designed
    QTest::addColumn<bool>("whole"); // every cell shows whole

    QTest::newRow("short codes") << shortRows() << false << true;
    QTest::newRow("6-digit codes") << Rows{{7, "Seven"}, {123456, "A big one"}, {999999, "The last"}} << false
                                   << true;
    QTest::newRow("codes as text") << Rows{{"100200", "Text code"}, {"5", "Five"}} << false << true;
    QTest::newRow("a long description")
        << Rows{{1, "Open"}, {200300, "Waiting for the supplier to confirm the new delivery date"}} << true
        << true;
    // Wider than any screen: the dialog stops at the screen's width.
    QTest::newRow("a description longer than the screen") << Rows{{1, QString(300, QLatin1Char('W'))}} << true
                                                          << false;
}

void tst_ValueListFit::codesShowWhole()
{
    QFETCH(Rows, rows);
    QFETCH(bool, wider);
    QFETCH(bool, whole);

    nvtarnix::frmList dialog;
    const auto px = [&](int twips) { return qRound(twips * dialog.logicalDpiX() / 1440.0); };
    const QSize designed(px(4515), px(4605));

    const ListSeen seen = openList(dialog, rows);
    if (whole)
        QVERIFY2(seen.cut.isEmpty(), qPrintable(seen.cut.join(", ")));
    else
        QVERIFY(!seen.cut.contains("the list did not open"));
    QVERIFY(seen.codeColumn >= px(700));
    QCOMPARE(seen.size.height(), designed.height());
    if (wider) {
        QVERIFY(seen.size.width() > designed.width());
        QVERIFY(seen.size.width() <= seen.screenWidth);
    } else {
        QCOMPARE(seen.size.width(), designed.width());
    }

    // The next list, of short codes, opens as designed again.
    const ListSeen next = openList(dialog, shortRows());
    QVERIFY2(next.cut.isEmpty(), qPrintable(next.cut.join(", ")));
    QCOMPARE(next.size, designed);
    QCOMPARE(next.codeColumn, px(700));
}

void tst_ValueListFit::enterOnAFreshListInsertsNothing()
{
    auto builder = makeBuilder();
    answerValueLists(*builder, shortRows());
    builder->setScript("[Order.Status] = ");

    QString afterEnter, afterPick;
    bool current = true, okEnabled = true, openAfterEnter = false, okAfterClick = false;
    const bool opened = whileNamed([&] { builder->Edit(); }, "frmEditor", [&](QWidget *editor) {
        auto *script = child<QPlainTextEdit>(editor, "txtScript");
        auto *variables = child<QTreeWidget>(editor, "tvVariables");
        script->moveCursor(QTextCursor::End);
        clickNode(variables, nodeByText(variables, "Status"));
        // Enter on the list as it opens: nothing is picked, nothing inserted.
        whileNamed([&] { press(editor, "cmdValueList"); }, "frmList", [&](QWidget *w) {
            auto *list = child<QTreeWidget>(w, "lstValueList");
            list->setFocus();
            current = list->currentItem() != nullptr;
            okEnabled = child<QPushButton>(w, "cmdOK")->isEnabled();
            QTest::keyClick(list, Qt::Key_Return);
            openAfterEnter = w->isVisible();
            QTest::keyClick(list, Qt::Key_Escape);
        });
        afterEnter = script->toPlainText();
        // Once a row is picked, OK is on and Enter inserts its code.
        whileNamed([&] { press(editor, "cmdValueList"); }, "frmList", [&](QWidget *w) {
            auto *list = child<QTreeWidget>(w, "lstValueList");
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->topLevelItem(1)).center());
            okAfterClick = child<QPushButton>(w, "cmdOK")->isEnabled();
            QTest::keyClick(list, Qt::Key_Return);
        });
        afterPick = script->toPlainText();
        press(editor, "cmdCancel");
    });
    QVERIFY(opened);
    QVERIFY(!current);
    QVERIFY(!okEnabled);
    QVERIFY(openAfterEnter);
    QCOMPARE(afterEnter, QStringLiteral("[Order.Status] = "));
    QVERIFY(okAfterClick);
    QCOMPARE(afterPick, QStringLiteral("[Order.Status] = 2"));
}

NVTARNIX_TEST_CLASS(tst_ValueListFit)
