#include "Tour.h"

#include "DemoTexts.h"
#include "MainWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace tarnixdemo {

namespace {

// The tour works on this rule; it starts as [CUST_COUNTRY] = 300.
const QString TourRule = QStringLiteral("Greek customers");
// A rule whose matches show orders of every country and several statuses.
const QString MatchesRule = QStringLiteral("Late delivery");
// Code picked from the countries list (Cyprus).
const QString PickedCode = QStringLiteral("196");
constexpr int StepPauseMs = 150;
constexpr int WatchdogMs = 60000;
// The scale of the last picture's run, and how long that run may take.
const QString PictureScale = QStringLiteral("2");
constexpr int ScaledRunMs = 60000;

QTreeWidgetItem *findItem(QTreeWidget *tree, const std::function<bool(QTreeWidgetItem *)> &match)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (match(*it))
            return *it;
    return nullptr;
}

// Clicks an item as a user does (so the tree's own click handling runs) and
// leaves it selected with the focus on the tree.
void clickItem(QTreeWidget *tree, QTreeWidgetItem *item)
{
    for (QTreeWidgetItem *p = item->parent(); p; p = p->parent())
        p->setExpanded(true);
    QApplication::processEvents();
    tree->scrollToItem(item);
    QApplication::processEvents();
    tree->setFocus();
    // On the part of the item that shows: a long one reaches past the edge.
    const QRect shown = tree->visualItemRect(item).intersected(tree->viewport()->rect());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, shown.center());
    tree->setCurrentItem(item);
}

// A dark desktop theme, as a user may run: dark window and list backgrounds,
// light text.
QPalette darkPalette()
{
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x25, 0x25, 0x25);
    const QColor text(0xe6, 0xe6, 0xe6);
    QPalette dark(window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return dark;
}

void selectText(QPlainTextEdit *edit, const QString &text)
{
    const int at = edit->toPlainText().indexOf(text);
    QTextCursor cursor = edit->textCursor();
    if (at < 0) {
        cursor.movePosition(QTextCursor::End);
    } else {
        cursor.setPosition(at);
        cursor.setPosition(at + int(text.size()), QTextCursor::KeepAnchor);
    }
    edit->setTextCursor(cursor);
}

} // namespace

Tour::Tour(MainWindow &window, QString directory)
    : m_window(window), m_directory(std::move(directory))
{
}

int Tour::selectTourRule()
{
    int rule = 0;
    for (const Rule &r : m_window.host().database().rules())
        if (r.name == TourRule)
            rule = r.id;
    if (rule == 0 || !m_window.selectRule(rule)) {
        fail(QStringLiteral("the database has no rule \"%1\"").arg(TourRule));
        return 0;
    }
    return rule;
}

int Tour::run()
{
    if (!QDir().mkpath(m_directory)) {
        fail(QStringLiteral("cannot create the folder %1").arg(m_directory));
        return 1;
    }

    const int rule = selectTourRule();
    if (rule == 0)
        return 1;
    QApplication::processEvents();
    shoot(QStringLiteral("rules"), &m_window);

    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [this] {
        giveUp(QStringLiteral("the tour did not finish in time"));
    });
    watchdog.start(WatchdogMs);

    whenShown(QStringLiteral("frmEditor"), [this](QWidget *editor) { inWizard(editor); });
    const bool accepted = m_window.editRule(rule);
    watchdog.stop();
    if (!accepted)
        fail(QStringLiteral("the wizard did not hand back an expression"));
    else if (m_window.hasUnsaved(rule))
        fail(QStringLiteral("the accepted expression was not saved"));
    QApplication::processEvents();
    shoot(QStringLiteral("saved"), &m_window);
    shootMatches(MatchesRule, QStringLiteral("matches"));
    shootWhereRuleRuns(MatchesRule, QStringLiteral("runs-in"));
    if (!m_scaledProgram.isEmpty())
        shootScaled();

    for (const QString &why : m_failures)
        std::fprintf(stderr, "tarnix-demo-tour: %s\n", qPrintable(why));
    return m_failures.isEmpty() ? 0 : 1;
}

bool Tour::wizardOpen() const
{
    return m_editor && m_editor->isVisible();
}

