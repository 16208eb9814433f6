#pragma once

#include "editor/ScriptProblems.h"

#include <QList>
#include <QObject>
#include <QTextEdit>
#include <QVector>

class QPlainTextEdit;

namespace nvtarnix::editor {

class EditorSession;

// How a problem is underlined on a background: style and colour.
struct UnderlineLook
{
    QTextCharFormat::UnderlineStyle style = QTextCharFormat::NoUnderline;
    QRgb colour = 0;
};
UnderlineLook underlineLook(ScriptProblem::Kind kind, QRgb background);

// What a problem's tooltip says, and what is announced when the caret
// enters it.
QString problemMessage(const ScriptProblem &problem);

// The problems marked in the script text: unknown references and the syntax
// error, underlined once the text is compiled after a typing pause, their
// tooltips, the replacement the script's context menu offers for an unknown
// reference (the menu also holds the operators), and the caret sent to
// where a failed check went wrong.
class ProblemMarksAid : public QObject
{
    Q_OBJECT
public:
    // The script box and the session outlive the aid.
    ProblemMarksAid(QPlainTextEdit *script, EditorSession &session, int language);

    // With guided editing, misspelt functions and unknown plain names are
    // marked too, so that the marks and the check agree, and a date literal's
    // tooltip spells its date out.
    void setGuided(bool guided) { m_guided = guided; }
    // Marks the problems of the compiled text.
    void mark(const CompiledScript &script);
    const QVector<ScriptProblem> &problems() const { return m_problems; }
    // The underlines of the marks that still fit the text.
    QList<QTextEdit::ExtraSelection> selections() const;
    const ScriptProblem *problemAt(qsizetype position) const;
    // Replaces the unknown reference with its suggestion, if it is still
    // written where it was.
    void replaceReference(const ScriptProblem &problem);
    // The one-key fix (Alt+Enter with guided editing): replaces the unknown
    // name at or just before the caret with its suggestion. False when
    // there is none to replace.
    bool replaceAtCaret();
    // Puts the caret where a failed check (line as the check names it) says
    // the text went wrong.
    void moveCaretToFailure(int line);

signals:
    void marksChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showToolTip(const QPoint &pos, const QPoint &globalPos);
    void showContextMenu(const QPoint &pos);

    QPlainTextEdit *m_script;
    EditorSession &m_session;
    int m_language;
    QVector<ScriptProblem> m_problems;
    bool m_guided = false;
};

} // namespace nvtarnix::editor
