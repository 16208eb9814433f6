#pragma once

#include <QList>
#include <QObject>
#include <QTextEdit>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace nvtarnix::editor {

class EditorSession;

// What follows the caret in the script text: the hint with the declaration
// of the catalog function the caret is in, the highlight of the parenthesis
// next to the caret and its partner, and the help line of the variable or
// function under the caret.
class CaretAids : public QObject
{
    Q_OBJECT
public:
    // The hint is created in window; the script box, the help line and the
    // session outlive the aid. helpLine may be null (no help line).
    CaretAids(QWidget *window, QPlainTextEdit *script, QLabel *helpLine, EditorSession &session);

    QLabel *hint() const { return m_hint; }
    // The window opens with the help line it always had; the caret leads it
    // once this is set, from the user's first move on.
    void setHelpLineFollowsCaret(bool follows) { m_helpFollows = follows; }
    // Kept above the hint while it shows (the completion list).
    void setKeptAbove(QWidget *widget) { m_keptAbove = widget; }
    // The parenthesis highlights.
    const QList<QTextEdit::ExtraSelection> &selections() const { return m_parenthesisMarks; }
    void update();

signals:
    void marksChanged();
    // The help line now speaks of what is under the caret.
    void helpLineShown(const QString &line);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showHint(const QString &declaration, int argument, const QString &meaning);
    void showHelpAtCaret();

    QWidget *m_window;
    QPlainTextEdit *m_script;
    QLabel *m_helpLine;
    QLabel *m_hint;
    QWidget *m_keptAbove = nullptr;
    EditorSession &m_session;
    bool m_helpFollows = false;
    QList<QTextEdit::ExtraSelection> m_parenthesisMarks;
};

} // namespace nvtarnix::editor