void Tour::next(void (Tour::*step)(), int pauses)
{
    QTimer::singleShot(StepPauseMs * pauses, this, [this, step] {
        if (wizardOpen())
            (this->*step)();
    });
}

void Tour::inWizard(QWidget *editor)
{
    m_editor = editor;
    shoot(QStringLiteral("wizard"), editor);
    next(&Tour::insertFunctionAndVariable);
}

void Tour::insertFunctionAndVariable()
{
    QWidget *editor = m_editor;
    auto *script = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *functions = editor->findChild<QTreeWidget *>(QStringLiteral("tvFunctions"));
    auto *variables = editor->findChild<QTreeWidget *>(QStringLiteral("tvVariables"));
    if (!script || !functions || !variables)
        return giveUp(QStringLiteral("the wizard has no txtScript, tvFunctions or tvVariables"));

    // "... And Len(string)": type, then insert the function from its tree.
    script->setFocus();
    script->moveCursor(QTextCursor::End);
    QTest::keyClicks(script, QStringLiteral(" And "));
    QTreeWidgetItem *len = findItem(functions, [](QTreeWidgetItem *item) {
        return item->text(0).startsWith(QLatin1String("Len("));
    });
    if (!len)
        return giveUp(QStringLiteral("the function tree has no Len"));
    clickItem(functions, len);
    QTest::keyClick(functions, Qt::Key_Return);

    // Put the customer's name in place of the parameter: the variable's
    // insertion replaces the selected text.
    selectText(script, QStringLiteral("string"));
    QTreeWidgetItem *name = findItem(variables, [](QTreeWidgetItem *item) {
        return item->parent() && item->parent()->text(0) == QLatin1String("Customer")
               && item->text(0) == QLatin1String("Name");
    });
    if (!name)
        return giveUp(QStringLiteral("the variable tree has no Customer / Name"));
    clickItem(variables, name);
    QTest::keyClick(variables, Qt::Key_Return);
    script->setFocus();
    script->moveCursor(QTextCursor::End);
    QTest::keyClicks(script, QStringLiteral(" > 0"));

    if (!script->toPlainText().contains(QLatin1String("Len([Customer.Name]) > 0")))
        fail(QStringLiteral("the inserted text reads \"%1\"").arg(script->toPlainText()));
    shoot(QStringLiteral("inserted"), editor);
    next(&Tour::runCheck);
}

void Tour::runCheck()
{
    QWidget *editor = m_editor;
    auto *check = editor->findChild<QAbstractButton *>(QStringLiteral("cmdCheck"));
    if (!check)
        return giveUp(QStringLiteral("the wizard has no cmdCheck"));

    // The demo's wizard says that a check passed; a failed check answers
    // with a message box too, which would hold the tour.
    QTimer::singleShot(StepPauseMs * 3, this, [this] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shoot(QStringLiteral("check-message"), box);
            if (box->objectName() != QLatin1String("msgCheckPassed"))
                fail(QStringLiteral("the check failed: %1").arg(box->text()));
            box->accept();
        }
    });
    QTest::mouseClick(check, Qt::LeftButton);
    if (!wizardOpen())
        return;
    if (check->isEnabled())
        fail(QStringLiteral("the check did not pass"));
    shoot(QStringLiteral("checked"), editor);
    next(&Tour::pickFromValueList, 4);
}

void Tour::pickFromValueList()
{
    QWidget *editor = m_editor;
    auto *script = editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *variables = editor->findChild<QTreeWidget *>(QStringLiteral("tvVariables"));
    auto *listButton = editor->findChild<QAbstractButton *>(QStringLiteral("cmdValueList"));
    if (!script || !variables || !listButton)
        return giveUp(QStringLiteral("the wizard has no cmdValueList"));

    // Replace the country code 300 by one picked from the list.
    selectText(script, QStringLiteral("300"));
    QTreeWidgetItem *country = findItem(variables, [](QTreeWidgetItem *item) {
        return item->parent() && item->parent()->text(0) == QLatin1String("Customer")
               && item->text(0) == QLatin1String("Country");
    });
    if (!country)
        return giveUp(QStringLiteral("the variable tree has no Customer / Country"));
    clickItem(variables, country);
    if (!listButton->isEnabled())
        return giveUp(QStringLiteral("the value list button stayed disabled for Country"));

    whenShown(QStringLiteral("frmList"), [this](QWidget *list) { pickCode(list); });
    QTest::mouseClick(listButton, Qt::LeftButton); // returns once the list is closed
    if (!wizardOpen())
        return;
    if (!script->toPlainText().contains(QStringLiteral("= %1").arg(PickedCode)))
        fail(QStringLiteral("the picked code is not in the text: \"%1\"").arg(script->toPlainText()));
    shoot(QStringLiteral("picked"), editor);
    next(&Tour::showLongCodes);
}

