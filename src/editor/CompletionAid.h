#pragma once

#include "editor/Completion.h"

#include <QObject>

class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace nvtarnix::editor {

class EditorSession;

// The completion list: the view's variables after "[", the catalog's
// functions after three letters, narrowed as the user types. The list never
// takes the focus: the script box keeps it, and the keys that work the list
// (arrows, page keys, Enter, Tab, Esc) are taken from it while the list is
// open. Only typing or Ctrl+Space opens the list; moving the caret narrows or
// closes it.
class CompletionAid : public QObject
{
    Q_OBJECT
public:
    // The list is created in window, over the script box; the script box
    // and the session outlive the aid.
    CompletionAid(QWidget *window, QPlainTextEdit *script, EditorSession &session);

    QListWidget *list() const { return m_list; }
    // The script's text changed: a typed key may open the list.
    void textChanged();
    // Follows the caret: narrows the open list, or closes it; opens it only
    // when mayOpen.
    void update(bool mayOpen);
    // Opens the list at the caret as Ctrl+Space does: the functions and
    // operator words from the first letter on, or all of them.
    void complete();
    // Puts the entry on row in place of what the user typed.
    void accept(int row);
    void hide();

signals:
    // An entry was put in the text.
    void inserted(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();
    bool listKey(int key);

    QWidget *m_window;
    QPlainTextEdit *m_script;
    QListWidget *m_list;
    EditorSession &m_session;
    CompletionRequest m_request;
    // A key is being typed into the script: its change may open the list.
    bool m_keyTyped = false;
    // The user asked for the list (Ctrl+Space): it offers words of any
    // length until it closes.
    bool m_asked = false;
};

} // namespace nvtarnix::editor
