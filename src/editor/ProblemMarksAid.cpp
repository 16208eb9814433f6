#include "editor/ProblemMarksAid.h"

#include "editor/EditingAidTexts.h"
#include "editor/Contrast.h"
#include "editor/DateLiteralHint.h"
#include "editor/EditorSession.h"
#include "editor/GuidedCheck.h"
#include "editor/OperatorMenu.h"
#include "support/FailureHandling.h"

#include <QHelpEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolTip>

namespace nvtarnix::editor {

UnderlineLook underlineLook(ScriptProblem::Kind kind, QRgb background)
{
    // An error (text that does not compile, a name guided editing does not
    // know) is a red wave, a doubtful reference an amber dashed line: the
    // line's shape tells them apart without their colours, and each colour
    // stands out 3:1 from the box whatever its background.
    if (kind == ScriptProblem::Syntax || kind == ScriptProblem::UnknownName)
        return {QTextCharFormat::WaveUnderline, readableOn(qRgb(0xDD, 0, 0), background, kLineContrast)};
    return {QTextCharFormat::DashUnderline, readableOn(qRgb(0xB0, 0x60, 0), background, kLineContrast)};
}

ProblemMarksAid::ProblemMarksAid(QPlainTextEdit *script, EditorSession &session, int language)
    : QObject(script), m_script(script), m_session(session), m_language(language)
{
    m_script->viewport()->installEventFilter(this);
    m_script->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_script, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_session.runHandler([&] { showContextMenu(pos); }); });
}

void ProblemMarksAid::mark(const CompiledScript &script)
{
    m_problems =
        findProblems(script, m_session.knownNames(), m_session.suggestions(), &m_session.ambiguousReferences());
    if (m_guided)
        m_problems += unknownNameProblems(script.displayText, m_session);
    emit marksChanged();
}

QList<QTextEdit::ExtraSelection> ProblemMarksAid::selections() const
{
    QList<QTextEdit::ExtraSelection> selections;
    // Marks found before the latest edits wait for the next pause; those now
    // past the text's end are left out.
    const qsizetype textEnd = m_script->document()->characterCount() - 1;
    const QRgb background = m_script->palette().color(QPalette::Base).rgb();
    for (const ScriptProblem &problem : m_problems) {
        if (problem.start + problem.length > textEnd)
            continue;
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_script->document());
        mark.cursor.setPosition(int(problem.start));
        mark.cursor.setPosition(int(problem.start + problem.length), QTextCursor::KeepAnchor);
        const UnderlineLook look = underlineLook(problem.kind, background);
        mark.format.setUnderlineStyle(look.style);
        mark.format.setUnderlineColor(QColor::fromRgb(look.colour));
        selections.append(mark);
    }
    return selections;
}

QString problemMessage(const ScriptProblem &problem)
{
    return problem.kind == ScriptProblem::UnknownReference ? unknownVariableText(problem.suggestion) : problem.message;
}

const ScriptProblem *ProblemMarksAid::problemAt(qsizetype position) const
{
    for (const ScriptProblem &problem : m_problems) {
        if (problem.covers(position))
            return &problem;
    }
    return nullptr;
}

bool ProblemMarksAid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_script->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        skipOnError([&] { showToolTip(help->pos(), help->globalPos()); });
        return true;
    }
    return false;
}

void ProblemMarksAid::showToolTip(const QPoint &pos, const QPoint &globalPos)
{
    const int position = m_script->cursorForPosition(pos).position();
    const ScriptProblem *problem = problemAt(position);
    if (!problem) {
        // With guided editing a date literal says which date it is.
        const QString date = m_guided ? dateLiteralAt(m_script->toPlainText(), position, m_language) : QString();
        if (date.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(globalPos, date, m_script->viewport());
        return;
    }
    QToolTip::showText(globalPos, problemMessage(*problem), m_script->viewport());
}

void ProblemMarksAid::showContextMenu(const QPoint &pos)
{
    QMenu *menu = m_script->createStandardContextMenu(pos);
    menu->setObjectName(QStringLiteral("mScript"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const ScriptProblem *problem = problemAt(m_script->cursorForPosition(pos).position());
    const bool unknown = problem
                      && (problem->kind == ScriptProblem::UnknownReference || problem->kind == ScriptProblem::UnknownName);
    if (unknown && !problem->suggestion.isEmpty()) {
        auto *replace = new QAction(replaceWithText(problem->suggestion), menu);
        replace->setObjectName(QStringLiteral("mReplaceReference"));
        const ScriptProblem chosen = *problem;
        connect(replace, &QAction::triggered, this,
                [this, chosen] { m_session.runHandler([&] { replaceReference(chosen); }); });
        const QList<QAction *> actions = menu->actions();
        menu->insertAction(actions.isEmpty() ? nullptr : actions.first(), replace);
        menu->insertSeparator(actions.isEmpty() ? nullptr : actions.first());
    }
    menu->addSeparator();
    addOperatorMenu(menu, m_script);
    menu->popup(m_script->viewport()->mapToGlobal(pos));
}

void ProblemMarksAid::replaceReference(const ScriptProblem &problem)
{
    // The text may have changed since the menu opened: only the reference
    // still written where it was is replaced.
    const QString text = m_script->toPlainText();
    if (text.mid(problem.start, problem.length) != problem.reference)
        return;
    QTextCursor cursor(m_script->document());
    cursor.setPosition(int(problem.start));
    cursor.setPosition(int(problem.start + problem.length), QTextCursor::KeepAnchor);
    cursor.insertText(problem.suggestion);
    m_script->setTextCursor(cursor);
}

bool ProblemMarksAid::replaceAtCaret()
{
    const int caret = m_script->textCursor().position();
    const ScriptProblem *problem = problemAt(caret);
    if (!problem && caret > 0)
        problem = problemAt(caret - 1);
    const bool unknown = problem
                      && (problem->kind == ScriptProblem::UnknownReference || problem->kind == ScriptProblem::UnknownName);
    if (!unknown || problem->suggestion.isEmpty())
        return false;
    const ScriptProblem chosen = *problem;
    replaceReference(chosen);
    return true;
}

void ProblemMarksAid::moveCaretToFailure(int line)
{
    const QString text = m_script->toPlainText();
    // The check evaluates the text with samples in place of the references,
    // so its column is not the user's; the engine's reading of the user's own
    // text places a syntax error exactly, any other failure goes to its line.
    qsizetype position = 0;
    if (const auto syntax = syntaxProblem(text, m_language))
        position = syntax->start;
    else if (line > 0)
        position = offsetOf(text, line, 0);
    else
        return;
    QTextCursor cursor = m_script->textCursor();
    cursor.setPosition(int(position));
    m_script->setTextCursor(cursor);
    m_script->setFocus(Qt::OtherFocusReason);
}

} // namespace nvtarnix::editor