void Tour::pickCode(QWidget *list)
{
    QWidget *editor = m_editor;
    if (!wizardOpen())
        return;
    auto *rows = list->findChild<QTreeWidget *>(QStringLiteral("lstValueList"));
    auto *ok = list->findChild<QAbstractButton *>(QStringLiteral("cmdOK"));
    if (!rows || !ok) {
        return giveUp(QStringLiteral("the value list has no lstValueList or cmdOK"));
    }
    QTreeWidgetItem *row = findItem(rows, [](QTreeWidgetItem *item) {
        return item->text(0) == PickedCode;
    });
    if (!row) {
        return giveUp(QStringLiteral("the value list has no code %1").arg(PickedCode));
    }
    clickItem(rows, row);
    shoot(QStringLiteral("value-list"), editor, list);
    QTimer::singleShot(StepPauseMs, ok, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
}

void Tour::showLongCodes()
{
    QWidget *editor = m_editor;
    auto *variables = editor->findChild<QTreeWidget *>(QStringLiteral("tvVariables"));
    auto *listButton = editor->findChild<QAbstractButton *>(QStringLiteral("cmdValueList"));
    if (!variables || !listButton)
        return giveUp(QStringLiteral("the wizard has no tvVariables or cmdValueList"));
    QTreeWidgetItem *product = findItem(variables, [](QTreeWidgetItem *item) {
        return item->parent() && item->parent()->text(0) == QLatin1String("Order")
               && item->text(0) == QLatin1String("Product");
    });
    if (!product)
        return giveUp(QStringLiteral("the variable tree has no Order / Product"));
    clickItem(variables, product);
    if (!listButton->isEnabled())
        return giveUp(QStringLiteral("the value list button stayed disabled for Product"));

    // Six-digit codes: each shows whole; the list is only looked at.
    whenShown(QStringLiteral("frmList"), [this](QWidget *list) {
        if (!wizardOpen())
            return;
        auto *rows = list->findChild<QTreeWidget *>(QStringLiteral("lstValueList"));
        auto *cancel = list->findChild<QAbstractButton *>(QStringLiteral("cmdCancel"));
        if (!rows || !cancel)
            return giveUp(QStringLiteral("the value list has no lstValueList or cmdCancel"));
        for (int r = 0; r < rows->topLevelItemCount(); ++r) {
            const QModelIndex code = rows->model()->index(r, 0);
            if (rows->visualRect(code).width() < rows->sizeHintForIndex(code).width())
                fail(QStringLiteral("the code %1 does not show whole").arg(code.data().toString()));
        }
        shoot(QStringLiteral("long-codes"), m_editor, list);
        QTimer::singleShot(StepPauseMs, cancel, [cancel] { QTest::mouseClick(cancel, Qt::LeftButton); });
    });
    QTest::mouseClick(listButton, Qt::LeftButton); // returns once the list is closed
    next(&Tour::showDarkTheme);
}

void Tour::showDarkTheme()
{
    // The script box keeps its light page; the rest follows the theme.
    const QPalette light = QApplication::palette();
    QApplication::setPalette(darkPalette());
    QTimer::singleShot(StepPauseMs, this, [this, light] {
        if (wizardOpen())
            shoot(QStringLiteral("dark-theme"), m_editor);
        QApplication::setPalette(light);
        next(&Tour::showFilter);
    });
}

void Tour::showFilter()
{
    auto *filter = m_editor->findChild<QLineEdit *>(QStringLiteral("txtFilter"));
    if (!filter)
        return giveUp(QStringLiteral("the wizard has no txtFilter"));
    QTest::keyClicks(filter, QStringLiteral("name"));
    shoot(QStringLiteral("filter"), m_editor);
    QTest::keyClick(filter, Qt::Key_Escape);
    if (!filter->text().isEmpty())
        fail(QStringLiteral("Esc did not empty the filter"));
    next(&Tour::showCompletion);
}

void Tour::showCompletion()
{
    auto *script = m_editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *list = m_editor->findChild<QWidget *>(QStringLiteral("lstCompletion"));
    if (!script || !list)
        return giveUp(QStringLiteral("the wizard has no txtScript or lstCompletion"));
    m_scriptBeforeAids = script->toPlainText();
    script->setFocus();
    script->moveCursor(QTextCursor::End);
    QTest::keyClicks(script, QStringLiteral(" And [Cu"));
    if (!list->isVisible())
        fail(QStringLiteral("typing [Cu opened no completion list"));
    shoot(QStringLiteral("completion"), m_editor);
    QTest::keyClick(script, Qt::Key_Escape);
    next(&Tour::showProblemMark);
}

void Tour::showProblemMark()
{
    auto *script = m_editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    // A misspelt reference: marked once the pause after the last key is over.
    QTest::keyClicks(script, QStringLiteral("stomer.Nme] <> \"\""));
    QTimer::singleShot(StepPauseMs * 4, this, [this, script] {
        if (!wizardOpen())
            return;
        const int at = int(script->toPlainText().indexOf(QLatin1String("[Customer.Nme]"))) + 3;
        QTextCursor cursor(script->document());
        cursor.setPosition(at);
        const QPoint point = script->cursorRect(cursor).center();
        QHelpEvent help(QEvent::ToolTip, point, script->viewport()->mapToGlobal(point));
        QCoreApplication::sendEvent(script->viewport(), &help);
        QTimer::singleShot(StepPauseMs, this, [this] {
            if (!wizardOpen())
                return;
            QWidget *tip = nullptr;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (w->inherits("QTipLabel") && w->isVisible())
                    tip = w;
            }
            if (!tip)
                fail(QStringLiteral("the misspelt reference shows no tooltip"));
            shoot(QStringLiteral("problem-mark"), m_editor, tip);
            next(&Tour::showPreview);
        });
    });
}

