#pragma once

#include "editor/ScriptProblems.h"

#include <QString>
#include <QVector>

#include <optional>

// What the editor says to a screen reader, and when. Each kind of change is
// said once when it is new: moving about, typing or recompiling the same
// text says nothing again. The texts are the string table's, in the
// user-interface language.

namespace nvtarnix::editor {

// An announcement is a sentence, not a document: a longer text is cut at a
// word and ends with an ellipsis.
inline constexpr int kLongestAnnouncement = 150;
QString shortAnnouncement(const QString &text);

// The problem the caret is in or just after (where it stands once the
// problem is typed), or null.
const ScriptProblem *problemAtCaret(const QVector<ScriptProblem> &problems, qsizetype caret);

class AnnouncementDecisions
{
public:
    // The help line that follows the caret: said when it says something new.
    std::optional<QString> helpLine(const QString &text);
    // The preview once typing has paused: said when its value changed since
    // it was last said or noted.
    std::optional<QString> preview(const QString &text);
    // A preview the user did not ask for by typing (the one at opening):
    // remembered so that only a change is said.
    void notePreview(const QString &text) { m_preview = text; }
    // What a tree, the completion list or the value list put in the text.
    std::optional<QString> insertion(const QString &inserted) const;
    // The check passed (a failure has its own message box).
    std::optional<QString> checkPassed() const;
    // The caret moved or the marks changed: said when the caret enters a
    // problem it was not in.
    std::optional<QString> caretAt(const QVector<ScriptProblem> &problems, qsizetype caret);

private:
    QString m_helpLine;
    QString m_preview;
    std::optional<ScriptProblem> m_problem;
};

} // namespace nvtarnix::editor
