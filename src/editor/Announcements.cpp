#include "editor/Announcements.h"

#include "editor/ProblemMarksAid.h"
#include "support/MlStringModule.h"

namespace nvtarnix::editor {

namespace {

QString text(int id)
{
    return GetMlStringOrDefault(id, QString());
}

// A problem edited in place (its reference typed on, its text recompiled)
// is the same problem as long as it starts where it did and says the same.
bool sameProblem(const ScriptProblem &a, const ScriptProblem &b)
{
    return a.start == b.start && problemMessage(a) == problemMessage(b);
}

} // namespace

QString shortAnnouncement(const QString &text)
{
    const QString spoken = text.simplified();
    if (spoken.size() <= kLongestAnnouncement)
        return spoken;
    qsizetype cut = spoken.lastIndexOf(QLatin1Char(' '), kLongestAnnouncement - 1);
    if (cut <= 0)
        cut = kLongestAnnouncement - 1;
    return spoken.left(cut) + QChar(0x2026);
}

const ScriptProblem *problemAtCaret(const QVector<ScriptProblem> &problems, qsizetype caret)
{
    for (const ScriptProblem &problem : problems) {
        if (caret >= problem.start && caret <= problem.start + problem.length)
            return &problem;
    }
    return nullptr;
}

std::optional<QString> AnnouncementDecisions::helpLine(const QString &line)
{
    const QString spoken = shortAnnouncement(line);
    if (spoken.isEmpty() || spoken == m_helpLine)
        return std::nullopt;
    m_helpLine = spoken;
    return spoken;
}

std::optional<QString> AnnouncementDecisions::preview(const QString &value)
{
    if (value.isEmpty() || value == m_preview)
        return std::nullopt;
    m_preview = value;
    return shortAnnouncement(text(1306).arg(value));
}

std::optional<QString> AnnouncementDecisions::insertion(const QString &inserted) const
{
    if (inserted.trimmed().isEmpty())
        return std::nullopt;
    return shortAnnouncement(text(1307).arg(inserted));
}

std::optional<QString> AnnouncementDecisions::checkPassed() const
{
    return text(1308);
}

std::optional<QString> AnnouncementDecisions::caretAt(const QVector<ScriptProblem> &problems, qsizetype caret)
{
    const ScriptProblem *problem = problemAtCaret(problems, caret);
    if (!problem) {
        m_problem.reset();
        return std::nullopt;
    }
    if (m_problem && sameProblem(*m_problem, *problem))
        return std::nullopt;
    m_problem = *problem;
    return shortAnnouncement(problemMessage(*problem));
}

} // namespace nvtarnix::editor