void Tour::showPreview()
{
    auto *script = m_editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *preview = m_editor->findChild<QLabel *>(QStringLiteral("lblPreview"));
    if (!preview)
        return giveUp(QStringLiteral("the wizard has no lblPreview"));
    // Back to the rule as it was; its preview follows after the pause.
    script->setPlainText(m_scriptBeforeAids);
    script->moveCursor(QTextCursor::End);
    QTimer::singleShot(StepPauseMs * 5, this, [this, preview] {
        if (!wizardOpen())
            return;
        // The value in the UI's words; its type is in the tooltip.
        if (!preview->toolTip().contains(QLatin1String(": Boolean")))
            fail(QStringLiteral("the preview reads \"%1\" (%2)").arg(preview->text(), preview->toolTip()));
        shoot(QStringLiteral("preview"), m_editor);
        next(&Tour::showFunctionReference);
    });
}

void Tour::showRowCount()
{
    auto *script = m_editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *count = m_editor->findChild<QLabel *>(QStringLiteral("lblRowCount"));
    if (!count)
        return giveUp(QStringLiteral("the wizard has no lblRowCount"));
    if (count->text().isEmpty())
        fail(QStringLiteral("the wizard counts no orders"));
    const QString before = count->text();
    shoot(QStringLiteral("count-before"), m_editor);
    // Another country: the count follows after the pause, then the rule is
    // put back as it was.
    QString changed = m_scriptBeforeAids;
    changed.replace(QLatin1String("196"), QLatin1String("300"));
    script->setPlainText(changed);
    script->moveCursor(QTextCursor::End);
    QTimer::singleShot(StepPauseMs * 5, this, [this, script, count, before] {
        if (!wizardOpen())
            return;
        if (count->text() == before || count->text().isEmpty())
            fail(QStringLiteral("the count stays \"%1\" for another country").arg(before));
        shoot(QStringLiteral("count-after"), m_editor);
        // The orders behind the count, in a window of their own.
        auto *rowsButton = m_editor->findChild<QAbstractButton *>(QStringLiteral("cmdRows"));
        if (!rowsButton || !rowsButton->isEnabled())
            return giveUp(QStringLiteral("the count offers no rows"));
        QTest::mouseClick(rowsButton, Qt::LeftButton);
        QTimer::singleShot(StepPauseMs * 2, this, [this, script] {
            if (!wizardOpen())
                return;
            auto *rows = m_editor->findChild<QWidget *>(QStringLiteral("frmRows"));
            if (!rows || !rows->isVisible())
                return giveUp(QStringLiteral("the rows of the count did not show"));
            shoot(QStringLiteral("count-rows"), rows);
            rows->close();
            script->setPlainText(m_scriptBeforeAids);
            next(&Tour::accept, 3);
        });
    });
}

