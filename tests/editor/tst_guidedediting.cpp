#include "AidsFixture.h"

#include "TestMain.h"
#include "WindowVisit.h"

#include "editor/DateLiteralHint.h"
#include "editor/GuidedEditingAid.h"
#include "editor/ValueListInsertion.h"

#include <nvtarnix/TarnixObject.h>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTimer>
#include <QTreeWidget>

using testsupport::child;
using testsupport::press;

namespace {

struct Seen
{
    QString box; // the message box's objectName, or empty
    QString text;
    QString selected;
    bool stillOpen = false;
};

// Presses `button` of the editor and keeps what a message box, if one comes,
// said and what the text then had selected.
Seen pressAndWatch(QWidget *editor, const char *button)
{
    Seen seen;
    const auto box = testsupport::ifShown(
        "a message box", [](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
        [&](QWidget *w) {
            seen.box = w->objectName();
            seen.text = static_cast<QMessageBox *>(w)->text();
            static_cast<QMessageBox *>(w)->accept();
        });
    press(editor, button);
    seen.selected = child<QPlainTextEdit>(editor, "txtScript")->textCursor().selectedText();
    seen.stillOpen = editor->isVisible();
    return seen;
}

QStringList wavyMarks(const QPlainTextEdit *script)
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection &mark : script->extraSelections()) {
        if (mark.format.underlineStyle() == QTextCharFormat::WaveUnderline)
            ranges << QStringLiteral("%1+%2")
                          .arg(mark.cursor.selectionStart())
                          .arg(mark.cursor.selectionEnd() - mark.cursor.selectionStart());
    }
    return ranges;
}

} // namespace

