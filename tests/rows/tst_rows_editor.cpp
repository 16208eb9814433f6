// The count in the editor: under the script after a typing pause, changing
// with the text, the rows behind it on demand, rows that go away, and no
// count at all when the host gives no rows.

#include "Orders.h"
#include "SqliteFile.h"
#include "TestMain.h"
#include "WindowVisit.h"

#include "editor/RowCountText.h"
#include "rows/RowCount.h"
#include "support/MlStringModule.h"

#include <nvtarnix/TarnixObject.h>

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using nvtarnix::rows::RowCount;

namespace {

std::unique_ptr<nvtarnix::TarnixObject> ordersBuilder()
{
    auto builder = std::make_unique<nvtarnix::TarnixObject>();
    builder->AddVariable("AMOUNT", "Amount", "5", "8");
    builder->AddVariable("COUNTRY", "Country", "0", "20");
    builder->AddVariable("QTY", "Quantity", "3", "8");
    builder->LoadDefaultFunctions();
    return builder;
}

nvtarnix::RowSource ordersOf(const testsupport::SqliteFile &file)
{
    nvtarnix::RowSource source;
    source.connectionName = file.database().connectionName();
    source.table = QStringLiteral("orders");
    return source;
}

QString countText(qint64 selected, qint64 rows, qint64 failed = 0)
{
    RowCount count;
    count.kind = RowCount::Kind::Condition;
    count.selected = selected;
    count.rows = rows;
    count.failed = failed;
    return nvtarnix::editor::rowCountText(count, nvtarnix::CurrentLanguage());
}

// What the line says of the rule in database form, counted without a window.
QString expectedText(const testsupport::SqliteFile &file, const QString &rule)
{
    nvtarnix::rows::RowCountJob job;
    job.databaseText = rule;
    job.source = ordersOf(file);
    job.language = nvtarnix::CurrentLanguage();
    return nvtarnix::editor::rowCountText(nvtarnix::rows::countRows(job, nullptr), job.language);
}

void retype(QWidget *editor, const QString &text)
{
    auto *script = editor->findChild<QPlainTextEdit *>("txtScript");
    script->selectAll();
    QTest::keyClicks(script, text);
}

} // namespace

class RowCountEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QCOMPARE(m_file.run(orderStatements(600)), QString()); }

    void countFollowsTheText()
    {
        auto builder = ordersBuilder();
        builder->setRowSource(ordersOf(m_file));
        const QString failing = expectedText(m_file, "100 / [QTY] > 20");
        const QString broken = expectedText(m_file, "[AMOUNT] >");
        int selectedListed = -1, failedListed = -1;
        QStringList tabbed;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *line = w->findChild<QLabel *>("lblRowCount");
            auto *rowsButton = w->findChild<QToolButton *>("cmdRows");
            QVERIFY(line && rowsButton);
            QVERIFY(!rowsButton->isEnabled());
            retype(w, "[Country] = \"GR\"");
            QTRY_COMPARE_WITH_TIMEOUT(line->text(), countText(150, 600), 5000);
            retype(w, "100 / [Quantity] > 20");
            QTRY_COMPARE_WITH_TIMEOUT(line->text(), failing, 5000);
            QVERIFY(rowsButton->isEnabled());
            // The keys reach the button between the script and OK, both ways.
            w->activateWindow();
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::activeWindow() == w, 3000);
            w->findChild<QWidget *>("txtScript")->setFocus(Qt::TabFocusReason);
            for (const auto &[key, modifiers] :
                 {std::pair(Qt::Key_Tab, Qt::NoModifier), std::pair(Qt::Key_Tab, Qt::NoModifier),
                  std::pair(Qt::Key_Backtab, Qt::ShiftModifier), std::pair(Qt::Key_Backtab, Qt::ShiftModifier)}) {
                QTest::keyClick(QApplication::focusWidget(), key, modifiers);
                tabbed << QApplication::focusWidget()->objectName();
            }
            rowsButton->click();
            auto *rows = w->findChild<QWidget *>("frmRows");
            QVERIFY(rows);
            selectedListed = rows->findChild<QTreeWidget *>("lvSelectedRows")->topLevelItemCount();
            failedListed = rows->findChild<QTreeWidget *>("lvFailedRows")->topLevelItemCount();
            rows->close();
            retype(w, "[Amount] >");
            QTRY_COMPARE_WITH_TIMEOUT(line->text(), broken, 5000);
            testsupport::press(w, "cmdCancel");
        });
        QVERIFY(!builder->Edit());
        QVERIFY(failing.contains(QRegularExpression(QStringLiteral("[0-9]+.*[0-9]+.*[0-9]+"))));
        QCOMPARE(selectedListed, 20);
        QCOMPARE(failedListed, 20);
        QCOMPARE(tabbed, (QStringList{"cmdRows", "cmdOK", "cmdRows", "txtScript"}));
    }

    void rowsThatGoAway()
    {
        testsupport::SqliteFile going;
        QCOMPARE(going.run(orderStatements(10)), QString());
        auto builder = ordersBuilder();
        builder->setRowSource(ordersOf(going));
        QString after;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *line = w->findChild<QLabel *>("lblRowCount");
            retype(w, "[Amount] >= 0");
            QTRY_COMPARE_WITH_TIMEOUT(line->text(), countText(10, 10), 5000);
            going.close();
            retype(w, "[Amount] > 1");
            QTRY_VERIFY_WITH_TIMEOUT(line->text() != countText(10, 10), 5000);
            after = line->text();
            testsupport::press(w, "cmdCancel");
        });
        QVERIFY(!builder->Edit());
        QVERIFY2(after.startsWith(nvtarnix::GetMlStringOrDefault(1606, QString()).section(QLatin1Char('%'), 0, 0)),
                 qPrintable(after));
    }

    void noRowSourceNoCount()
    {
        auto builder = ordersBuilder();
        bool hasLine = true;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            hasLine = w->findChild<QLabel *>("lblRowCount") || w->findChild<QToolButton *>("cmdRows");
            testsupport::press(w, "cmdCancel");
        });
        QVERIFY(!builder->Edit());
        QVERIFY(!hasLine);
    }

private:
    testsupport::SqliteFile m_file;
};

NVTARNIX_TEST_CLASS(RowCountEditorTest)

#include "tst_rows_editor.moc"