void Tour::showFunctionReference()
{
    auto *script = m_editor->findChild<QPlainTextEdit *>(QStringLiteral("txtScript"));
    auto *hint = m_editor->findChild<QLabel *>(QStringLiteral("lblArgumentHint"));
    if (!hint)
        return giveUp(QStringLiteral("the wizard has no lblArgumentHint"));
    // Inside a call the hint names the argument and says what it means.
    script->setFocus();
    script->moveCursor(QTextCursor::End);
    QTest::keyClicks(script, QStringLiteral(" And DateDiff(\"d\", "));
    if (!hint->isVisible() || !hint->text().contains(QLatin1String("<br>")))
        fail(QStringLiteral("DateDiff's argument hint gives no meaning: \"%1\"").arg(hint->text()));
    shoot(QStringLiteral("function-reference"), m_editor);
    script->setPlainText(m_scriptBeforeAids);
    script->moveCursor(QTextCursor::End);
    next(&Tour::showRowCount);
}

void Tour::accept()
{
    QPointer<QWidget> editor = m_editor;
    auto *ok = editor->findChild<QAbstractButton *>(QStringLiteral("cmdOK"));
    if (!ok)
        return giveUp(QStringLiteral("the wizard has no cmdOK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    // The check runs once more; should it fail, the wizard stays open.
    QTimer::singleShot(StepPauseMs * 3, this, [this, editor] {
        if (editor && editor->isVisible()) {
            giveUp(QStringLiteral("OK did not close the wizard"));
        }
    });
}

void Tour::whenShown(const QString &name, std::function<void(QWidget *)> then, int triesLeft)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            // Let it lay itself out and paint before the first picture.
            QTimer::singleShot(StepPauseMs, this, [w, then] { then(w); });
            return;
        }
    }
    if (triesLeft == 0) {
        return giveUp(QStringLiteral("%1 did not open").arg(name));
    }
    QTimer::singleShot(50, this, [this, name, then, triesLeft] {
        whenShown(name, then, triesLeft - 1);
    });
}

void Tour::shootScaled()
{
    const QString path = nextPicturePath(QStringLiteral("scaled-200"));
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), PictureScale);
    run.setProcessEnvironment(environment);
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    run.start(m_scaledProgram, {QStringLiteral("--language"), QString::number(m_window.host().language()),
                                QStringLiteral("--wizard-picture"), path});
    if (!run.waitForFinished(ScaledRunMs)) {
        run.kill();
        run.waitForFinished();
        return fail(QStringLiteral("the run at 200% did not finish"));
    }
    if (run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0 || !QFileInfo::exists(path))
        return fail(QStringLiteral("the run at 200% wrote no picture"));
    recordPicture(path);
}

