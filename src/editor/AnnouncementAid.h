#pragma once

#include "editor/Announcements.h"

#include <QObject>
#include <QPair>
#include <QVector>

class QPlainTextEdit;
class QTimer;
class QWidget;

namespace nvtarnix::editor {

class Announcer;
class ProblemMarksAid;

// Tells a screen reader what changes away from the focus while the editor
// runs: the help line, the preview once typing pauses, what was inserted,
// a passed check and the problem the caret enters. The decisions are
// AnnouncementDecisions'; this object only listens and speaks.
class AnnouncementAid : public QObject
{
    Q_OBJECT
public:
    // The announcer is created in window; the script box and the marks
    // outlive the aid.
    AnnouncementAid(QWidget *window, QPlainTextEdit *script, ProblemMarksAid *marks);

    Announcer *announcer() const { return m_announcer; }

    void helpLineShown(const QString &line);
    void previewShown(const QString &value);
    void inserted(const QString &text);
    void checkPassed();

private:
    // What one turn of the event loop says goes out as one message, most
    // important first: an insertion moves the caret onto a new help line in
    // the same turn, and the listener should hear what was inserted first.
    enum Weight { Problem, Action, HelpLine, Preview };
    void say(const std::optional<QString> &message, Weight weight);
    void flush();
    // The problem the caret has just entered, once the marks are current.
    std::optional<QString> problemAtCaret();

    QPlainTextEdit *m_script;
    ProblemMarksAid *m_marks;
    Announcer *m_announcer;
    AnnouncementDecisions m_decisions;
    // The preview and a help line met while typing are said once typing
    // has paused this long: long enough that a listener is not interrupted
    // between two keys.
    QTimer *m_typingPause;
    QTimer *m_turnEnd;
    QVector<QPair<Weight, QString>> m_queued;
    QString m_pendingPreview;
    QString m_pendingHelpLine;
    bool m_edited = false;
    // The marks were found on the text as it is now.
    bool m_marksCurrent = true;
};

} // namespace nvtarnix::editor
