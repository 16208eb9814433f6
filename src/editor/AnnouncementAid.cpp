#include "editor/AnnouncementAid.h"

#include "editor/Announcer.h"
#include "editor/ProblemMarksAid.h"

#include <QPlainTextEdit>
#include <QTimer>

#include <utility>

namespace nvtarnix::editor {

namespace {

constexpr int kSpokenPauseMs = 1000;

} // namespace

AnnouncementAid::AnnouncementAid(QWidget *window, QPlainTextEdit *script, ProblemMarksAid *marks)
    : QObject(window), m_script(script), m_marks(marks), m_announcer(new Announcer(window)),
      m_typingPause(new QTimer(this))
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
    // What waited for the pause is said as one message, so that no part
    // cuts off another.
    connect(m_typingPause, &QTimer::timeout, this, [this] {
        QStringList messages;
        const auto add = [&messages](const std::optional<QString> &message) {
            if (message)
                messages << *message;
        };
        // The problem where the caret rests matters most; then what the
        // caret is on, then the value.
        add(problemAtCaret());
        if (!m_pendingHelpLine.isEmpty())
            add(m_decisions.helpLine(std::exchange(m_pendingHelpLine, QString())));
        if (!m_pendingPreview.isEmpty())
            add(m_decisions.preview(m_pendingPreview));
        if (!messages.isEmpty())
            m_announcer->announce(messages.join(QLatin1Char(' ')));
    });
    connect(m_script, &QPlainTextEdit::cursorPositionChanged, this, [this] { say(problemAtCaret()); });
    if (m_marks) {
        connect(m_marks, &ProblemMarksAid::marksChanged, this, [this] {
            m_marksCurrent = true;
            say(problemAtCaret());
        });
    }
}

void AnnouncementAid::say(const std::optional<QString> &message)
{
    if (message)
        m_announcer->announce(*message);
}

void AnnouncementAid::helpLineShown(const QString &line)
{
    if (m_typingPause->isActive())
        m_pendingHelpLine = line;
    else
        say(m_decisions.helpLine(line));
}

void AnnouncementAid::previewShown(const QString &value)
{
    m_pendingPreview = value;
    if (!m_edited)
        m_decisions.notePreview(value);
    else if (!m_typingPause->isActive())
        say(m_decisions.preview(value));
}

void AnnouncementAid::inserted(const QString &text)
{
    say(m_decisions.insertion(text));
}

void AnnouncementAid::checkPassed()
{
    say(m_decisions.checkPassed());
}

std::optional<QString> AnnouncementAid::problemAtCaret()
{
    if (!m_marks || !m_marksCurrent || m_typingPause->isActive())
        return std::nullopt;
    return m_decisions.caretAt(m_marks->problems(), m_script->textCursor().position());
}

} // namespace nvtarnix::editor
