#include "AidsFixture.h"
#include "editor/PreviewRunner.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using testsupport::child;
using testsupport::press;

// The live preview in the window, and everything the aids do leaving the
// host's expression alone when the user cancels.
class tst_Preview : public QObject
{
    Q_OBJECT
private slots:
    void showsTheValueWithSamples();
    void endlessLoopNeitherFreezesNorDelaysTyping();
    void sampleValueFromTheVariableMenu();
    void cancelAfterEveryAidKeepsTheExpression();
};

void tst_Preview::showsTheValueWithSamples()
{
    auto builder = makeAidsBuilder();
    builder->setScript("[Total] * 2 & \" \" & UCase([Customer.Name])");
    QString atOpen, afterEdit, afterEditTip;
    bool checkEnabled = false;
    bool undoAvailable = true;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *preview = child<QLabel>(w, "lblPreview");
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        QVERIFY(preview);
        QTRY_VERIFY_WITH_TIMEOUT(!preview->text().isEmpty(), 5000);
        atOpen = preview->text();
        checkEnabled = child<QPushButton>(w, "cmdCheck")->isEnabled();
        undoAvailable = script->document()->isUndoAvailable();
        script->selectAll();
        QTest::keyClicks(script, "[Order.Date] + 1");
        QTRY_VERIFY_WITH_TIMEOUT(preview->text().count(QLatin1Char('/')) == 2, 5000);
        afterEdit = preview->text();
        afterEditTip = preview->toolTip();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(atOpen, QStringLiteral("\"5 NAME\""));
    // The preview leaves the Check button and the undo history as they were.
    QVERIFY(checkEnabled);
    QVERIFY(!undoAvailable);
    // A date without a sample is today, as a rule about [Today] runs today;
    // the tooltip names the type and the sample.
    const QDate today = QDate::currentDate();
    QVERIFY2(afterEdit == today.addDays(1).toString(QStringLiteral("d/M/yyyy"))
                 || afterEdit == today.toString(QStringLiteral("d/M/yyyy")),
             qPrintable(afterEdit));
    QVERIFY2(afterEditTip.contains(QStringLiteral("Τύπος: Date")), qPrintable(afterEditTip));
    QVERIFY2(afterEditTip.contains(QLatin1String("[Order.Date] = ")), qPrintable(afterEditTip));
}

void tst_Preview::endlessLoopNeitherFreezesNorDelaysTyping()
{
    auto builder = makeAidsBuilder();
    QString afterLoop, text;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *preview = child<QLabel>(w, "lblPreview");
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        auto *runner = preview->findChild<nvtarnix::editor::PreviewRunner *>();
        QVERIFY(runner);
        QTest::keyClicks(script, "Execute(\"Do : Loop\")");
        // The pause passes and the loop starts while the window goes on
        // answering: it runs beside the window, not in it.
        QTRY_VERIFY(runner->evaluating());
        script->selectAll();
        QTest::keyClicks(script, "[Total] + 1");
        text = script->toPlainText();
        // Whether the loop ends by the newer edit rather than by its own
        // limit is shown without a window, on the runner.
        QTRY_COMPARE_WITH_TIMEOUT(preview->text(), QStringLiteral("3,5"), 15000);
        afterLoop = preview->text();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(text, QStringLiteral("[Total] + 1"));
    QCOMPARE(afterLoop, QStringLiteral("3,5"));
}

void tst_Preview::sampleValueFromTheVariableMenu()
{
    auto builder = makeAidsBuilder();
    builder->setScript("[Customer.Name] & \"!\"");
    QString before, after, dialogTitle, dialogLabel, offered;
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *preview = child<QLabel>(w, "lblPreview");
        auto *variables = child<QTreeWidget>(w, "tvVariables");
        QTRY_VERIFY_WITH_TIMEOUT(!preview->text().isEmpty(), 5000);
        before = preview->text();
        variables->setFocus();
        variables->setCurrentItem(variables->topLevelItem(0)->child(0)->child(0));
        auto *menu = w->findChild<QMenu *>("mEditVariables");
        auto *action = w->findChild<QAction *>("mSampleValue");
        emit menu->aboutToShow();
        QVERIFY(action->isEnabled());
        const auto dialog = testsupport::whenShown("frmSampleValue", [&](QWidget *d) {
            auto *input = static_cast<QInputDialog *>(d);
            dialogTitle = input->windowTitle();
            dialogLabel = input->labelText();
            offered = input->textValue();
            input->setTextValue("Πελάτης Α");
            input->accept();
        });
        action->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(preview->text(), QStringLiteral("\"Πελάτης Α!\""), 5000);
        after = preview->text();
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(before, QStringLiteral("\"Name!\""));
    QCOMPARE(dialogTitle, QStringLiteral("Τιμή δείγματος"));
    QCOMPARE(dialogLabel, QStringLiteral("Τιμή δείγματος της [Customer.Name] όσο ο οδηγός είναι ανοιχτός:"));
    QCOMPARE(offered, QStringLiteral("Name"));
    QCOMPARE(after, QStringLiteral("\"Πελάτης Α!\""));
}

void tst_Preview::cancelAfterEveryAidKeepsTheExpression()
{
    auto builder = makeAidsBuilder();
    builder->setDatabaseScript("[TOTAL] + 1");
    const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
        auto *script = child<QPlainTextEdit>(w, "txtScript");
        typeText(child<QLineEdit>(w, "txtFilter"), "ονομα");
        script->setFocus();
        script->moveCursor(QTextCursor::End);
        typeText(script, " & [cust");
        QTest::keyClick(script, Qt::Key_Return);
        const QString shownBefore = child<QLabel>(w, "lblPreview")->text();
        typeText(script, " & Mid(\"a,b\", [Customer.Nme], ");
        // The aids have seen the unfinished call: the preview tells of it.
        QTRY_VERIFY(child<QLabel>(w, "lblPreview")->text() != shownBefore);
        typeText(script, "Execute(\"Do : Loop\"))");
        press(w, "cmdCancel");
    });
    builder->Edit();
    QCOMPARE(builder->DatabaseScript(), QStringLiteral("[TOTAL] + 1"));
}

NVTARNIX_TEST_CLASS(tst_Preview)
#include "tst_preview.moc"
