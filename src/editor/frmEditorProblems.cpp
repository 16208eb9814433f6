// The editor window's problem marks: unknown references and the syntax error
// underlined a moment after the last key, their tooltips, the replacement
// offered in the script's context menu, and the caret sent to a failed
// check's position. The rules live in ScriptProblems.

#include "editor/frmEditor.h"

#include "editor/EditingAidTexts.h"
#include "editor/EditorTrees.h"
#include "support/FailureHandling.h"
#include "support/MlStringModule.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>

namespace nvtarnix {

namespace {

// Marks come a moment after the last key, so that typing never waits for them.
constexpr int kProblemPauseMs = 250;

} // namespace

void frmEditor::createProblemMarks()
{
    m_problemTimer = new QTimer(txtScript);
    m_problemTimer->setObjectName(QStringLiteral("problemTimer"));
    m_problemTimer->setSingleShot(true);
    m_problemTimer->setInterval(kProblemPauseMs);
    connect(m_problemTimer, &QTimer::timeout, this, [this] {
        skipOnError([this] { markProblems(); });
        skipOnError([this] { startPreview(); });
    });
    txtScript->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtScript, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { runHandler([&] { txtScript_ContextMenu(pos); }); });
}

void frmEditor::markProblems()
{
    if (!txtScript)
        return;
    if (!m_namesGathered) {
        m_namesGathered = true;
        QStringList names;
        for (const editor::EditorVariable &variable : viewVariables())
            names.append(variable.displayName());
        m_knownNames = QSet<QString>(names.begin(), names.end());
        m_suggestions = editor::NameSuggestion(names);
    }
    m_problems = editor::findProblems(txtScript->toPlainText(), m_knownNames, m_suggestions, CurrentLanguage());
    showScriptMarks();
}

void frmEditor::showScriptMarks()
{
    QList<QTextEdit::ExtraSelection> selections;
    // Marks found before the latest edits wait for the next pause; those now
    // past the text's end are left out.
    const qsizetype textEnd = txtScript->document()->characterCount() - 1;
    for (const editor::ScriptProblem &problem : m_problems) {
        if (problem.start + problem.length > textEnd)
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(txtScript->document());
        mark.cursor.setPosition(int(problem.start));
        mark.cursor.setPosition(int(problem.start + problem.length), QTextCursor::KeepAnchor);
        mark.format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        mark.format.setUnderlineColor(problem.kind == editor::ScriptProblem::Syntax ? QColor(0xDD, 0, 0)
                                                                                    : QColor(0xE0, 0x80, 0));
        selections.append(mark);
    }
    txtScript->setExtraSelections(selections + m_parenthesisMarks);
}

const editor::ScriptProblem *frmEditor::problemAt(qsizetype position) const
{
    for (const editor::ScriptProblem &problem : m_problems) {
        if (problem.covers(position))
            return &problem;
    }
    return nullptr;
}

void frmEditor::txtScript_ToolTip(const QPoint &pos, const QPoint &globalPos)
{
    const editor::ScriptProblem *problem = problemAt(txtScript->cursorForPosition(pos).position());
    if (!problem) {
        QToolTip::hideText();
        return;
    }
    const QString text = problem->kind == editor::ScriptProblem::Syntax
                           ? problem->message
                           : editor::unknownVariableText(problem->suggestion);
    QToolTip::showText(globalPos, text, txtScript->viewport());
}

void frmEditor::txtScript_ContextMenu(const QPoint &pos)
{
    QMenu *menu = txtScript->createStandardContextMenu(pos);
    menu->setObjectName(QStringLiteral("mScript"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const editor::ScriptProblem *problem = problemAt(txtScript->cursorForPosition(pos).position());
    if (problem && problem->kind == editor::ScriptProblem::UnknownReference && !problem->suggestion.isEmpty()) {
        auto *replace = new QAction(editor::replaceWithText(problem->suggestion), menu);
        replace->setObjectName(QStringLiteral("mReplaceReference"));
        const editor::ScriptProblem chosen = *problem;
        connect(replace, &QAction::triggered, this,
                [this, chosen] { runHandler([&] { replaceReference(chosen); }); });
        const QList<QAction *> actions = menu->actions();
        menu->insertAction(actions.isEmpty() ? nullptr : actions.first(), replace);
        menu->insertSeparator(actions.isEmpty() ? nullptr : actions.first());
    }
    menu->popup(txtScript->viewport()->mapToGlobal(pos));
}

void frmEditor::replaceReference(const editor::ScriptProblem &problem)
{
    if (!txtScript)
        return;
    // The text may have changed since the menu opened: only the reference
    // still written where it was is replaced.
    const QString text = txtScript->toPlainText();
    if (text.mid(problem.start, problem.length) != problem.reference)
        return;
    QTextCursor cursor(txtScript->document());
    cursor.setPosition(int(problem.start));
    cursor.setPosition(int(problem.start + problem.length), QTextCursor::KeepAnchor);
    cursor.insertText(problem.suggestion);
    txtScript->setTextCursor(cursor);
}

void frmEditor::moveCaretToFailure(int line)
{
    if (!txtScript)
        return;
    const QString text = txtScript->toPlainText();
    // The check evaluates the text with samples in place of the references,
    // so its column is not the user's; the engine's reading of the user's own
    // text places a syntax error exactly, any other failure goes to its line.
    qsizetype position = 0;
    if (const auto syntax = editor::syntaxProblem(text, CurrentLanguage()))
        position = syntax->start;
    else if (line > 0)
        position = editor::offsetOf(text, line, 0);
    else
        return;
    QTextCursor cursor = txtScript->textCursor();
    cursor.setPosition(int(position));
    txtScript->setTextCursor(cursor);
    txtScript->setFocus(Qt::OtherFocusReason);
}

bool frmEditor::aidEventFilter(QObject *watched, QEvent *event)
{
    if (!txtScript)
        return false;
    if (watched == txtScript && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (completionKey(key->key()))
            return true;
        m_keyTyped = (!key->text().isEmpty() && key->text().front().isPrint()) || key->key() == Qt::Key_Backspace;
        return false;
    }
    if (watched == txtScript && event->type() == QEvent::KeyRelease) {
        m_keyTyped = false;
        return false;
    }
    if (watched == txtScript && event->type() == QEvent::FocusOut) {
        hideCompletion();
        if (lblArgumentHint)
            lblArgumentHint->hide();
        return false;
    }
    if (watched == txtScript->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        skipOnError([&] { txtScript_ToolTip(help->pos(), help->globalPos()); });
        return true;
    }
    return false;
}

} // namespace nvtarnix