// The host option GuidedEditing: off, the wizard is the one it always was;
// on, it catches unknown names, says where the user's text went wrong and
// that a check passed, and takes the usual keys.
class tst_GuidedEditing : public QObject
{
    Q_OBJECT
private slots:
    // "|" is the caret, "{...}" the selection; the result shows the text
    // after the code "276" is written.
    void valueListInsertion_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("after a variable") << "[A]|"
                                          << "[A] = 276";
        QTest::newRow("after a variable and a blank") << "[A] |"
                                                      << "[A] = 276";
        QTest::newRow("after an operator") << "[A] <>|"
                                           << "[A] <> 276";
        QTest::newRow("a code at the caret") << "[A] < 4| And [B] = 1"
                                             << "[A] < 276 And [B] = 1";
        QTest::newRow("before a code") << "[A] = |300"
                                       << "[A] = 276";
        QTest::newRow("a selection") << "Mid({[A]}, 1)"
                                     << "Mid(276, 1)";
        QTest::newRow("anywhere else") << "1 + |"
                                       << "1 + 276";
    }

    void valueListInsertion()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QString text = before;
        qsizetype start = text.indexOf(u'{');
        qsizetype end = start;
        if (start >= 0) {
            text.remove(start, 1);
            end = text.indexOf(u'}');
            text.remove(end, 1);
        } else {
            start = end = text.indexOf(u'|');
            text.remove(start, 1);
        }
        const auto edit = nvtarnix::editor::valueListInsertion(text, start, end, QStringLiteral("276"));
        QCOMPARE(text.replace(edit.start, edit.end - edit.start, edit.text), after);
    }

    void referenceAtCaret()
    {
        using nvtarnix::editor::referenceAtCaret;
        QCOMPARE(referenceAtCaret(u"[A.b] = 3", 9), QStringLiteral("[A.b]"));
        QCOMPARE(referenceAtCaret(u"[A.b] = 3", 2), QStringLiteral("[A.b]"));
        QCOMPARE(referenceAtCaret(u"[A.b] + 3", 9), QString());
        QCOMPARE(referenceAtCaret(u"[A.b] = 3\n", 10), QString());
        QCOMPARE(referenceAtCaret(u"\"[A.b]\" = ", 10), QString());
    }

    void dateLiteralsAreSpelledOut()
    {
        using nvtarnix::editor::dateLiteralAt;
        const QString text = QStringLiteral("[Order.Date] > #02/01/2025# And [Order.Date] < #3/4/2025 13:30#");
        QCOMPARE(dateLiteralAt(text, text.indexOf("02"), 1033), QStringLiteral("Saturday 1 February 2025"));
        QCOMPARE(dateLiteralAt(text, text.indexOf("02"), 1032), QStringLiteral("Σάββατο 1 Φεβρουαρίου 2025"));
        QCOMPARE(dateLiteralAt(text, text.indexOf("13:30"), 1033), QStringLiteral("Tuesday 4 March 2025, 13:30:00"));
        QCOMPARE(dateLiteralAt(text, 3, 1033), QString());
    }

    void offByDefaultAndTheWizardIsAsSpecified()
    {
        auto builder = makeAidsBuilder();
        QCOMPARE(builder->property("GuidedEditing").toBool(), false);
        builder->setScript("[Customer.Nme] > 1");
        Seen check;
        QString focused;
        bool openAfterEsc = false;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            QTest::keyClick(child<QPlainTextEdit>(w, "txtScript"), Qt::Key_Escape);
            QTest::keyClick(child<QPlainTextEdit>(w, "txtScript"), Qt::Key_Return, Qt::ControlModifier);
            openAfterEsc = w->isVisible();
            check = pressAndWatch(w, "cmdCheck");
            press(w, "cmdOK");
        });
        // The unknown name passes, silently, and is stored.
        QVERIFY(builder->Edit());
        QVERIFY(openAfterEsc);
        QCOMPARE(focused, QStringLiteral("tvVariables"));
        QCOMPARE(check.box, QString());
        QVERIFY(builder->DatabaseScript().startsWith("[Customer.Nme] > 1"));
    }

    void unknownNamesFailCheckAndOkWithTheNameMeant()
    {
        auto builder = makeAidsBuilder();
        builder->setGuidedEditing(true);
        builder->setScript("Len([Customer.Name]) > 1 And [Customer.Nme] = \"a\"");
        Seen ok, function, slip, fixed;
        QString focused;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            focused = w->focusWidget() ? w->focusWidget()->objectName() : QString();
            auto *script = child<QPlainTextEdit>(w, "txtScript");
            ok = pressAndWatch(w, "cmdOK");
            script->setPlainText("Lenn([Customer.Name]) > 1");
            function = pressAndWatch(w, "cmdCheck");
            script->setPlainText("[Order.Date] > \"01/01/2025\"");
            slip = pressAndWatch(w, "cmdCheck");
            script->setPlainText("Len([Customer.Name]) > 1");
            fixed = pressAndWatch(w, "cmdCheck");
            QTest::keyClick(script, Qt::Key_Return, Qt::ControlModifier);
        });
        QVERIFY(builder->Edit());
        QCOMPARE(focused, QStringLiteral("txtScript"));
        QCOMPARE(ok.box, QStringLiteral("msgCheckFailed"));
        QVERIFY(ok.stillOpen);
        QVERIFY2(ok.text.contains(QStringLiteral("Άγνωστη μεταβλητή [Customer.Nme]. Μήπως εννοείτε [Customer.Name];")),
                 qPrintable(ok.text));
        QVERIFY2(ok.text.contains(QStringLiteral("Στήλη: 29")), qPrintable(ok.text));
        QCOMPARE(ok.selected, QStringLiteral("[Customer.Nme]"));
        QVERIFY2(function.text.contains(QStringLiteral("Lenn. Μήπως εννοείτε Len;")), qPrintable(function.text));
        QCOMPARE(function.selected, QStringLiteral("Lenn"));
        QCOMPARE(slip.box, QStringLiteral("msgCheckPassed"));
        QVERIFY2(slip.text.startsWith(QStringLiteral("Η έκφραση είναι σωστή, αλλά:"))
                     && slip.text.contains(QStringLiteral("#01/01/2025#")),
                 qPrintable(slip.text));
        QCOMPARE(fixed.box, QStringLiteral("msgCheckPassed"));
        QCOMPARE(fixed.text, QStringLiteral("Η έκφραση είναι σωστή."));
        QCOMPARE(builder->DatabaseScript(), QStringLiteral("Len([CUST_NAME]) > 1"));
    }

    // The column and the selection are those of the text the user typed, not
    // of the text evaluated with samples in place of the variables.
    void failuresArePlacedInTheUsersText()
    {
        auto builder = makeAidsBuilder();
        builder->setGuidedEditing(true);
        Seen syntax, running;
        const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            auto *script = child<QPlainTextEdit>(w, "txtScript");
            script->setPlainText("[Customer.Name] & [Customer.City] & * 2");
            syntax = pressAndWatch(w, "cmdCheck");
            script->setPlainText("[Customer.Name] & [Customer.City] & CLng(\"x\")");
            running = pressAndWatch(w, "cmdCheck");
            QTest::keyClick(script, Qt::Key_Escape);
        });
        QVERIFY(!builder->Edit());
        QVERIFY2(syntax.text.contains(QStringLiteral("Στήλη: 36")), qPrintable(syntax.text));
        QCOMPARE(syntax.selected, QStringLiteral("*"));
        QVERIFY2(running.text.contains(QStringLiteral("Γραμμή: 1")), qPrintable(running.text));
        // Whatever column the engine names in the evaluated text, it lies in
        // the user's line, and the selection starts there.
        const int column = running.text.section(QStringLiteral("Στήλη: "), 1).trimmed().toInt();
        const QString line = QStringLiteral("[Customer.Name] & [Customer.City] & CLng(\"x\")");
        QVERIFY2(column >= 0 && column <= line.size(), qPrintable(running.text));
        QCOMPARE(running.selected, line.mid(column));
    }

    // Marks and Check agree: what fails the check is marked as the user
    // types, and the context menu offers the name meant.
    void misspeltFunctionsAreMarkedOnlyWhenGuided()
    {
        for (const bool guided : {false, true}) {
            auto builder = makeAidsBuilder();
            builder->setGuidedEditing(guided);
            QStringList marked;
            QString fixed, keyFixed;
            const auto visit = testsupport::whenShown("frmEditor", [&](QWidget *w) {
                auto *script = child<QPlainTextEdit>(w, "txtScript");
                script->setPlainText("Lenn([Customer.Name]) > Foo");
                // The marks are made when the typing pause ends.
                auto *pause = w->findChild<QTimer *>("problemTimer");
                QVERIFY(pause && pause->isActive());
                QTRY_VERIFY_WITH_TIMEOUT(!pause->isActive(), 3000);
                marked = wavyMarks(script);
                // Alt+Enter after an unknown name puts the name meant there.
                script->moveCursor(QTextCursor::End);
                QTest::keyClick(script, Qt::Key_Return, Qt::AltModifier);
                keyFixed = script->toPlainText();
                script->setPlainText("Lenn([Customer.Name]) > Foo");
                QTRY_VERIFY_WITH_TIMEOUT(!pause->isActive(), 3000);
                if (guided) {
                    const QPoint at = script->cursorRect(QTextCursor(script->document())).center() + QPoint(4, 0);
                    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, script->viewport()->mapToGlobal(at));
                    QCoreApplication::sendEvent(script->viewport(), &menuEvent);
                    auto *replace = script->findChild<QAction *>("mReplaceReference");
                    QVERIFY(replace);
                    replace->trigger();
                    for (QMenu *menu : script->findChildren<QMenu *>("mScript"))
                        menu->close();
                    fixed = script->toPlainText();
                }
                press(w, "cmdCancel");
            });
            builder->Edit();
            if (guided) {
                QCOMPARE(marked, QStringList({"0+4", "24+3"}));
                QCOMPARE(fixed, QStringLiteral("Len([Customer.Name]) > Foo"));
                QCOMPARE(keyFixed, QStringLiteral("Lenn([Customer.Name]) > Cos"));
            } else {
                QVERIFY2(marked.isEmpty(), qPrintable(marked.join(u' ')));
            }
        }
    }

    void windowKeepsItsPlaceAndLargeViewsOpenCollapsed()
    {
        nvtarnix::TarnixObject builder;
        builder.setGuidedEditing(true);
        for (int i = 0; i < nvtarnix::editor::kCollapsedGroupsAbove + 1; ++i)
            builder.AddVariable(QStringLiteral("V%1").arg(i), QStringLiteral("Field %1").arg(i), "3", "8", "3", "0", {},
                                {}, {}, QStringLiteral("Group %1").arg(i % 5));
        QSize reopened;
        bool groupExpanded = true;
        {
            const auto first = testsupport::whenShown("frmEditor", [&](QWidget *w) {
                w->resize(w->width() + 123, w->height() + 45);
                press(w, "cmdCancel");
            });
            builder.Edit();
        }
        QSize wanted;
        const auto second = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            reopened = w->size();
            auto *tree = child<QTreeWidget>(w, "tvVariables");
            groupExpanded = tree->topLevelItem(0)->child(0)->isExpanded();
            press(w, "cmdCancel");
        });
        builder.Edit();
        QVERIFY(!groupExpanded);
        QVERIFY2(reopened.width() > 0, "the window did not come");
        // The second opening has the size the first one ended with.
        nvtarnix::TarnixObject plain;
        const auto designed = testsupport::whenShown("frmEditor", [&](QWidget *w) {
            wanted = w->size();
            press(w, "cmdCancel");
        });
        plain.Edit();
        QCOMPARE(reopened, wanted + QSize(123, 45));
    }
};

NVTARNIX_TEST_CLASS(tst_GuidedEditing)
#include "tst_guidedediting.moc"