int Tour::runWizardPicture(const QString &file)
{
    const int rule = selectTourRule();
    if (rule == 0)
        return 1;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, this, [this] { giveUp(QStringLiteral("the wizard did not open in time")); });
    watchdog.start(WatchdogMs);
    whenShown(QStringLiteral("frmEditor"), [this, file](QWidget *editor) {
        if (!editor->grab().save(file, "PNG"))
            fail(QStringLiteral("cannot write %1").arg(file));
        auto *cancel = editor->findChild<QAbstractButton *>(QStringLiteral("cmdCancel"));
        if (!cancel)
            return giveUp(QStringLiteral("the wizard has no cmdCancel"));
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    m_window.editRule(rule);
    watchdog.stop();
    for (const QString &why : m_failures)
        std::fprintf(stderr, "tarnix-demo-tour: wizard picture: %s\n", qPrintable(why));
    return m_failures.isEmpty() && QFileInfo::exists(file) ? 0 : 1;
}

QString Tour::nextPicturePath(const QString &name)
{
    return QDir(m_directory).absoluteFilePath(
        QStringLiteral("%1-%2.png").arg(++m_step, 2, 10, QLatin1Char('0')).arg(name));
}

void Tour::recordPicture(const QString &path)
{
    m_pictures.append(path);
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

void Tour::shoot(const QString &name, QWidget *widget, QWidget *over)
{
    QPixmap picture = widget->grab();
    if (over) {
        // A modal list is a window of its own: draw it where it stands over
        // the wizard, so the picture shows both as the user sees them.
        const QPoint offset = over->mapToGlobal(QPoint()) - widget->mapToGlobal(QPoint());
        const QRect bounds = QRect(QPoint(), picture.size())
                                 .united(QRect(offset, over->size()));
        QPixmap canvas(bounds.size());
        canvas.fill(Qt::darkGray);
        QPainter painter(&canvas);
        painter.drawPixmap(-bounds.topLeft(), picture);
        painter.drawPixmap(offset - bounds.topLeft(), over->grab());
        painter.end();
        picture = canvas;
    }
    const QString path = nextPicturePath(name);
    if (!picture.save(path, "PNG")) {
        fail(QStringLiteral("cannot write %1").arg(path));
        return;
    }
    recordPicture(path);
}

void Tour::shootMatches(const QString &rule, const QString &picture)
{
    for (const Rule &r : m_window.host().database().rules()) {
        if (r.name == rule && m_window.selectRule(r.id)) {
            const RuleOutcome *outcome = m_window.outcome(r.id);
            if (!outcome || outcome->kind != RuleOutcome::Kind::Condition || outcome->selected == 0)
                fail(QStringLiteral("the rule \"%1\" selects no orders").arg(rule));
            QApplication::processEvents();
            shoot(picture, &m_window);
            return;
        }
    }
    fail(QStringLiteral("the database has no rule \"%1\"").arg(rule));
}

void Tour::shootWhereRuleRuns(const QString &rule, const QString &picture)
{
    auto *list = m_window.findChild<QTreeWidget *>(QStringLiteral("lstRules"));
    if (!list)
        return fail(QStringLiteral("the window has no lstRules"));
    const QString header = demoText(DemoText::ColumnRunsIn, m_window.host().language());
    int column = -1;
    for (int c = 0; c < list->columnCount(); ++c)
        if (list->headerItem()->text(c) == header)
            column = c;
    QTreeWidgetItem *item = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0).startsWith(rule))
            item = list->topLevelItem(i);
    if (column < 0 || !item)
        return fail(QStringLiteral("the rule list shows no \"%1\" for \"%2\"").arg(header, rule));
    // Hover over where the rule runs: the tooltip says why.
    const QRect row = list->visualItemRect(item);
    const QPoint point(list->header()->sectionViewportPosition(column) + list->header()->sectionSize(column) / 2,
                       row.center().y());
    QHelpEvent help(QEvent::ToolTip, point, list->viewport()->mapToGlobal(point));
    QCoreApplication::sendEvent(list->viewport(), &help);
    QApplication::processEvents();
    QWidget *tip = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            tip = w;
    if (!tip)
        return fail(QStringLiteral("where \"%1\" runs shows no tooltip").arg(rule));
    shoot(picture, &m_window, tip);
}

void Tour::fail(const QString &why)
{
    m_failures.append(why);
}

void Tour::giveUp(const QString &why)
{
    fail(why);
    abandon();
}

void Tour::abandon()
{
    // Close from the top down; each closed window ends one modal loop.
    if (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(StepPauseMs, this, [this] { abandon(); });
    }
}

} // namespace tarnixdemo
