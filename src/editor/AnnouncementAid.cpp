#include "editor/AnnouncementAid.h"

#include "editor/Announcer.h"
#include "editor/ProblemMarksAid.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace nvtarnix::editor {

namespace {

constexpr int kSpokenPauseMs = 1000;

} // namespace

AnnouncementAid::AnnouncementAid(QWidget *window, QPlainTextEdit *script, ProblemMarksAid *marks)
    : QObject(window), m_script(script), m_marks(marks), m_announcer(new Announcer(window)),
      m_typingPause(new QTimer(this)), m_turnEnd(new QTimer(this))
{
    // The announcer goes with the aid; its label is one of the window's
    // controls and goes with them.
    m_announcer->setParent(this);
    m_typingPause->setSingleShot(true);
    m_typingPause->setInterval(kSpokenPauseMs);
    // While the user types, the marks lag behind the text and the preview
    // changes with every short pause; both are said once typing rests.
    connect(m_script, &QPlainTextEdit::textChanged, this, [this] {
        m_edited = true;
        m_marksCurrent = false;
        m_typingPause->start();
    });
    connect(m_typingPause, &QTimer::timeout, this, [this] {
        say(problemAtCaret(), Problem);
        if (!m_pendingHelpLine.isEmpty())
            say(m_decisions.helpLine(std::exchange(m_pendingHelpLine, QString())), HelpLine);
        if (!m_pendingPreview.isEmpty())
            say(m_decisions.preview(m_pendingPreview), Preview);
    });
    m_turnEnd->setSingleShot(true);
    m_turnEnd->setInterval(0);
    connect(m_turnEnd, &QTimer::timeout, this, [this] { flush(); });
    connect(m_script, &QPlainTextEdit::cursorPositionChanged, this, [this] { say(problemAtCaret(), Problem); });
    if (m_marks) {
        connect(m_marks, &ProblemMarksAid::marksChanged, this, [this] {
            m_marksCurrent = true;
            say(problemAtCaret(), Problem);
        });
    }
}

void AnnouncementAid::say(const std::optional<QString> &message, Weight weight)
{
    if (!message)
        return;
    m_queued.append({weight, *message});
    m_turnEnd->start();
}

void AnnouncementAid::flush()
{
    std::stable_sort(m_queued.begin(), m_queued.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList messages;
    for (const auto &queued : std::as_const(m_queued))
        messages << queued.second;
    m_queued.clear();
    if (!messages.isEmpty())
        m_announcer->announce(messages.join(QLatin1Char(' ')));
}

void AnnouncementAid::helpLineShown(const QString &line)
{
    if (m_typingPause->isActive())
        m_pendingHelpLine = line;
    else
        say(m_decisions.helpLine(line), HelpLine);
}

void AnnouncementAid::previewShown(const QString &value)
{
    m_pendingPreview = value;
    if (!m_edited)
        m_decisions.notePreview(value);
    else if (!m_typingPause->isActive())
        say(m_decisions.preview(value), Preview);
}

void AnnouncementAid::inserted(const QString &text)
{
    say(m_decisions.insertion(text), Action);
}

void AnnouncementAid::checkPassed()
{
    say(m_decisions.checkPassed(), Action);
}

std::optional<QString> AnnouncementAid::problemAtCaret()
{
    if (!m_marks || !m_marksCurrent || m_typingPause->isActive())
        return std::nullopt;
    return m_decisions.caretAt(m_marks->problems(), m_script->textCursor().position());
}

} // namespace nvtarnix::editor
